// What every statement converter shares while a file is read: the input,
// the session settings that change how text reads (character set, quoting
// modes), the findings, and the spelling of names and literals in the
// output. Names go through sql::postgres_name, the one spelling the query
// rewrites use too; text goes through the character set's handling.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "schema/mysql_lexer.h"
#include "schema/schema_findings.h"
#include "schema/sql_source.h"
#include "schema/text_encoding.h"

namespace corvexa::schema {

// How a value is written for the column it goes to.
enum class value_kind {
  unknown,  // no CREATE TABLE seen: read as MySQL would guess
  text,
  binary,  // bytea
  integer,
  decimal,    // numeric, real, double precision
  date_time,  // date and timestamp: zero dates matter
  time,
};

class conversion_context {
 public:
  conversion_context(sql_source& source, finding_list& findings)
      : source(source), findings(findings) {}

  std::string_view text(const token& t) const { return source.text(t.begin, t.end); }

  // A raw MySQL name as PostgreSQL must read it.
  std::string name(std::string_view raw);
  // The name a word or quoted-name token stands for, spelled for PostgreSQL.
  std::string name(const token& t) { return name(raw_name(t)); }
  // The name a token stands for, in the file's character set, as UTF-8 but
  // not yet lower-cased or quoted; used as keys and in messages.
  std::string raw_name(const token& t);

  // Appends the string token `t` as a '...' literal.
  void append_string(std::string& out, const token& t);
  // Appends decoded bytes as a text literal.
  void append_text_literal(std::string& out, std::string_view bytes, std::uint64_t offset);
  // Appends text of the input (a comment, a word) in the output encoding.
  void append_input_text(std::string& out, std::string_view bytes, std::uint64_t offset);

  // Ends a statement: its text problems may be reported again.
  void end_statement() { reported_ = {}; }
  // Reports what appending text found (once a statement).
  void report(const text_problems& found, std::uint64_t offset);

  sql_source& source;
  finding_list& findings;
  lexer_modes modes;
  const charset_info* charset = &utf8_charset();

 private:
  text_problems reported_;
  std::string scratch_;
};

}  // namespace corvexa::schema
