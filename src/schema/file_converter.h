// The statement loop of a .sql conversion: reads statement after statement
// with the MySQL lexer, keeps the comments between statements, follows the
// session settings, and hands each statement to the converter of its kind
// (DDL, INSERT rows as they stream, the statements PostgreSQL has too, the
// ones it has not). Every statement written is first parsed by PostgreSQL's
// parser; one it refuses is written as a comment with a finding.
#pragma once

#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "common/output_sink.h"
#include "schema/conversion_context.h"
#include "schema/ddl_statements.h"
#include "schema/insert_rows.h"
#include "schema/mysql_lexer.h"
#include "schema/mysql_sql_conversion.h"
#include "schema/schema_state.h"
#include "schema/session_settings.h"
#include "schema/sql_output.h"
#include "schema/sql_source.h"

namespace corvexa::schema {

struct file_converter_setup {
  bool write_header = true;  // SET client_encoding and standard_conforming_strings
  bool convert_rows = true;  // false: INSERT rows are skipped (schema only)
  bool defer_foreign_keys = true;
};

class file_converter {
 public:
  file_converter(sql_source& source, output_sink& sink, const sql_conversion_options& options,
                 const file_converter_setup& setup, sql_conversion_result& result);

  // Starts from a known schema (the tables seen before this text).
  void know(const sql::schema_model& model);
  // Converts everything to the end of the input.
  void run();

 private:
  // Reads the rest of a statement whose first token is `first`.
  void read_statement(const token& first);
  token next_token(std::uint8_t& carried_flags);
  void write_comment(const token& t);
  void convert_held(const std::vector<token>& tokens);
  bool convert_create(token_cursor& cursor, const std::vector<token>& tokens,
                      std::vector<output_statement>& out, std::string& why);
  bool convert_drop(token_cursor& cursor, const std::vector<token>& tokens,
                    std::vector<output_statement>& out, std::string& why);
  void convert_insert(const token& first);
  bool read_insert_head(const std::vector<token>& tokens, insert_head& head);
  // The tables converted, with the unique keys that the conversion keeps
  // apart from them.
  sql::schema_model model_with_unique_keys() const;
  // Writes a statement PostgreSQL has too, token by token; false (with a
  // finding) when it cannot be written.
  bool convert_generic(const std::vector<token>& tokens, std::vector<output_statement>& out);
  // INSERT [INTO] t SET a = x, b = y, MySQL's other form of a one-row
  // INSERT, as INSERT INTO t (a, b) VALUES (x, y). False, with nothing
  // written, for any other statement and for the forms PostgreSQL would
  // read otherwise (IGNORE, REPLACE, ON DUPLICATE KEY UPDATE).
  void note_explicit_ids(const std::vector<token>& tokens);
  bool convert_insert_set(const std::vector<token>& tokens, std::vector<output_statement>& out);
  // Writes a statement if PostgreSQL parses it, else a comment and a finding.
  void emit(const output_statement& statement);
  // Writes the input text of a statement as a comment.
  void comment_out(const std::vector<token>& tokens);
  void sync_client_encoding();
  // Creates the extensions that the statements about to be written use.
  void create_extensions();
  // Starts comparing what is written for the statement at `first` with
  // its text; ends at `end` and notes the statement if the two differ.
  void watch_statement(const token& first);
  // Notes what the statement is from its first tokens, while their bytes
  // are still in the window (an INSERT's rows then move it on).
  void describe_watched(const std::vector<token>& head);
  void end_watch(std::uint64_t end);
  void skip_statement();
  // A statement written whole (a view, a script's UPDATE, INSERT ... SET)
  // with the query rewrites, held against the tables so far; what they
  // leave of MySQL's is a finding at `offset`.
  std::string statement_with_rewrites(const std::string& statement, std::uint64_t offset);

  sql_source& source_;
  sql_output out_;
  file_converter_setup setup_;
  sql_conversion_result& result_;
  finding_list findings_;
  conversion_context cx_;
  mysql_lexer lexer_;
  schema_state schema_;
  session_settings session_;
  ddl_statements ddl_;
  insert_rows inserts_;
  std::vector<token> tokens_;
  std::string written_encoding_ = "UTF8";
  bool list_changes_ = false;
  std::set<std::string> wanted_extensions_;  // from the options, at the first table
  text_match match_;
  std::uint64_t watched_ = 0;
  changed_statement watched_statement_;
};

}  // namespace corvexa::schema
