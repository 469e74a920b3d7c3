// The MySQL functions of a statement that a .sql file holds whole (a view's
// query, or an expression of a table definition) rewritten as the query
// checks rewrite them in the application's own queries (IFNULL, UUID,
// CONCAT, DATE_FORMAT, ...), so that a view or a default needs no more
// than a query does to run on PostgreSQL.
#pragma once

#include <string>

namespace corvexa::schema {

// `statement`, a PostgreSQL statement that may still call MySQL's
// functions, with each call that has an exact PostgreSQL form rewritten;
// `statement` itself where there is none, where the statement does not
// parse, and where a rewrite needs an extension.
std::string with_query_rewrites(const std::string& statement);

// The same for an expression, such as a column's DEFAULT.
std::string expression_with_query_rewrites(const std::string& expression);

}  // namespace corvexa::schema
