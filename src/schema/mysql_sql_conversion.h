// Converts the .sql files of a MySQL application (install schemas,
// upgrades, mysqldump and phpMyAdmin dumps) to PostgreSQL SQL that loads
// with `psql -v ON_ERROR_STOP=1` into an empty database. The file streams:
// memory holds the largest statement (one row of a long INSERT) and the
// findings, whatever the file's size. What cannot be converted exactly is a
// finding at its byte offset in the input.
//
//   corvexa::fd_reader in(input_fd);
//   corvexa::fd_writer out(output_fd);
//   auto result = corvexa::schema::convert_mysql_sql(in, out);
//   for (const auto& f : result.findings) ...   // f.rule, f.message, f.offset
//   tree_model.add(...result.model.tables()...)  // for the query checks
#pragma once

#include <cstdint>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "common/byte_streams.h"
#include "schema/schema_findings.h"
#include "sql/schema_model.h"

namespace corvexa::schema {

struct sql_conversion_options {
  // The character set of the file until a SET NAMES in it says otherwise
  // (MySQL's name: utf8mb4, latin1, ...).
  std::string_view charset = "utf8mb4";
  // Foreign keys go to the end of the output, after every table and row,
  // since dumps create tables in name order and load rows in any order.
  bool defer_foreign_keys = true;
  // Tables created by other files (a dump of rows loaded after the
  // schema that creates them): their keys and identity columns are known
  // to the rows of this one.
  const sql::schema_model* known = nullptr;
  // Lists every statement whose PostgreSQL text is not its MySQL text
  // (spacing aside) in the result's changed_statements.
  bool list_changed_statements = false;
  // PostgreSQL extensions that the application's queries need (such as
  // pgcrypto): created, with those the file itself uses, before the
  // first statement that creates a table.
  std::set<std::string> extensions = {};
};

// What a statement is, for the one who migrates it.
enum class statement_kind { ddl, rows, other };

struct changed_statement {
  std::uint64_t offset = 0;  // of its first token
  std::string what;          // its first words, such as "CREATE TABLE users"
  statement_kind kind = statement_kind::other;
};

struct sql_conversion_result {
  std::vector<schema_finding> findings;
  std::vector<changed_statement> changed_statements;  // in the order of the file
  // The tables the file leaves behind, as PostgreSQL has them.
  sql::schema_model model;
  std::uint64_t statements = 0;  // statements read
  std::uint64_t rows = 0;        // INSERT rows written
  std::size_t input_window = 0;  // the most input bytes held at once
  bool read_failed = false;
  bool write_failed = false;
};

// Converts a whole file from `in` to `out`.
sql_conversion_result convert_mysql_sql(byte_reader& in, byte_writer& out,
                                        const sql_conversion_options& options = {});

// Reads a file for its schema only (for --schema FILE): the model and the
// findings of its DDL; rows are skipped, nothing is written.
sql_conversion_result read_schema_model(byte_reader& in,
                                        const sql_conversion_options& options = {});

// One statement held in memory, such as DDL found in a PHP query string,
// converted to PostgreSQL statements, each closed by ";\n" (a CREATE TABLE
// may need several; what could not be converted is a "-- " comment). `known` gives the tables seen
// before (for the types and keys that INSERT and REPLACE need); the tables the statement creates or
// changes are in the result's model. Offsets of findings count from the start of `statement`.
// Foreign keys stay in their CREATE TABLE.
struct statement_conversion {
  std::string text;
  std::vector<schema_finding> findings;
  sql::schema_model model;
};
statement_conversion convert_mysql_statement(std::string_view statement,
                                             const sql::schema_model* known = nullptr);

}  // namespace corvexa::schema
