// Line starts found with memchr.
#include "report/line_index.h"

#include <algorithm>
#include <cstring>

namespace corvexa {

line_index::line_index(std::string_view text) {
  starts_.push_back(0);
  const char* begin = text.data();
  const char* end = begin + text.size();
  for (const char* at = begin; at < end;) {
    const void* found = std::memchr(at, '\n', static_cast<std::size_t>(end - at));
    if (found == nullptr) break;
    at = static_cast<const char*>(found) + 1;
    starts_.push_back(static_cast<std::uint64_t>(at - begin));
  }
  line_count_ = starts_.size();
  if (starts_.back() == text.size()) --line_count_;  // nothing after the last feed
}

std::uint64_t line_index::line_of(std::uint64_t offset) const {
  auto after = std::upper_bound(starts_.begin(), starts_.end(), offset);
  return static_cast<std::uint64_t>(after - starts_.begin());
}

text_position line_index::position(std::uint64_t offset) const {
  std::uint64_t line = line_of(offset);
  return {line, offset - starts_[line - 1] + 1};
}

}  // namespace corvexa

namespace corvexa {

namespace {

// Counts the characters that begin in text[from, to).
std::uint64_t characters_between(std::string_view text, std::uint64_t from, std::uint64_t to) {
  std::uint64_t count = 0;
  for (std::uint64_t at = from; at < to && at < text.size(); ++at) {
    auto byte = static_cast<unsigned char>(text[at]);
    if (byte < 0x80 || byte > 0xBF) ++count;
  }
  return count;
}

}  // namespace

std::uint64_t line_index::character_columns::at(std::uint64_t offset) {
  std::uint64_t start = lines_.line_start(lines_.line_of(offset));
  if (start != line_start_ || offset < offset_) {
    line_start_ = start;
    offset_ = start;
    column_ = 1;
  }
  column_ += characters_between(text_, offset_, offset);
  offset_ = offset;
  return column_;
}

}  // namespace corvexa
