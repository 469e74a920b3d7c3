// Name claims and the identity statement.
#include "schema/schema_state.h"

#include "sql/postgres_names.h"

namespace corvexa::schema {
namespace {

std::string quoted_text(std::string_view text) {
  std::string out = "'";
  for (char c : text) {
    if (c == '\'') out += '\'';
    out += c;
  }
  return out + "'";
}

}  // namespace

std::string lower_name(std::string_view name) {
  std::string lower(name);
  for (char& c : lower) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return lower;
}

std::string fit_name(std::string name, std::size_t limit) {
  if (name.size() <= limit) return name;
  std::size_t cut = limit;
  while (cut > 0 && (static_cast<unsigned char>(name[cut]) & 0xC0) == 0x80) --cut;
  name.resize(cut);
  return name;
}

std::vector<std::string> schema_state::take_extensions_to_create() {
  std::vector<std::string> names;
  for (const std::string& name : extensions) {
    if (created_extensions_.insert(name).second) names.push_back(name);
  }
  return names;
}

std::string schema_state::claim_name(std::string_view wanted, const std::string& table) {
  std::string base = fit_name(lower_name(wanted));
  std::string name = base;
  for (int n = 2; name_owners_.count(name) != 0; ++n) {
    std::string suffix = std::to_string(n);
    suffix.insert(suffix.begin(), '_');
    name = fit_name(base, 63 - suffix.size()) + suffix;
  }
  name_owners_[name] = table;
  return name;
}

void schema_state::note_name(std::string_view name, const std::string& table) {
  name_owners_.emplace(fit_name(lower_name(name)), table);
}

void schema_state::forget_table(const std::string& table) {
  for (auto it = name_owners_.begin(); it != name_owners_.end();) {
    it = it->second == table ? name_owners_.erase(it) : std::next(it);
  }
  facts.erase(table);
  sql::schema_model remaining;
  for (const auto& [name, model_table] : model.tables()) {
    if (name != table) remaining.add(model_table);
  }
  model = std::move(remaining);
  std::erase_if(foreign_keys, [&](const deferred_foreign_key& fk) { return fk.table == table; });
}

void schema_state::rename_table(const std::string& from, const std::string& to) {
  for (auto& [name, owner] : name_owners_) {
    if (owner == from) owner = to;
  }
  if (auto found = facts.find(from); found != facts.end()) {
    table_facts moved = std::move(found->second);
    facts.erase(found);
    facts[to] = std::move(moved);
  }
  if (const sql::table_model* old = model.table(from)) {
    sql::table_model renamed = *old;
    renamed.name = to;
    sql::schema_model remaining;
    for (const auto& [name, model_table] : model.tables()) {
      if (name != from) remaining.add(model_table);
    }
    remaining.add(std::move(renamed));
    model = std::move(remaining);
  }
  for (deferred_foreign_key& fk : foreign_keys) {
    if (fk.table == from) fk.table = to;
  }
}

const sql::column_model* schema_state::identity_of(const std::string& table) const {
  const sql::table_model* found = model.table(table);
  if (found == nullptr) return nullptr;
  for (const sql::column_model& column : found->columns) {
    if (column.auto_increment) return &column;
  }
  return nullptr;
}

std::string identity_sync_statement(const std::string& table, const std::string& column,
                                    std::uint64_t start) {
  std::string table_name = sql::postgres_name(table);
  std::string column_name = sql::postgres_name(column);
  return "SELECT setval(pg_get_serial_sequence(" + quoted_text(table_name) + ", " +
         quoted_text(column) + "), greatest(coalesce(max(" + column_name + "), 0) + 1, " +
         std::to_string(start) + "), false) FROM " + table_name;
}

}  // namespace corvexa::schema
