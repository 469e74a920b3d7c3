// A finding: something in one converted file that the user should look at,
// with the rule that found it and where it stands in the input file and in
// the converted file.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "report/line_index.h"

namespace corvexa {

enum class severity { error, warning, note };

// Every rule a finding can come from; rules.h has their table.
enum class rule_id : std::uint8_t {
  unsupported_call,
  parse_error,
  db_query,
  insert_id,
  select_db,
  leftover_name,
  split_argument,
  missing_argument,
  no_link,
  guessed_link,
  broken_expression,
  review,
  no_equivalent,
  behaves_differently,
  errno_number,
  unreadable_call,
  name_in_string,
  sql_syntax,
  sql_mysql,
  sql_unchecked,
  sql_schema_convert,
  sql_schema_unsupported,
  sql_schema_migrate,
  php_stripslashes,
  sql_schema,
  sql_case,
  php_zero_date,
};

struct finding {
  rule_id id = rule_id::unsupported_call;
  std::string_view rule;  // the rule's name, such as "unsupported-call"
  severity level = severity::warning;
  std::string name;  // the call the finding is about
  std::string message;
  // Where the finding stands in the input (the call name, or the name the
  // finding is about) and in the converted text (what replaced the call,
  // or where that name now stands).
  std::uint64_t source_offset = 0;
  std::uint64_t output_offset = 0;
  text_position source;
  text_position output;
  // The source column counted in characters (UTF-8 sequences) rather than
  // bytes, for tools that count columns that way.
  std::uint64_t source_column_in_characters = 0;
};

std::string_view severity_name(severity level);

}  // namespace corvexa
