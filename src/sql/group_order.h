// MySQL before 8.0 returned the groups of GROUP BY sorted by the grouped
// values, as if ORDER BY named them too, and pages listed them in that
// order; PostgreSQL returns them in any order (by a hash, often). A
// statement's SELECT with GROUP BY and no ORDER BY gets the ORDER BY:
//
//   SELECT a, COUNT(*) FROM t GROUP BY a HAVING ... LIMIT 5
//     -> SELECT a, COUNT(*) FROM t GROUP BY a HAVING ... ORDER BY a LIMIT 5
#pragma once

#include <cstdint>
#include <optional>

#include "sql/parse_tree_checks.h"
#include "sql/parse_tree_json.h"
#include "sql/schema_model.h"
#include "sql/sql_token_view.h"

namespace corvexa::sql {

// The issue of the statement whose tree is `select` (a SelectStmt's body)
// and whose bytes are [begin, end) of the text `tokens` was scanned from;
// none where it does not group or has its order already.
// An ENUM column of `schema` is sorted by the order of its values.
std::optional<tree_issue> group_order_issue(const parse_tree::json& select,
                                            const sql_token_view* tokens, std::uint64_t begin,
                                            std::uint64_t end, const schema_model* schema);

}  // namespace corvexa::sql
