// The names a SELECT gives its columns, which PHP reads as the keys of
// mysql_fetch_assoc() rows and the properties of mysql_fetch_object()
// ones: MySQL keeps a name's letter case as the query writes it,
// PostgreSQL folds an unquoted name to lower case. Where the query writes
// a capital, the name is quoted so that the key stays:
//
//   SELECT COUNT(*) AS Total, userName FROM t ORDER BY Total
//     -> SELECT COUNT(*) AS "Total", userName AS "userName" FROM t ORDER BY "Total"
#pragma once

#include <vector>

#include "sql/parse_tree_checks.h"
#include "sql/parse_tree_json.h"
#include "sql/sql_token_view.h"

namespace corvexa::sql {

// The rewrites of the output names of the statement `select` (a
// SelectStmt's body, the statement itself rather than a query inside
// one); none without tokens.
std::vector<tree_issue> output_name_issues(const parse_tree::json& select,
                                           const sql_token_view* tokens);

}  // namespace corvexa::sql
