// Legacy code asks get_magic_quotes_gpc() (or get_magic_quotes_runtime())
// whether PHP added backslashes to its input, and undoes them if so. PHP
// 8 no longer has either function, so the page stops there with a fatal
// error; every PHP since 5.4 answered false, which is what PHP 8 would
// have the code see. The pass finds the calls in code (not in strings or
// comments, not a method or a function of that name being declared) and
// writes false in their place.
#pragma once

#include <string_view>
#include <vector>

#include "sql/query_checks.h"

namespace corvexa {

// The edits of `php` that write false for each such call, in order.
std::vector<sql::text_edit> magic_quotes_edits(std::string_view php);

}  // namespace corvexa
