// Helpers for the end-to-end tests of corvexa-tree: run it in a folder, and
// compare reports without the time they took.
#pragma once

#include <string>
#include <vector>

#include "run_corvexa.h"

namespace corvexa_test {

inline run_result run_tree(std::vector<std::string> arguments, const std::string& cwd,
                           const run_options& options = {}) {
  arguments.insert(arguments.begin(), "corvexa-tree");
  return run_program(CORVEXA_TREE_BINARY, arguments, cwd, options);
}

// Everything but the line or field that gives the time.
inline std::string without_time(const std::string& report) {
  std::string kept;
  std::size_t start = 0;
  while (start < report.size()) {
    std::size_t end = report.find('\n', start);
    end = end == std::string::npos ? report.size() : end + 1;
    std::string line = report.substr(start, end - start);
    if (line.rfind("time: ", 0) != 0 && line.find("\"seconds\"") == std::string::npos) {
      kept += line;
    }
    start = end;
  }
  return kept;
}

}  // namespace corvexa_test
