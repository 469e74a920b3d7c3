// An open file descriptor that closes itself. Files and folders are held
// by descriptor once opened, never reached again through a path string that
// could be swapped between a check and its use.
#pragma once

#include <unistd.h>

#include <utility>

namespace corvexa {

class descriptor {
 public:
  explicit descriptor(int fd = -1) : fd_(fd) {}
  ~descriptor() {
    if (fd_ >= 0) ::close(fd_);
  }
  descriptor(const descriptor&) = delete;
  descriptor& operator=(const descriptor&) = delete;
  descriptor(descriptor&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
  descriptor& operator=(descriptor&& other) noexcept {
    std::swap(fd_, other.fd_);
    return *this;
  }
  int get() const { return fd_; }
  bool is_open() const { return fd_ >= 0; }
  // Closes now; false if closing reported an error.
  bool close() { return ::close(std::exchange(fd_, -1)) == 0; }

 private:
  int fd_;
};

}  // namespace corvexa
