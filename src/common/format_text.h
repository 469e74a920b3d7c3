// Fills the "%s" places of a fixed format text with values, in order, and
// writes the result. Values are written as they are: no quoting, no escaping,
// and a zero byte inside a value is written like any other byte.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string_view>

#include "common/output_sink.h"

namespace corvexa {

// Writes `format` to `sink`, each "%s" replaced by the next of `values`.
// A "%s" without a value left is written as nothing.
void write_format(output_sink& sink, std::string_view format,
                  std::initializer_list<std::string_view> values);

// As above; if `value_offsets` is given, value i is written at sink
// position value_offsets[i] (for as many values as the format has places).
template <typename Values>
void write_format(output_sink& sink, std::string_view format,
                  const Values& values, std::uint64_t* value_offsets = nullptr) {
  auto value = values.begin();
  std::size_t written = 0;  // the format up to here has been written
  for (std::size_t place = format.find('%'); place != std::string_view::npos;
       place = format.find('%', place + 1)) {
    if (place + 1 == format.size() || format[place + 1] != 's') continue;
    sink.write(format.substr(written, place - written));
    if (value != values.end()) {
      if (value_offsets != nullptr) *value_offsets++ = sink.position();
      sink.write(*value++);
    }
    written = place + 2;
    ++place;
  }
  sink.write(format.substr(written));
}

}  // namespace corvexa
