// The GROUP BY list is found by the statement's tokens at its own depth;
// ORDER BY goes after the list, or after HAVING's condition, before LIMIT
// and whatever else may follow.
#include "sql/group_order.h"

#include <algorithm>
#include <string>
#include <string_view>

#include "common/ascii.h"
#include "sql/enum_order.h"

namespace corvexa::sql {
namespace {

using parse_tree::member;
using parse_tree::text_of;

constexpr std::size_t none = sql_token_view::none;

const std::string message =
    "GROUP BY sorted the groups on MySQL (before 8.0), PostgreSQL returns them in any order: "
    "write ORDER BY with the grouped values";

// The token at depth 0 from `from` up to `last` that ends the clause
// there (one of `words`, or ";"), or last + 1.
std::size_t clause_end(const sql_token_view& t, std::size_t from, std::size_t last,
                       std::initializer_list<std::string_view> words) {
  for (std::size_t i = from; i <= last; ++i) {
    if (t.is_char(i, '(')) {
      i = t.closing_paren(i);
      if (i == none || i > last) return none;
      continue;
    }
    if (t.is_char(i, ';') || t.is_char(i, ')') ||
        std::any_of(words.begin(), words.end(), [&](std::string_view w) { return t.is(i, w); }))
      return i;
  }
  return last + 1;
}

// The position (from 1) of the output column that `item` of GROUP BY
// names alone, where the select list (tokens from `first` to `group`)
// writes the name with a capital, which makes it an alias that the output
// names' rewrite quotes; else 0.
std::size_t output_position(const parse_tree::json& select, const parse_tree::json& item,
                            const sql_token_view& t, std::size_t first, std::size_t group) {
  const parse_tree::json* ref = member(item, "ColumnRef");
  const parse_tree::json* fields = ref != nullptr ? parse_tree::list(*ref, "fields") : nullptr;
  const parse_tree::json* targets = parse_tree::list(select, "targetList");
  if (fields == nullptr || fields->size() != 1 || targets == nullptr) return 0;
  std::string name = parse_tree::string_field((*fields)[0]);
  bool capitalized = false;
  for (std::size_t i = first; i < group; ++i) {
    std::string_view b = t.bytes(i);
    capitalized = capitalized ||
                  (ascii_lowered(b) == name &&
                   std::any_of(b.begin(), b.end(), [](char c) { return c >= 'A' && c <= 'Z'; }));
  }
  if (!capitalized) return 0;
  for (std::size_t i = 0; i < targets->size(); ++i) {
    const parse_tree::json* target = member((*targets)[i], "ResTarget");
    if (target != nullptr && !name.empty() && text_of(*target, "name") == name) return i + 1;
  }
  return 0;
}

}  // namespace

std::optional<tree_issue> group_order_issue(const parse_tree::json& select,
                                            const sql_token_view* tokens, std::uint64_t begin,
                                            std::uint64_t end, const schema_model* schema) {
  if (member(select, "groupClause") == nullptr || member(select, "sortClause") != nullptr ||
      (select.contains("op") && text_of(select, "op") != "SETOP_NONE"))
    return std::nullopt;
  tree_issue issue{message, begin, {}, {}, {}};
  if (tokens == nullptr) return issue;
  const sql_token_view& t = *tokens;
  std::size_t first = 0;
  while (first < t.size() && t[first].begin < begin) ++first;
  std::size_t last = first;
  while (last + 1 < t.size() && t[last + 1].end <= end) ++last;
  if (first >= t.size()) return issue;
  std::size_t group = clause_end(t, first, last, {"group"});
  if (group == none || group >= last || !t.is(group, "group") || !t.is(group + 1, "by"))
    return issue;
  issue.location = t[group].begin;
  std::initializer_list<std::string_view> after_having = {
      "window", "limit", "offset", "for", "procedure", "into", "lock", "fetch", "union"};
  std::size_t list_end = clause_end(t, group + 2, last,
                                    {"having", "window", "limit", "offset", "for", "procedure",
                                     "into", "lock", "fetch", "union", "with"});
  if (list_end == none || list_end <= group + 2 || t.is(list_end, "with") ||
      t.is(list_end, "union"))
    return issue;
  std::size_t insert_after = list_end - 1;
  if (t.is(list_end, "having")) {
    std::size_t having_end = clause_end(t, list_end + 1, last, after_having);
    if (having_end == none || having_end <= list_end + 1 || t.is(having_end, "union")) return issue;
    insert_after = having_end - 1;
  }
  // Each grouped value as the list writes it, but an output column's name
  // by its position: the output names may be quoted by another rewrite.
  std::vector<std::size_t> commas = {group + 1};
  for (std::size_t i = group + 2; i < list_end; ++i) {
    if (t.is_char(i, '(')) i = t.closing_paren(i);
    if (i == none || i >= list_end) return issue;
    if (t.is_char(i, ',')) commas.push_back(i);
  }
  commas.push_back(list_end);
  const parse_tree::json* groups = parse_tree::list(select, "groupClause");
  if (groups == nullptr || groups->size() + 1 != commas.size()) return issue;
  std::string order = " ORDER BY ";
  for (std::size_t k = 0; k + 1 < commas.size(); ++k) {
    std::uint64_t begin = t[commas[k] + 1].begin, stop = t[commas[k + 1] - 1].end;
    if (k > 0) order += ", ";
    if (std::size_t position = output_position(select, (*groups)[k], t, first, group);
        position != 0) {
      order += std::to_string(position);
    } else {
      std::string_view written = t.text().substr(begin, stop - begin);
      std::optional<std::string> key;
      if (schema != nullptr) key = enum_order_of(select, (*groups)[k], *schema, written);
      order += key ? *key : std::string(written);
      issue.copied.push_back({begin, stop});
    }
    order += " NULLS FIRST";  // MySQL's NULL group came first
  }
  issue.rewrite = {sql_edit{t[insert_after].end, t[insert_after].end, std::move(order)}};
  return issue;
}

}  // namespace corvexa::sql
