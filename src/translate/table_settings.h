// What the rows of a call table need to know of the run they convert for:
// the database the converted code connects to. The table's rules hold it,
// so that neither the scanner nor the state of a conversion carries it.
#pragma once

#include <string>
#include <string_view>

namespace corvexa {

// The database of a run that names none.
inline constexpr std::string_view default_database_name = "default";

// The first bytes of every name of PHP's MySQL extension, in any letter
// case: what the tables watch inside arguments and what the reports look
// for in converted code.
inline constexpr std::string_view extension_prefix = "mysql_";

struct table_settings {
  std::string database_name{default_database_name};
};

}  // namespace corvexa
