// Real paths come from realpath(3); for an output folder that does not
// exist yet, from the real path of its nearest existing ancestor with the
// missing names appended.
#include "tree/folder_checks.h"

#include <dirent.h>
#include <stdlib.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <memory>
#include <vector>

namespace corvexa {
namespace {

bool real_path(const std::string& path, std::string& resolved) {
  std::unique_ptr<char, decltype(&std::free)> result(::realpath(path.c_str(), nullptr),
                                                     &std::free);
  if (!result) return false;
  resolved = result.get();
  return true;
}

// The real path `path` would have, whether or not it exists yet: the names
// that do not exist are appended to the real path of the nearest ancestor
// that does, "." and ".." resolved by name.
bool future_real_path(const std::string& path, std::string& resolved) {
  std::string existing = path;
  std::vector<std::string> missing;
  while (!real_path(existing, resolved)) {
    if (errno != ENOENT) return false;
    while (existing.size() > 1 && existing.back() == '/') existing.pop_back();
    std::size_t slash = existing.rfind('/');
    missing.push_back(slash == std::string::npos ? existing : existing.substr(slash + 1));
    existing = slash == std::string::npos ? "." : (slash == 0 ? "/" : existing.substr(0, slash));
  }
  for (auto name = missing.rbegin(); name != missing.rend(); ++name) {
    if (name->empty() || *name == ".") continue;
    if (*name == "..") {
      std::size_t slash = resolved.rfind('/');
      resolved.erase(slash == 0 ? 1 : slash);
    } else {
      resolved += resolved == "/" ? *name : "/" + *name;
    }
  }
  return true;
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
  if (real_output == real_source) {
    return "output folder " + output + " is the source folder";
  }
  if (within(real_output, real_source)) {
    return "output folder " + output + " is inside the source folder " + source;
  }
  if (within(real_source, real_output)) {
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
