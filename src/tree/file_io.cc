// Temporary files come from mkstemp in the destination folder; data is
// copied with copy_file_range where the kernel can, read and write
// otherwise.
#include "tree/file_io.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <utility>

namespace corvexa {
namespace {

io_error failure(std::string_view what) {
  return std::string(what) + ": " + std::strerror(errno);
}

// An open descriptor, closed when it goes out of scope.
class descriptor {
 public:
  explicit descriptor(int fd = -1) : fd_(fd) {}
  ~descriptor() {
    if (fd_ >= 0) ::close(fd_);
  }
  descriptor(const descriptor&) = delete;
  descriptor& operator=(const descriptor&) = delete;
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

std::string folder_of(const std::string& path) {
  std::size_t slash = path.rfind('/');
  return slash == std::string::npos ? "." : path.substr(0, slash);
}

// A temporary file in the folder of `final_path`, removed again unless
// committed under that name.
class temporary_file {
 public:
  explicit temporary_file(const std::string& final_path)
      : final_path_(final_path), path_(folder_of(final_path) + "/.corvexa-XXXXXX") {
    file_ = descriptor(::mkostemp(path_.data(), O_CLOEXEC));
    if (!file_.is_open()) path_.clear();
  }
  ~temporary_file() {
    if (!path_.empty()) ::unlink(path_.c_str());
  }
  temporary_file(const temporary_file&) = delete;
  temporary_file& operator=(const temporary_file&) = delete;

  bool is_open() const { return file_.is_open(); }
  int fd() const { return file_.get(); }

  // Sets the permission bits, closes and renames into place.
  io_error commit(mode_t mode) {
    if (::fchmod(file_.get(), mode) != 0) return failure("could not write");
    if (!file_.close()) return failure("could not write");
    if (::rename(path_.c_str(), final_path_.c_str()) != 0) return failure("could not write");
    path_.clear();
    return {};
  }

 private:
  std::string final_path_;
  std::string path_;
  descriptor file_;
};

bool write_all(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    ssize_t written = ::write(fd, bytes.data(), bytes.size());
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) {
      if (written == 0) errno = ENOSPC;
      return false;
    }
    bytes.remove_prefix(static_cast<std::size_t>(written));
  }
  return true;
}

// Opens a regular file for reading: not through a link, not waiting for a
// FIFO's writer, and nothing but a regular file.
io_error open_regular(const std::string& path, descriptor& file, struct stat& info) {
  file = descriptor(::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
  if (!file.is_open()) return failure("could not read");
  if (::fstat(file.get(), &info) != 0) return failure("could not read");
  if (!S_ISREG(info.st_mode)) return "could not read: it is no longer a regular file";
  return {};
}

// Copies what is left of `from` into `to`.
bool copy_contents(int from, int to) {
  for (bool kernel_copy = true;;) {
    if (kernel_copy) {
      ssize_t copied = ::copy_file_range(from, nullptr, to, nullptr, 1 << 30, 0);
      if (copied > 0) continue;
      if (copied == 0) return true;
      if (errno == EINTR) continue;
      if (errno != EXDEV && errno != EINVAL && errno != ENOSYS && errno != EOPNOTSUPP) {
        return false;
      }
      kernel_copy = false;
    }
    char buffer[64 * 1024];
    ssize_t got = ::read(from, buffer, sizeof buffer);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) return false;
    if (got == 0) return true;
    if (!write_all(to, std::string_view(buffer, static_cast<std::size_t>(got)))) return false;
  }
}

}  // namespace

io_error read_regular_file(const std::string& path, read_file& file) {
  descriptor source;
  struct stat info;
  if (io_error error = open_regular(path, source, info); !error.empty()) return error;
  file.mode = info.st_mode & 0777;
  file.bytes.clear();
  file.bytes.reserve(static_cast<std::size_t>(info.st_size) + 1);
  for (;;) {
    if (file.bytes.size() == file.bytes.capacity()) file.bytes.reserve(file.bytes.size() * 2);
    std::size_t used = file.bytes.size();
    file.bytes.resize(file.bytes.capacity());
    ssize_t got = ::read(source.get(), file.bytes.data() + used, file.bytes.size() - used);
    if (got < 0 && errno == EINTR) {
      file.bytes.resize(used);
      continue;
    }
    if (got < 0) return failure("could not read");
    file.bytes.resize(used + static_cast<std::size_t>(got));
    if (got == 0) return {};
  }
}

io_error write_file_atomically(const std::string& path, std::string_view bytes,
                               mode_t mode) {
  temporary_file file(path);
  if (!file.is_open()) return failure("could not write");
  if (!write_all(file.fd(), bytes)) return failure("could not write");
  return file.commit(mode);
}

io_error copy_file_atomically(const std::string& from, const std::string& to) {
  descriptor source;
  struct stat info;
  if (io_error error = open_regular(from, source, info); !error.empty()) return error;
  temporary_file file(to);
  if (!file.is_open()) return failure("could not write");
  if (!copy_contents(source.get(), file.fd())) return failure("could not copy");
  return file.commit(info.st_mode & 0777);
}

io_error make_link_atomically(const std::string& target, const std::string& path) {
  // A link cannot be created by mkstemp; a unique name in the same folder
  // comes from a temporary file that is then replaced by the link.
  std::string temporary = folder_of(path) + "/.corvexa-XXXXXX";
  descriptor placeholder(::mkostemp(temporary.data(), O_CLOEXEC));
  if (!placeholder.is_open()) return failure("could not write");
  placeholder.close();
  ::unlink(temporary.c_str());
  if (::symlink(target.c_str(), temporary.c_str()) != 0) return failure("could not write");
  if (::rename(temporary.c_str(), path.c_str()) != 0) {
    io_error error = failure("could not write");
    ::unlink(temporary.c_str());
    return error;
  }
  return {};
}

}  // namespace corvexa
