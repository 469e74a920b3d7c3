// Turns byte offsets into lines and columns, both counted from 1; columns
// count bytes and lines end at line feeds. The index of line starts is
// built once per text and each lookup is a binary search, so the scanner
// never counts lines.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

namespace corvexa {

struct text_position {
  std::uint64_t line = 0;
  std::uint64_t column = 0;
};

class line_index {
 public:
  explicit line_index(std::string_view text);

  text_position position(std::uint64_t offset) const;
  // The columns of offsets counted in UTF-8 characters of `text` (the text
  // the index was built from): bytes 0x80-0xBF continue a character.
  // Counting goes on from the offset before when it is further on the same
  // line, so that many findings on one long line cost one pass over it.
  class character_columns {
   public:
    character_columns(const line_index& lines, std::string_view text)
        : lines_(lines), text_(text) {}
    std::uint64_t at(std::uint64_t offset);

   private:
    const line_index& lines_;
    std::string_view text_;
    std::uint64_t line_start_ = UINT64_MAX;  // of the offset before
    std::uint64_t offset_ = 0;
    std::uint64_t column_ = 1;
  };
  // The line (from 1) that holds `offset`.
  std::uint64_t line_of(std::uint64_t offset) const;
  // The offset where line `line` (from 1) begins.
  std::uint64_t line_start(std::uint64_t line) const { return starts_[line - 1]; }
  // How many lines the text has; a text that ends with a line feed has no
  // empty line after it, and an empty text has none.
  std::uint64_t line_count() const { return line_count_; }

 private:
  std::vector<std::uint64_t> starts_;
  std::uint64_t line_count_ = 0;
};

}  // namespace corvexa
