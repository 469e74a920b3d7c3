// A hand-written lexer with a cursor over the text; each construct has a
// function that returns where it ends. Every PHP file of a tree is read by
// it, more than once, so the bytes are classed by a table and strings are
// searched for their quote many bytes at a time.
#include "scan/php_lexer.h"

#include <algorithm>
#include <array>

#include "common/ascii.h"
#include "scan/byte_search.h"

namespace corvexa {
namespace {

// The classes of bytes the lexer asks about. A name starts with a letter,
// "_" or any byte of 0x80 and above, and goes on over digits too.
enum lexer_class : unsigned char { space = 1, name_start = 2, name_continue = 4, digit = 8 };

constexpr std::array<unsigned char, 256> make_lexer_classes() {
  std::array<unsigned char, 256> table{};
  for (int c = 0; c < 256; ++c) {
    bool letter = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_' || c >= 0x80;
    bool is_digit = c >= '0' && c <= '9';
    bool is_space = c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
    table[c] = static_cast<unsigned char>((is_space ? space : 0) | (letter ? name_start : 0) |
                                          (letter || is_digit ? name_continue : 0) |
                                          (is_digit ? digit : 0));
  }
  return table;
}

constexpr std::array<unsigned char, 256> lexer_classes = make_lexer_classes();

bool is(char c, lexer_class wanted) {
  return (lexer_classes[static_cast<unsigned char>(c)] & wanted) != 0;
}

bool starts_name(char c) { return is(c, name_start); }
bool continues_name(char c) { return is(c, name_continue); }
bool is_space(char c) { return is(c, space); }

bool equal_ignoring_case(std::string_view text, std::size_t at, std::string_view word) {
  return at + word.size() <= text.size() &&
         equal_ignoring_ascii_case(text.substr(at, word.size()), word);
}

class lexer {
 public:
  lexer(std::string_view text, std::vector<php_token>& tokens) : text_(text), tokens_(tokens) {}

  void run() {
    while (at_ < text_.size() && skip_text()) read_code();
    tokens_.resize(count_);
  }

 private:
  // Tokens are stored into slots made ahead, a store each, and the slots
  // left over are cut off at the end: push_back was a call per token.
  void emit(php_token_kind kind, std::size_t begin, std::size_t end) {
    if (count_ == slots_) make_slots();
    tokens_[count_++] = php_token{kind, begin, end - begin};
  }

  [[gnu::noinline]] void make_slots() {
    tokens_.resize(std::max<std::size_t>(64, 2 * count_));
    slots_ = tokens_.size();
  }

  // Skips text outside PHP up to and over an opening tag; false at the end.
  bool skip_text() {
    std::size_t open = text_.find("<?", at_);
    if (open == std::string_view::npos) {
      at_ = text_.size();
      return false;
    }
    std::size_t after = open + 2;
    if (after < text_.size() && text_[after] == '=') {
      emit(php_token_kind::open_echo_tag, open, at_ = after + 1);
    } else if (equal_ignoring_case(text_, after, "php") &&
               (after + 3 == text_.size() || is_space(text_[after + 3]))) {
      emit(php_token_kind::open_tag, open, at_ = after + 3);
    } else {
      emit(php_token_kind::open_tag, open, at_ = after);  // a short tag
    }
    return true;
  }

  // Reads code up to and over "?>", or to the end. Names and whitespace,
  // most of the bytes, are told by the class table; the bytes that may
  // begin something longer than one byte each have a case.
  void read_code() {
    while (at_ < text_.size()) {
      char c = text_[at_];
      std::size_t begin = at_;
      unsigned char classes = lexer_classes[static_cast<unsigned char>(c)];
      if ((classes & name_start) != 0) {
        emit(php_token_kind::word, begin, at_ = name_end(at_ + 1));
        continue;
      }
      if ((classes & space) != 0) {
        do ++at_;
        while (at_ < text_.size() && is_space(text_[at_]));
        continue;
      }
      if ((classes & digit) != 0) {
        emit(php_token_kind::number, begin, at_ = name_end(at_ + 1));
        continue;
      }
      switch (c) {
        case '?':
          if (next_is('>')) {
            emit(php_token_kind::close_tag, begin, at_ += 2);
            return;
          }
          break;
        case '#':
          if (next_is('[')) break;  // "#[" opens an attribute of PHP 8, which is code
          skip_line_comment();
          continue;
        case '/':
          if (next_is('/')) {
            skip_line_comment();
            continue;
          }
          if (next_is('*')) {
            std::size_t end = text_.find("*/", at_ + 2);
            at_ = end == std::string_view::npos ? text_.size() : end + 2;
            continue;
          }
          break;
        case '\'':
        case '"':
        case '`': emit(php_token_kind::string, begin, at_ = quoted_end(begin)); continue;
        case '<':
          if (text_.compare(at_, 3, "<<<") == 0 && heredoc()) {
            emit(php_token_kind::string, begin, at_);
            continue;
          }
          break;
        case '$':
          if (at_ + 1 < text_.size() && starts_name(text_[at_ + 1])) {
            emit(php_token_kind::variable, begin, at_ = name_end(at_ + 1));
            continue;
          }
          break;
        case ':':
          if (next_is(':')) {
            emit(php_token_kind::symbol, begin, at_ += 2);
            continue;
          }
          break;
        default: break;
      }
      emit(php_token_kind::symbol, begin, ++at_);
    }
  }

  bool next_is(char c) const { return at_ + 1 < text_.size() && text_[at_ + 1] == c; }

  std::size_t name_end(std::size_t from) const {
    while (from < text_.size() && continues_name(text_[from])) ++from;
    return from;
  }

  // A line comment ends before "?>" or at the line break ("\n", "\r\n" or
  // a lone "\r", as PHP reads it).
  void skip_line_comment() {
    while (at_ < text_.size()) {
      char c = text_[at_];
      if (c == '\n' || c == '\r') return;
      if (c == '?' && next_is('>')) return;
      ++at_;
    }
  }

  // Just past the closing quote of the string at `begin`, or the end of
  // the text. A backslash takes the byte after it, whatever it is.
  std::size_t quoted_end(std::size_t begin) const {
    char quote = text_[begin];
    std::size_t i = begin + 1;
    while (i < text_.size()) {
      std::size_t block = std::min<std::size_t>(text_.size() - i, 64);
      std::uint64_t stops = mark_quote_or_backslash(text_.data() + i, block, quote);
      if (stops == 0) {
        i += block;
        continue;
      }
      i += static_cast<std::size_t>(__builtin_ctzll(stops));
      if (text_[i] == quote) return i + 1;
      i += 2;  // the backslash and the byte it escapes
    }
    return text_.size();
  }

  // Reads "<<<ID" ... "ID" (quotes around ID allowed); false, leaving the
  // cursor, if "<<<" does not start one.
  bool heredoc() {
    std::size_t i = at_ + 3;
    while (i < text_.size() && (text_[i] == ' ' || text_[i] == '\t')) ++i;
    char quote = i < text_.size() && (text_[i] == '\'' || text_[i] == '"') ? text_[i] : '\0';
    if (quote != '\0') ++i;
    if (i >= text_.size() || !starts_name(text_[i])) return false;
    std::size_t name_begin = i;
    i = name_end(i);
    std::string_view name = text_.substr(name_begin, i - name_begin);
    if (quote != '\0') {
      if (i >= text_.size() || text_[i] != quote) return false;
      ++i;
    }
    std::size_t body = line_break_end(i);
    if (body == i) return false;
    at_ = closing_line_end(body, name);
    return true;
  }

  // Where the body that starts at `line` ends: after the first line whose
  // first non-blank bytes are `name` not followed by a name byte.
  std::size_t closing_line_end(std::size_t line, std::string_view name) const {
    while (line < text_.size()) {
      std::size_t i = line;
      while (i < text_.size() && (text_[i] == ' ' || text_[i] == '\t')) ++i;
      if (text_.compare(i, name.size(), name) == 0 &&
          (i + name.size() == text_.size() || !continues_name(text_[i + name.size()]))) {
        return i + name.size();
      }
      std::size_t feed = text_.find_first_of("\r\n", line);
      if (feed == std::string_view::npos) break;
      line = line_break_end(feed);
    }
    return text_.size();
  }

  // Just past the line break ("\n", "\r\n" or "\r") at `i`; `i` if none.
  std::size_t line_break_end(std::size_t i) const {
    if (i >= text_.size()) return i;
    if (text_[i] == '\n') return i + 1;
    if (text_[i] != '\r') return i;
    return i + 1 < text_.size() && text_[i + 1] == '\n' ? i + 2 : i + 1;
  }

  std::string_view text_;
  std::vector<php_token>& tokens_;
  std::size_t slots_ = tokens_.size();  // made ahead, stored or not
  std::size_t count_ = 0;               // tokens stored
  std::size_t at_ = 0;
};

}  // namespace

std::vector<php_token> php_tokens(std::string_view text) {
  std::vector<php_token> tokens;
  // About one token in six bytes of code: one allocation for most files.
  tokens.resize(text.size() / 6);
  lexer(text, tokens).run();
  return tokens;
}

}  // namespace corvexa
