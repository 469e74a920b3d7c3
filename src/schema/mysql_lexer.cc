// One function per token shape; the searches inside strings and comments
// run over the loaded window a span at a time.
#include "schema/mysql_lexer.h"

#include <array>
#include <cstring>

#include "schema/byte_runs.h"

namespace corvexa::schema {
namespace {

bool is_space(unsigned char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v';
}

bool is_digit(unsigned char c) { return c >= '0' && c <= '9'; }

bool is_hex_digit(unsigned char c) {
  return is_digit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

constexpr std::array<bool, 256> word_bytes = [] {
  std::array<bool, 256> table{};
  for (int c = 0; c < 256; ++c) table[c] = is_word_byte(static_cast<unsigned char>(c));
  return table;
}();

// The bytes that may begin a string, a quoted name or a comment, end a
// versioned comment, or be the delimiter ";": where a reader that looks only
// for the statement's end must let the lexer read. (A variable's quoted name
// begins at its quote.)
constexpr std::array<bool, 256> more_than_plain = [] {
  std::array<bool, 256> table{};
  for (unsigned char c : std::string_view("'\"`#-/*;")) table[c] = true;
  return table;
}();

}  // namespace

void mysql_lexer::pass_plain_sql() {
  if (delimiter_ != ";") return;
  std::string_view window = source_.from(position_);
  std::size_t plain = 0;
  while (plain < window.size() && !more_than_plain[static_cast<unsigned char>(window[plain])]) {
    ++plain;
  }
  position_ += plain;
}

bool mysql_lexer::at_delimiter() {
  for (std::size_t i = 0; i < delimiter_.size(); ++i) {
    if (!byte_is(position_ + i, static_cast<unsigned char>(delimiter_[i]))) return false;
  }
  return true;
}

std::uint8_t mysql_lexer::skip_space() {
  std::uint8_t flags = 0;
  while (source_.has(position_)) {
    unsigned char c = source_.at(position_);
    if (c > ' ' && c != '/' && c != '*') break;  // the common case: a token starts
    if (is_space(c)) {
      flags |= space_before;
      if (c == '\n') flags |= newline_before;
      ++position_;
    } else if (c == '/' && byte_is(position_ + 1, '*') && byte_is(position_ + 2, '!')) {
      // MySQL runs what a versioned comment holds: its brackets are space.
      position_ += 3;
      for (int digits = 0; digits < 6 && source_.has(position_) && is_digit(source_.at(position_));
           ++digits) {
        ++position_;
      }
      in_versioned_comment_ = true;
      flags |= space_before;
    } else if (in_versioned_comment_ && c == '*' && byte_is(position_ + 1, '/')) {
      position_ += 2;
      in_versioned_comment_ = false;
      flags |= space_before;
    } else {
      break;
    }
  }
  return flags;
}

token mysql_lexer::next() {
  std::uint8_t flags = skip_space();
  std::uint64_t start = position_;
  if (!source_.has(start)) return {token_kind::end_of_input, flags, start, start};
  if (at_delimiter()) {
    position_ += delimiter_.size();
    last_delimiter_begin_ = start;
    last_delimiter_end_ = position_;
    return {token_kind::end_of_statement, flags, start, position_};
  }
  token lexed = lex_from(start, flags);
  position_ = lexed.end;
  return lexed;
}

token mysql_lexer::lex_from(std::uint64_t start, std::uint8_t flags) {
  unsigned char c = source_.at(start);
  bool closed = true;
  switch (c) {
    case '\'':
    case '"': {
      std::uint64_t end = quoted_end(start + 1, c, modes.backslash_escapes, closed);
      if (c == '"') flags |= double_quoted;
      if (!closed) flags |= unterminated;
      bool name = c == '"' && modes.ansi_quotes;
      return {name ? token_kind::quoted_name : token_kind::string, flags, start, end};
    }
    case '`': {
      std::uint64_t end = quoted_end(start + 1, c, false, closed);
      if (!closed) flags |= unterminated;
      return {token_kind::quoted_name, flags, start, end};
    }
    case '#': return {token_kind::comment, flags, start, line_comment_end(start)};
    case '-':
      if (byte_is(start + 1, '-') && (!source_.has(start + 2) || source_.at(start + 2) <= ' ')) {
        return {token_kind::comment, flags, start, line_comment_end(start)};
      }
      break;
    case '/':
      if (byte_is(start + 1, '*')) {
        std::uint64_t end = block_comment_end(start + 2, closed);
        if (!closed) flags |= unterminated;
        return {token_kind::comment, flags, start, end};
      }
      break;
    case '@': return lex_variable(start, flags);
    default: break;
  }
  bool letter_quote = (c == 'x' || c == 'X' || c == 'b' || c == 'B' || c == 'n' || c == 'N') &&
                      byte_is(start + 1, '\'');
  if (letter_quote) {
    bool escapes = (c == 'n' || c == 'N') && modes.backslash_escapes;
    std::uint64_t end = quoted_end(start + 2, '\'', escapes, closed);
    flags |= prefixed;
    if (!closed) flags |= unterminated;
    token_kind kind = c == 'x' || c == 'X'   ? token_kind::hex_number
                      : c == 'b' || c == 'B' ? token_kind::bit_number
                                             : token_kind::string;
    // X'..' and B'..' hold digits only; MySQL refuses anything else.
    if (kind != token_kind::string && closed) {
      for (std::uint64_t at = start + 2; at + 1 < end; ++at) {
        unsigned char d = source_.at(at);
        bool digit = kind == token_kind::hex_number ? is_hex_digit(d) : d == '0' || d == '1';
        if (!digit) kind = token_kind::invalid;
      }
    }
    return {kind, flags, start, end};
  }
  if (is_word_byte(c)) return lex_word_or_number(start, flags);
  // A backslash outside a string is no MySQL syntax, and would start a
  // command of psql: it is never written.
  token_kind kind = c < ' ' || c == 0x7F || c == '\\' ? token_kind::invalid : token_kind::punct;
  return {kind, flags, start, start + 1};
}

std::uint64_t mysql_lexer::quoted_end(std::uint64_t after_open, unsigned char quote, bool escapes,
                                      bool& closed) {
  std::uint64_t at = after_open;
  char stop = escapes ? '\\' : static_cast<char>(quote);
  for (;;) {
    std::string_view window = source_.from(at);
    if (window.empty()) {
      closed = false;
      return at;
    }
    std::size_t found = find_either(window.data(), window.size(), static_cast<char>(quote), stop);
    at += found;
    if (found == window.size()) continue;
    if (source_.at(at) == '\\' && escapes) {
      at += source_.has(at + 1) ? 2 : 1;
      continue;
    }
    // A quote: doubled, it stands for itself; alone, it closes.
    if (byte_is(at + 1, quote)) {
      at += 2;
      continue;
    }
    closed = true;
    return at + 1;
  }
}

std::uint64_t mysql_lexer::line_comment_end(std::uint64_t from) {
  std::uint64_t at = from;
  for (;;) {
    std::string_view window = source_.from(at);
    if (window.empty()) return at;
    const void* newline = std::memchr(window.data(), '\n', window.size());
    if (newline != nullptr) {
      return at + static_cast<std::uint64_t>(static_cast<const char*>(newline) - window.data());
    }
    at += window.size();
  }
}

std::uint64_t mysql_lexer::block_comment_end(std::uint64_t from, bool& closed) {
  std::uint64_t at = from;
  for (;;) {
    std::string_view window = source_.from(at);
    if (window.empty()) {
      closed = false;
      return at;
    }
    const void* star = std::memchr(window.data(), '*', window.size());
    if (star == nullptr) {
      at += window.size();
      continue;
    }
    at += static_cast<std::uint64_t>(static_cast<const char*>(star) - window.data());
    if (byte_is(at + 1, '/')) {
      closed = true;
      return at + 2;
    }
    ++at;
  }
}

std::uint64_t mysql_lexer::word_end(std::uint64_t from) {
  // A delimiter made of word bytes ($$) ends a word, as the mysql client
  // looks for it before anything else.
  bool delimiter_in_words = is_word_byte(static_cast<unsigned char>(delimiter_[0]));
  std::uint64_t at = from;
  for (;;) {
    std::string_view window = source_.from(at);
    if (window.empty()) return at;
    const auto* bytes = reinterpret_cast<const unsigned char*>(window.data());
    std::size_t i = 0;
    while (i < window.size() && word_bytes[bytes[i]]) {
      if (delimiter_in_words && at + i > from) {
        std::uint64_t saved = position_;
        position_ = at + i;
        bool found = at_delimiter();
        position_ = saved;
        if (found) return at + i;
        window = source_.from(at);  // at_delimiter may have moved the window
        bytes = reinterpret_cast<const unsigned char*>(window.data());
      }
      ++i;
    }
    at += i;
    if (i < window.size()) return at;
  }
}

token mysql_lexer::lex_word_or_number(std::uint64_t start, std::uint8_t flags) {
  std::uint64_t end = word_end(start);
  unsigned char first = source_.at(start);
  if (!is_digit(first)) return {token_kind::word, flags, start, end};
  std::string_view text = source_.text(start, end);
  if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'b')) {
    bool all = true;
    for (std::size_t i = 2; i < text.size() && all; ++i) {
      unsigned char d = static_cast<unsigned char>(text[i]);
      all = text[1] == 'x' ? is_hex_digit(d) : (d == '0' || d == '1');
    }
    if (all) {
      return {text[1] == 'x' ? token_kind::hex_number : token_kind::bit_number, flags, start, end};
    }
  }
  // Digits, then an optional fraction and exponent; digits followed by
  // letters make a name such as 1st_table.
  std::uint64_t at = start;
  while (source_.has(at) && is_digit(source_.at(at))) ++at;
  bool decimal = false;
  if (byte_is(at, '.')) {
    decimal = true;
    ++at;
    while (source_.has(at) && is_digit(source_.at(at))) ++at;
  }
  if (source_.has(at) && (source_.at(at) == 'e' || source_.at(at) == 'E')) {
    std::uint64_t sign = at + 1;
    if (byte_is(sign, '+') || byte_is(sign, '-')) ++sign;
    if (source_.has(sign) && is_digit(source_.at(sign))) {
      decimal = true;
      at = sign;
      while (source_.has(at) && is_digit(source_.at(at))) ++at;
    }
  }
  if (!decimal && source_.has(at) && is_word_byte(source_.at(at))) {
    return {token_kind::word, flags, start, end};
  }
  return {token_kind::number, flags, start, at};
}

token mysql_lexer::lex_variable(std::uint64_t start, std::uint8_t flags) {
  std::uint64_t at = start + 1;
  if (byte_is(at, '@')) ++at;
  if (source_.has(at) &&
      (source_.at(at) == '\'' || source_.at(at) == '"' || source_.at(at) == '`')) {
    bool closed = true;
    unsigned char quote = source_.at(at);
    at = quoted_end(at + 1, quote, quote != '`' && modes.backslash_escapes, closed);
    if (!closed) flags |= unterminated;
    return {token_kind::variable, flags, start, at};
  }
  while (source_.has(at) && (is_word_byte(source_.at(at)) || source_.at(at) == '.')) ++at;
  return {token_kind::variable, flags, start, at};
}

std::uint64_t mysql_lexer::read_delimiter_command() {
  while (source_.has(position_) &&
         (source_.at(position_) == ' ' || source_.at(position_) == '\t')) {
    ++position_;
  }
  std::uint64_t begin = position_;
  while (source_.has(position_) && !is_space(source_.at(position_))) ++position_;
  if (position_ > begin) delimiter_ = std::string(source_.text(begin, position_));
  std::uint64_t line_end = line_comment_end(position_);
  position_ = line_end;
  return line_end;
}

}  // namespace corvexa::schema
