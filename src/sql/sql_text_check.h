// The check of one query text with placeholders: fill and parse it, name
// the MySQL construct of a rejected text, read the parse tree of one that
// parses, and (when asked) rewrite what has an exact equivalent. Results
// are in the text's own offsets; where a finding falls on a placeholder's
// stand-in, it names the placeholder. Both check_php_queries and
// check_sql_text are built on it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "sql/query_checks.h"
#include "sql/value_coercion.h"

namespace corvexa::sql {

struct text_place {
  std::uint64_t offset = 0;  // in the text; for a placeholder, its place
  bool on_placeholder = false;
  std::size_t placeholder = 0;  // its index, when on_placeholder
};

struct text_finding {
  std::string_view rule;
  std::string message;
  text_place place;
};

// An edit of the text. An insertion where a placeholder stands goes after
// the placeholder's value when `after_placeholder`, else before it.
struct text_level_edit {
  std::uint64_t offset = 0, length = 0;
  std::string replacement;
  bool after_placeholder = false;
};

// Whether a group of edits can be written where the text came from; a
// rewrite whose edits cannot is reported instead.
using edit_filter = std::function<bool(const std::vector<text_level_edit>&)>;

struct text_check {
  std::vector<text_finding> findings;
  std::vector<text_level_edit> edits;  // sorted, not overlapping
  std::set<std::string> extensions;
  // PHP values quoted for number columns: rewritten or reported where the
  // PHP text is known.
  std::vector<numeric_value> numeric_values;
  bool parsed = false;    // as written, or after the rewrites
  bool rejected = false;  // as written
  bool unchecked = false;
};

// `several_statements`: the call runs a text of several statements.
// `number_values` has true for each placeholder whose PHP value is a
// number for certain (php_number_values.h); it may be empty.
text_check check_query_text(std::string_view text, const std::vector<std::uint64_t>& placeholders,
                            const query_options& options, const edit_filter& writable,
                            bool several_statements = true,
                            const std::vector<bool>& number_values = {});

}  // namespace corvexa::sql
