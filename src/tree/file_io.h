// Reading source files and writing output files safely. A source file is
// opened without following a link and without waiting on a FIFO, so a file
// swapped for something else during the run is refused, never read through.
// Every output file is written under a temporary name in its final folder
// and renamed when complete, so a failed or interrupted run never leaves a
// half-written file under a final name.
#pragma once

#include <sys/types.h>

#include <string>
#include <string_view>

namespace corvexa {

// What went wrong, as "could not read: Permission denied"; empty when
// nothing did.
using io_error = std::string;

struct read_file {
  std::string bytes;
  mode_t mode = 0;  // permission bits
};

// Reads the regular file at `path` whole.
io_error read_regular_file(const std::string& path, read_file& file);

// Writes `bytes` as the file `path` with permission bits `mode`.
io_error write_file_atomically(const std::string& path, std::string_view bytes,
                               mode_t mode);

// Copies the regular file `from` to `to`, permission bits included.
io_error copy_file_atomically(const std::string& from, const std::string& to);

// Makes `path` a symbolic link to `target`.
io_error make_link_atomically(const std::string& target, const std::string& path);

}  // namespace corvexa
