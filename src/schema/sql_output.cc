// Comment lines.
#include "schema/sql_output.h"

namespace corvexa::schema {

void sql_output::comment(std::string_view text) {
  if (tap_ != nullptr) tap_->mark_different();
  sink_.write("-- ");
  std::size_t start = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    if (c != '\n' && c != '\r' && c != '\0') continue;
    sink_.write(text.substr(start, i - start));
    if (c == '\n') sink_.write("\n-- ");
    start = i + 1;
  }
  sink_.write(text.substr(start));
  sink_.put('\n');
}

}  // namespace corvexa::schema
