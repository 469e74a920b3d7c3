// Real paths come from realpath(3); for an output folder that does not
// exist yet, from the real path of its nearest existing ancestor with the
// missing names appended.
#include "tree/folder_checks.h"

#include <dirent.h>
#include <stdlib.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>
#include <utility>

namespace corvexa {
namespace {

bool real_path(const std::string& path, std::string& resolved) {
  std::unique_ptr<char, decltype(&std::free)> result(::realpath(path.c_str(), nullptr),
                                                     &std::free);
  if (!result) return false;
  resolved = result.get();
  return true;
}

// The real path `path` would have once created as `mkdir -p` creates it:
// names are taken left to right, each one that exists is resolved by
// realpath (links included), a missing one is appended as it is, and ".."
// after a missing name returns to the folder before it, as it would once
// that name had been created.
bool future_real_path(const std::string& path, std::string& resolved) {
  if (!real_path(path.starts_with("/") ? "/" : ".", resolved)) return false;
  std::size_t missing = 0;  // trailing names of `resolved` that do not exist yet
  std::size_t begin = 0;
  while (begin <= path.size()) {
    std::size_t end = std::min(path.find('/', begin), path.size());
    std::string name = path.substr(begin, end - begin);
    begin = end + 1;
    if (name.empty() || name == ".") continue;
    if (name == ".." && missing > 0) {
      resolved.erase(resolved.rfind('/'));
      --missing;
      continue;
    }
    std::string candidate = resolved;
    if (candidate != "/") candidate += '/';
    candidate += name;
    struct stat info;
    if (missing == 0 && ::lstat(candidate.c_str(), &info) == 0) {
      if (!real_path(candidate, resolved)) return false;
    } else if (name == "..") {
      return false;  // ".." above the root, or after a name that failed
    } else {
      resolved = candidate;
      ++missing;
    }
  }
  return true;
}

// The device and inode of `path`; false if it cannot be read.
bool identity_of(const std::string& path, std::pair<dev_t, ino_t>& identity) {
  struct stat info;
  if (::stat(path.c_str(), &info) != 0) return false;
  identity = {info.st_dev, info.st_ino};
  return true;
}

// True if `folder` or one of its ancestors is the folder `target` by
// device and inode: a bind mount shows the same folder under another real
// path. Ancestors that do not exist yet are skipped.
bool within_by_identity(std::string folder, const std::pair<dev_t, ino_t>& target) {
  for (;;) {
    std::pair<dev_t, ino_t> identity;
    if (identity_of(folder, identity) && identity == target) return true;
    if (folder == "/") return false;
    std::size_t slash = folder.rfind('/');
    folder = slash == 0 ? "/" : folder.substr(0, slash);
  }
}

// True if `inner` is `outer` or lies inside it.
bool within(const std::string& inner, const std::string& outer) {
  if (inner == outer) return true;
  std::string prefix = outer == "/" ? outer : outer + "/";
  return inner.compare(0, prefix.size(), prefix) == 0;
}

bool is_empty_folder(const std::string& path) {
  DIR* folder = ::opendir(path.c_str());
  if (folder == nullptr) return false;
  bool empty = true;
  while (const dirent* item = ::readdir(folder)) {
    std::string_view name = item->d_name;
    if (name != "." && name != "..") {
      empty = false;
      break;
    }
  }
  ::closedir(folder);
  return empty;
}

std::string with_reason(const std::string& what) {
  return what + ": " + std::strerror(errno);
}

}  // namespace

std::string check_source_folder(const std::string& source) {
  struct stat info;
  if (::stat(source.c_str(), &info) != 0) return with_reason("cannot use source folder " + source);
  if (!S_ISDIR(info.st_mode)) return "source " + source + " is not a folder";
  DIR* folder = ::opendir(source.c_str());
  if (folder == nullptr) return with_reason("cannot read source folder " + source);
  ::closedir(folder);
  return {};
}

std::string check_output_folder(const std::string& source, const std::string& output,
                                bool allow_existing_content) {
  std::string real_source, real_output;
  if (!real_path(source, real_source)) return with_reason("cannot use source folder " + source);
  if (!future_real_path(output, real_output)) {
    return with_reason("cannot use output folder " + output);
  }
  std::pair<dev_t, ino_t> source_identity, output_identity;
  if (!identity_of(real_source, source_identity)) {
    return with_reason("cannot use source folder " + source);
  }
  bool output_exists = identity_of(real_output, output_identity);
  if (real_output == real_source || (output_exists && output_identity == source_identity)) {
    return "output folder " + output + " is the source folder";
  }
  if (within(real_output, real_source) || within_by_identity(real_output, source_identity)) {
    return "output folder " + output + " is inside the source folder " + source;
  }
  if (within(real_source, real_output) ||
      (output_exists && within_by_identity(real_source, output_identity))) {
    return "output folder " + output + " contains the source folder " + source;
  }
  struct stat info;
  if (::stat(output.c_str(), &info) != 0) {
    if (errno == ENOENT) return {};
    return with_reason("cannot use output folder " + output);
  }
  if (!S_ISDIR(info.st_mode)) return "output " + output + " exists and is not a folder";
  if (!allow_existing_content && !is_empty_folder(output)) {
    return "output folder " + output + " exists and is not empty (use --force to write into it)";
  }
  return {};
}

std::string create_folder_path(const std::string& path) {
  for (std::size_t slash = path.find('/', 1);; slash = path.find('/', slash + 1)) {
    std::string prefix = path.substr(0, slash);
    if (::mkdir(prefix.c_str(), 0777) != 0 && errno != EEXIST) {
      return with_reason("cannot create output folder " + prefix);
    }
    if (slash == std::string::npos) break;
  }
  struct stat info;
  if (::stat(path.c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) {
    return "cannot create output folder " + path;
  }
  return {};
}

}  // namespace corvexa
