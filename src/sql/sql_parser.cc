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

parse_outcome parse_sql(const std::string& sql, bool want_tree) {
  parse_outcome outcome;
  PgQueryParseResult result = pg_query_parse(sql.c_str());
  if (result.error == nullptr) {
    outcome.parsed = true;
    if (want_tree && result.parse_tree != nullptr) outcome.tree_json = result.parse_tree;
  } else {
    outcome.message = result.error->message != nullptr ? result.error->message : "syntax error";
    int cursor = result.error->cursorpos;
    outcome.error_offset = cursor >= 1 && static_cast<std::uint64_t>(cursor) <= sql.size()
                               ? static_cast<std::uint64_t>(cursor - 1)
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
