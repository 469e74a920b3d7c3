// The query checks judge and rewrite a text given to them whole, and their
// edits are made to it.
#include "schema/query_rewrites.h"

#include <string_view>

#include "sql/query_checks.h"

namespace corvexa::schema {

std::string with_query_rewrites(const std::string& statement, std::set<std::string>* extensions) {
  sql::query_options options;
  options.rewrite = true;
  options.names_in_double_quotes = true;
  sql::query_report report = sql::check_sql_text(statement, options);
  if (report.edits.empty() || (extensions == nullptr && !report.extensions.empty())) {
    return statement;
  }
  // Sorted and apart: the last edit ends furthest.
  const sql::text_edit& last = report.edits.back();
  if (last.offset + last.length > statement.size()) return statement;
  if (extensions != nullptr) extensions->insert(report.extensions.begin(), report.extensions.end());
  return sql::with_edits(statement, report.edits);
}

std::string expression_with_query_rewrites(const std::string& expression,
                                           std::set<std::string>* extensions) {
  constexpr std::string_view select = "SELECT ";
  std::set<std::string> needed;
  std::string statement =
      with_query_rewrites(std::string(select) + expression, extensions ? &needed : nullptr);
  // The rewrites never touch a keyword they did not find MySQL's.
  if (statement.compare(0, select.size(), select) != 0) return expression;
  if (extensions != nullptr) extensions->merge(needed);
  return statement.substr(select.size());
}

}  // namespace corvexa::schema
