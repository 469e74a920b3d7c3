// The progress line on standard error: files done of the total and the
// time so far, rewritten in place. Shown only on a terminal, so nothing of
// it ever reaches a file or a pipe.
#pragma once

#include <chrono>
#include <cstddef>

namespace corvexa {

class progress_line {
 public:
  // Shows nothing unless `wanted` and standard error is a terminal.
  explicit progress_line(bool wanted);
  ~progress_line();
  progress_line(const progress_line&) = delete;
  progress_line& operator=(const progress_line&) = delete;

  // Redraws the line, at most ten times a second.
  void show(std::size_t done, std::size_t total);
  // Clears the line, so that what is printed next starts at its beginning.
  void clear();

 private:
  bool shown_ = false;
  bool active_;
  std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
  std::chrono::steady_clock::time_point last_shown_ = start_;
};

}  // namespace corvexa
