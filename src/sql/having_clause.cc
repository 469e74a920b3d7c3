// Read from the SELECT's own tree and tokens only: a name in HAVING is an
// output column when the select list gives it as an alias; the clauses'
// keywords are found by walking the tokens from a node's location, over
// parenthesized parts.
#include "sql/having_clause.h"

#include <algorithm>
#include <string>
#include <string_view>

#include "common/ascii.h"

namespace corvexa::sql {
namespace {

using json = parse_tree::json;
using parse_tree::list;
using parse_tree::location_of;
using parse_tree::member;
using parse_tree::string_field;
using parse_tree::text_of;

constexpr std::size_t none = sql_token_view::none;
constexpr int max_depth = 1000;

constexpr std::string_view aggregates[] = {
    "count",   "sum",    "avg",        "min",         "max",      "group_concat", "string_agg",
    "std",     "stddev", "stddev_pop", "stddev_samp", "variance", "var_pop",      "var_samp",
    "bit_and", "bit_or", "bit_xor",    "array_agg",   "bool_and", "bool_or",      "every"};

std::string parenthesized(std::string_view text) {
  std::string out;
  out.reserve(text.size() + 2);
  out.push_back('(');
  out.append(text);
  out.push_back(')');
  return out;
}

// The location of a node such as {"A_Expr": {...}}.
std::uint64_t node_location(const json& node) {
  return node.is_object() && !node.empty() ? location_of(node.begin().value()) : 0;
}

// True if `node` calls an aggregate (or a window function) outside the
// queries nested in it; true as well where it is too deep to tell.
bool has_aggregate(const json& node, int depth) {
  if (depth > max_depth) return true;
  if (node.is_array()) {
    return std::any_of(node.begin(), node.end(),
                       [&](const json& child) { return has_aggregate(child, depth + 1); });
  }
  if (!node.is_object()) return false;
  for (auto it = node.begin(); it != node.end(); ++it) {
    if (it.key() == "SelectStmt") continue;
    if (it.key() == "FuncCall") {
      const json* names = list(it.value(), "funcname");
      std::string name = names != nullptr && !names->empty() ? string_field(names->back()) : "";
      if (it.value().contains("over") || it.value().contains("agg_star") ||
          std::find(std::begin(aggregates), std::end(aggregates), name) != std::end(aggregates))
        return true;
    }
    if (it.value().is_structured() && has_aggregate(it.value(), depth + 1)) return true;
  }
  return false;
}

class having_reader {
 public:
  having_reader(const json& select, const sql_token_view* tokens)
      : select_(select), tokens_(tokens) {}

  std::vector<tree_issue> run() {
    const json* having = member(select_, "havingClause");
    if (having == nullptr) return {};
    const json* targets = list(select_, "targetList");
    bool filters_rows = member(select_, "groupClause") == nullptr && !has_aggregate(*having, 0) &&
                        (targets == nullptr || !has_aggregate(*targets, 0));
    if (targets != nullptr) read_targets(*targets);
    read_grouped_names();
    output_columns(*having, 0);
    if (filters_rows) rows_filter(*having);
    return std::move(issues_);
  }

 private:
  struct alias {
    std::string name;
    std::uint64_t location = 0;  // of its value
    int count = 0;               // the select list's columns of that name
  };

  void read_targets(const json& targets) {
    for (const json& t : targets) {
      const json* target = member(t, "ResTarget");
      std::string name = target != nullptr ? text_of(*target, "name") : "";
      if (name.empty()) continue;
      auto found = std::find_if(aliases_.begin(), aliases_.end(),
                                [&](const alias& a) { return a.name == name; });
      if (found != aliases_.end()) {
        ++found->count;
      } else {
        aliases_.push_back(alias{name, location_of(*target), 1});
      }
    }
  }

  // MySQL prefers a grouped column to an output column of its name.
  void read_grouped_names() {
    const json* groups = list(select_, "groupClause");
    if (groups == nullptr) return;
    for (const json& g : *groups) {
      const json* ref = member(g, "ColumnRef");
      const json* fields = ref != nullptr ? list(*ref, "fields") : nullptr;
      if (fields != nullptr && fields->size() == 1) grouped_.push_back(string_field((*fields)[0]));
    }
  }

  // The names in HAVING that stand for output columns.
  void output_columns(const json& node, int depth) {
    if (depth > max_depth) return;
    if (node.is_array()) {
      for (const json& child : node) output_columns(child, depth + 1);
      return;
    }
    if (!node.is_object()) return;
    for (auto it = node.begin(); it != node.end(); ++it) {
      if (it.key() == "SelectStmt") continue;
      if (it.key() == "ColumnRef") output_column(it.value());
      if (it.value().is_structured()) output_columns(it.value(), depth + 1);
    }
  }

  void output_column(const json& ref) {
    const json* fields = list(ref, "fields");
    if (fields == nullptr || fields->size() != 1) return;
    std::string name = string_field((*fields)[0]);
    auto found = std::find_if(aliases_.begin(), aliases_.end(),
                              [&](const alias& a) { return a.name == name; });
    if (found == aliases_.end() ||
        std::find(grouped_.begin(), grouped_.end(), name) != grouped_.end())
      return;
    std::uint64_t location = location_of(ref);
    tree_issue issue{"HAVING reads the output column " + name +
                         " on MySQL, PostgreSQL only the columns of the tables: write its "
                         "expression",
                     location,
                     {},
                     {},
                     {}};
    std::size_t at = tokens_ != nullptr ? tokens_->starting_at(location) : none;
    std::pair<std::size_t, std::size_t> value{none, none};
    if (at != none && found->count == 1) value = value_tokens(*found);
    if (at != none && value.first != none && names(at, name)) {
      const sql_token_view& t = *tokens_;
      std::uint64_t begin = t[value.first].begin, end = t[value.second].end;
      issue.rewrite = {
          sql_edit{t[at].begin, t[at].end, parenthesized(t.text().substr(begin, end - begin))}};
      issue.copied = {{begin, end}};
    }
    issues_.push_back(std::move(issue));
  }

  // Token i writes the name `name`.
  bool names(std::size_t i, const std::string& name) const {
    std::string_view b = tokens_->bytes(i);
    return ascii_lowered(b) == name || (b.size() == name.size() + 2 && b.front() == '"' &&
                                        b.back() == '"' && b.substr(1, name.size()) == name);
  }

  // The first and last tokens of the value the output column `a` is named
  // for: from its location up to [AS] name, which ends it.
  std::pair<std::size_t, std::size_t> value_tokens(const alias& a) const {
    const sql_token_view& t = *tokens_;
    std::size_t first = t.starting_at(a.location);
    if (first == none) return {none, none};
    std::size_t i = first;
    for (; i < t.size(); ++i) {
      if (t.is_char(i, '(')) {
        i = t.closing_paren(i);
        if (i == none) return {none, none};
      } else if (t.is_char(i, ',') || t.is_char(i, ')') || t.is(i, "from") || t.is(i, "into") ||
                 t.is_char(i, ';')) {
        break;
      }
    }
    std::size_t name = i - 1;
    if (name <= first || !names(name, a.name)) return {none, none};
    std::size_t last = t.is(name - 1, "as") ? name - 2 : name - 1;
    return last >= first && last != none ? std::pair{first, last} : std::pair{none, none};
  }

  // The clause keyword `word` that the expression at `location` follows.
  std::size_t keyword_before(std::uint64_t location, std::string_view word) const {
    const sql_token_view& t = *tokens_;
    std::size_t i = t.starting_at(location);
    int depth = 0;
    for (; i != none && i > 0; --i) {
      if (t.is_char(i, ')')) ++depth;
      if (t.is_char(i, '(')) --depth;
      if (depth <= 0 && t.is(i - 1, word)) return i - 1;
    }
    return none;
  }

  // The last token of the HAVING condition after token `having`.
  std::size_t condition_end(std::size_t having) const {
    const sql_token_view& t = *tokens_;
    std::size_t i = having + 1;
    for (; i < t.size(); ++i) {
      if (t.is_char(i, '(')) {
        i = t.closing_paren(i);
        if (i == none) return none;
        continue;
      }
      if (t.is_char(i, ')') || t.is_char(i, ';')) break;
      static constexpr std::string_view ends[] = {"order",  "limit",     "union", "intersect",
                                                  "except", "for",       "into",  "window",
                                                  "offset", "procedure", "lock",  "fetch"};
      if (std::any_of(std::begin(ends), std::end(ends),
                      [&](std::string_view w) { return t.is(i, w); }))
        break;
    }
    return i - 1 > having ? i - 1 : none;
  }

  void rows_filter(const json& having) {
    tree_issue issue{
        "HAVING without GROUP BY or an aggregate filters the rows on MySQL, as "
        "WHERE does; PostgreSQL makes the query one group: move the condition into "
        "WHERE",
        node_location(having),
        {},
        {},
        {}};
    std::size_t at = tokens_ != nullptr ? keyword_before(node_location(having), "having") : none;
    std::size_t last = at != none ? condition_end(at) : none;
    const json* where = member(select_, "whereClause");
    std::size_t where_at =
        where != nullptr && at != none ? keyword_before(node_location(*where), "where") : none;
    if (at != none) issue.location = (*tokens_)[at].begin;
    if (last != none && where == nullptr) {
      issue.rewrite = {sql_edit{(*tokens_)[at].begin, (*tokens_)[at].end, "WHERE"}};
    } else if (last != none && where_at != none && where_at + 1 < at) {
      const sql_token_view& t = *tokens_;
      issue.rewrite = {sql_edit{t[where_at + 1].begin, t[where_at + 1].begin, "("},
                       sql_edit{t[at - 1].end, t[at].end, ") AND"},
                       sql_edit{t[at + 1].begin, t[at + 1].begin, "("},
                       sql_edit{t[last].end, t[last].end, ")"}};
    }
    issues_.push_back(std::move(issue));
  }

  const json& select_;
  const sql_token_view* tokens_;
  std::vector<alias> aliases_;
  std::vector<std::string> grouped_;
  std::vector<tree_issue> issues_;
};

}  // namespace

std::vector<tree_issue> having_issues(const parse_tree::json& select,
                                      const sql_token_view* tokens) {
  return having_reader(select, tokens).run();
}

}  // namespace corvexa::sql
