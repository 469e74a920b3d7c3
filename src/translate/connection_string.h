// What the complete rules write for the arguments of mysql_connect(),
// mysql_pconnect() and mysql_set_charset(): the PostgreSQL connection
// string, the connect flags and the client encoding.
//
// MySQL took a server ("host", "host:port" or ":/socket"), a user and a
// password; PostgreSQL takes one connection string whose values are quoted
// ('...', with "\'" and "\\"). A literal argument is written into the
// string as the converter reads it; any other is quoted by PHP when it
// runs. MySQL's port or socket means nothing to PostgreSQL and is left out.
#pragma once

#include <string>
#include <string_view>

#include "translate/exact_arguments.h"

namespace corvexa {

// A PHP expression for the connection string to `database` with the
// server, user and password of `arguments` (0 to 2 of them there).
std::string connection_string(const exact_arguments& arguments, std::string_view database);

// ", FLAGS" for pg_connect() from mysql_connect()'s new_link argument (the
// fourth), or nothing when it is not there or plainly false.
std::string connect_flags(const exact_arguments& arguments);

// The PostgreSQL encoding for the MySQL character set named by argument 0
// of mysql_set_charset(): a literal of a known name becomes its PostgreSQL
// name in quotes; anything else is kept as written and `known` is false.
std::string client_encoding(const exact_arguments& arguments, bool& known);

}  // namespace corvexa
