// Reading source files and writing output files safely, each by name in a
// folder that the run opened itself (see folder_opener.h), never through a
// path that could be swapped during the run. A source file is opened
// without following a link and without waiting on a FIFO, so a file
// swapped for something else during the run is refused, never read
// through. Every output file is written under a temporary name in its final
// folder and renamed when complete, so a failed or interrupted run never
// leaves a half-written file under a final name.
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

// Reads the regular file `name` of the open folder `folder` whole.
io_error read_regular_file(int folder, const std::string& name, read_file& file);

// Writes `bytes` as the file `name` of `folder` with permission bits `mode`.
io_error write_file_atomically(int folder, const std::string& name, std::string_view bytes,
                               mode_t mode);

// Copies the regular file `from_name` of `from_folder` to `to_name` of
// `to_folder`, permission bits included.
io_error copy_file_atomically(int from_folder, const std::string& from_name, int to_folder,
                              const std::string& to_name);

// Makes `name` of `folder` a symbolic link to `target`.
io_error make_link_atomically(const std::string& target, int folder, const std::string& name);

}  // namespace corvexa
