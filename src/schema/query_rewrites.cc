// The query checks judge and rewrite a text given to them whole, and their
// edits are made to it.
#include "schema/query_rewrites.h"

#include <string_view>
#include <vector>

#include "schema/mysql_literals.h"
#include "sql/query_checks.h"
#include "sql/sql_parser.h"

namespace corvexa::schema {

std::string with_query_rewrites(const std::string& statement, std::set<std::string>* extensions,
                                const sql::schema_model* schema) {
  sql::query_options options;
  options.rewrite = true;
  options.names_in_double_quotes = true;
  options.schema = schema;
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

std::string zero_dates_as_null(const std::string& statement) {
  std::vector<sql::sql_token> tokens;
  if (statement.find("0000-00-00") == std::string::npos || !sql::scan_sql(statement, tokens)) {
    return statement;
  }
  std::string out;
  std::size_t copied = 0;
  for (const sql::sql_token& t : tokens) {
    std::string_view text(statement.data() + t.begin, t.end - t.begin);
    if (t.kind != sql::sql_token_kind::sconst || text.size() < 2 || text.front() != '\'' ||
        !is_zero_date(text.substr(1, text.size() - 2))) {
      continue;
    }
    out.append(statement, copied, t.begin - copied).append("NULL");
    copied = t.end;
  }
  return out.append(statement, copied, std::string::npos);
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
