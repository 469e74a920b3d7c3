// The value's end is read from the tokens: the parse tree gives where an
// expression starts, not where it ends.
#include "sql/boolean_values.h"

#include <algorithm>

#include "common/ascii.h"
#include "sql/parse_tree_json.h"

namespace corvexa::sql {
namespace {

using json = parse_tree::json;
using parse_tree::list;
using parse_tree::member;
using parse_tree::string_field;
using parse_tree::text_of;

constexpr std::string_view comparisons[] = {"=", "<>", "!=", "<", ">", "<=", ">="};
constexpr std::string_view condition_kinds[] = {
    "AEXPR_IN",          "AEXPR_LIKE",           "AEXPR_ILIKE",        "AEXPR_BETWEEN",
    "AEXPR_NOT_BETWEEN", "AEXPR_DISTINCT",       "AEXPR_NOT_DISTINCT", "AEXPR_SIMILAR",
    "AEXPR_BETWEEN_SYM", "AEXPR_NOT_BETWEEN_SYM"};
constexpr std::string_view condition_sublinks[] = {"EXISTS_SUBLINK", "ANY_SUBLINK", "ALL_SUBLINK"};

template <std::size_t N>
bool is_one_of(std::string_view word, const std::string_view (&words)[N]) {
  return std::find(std::begin(words), std::end(words), word) != std::end(words);
}

// The alias token: the name as PostgreSQL folded it, or in double quotes.
bool names_alias(std::string_view bytes, const std::string& alias) {
  if (!bytes.empty() && bytes.front() == '"') return bytes == "\"" + alias + "\"";
  return ascii_lowered(bytes) == alias;
}

}  // namespace

const std::string_view select_list_ends[] = {"from",   "into",   "where",  "group", "having",
                                             "order",  "limit",  "offset", "union", "intersect",
                                             "except", "window", "for",    "as"};
const std::size_t select_list_end_count = std::size(select_list_ends);
const std::string_view set_list_ends[] = {"from", "where", "returning"};
const std::size_t set_list_end_count = std::size(set_list_ends);

bool yields_boolean(const json& node) {
  if (member(node, "BoolExpr") != nullptr || member(node, "NullTest") != nullptr ||
      member(node, "BooleanTest") != nullptr)
    return true;
  if (const json* constant = member(node, "A_Const"))
    return member(*constant, "boolval") != nullptr;
  if (const json* link = member(node, "SubLink"))
    return is_one_of(text_of(*link, "subLinkType"), condition_sublinks);
  const json* expr = member(node, "A_Expr");
  if (expr == nullptr) return false;
  std::string kind = text_of(*expr, "kind");
  if (is_one_of(kind, condition_kinds)) return true;
  const json* names = list(*expr, "name");
  return kind == "AEXPR_OP" && names != nullptr && names->size() == 1 &&
         is_one_of(string_field((*names)[0]), comparisons);
}

std::size_t value_last_token(const sql_token_view& tokens, std::size_t first,
                             std::span<const std::string_view> ends, const std::string& alias) {
  std::size_t last = sql_token_view::none, i = first;
  int depth = 0;
  for (; i < tokens.size(); ++i) {
    if (tokens.is_char(i, '(')) {
      ++depth;
    } else if (tokens.is_char(i, ')')) {
      if (depth-- == 0) break;
    } else if (depth == 0) {
      if (tokens.is_char(i, ',') || tokens.is_char(i, ';')) break;
      // IS DISTINCT FROM goes on.
      bool end_word = std::any_of(ends.begin(), ends.end(),
                                  [&](std::string_view w) { return tokens.is(i, w); });
      if (end_word && !(i > first && tokens.is(i - 1, "distinct") && tokens.is(i, "from"))) break;
    }
    last = i;
  }
  bool after_as = i < tokens.size() && tokens.is(i, "as");
  if (last != sql_token_view::none && last > first && !alias.empty() && !after_as &&
      names_alias(tokens.bytes(last), alias))
    --last;
  return last;
}

}  // namespace corvexa::sql
