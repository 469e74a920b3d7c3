// What the tree's schema says about its tables: their columns in order,
// with their PostgreSQL types, and which column is filled by the database
// itself (MySQL's AUTO_INCREMENT, an identity column once converted). The
// schema conversion fills it from the CREATE TABLE statements of the tree
// (and --schema); the query checks read it, for instance to turn
// `VALUES (NULL, ...)` into `VALUES (DEFAULT, ...)` for an identity column.
// Names are kept as PostgreSQL reads them unquoted: in lower case.
#pragma once

#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace corvexa::sql {

struct column_model {
  std::string name;  // lower case
  std::string type;  // the PostgreSQL type, lower case, such as "integer" or "varchar(40)"
  bool auto_increment = false;
  bool not_null = false;
  // As MySQL spelled it where that has capitals (the name PHP read as a
  // row's key); else empty.
  std::string mysql_name = {};
  // An ENUM's values as PostgreSQL literals, in MySQL's order, which is
  // the order MySQL sorted them in; empty for any other column.
  std::vector<std::string> enum_literals = {};
};

struct table_model {
  std::string name;                   // lower case
  std::vector<column_model> columns;  // in the order of the CREATE TABLE
  std::vector<std::string> primary_key;
  // The other keys whose values must be unique, each its columns.
  std::vector<std::vector<std::string>> unique_keys = {};
  // False for one known by its name only (add_name_only).
  bool columns_known = true;

  // The column named `name` (any letter case), or null.
  const column_model* column(std::string_view name) const;
};

class schema_model {
 public:
  // Adds a table, replacing one of the same name.
  void add(table_model table);
  // Adds a table or view known by its name only (a view, a table the
  // application's code creates): its columns are not looked into.
  void add_name_only(std::string_view name);
  // The table named `name` (any letter case), or null.
  const table_model* table(std::string_view name) const;
  bool empty() const { return tables_.empty(); }
  const std::map<std::string, table_model>& tables() const { return tables_; }

 private:
  std::map<std::string, table_model> tables_;
};

}  // namespace corvexa::sql
