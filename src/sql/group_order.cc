// The GROUP BY list is found by the statement's tokens at its own depth;
// ORDER BY goes after the list, or after HAVING's condition, before LIMIT
// and whatever else may follow.
#include "sql/group_order.h"

#include <algorithm>
#include <string>
#include <string_view>

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

}  // namespace

std::optional<tree_issue> group_order_issue(const parse_tree::json& select,
                                            const sql_token_view* tokens, std::uint64_t begin,
                                            std::uint64_t end) {
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
  std::uint64_t list_begin = t[group + 2].begin, list_stop = t[list_end - 1].end;
  std::string order = " ORDER BY ";
  order.append(t.text().substr(list_begin, list_stop - list_begin));
  issue.rewrite = {sql_edit{t[insert_after].end, t[insert_after].end, std::move(order)}};
  issue.copied = {{list_begin, list_stop}};
  return issue;
}

}  // namespace corvexa::sql
