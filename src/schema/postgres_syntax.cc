// pg_query_parse needs a terminated string, and its result freed.
#include "schema/postgres_syntax.h"

#include <pg_query.h>

namespace corvexa::schema {

bool postgres_parses(std::string_view statement, std::string& error) {
  // A zero byte would end the text early and hide what follows it.
  if (statement.find('\0') != std::string_view::npos) {
    error = "zero byte in the statement";
    return false;
  }
  std::string terminated(statement);
  PgQueryParseResult result = pg_query_parse(terminated.c_str());
  bool ok = result.error == nullptr;
  if (!ok) error = result.error->message != nullptr ? result.error->message : "syntax error";
  pg_query_free_parse_result(result);
  return ok;
}

}  // namespace corvexa::schema
