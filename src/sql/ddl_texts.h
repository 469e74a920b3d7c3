// The DDL of install scripts: a query text that is a MySQL CREATE TABLE or
// ALTER TABLE is converted whole, by the .sql converter that the caller
// hands over, rather than judged piece by piece. The converted text must
// parse, and hold one statement unless the call runs several.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "sql/query_checks.h"

namespace corvexa::sql {

// The words that open a CREATE [TEMPORARY] TABLE or ALTER TABLE text, such
// as "CREATE TABLE `users`", for messages; empty when the text is none.
std::string ddl_heading(std::string_view text);

struct ddl_text_outcome {
  std::string replacement;            // the whole new text; empty: not converted
  std::vector<std::string> messages;  // why not, or what changes in meaning
};

// `text`, headed by `heading`, converted. With PHP values in it
// (`has_placeholders`) it is not: where they stand in the output is unknown.
ddl_text_outcome convert_ddl_text(std::string_view text, std::string_view heading,
                                  bool has_placeholders, bool several_statements,
                                  const ddl_converter& convert);

// `sql` with its line breaks between tokens made spaces, for a literal
// that cannot take new lines.
std::string on_one_line(const std::string& sql);

}  // namespace corvexa::sql
