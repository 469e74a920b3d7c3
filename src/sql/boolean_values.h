// MySQL has no boolean type: a comparison gives the number 1 or 0, and a
// number stands as a condition for n <> 0. PostgreSQL's comparisons give
// booleans, which PHP reads as "t" and "f", and its conditions take nothing
// else. These find the expressions of each kind and where they end.
#pragma once

#include <cstddef>
#include <span>
#include <string>
#include <string_view>

#include "sql/parse_tree_json.h"
#include "sql/sql_token_view.h"

namespace corvexa::sql {

// True if the parse tree `node` is a condition by its form: a comparison,
// IN, LIKE, BETWEEN, IS [NOT] NULL, AND, OR, NOT, EXISTS, or TRUE or FALSE.
bool yields_boolean(const parse_tree::json& node);

// The clause words that end a value of a SELECT list or of an UPDATE's SET.
extern const std::string_view select_list_ends[];
extern const std::size_t select_list_end_count;
extern const std::string_view set_list_ends[];
extern const std::size_t set_list_end_count;

// The last token of the value that starts at token `first` and runs to the
// next ",", ";", unmatched ")" or one of the words `ends` outside
// parentheses; `alias`, the output name a SELECT list's value may end
// with, is not the value's. sql_token_view::none when it is empty.
std::size_t value_last_token(const sql_token_view& tokens, std::size_t first,
                             std::span<const std::string_view> ends, const std::string& alias);

}  // namespace corvexa::sql
