// Undoing MySQL's escapes and writing PostgreSQL's literal forms.
#include "schema/mysql_literals.h"

namespace corvexa::schema {
namespace {

// The byte that MySQL reads for backslash + `c`; 0 for the two escapes that
// keep their backslash (\% and \_, for LIKE patterns).
char escaped_byte(char c, bool& keeps_backslash) {
  keeps_backslash = false;
  switch (c) {
    case '0': return '\0';
    case 'b': return '\b';
    case 'n': return '\n';
    case 'r': return '\r';
    case 't': return '\t';
    case 'Z': return '\x1A';
    case '%':
    case '_':
      keeps_backslash = true;
      return c;
    default: return c;
  }
}

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

// The numbers of "YYYY-MM-DD" at the start of `text`; false when it does not
// start so.
bool date_fields(std::string_view text, int& year, int& month, int& day) {
  if (text.size() < 10 || text[4] != '-' || text[7] != '-') return false;
  if (!all_digits(text.substr(0, 4)) || !all_digits(text.substr(5, 2)) ||
      !all_digits(text.substr(8, 2))) {
    return false;
  }
  year = std::stoi(std::string(text.substr(0, 4)));
  month = std::stoi(std::string(text.substr(5, 2)));
  day = std::stoi(std::string(text.substr(8, 2)));
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

bool string_needs_no_decoding(std::string_view raw) {
  std::string_view body = string_body(raw);
  char quote = raw.empty() ? '\'' : raw[(raw[0] == 'n' || raw[0] == 'N') ? 1 : 0];
  for (char c : body) {
    if (c == '\\' || c == quote) return false;
  }
  return true;
}

void decode_string(std::string_view raw, bool backslash_escapes, std::string& bytes) {
  bytes.clear();
  if (raw.empty()) return;
  char quote = raw[(raw[0] == 'n' || raw[0] == 'N') ? 1 : 0];
  std::string_view body = string_body(raw);
  for (std::size_t i = 0; i < body.size(); ++i) {
    char c = body[i];
    if (c == '\\' && backslash_escapes && i + 1 < body.size()) {
      bool keeps_backslash;
      char decoded = escaped_byte(body[++i], keeps_backslash);
      if (keeps_backslash) bytes += '\\';
      bytes += decoded;
    } else if (c == quote && i + 1 < body.size() && body[i + 1] == quote) {
      bytes += quote;
      ++i;
    } else {
      bytes += c;
    }
  }
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
  if (!raw.empty() && raw[0] != '0') {  // X'..'
    digits = raw.substr(2);
    if (!digits.empty() && digits.back() == '\'') digits.remove_suffix(1);
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
  out += "'\\x";
  for (char c : bytes) {
    auto b = static_cast<unsigned char>(c);
    out += hex[b >> 4];
    out += hex[b & 15];
  }
  out += '\'';
}

bool is_zero_date(std::string_view text) {
  int year, month, day;
  if (!date_fields(text, year, month, day)) return false;
  return year == 0 || month == 0 || day == 0;
}

}  // namespace corvexa::schema
