// The SQL checks of a converted PHP file: every query text that the file
// sends through a pg_* query call is judged by PostgreSQL's own parser.
//
//   sql::query_options options;            // rewrite = false: report only
//   sql::query_report r = sql::check_php_queries(php_text, options);
//   for (const sql::sql_finding& f : r.findings) ... f.rule, f.message, f.offset
//
// With `wrappers`, the texts given to the application's own query
// functions and methods are found and judged too (query_wrappers.h).
//
// Findings:
//   sql-syntax    (warning) PostgreSQL rejects the text; its message, and the
//                 MySQL construct to blame with what to write instead where
//                 it is a known one. Also a NUL byte in a text.
//   sql-mysql     (warning) the text parses but means something else than on
//                 MySQL (a MySQL function, a bare `user`, a double-quoted
//                 string, a zero date, NULL into an auto-increment column).
//   sql-schema    (warning) the schema model is known and the text names a
//                 table it has not, or a column that its table has not
//                 (schema_checks.h); a PHP value quoted for a number column
//                 that is not rewritten (value_coercion.h); the refusal of
//                 the `against` database.
//   sql-unchecked (note) a text that was not judged: too long, or too many
//                 placeholders to place.
//   sql-case      (note) no schema is known, and the text compares a column
//                 with text (text_comparisons.h), which MySQL did without
//                 regard to case. Only where no other finding stands.
// Each finding has the byte offset in the PHP text it is about (for a
// place inside an interpolated or concatenated value: where that PHP
// expression starts) and the span of the whole query expression.
//
// With `rewrite`, constructs that have an exact PostgreSQL equivalent and
// lie within the literal parts of a query text are rewritten instead of
// reported: `edits` then change the PHP text (escaped for the kind of
// literal they fall in), and the text they give parses. Rewrites that need
// an extension name it in `extensions`.
//
// With `rewrite` and `convert_ddl`, a text that is a MySQL CREATE TABLE or
// ALTER TABLE made of one literal is replaced by what convert_ddl makes of
// it (several statements only where the call runs several: pg_query). One
// with PHP values in it, or that the converter cannot convert, is a finding
// naming the statement.
//
// check_sql_text judges one SQL text (such as a statement of a .sql file)
// the same way; its offsets are offsets in that text.
#pragma once

#include <cstdint>
#include <functional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "sql/query_wrappers.h"
#include "sql/schema_model.h"

namespace corvexa::sql {

inline constexpr std::string_view rule_sql_syntax = "sql-syntax";
inline constexpr std::string_view rule_sql_mysql = "sql-mysql";
inline constexpr std::string_view rule_sql_unchecked = "sql-unchecked";
inline constexpr std::string_view rule_sql_schema = "sql-schema";
inline constexpr std::string_view rule_sql_case = "sql-case";

// A query text longer than this is not judged.
inline constexpr std::uint64_t max_query_text_bytes = 1u << 20;
// The texts of one file are read and judged up to this many bytes per byte
// of the file (plus one long text), so that a variable used by many calls
// cannot make the work and the memory grow without end.
inline constexpr std::uint64_t text_bytes_per_file_byte = 16;

// A MySQL DDL statement as PostgreSQL statements, each ended by ';'; when
// not `converted`, `problem` says why.
struct ddl_conversion {
  bool converted = false;
  std::string text;
  std::string problem;
  std::vector<std::string> warnings;  // what behaves differently once converted
};
using ddl_converter = std::function<ddl_conversion(std::string_view statement)>;

// What a database says of a statement it was asked to prepare: its
// SQLSTATE and message, both empty when it takes the statement, and the
// 1-based character of the statement the refusal names (0: none).
struct server_verdict {
  std::string sqlstate;
  std::string message;
  std::uint64_t position = 0;
};

// A database that prepares a statement (its values written $1, $2, ...)
// without running it, as the server the application will use would.
using statement_judge = std::function<server_verdict(const std::string& sql)>;

struct query_options {
  bool rewrite = false;
  // For NULL into auto-increment columns and names; null or empty: the
  // text comparisons are reported.
  const schema_model* schema = nullptr;
  // The application's own query functions, whose calls send a text too.
  const wrapper_table* wrappers = nullptr;
  // Converts the DDL statements of install scripts (see above); empty: none.
  ddl_converter convert_ddl = nullptr;
  // With a judge, each text that is one statement with only values known
  // at run time is prepared there (as rewritten); a refusal for a name or
  // a type is a sql-schema finding at the place the database names (at the
  // text's start when it names none).
  const statement_judge* against = nullptr;
  // The text is PostgreSQL's as far as its quoting goes (a statement of a
  // converted .sql file): a double-quoted name is a name, not MySQL's
  // double-quoted string.
  bool names_in_double_quotes = false;
};

struct sql_finding {
  std::string_view rule;  // one of the rule_sql_* constants
  std::string message;
  std::uint64_t offset = 0;                    // in the checked text
  std::uint64_t text_begin = 0, text_end = 0;  // the query expression's span
};

struct text_edit {
  std::uint64_t offset = 0;
  std::uint64_t length = 0;
  std::string replacement;
};

struct query_report {
  std::vector<sql_finding> findings;  // by offset, one per offset
  std::vector<text_edit> edits;       // sorted, not overlapping
  std::set<std::string> extensions;   // such as "pgcrypto"
  std::uint64_t query_calls = 0;      // calls seen, whether their text was found or not
  std::uint64_t texts_found = 0, texts_parsed = 0, texts_rejected = 0, texts_rewritten = 0;
  std::uint64_t texts_unchecked = 0;
};

query_report check_php_queries(std::string_view php_text, const query_options& options);

query_report check_sql_text(std::string_view sql, const query_options& options);

// `text` with a report's `edits` made (sorted, not overlapping, within it).
std::string with_edits(std::string_view text, const std::vector<text_edit>& edits);

}  // namespace corvexa::sql
