// Fills the "%s" places of a fixed format text with values, in order, and
// writes the result. Values are written as they are: no quoting, no escaping,
// and a zero byte inside a value is written like any other byte.
#pragma once

#include <array>
#include <cstdint>
#include <initializer_list>
#include <stdexcept>
#include <string_view>

#include "common/output_sink.h"
#include "common/short_copy.h"

namespace corvexa {

// A format text with the places of its "%s" found when it is made, which
// for a constant is at compile time: filling it in then only copies.
class format_text {
 public:
  static constexpr std::size_t most_places = 8;

  constexpr format_text() = default;
  // Throws std::length_error (for a constant: does not compile) if `text`
  // has more than most_places places.
  constexpr format_text(std::string_view text) : text_(text) {
    for (std::size_t at = 0; at + 1 < text.size(); ++at) {
      if (text[at] != '%' || text[at + 1] != 's') continue;
      if (place_count_ == most_places) throw std::length_error("too many %s places");
      places_[place_count_++] = at;
      ++at;
    }
  }
  constexpr format_text(const char* text) : format_text(std::string_view(text)) {}

  constexpr std::string_view text() const { return text_; }
  constexpr std::size_t place_count() const { return place_count_; }
  // Where the "%s" of place `index` begins in text().
  constexpr std::size_t place(std::size_t index) const { return places_[index]; }

 private:
  std::string_view text_;
  std::array<std::size_t, most_places> places_ = {};
  std::size_t place_count_ = 0;
};

// Writes `format` to `sink`, each "%s" replaced by the next of `values`.
// A "%s" without a value left is written as nothing.
void write_format(output_sink& sink, const format_text& format,
                  std::initializer_list<std::string_view> values);

namespace detail {

// How many bytes `format` filled with `values` takes: the format without
// its "%s" places, and the values that have a place.
template <typename Values>
std::size_t filled_size(const format_text& format, const Values& values) {
  std::size_t size = format.text().size() - 2 * format.place_count();
  std::size_t index = 0;
  for (std::string_view value : values) {
    if (index++ == format.place_count()) break;
    size += value.size();
  }
  return size;
}

// Walks `format` filled with `values`: each piece of the format's own text
// goes to text(piece), each value that has a place to value(bytes), in
// order. The places lie in the text, so its pieces are cut without
// substr()'s bounds checks, which every call's replacement would pay.
template <typename Values, typename Text, typename Value>
void fill(const format_text& format, const Values& values, Text text, Value value) {
  auto next = values.begin();
  const char* chars = format.text().data();
  std::size_t written = 0;  // the format up to here has been handed out
  for (std::size_t index = 0; index < format.place_count(); ++index) {
    std::size_t place = format.place(index);
    text(std::string_view(chars + written, place - written));
    if (next != values.end()) value(std::string_view(*next++));
    written = place + 2;
  }
  text(std::string_view(chars + written, format.text().size() - written));
}

// Writes `format` filled with `values` into `to`, which has room for it;
// `position` is the sink position of `to`.
template <typename Values>
void fill_in_place(char* to, std::uint64_t position, const format_text& format,
                   const Values& values, std::uint64_t* value_offsets) {
  char* const start = to;
  auto copy = [&to](std::string_view bytes) {
    copy_bytes(to, bytes.data(), bytes.size());
    to += bytes.size();
  };
  fill(format, values, copy, [&](std::string_view bytes) {
    if (value_offsets != nullptr) {
      *value_offsets++ = position + static_cast<std::uint64_t>(to - start);
    }
    copy(bytes);
  });
}

}  // namespace detail

// As above; if `value_offsets` is given, value i is written at sink
// position value_offsets[i] (for as many values as the format has places).
template <typename Values>
void write_format(output_sink& sink, const format_text& format, const Values& values,
                  std::uint64_t* value_offsets = nullptr) {
  // Nearly always the whole text fits in the buffer, and is written there
  // piece by piece without a check of the room at each.
  std::size_t size = detail::filled_size(format, values);
  if (char* to = sink.room_for(size)) {
    detail::fill_in_place(to, sink.position(), format, values, value_offsets);
    sink.commit(size);
    return;
  }
  detail::fill(
      format, values, [&sink](std::string_view piece) { sink.write(piece); },
      [&](std::string_view bytes) {
        if (value_offsets != nullptr) *value_offsets++ = sink.position();
        sink.write(bytes);
      });
}

}  // namespace corvexa
