// A depth-first walk with readdir on each folder's descriptor; file types
// come from the directory entries where the file system gives them, from
// fstatat otherwise.
#include "tree/source_walk.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>
#include <set>
#include <utility>

namespace corvexa {
namespace {

std::string join(const std::string& folder, const std::string& name) {
  return folder.empty() ? name : folder + "/" + name;
}

std::string describe_other(mode_t mode) {
  if (S_ISFIFO(mode)) return "a FIFO";
  if (S_ISSOCK(mode)) return "a socket";
  if (S_ISCHR(mode)) return "a character device";
  if (S_ISBLK(mode)) return "a block device";
  return "not a regular file, folder or symbolic link";
}

struct folder_closer {
  void operator()(DIR* folder) const { ::closedir(folder); }
};

class walker {
 public:
  explicit walker(folder_opener& source) : source_(source) {}

  std::vector<tree_entry> walk() {
    std::vector<open_level> levels;
    enter("", levels);
    while (!levels.empty()) {
      open_level& level = levels.back();
      if (level.subfolders_left.empty()) {
        on_path_.erase(level.identity);
        levels.pop_back();
        continue;
      }
      std::string next = std::move(level.subfolders_left.back());
      level.subfolders_left.pop_back();
      enter(next, levels);
    }
    std::sort(entries_.begin(), entries_.end(),
              [](const tree_entry& a, const tree_entry& b) { return a.path < b.path; });
    return std::move(entries_);
  }

 private:
  // A folder whose subfolders are being listed, and those still to list.
  // The walk keeps these on a stack of its own: a deep tree would overflow
  // the call stack.
  struct open_level {
    std::pair<dev_t, ino_t> identity;
    std::vector<std::string> subfolders_left;
  };

  // Lists the folder `opened` at `relative` (empty for the root); returns
  // its subfolders.
  std::vector<std::string> list_folder(const std::string& relative, int opened) {
    // A descriptor of its own for readdir, whose place in the folder then
    // belongs to this listing alone.
    std::unique_ptr<DIR, folder_closer> folder;
    int listing = ::openat(opened, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (listing >= 0) {
      folder.reset(::fdopendir(listing));
      if (!folder) ::close(listing);
    }
    std::vector<std::string> subfolders;
    if (!folder) {
      mark_unreadable(relative, std::strerror(errno));
      return subfolders;
    }
    errno = 0;
    while (const dirent* item = ::readdir(folder.get())) {
      std::string name = item->d_name;
      if (name == "." || name == "..") continue;
      add_entry(::dirfd(folder.get()), join(relative, name), name, item->d_type, subfolders);
      errno = 0;
    }
    if (errno != 0) mark_unreadable(relative, std::strerror(errno));
    return subfolders;
  }

  void add_entry(int folder_fd, const std::string& path, const std::string& name,
                 unsigned char type, std::vector<std::string>& subfolders) {
    tree_entry entry;
    entry.path = path;
    struct stat info;
    bool need_stat = type == DT_UNKNOWN || type == DT_DIR;
    if (need_stat && ::fstatat(folder_fd, name.c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0) {
      entry.type = entry_type::unreadable_folder;
      entry.problem = std::strerror(errno);
      entries_.push_back(std::move(entry));
      return;
    }
    mode_t mode = need_stat ? info.st_mode : DTTOIF(type);
    if (S_ISDIR(mode)) {
      entry.type = entry_type::folder;
      entry.mode = info.st_mode & 07777;
      subfolders.push_back(path);
    } else if (S_ISREG(mode)) {
      entry.type = entry_type::regular_file;
    } else if (S_ISLNK(mode)) {
      entry.type = entry_type::symbolic_link;
      read_link(folder_fd, name, entry);
    } else {
      entry.type = entry_type::other;
      entry.problem = describe_other(mode);
    }
    entries_.push_back(std::move(entry));
  }

  void read_link(int folder_fd, const std::string& name, tree_entry& entry) {
    std::string target(256, '\0');
    for (;;) {
      ssize_t length = ::readlinkat(folder_fd, name.c_str(), target.data(), target.size());
      if (length < 0) {
        entry.type = entry_type::other;
        entry.problem = std::string("its link could not be read: ") + std::strerror(errno);
        return;
      }
      if (static_cast<std::size_t>(length) < target.size()) {
        target.resize(static_cast<std::size_t>(length));
        entry.link_target = std::move(target);
        return;
      }
      target.resize(target.size() * 2);
    }
  }

  // Lists the folder at `relative` and adds it to `levels`, unless it is a
  // folder already being listed (a bind mount of an ancestor), which would
  // never end. Its descriptor is let go once it is listed: the walk must
  // not hold one for each level of a deep tree.
  void enter(const std::string& relative, std::vector<open_level>& levels) {
    shared_folder folder;
    if (std::string problem = source_.open(relative, folder); !problem.empty()) {
      mark_unreadable(relative, problem);
      return;
    }
    struct stat info;
    if (::fstat(folder->get(), &info) != 0) {
      mark_unreadable(relative, std::strerror(errno));
      return;
    }
    std::pair<dev_t, ino_t> identity{info.st_dev, info.st_ino};
    if (!on_path_.insert(identity).second) {
      mark_unreadable(relative, "it is one of its own parent folders");
      return;
    }
    levels.push_back({identity, list_folder(relative, folder->get())});
  }

  void mark_unreadable(const std::string& relative, const std::string& reason) {
    for (tree_entry& entry : entries_) {
      if (entry.path == relative && entry.type == entry_type::folder) {
        entry.type = entry_type::unreadable_folder;
        entry.problem = reason;
        return;
      }
    }
    tree_entry entry;
    entry.path = relative;
    entry.type = entry_type::unreadable_folder;
    entry.problem = reason;
    entries_.push_back(std::move(entry));
  }

  folder_opener& source_;
  std::vector<tree_entry> entries_;
  std::set<std::pair<dev_t, ino_t>> on_path_;
};

}  // namespace

std::vector<tree_entry> walk_source_tree(folder_opener& source) { return walker(source).walk(); }

}  // namespace corvexa
