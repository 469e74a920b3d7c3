// fcntl(F_GETFD) tells whether a descriptor is open.
#include "common/standard_descriptors.h"

#include <fcntl.h>
#include <unistd.h>

namespace corvexa {

void hold_standard_descriptors_open() {
  for (int fd = 0; fd <= 2; ++fd) {
    if (::fcntl(fd, F_GETFD) != -1) continue;
    // open() takes the lowest free number, which is this one.
    int opened = ::open(fd == 0 ? "/dev/null" : "/dev/full", fd == 0 ? O_RDONLY : O_WRONLY);
    if (opened == -1) opened = ::open("/dev/null", O_RDWR);
    if (opened != fd) ::_exit(1);
  }
}

}  // namespace corvexa
