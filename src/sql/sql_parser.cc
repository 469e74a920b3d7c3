// The token kinds named in the header are checked against libpg_query's
// enumeration here, where its header is included, so that a new version
// that renumbers them fails to build instead of misreading tokens.
#include "sql/sql_parser.h"

#include <pg_query.h>
#include <pg_query/pg_query.pb-c.h>

namespace corvexa::sql {

static_assert(sql_token_kind::ident == PG_QUERY__TOKEN__IDENT);
static_assert(sql_token_kind::fconst == PG_QUERY__TOKEN__FCONST);
static_assert(sql_token_kind::sconst == PG_QUERY__TOKEN__SCONST);
static_assert(sql_token_kind::op == PG_QUERY__TOKEN__Op);
static_assert(sql_token_kind::iconst == PG_QUERY__TOKEN__ICONST);
static_assert(sql_token_kind::param == PG_QUERY__TOKEN__PARAM);
static_assert(sql_token_kind::sql_comment == PG_QUERY__TOKEN__SQL_COMMENT);
static_assert(sql_token_kind::c_comment == PG_QUERY__TOKEN__C_COMMENT);

namespace {

// The byte offset of character `characters` of `sql`: the parser gives the
// place of an error in characters of the database's encoding, UTF-8, as
// PostgreSQL's pg_utf_mblen counts them (a byte that starts no sequence is
// a character of its own; a sequence cut short by the end still counts
// one).
std::uint64_t byte_offset_of_character(const std::string& sql, std::uint64_t characters) {
  std::uint64_t at = 0;
  for (std::uint64_t counted = 0; counted < characters && at < sql.size(); ++counted) {
    auto lead = static_cast<unsigned char>(sql[at]);
    std::uint64_t length = (lead & 0x80) == 0      ? 1
                           : (lead & 0xE0) == 0xC0 ? 2
                           : (lead & 0xF0) == 0xE0 ? 3
                           : (lead & 0xF8) == 0xF0 ? 4
                                                   : 1;
    at += length;
  }
  return at < sql.size() ? at : sql.size();
}

}  // namespace

parse_outcome parse_sql(const std::string& sql, bool want_tree) {
  parse_outcome outcome;
  PgQueryParseResult result = pg_query_parse(sql.c_str());
  if (result.error == nullptr) {
    outcome.parsed = true;
    if (want_tree && result.parse_tree != nullptr) outcome.tree_json = result.parse_tree;
  } else {
    outcome.message = result.error->message != nullptr ? result.error->message : "syntax error";
    int cursor = result.error->cursorpos;
    outcome.error_offset =
        cursor >= 1 ? byte_offset_of_character(sql, static_cast<std::uint64_t>(cursor - 1))
                    : sql.size();
  }
  pg_query_free_parse_result(result);
  return outcome;
}

bool scan_sql(const std::string& sql, std::vector<sql_token>& tokens) {
  tokens.clear();
  PgQueryScanResult scanned = pg_query_scan(sql.c_str());
  bool ok = scanned.error == nullptr;
  if (ok) {
    PgQuery__ScanResult* result = pg_query__scan_result__unpack(
        nullptr, scanned.pbuf.len, reinterpret_cast<const uint8_t*>(scanned.pbuf.data));
    ok = result != nullptr;
    if (ok) {
      tokens.reserve(result->n_tokens);
      for (std::size_t i = 0; i < result->n_tokens; ++i) {
        const PgQuery__ScanToken* token = result->tokens[i];
        if (token->token == PG_QUERY__TOKEN__SQL_COMMENT ||
            token->token == PG_QUERY__TOKEN__C_COMMENT) {
          continue;
        }
        if (token->start < 0 || token->end < token->start ||
            static_cast<std::uint64_t>(token->end) > sql.size()) {
          ok = false;
          break;
        }
        tokens.push_back(sql_token{static_cast<std::uint32_t>(token->start),
                                   static_cast<std::uint32_t>(token->end), token->token});
      }
      pg_query__scan_result__free_unpacked(result, nullptr);
    }
  }
  pg_query_free_scan_result(scanned);
  if (!ok) tokens.clear();
  return ok;
}

}  // namespace corvexa::sql
