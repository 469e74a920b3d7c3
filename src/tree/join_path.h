// Paths under the source and output folders are built by joining a folder,
// as the user gave it, with a path relative to it.
#pragma once

#include <string>

namespace corvexa {

// `folder` + "/" + `relative`, without doubling a slash that ends `folder`.
inline std::string join_path(const std::string& folder, const std::string& relative) {
  if (folder.empty()) return relative;
  return folder.back() == '/' ? folder + relative : folder + "/" + relative;
}

}  // namespace corvexa
