// MySQL sorted an ENUM column by the order of its values, ENUM('low',
// 'normal', 'high') putting high last; the converted column is text, which
// PostgreSQL sorts by letters. Sorting by the value's place in the list
// gives MySQL's order:
//
//   ORDER BY priority -> ORDER BY array_position(ARRAY['low', 'normal', 'high'], (priority)::text)
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "sql/parse_tree_json.h"
#include "sql/schema_model.h"

namespace corvexa::sql {

// What sorts the ENUM column `column`, written `reference` in the text, in
// MySQL's order.
std::string enum_order_key(const column_model& column, std::string_view reference);

// The key of `item` of the GROUP BY or ORDER BY of `select` (a SelectStmt's
// body), written `reference`, when it names an ENUM column of a table of
// the select's FROM for certain; else none.
std::optional<std::string> enum_order_of(const parse_tree::json& select,
                                         const parse_tree::json& item, const schema_model& schema,
                                         std::string_view reference);

}  // namespace corvexa::sql
