// Lists everything under the source folder without following symbolic
// links, so a link never leads the walk out of the tree or round in a loop.
// Every folder is opened through the source tree's folder_opener, which
// remembers each folder's identity for the reads that follow.
#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

#include "tree/folder_opener.h"

namespace corvexa {

enum class entry_type {
  folder,
  regular_file,
  symbolic_link,
  other,              // a FIFO, socket or device: skipped
  unreadable_folder,  // listed, but its content could not be read
};

struct tree_entry {
  std::string path;  // relative to the source folder, "/" between names
  entry_type type = entry_type::regular_file;
  mode_t mode = 0;          // permission bits of folders
  std::string link_target;  // of symbolic links
  std::string problem;      // why a folder could not be read; what "other" is
};

// Every entry under the root of `source` (which is not listed itself), in
// byte order of the paths, so parents come before what they hold. Folders
// that cannot be read are listed as unreadable_folder with the reason.
std::vector<tree_entry> walk_source_tree(folder_opener& source);

}  // namespace corvexa
