// Lines and columns of byte offsets in a file too large to hold whole (a
// data dump may be gigabytes): the file is read once, block by block,
// counting line feeds up to each offset in turn.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "report/line_index.h"

namespace corvexa {

struct file_position {
  text_position position;              // column in bytes
  std::uint64_t column_in_characters;  // column in UTF-8 characters
};

// The positions of `offsets` (in increasing order) in the file open as
// `fd`, read from its start. An offset past the end gets the position of
// the end. Empty when the file cannot be read.
std::vector<file_position> file_positions(int fd, std::span<const std::uint64_t> offsets);

}  // namespace corvexa
