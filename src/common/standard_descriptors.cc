// fcntl(F_GETFD) tells whether a descriptor is open; open() takes the
// lowest free number, which is the closed one.
#include "common/standard_descriptors.h"

#include <fcntl.h>
#include <unistd.h>

namespace corvexa {

void hold_standard_descriptors_open() {
  for (int fd = 0; fd <= 2; ++fd) {
    if (::fcntl(fd, F_GETFD) == -1 && ::open("/dev/null", O_RDWR) == -1) {
      ::_exit(1);
    }
  }
}

}  // namespace corvexa
