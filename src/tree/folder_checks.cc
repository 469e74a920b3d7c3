// Real paths come from real_paths.h: for an output folder that does not
// exist yet, the real path of its nearest existing ancestor with the
// missing names appended.
#include "tree/folder_checks.h"

#include <dirent.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <utility>

#include "tree/real_paths.h"

namespace corvexa {
namespace {

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

std::string with_reason(const std::string& what) { return what + ": " + std::strerror(errno); }

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
  file_identity source_identity, output_identity;
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
