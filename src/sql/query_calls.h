// The calls of PHP's database extensions that send a query text, and which
// of their arguments holds it: PostgreSQL's (what converted code sends)
// and MySQL's (what the source sent, which a query wrapper may still call).
#pragma once

#include <cstddef>
#include <string_view>

namespace corvexa::sql {

struct query_call_shape {
  std::string_view name;
  // Index of the query argument in a call of n arguments ([n]); -1 for none.
  int query_argument[4];
};

// The shape of pg_query, pg_send_query, pg_prepare, pg_send_prepare,
// pg_query_params or pg_send_query_params; null for any other lower-case
// name.
const query_call_shape* postgres_query_call(std::string_view lower_name);

// The shape of mysql_query, mysql_unbuffered_query, mysql_db_query or
// mysql; null for any other lower-case name.
const query_call_shape* mysql_query_call(std::string_view lower_name);

// The index of the query argument of a call with `count` arguments, or -1.
int query_argument_index(const query_call_shape& shape, std::size_t count);

}  // namespace corvexa::sql
