// The query checks judge and rewrite a text given to them whole, and their
// edits are made to it.
#include "schema/query_rewrites.h"

#include <string_view>
#include <vector>

#include "sql/query_checks.h"

namespace corvexa::schema {

namespace {

// The query checks' findings about MySQL's constructs (not the schema's
// notes about names and case, which a script's tables made elsewhere
// would fill).
void note_left(const sql::query_report& report, std::vector<std::string>* left) {
  if (left == nullptr) return;
  for (const sql::sql_finding& f : report.findings) {
    if (f.rule == sql::rule_sql_mysql || f.rule == sql::rule_sql_syntax) left->push_back(f.message);
  }
}

}  // namespace

std::string with_query_rewrites(const std::string& statement, std::set<std::string>* extensions,
                                const sql::schema_model* schema, std::vector<std::string>* left) {
  sql::query_options options;
  options.rewrite = true;
  options.names_in_double_quotes = true;
  options.schema = schema;
  sql::query_report report = sql::check_sql_text(statement, options);
  note_left(report, left);
  if (report.edits.empty()) return statement;
  if (extensions == nullptr && !report.extensions.empty()) {
    if (left != nullptr) {
      left->push_back("a function that needs the extension " + *report.extensions.begin() +
                      ", which cannot be created here");
    }
    return statement;
  }
  // Sorted and apart: the last edit ends furthest.
  const sql::text_edit& last = report.edits.back();
  if (last.offset + last.length > statement.size()) return statement;
  if (extensions != nullptr) extensions->insert(report.extensions.begin(), report.extensions.end());
  return sql::with_edits(statement, report.edits);
}

std::string piece_with_query_rewrites(std::string_view context, const std::string& piece,
                                      std::set<std::string>* extensions,
                                      const sql::schema_model* schema,
                                      std::vector<std::string>* left) {
  std::set<std::string> needed;
  std::string statement = with_query_rewrites(std::string(context) + piece,
                                              extensions ? &needed : nullptr, schema, left);
  if (statement.compare(0, context.size(), context) != 0) return piece;
  if (extensions != nullptr) extensions->merge(needed);
  return statement.substr(context.size());
}

std::string expression_with_query_rewrites(const std::string& expression,
                                           std::set<std::string>* extensions,
                                           const sql::schema_model* schema,
                                           std::vector<std::string>* left) {
  // The rewrites never touch a keyword they did not find MySQL's.
  return piece_with_query_rewrites("SELECT ", expression, extensions, schema, left);
}

}  // namespace corvexa::schema
