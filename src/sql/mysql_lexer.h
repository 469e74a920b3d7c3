// What MySQL's own lexical rules find in a query text that PostgreSQL's
// scanner has no token for: backquoted names, and backslash escapes in
// quoted strings (MySQL reads \' as a quote inside the string; PostgreSQL
// reads the backslash as itself and ends the string there). Strings
// ('...' and "...", backslash escapes), comments ("-- ", "#", "/* */") and
// backquoted names are read as MySQL reads them.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace corvexa::sql {

struct backquoted_name {
  std::uint64_t begin = 0, end = 0;  // the backquotes included
  std::string name;                  // what they enclose, "``" read as one "`"
};

std::vector<backquoted_name> find_backquoted_names(std::string_view sql);

// The offset of the first backslash escape inside a quoted string, or npos.
std::uint64_t find_backslash_escape(std::string_view sql);

}  // namespace corvexa::sql
