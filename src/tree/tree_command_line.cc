// getopt_long does the GNU part (permutation, "--", grouping, "=VALUE");
// this file checks the values and the folders.
#include "tree/tree_command_line.h"

#include <getopt.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <vector>

#include "common/ascii.h"

namespace corvexa {
namespace {

enum long_only : int {
  option_report = 256,
  option_report_file,
  option_check,
  option_diff,
  option_ext,
  option_force,
  option_no_progress,
  option_rules,
  option_sql_ext,
  option_schema,
  option_against,
};

const option long_options[] = {
    {"database", required_argument, nullptr, 'd'},
    {"jobs", required_argument, nullptr, 'j'},
    {"report", required_argument, nullptr, option_report},
    {"report-file", required_argument, nullptr, option_report_file},
    {"check", no_argument, nullptr, option_check},
    {"diff", no_argument, nullptr, option_diff},
    {"ext", required_argument, nullptr, option_ext},
    {"force", no_argument, nullptr, option_force},
    {"no-progress", no_argument, nullptr, option_no_progress},
    {"rules", required_argument, nullptr, option_rules},
    {"sql-ext", required_argument, nullptr, option_sql_ext},
    {"schema", required_argument, nullptr, option_schema},
    {"against", required_argument, nullptr, option_against},
    {"help", no_argument, nullptr, 'h'},
    {"version", no_argument, nullptr, 'V'},
    {nullptr, 0, nullptr, 0},
};

constexpr unsigned most_jobs = 1024;

bool parse_jobs(const char* text, unsigned& jobs) {
  errno = 0;
  char* end = nullptr;
  long value = std::strtol(text, &end, 10);
  if (errno != 0 || end == text || *end != '\0' || value < 1 || value > most_jobs) {
    return false;
  }
  jobs = static_cast<unsigned>(value);
  return true;
}

// "php,.INC" gives {"php", "inc"}; false if an item is empty.
bool parse_extensions(std::string_view list, std::vector<std::string>& extensions) {
  extensions.clear();
  for (;;) {
    std::size_t comma = list.find(',');
    std::string item(list.substr(0, comma));
    if (!item.empty() && item[0] == '.') item.erase(0, 1);
    if (item.empty()) return false;
    extensions.push_back(ascii_lowered(item));
    if (comma == std::string_view::npos) return true;
    list.remove_prefix(comma + 1);
  }
}

// Reads the value of `option`, a list of extensions; an error message, empty
// if it was fine.
std::string extension_list(std::string_view option, const char* value,
                           std::vector<std::string>& extensions) {
  if (parse_extensions(value, extensions)) return {};
  return std::string(option) + " needs a comma-separated list of extensions, not '" + value + "'";
}

parsed_command usage_error(std::string message) {
  parsed_command result;
  result.outcome = command_outcome::usage_error;
  result.error = std::move(message);
  return result;
}

// Applies one option; returns an error message, empty if it was fine.
std::string apply_option(int code, const char* value, tree_options& options) {
  switch (code) {
    case 'd': options.database_name = value; return {};
    case 'j':
      if (!parse_jobs(value, options.jobs)) {
        return "--jobs needs a whole number from 1 to " + std::to_string(most_jobs) + ", not '" +
               value + "'";
      }
      return {};
    case option_report:
      if (std::string_view(value) == "text") {
        options.format = report_format::text;
      } else if (std::string_view(value) == "json") {
        options.format = report_format::json;
      } else if (std::string_view(value) == "sarif") {
        options.format = report_format::sarif;
      } else {
        return std::string("--report takes text, json or sarif, not '") + value + "'";
      }
      return {};
    case option_report_file:
      if (*value == '\0') return "--report-file needs a file name";
      options.report_file = value;
      return {};
    case option_check: options.check = true; return {};
    case option_diff: options.diff = true; return {};
    case option_ext: return extension_list("--ext", value, options.php_extensions);
    case option_sql_ext: return extension_list("--sql-ext", value, options.sql_extensions);
    case option_schema:
      if (*value == '\0') return "--schema needs a file name";
      options.schema_file = value;
      return {};
    case option_against:
      if (*value == '\0') return "--against needs a connection string";
      options.against = value;
      return {};
    case option_force: options.force = true; return {};
    case option_no_progress: options.progress = false; return {};
    case option_rules:
      if (std::string_view(value) == "complete") {
        options.rules = rule_set::complete;
      } else if (std::string_view(value) == "seed") {
        options.rules = rule_set::seed;
      } else {
        return std::string("--rules takes complete or seed, not '") + value + "'";
      }
      return {};
    default: return "unknown option";
  }
}

}  // namespace

parsed_command parse_tree_command_line(std::span<char* const> arguments) {
  parsed_command result;
  if (arguments.empty()) return usage_error("no arguments at all, not even a program name");
  int argc = static_cast<int>(arguments.size());
  // getopt_long keeps its place in globals; start afresh on every call and
  // let this function, not getopt, print the errors.
  optind = 0;
  opterr = 0;
  for (;;) {
    // The leading ":" makes a missing value come back as ':'.
    int code = getopt_long(argc, arguments.data(), ":d:j:hV", long_options, nullptr);
    if (code == -1) break;
    if (code == 'h') return {command_outcome::help, {}, {}};
    if (code == 'V') return {command_outcome::version, {}, {}};
    std::string last_argument = arguments[static_cast<std::size_t>(optind - 1)];
    if (code == ':') return usage_error("option '" + last_argument + "' needs a value");
    if (code == '?') {
      // An unknown letter in a group such as -xq comes back in optopt.
      bool short_option = optopt > 0 && optopt < 256;
      std::string shown =
          short_option ? std::string("-") + static_cast<char>(optopt) : last_argument;
      return usage_error("unknown option '" + shown + "'");
    }
    std::string error = apply_option(code, optarg, result.options);
    if (!error.empty()) return usage_error(error);
  }
  std::vector<std::string> folders(arguments.begin() + optind, arguments.end());
  std::size_t wanted = result.options.diff ? 1 : 2;
  if (folders.size() != wanted) {
    return usage_error(result.options.diff ? "--diff takes one folder, SOURCE_DIR"
                                           : "give two folders, SOURCE_DIR and OUTPUT_DIR");
  }
  for (const std::string& folder : folders) {
    if (folder.empty()) return usage_error("a folder name is empty");
  }
  result.options.source_dir = folders[0];
  if (!result.options.diff) result.options.output_dir = folders[1];
  result.outcome = command_outcome::run;
  return result;
}

std::string tree_help_text() {
  return "Usage: corvexa-tree [options] SOURCE_DIR OUTPUT_DIR\n"
         "       corvexa-tree --diff [options] SOURCE_DIR\n"
         "Converts every PHP file of SOURCE_DIR from PHP's MySQL extension to its\n"
         "PostgreSQL extension into OUTPUT_DIR, copies every other file, and reports\n"
         "every place that needs a hand edit with its file, line and column.\n"
         "\n"
         "  -d, --database NAME   database name for the connect calls (default \"default\")\n"
         "  -j, --jobs N          worker threads (default: the number of processors)\n"
         "      --rules SET       complete (default): every call and constant of the MySQL\n"
         "                        extension, converted to run on PHP 8; seed: exactly what\n"
         "                        corvexa -d NAME writes for each file\n"
         "      --report FORMAT   text (default), json or sarif; written to standard output\n"
         "      --report-file F   write the report to F instead\n"
         "      --check           exit 2 when a finding of severity warning or error exists\n"
         "      --diff            write no files; print a unified diff of every file that\n"
         "                        would change (the report then goes to standard error)\n"
         "      --ext LIST        comma-separated extensions converted as PHP\n"
         "                        (default php,php3,php4,php5,phtml,inc)\n"
         "      --sql-ext LIST    comma-separated extensions of MySQL SQL files, converted\n"
         "                        to PostgreSQL by the complete rules (default sql)\n"
         "      --schema FILE     a MySQL schema kept outside the tree, read for its tables\n"
         "      --against DSN     prepare every query text in this PostgreSQL database\n"
         "                        (libpq connection string), rolled back; its refusals\n"
         "                        are findings\n"
         "      --force           allow an OUTPUT_DIR that exists and is not empty\n"
         "      --no-progress     no progress line\n"
         "  -h, --help            show this text\n"
         "  -V, --version         show the version\n"
         "\n"
         "Exit status: 0 when the run completed, 1 on any failure, 2 with --check when\n"
         "findings remain, or when the --against database cannot be reached.\n";
}

}  // namespace corvexa
