// Opening, converting and closing, with the file checks that keep the input
// safe: a directory is not an input, and an output path that names the input
// file (by any spelling or link) is refused before anything is truncated.
#include "driver/conversion_run.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "common/byte_streams.h"
#include "common/format_text.h"
#include "common/input_buffer.h"
#include "scan/stream_conversion.h"

namespace corvexa {
namespace {

constexpr std::string_view same_name_error =
    "Error: infile cannot be the same as outfile.\n";  // printed as a line
constexpr std::string_view open_input_error =
    "Error: could not open infile %s.\n\n";
constexpr std::string_view open_output_error =
    "Error: could not open outfile %s.\n\n";
constexpr std::string_view read_error = "Error: could not read infile %s.\n\n";
constexpr std::string_view write_error =
    "Error: could not write outfile %s.\n\n";
constexpr std::string_view start_message =
    "Infile: %s\nOutfile: %s\nDatabase: %s\n\n";
constexpr std::string_view done_message = "Done.\n";  // printed as a line

// An open file descriptor, closed when it goes out of scope unless closed
// earlier by close_checked().
class open_file {
 public:
  explicit open_file(int fd) : fd_(fd) {}
  ~open_file() {
    if (fd_ >= 0) ::close(fd_);
  }
  open_file(const open_file&) = delete;
  open_file& operator=(const open_file&) = delete;
  open_file(open_file&& other) noexcept : fd_(other.fd_) { other.fd_ = -1; }

  int fd() const { return fd_; }
  bool is_open() const { return fd_ >= 0; }
  // Closes now; false if the close reported an error (such as a delayed
  // write failure).
  bool close_checked() {
    int result = ::close(fd_);
    fd_ = -1;
    return result == 0;
  }

 private:
  int fd_;
};

// Opens `path` for reading; a directory does not count as readable.
open_file open_input(const std::string& path) {
  open_file file(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
  struct stat info;
  if (file.is_open() &&
      (::fstat(file.fd(), &info) != 0 || S_ISDIR(info.st_mode))) {
    return open_file(-1);
  }
  return file;
}

// True if `path` exists and is the file open as `input`.
bool names_input_file(const std::string& path, const open_file& input) {
  struct stat output_info, input_info;
  if (::stat(path.c_str(), &output_info) != 0) return false;
  if (::fstat(input.fd(), &input_info) != 0) return false;
  return output_info.st_dev == input_info.st_dev &&
         output_info.st_ino == input_info.st_ino;
}

open_file open_output(const std::string& path) {
  return open_file(
      ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666));
}

}  // namespace

int run_conversion(const command_line& command, const call_table& calls,
                   output_sink& console) {
  if (command.input_path == command.output_path) {
    console.write_line(same_name_error);
    return 1;
  }
  open_file input = open_input(command.input_path);
  if (!input.is_open()) {
    write_format(console, open_input_error, {command.input_path});
    return 1;
  }
  if (names_input_file(command.output_path, input)) {
    console.write_line(same_name_error);
    return 1;
  }
  open_file output = open_output(command.output_path);
  if (!output.is_open()) {
    write_format(console, open_output_error, {command.output_path});
    return 1;
  }

  write_format(console, start_message, {command.input_path, command.output_path,
                                        command.database_name});
  console.flush();

  fd_reader reader(input.fd());
  fd_writer writer(output.fd());
  input_buffer input_stream(reader);
  output_sink output_stream(writer);
  convert_stream(input_stream, output_stream, console, calls,
                 {command.database_name, command.input_path,
                  command.output_path});

  bool written = output_stream.flush();
  written = output.close_checked() && written;
  if (input_stream.read_failed()) {
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

}  // namespace corvexa
