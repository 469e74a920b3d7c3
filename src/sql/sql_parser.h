// PostgreSQL's own parser and scanner (libpg_query), wrapped so that every
// result is freed and nothing of the C interface leaks out: a parse gives
// the tree as JSON or the server's message with the byte it points at; a
// scan gives the tokens with their byte ranges. The text must hold no NUL
// byte: libpg_query reads a C string.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace corvexa::sql {

struct parse_outcome {
  bool parsed = false;
  std::string tree_json;           // when parsed and asked for
  std::string message;             // when not parsed
  std::uint64_t error_offset = 0;  // in bytes; the text's size when the parser gave no place
};

parse_outcome parse_sql(const std::string& sql, bool want_tree);

// A token of PostgreSQL's scanner: its kind is libpg_query's PgQuery__Token.
struct sql_token {
  std::uint32_t begin = 0, end = 0;
  int kind = 0;
};

namespace sql_token_kind {
inline constexpr int ident = 258;
inline constexpr int fconst = 260;
inline constexpr int sconst = 261;
inline constexpr int op = 265;
inline constexpr int iconst = 266;
inline constexpr int param = 267;
inline constexpr int sql_comment = 275;
inline constexpr int c_comment = 276;
}  // namespace sql_token_kind

// The tokens of `sql`, comments left out; false (and no tokens) when the
// scanner rejects the text, such as for an unterminated string.
bool scan_sql(const std::string& sql, std::vector<sql_token>& tokens);

}  // namespace corvexa::sql
