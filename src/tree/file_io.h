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

#include <functional>
#include <string>
#include <string_view>

#include "common/descriptor.h"

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

// What a streaming conversion does with an open input and output: false
// when it could not read or write, with errno saying why.
using stream_filter = std::function<bool(int input, int output)>;

// Writes the file `to_name` of `to_folder` as what `filter` makes of the
// regular file `from_name` of `from_folder`, permission bits kept: for a
// file too large to be held whole. A failing filter's error begins with
// `failed`.
io_error filter_file_atomically(int from_folder, const std::string& from_name, int to_folder,
                                const std::string& to_name, const stream_filter& filter,
                                std::string_view failed = "could not convert");

// Opens the regular file `name` of `folder` for reading, for a reader that
// streams it.
io_error open_regular_file(int folder, const std::string& name, descriptor& file);

// Makes `name` of `folder` a symbolic link to `target`.
io_error make_link_atomically(const std::string& target, int folder, const std::string& name);

}  // namespace corvexa
