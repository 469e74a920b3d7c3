// What the conversion knows of the schema so far: the model the query
// checks read (tables, columns with PostgreSQL types, identity columns,
// primary keys), and what only the conversion needs besides: unique keys
// (the conflict target of REPLACE), the PostgreSQL names given to MySQL's
// indexes, each identity's start and whether rows wrote its values, and the
// foreign keys held back to the end of the file. Index names are per table
// in MySQL but per schema in PostgreSQL, so every relation name handed out
// is claimed here and made unique.
#pragma once

#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "sql/schema_model.h"

namespace corvexa::schema {

struct table_facts {
  std::vector<std::vector<std::string>> unique_keys;  // lower-case column names
  std::map<std::string, std::string> indexes;         // MySQL index name (lower) -> PostgreSQL name
  std::map<std::string, bool> index_is_constraint;    // PostgreSQL name -> a UNIQUE constraint
  // The CHECK of a column's type (length, values) by lower-case column
  // name: named after the table and column it was written for, which
  // RENAME and CHANGE do not follow.
  std::map<std::string, std::string> checks;
  // Its BIT columns (lower case), whose string values are their bytes.
  std::set<std::string> bit_columns;
  // Its columns of ON UPDATE CURRENT_TIMESTAMP (as written), and the name
  // of the trigger and function that set them (empty for none).
  std::vector<std::string> on_update_columns;
  std::string on_update_trigger;
  std::uint64_t identity_start = 1;
  bool ids_written = false;      // explicit identity values since the sequence was last set
  bool exact_text = false;       // the default collation of its text is binary or case-sensitive
  bool told_other_keys = false;  // ON CONFLICT on one of several given keys reported
};

struct deferred_foreign_key {
  std::string table;                 // lower case
  std::string definition;            // CONSTRAINT ... FOREIGN KEY ... REFERENCES ...
  std::vector<std::string> columns;  // lower case
  std::string referenced_table;      // lower case
  std::vector<std::string> referenced_columns;
  std::uint64_t offset = 0;
};

class schema_state {
 public:
  sql::schema_model model;
  std::map<std::string, table_facts> facts;  // by lower-case table name
  std::vector<deferred_foreign_key> foreign_keys;
  // The PostgreSQL extensions that the statements written so far use.
  std::set<std::string> extensions;
  bool created_table = false;  // the file has a CREATE TABLE

  // The extensions used and not yet created, from now on created: the
  // caller writes their CREATE EXTENSION before the statement that uses
  // them.
  std::vector<std::string> take_extensions_to_create();

  // A relation name (index, constraint index, sequence) unique in the
  // schema, as close to `wanted` as it can be; owned by `table`.
  std::string claim_name(std::string_view wanted, const std::string& table);
  // Notes a name PostgreSQL gives by itself (t_pkey, t_id_seq).
  void note_name(std::string_view name, const std::string& table);
  // Frees one name.
  void forget_name(const std::string& name) { name_owners_.erase(name); }
  // Frees the names of a dropped table.
  void forget_table(const std::string& table);
  // Moves everything known of `from` to `to`.
  void rename_table(const std::string& from, const std::string& to);

  // The identity column of `table` (lower case), or null.
  const sql::column_model* identity_of(const std::string& table) const;

 private:
  std::set<std::string> created_extensions_;
  std::map<std::string, std::string> name_owners_;
};

// `name` in lower case (ASCII letters only, as PostgreSQL folds them).
std::string lower_name(std::string_view name);

// `name` cut to PostgreSQL's 63 bytes, at a character boundary.
std::string fit_name(std::string name, std::size_t limit = 63);

// The statement that sets the identity of `column` in `table` past the
// largest value in the table (and at least to `start`).
std::string identity_sync_statement(const std::string& table, const std::string& column,
                                    std::uint64_t start);

}  // namespace corvexa::schema
