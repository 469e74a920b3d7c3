// The FROM of the select alone is read: its tables, by alias or name, and
// the tables of its joins. A subquery or function there leaves a column
// named without a table unknown.
#include "sql/enum_order.h"

#include <vector>

namespace corvexa::sql {
namespace {

using parse_tree::json;
using parse_tree::list;
using parse_tree::member;
using parse_tree::string_field;
using parse_tree::text_of;

struct from_table {
  std::string name;                    // alias or table name
  const table_model* table = nullptr;  // null: not known
};

void from_tables(const json& item, const schema_model& schema, std::vector<from_table>& out) {
  if (const json* range = member(item, "RangeVar")) {
    const json* alias = member(*range, "alias");
    std::string name = text_of(*range, "relname");
    bool plain = !range->contains("schemaname") || text_of(*range, "schemaname") == "public";
    out.push_back({alias != nullptr ? text_of(*alias, "aliasname") : name,
                   plain ? schema.table(name) : nullptr});
  } else if (const json* join = member(item, "JoinExpr")) {
    for (const char* side : {"larg", "rarg"}) {
      if (const json* part = member(*join, side)) from_tables(*part, schema, out);
    }
  } else {
    out.push_back({});
  }
}

}  // namespace

std::string enum_order_key(const column_model& column, std::string_view reference) {
  std::string values;
  for (const std::string& literal : column.enum_literals)
    values += (values.empty() ? "" : ", ") + literal;
  return "array_position(ARRAY[" + values + "], (" + std::string(reference) + ")::text)";
}

std::optional<std::string> enum_order_of(const json& select, const json& item,
                                         const schema_model& schema, std::string_view reference) {
  const json* ref = member(item, "ColumnRef");
  const json* fields = ref != nullptr ? list(*ref, "fields") : nullptr;
  const json* from = list(select, "fromClause");
  if (fields == nullptr || fields->empty() || fields->size() > 2 || from == nullptr)
    return std::nullopt;
  std::vector<from_table> tables;
  for (const json& f : *from) from_tables(f, schema, tables);
  std::string name = string_field(fields->back());
  std::string qualifier = fields->size() == 2 ? string_field(fields->front()) : "";
  const column_model* found = nullptr;
  for (const from_table& t : tables) {
    if (!qualifier.empty() && t.name != qualifier) continue;
    if (t.table == nullptr) return std::nullopt;
    const column_model* c = t.table->column(name);
    if (c == nullptr) continue;
    if (found != nullptr) return std::nullopt;  // two tables have it
    found = c;
  }
  if (found == nullptr || found->enum_literals.empty()) return std::nullopt;
  return enum_order_key(*found, reference);
}

}  // namespace corvexa::sql
