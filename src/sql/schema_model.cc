// Lookups by lower-case name.
#include "sql/schema_model.h"

#include "common/ascii.h"

namespace corvexa::sql {
namespace {

std::string lower_case(std::string_view name) { return ascii_lowered(name); }

}  // namespace

const column_model* table_model::column(std::string_view wanted) const {
  std::string lower = lower_case(wanted);
  for (const column_model& c : columns) {
    if (c.name == lower) return &c;
  }
  return nullptr;
}

void schema_model::add(table_model table) {
  table.name = lower_case(table.name);
  std::string key = table.name;
  tables_[key] = std::move(table);
}

void schema_model::add_name_only(std::string_view name) {
  table_model table;
  table.name = name;
  table.columns_known = false;
  add(std::move(table));
}

const table_model* schema_model::table(std::string_view name) const {
  auto found = tables_.find(lower_case(name));
  return found == tables_.end() ? nullptr : &found->second;
}

}  // namespace corvexa::sql
