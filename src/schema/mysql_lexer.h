// MySQL's lexical rules, token by token over a sql_source: backquoted
// names (with `` doubling), strings in '...' and "..." with backslash
// escapes and quote doubling, the three comment forms (a "--" starts one
// only before a space or a control byte), versioned comments /*!NNNNN ...*/
// whose content MySQL runs and which are therefore read as plain SQL, hex
// and bit literals, @variables, and the statement delimiter that the mysql
// client's DELIMITER command changes. A token is a kind and a span of input
// offsets; what it means is for the converter to decide. Input that ends
// inside a token yields the token up to the end, marked unterminated.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "schema/sql_source.h"

namespace corvexa::schema {

enum class token_kind : std::uint8_t {
  word,         // a name or keyword, unquoted (may start with a digit)
  quoted_name,  // `name`, or "name" under ANSI_QUOTES
  string,       // '...' or "...", also N'...'
  number,       // 12, 1.5, .5e3
  hex_number,   // 0x1F or X'1F'
  bit_number,   // 0b101 or B'101'
  variable,     // @name, @@name, @@session.name, @'name'
  punct,        // any other single byte of the language
  comment,      // # ..., -- ..., /* ... */
  invalid,      // a zero byte or a control byte
  end_of_statement,
  end_of_input,
};

// Set on a token: what stood before it and how it ended.
enum token_flag : std::uint8_t {
  space_before = 1,    // whitespace (or a comment) before the token
  newline_before = 2,  // a line break among it
  unterminated = 4,    // the input ended inside the token
  double_quoted = 8,   // a string or name in "..."
  prefixed = 16,       // X'..', B'..' or N'..' (the first byte is the letter)
};

struct token {
  token_kind kind = token_kind::end_of_input;
  std::uint8_t flags = 0;
  std::uint64_t begin = 0;  // input offsets
  std::uint64_t end = 0;

  bool has(token_flag flag) const { return (flags & flag) != 0; }
};

// The session settings that change how text is read.
struct lexer_modes {
  bool ansi_quotes = false;       // "..." is a name
  bool backslash_escapes = true;  // off under NO_BACKSLASH_ESCAPES
};

class mysql_lexer {
 public:
  explicit mysql_lexer(sql_source& source) : source_(source) {}

  // The next token; whitespace is skipped and marked on the token after it.
  token next();
  // The offset the next token is read from.
  std::uint64_t position() const { return position_; }
  // Continues at `offset`, which a reader outside the lexer has reached
  // through plain SQL (no comment or delimiter passed).
  void seek(std::uint64_t offset) { position_ = offset; }
  // For a reader that wants only where the statement ends (rows that are
  // skipped): passes the loaded bytes up to the next one that may begin a
  // string, a quoted name, a comment or the delimiter, or end a versioned
  // comment, in one search. What it passes is words, numbers
  // and punctuation, or the first part of one that next() reads on. Under
  // a delimiter other than ";", which may stand inside a word, it passes
  // nothing.
  void pass_plain_sql();
  // Passes a UTF-8 byte order mark at the start of a file, as the mysql
  // client does.
  void skip_byte_order_mark() {
    if (position_ == 0 && byte_is(0, 0xEF) && byte_is(1, 0xBB) && byte_is(2, 0xBF)) position_ = 3;
  }

  // The rest of the line after a DELIMITER command word: its first
  // whitespace-separated word becomes the delimiter (if it is not empty).
  // Returns the offset of the line's end.
  std::uint64_t read_delimiter_command();
  const std::string& delimiter() const { return delimiter_; }
  // Where the last delimiter read begins and ends (both 0 before the
  // first): a statement ends with it if it ends where the delimiter does.
  std::uint64_t last_delimiter_begin() const { return last_delimiter_begin_; }
  std::uint64_t last_delimiter_end() const { return last_delimiter_end_; }

  lexer_modes modes;

 private:
  // Skips whitespace and versioned-comment brackets; returns the flags
  // they set.
  std::uint8_t skip_space();
  bool at_delimiter();
  token lex_from(std::uint64_t start, std::uint8_t flags);
  // Finds the end of a quoted token whose opening quote is at `start`;
  // `doubles` tells whether a doubled quote stands for one quote.
  std::uint64_t quoted_end(std::uint64_t after_open, unsigned char quote, bool escapes,
                           bool& closed);
  std::uint64_t line_comment_end(std::uint64_t from);
  std::uint64_t block_comment_end(std::uint64_t from, bool& closed);
  std::uint64_t word_end(std::uint64_t from);
  token lex_word_or_number(std::uint64_t start, std::uint8_t flags);
  token lex_variable(std::uint64_t start, std::uint8_t flags);
  bool byte_is(std::uint64_t offset, unsigned char wanted) {
    return source_.has(offset) && source_.at(offset) == wanted;
  }

  sql_source& source_;
  std::uint64_t position_ = 0;
  std::uint64_t last_delimiter_begin_ = 0, last_delimiter_end_ = 0;
  bool in_versioned_comment_ = false;
  std::string delimiter_ = ";";
};

// True if `c` may stand in an unquoted MySQL name.
constexpr bool is_word_byte(unsigned char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' ||
         c == '$' || c >= 0x80;
}

}  // namespace corvexa::schema
