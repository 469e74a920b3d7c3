// corvexa-tree: ports a whole PHP application from PHP's MySQL extension to
// its PostgreSQL extension in one run.
//
//   corvexa-tree [options] SOURCE_DIR OUTPUT_DIR
//   corvexa-tree --diff [options] SOURCE_DIR
//
// Diagnostics about the run go to standard error; the report goes to
// standard output or to --report-file.
#include <csignal>
#include <exception>
#include <new>
#include <span>
#include <string>

#include "common/byte_streams.h"
#include "common/byte_text.h"
#include "common/standard_descriptors.h"
#include "common/version.h"
#include "tree/tree_command_line.h"
#include "tree/tree_run.h"

int main(int argc, char** argv) {
  using namespace corvexa;
  hold_standard_descriptors_open();
  map_large_buffers();
  // A closed pipe or a file size limit must fail a write, which the run
  // reports, rather than kill the process with temporary files left behind.
  ::signal(SIGPIPE, SIG_IGN);
  ::signal(SIGXFSZ, SIG_IGN);
  parsed_command command =
      parse_tree_command_line(std::span<char* const>(argv, static_cast<std::size_t>(argc)));
  switch (command.outcome) {
    case command_outcome::help: return fd_writer(1).write_all(tree_help_text()) ? 0 : 1;
    case command_outcome::version:
      return fd_writer(1).write_all("corvexa-tree " + std::string(corvexa_version) + "\n") ? 0 : 1;
    case command_outcome::usage_error:
      fd_writer(2).write_all("corvexa-tree: " + command.error +
                             "\nTry 'corvexa-tree --help' for more information.\n");
      return 1;
    case command_outcome::run: break;
  }
  try {
    return run_tree(command.options);
  } catch (const std::bad_alloc&) {
    fd_writer(2).write_all("corvexa-tree: out of memory\n");
  } catch (const std::exception& failure) {
    fd_writer(2).write_all(std::string("corvexa-tree: ") + failure.what() + "\n");
  }
  return 1;
}
