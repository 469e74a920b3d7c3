// The complete rules: every function and constant of PHP's MySQL extension,
// converted wherever PHP calls or reads it, into PostgreSQL calls that run
// on PHP 8 as the MySQL ones did on PHP 5. Each row says what is written in
// place of the call, as a template (below); a few rows also look at an
// argument's text or at the code around the call.
//
// The MySQL calls without a link used the last connection opened; the
// converted connect records its connection in the global
// $GLOBALS['pg_last_link'], and every converted call without a link passes
// it. The converted queries record their result in
// $GLOBALS['pg_last_result'], which mysql_affected_rows() read from the
// connection.
//
// A template is PHP text with places:
//   {0} ... {9}  the argument at that index, converted; an argument that
//                is not there is reported and left empty
//   {2|0}        the argument at index 2, or the text after "|" without it
//   {[ ... ]}    written only when every argument named inside is there
//   {L}          the link: the row's link argument, or the last connection
//   {L?}         the same, or false when no connection was ever opened
//   {G}          the last connection opened
//   {N}          the connection a connect call has just opened
//   {R}          the result of the last query
//   {C} {F}      the connection string and the flags of a connect call
//   {E}          the PostgreSQL name of the character set of mysql_set_charset
//   {M}          the arms of a PHP match from SQLSTATE to MySQL's error number
//
// The converted connect asks for verbose errors, whose text carries the
// SQLSTATE ("ERROR:  23505: duplicate key ..."): that is how the converted
// mysql_errno() gives MySQL's number for it (see mysql_errors.h).
#pragma once

#include <span>
#include <string>
#include <string_view>

#include "common/conversion_state.h"
#include "scan/call_table.h"
#include "translate/table_settings.h"

namespace corvexa {

// How faithful the replacement is.
enum class complete_outcome : std::uint8_t {
  exact,          // does what the MySQL call did
  differs,        // runs, but gives something different: a warning
  no_equivalent,  // nothing in PostgreSQL does it: an error, and a value stands in
};

// What a row looks at besides its arguments.
enum class complete_check : std::uint8_t {
  none,
  selected_database,  // argument 0 names a database: compare it with the run's
  compared_errno,     // a comparison of the result with a MySQL error number
  field_by_name,      // argument 2, when given, names a field as MySQL matched it
};

// What a row writes instead when one of its arguments is not there: a
// value that stands in for a call with no counterpart.
struct missing_argument_form {
  int argument = -1;  // -1: the row has no such form
  std::string_view replacement = {};
  std::string_view note = {};  // what to write instead
};

struct complete_call {
  // The names, separated by spaces; the first is the usual one.
  std::string_view names;
  std::string_view replacement;
  // The argument that is the link, or -1 when the call takes none.
  int link_argument = -1;
  complete_outcome outcome = complete_outcome::exact;
  // For differs and no_equivalent: what the replacement does and what to
  // write instead.
  std::string_view note = {};
  complete_check check = complete_check::none;
  missing_argument_form without = {};
  // With `form` constant, the row is a constant: `replacement` is written
  // in place of the name.
  call_form form = call_form::function;
};

std::span<const complete_call> complete_calls();

// Reads the call's arguments and writes its replacement.
void convert_completely(conversion_state& state, const complete_call& call,
                        const table_settings& settings);

// The call table of the complete rules.
call_table make_complete_call_table(const table_settings& settings = {});

// What the complete rules write for the function or constant `name` (any
// letter case), in a few words for a message: "pg_query()", "PGSQL_ASSOC",
// or the value that stands in for a call without a counterpart.
std::string counterpart_of(std::string_view name);

}  // namespace corvexa
