#include "sql/replace_upsert.h"

#include <algorithm>

#include "sql/postgres_names.h"

namespace corvexa::sql {

std::string replace_conflict_clause(const std::vector<std::string>& key,
                                    const std::vector<std::string>& columns,
                                    const std::vector<std::string>& given) {
  std::string set;
  for (const std::string& column : columns) {
    if (std::find(key.begin(), key.end(), column) != key.end()) continue;
    bool is_given = std::find(given.begin(), given.end(), column) != given.end();
    std::string name = postgres_name(column);
    set += (set.empty() ? "" : ", ") + name + " = " + (is_given ? "EXCLUDED." + name : "DEFAULT");
  }
  std::string target = "ON CONFLICT (" + postgres_name_list(key) + ") ";
  return target + (set.empty() ? "DO NOTHING" : "DO UPDATE SET " + set);
}

}  // namespace corvexa::sql
