// The query checks judge and rewrite a text given to them whole; their
// edits are applied here from the last to the first, so that each offset
// still points where it did.
#include "schema/query_rewrites.h"

#include <string_view>

#include "sql/query_checks.h"

namespace corvexa::schema {

std::string with_query_rewrites(const std::string& statement) {
  sql::query_options options;
  options.rewrite = true;
  options.names_in_double_quotes = true;
  sql::query_report report = sql::check_sql_text(statement, options);
  if (report.edits.empty() || !report.extensions.empty()) return statement;
  std::string rewritten = statement;
  for (auto edit = report.edits.rbegin(); edit != report.edits.rend(); ++edit) {
    if (edit->offset + edit->length > rewritten.size()) return statement;
    rewritten.replace(edit->offset, edit->length, edit->replacement);
  }
  return rewritten;
}

std::string expression_with_query_rewrites(const std::string& expression) {
  constexpr std::string_view select = "SELECT ";
  std::string statement = with_query_rewrites(std::string(select) + expression);
  // The rewrites never touch a keyword they did not find MySQL's.
  if (statement.compare(0, select.size(), select) != 0) return expression;
  return statement.substr(select.size());
}

}  // namespace corvexa::schema
