// The stand-ins are read back from the filled text: "1" in code is a
// value, "x" between quotes is a value when the quotes hold nothing else.
#include "sql/prepared_form.h"

#include <algorithm>

#include "sql/parse_tree_node.h"

namespace corvexa::sql {
namespace {

constexpr std::string_view preparable[] = {"SelectStmt", "InsertStmt", "UpdateStmt", "DeleteStmt"};

// Refusals that a parameter of unknown type can cause on its own.
constexpr std::string_view parameter_states[] = {
    "42P18",  // indeterminate datatype
    "42P08",  // ambiguous parameter
    "42725",  // ambiguous function or operator
};

bool one_preparable_statement(const parse_tree::node& tree) {
  if (tree.is_discarded() || !tree.contains("stmts")) return false;
  const parse_tree::node& stmts = tree.at("stmts");
  if (!stmts.is_array() || stmts.size() != 1 || !stmts[0].is_object()) return false;
  auto stmt = stmts[0].find("stmt");
  if (stmt == stmts[0].end() || !stmt->is_object() || stmt->size() != 1) return false;
  std::string_view kind = stmt->begin().key();
  return std::find(std::begin(preparable), std::end(preparable), kind) != std::end(preparable);
}

}  // namespace

std::optional<prepared_statement> prepared_form(const substituted_sql& original,
                                                const std::vector<sql_edit>& rewrites,
                                                const parse_tree::node& tree) {
  if (!one_preparable_statement(tree)) return std::nullopt;
  const std::string& sql = original.sql;
  std::vector<sql_token> tokens;
  if (!scan_sql(sql, tokens)) return std::nullopt;
  edit_list edits;
  if (!edits.add_group(rewrites)) return std::nullopt;
  std::size_t parameters = 0;
  std::map<std::uint64_t, std::uint64_t> stand_ins;
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
    stand_ins.emplace(edit.begin, slot.begin);
    ++parameters;
  }
  return prepared_statement{edited_sql(sql, edits.sorted()), std::move(stand_ins)};
}

// PostgreSQL counts the characters of the text as the server holds it:
// UTF-8 characters, whose bytes after the first are 10xxxxxx.
std::optional<std::uint64_t> prepared_statement::checked_offset(std::uint64_t position) const {
  const std::string& text = form.text();
  if (position == 0) return std::nullopt;
  std::uint64_t byte = 0;
  for (std::uint64_t character = 1; character < position; ++character) {
    if (byte >= text.size()) return std::nullopt;
    ++byte;
    while (byte < text.size() && (static_cast<unsigned char>(text[byte]) & 0xC0) == 0x80) ++byte;
  }
  std::uint64_t checked = form.report_offset(byte);
  auto stand_in = parameter_stand_ins.find(checked);
  return stand_in != parameter_stand_ins.end() ? stand_in->second : checked;
}

bool refusal_about_the_statement(const std::string& sqlstate) {
  if (sqlstate.size() != 5 || sqlstate.compare(0, 2, "42") != 0) return false;
  return std::find(std::begin(parameter_states), std::end(parameter_states), sqlstate) ==
         std::end(parameter_states);
}

}  // namespace corvexa::sql
