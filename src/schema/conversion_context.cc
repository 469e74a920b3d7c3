// Names and text in the output encoding.
#include "schema/conversion_context.h"

#include "schema/mysql_literals.h"
#include "schema/token_cursor.h"
#include "sql/postgres_names.h"

namespace corvexa::schema {

std::string conversion_context::raw_name(const token& t) {
  std::string decoded = token_name(t, text(t));
  std::string encoded;
  text_problems found;
  append_text(encoded, decoded, charset->handling, found);
  report(found, t.begin);
  return encoded;
}

std::string conversion_context::name(std::string_view raw) { return sql::postgres_name(raw); }

void conversion_context::append_string(std::string& out, const token& t) {
  std::string_view raw = text(t);
  bool single_quoted = raw[0] == '\'' || (raw.size() > 1 && raw[1] == '\'');
  if (!single_quoted) {  // "..." holds single quotes to double
    decode_string(raw, modes.backslash_escapes, scratch_);
    append_text_literal(out, scratch_, t.begin);
    return;
  }
  text_problems found;
  out += '\'';
  append_string_body(out, string_body(raw), modes.backslash_escapes, charset->handling, found);
  out += '\'';
  report(found, t.begin);
}

void conversion_context::append_text_literal(std::string& out, std::string_view bytes,
                                             std::uint64_t offset) {
  text_problems found;
  out += '\'';
  append_text(out, bytes, charset->handling, found, '\'');
  out += '\'';
  report(found, offset);
}

void conversion_context::append_input_text(std::string& out, std::string_view bytes,
                                           std::uint64_t offset) {
  text_problems found;
  append_text(out, bytes, charset->handling, found);
  report(found, offset);
}

void conversion_context::report(const text_problems& found, std::uint64_t offset) {
  if (found.invalid_utf8 && !reported_.invalid_utf8) {
    reported_.invalid_utf8 = true;
    findings.add(issue::invalid_utf8, offset);
  }
  if (found.zero_byte && !reported_.zero_byte) {
    reported_.zero_byte = true;
    findings.add(issue::nul_in_text, offset);
  }
}

}  // namespace corvexa::schema
