// Literals by column kind, and expressions token by token.
#include "schema/sql_values.h"

#include <algorithm>

#include "schema/mysql_literals.h"
#include "schema/text_encoding.h"
#include "schema/token_cursor.h"

namespace corvexa::schema {
namespace {

// MySQL functions without arguments that PostgreSQL spells as keywords.
struct function_spelling {
  std::string_view mysql;  // upper case
  std::string_view postgres;
};
constexpr function_spelling keyword_functions[] = {
    {"CURRENT_TIMESTAMP", "CURRENT_TIMESTAMP"},
    {"LOCALTIMESTAMP", "LOCALTIMESTAMP"},
    {"LOCALTIME", "LOCALTIMESTAMP"},
    {"CURRENT_DATE", "CURRENT_DATE"},
    {"CURRENT_TIME", "CURRENT_TIME"},
    {"CURDATE", "CURRENT_DATE"},
    {"CURTIME", "CURRENT_TIME"},
    {"UTC_TIMESTAMP", "(CURRENT_TIMESTAMP AT TIME ZONE 'UTC')"},
    {"UTC_DATE", "(CURRENT_TIMESTAMP AT TIME ZONE 'UTC')::date"},
};

void append_number(std::string& out, std::uint64_t value) { out += std::to_string(value); }

// A number in a date column, as MySQL 4.0's mysqldump writes TIMESTAMP
// values (20030201100000): MySQL reads YYYYMMDDHHMMSS, YYMMDDHHMMSS,
// YYYYMMDD and YYMMDD (a two-digit year below 70 is 20YY), and 0 as the
// zero date. Other numbers stay as they are.
literal_result append_date_number(std::string& out, std::string_view digits) {
  if (!std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; })) {
    out += digits;
    return literal_result::written;
  }
  if (std::all_of(digits.begin(), digits.end(), [](char c) { return c == '0'; })) {
    return literal_result::zero_date;
  }
  std::string full;
  if (digits.size() == 12 || digits.size() == 6) full = digits.substr(0, 2) < "70" ? "20" : "19";
  full += digits;
  if (full.size() != 14 && full.size() != 8) {
    out += digits;
    return literal_result::written;
  }
  std::string text = full.substr(0, 4) + "-" + full.substr(4, 2) + "-" + full.substr(6, 2);
  if (full.size() == 14) {
    text += " " + full.substr(8, 2) + ":" + full.substr(10, 2) + ":" + full.substr(12, 2);
  }
  if (is_zero_date(text)) return literal_result::zero_date;
  out += "'" + text + "'";
  return literal_result::written;
}

literal_result append_hex(std::string& out, conversion_context& cx, const token& t,
                          value_kind kind) {
  if (kind == value_kind::binary || kind == value_kind::unknown) {
    append_hex_as_bytea(out, cx.text(t));
    return literal_result::written;
  }
  std::string bytes;
  decode_hex(cx.text(t), bytes);
  if (kind == value_kind::integer || kind == value_kind::decimal) {
    std::uint64_t value;
    if (bytes_value(bytes, value)) {
      append_number(out, value);
      return literal_result::written;
    }
    cx.findings.add(issue::hex_too_long, t.begin, cx.text(t).substr(0, 40));
  }
  if (kind == value_kind::text || kind == value_kind::date_time || kind == value_kind::time) {
    cx.append_text_literal(out, bytes, t.begin);
  } else {
    append_hex_as_bytea(out, cx.text(t));
  }
  return literal_result::written;
}

literal_result append_string_value(std::string& out, conversion_context& cx, const token& t,
                                   value_kind kind, bool binary) {
  std::string_view raw = cx.text(t);
  bool as_bytea = kind == value_kind::binary || (binary && kind == value_kind::unknown);
  bool may_be_date = kind == value_kind::date_time || kind == value_kind::unknown;
  bool binary_number = binary && kind == value_kind::integer;
  if (!as_bytea && !may_be_date && !binary_number) {
    cx.append_string(out, t);
    return literal_result::written;
  }
  // A date has no escapes: the text between the quotes is checked as it is.
  if (!as_bytea && !binary_number) {
    if (is_zero_date(string_body(raw))) return literal_result::zero_date;
    cx.append_string(out, t);
    return literal_result::written;
  }
  std::string bytes;
  decode_string(raw, cx.modes.backslash_escapes, bytes);
  if (as_bytea) {
    append_bytea_literal(out, bytes);
    return literal_result::written;
  }
  if (binary && kind == value_kind::integer) {
    // mysqldump writes BIT values as binary strings: _binary '\0'.
    std::uint64_t value;
    if (bytes_value(bytes, value)) {
      append_number(out, value);
      return literal_result::written;
    }
  }
  cx.append_text_literal(out, bytes, t.begin);
  return literal_result::written;
}

// The PostgreSQL spelling of a keyword-like MySQL function, or empty.
std::string_view keyword_function(std::string_view word) {
  for (const function_spelling& f : keyword_functions) {
    if (same_word(word, f.mysql)) return f.postgres;
  }
  return {};
}

bool is_punct_at(const std::vector<token>& tokens, std::size_t i, std::size_t end,
                 conversion_context& cx, char c, bool adjacent) {
  if (i >= end || tokens[i].kind != token_kind::punct) return false;
  if (adjacent && tokens[i].has(space_before)) return false;
  return cx.source.at(tokens[i].begin) == static_cast<unsigned char>(c);
}

void append_separator(std::string& out, const token& t) {
  if (out.empty() || !t.has(space_before)) return;
  char last = out.back();
  if (last == ' ' || last == '\n' || last == '(') return;
  out += t.has(newline_before) ? '\n' : ' ';
}

}  // namespace

bool is_charset_introducer(std::string_view word, bool& binary) {
  if (word.size() < 2 || word[0] != '_') return false;
  std::string_view name = word.substr(1);
  binary = same_word(name, "BINARY");
  return binary || find_charset(name) != nullptr;
}

literal_result append_literal(std::string& out, conversion_context& cx, const token& t,
                              value_kind kind, bool binary) {
  if (t.has(unterminated)) return literal_result::not_a_literal;
  switch (t.kind) {
    case token_kind::string: return append_string_value(out, cx, t, kind, binary);
    case token_kind::number:
      if (kind == value_kind::date_time) return append_date_number(out, cx.text(t));
      out += cx.text(t);
      return literal_result::written;
    case token_kind::hex_number: return append_hex(out, cx, t, kind);
    case token_kind::bit_number: {
      std::uint64_t value;
      if (!bit_value(bit_digits(cx.text(t)), value)) return literal_result::not_a_literal;
      append_number(out, value);
      return literal_result::written;
    }
    case token_kind::word: {
      std::string_view word = cx.text(t);
      if (same_word(word, "NULL")) {
        out += "NULL";
      } else if (same_word(word, "TRUE")) {
        out += '1';
      } else if (same_word(word, "FALSE")) {
        out += '0';
      } else if (same_word(word, "DEFAULT")) {
        out += "DEFAULT";
      } else {
        return literal_result::not_a_literal;
      }
      return literal_result::written;
    }
    default: return literal_result::not_a_literal;
  }
}

// The qualified name for a bare column reference at `i`, or empty.
std::string qualified_name(conversion_context& cx, const std::vector<token>& tokens, std::size_t i,
                           std::size_t begin, std::size_t end, const qualified_columns* qualify) {
  if (qualify == nullptr) return {};
  if (i > begin && is_punct_at(tokens, i - 1, end, cx, '.', false)) return {};
  if (is_punct_at(tokens, i + 1, end, cx, '(', false) ||
      is_punct_at(tokens, i + 1, end, cx, '.', false)) {
    return {};
  }
  std::string raw = cx.raw_name(tokens[i]);
  std::string lower;
  for (char c : raw) lower += c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
  const std::vector<std::string>& columns = qualify->columns;
  if (std::find(columns.begin(), columns.end(), lower) == columns.end()) return {};
  return qualify->table + "." + cx.name(raw);
}

void append_expression(std::string& out, conversion_context& cx, const std::vector<token>& tokens,
                       std::size_t begin, std::size_t end, expression_problems& problems,
                       value_kind kind, const qualified_columns* qualify,
                       bool zero_dates_as_written) {
  bool binary_next = false;
  for (std::size_t i = begin; i < end; ++i) {
    const token& t = tokens[i];
    append_separator(out, t);
    if (t.has(unterminated) || t.kind == token_kind::invalid) {
      if (!problems.broken) problems.broken_at = t.begin;
      problems.broken = true;
      continue;
    }
    std::string_view text = cx.text(t);
    bool binary = binary_next;
    binary_next = false;
    if (t.kind == token_kind::word || t.kind == token_kind::quoted_name) {
      std::string qualified = qualified_name(cx, tokens, i, begin, end, qualify);
      if (!qualified.empty()) {
        out += qualified;
        continue;
      }
    }
    switch (t.kind) {
      case token_kind::quoted_name: out += cx.name(t); break;
      case token_kind::string:
      case token_kind::number:
      case token_kind::hex_number:
      case token_kind::bit_number:
        if (append_literal(out, cx, t, kind, binary) == literal_result::zero_date) {
          // As any other string is written: its bytes may need transcoding.
          if (zero_dates_as_written) {
            cx.append_string(out, t);
          } else {
            out += "NULL";
          }
        }
        break;
      case token_kind::variable:
        if (!problems.variable) {
          problems.variable_at = t.begin;
          problems.variable_name = std::string(text.substr(0, 64));
        }
        problems.variable = true;
        cx.append_input_text(out, text, t.begin);
        break;
      case token_kind::word: {
        bool introducer_binary = false;
        if (i + 1 < end && tokens[i + 1].kind == token_kind::string &&
            is_charset_introducer(text, introducer_binary)) {
          binary_next = introducer_binary;
          if (!out.empty() && out.back() == ' ') out.pop_back();
          break;
        }
        std::string_view keyword = keyword_function(text);
        bool empty_call = is_punct_at(tokens, i + 1, end, cx, '(', false) &&
                          is_punct_at(tokens, i + 2, end, cx, ')', false);
        if (!keyword.empty() && (empty_call || !is_punct_at(tokens, i + 1, end, cx, '(', false))) {
          out += keyword;
          if (empty_call) i += 2;
        } else if (same_word(text, "TRUE") || same_word(text, "FALSE")) {
          out += same_word(text, "TRUE") ? '1' : '0';
        } else {
          cx.append_input_text(out, text, t.begin);
        }
        break;
      }
      case token_kind::punct: {
        char c = static_cast<char>(cx.source.at(t.begin));
        if ((c == '|' || c == '&') && is_punct_at(tokens, i + 1, end, cx, c, true)) {
          if (!out.empty() && out.back() != ' ') out += ' ';
          out += c == '|' ? "OR " : "AND ";
          ++i;
        } else {
          // MySQL reads "--" without a space after it as two minus signs,
          // PostgreSQL as a comment to the end of the line (which would
          // hide the rest of the statement and its ";").
          if (c == '-' && !out.empty() && out.back() == '-') out += ' ';
          out += c;
        }
        break;
      }
      default: break;
    }
  }
}

}  // namespace corvexa::schema
