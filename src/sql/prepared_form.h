// The form of a query text that a database can prepare: the rewrites
// applied, and every placeholder that stands for a value (a value in code,
// or a quoted string that is the placeholder alone) written as a parameter
// $1, $2, ... in text order. A text is left unprepared when a placeholder
// stands for something else than a value (a name, a list, a condition),
// since its stand-in would make the database judge another statement, or
// when it is not one SELECT, INSERT, UPDATE or DELETE.
//
// The database names the place of a refusal as a character of the prepared
// text; the form leads it back to a byte of the checked text, so that the
// finding stands where the parse errors stand.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "sql/parse_tree_node.h"
#include "sql/placeholder_fill.h"
#include "sql/sql_edits.h"

namespace corvexa::sql {

struct prepared_statement {
  edited_sql form;  // form.text() is what the database prepares
  // Where each parameter's edit begins in the checked text -> where its
  // stand-in begins (after the quote of a quoted stand-in).
  std::map<std::uint64_t, std::uint64_t> parameter_stand_ins;

  // The offset in the checked text of the 1-based character `position` of
  // form.text() (one past its last for the end); none for 0 or beyond the
  // end. A character of a parameter or a rewrite leads to where that
  // edit's bytes begin: the stand-in, the rewritten word.
  std::optional<std::uint64_t> checked_offset(std::uint64_t position) const;
};

// `rewrites` are edits of original.sql; `tree` the parse tree of the text
// they give.
std::optional<prepared_statement> prepared_form(const substituted_sql& original,
                                                const std::vector<sql_edit>& rewrites,
                                                const parse_tree::node& tree);

// True when a refusal with SQLSTATE `sqlstate` is about the statement as
// written (a missing table, column or function, a type that does not
// fit), not about a parameter whose type the database could not tell.
bool refusal_about_the_statement(const std::string& sqlstate);

}  // namespace corvexa::sql
