// The stand-ins are read back from the filled text: "1" in code is a
// value, "x" between quotes is a value when the quotes hold nothing else.
#include "sql/prepared_form.h"

#include <algorithm>

#include <nlohmann/json.hpp>

namespace corvexa::sql {
namespace {

constexpr std::string_view preparable[] = {"SelectStmt", "InsertStmt", "UpdateStmt", "DeleteStmt"};

// Refusals that a parameter of unknown type can cause on its own.
constexpr std::string_view parameter_states[] = {
    "42P18",  // indeterminate datatype
    "42P08",  // ambiguous parameter
    "42725",  // ambiguous function or operator
};

bool one_preparable_statement(const std::string& tree_json) {
  nlohmann::json tree = nlohmann::json::parse(tree_json, nullptr, false);
  if (tree.is_discarded() || !tree.contains("stmts")) return false;
  const nlohmann::json& stmts = tree["stmts"];
  if (!stmts.is_array() || stmts.size() != 1 || !stmts[0].is_object()) return false;
  auto stmt = stmts[0].find("stmt");
  if (stmt == stmts[0].end() || !stmt->is_object() || stmt->size() != 1) return false;
  const std::string& kind = stmt->begin().key();
  return std::find(std::begin(preparable), std::end(preparable), kind) != std::end(preparable);
}

}  // namespace

std::optional<std::string> prepared_form(const substituted_sql& original,
                                         const std::vector<sql_edit>& rewrites,
                                         const std::string& tree_json) {
  if (!one_preparable_statement(tree_json)) return std::nullopt;
  const std::string& sql = original.sql;
  std::vector<sql_token> tokens;
  if (!scan_sql(sql, tokens)) return std::nullopt;
  edit_list edits;
  if (!edits.add_group(rewrites)) return std::nullopt;
  std::size_t parameters = 0;
  for (const substitution_slot& slot : original.slots) {
    auto token = std::partition_point(tokens.begin(), tokens.end(),
                                      [&](const sql_token& t) { return t.end <= slot.begin; });
    bool in_token = token != tokens.end() && token->begin <= slot.begin;
    if (!in_token) {
      if (slot.begin == slot.end) return std::nullopt;  // stands for nothing: not a value
      continue;                                         // in a comment
    }
    std::string parameter(1, '$');
    parameter += std::to_string(parameters + 1);
    sql_edit edit;
    if (token->kind == sql_token_kind::sconst) {
      bool alone =
          token->begin + 1 == slot.begin && token->end == slot.end + 1 && sql[token->begin] == '\'';
      if (!alone) continue;  // a part of a string: the stand-in is as good as any
      edit = sql_edit{token->begin, token->end, parameter};
    } else if (token->kind == sql_token_kind::iconst && token->begin == slot.begin &&
               token->end == slot.end) {
      edit = sql_edit{slot.begin, slot.end, parameter};
    } else {
      return std::nullopt;  // a name, a list, a condition: another statement
    }
    if (!edits.add_group({edit})) return std::nullopt;
    ++parameters;
  }
  return edited_sql(sql, edits.sorted()).text();
}

bool refusal_about_the_statement(const std::string& sqlstate) {
  if (sqlstate.size() != 5 || sqlstate.compare(0, 2, "42") != 0) return false;
  return std::find(std::begin(parameter_states), std::end(parameter_states), sqlstate) ==
         std::end(parameter_states);
}

}  // namespace corvexa::sql
