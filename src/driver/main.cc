// corvexa: converts one PHP file written for PHP's MySQL extension into one
// written for its PostgreSQL extension.
//
//   corvexa [-d dbname] infile outfile
//
// Every message goes to standard output; the exit status is 0 after a
// completed conversion and 1 otherwise.
#include <csignal>
#include <span>

#include "common/byte_streams.h"
#include "common/byte_text.h"
#include "common/output_sink.h"
#include "common/standard_descriptors.h"
#include "driver/banner.h"
#include "driver/command_line.h"
#include "driver/conversion_run.h"
#include "translate/mysql_call_table.h"

int main(int argc, char** argv) {
  using namespace corvexa;
  hold_standard_descriptors_open();
  map_large_buffers();
  // A file size limit must fail a write, which is reported, rather than
  // kill the process without a word. (A closed pipe still ends it, as it
  // ends any filter.)
  ::signal(SIGXFSZ, SIG_IGN);
  fd_writer standard_output(1);
  output_sink console(standard_output);
  print_banner(console);

  std::span<const char* const> arguments;
  if (argc > 1) arguments = {argv + 1, static_cast<std::size_t>(argc - 1)};
  command_line command;
  int status = 1;
  if (!parse_command_line(arguments, console, command)) {
    print_usage(console, argc > 0 && argv[0] ? argv[0] : "corvexa");
  } else {
    status = run_conversion(command, make_mysql_call_table({command.database_name}), console);
  }
  // A console that cannot be written loses messages: that is no success.
  if (!console.flush()) status = 1;
  return status;
}
