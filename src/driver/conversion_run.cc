// Opening, converting and closing, with the file checks that keep the input
// safe: a directory is not an input, and an output that is the input file
// (by any spelling or link) is refused before anything is truncated.
#include "driver/conversion_run.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <new>
#include <optional>
#include <utility>

#include "common/byte_streams.h"
#include "common/descriptor.h"
#include "common/format_text.h"
#include "common/input_buffer.h"
#include "driver/console_report.h"
#include "scan/stream_conversion.h"

namespace corvexa {
namespace {

constexpr std::string_view same_name_error =
    "Error: infile cannot be the same as outfile.\n";  // printed as a line
constexpr format_text open_input_error = "Error: could not open infile %s.\n\n";
constexpr format_text open_output_error = "Error: could not open outfile %s.\n\n";
constexpr format_text read_error = "Error: could not read infile %s.\n\n";
constexpr format_text write_error = "Error: could not write outfile %s.\n\n";
constexpr format_text out_of_memory_error = "Error: out of memory while converting infile %s.\n\n";
constexpr format_text start_message = "Infile: %s\nOutfile: %s\nDatabase: %s\n\n";
constexpr std::string_view done_message = "Done.\n";  // printed as a line

// The input, open for reading, and its size at opening if it is a regular
// file: fewer bytes than that by the end means someone cut it short.
struct opened_input {
  descriptor file;
  std::optional<unsigned long long> size_at_opening;
};

// Opens `path` for reading; a directory does not count as readable.
opened_input open_input(const std::string& path) {
  descriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
  struct stat info;
  if (!file.is_open() || ::fstat(file.get(), &info) != 0 || S_ISDIR(info.st_mode)) {
    return {descriptor(-1), std::nullopt};
  }
  std::optional<unsigned long long> size;
  if (S_ISREG(info.st_mode)) size = static_cast<unsigned long long>(info.st_size);
  return {std::move(file), size};
}

// True if `path` exists and is the file open as `input`. Checked before
// opening the output so that a read-only input under another name is still
// reported as the same file; the check after opening is what keeps it safe.
bool names_input_file(const std::string& path, const descriptor& input) {
  struct stat output_info, input_info;
  if (::stat(path.c_str(), &output_info) != 0) return false;
  if (::fstat(input.get(), &input_info) != 0) return false;
  return output_info.st_dev == input_info.st_dev && output_info.st_ino == input_info.st_ino;
}

enum class output_outcome { opened, same_as_input, not_opened };

// Opens `path` for writing without truncating it, then compares what was
// opened with the open input. Only a file that is known to be another file
// is truncated: a name that changes between a check and the opening (a
// symbolic link swapped in, say) can never make the input lose a byte.
output_outcome open_output(const std::string& path, const descriptor& input, descriptor& output) {
  output = descriptor(::open(path.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0666));
  if (!output.is_open()) return output_outcome::not_opened;
  struct stat output_info, input_info;
  if (::fstat(output.get(), &output_info) != 0 || ::fstat(input.get(), &input_info) != 0) {
    return output_outcome::not_opened;
  }
  if (output_info.st_dev == input_info.st_dev && output_info.st_ino == input_info.st_ino) {
    return output_outcome::same_as_input;
  }
  if (S_ISREG(output_info.st_mode) && ::ftruncate(output.get(), 0) != 0) {
    return output_outcome::not_opened;
  }
  return output_outcome::opened;
}

// Converts the open input into the open output. Returns the exit status.
int convert_files(const command_line& command, const call_table& calls, const opened_input& input,
                  descriptor& output, output_sink& console) {
  fd_reader reader(input.file.get());
  fd_writer writer(output.get());
  input_buffer input_stream(reader);
  output_sink output_stream(writer);
  console_report messages(console,
                          {command.database_name, command.input_path, command.output_path});
  convert_stream(input_stream, output_stream, messages, calls);

  bool written = output_stream.flush();
  written = output.close() && written;
  bool cut_short = input.size_at_opening && reader.bytes_read() < *input.size_at_opening;
  if (input_stream.read_failed() || cut_short) {
    write_format(console, read_error, {command.input_path});
    return 1;
  }
  if (!written) {
    write_format(console, write_error, {command.output_path});
    return 1;
  }
  console.write_line(done_message);
  return 0;
}

}  // namespace

int run_conversion(const command_line& command, const call_table& calls, output_sink& console) {
  if (command.input_path == command.output_path) {
    console.write_line(same_name_error);
    return 1;
  }
  opened_input input = open_input(command.input_path);
  if (!input.file.is_open()) {
    write_format(console, open_input_error, {command.input_path});
    return 1;
  }
  if (names_input_file(command.output_path, input.file)) {
    console.write_line(same_name_error);
    return 1;
  }
  descriptor output(-1);
  switch (open_output(command.output_path, input.file, output)) {
    case output_outcome::same_as_input: console.write_line(same_name_error); return 1;
    case output_outcome::not_opened:
      write_format(console, open_output_error, {command.output_path});
      return 1;
    case output_outcome::opened: break;
  }

  write_format(console, start_message,
               {command.input_path, command.output_path, command.database_name});
  console.flush();
  try {
    return convert_files(command, calls, input, output, console);
  } catch (const std::bad_alloc&) {
    write_format(console, out_of_memory_error, {command.input_path});
    return 1;
  }
}

}  // namespace corvexa
