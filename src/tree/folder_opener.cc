// Folders are opened O_RDONLY | O_DIRECTORY | O_NOFOLLOW, each name from
// its parent's descriptor. Where the kernel has openat2, a folder whose
// parent is not open is reached from its nearest open ancestor in one call
// with RESOLVE_BENEATH | RESOLVE_NO_SYMLINKS; any failure of that call is
// looked at again name by name, which says which folder failed and why.
#include "tree/folder_opener.h"

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstring>

#include "tree/relative_path.h"

#if defined(SYS_openat2) && __has_include(<linux/openat2.h>)
#include <linux/openat2.h>
#define CORVEXA_HAS_OPENAT2 1
#endif

namespace corvexa {
namespace {

constexpr int folder_flags = O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC;

// Cleared once the kernel has said that it has no openat2.
std::atomic<bool> openat2_may_work = true;

// openat2 beneath `folder` through no link; -1 with errno when it fails,
// and with errno ENOSYS where it cannot be used at all.
int open_beneath(int folder, const char* path) {
#ifdef CORVEXA_HAS_OPENAT2
  if (openat2_may_work.load(std::memory_order_relaxed)) {
    open_how how{};
    how.flags = folder_flags;
    how.resolve = RESOLVE_BENEATH | RESOLVE_NO_SYMLINKS | RESOLVE_NO_MAGICLINKS;
    long fd = ::syscall(SYS_openat2, folder, path, &how, sizeof how);
    // A filter that refuses unknown calls may say EPERM instead of ENOSYS.
    if (fd < 0 && (errno == ENOSYS || errno == EPERM)) {
      openat2_may_work.store(false, std::memory_order_relaxed);
      errno = ENOSYS;
    }
    return static_cast<int>(fd);
  }
#else
  (void)folder;
  (void)path;
#endif
  errno = ENOSYS;
  return -1;
}

}  // namespace

std::string open_root_folder(const std::string& path, descriptor& folder) {
  folder = descriptor(::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  return folder.is_open() ? std::string() : std::strerror(errno);
}

std::size_t folders_kept_open() {
  rlimit limit{};
  if (::getrlimit(RLIMIT_NOFILE, &limit) != 0 || limit.rlim_cur == RLIM_INFINITY) return 128;
  return std::clamp<std::size_t>(static_cast<std::size_t>(limit.rlim_cur / 8), 4, 128);
}

folder_opener::folder_opener(descriptor root, std::size_t most_open)
    : root_(std::make_shared<const descriptor>(std::move(root))),
      most_open_(std::max<std::size_t>(most_open, 1)) {}

std::string folder_opener::open(const std::string& relative, shared_folder& folder) {
  if (relative.empty()) {
    folder = root_;
    return {};
  }
  std::lock_guard<std::mutex> guard(lock_);
  if (auto found = open_.find(relative); found != open_.end()) {
    recent_.splice(recent_.begin(), recent_, found->second.place);
    folder = found->second.folder;
    return {};
  }
  std::size_t rest = 0;
  shared_folder from = nearest_open(relative, rest);
  if (open_in_one_call(from, relative, rest, folder).empty()) return {};
  return open_name_by_name(std::move(from), relative, rest, folder);
}

std::string folder_opener::make(const std::string& relative) {
  shared_folder parent;
  if (std::string problem = open(folder_part(relative), parent); !problem.empty()) return problem;
  std::string name = name_part(relative);
  bool existed = ::mkdirat(parent->get(), name.c_str(), 0700) != 0;
  if (existed && errno != EEXIST) return std::strerror(errno);
  descriptor made(::openat(parent->get(), name.c_str(), folder_flags));
  if (!made.is_open()) {
    if (!existed) return this_folder_moved;  // between making and opening it
    // A link, even to a folder, is no folder: files would be written
    // through it wherever it points.
    if (errno == ELOOP || errno == ENOTDIR) return "it exists and is not a folder";
    return std::strerror(errno);
  }
  struct stat info;
  if (existed && ::fstat(made.get(), &info) == 0) {
    ::fchmod(made.get(), (info.st_mode & 0777) | 0700);  // a failure shows when writing
  }
  std::lock_guard<std::mutex> guard(lock_);
  shared_folder kept_folder;
  return keep(relative, std::move(made), kept_folder);
}

void folder_opener::close_all() {
  std::lock_guard<std::mutex> guard(lock_);
  open_.clear();
  recent_.clear();
}

shared_folder folder_opener::nearest_open(const std::string& relative, std::size_t& rest) {
  for (std::size_t slash = relative.rfind('/'); slash != std::string::npos && slash > 0;
       slash = relative.rfind('/', slash - 1)) {
    if (auto found = open_.find(relative.substr(0, slash)); found != open_.end()) {
      rest = slash + 1;
      return found->second.folder;
    }
  }
  rest = 0;
  return root_;
}

std::string folder_opener::open_in_one_call(const shared_folder& from, const std::string& relative,
                                            std::size_t rest, shared_folder& folder) {
  descriptor opened(open_beneath(from->get(), relative.c_str() + rest));
  if (!opened.is_open()) return std::strerror(errno);
  return keep(relative, std::move(opened), folder);
}

std::string folder_opener::open_name_by_name(shared_folder from, const std::string& relative,
                                             std::size_t rest, shared_folder& folder) {
  for (;;) {
    std::size_t end = std::min(relative.find('/', rest), relative.size());
    std::string path = relative.substr(0, end);
    std::string name = relative.substr(rest, end - rest);
    descriptor opened(::openat(from->get(), name.c_str(), folder_flags));
    if (!opened.is_open()) return failed_open(path, errno);
    shared_folder next;
    if (std::string problem = keep(path, std::move(opened), next); !problem.empty()) {
      return problem;
    }
    if (end == relative.size()) {
      folder = std::move(next);
      return {};
    }
    from = std::move(next);
    rest = end + 1;
  }
}

std::string folder_opener::keep(const std::string& relative, descriptor opened,
                                shared_folder& folder) {
  struct stat info;
  if (::fstat(opened.get(), &info) != 0) return std::strerror(errno);
  identity found{info.st_dev, info.st_ino};
  auto [known, first_time] = identities_.try_emplace(relative, found);
  if (!first_time && known->second != found) return folder_moved;
  if (auto already = open_.find(relative); already != open_.end()) {
    folder = already->second.folder;
    return {};
  }
  folder = std::make_shared<const descriptor>(std::move(opened));
  recent_.push_front(relative);
  open_.emplace(relative, kept{folder, recent_.begin()});
  while (open_.size() > most_open_) {
    open_.erase(recent_.back());
    recent_.pop_back();
  }
  return {};
}

std::string folder_opener::failed_open(const std::string& relative, int error) const {
  bool seen_before = identities_.contains(relative);
  if (seen_before && (error == ENOENT || error == ELOOP || error == ENOTDIR)) return folder_moved;
  return std::strerror(error);
}

}  // namespace corvexa
