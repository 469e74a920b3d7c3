// Temporary files get a random name in the destination folder, created
// with O_EXCL (mkstemp takes no folder descriptor); data is copied with
// copy_file_range where the kernel can, read and write otherwise.
#include "tree/file_io.h"

#include "common/byte_streams.h"

#include <fcntl.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstring>
#include <random>
#include <utility>

#include "common/descriptor.h"

namespace corvexa {
namespace {

io_error failure(std::string_view what) { return std::string(what) + ": " + std::strerror(errno); }

// A seed that differs between runs and threads: from the kernel, or from
// the clock where it has none to give.
std::uint64_t fresh_seed() {
  std::uint64_t seed = 0;
  if (::getrandom(&seed, sizeof seed, GRND_NONBLOCK) == sizeof seed) return seed;
  auto now = std::chrono::steady_clock::now().time_since_epoch().count();
  return static_cast<std::uint64_t>(now) ^ reinterpret_cast<std::uintptr_t>(&seed);
}

// ".corvexa-" and six random letters and digits.
std::string temporary_name() {
  static constexpr char characters[] =
      "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
  thread_local std::mt19937_64 random(fresh_seed());
  std::uniform_int_distribution<std::size_t> pick(0, sizeof characters - 2);
  std::string name = ".corvexa-";
  for (int i = 0; i < 6; ++i) name += characters[pick(random)];
  return name;
}

// Tries fresh temporary names in `folder` until `create` (given a name)
// does not fail with EEXIST; returns the name, empty if it failed.
template <typename Create>
std::string create_with_fresh_name(Create create) {
  constexpr int most_tries = 100;
  for (int tries = 0; tries < most_tries; ++tries) {
    std::string name = temporary_name();
    if (create(name)) return name;
    if (errno != EEXIST) return {};
  }
  return {};
}

// A temporary file in `folder`, removed again unless committed under its
// final name there.
class temporary_file {
 public:
  explicit temporary_file(int folder) : folder_(folder) {
    name_ = create_with_fresh_name([&](const std::string& name) {
      file_ = descriptor(::openat(folder, name.c_str(),
                                  O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600));
      return file_.is_open();
    });
  }
  ~temporary_file() {
    if (!name_.empty()) ::unlinkat(folder_, name_.c_str(), 0);
  }
  temporary_file(const temporary_file&) = delete;
  temporary_file& operator=(const temporary_file&) = delete;

  bool is_open() const { return file_.is_open(); }
  int fd() const { return file_.get(); }

  // Sets the permission bits, closes and renames into place as `final_name`.
  io_error commit(const std::string& final_name, mode_t mode) {
    if (::fchmod(file_.get(), mode) != 0) return failure("could not write");
    if (!file_.close()) return failure("could not write");
    if (::renameat(folder_, name_.c_str(), folder_, final_name.c_str()) != 0) {
      return failure("could not write");
    }
    name_.clear();
    return {};
  }

 private:
  int folder_;
  std::string name_;
  descriptor file_;
};

bool write_all(int fd, std::string_view bytes) { return fd_writer(fd).write_all(bytes); }

// Opens a regular file for reading: not through a link, not waiting for a
// FIFO's writer, and nothing but a regular file.
io_error open_regular(int folder, const std::string& name, descriptor& file, struct stat& info) {
  file = descriptor(::openat(folder, name.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
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

io_error read_regular_file(int folder, const std::string& name, read_file& file) {
  descriptor source;
  struct stat info;
  if (io_error error = open_regular(folder, name, source, info); !error.empty()) return error;
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

io_error write_file_atomically(int folder, const std::string& name, std::string_view bytes,
                               mode_t mode) {
  temporary_file file(folder);
  if (!file.is_open()) return failure("could not write");
  if (!write_all(file.fd(), bytes)) return failure("could not write");
  return file.commit(name, mode);
}

io_error copy_file_atomically(int from_folder, const std::string& from_name, int to_folder,
                              const std::string& to_name) {
  return filter_file_atomically(from_folder, from_name, to_folder, to_name, copy_contents,
                                "could not copy");
}

io_error filter_file_atomically(int from_folder, const std::string& from_name, int to_folder,
                                const std::string& to_name, const stream_filter& filter,
                                std::string_view failed) {
  descriptor source;
  struct stat info;
  if (io_error error = open_regular(from_folder, from_name, source, info); !error.empty()) {
    return error;
  }
  temporary_file file(to_folder);
  if (!file.is_open()) return failure("could not write");
  if (!filter(source.get(), file.fd())) return failure(failed);
  return file.commit(to_name, info.st_mode & 0777);
}

io_error open_regular_file(int folder, const std::string& name, descriptor& file) {
  struct stat info;
  return open_regular(folder, name, file, info);
}

io_error make_link_atomically(const std::string& target, int folder, const std::string& name) {
  std::string temporary = create_with_fresh_name([&](const std::string& candidate) {
    return ::symlinkat(target.c_str(), folder, candidate.c_str()) == 0;
  });
  if (temporary.empty()) return failure("could not write");
  if (::renameat(folder, temporary.c_str(), folder, name.c_str()) != 0) {
    io_error error = failure("could not write");
    ::unlinkat(folder, temporary.c_str(), 0);
    return error;
  }
  return {};
}

}  // namespace corvexa
