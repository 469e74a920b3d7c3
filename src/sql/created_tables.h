// The tables that an application's own code creates: install and upgrade
// scripts send CREATE TABLE from PHP, and a page may make a temporary table
// that its next query reads. The query checks know these tables by name
// (their columns are not read), so that a query on one is not taken for a
// query on a table the schema lacks.
#pragma once

#include <set>
#include <string>
#include <string_view>

namespace corvexa::sql {

struct php_code;

// Adds to `names`, in lower case, each table that a string literal of the
// PHP file `php` creates: "CREATE [TEMPORARY] TABLE [IF NOT EXISTS] name",
// the name plain or in backquotes, the last part of a qualified one. A name
// built from PHP values ("{$prefix}users", "log_$year") is none.
void gather_created_tables(std::string_view php, std::set<std::string>& names);

// True if `php` may create a table: a quick test before cutting it into
// tokens.
bool may_create_tables(std::string_view php);
// The same as gather_created_tables, of a file already cut into tokens.
void gather_created_tables(const php_code& code, std::set<std::string>& names);

}  // namespace corvexa::sql
