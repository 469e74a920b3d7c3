// The MySQL statements that change the schema, converted to PostgreSQL
// statements: CREATE TABLE, CREATE INDEX, ALTER TABLE (clause by clause:
// the ADD PRIMARY KEY / ADD KEY / MODIFY ... AUTO_INCREMENT that phpMyAdmin
// writes after the data, and the changes of upgrade scripts), DROP TABLE,
// DROP INDEX, RENAME TABLE and TRUNCATE. Each keeps the schema state up to
// date. A statement or clause that cannot be converted is reported and
// returned for the caller to write as a comment.
#pragma once

#include <string>
#include <vector>

#include "schema/conversion_context.h"
#include "schema/schema_state.h"
#include "schema/session_settings.h"
#include "schema/table_definition.h"
#include "schema/table_writer.h"
#include "schema/token_cursor.h"

namespace corvexa::schema {

class ddl_statements {
 public:
  ddl_statements(conversion_context& cx, schema_state& schema, const session_settings& session,
                 bool defer_foreign_keys)
      : cx_(cx), schema_(schema), session_(session), writer_(cx, schema, defer_foreign_keys) {}

  // Each takes the statement's tokens with the cursor after the words that
  // chose it, appends what to write to `out`, and returns false (with
  // `why`) when the statement is not one it can convert.
  bool create_table(token_cursor& cursor, const std::vector<token>& tokens, bool temporary,
                    std::vector<output_statement>& out, std::string& why);
  bool create_index(token_cursor& cursor, const std::vector<token>& tokens, key_kind kind,
                    std::vector<output_statement>& out, std::string& why);
  bool alter_table(token_cursor& cursor, const std::vector<token>& tokens,
                   std::vector<output_statement>& out, std::string& why);
  bool drop_table(token_cursor& cursor, const std::vector<token>& tokens,
                  std::vector<output_statement>& out, std::string& why);
  bool drop_index(token_cursor& cursor, const std::vector<token>& tokens,
                  std::vector<output_statement>& out, std::string& why);
  bool rename_table(token_cursor& cursor, const std::vector<token>& tokens,
                    std::vector<output_statement>& out, std::string& why);
  bool truncate_table(token_cursor& cursor, const std::vector<token>& tokens,
                      std::vector<output_statement>& out, std::string& why);

  // The statements that close a file: the foreign keys held back and the
  // identity sequences set past the ids the rows wrote.
  void finish(std::vector<output_statement>& out);

 private:
  struct alter_target {
    std::string table;  // lower case
    std::string name;   // spelled for PostgreSQL
    bool sync_identity = false;
  };
  bool alter_clause(token_cursor& cursor, definition_reader& reader, alter_target& target,
                    std::vector<output_statement>& out);
  bool alter_convert(token_cursor& cursor, definition_reader& reader, alter_target& target,
                     std::uint64_t offset);
  bool alter_add(token_cursor& cursor, definition_reader& reader, alter_target& target,
                 std::vector<output_statement>& out);
  void add_column(const column_definition& column, alter_target& target,
                  std::vector<output_statement>& out);
  void modify_column(const std::string& old_name, column_definition& column, alter_target& target,
                     std::vector<output_statement>& out);
  bool alter_drop(token_cursor& cursor, definition_reader& reader, alter_target& target,
                  std::vector<output_statement>& out);
  void add_foreign_key(const std::string& table, foreign_key_definition& fk,
                       std::vector<output_statement>& out);
  void identity_sync(const std::string& table, std::vector<output_statement>& out,
                     std::uint64_t offset);
  void implicit_timestamp_defaults(table_definition& table);
  void grouped_auto_increment(const table_definition& table);
  bool forget_on_update(const std::string& table, const std::string& column);
  void rename(const std::string& from, const std::string& to, std::uint64_t offset,
              std::vector<output_statement>& out);

  conversion_context& cx_;
  schema_state& schema_;
  const session_settings& session_;
  table_writer writer_;
};

}  // namespace corvexa::schema
