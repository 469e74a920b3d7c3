// Whether a PHP expression gives a number for certain, whatever it reads at
// run time: an integer literal, an (int) cast, intval() or count(), or a
// ternary between such. A query text that puts one where MySQL takes a
// condition (WHERE ... OR " . ($admin ? 1 : 0)) can then be written for
// PostgreSQL, which takes only a boolean there.
#pragma once

#include <string_view>

namespace corvexa::sql {

// `expression` is the PHP source of the expression alone.
bool is_number_expression(std::string_view expression);

}  // namespace corvexa::sql
