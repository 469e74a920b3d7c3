// A hand-written lexer with a cursor over the text; each construct has a
// function that returns where it ends.
#include "scan/php_lexer.h"

#include "common/ascii.h"

namespace corvexa {
namespace {

bool starts_name(char c) {
  auto byte = static_cast<unsigned char>(c);
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_' || byte >= 0x80;
}

bool continues_name(char c) { return starts_name(c) || (c >= '0' && c <= '9'); }

bool is_space(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

bool equal_ignoring_case(std::string_view text, std::size_t at, std::string_view word) {
  return at + word.size() <= text.size() &&
         equal_ignoring_ascii_case(text.substr(at, word.size()), word);
}

class lexer {
 public:
  lexer(std::string_view text, std::vector<php_token>& tokens) : text_(text), tokens_(tokens) {}

  void run() {
    while (at_ < text_.size()) {
      if (!skip_text()) return;
      read_code();
    }
  }

 private:
  void emit(php_token_kind kind, std::size_t begin, std::size_t end) {
    tokens_.push_back(php_token{kind, begin, end - begin});
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

  // Reads code up to and over "?>", or to the end.
  void read_code() {
    while (at_ < text_.size()) {
      char c = text_[at_];
      std::size_t begin = at_;
      if (is_space(c)) {
        ++at_;
      } else if (c == '?' && next_is('>')) {
        emit(php_token_kind::close_tag, begin, at_ += 2);
        return;
      } else if ((c == '#' && !next_is('[')) || (c == '/' && next_is('/'))) {
        skip_line_comment();  // "#[" opens an attribute of PHP 8, which is code
      } else if (c == '/' && next_is('*')) {
        std::size_t end = text_.find("*/", at_ + 2);
        at_ = end == std::string_view::npos ? text_.size() : end + 2;
      } else if (c == '\'' || c == '"' || c == '`') {
        emit(php_token_kind::string, begin, at_ = quoted_end(begin));
      } else if (c == '<' && text_.compare(at_, 3, "<<<") == 0 && heredoc()) {
        emit(php_token_kind::string, begin, at_);
      } else if (c == '$' && at_ + 1 < text_.size() && starts_name(text_[at_ + 1])) {
        emit(php_token_kind::variable, begin, at_ = name_end(at_ + 1));
      } else if (starts_name(c)) {
        emit(php_token_kind::word, begin, at_ = name_end(at_));
      } else if (c >= '0' && c <= '9') {
        emit(php_token_kind::number, begin, at_ = name_end(at_));
      } else if (c == ':' && next_is(':')) {
        emit(php_token_kind::symbol, begin, at_ += 2);
      } else {
        emit(php_token_kind::symbol, begin, ++at_);
      }
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

  std::size_t quoted_end(std::size_t begin) const {
    char quote = text_[begin];
    for (std::size_t i = begin + 1; i < text_.size(); ++i) {
      if (text_[i] == '\\') {
        ++i;
      } else if (text_[i] == quote) {
        return i + 1;
      }
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
  std::size_t at_ = 0;
};

}  // namespace

std::vector<php_token> php_tokens(std::string_view text) {
  std::vector<php_token> tokens;
  // About one token in six bytes of code: one allocation for most files.
  tokens.reserve(text.size() / 6);
  lexer(text, tokens).run();
  return tokens;
}

}  // namespace corvexa
