// File-descriptor and string streams behind the converter's buffers.
#include "common/byte_streams.h"

#include <poll.h>
#include <unistd.h>
#include <algorithm>
#include <cerrno>
#include <cstring>

namespace corvexa {
namespace {

// Waits until `fd` takes more bytes; false if it never will.
bool wait_until_writable(int fd) {
  pollfd waiting = {fd, POLLOUT, 0};
  for (;;) {
    int ready = ::poll(&waiting, 1, -1);
    if (ready > 0) return (waiting.revents & (POLLERR | POLLNVAL)) == 0;
    if (ready < 0 && errno != EINTR) return false;
  }
}

}  // namespace

long fd_reader::read_some(char* buffer, std::size_t capacity) {
  for (;;) {
    ssize_t count = ::read(fd_, buffer, capacity);
    if (count >= 0) {
      bytes_read_ += static_cast<unsigned long long>(count);
      return static_cast<long>(count);
    }
    if (errno != EINTR) return -1;
  }
}

bool fd_writer::write_all(std::string_view bytes) {
  const char* next = bytes.data();
  std::size_t left = bytes.size();
  while (left > 0) {
    ssize_t count = ::write(fd_, next, left);
    if (count < 0) {
      if (errno == EINTR) continue;
      if ((errno == EAGAIN || errno == EWOULDBLOCK) && wait_until_writable(fd_)) {
        continue;
      }
      return false;
    }
    if (count == 0) {  // a device that takes nothing more
      errno = ENOSPC;
      return false;
    }
    next += count;
    left -= static_cast<std::size_t>(count);
  }
  return true;
}

long memory_reader::read_some(char* buffer, std::size_t capacity) {
  std::size_t count = std::min(rest_.size(), capacity);
  if (largest_read_ > 0) count = std::min(count, 1 + reads_++ % largest_read_);
  std::memcpy(buffer, rest_.data(), count);
  rest_.remove_prefix(count);
  return static_cast<long>(count);
}

bool string_writer::write_all(std::string_view bytes) {
  target_.append(bytes);
  return true;
}

}  // namespace corvexa
