// "\r" returns to the start of the line and "\033[K" erases the rest.
#include "tree/progress_line.h"

#include <unistd.h>

#include <cstdio>

namespace corvexa {

progress_line::progress_line(bool wanted) : active_(wanted && ::isatty(2) == 1) {}

progress_line::~progress_line() { clear(); }

void progress_line::show(std::size_t done, std::size_t total) {
  if (!active_) return;
  auto now = std::chrono::steady_clock::now();
  if (now - last_shown_ < std::chrono::milliseconds(100)) return;
  last_shown_ = now;
  double seconds = std::chrono::duration<double>(now - start_).count();
  char line[128];
  int length = std::snprintf(line, sizeof line, "\rcorvexa-tree: %zu of %zu files, %.1f s\033[K",
                             done, total, seconds);
  if (length > 0 && ::write(2, line, static_cast<std::size_t>(length)) > 0) shown_ = true;
}

void progress_line::clear() {
  if (!shown_) return;
  static constexpr char erase[] = "\r\033[K";
  if (::write(2, erase, sizeof erase - 1) < 0) return;
  shown_ = false;
}

}  // namespace corvexa
