// Undoing MySQL's escapes and writing PostgreSQL's literal forms. The
// loops copy runs of plain bytes whole: these run for every value of a dump.
#include "schema/mysql_literals.h"

#include "schema/byte_runs.h"

namespace corvexa::schema {
namespace {

int hex_digit_value(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return 0;
}

bool all_digits(std::string_view text) {
  for (char c : text) {
    if (c < '0' || c > '9') return false;
  }
  return !text.empty();
}

int two_digits(std::string_view text, std::size_t at) {
  return (text[at] - '0') * 10 + (text[at + 1] - '0');
}

// The numbers of "YYYY-MM-DD" at the start of `text`; false when it does not
// start so.
bool date_fields(std::string_view text, int& year, int& month, int& day) {
  if (text.size() < 10 || text[4] != '-' || text[7] != '-') return false;
  if (!all_digits(text.substr(0, 4)) || !all_digits(text.substr(5, 2)) ||
      !all_digits(text.substr(8, 2))) {
    return false;
  }
  year = two_digits(text, 0) * 100 + two_digits(text, 2);
  month = two_digits(text, 5);
  day = two_digits(text, 8);
  return text.size() == 10 || text[10] == ' ' || text[10] == 'T';
}

}  // namespace

std::string_view string_body(std::string_view raw) {
  if (!raw.empty() && (raw[0] == 'n' || raw[0] == 'N')) raw.remove_prefix(1);
  if (raw.empty()) return raw;
  char quote = raw[0];
  raw.remove_prefix(1);
  // An unterminated string has no closing quote (its statement is not
  // converted, so a quote that was escaped may go here too).
  if (!raw.empty() && raw.back() == quote) raw.remove_suffix(1);
  return raw;
}

void decode_string(std::string_view raw, bool backslash_escapes, std::string& bytes) {
  bytes.clear();
  if (raw.empty()) return;
  char quote = raw[(raw[0] == 'n' || raw[0] == 'N') ? 1 : 0];
  std::string_view body = string_body(raw);
  const char* p = body.data();
  std::size_t n = body.size();
  std::size_t i = 0;
  while (i < n) {
    std::size_t run = find_either(p + i, n - i, '\\', quote);
    bytes.append(p + i, run);
    i += run;
    if (i == n) break;
    if (p[i] == '\\' && backslash_escapes && i + 1 < n) {
      bool keeps_backslash;
      char decoded = escaped_byte(p[i + 1], keeps_backslash);
      if (keeps_backslash) bytes += '\\';
      bytes += decoded;
      i += 2;
    } else if (p[i] == quote && i + 1 < n && p[i + 1] == quote) {
      bytes += quote;
      i += 2;
    } else {
      bytes += p[i++];
    }
  }
}

namespace {

constexpr std::size_t not_closed = static_cast<std::size_t>(-1);

// The loop of append_string_body and append_quoted_string: with
// `until_quote`, a quote that is not doubled ends the string and the
// offset after it is returned (not_closed when [p, p + n) ends first).
std::size_t append_body(std::string& out, const char* p, std::size_t n, bool backslash_escapes,
                        text_handling handling, text_problems& problems, bool until_quote) {
  std::size_t i = 0;
  while (i < n) {
    std::size_t run = unchanged_text_run(p + i, n - i, handling);
    out.append(p + i, run);
    i += run;
    if (i == n) break;
    char c = p[i];
    if (c == '\\' && backslash_escapes && i + 1 < n) {
      bool keeps_backslash;
      char decoded = escaped_byte(p[i + 1], keeps_backslash);
      if (keeps_backslash) out += '\\';
      i += 2;
      if (decoded == '\'') {
        out += "''";
      } else if (decoded == '\0') {
        problems.zero_byte = true;
      } else if (static_cast<unsigned char>(decoded) >= 0x80) {
        append_text(out, std::string_view(&decoded, 1), handling, problems);
      } else {
        out += decoded;
      }
    } else if (c == '\'') {
      bool doubled = i + 1 < n && p[i + 1] == '\'';
      if (until_quote && !doubled) return i + 1 < n ? i + 1 : not_closed;
      out += "''";
      i += doubled ? 2 : 1;
    } else if (c == '\0') {
      problems.zero_byte = true;
      ++i;
    } else if (c != '\\') {
      // A byte beyond ASCII that the output encoding changes.
      append_plain_text(out, std::string_view(p + i, 1), handling, problems);
      ++i;
    } else if (!backslash_escapes) {  // a backslash is a byte like any other
      out += c;
      ++i;
    } else {                               // a backslash that escapes nothing
      if (until_quote) return not_closed;  // an escape cut by the end
      out += c;
      ++i;
    }
  }
  return until_quote ? not_closed : n;
}

}  // namespace

void append_string_body(std::string& out, std::string_view body, bool backslash_escapes,
                        text_handling handling, text_problems& problems) {
  append_body(out, body.data(), body.size(), backslash_escapes, handling, problems, false);
}

std::size_t append_quoted_string(std::string& out, std::string_view text, bool backslash_escapes,
                                 text_handling handling, text_problems& problems) {
  out += '\'';
  std::size_t end = append_body(out, text.data() + 1, text.size() - 1, backslash_escapes, handling,
                                problems, true);
  out += '\'';
  return end == not_closed ? 0 : end + 1;
}

std::string decode_quoted_name(std::string_view raw) {
  if (raw.size() < 2) return std::string(raw.size() == 1 ? std::string_view() : raw);
  char quote = raw[0];
  std::string_view body = raw.substr(1);
  if (body.back() == quote) body.remove_suffix(1);
  std::string name;
  for (std::size_t i = 0; i < body.size(); ++i) {
    name += body[i];
    if (body[i] == quote && i + 1 < body.size() && body[i + 1] == quote) ++i;
  }
  return name;
}

void decode_hex(std::string_view raw, std::string& bytes) {
  bytes.clear();
  std::string_view digits = raw.substr(raw.size() >= 2 ? 2 : raw.size());
  if (!raw.empty() && raw[0] != '0' && !digits.empty() && digits.back() == '\'') {
    digits.remove_suffix(1);  // X'..'
  }
  std::size_t i = 0;
  if (digits.size() % 2 == 1) {
    bytes += static_cast<char>(hex_digit_value(digits[0]));
    i = 1;
  }
  for (; i + 1 < digits.size(); i += 2) {
    bytes += static_cast<char>(hex_digit_value(digits[i]) * 16 + hex_digit_value(digits[i + 1]));
  }
}

std::string_view bit_digits(std::string_view raw) {
  std::string_view digits = raw.substr(raw.size() >= 2 ? 2 : raw.size());
  if (!raw.empty() && raw[0] != '0' && !digits.empty() && digits.back() == '\'') {
    digits.remove_suffix(1);
  }
  return digits;
}

bool bytes_value(std::string_view bytes, std::uint64_t& value) {
  value = 0;
  std::size_t first = 0;
  while (first < bytes.size() && bytes[first] == '\0') ++first;
  if (bytes.size() - first > 8) return false;
  for (std::size_t i = first; i < bytes.size(); ++i) {
    value = value << 8 | static_cast<unsigned char>(bytes[i]);
  }
  return true;
}

bool bit_value(std::string_view digits, std::uint64_t& value) {
  value = 0;
  std::size_t first = 0;
  while (first < digits.size() && digits[first] == '0') ++first;
  if (digits.size() - first > 64) return false;
  for (std::size_t i = first; i < digits.size(); ++i) value = value << 1 | (digits[i] == '1');
  return true;
}

void append_bytea_literal(std::string& out, std::string_view bytes) {
  static constexpr char hex[] = "0123456789abcdef";
  std::size_t at = out.size();
  out.resize(at + 4 + bytes.size() * 2);
  char* p = out.data() + at;
  *p++ = '\'';
  *p++ = '\\';
  *p++ = 'x';
  for (char c : bytes) {
    auto b = static_cast<unsigned char>(c);
    *p++ = hex[b >> 4];
    *p++ = hex[b & 15];
  }
  *p = '\'';
}

void append_hex_as_bytea(std::string& out, std::string_view raw) {
  std::string_view digits = raw.substr(raw.size() >= 2 ? 2 : raw.size());
  if (!raw.empty() && raw[0] != '0' && !digits.empty() && digits.back() == '\'') {
    digits.remove_suffix(1);
  }
  out += "'\\x";
  if (digits.size() % 2 == 1) out += '0';
  out += digits;
  out += '\'';
}

bool has_zero_date_field(std::string_view text) {
  int year, month, day;
  if (!date_fields(text, year, month, day)) return false;
  return year == 0 || month == 0 || day == 0;
}

bool fits_time(std::string_view text) {
  if (text.empty() || text.front() == '-' || text.find(' ') != std::string_view::npos) {
    return text.empty();
  }
  std::size_t colon = text.find(':');
  if (colon == std::string_view::npos) return true;  // seconds, or HHMMSS
  unsigned hours = 0;
  for (char c : text.substr(0, colon)) {
    if (c < '0' || c > '9') return true;  // not a time: PostgreSQL judges it
    hours = std::min(hours * 10 + static_cast<unsigned>(c - '0'), 1000u);
  }
  return hours < 24 ||
         (hours == 24 && text.substr(colon).find_first_not_of(":0.") == std::string_view::npos);
}

}  // namespace corvexa::schema
