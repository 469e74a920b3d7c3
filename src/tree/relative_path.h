// Paths inside a tree are relative to its root folder, names joined by "/";
// a file is reached by opening its folder (see folder_opener.h) and then
// its own name there.
#pragma once

#include <string>

namespace corvexa {

// The folder part of `relative`: "" for a name at the top.
inline std::string folder_part(const std::string& relative) {
  std::size_t slash = relative.rfind('/');
  return slash == std::string::npos ? std::string() : relative.substr(0, slash);
}

// The last name of `relative`.
inline std::string name_part(const std::string& relative) {
  std::size_t slash = relative.rfind('/');
  return slash == std::string::npos ? relative : relative.substr(slash + 1);
}

}  // namespace corvexa
