// Writes a MySQL table definition as PostgreSQL statements: CREATE TABLE
// with columns, primary key, unique constraints and checks; CREATE INDEX
// for the other keys, under names unique in the schema; COMMENT ON for
// comments; a trigger for ON UPDATE CURRENT_TIMESTAMP. Foreign keys are
// held back to the end of the file when the caller asks (a dump creates
// tables in name order, before the tables they reference). Each write also
// updates the schema state: the model the query checks read, and the facts
// the INSERT conversion needs.
#pragma once

#include <string>
#include <vector>

#include "schema/conversion_context.h"
#include "schema/schema_state.h"
#include "schema/table_definition.h"

namespace corvexa::schema {

// A statement to write and the input offset it came from.
struct output_statement {
  std::string text;  // without the closing ';'
  std::uint64_t offset = 0;
};

class table_writer {
 public:
  table_writer(conversion_context& cx, schema_state& schema, bool defer_foreign_keys)
      : cx_(cx), schema_(schema), defer_foreign_keys_(defer_foreign_keys) {}

  void create_table(table_definition& table, std::vector<output_statement>& out);

  // The parts that ALTER TABLE reuses. `table` is the lower-case name.
  std::string column_text(const std::string& table, const column_definition& column,
                          std::uint64_t identity_start = 1);
  void add_key(const std::string& table, const key_definition& key, bool if_not_exists,
               std::vector<output_statement>& out, bool as_alter);
  std::string foreign_key_text(const std::string& table, foreign_key_definition& fk);
  void column_comment(const std::string& table, const column_definition& column,
                      std::vector<output_statement>& out);
  // Writes the trigger that sets the ON UPDATE CURRENT_TIMESTAMP columns of
  // `table` (its facts), again after each change of them; drops it when
  // none is left.
  void on_update_trigger(const std::string& table, std::vector<output_statement>& out,
                         std::uint64_t offset);
  // Gives a foreign key column the type of the column it references when
  // PostgreSQL could not compare the two; returns the type changed to.
  std::string harmonize_type(const std::string& table, const std::string& column,
                             const std::string& referenced_table,
                             const std::string& referenced_column, std::uint64_t offset);
  // The model's view of a column.
  static sql::column_model model_column(const column_definition& column);
  // Notes whether `column` of `table` is a BIT column.
  void note_bits(const std::string& table, const column_definition& column);
  // The name of the CHECK of a column's type that a table definition gives.
  static std::string check_name(const std::string& table, const std::string& column);
  // The PostgreSQL name of the MySQL index `name` of `table`.
  std::string index_name(const std::string& table, const std::string& name);

 private:
  std::string key_columns(const std::string& table, const key_definition& key, bool unique,
                          bool& has_prefix);

  conversion_context& cx_;
  schema_state& schema_;
  bool defer_foreign_keys_;
};

}  // namespace corvexa::schema
