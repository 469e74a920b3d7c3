// Legacy code often escapes a form value into a variable and quotes the
// variable in a query text later:
//
//   $name = addslashes($_POST['name']);
//   ...
//   mysql_query("SELECT id FROM users WHERE name = '$name'");
//
// addslashes() escapes for MySQL's strings, whose backslash escapes
// PostgreSQL's do not read: It\'s ends the constant at the backslash. This
// finds each variable so assigned and every place its value is read, up to
// the variable's next assignment, the next function or the end of the
// file; the query check rewrites the escape where each of those places is
// a value quoted in a query text, and reports it otherwise.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <set>
#include <string_view>
#include <vector>

#include "sql/php_code.h"
#include "sql/query_checks.h"

namespace corvexa::sql {

struct escaped_variable {
  std::uint64_t call_begin = 0;  // where "addslashes" begins
  std::uint64_t call_open = 0;   // its "("
  // Where the value is read as the whole of an interpolation or a
  // concatenated operand ("$name", "{$name}"), and whether it is read
  // anywhere else (an argument, an echo, a part of a larger expression).
  std::set<std::uint64_t> plain_reads;
  bool read_otherwise = false;
};

class escaped_variables {
 public:
  // `code` is the file's, read once for every check that walks it.
  explicit escaped_variables(const php_code& code);

  // The assignment whose value the plain read of a variable at `offset`
  // holds, or null.
  const escaped_variable* holding(std::uint64_t offset) const;

  // The edit that makes `variable` escaped for PostgreSQL's strings: the
  // quotes doubled, by str_replace(), which needs no connection (the
  // assignment may run before the page connects).
  static text_edit postgres_escape(const escaped_variable& variable);

 private:
  std::vector<escaped_variable> variables_;
  std::map<std::uint64_t, std::size_t> plain_read_at_;  // offset -> index in variables_
};

// Where the "$" stands of the variable that PHP expression [begin, end) of
// `php` is ("$name" or "{$name}", spaces around), or npos.
std::uint64_t plain_variable_at(std::string_view php, std::uint64_t begin, std::uint64_t end);

}  // namespace corvexa::sql
