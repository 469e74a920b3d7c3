// How a MySQL table or column name is written for PostgreSQL. A migrated
// schema has its names in lower case (PostgreSQL folds unquoted names to
// lower case, and a schema converter writes them so); a name is quoted only
// where PostgreSQL needs it: a reserved word such as `user` or `order`, or
// a name with characters that an unquoted name cannot hold. The schema
// conversion and the query rewrites spell names through this one function,
// so the queries find the tables the converted schema creates.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace corvexa::sql {

// `name` (the bytes between MySQL's backquotes, with "``" already undone)
// as PostgreSQL must read it: lower case, in double quotes where needed.
std::string postgres_name(std::string_view name);

// `names` so written, joined by ", ": a key's or a column list's text.
std::string postgres_name_list(const std::vector<std::string>& names);

// True if PostgreSQL's scanner reads `word` (any letter case) as a keyword
// that cannot stand as a plain table or column name.
bool is_reserved_name(std::string_view word);

}  // namespace corvexa::sql
