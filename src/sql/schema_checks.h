// The tables and columns a query names, held against the schema model: a
// table the model does not have, a column its table does not have. Read
// from the parse tree of SELECT, INSERT, UPDATE and DELETE statements with
// the scopes SQL gives names in: CTE names, subquery and join aliases,
// functions in FROM and aliases with column lists have columns that are not
// known, and a name is only reported when nothing else can be meant (an
// unqualified column only when every table it could come from is known;
// output column aliases, system columns, pg_catalog and information_schema
// never). A name that is not written as such in the text (a placeholder's
// stand-in takes part in it) is never reported.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "sql/parse_tree_node.h"
#include "sql/schema_model.h"
#include "sql/sql_edits.h"
#include "sql/sql_token_view.h"

namespace corvexa::sql {

struct schema_issue {
  std::string message;
  std::uint64_t begin = 0, end = 0;  // the name's bytes in the parsed text
};

// A string constant given to (or compared with) a column of the model.
struct column_value {
  const table_model* table = nullptr;
  const column_model* column = nullptr;
  std::uint64_t location = 0;  // the constant's, in the parsed text
  bool inserted = false;       // a value of an INSERT's VALUES
};

// A construct that gives another result on PostgreSQL for the types the
// schema shows, with the edits of the parsed text that give MySQL's.
struct schema_rewrite {
  std::string message;
  std::uint64_t location = 0;  // in the parsed text
  std::vector<sql_edit> edits;
  // The tree checks' finding at the same place (without the schema they
  // could only report) is this rewrite's to answer.
  bool answers_finding_at_location = false;
};

struct schema_reading {
  std::vector<schema_issue> issues;
  std::vector<column_value> values;
  std::vector<schema_rewrite> rewrites;
};

// How the bytes [begin, end) of the parsed text came to be there.
enum class name_origin : std::uint8_t {
  written,      // as the text has them
  rewritten,    // made by a rewrite: the name is known, but not reported
  placeholder,  // a placeholder's stand-in is part of them: not known
};
using name_origin_of = std::function<name_origin(std::uint64_t begin, std::uint64_t end)>;
// True if [begin, end) is the stand-in of a PHP value that is a number for
// certain.
using number_value_at = std::function<bool(std::uint64_t begin, std::uint64_t end)>;

schema_reading read_schema_names(const parse_tree::node& tree, const sql_token_view& tokens,
                                 const schema_model& schema, const name_origin_of& origin,
                                 const number_value_at& number_value = nullptr);

}  // namespace corvexa::sql
