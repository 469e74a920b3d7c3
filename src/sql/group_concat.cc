// The call is read by its tokens alone, so that the text need not parse:
// the value runs from after "(" (and DISTINCT) to ORDER BY, SEPARATOR or
// ")", whichever comes first at its depth.
#include "sql/group_concat.h"

#include <string>
#include <string_view>

#include "common/ascii.h"
#include "sql/sql_parser.h"

namespace corvexa::sql {
namespace {

constexpr std::size_t none = sql_token_view::none;

// A MySQL string constant without escapes, as PostgreSQL's: MySQL's
// double-quoted strings get single quotes. Empty for anything else.
std::string plain_string(const sql_token_view& t, std::size_t i) {
  std::string_view b = t.bytes(i);
  if (b.size() < 2 || (b.front() != '\'' && b.front() != '"') || b.back() != b.front()) return {};
  std::string_view inner = b.substr(1, b.size() - 2);
  if (inner.find_first_of("\\'\"") != std::string_view::npos) return {};
  return "'" + std::string(inner) + "'";
}

struct call_parts {
  std::size_t first = none;      // the value's first token
  std::size_t last = none;       // and its last
  std::size_t order = none;      // ORDER
  std::size_t separator = none;  // SEPARATOR
  bool distinct = false;
};

// The parts of the call between `open` and `close`, or false where they
// are not one value with the clauses in MySQL's order.
bool read_parts(const sql_token_view& t, std::size_t open, std::size_t close, call_parts& p) {
  p.first = open + 1;
  p.distinct = t.is(p.first, "distinct");
  if (p.distinct) ++p.first;
  for (std::size_t i = p.first; i < close; ++i) {
    if (t.is_char(i, '(')) {
      i = t.closing_paren(i);
      if (i == none || i >= close) return false;
    } else if (t.is(i, "separator") && t[i].kind == sql_token_kind::ident) {
      if (p.separator != none) return false;
      p.separator = i;
    } else if (p.separator != none) {
      if (i != p.separator + 1) return false;
    } else if (t.is(i, "order") && t.is(i + 1, "by") && p.order == none) {
      p.order = i;
    } else if (t.is_char(i, ',') && p.order == none) {
      return false;  // several values, which MySQL joins without a separator
    }
  }
  std::size_t end = p.order != none ? p.order : p.separator != none ? p.separator : close;
  if (end <= p.first) return false;
  p.last = end - 1;
  return p.separator == none || p.separator + 2 == close;
}

// True if the ORDER BY of `p`, up to `end`, sorts by the value itself,
// written the same way, ASC or DESC.
bool sorts_by_the_value(const sql_token_view& t, const call_parts& p, std::size_t end) {
  std::size_t key = p.order + 2;
  std::size_t length = p.last + 1 - p.first;
  if (t.is_any(end - 1, {"asc", "desc"})) --end;
  if (end - key != length) return false;
  for (std::size_t i = 0; i < length; ++i) {
    if (!equal_ignoring_ascii_case(t.bytes(key + i), t.bytes(p.first + i))) return false;
  }
  return true;
}

// DISTINCT with ORDER BY the value: PostgreSQL's aggregates sort distinct
// values only by what they aggregate, so the values are gathered in their
// own type, sorted as MySQL sorts them, and joined after. A group of NULLs
// only is {NULL} there, NULL in MySQL.
std::vector<sql_edit> distinct_sorted_edits(const sql_token_view& t, std::size_t name,
                                            std::size_t close, const call_parts& p,
                                            const std::string& separator) {
  std::size_t order_end = p.separator != none ? p.separator : close;
  if (!sorts_by_the_value(t, p, order_end)) return {};
  std::string after = "), '{NULL}'), " + separator;
  std::size_t last_key = order_end - 1;
  std::size_t replaced_end = p.separator != none ? t[p.separator + 1].end : t[last_key].end;
  return {sql_edit{t[name].begin, t[name + 1].end, "array_to_string(NULLIF(array_agg("},
          sql_edit{t[last_key].end, replaced_end, std::move(after)}};
}

}  // namespace

std::vector<sql_edit> group_concat_edits(const sql_token_view& t, std::size_t name) {
  std::size_t open = name + 1;
  if (!t.is(name, "group_concat") || !t.is_char(open, '(')) return {};
  std::size_t close = t.closing_paren(open);
  call_parts p;
  if (close == none || !read_parts(t, open, close, p)) return {};
  std::string separator = p.separator != none ? plain_string(t, p.separator + 1) : "','";
  if (separator.empty()) return {};
  if (p.distinct && p.order != none) return distinct_sorted_edits(t, name, close, p, separator);
  std::vector<sql_edit> edits{sql_edit{t[name].begin, t[open].end, "string_agg("},
                              sql_edit{t[p.first].begin, t[p.first].begin, "("}};
  std::string after_value = ")::text, " + separator;
  if (p.separator == none) {
    edits.push_back(sql_edit{t[p.last].end, t[p.last].end, std::move(after_value)});
  } else if (p.order == none) {
    edits.push_back(sql_edit{t[p.last].end, t[p.separator + 1].end, std::move(after_value)});
  } else {
    edits.push_back(sql_edit{t[p.last].end, t[p.last].end, std::move(after_value)});
    edits.push_back(sql_edit{t[p.separator - 1].end, t[p.separator + 1].end, ""});
  }
  return edits;
}

}  // namespace corvexa::sql
