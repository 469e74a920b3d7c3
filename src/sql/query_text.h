// A query text as a PHP program builds it: the bytes of SQL that stand in
// the PHP source as string literals, and placeholders where the program puts
// in a value at run time (an interpolated variable, a concatenated call, a
// sprintf conversion). Every literal byte keeps the place in the PHP file it
// was written at, so that a finding points into the file and a rewrite can
// be written back into the literal, escaped for that literal's kind.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace corvexa::sql {

// How a PHP literal writes its bytes, which decides how a replacement must
// be escaped to stand in it.
enum class literal_kind : std::uint8_t { single_quoted, double_quoted, heredoc, nowdoc };

// The kind of a literal, and whether it is the format of a sprintf call,
// where "%" is written "%%".
struct literal_style {
  literal_kind kind = literal_kind::single_quoted;
  bool format = false;
  bool operator==(const literal_style&) const = default;
};

// Bytes of the text that lie one after another in one PHP literal, with no
// placeholder between them.
struct literal_run {
  std::uint64_t text_begin = 0, text_end = 0;
  std::uint64_t file_begin = 0, file_end = 0;  // the source bytes that wrote them
  literal_style style;
};

// A value the program puts in at run time: it has no bytes in the text.
struct text_placeholder {
  std::uint64_t text_offset = 0;                           // where the value goes
  std::uint64_t expression_begin = 0, expression_end = 0;  // its PHP expression
  // Interpolated into a string literal of this style: text may be written
  // into the literal right after the expression.
  bool interpolated = false;
  literal_style style;
};

struct query_text {
  std::string text;                                        // the literal bytes, decoded
  std::vector<std::uint64_t> origins;                      // file offset of each byte of `text`
  std::vector<literal_run> runs;                           // in text order
  std::vector<text_placeholder> placeholders;              // in text order
  std::uint64_t expression_begin = 0, expression_end = 0;  // the whole PHP expression

  // The run holding text byte `offset`, or null.
  const literal_run* run_at(std::uint64_t offset) const;
  // Where the source of text byte `offset` ends in the file.
  std::uint64_t byte_file_end(std::uint64_t offset) const;
  // True when text byte `offset` starts a byte of its own in the source,
  // rather than continuing one escape sequence that wrote several bytes.
  bool starts_source_byte(std::uint64_t offset) const;
  // The offsets of the placeholders, in text order.
  std::vector<std::uint64_t> placeholder_offsets() const;
};

// Appends to a query_text, starting a new run wherever a byte does not
// continue the last run in the file or a placeholder came between. Every
// append is refused once the text would grow past `limit` bytes (or
// placeholders), so that no PHP program can make a text grow without end.
class query_text_builder {
 public:
  explicit query_text_builder(query_text& target, std::uint64_t limit);

  // A literal byte written by the source bytes [file_begin, file_end).
  bool add_byte(char byte, std::uint64_t file_begin, std::uint64_t file_end, literal_style style);
  // Bytes written as themselves, one after another from `file_begin`.
  bool add_span(std::string_view bytes, std::uint64_t file_begin, literal_style style);
  bool add_placeholder(const text_placeholder& placeholder);
  // All of `other`, its runs and placeholders kept.
  bool add_text(const query_text& other);
  bool overflowed() const { return overflowed_; }
  // Takes over the overflow of a builder of a part of this text.
  bool take_overflow(const query_text_builder& part) {
    overflowed_ = overflowed_ || part.overflowed_;
    return !overflowed_;
  }
  std::uint64_t limit() const { return limit_; }

 private:
  bool has_room(std::uint64_t bytes);

  query_text& target_;
  std::uint64_t limit_;
  bool run_open_ = false;
  bool overflowed_ = false;
};

}  // namespace corvexa::sql
