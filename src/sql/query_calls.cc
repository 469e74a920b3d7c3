#include "sql/query_calls.h"

namespace corvexa::sql {
namespace {

constexpr query_call_shape postgres_calls[] = {
    {"pg_query", {-1, 0, 1, -1}},        {"pg_send_query", {-1, 0, 1, -1}},
    {"pg_prepare", {-1, -1, 1, 2}},      {"pg_send_prepare", {-1, -1, 1, 2}},
    {"pg_query_params", {-1, -1, 0, 1}}, {"pg_send_query_params", {-1, -1, 0, 1}},
};

constexpr query_call_shape mysql_calls[] = {
    {"mysql_query", {-1, 0, 0, -1}},
    {"mysql_unbuffered_query", {-1, 0, 0, -1}},
    {"mysql_db_query", {-1, -1, 1, 1}},
    {"mysql", {-1, -1, 1, 1}},
};

template <std::size_t n>
const query_call_shape* named(const query_call_shape (&table)[n], std::string_view lower_name) {
  for (const query_call_shape& shape : table) {
    if (shape.name == lower_name) return &shape;
  }
  return nullptr;
}

}  // namespace

const query_call_shape* postgres_query_call(std::string_view lower_name) {
  return named(postgres_calls, lower_name);
}

const query_call_shape* mysql_query_call(std::string_view lower_name) {
  return named(mysql_calls, lower_name);
}

int query_argument_index(const query_call_shape& shape, std::size_t count) {
  return count < 4 ? shape.query_argument[count] : -1;
}

}  // namespace corvexa::sql
