// The form of a query text that a database can prepare: the rewrites
// applied, and every placeholder that stands for a value (a value in code,
// or a quoted string that is the placeholder alone) written as a parameter
// $1, $2, ... in text order. A text is left unprepared when a placeholder
// stands for something else than a value (a name, a list, a condition),
// since its stand-in would make the database judge another statement, or
// when it is not one SELECT, INSERT, UPDATE or DELETE.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "sql/placeholder_fill.h"
#include "sql/sql_edits.h"

namespace corvexa::sql {

// `rewrites` are edits of original.sql; `tree_json` its parse tree.
std::optional<std::string> prepared_form(const substituted_sql& original,
                                         const std::vector<sql_edit>& rewrites,
                                         const std::string& tree_json);

// True when a refusal with SQLSTATE `sqlstate` is about the statement as
// written (a missing table, column or function, a type that does not
// fit), not about a parameter whose type the database could not tell.
bool refusal_about_the_statement(const std::string& sqlstate);

}  // namespace corvexa::sql
