// What parses on PostgreSQL but means something else than it did on MySQL,
// read from the parse tree (libpg_query's JSON): MySQL's functions, a bare
// `user` (PostgreSQL's CURRENT_USER), a double-quoted string (a name on
// PostgreSQL), a zero date, SHOW TABLES and the like, and NULL given for an
// auto-increment column that the schema model knows. Each issue has its
// place in the parsed text and, where there is an exact equivalent and the
// tokens are given, the edits that rewrite it.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "sql/parse_tree_node.h"
#include "sql/schema_model.h"
#include "sql/sql_edits.h"
#include "sql/sql_token_view.h"

namespace corvexa::sql {

struct tree_issue {
  std::string message;
  std::uint64_t location = 0;     // in the parsed text
  std::vector<sql_edit> rewrite;  // in the parsed text; empty when not rewritable
  std::string_view extension;     // a PostgreSQL extension the rewrite needs, or empty
  // The bytes of the parsed text the rewrite copies: it is made only where
  // no PHP value's stand-in is among them.
  std::vector<std::pair<std::uint64_t, std::uint64_t>> copied;
  // A rewrite that another at its place answers as well: left out without
  // a finding when it clashes with one.
  bool yields = false;
};

// `tokens` null: no rewrites are worked out. With `names_in_double_quotes`
// the text quotes names as PostgreSQL does, and a double-quoted name is not
// taken for MySQL's double-quoted string.
std::vector<tree_issue> check_parse_tree(std::string_view sql, const parse_tree::node& tree,
                                         const schema_model* schema, const sql_token_view* tokens,
                                         bool names_in_double_quotes = false);

// False when `sql` holds nothing the tree checks look for, so that its tree
// need not be read: a quick test on the text's words and bytes.
bool may_need_tree_checks(std::string_view sql, const schema_model* schema);

}  // namespace corvexa::sql
