// An alias is the last token of its select-list item; a plain column's
// name the last name of its reference. The ORDER BY and GROUP BY names
// that stand for an alias are quoted with it (HAVING's are the HAVING
// rewrite's to replace by the alias's expression).
#include "sql/output_names.h"

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

bool has_capital(std::string_view s) {
  return std::any_of(s.begin(), s.end(), [](char c) { return c >= 'A' && c <= 'Z'; });
}

std::string double_quoted(std::string_view name) {
  std::string out;
  out.reserve(name.size() + 2);
  out.push_back('"');
  out.append(name);
  out.push_back('"');
  return out;
}

class output_names {
 public:
  output_names(const json& select, const sql_token_view& tokens) : select_(select), t_(tokens) {}

  std::vector<tree_issue> run() {
    const json* targets = list(select_, "targetList");
    if (targets == nullptr) return {};
    for (const json& item : *targets) {
      if (const json* target = member(item, "ResTarget")) output_column(*target);
    }
    for (const char* clause : {"sortClause", "groupClause"}) {
      if (const json* items = list(select_, clause)) alias_references(*items);
    }
    return std::move(issues_);
  }

 private:
  // Token i is a name written without quotes (a keyword such as Name may
  // be one).
  bool plain_name(std::size_t i) const {
    if (i >= t_.size() || t_[i].kind == sql_token_kind::op) return false;
    std::string_view b = t_.bytes(i);
    return !(b.front() >= '0' && b.front() <= '9') && std::all_of(b.begin(), b.end(), [](char c) {
      return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
    });
  }

  bool capitalized_name(std::size_t i) const { return plain_name(i) && has_capital(t_.bytes(i)); }

  void add(std::size_t token, std::string replacement) {
    issues_.push_back(tree_issue{"MySQL keeps the letter case of the name " +
                                     std::string(t_.bytes(token)) +
                                     ", which PHP reads as a key; PostgreSQL folds it to lower "
                                     "case: write it in double quotes",
                                 t_[token].begin,
                                 {sql_edit{t_[token].begin, t_[token].end, std::move(replacement)}},
                                 {},
                                 {}});
  }

  void output_column(const json& target) {
    std::size_t first = t_.starting_at(location_of(target));
    if (first == none) return;
    std::size_t end = first;  // the token after the item
    for (; end < t_.size(); ++end) {
      if (t_.is_char(end, '(')) {
        end = t_.closing_paren(end);
        if (end == none) return;
      } else if (t_.is_char(end, ',') || t_.is_char(end, ')') || t_.is_char(end, ';') ||
                 t_.is(end, "from") || t_.is(end, "into")) {
        break;
      }
    }
    std::size_t last = end - 1;
    std::string alias = text_of(target, "name");
    if (!alias.empty()) {
      if (last <= first || ascii_lowered(t_.bytes(last)) != alias || !capitalized_name(last))
        return;
      aliases_.push_back(alias);
      add(last, double_quoted(t_.bytes(last)));
      return;
    }
    const json* value = member(target, "val");
    const json* ref = value != nullptr ? member(*value, "ColumnRef") : nullptr;
    const json* fields = ref != nullptr ? list(*ref, "fields") : nullptr;
    if (fields == nullptr || fields->empty() || string_field(fields->back()).empty() ||
        !capitalized_name(last) || ascii_lowered(t_.bytes(last)) != string_field(fields->back()))
      return;
    // An insertion, which the rewrite of an ungrouped column (min(x) AS
    // "userName") answers too.
    add(last, " AS " + double_quoted(t_.bytes(last)));
    issues_.back().rewrite.front().begin = t_[last].end;
    issues_.back().yields = true;
  }

  // ORDER BY Total, where Total is an alias the rewrite quoted.
  void alias_references(const json& items) {
    for (const json& item : items) {
      const json* sort = member(item, "SortBy");
      const json* node = sort != nullptr ? member(*sort, "node") : &item;
      const json* ref = node != nullptr ? member(*node, "ColumnRef") : nullptr;
      const json* fields = ref != nullptr ? list(*ref, "fields") : nullptr;
      if (fields == nullptr || fields->size() != 1) continue;
      std::string name = string_field((*fields)[0]);
      if (std::find(aliases_.begin(), aliases_.end(), name) == aliases_.end()) continue;
      std::size_t at = t_.starting_at(location_of(*ref));
      // MySQL's aliases are names in any letter case.
      if (at == none || !plain_name(at)) continue;
      // The alias as its item writes it: the quoted name must match.
      auto written = std::find_if(issues_.begin(), issues_.end(), [&](const tree_issue& i) {
        return ascii_lowered(i.rewrite.front().replacement) == double_quoted(name);
      });
      if (written == issues_.end()) continue;
      std::string replacement = written->rewrite.front().replacement;
      add(at, std::move(replacement));
    }
  }

  const json& select_;
  const sql_token_view& t_;
  std::vector<std::string> aliases_;
  std::vector<tree_issue> issues_;
};

}  // namespace

std::vector<tree_issue> output_name_issues(const parse_tree::json& select,
                                           const sql_token_view* tokens) {
  if (tokens == nullptr || (select.contains("op") && text_of(select, "op") != "SETOP_NONE"))
    return {};
  return output_names(select, *tokens).run();
}

}  // namespace corvexa::sql
