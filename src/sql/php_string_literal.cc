// A reader with a cursor per literal kind. Interpolations are read by
// PHP's simple syntax ("$a", "$a[k]", "$a->b") and complex syntax ("{$...}",
// "${...}"); what they hold does not matter, only where they end.
#include "sql/php_string_literal.h"

#include "sql/php_bytes.h"
#include "sql/php_code.h"

namespace corvexa::sql {
namespace {

// PHP ends a line at "\n", "\r\n" and a lone "\r".
bool is_line_break(char c) { return c == '\n' || c == '\r'; }

int hex_value(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// Appends the UTF-8 bytes of `code`; false if it is no code point.
bool append_utf8(std::string& out, std::uint32_t code) {
  if (code < 0x80) {
    out += static_cast<char>(code);
  } else if (code < 0x800) {
    out += static_cast<char>(0xC0 | (code >> 6));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else if (code < 0x10000) {
    out += static_cast<char>(0xE0 | (code >> 12));
    out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else if (code < 0x110000) {
    out += static_cast<char>(0xF0 | (code >> 18));
    out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else {
    return false;
  }
  return true;
}

// Reads the body of a literal that interpolates ("..." or a heredoc).
class interpolating_reader {
 public:
  interpolating_reader(std::string_view file, literal_style style, query_text_builder& out)
      : file_(file), style_(style), out_(out) {}

  // Reads [begin, end) of the file; a heredoc line's first `indent` bytes
  // are skipped.
  bool read(std::uint64_t begin, std::uint64_t end, std::uint64_t indent) {
    std::uint64_t at = begin;
    bool line_start = true;
    while (at < end) {
      if (line_start && indent > 0) {
        std::uint64_t skip = 0;
        while (skip < indent && at + skip < end &&
               (file_[at + skip] == ' ' || file_[at + skip] == '\t')) {
          ++skip;
        }
        at += skip;
        line_start = false;
        continue;
      }
      char c = file_[at];
      line_start = is_line_break(c);
      std::uint64_t next;
      if (std::uint64_t plain = plain_end(at, end, indent > 0); plain > at) {
        next = plain;
        line_start = is_line_break(file_[plain - 1]);
        if (!out_.add_span(file_.substr(at, plain - at), at, style_)) return false;
      } else if (c == '\\' && at + 1 < end) {
        next = escape(at, end);
      } else if (c == '$' || (c == '{' && at + 1 < end && file_[at + 1] == '$')) {
        next = interpolation(at, end);
      } else {
        next = at + 1;
        if (!out_.add_byte(c, at, next, style_)) return false;
      }
      if (out_.overflowed()) return false;
      at = next;
    }
    return true;
  }

 private:
  bool add(char c, std::uint64_t begin, std::uint64_t end) {
    return out_.add_byte(c, begin, end, style_);
  }

  // The end of the bytes from `at` that stand for themselves: up to a
  // backslash, a "$", a "{" or, where lines lose their indentation, after
  // a line break.
  std::uint64_t plain_end(std::uint64_t at, std::uint64_t end, bool by_lines) const {
    std::uint64_t i = at;
    while (i < end) {
      char c = file_[i];
      if (c == '\\' || c == '$' || c == '{') break;
      ++i;
      if (is_line_break(c) && by_lines) break;
    }
    return i;
  }

  // Reads the escape sequence at `at` (a backslash); returns where it ends.
  std::uint64_t escape(std::uint64_t at, std::uint64_t end) {
    char c = file_[at + 1];
    char simple = '\0';
    switch (c) {
      case 'n': simple = '\n'; break;
      case 't': simple = '\t'; break;
      case 'r': simple = '\r'; break;
      case 'v': simple = '\v'; break;
      case 'e': simple = '\x1b'; break;
      case 'f': simple = '\f'; break;
      case '\\': simple = '\\'; break;
      case '$': simple = '$'; break;
      case '"': simple = style_.kind == literal_kind::double_quoted ? '"' : '\0'; break;
      default: break;
    }
    if (simple != '\0') {
      add(simple, at, at + 2);
      return at + 2;
    }
    if (c >= '0' && c <= '7') {
      std::uint64_t i = at + 1;
      unsigned value = 0;
      while (i < end && i < at + 4 && file_[i] >= '0' && file_[i] <= '7')
        value = value * 8 + (file_[i++] - '0');
      add(static_cast<char>(value & 0xFF), at, i);
      return i;
    }
    if (c == 'x' && at + 2 < end && hex_value(file_[at + 2]) >= 0) {
      std::uint64_t i = at + 2;
      unsigned value = 0;
      while (i < end && i < at + 4 && hex_value(file_[i]) >= 0)
        value = value * 16 + hex_value(file_[i++]);
      add(static_cast<char>(value), at, i);
      return i;
    }
    if (c == 'u' && at + 2 < end && file_[at + 2] == '{') {
      std::uint64_t i = at + 3;
      std::uint32_t code = 0;
      while (i < end && hex_value(file_[i]) >= 0 && code < 0x110000)
        code = code * 16 + hex_value(file_[i++]);
      std::string bytes;
      if (i < end && file_[i] == '}' && i > at + 3 && append_utf8(bytes, code)) {
        for (char b : bytes) add(b, at, i + 1);
        return i + 1;
      }
    }
    add('\\', at, at + 1);  // not an escape: the backslash stands for itself
    return at + 1;
  }

  // Reads an interpolation at `at` ("$" or "{$"); a "$" that starts none is
  // a byte of its own.
  std::uint64_t interpolation(std::uint64_t at, std::uint64_t end) {
    std::uint64_t stop = interpolation_end(at, end);
    if (stop == at) {
      add('$', at, at + 1);
      return at + 1;
    }
    text_placeholder p;
    p.expression_begin = at;
    p.expression_end = stop;
    p.interpolated = true;
    p.style = style_;
    out_.add_placeholder(p);
    return stop;
  }

  std::uint64_t interpolation_end(std::uint64_t at, std::uint64_t end) const {
    if (file_[at] == '{') return braces_end(at + 1, end);
    if (at + 1 < end && file_[at + 1] == '{') return braces_end(at + 2, end);
    if (at + 1 >= end || !starts_php_name(file_[at + 1])) return at;
    std::uint64_t i = at + 2;
    while (i < end && continues_php_name(file_[i])) ++i;
    if (i < end && file_[i] == '[') {
      std::uint64_t close = i + 1;
      while (close < end && file_[close] != ']' && file_[close] != '"' && file_[close] != '\n')
        ++close;
      if (close < end && file_[close] == ']') return close + 1;
    } else if (i + 2 < end && file_[i] == '-' && file_[i + 1] == '>' &&
               starts_php_name(file_[i + 2])) {
      i += 3;
      while (i < end && continues_php_name(file_[i])) ++i;
    } else if (i + 3 < end && file_.compare(i, 3, "?->") == 0 && starts_php_name(file_[i + 3])) {
      i += 4;
      while (i < end && continues_php_name(file_[i])) ++i;
    }
    return i;
  }

  // The end of "{$...}" or "${...}" whose inside starts at `at`: after the
  // brace that closes it, strings inside skipped; `end` if it never closes.
  std::uint64_t braces_end(std::uint64_t at, std::uint64_t end) const {
    std::uint64_t close = closing_bracket(file_, at, end, '{', '}', 1);
    return close == std::string_view::npos ? end : close + 1;
  }

  std::string_view file_;
  literal_style style_;
  query_text_builder& out_;
};

bool read_single_quoted(std::string_view file, std::uint64_t begin, std::uint64_t end,
                        query_text_builder& out) {
  literal_style style{literal_kind::single_quoted, false};
  std::uint64_t at = begin + 1;
  while (at < end) {
    std::uint64_t plain = at;
    while (plain < end && file[plain] != '\\' && file[plain] != '\'') ++plain;
    if (!out.add_span(file.substr(at, plain - at), at, style)) return false;
    at = plain;
    if (at >= end) break;
    char c = file[at];
    if (c == '\'') return at + 1 == end;
    if (c == '\\' && at + 1 < end && (file[at + 1] == '\\' || file[at + 1] == '\'')) {
      if (!out.add_byte(file[at + 1], at, at + 2, style)) return false;
      at += 2;
    } else {
      if (!out.add_byte(c, at, at + 1, style)) return false;
      ++at;
    }
  }
  return false;  // unterminated
}

// The closing quote of "..." that opens at `begin`, or `end` if none.
std::uint64_t double_quote_close(std::string_view file, std::uint64_t begin, std::uint64_t end) {
  for (std::uint64_t i = begin + 1; i < end; ++i) {
    if (file[i] == '\\') {
      ++i;
    } else if (file[i] == '"') {
      return i;
    }
  }
  return end;
}

bool read_double_quoted(std::string_view file, std::uint64_t begin, std::uint64_t end,
                        query_text_builder& out) {
  std::uint64_t close = double_quote_close(file, begin, end);
  if (close + 1 != end) return false;
  interpolating_reader reader(file, {literal_kind::double_quoted, false}, out);
  return reader.read(begin + 1, close, 0);
}

// A heredoc or nowdoc: "<<<" label line, body, closing label.
bool read_heredoc(std::string_view file, std::uint64_t begin, std::uint64_t end,
                  query_text_builder& out) {
  std::uint64_t i = begin + 3;
  while (i < end && (file[i] == ' ' || file[i] == '\t')) ++i;
  bool nowdoc = i < end && file[i] == '\'';
  if (i < end && (file[i] == '\'' || file[i] == '"')) ++i;
  std::uint64_t label_begin = i;
  while (i < end && continues_php_name(file[i])) ++i;
  std::string_view label = file.substr(label_begin, i - label_begin);
  std::uint64_t body = file.find_first_of("\r\n", i);
  if (label.empty() || body == std::string_view::npos || body >= end) return false;
  body += file.compare(body, 2, "\r\n") == 0 ? 2 : 1;
  // The token ends right after the closing label, alone on its line but
  // for the indentation before it.
  if (end - body < label.size() || file.substr(end - label.size(), label.size()) != label)
    return false;
  std::uint64_t line = end - label.size();
  while (line > body && (file[line - 1] == ' ' || file[line - 1] == '\t')) --line;
  if (line != body && !is_line_break(file[line - 1])) return false;  // unterminated
  std::uint64_t indent = end - label.size() - line;
  std::uint64_t body_end = line;
  if (body_end > body) {
    --body_end;  // the line break before the closing line is not part of the text
    if (file[body_end] == '\n' && body_end > body && file[body_end - 1] == '\r') --body_end;
  }
  literal_style style{nowdoc ? literal_kind::nowdoc : literal_kind::heredoc, false};
  if (!nowdoc) return interpolating_reader(file, style, out).read(body, body_end, indent);
  bool line_start = true;
  for (std::uint64_t at = body; at < body_end; ++at) {
    if (line_start) {
      std::uint64_t skip = 0;
      while (skip < indent && at < body_end && (file[at] == ' ' || file[at] == '\t')) ++at, ++skip;
      line_start = false;
      if (at >= body_end) break;
    }
    line_start = is_line_break(file[at]);
    if (!out.add_byte(file[at], at, at + 1, style)) return false;
  }
  return true;
}

}  // namespace

bool read_php_string(std::string_view file, std::uint64_t begin, std::uint64_t end,
                     query_text_builder& out) {
  if (end <= begin + 1 || end > file.size()) return false;
  switch (file[begin]) {
    case '\'': return read_single_quoted(file, begin, end, out);
    case '"': return read_double_quoted(file, begin, end, out);
    case '<': return read_heredoc(file, begin, end, out);
    default: return false;  // a backquoted shell command
  }
}

std::string escape_for_literal(std::string_view bytes, literal_style style) {
  std::string out;
  out.reserve(bytes.size() + 8);
  for (char c : bytes) {
    if (style.format && c == '%') out += '%';
    switch (style.kind) {
      case literal_kind::single_quoted:
        if (c == '\\' || c == '\'') out += '\\';
        break;
      case literal_kind::double_quoted:
        if (c == '\\' || c == '"' || c == '$') out += '\\';
        break;
      case literal_kind::heredoc:
        if (c == '\\' || c == '$') out += '\\';
        break;
      case literal_kind::nowdoc: break;
    }
    out += c;
  }
  return out;
}

bool continues_interpolation(char c) {
  return continues_php_name(c) || c == '[' || c == '-' || c == '?';
}

}  // namespace corvexa::sql
