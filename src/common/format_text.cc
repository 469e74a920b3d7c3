// Format filling for replacement calls and console messages.
#include "common/format_text.h"

namespace corvexa {

void write_format(output_sink& sink, const format_text& format,
                  std::initializer_list<std::string_view> values) {
  write_format<std::initializer_list<std::string_view>>(sink, format, values);
}

}  // namespace corvexa
