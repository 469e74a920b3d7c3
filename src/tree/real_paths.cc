// realpath(3) does the resolving; a missing name is appended as it is.
#include "tree/real_paths.h"

#include <stdlib.h>
#include <sys/stat.h>

#include <algorithm>
#include <memory>

namespace corvexa {

bool real_path(const std::string& path, std::string& resolved) {
  std::unique_ptr<char, decltype(&std::free)> result(::realpath(path.c_str(), nullptr), &std::free);
  if (!result) return false;
  resolved = result.get();
  return true;
}

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

bool identity_of(const std::string& path, file_identity& identity) {
  struct stat info;
  if (::stat(path.c_str(), &info) != 0) return false;
  identity = {info.st_dev, info.st_ino};
  return true;
}

bool within_by_identity(std::string folder, const file_identity& target) {
  for (;;) {
    file_identity identity;
    if (identity_of(folder, identity) && identity == target) return true;
    if (folder == "/") return false;
    std::size_t slash = folder.rfind('/');
    folder = slash == 0 ? "/" : folder.substr(0, slash);
  }
}

bool within(const std::string& inner, const std::string& outer) {
  if (inner == outer) return true;
  std::string prefix = outer == "/" ? outer : outer + "/";
  return inner.compare(0, prefix.size(), prefix) == 0;
}

}  // namespace corvexa
