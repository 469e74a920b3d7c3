// The MySQL functions of a statement that a .sql file holds whole (a view's
// query, or an expression of a table definition) rewritten as the query
// checks rewrite them in the application's own queries (IFNULL, UUID,
// CONCAT, DATE_FORMAT, ...), so that a view or a default needs no more
// than a query does to run on PostgreSQL.
#pragma once

#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "sql/schema_model.h"

namespace corvexa::schema {

// `statement`, a PostgreSQL statement that may still call MySQL's
// functions, with each call that has an exact PostgreSQL form rewritten;
// `statement` itself where there is none and where the statement does not
// parse. The extensions the rewrites need (pgcrypto for SHA1) are added to
// `extensions`; without it, rewrites that need one are not made. With
// `schema`, the tables converted so far, the rewrites that need to know
// the columns are made too (zero dates, integer division, ...). What the
// query checks found and could not rewrite (a MySQL construct PostgreSQL
// refuses or reads otherwise) is added to `left`, one message each.
std::string with_query_rewrites(const std::string& statement,
                                std::set<std::string>* extensions = nullptr,
                                const sql::schema_model* schema = nullptr,
                                std::vector<std::string>* left = nullptr);

// The same for `piece`, which is a statement only after `context` (such
// as "SELECT " before an expression): the rewritten piece, or `piece`
// itself where a rewrite would change `context`.
std::string piece_with_query_rewrites(std::string_view context, const std::string& piece,
                                      std::set<std::string>* extensions = nullptr,
                                      const sql::schema_model* schema = nullptr,
                                      std::vector<std::string>* left = nullptr);

// The same for an expression, such as a column's DEFAULT or a value of a
// row.
std::string expression_with_query_rewrites(const std::string& expression,
                                           std::set<std::string>* extensions = nullptr,
                                           const sql::schema_model* schema = nullptr,
                                           std::vector<std::string>* left = nullptr);

}  // namespace corvexa::schema
