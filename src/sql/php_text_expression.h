// The text a PHP expression makes, as far as the source tells it: string
// literals, their concatenation with ".", the format of a sprintf or
// vsprintf call, and variables whose text is known. Whatever else takes
// part (a call, an unknown variable, a conversion of sprintf) becomes a
// placeholder spanning its expression.
#pragma once

#include <cstddef>
#include <functional>
#include <string_view>

#include "sql/php_code.h"
#include "sql/query_text.h"

namespace corvexa::sql {

// The known text of a variable (its name with the "$"), or null.
using variable_texts = std::function<const query_text*(std::string_view name)>;

// Appends the text of the expression of tokens [first, last) to `out`.
// False when the expression is not one that makes a text by concatenation
// (a comparison, a ternary, an assignment, ...) or the text outgrew the
// builder; `out` may then hold part of it.
bool evaluate_text(const php_code& code, std::size_t first, std::size_t last,
                   const variable_texts& variables, query_text_builder& out);

// Appends a placeholder for the expression of tokens [first, last).
bool add_expression_placeholder(const php_code& code, std::size_t first, std::size_t last,
                                query_text_builder& out);

}  // namespace corvexa::sql
