// Keyword kinds come from PostgreSQL's own scanner (libpg_query's
// pg_query_scan), so the list of reserved words is the server's, never a
// copy of it.
#include "sql/postgres_names.h"

#include <pg_query.h>
#include <pg_query/pg_query.pb-c.h>

#include <algorithm>

#include "common/ascii.h"

namespace corvexa::sql {
namespace {

// A byte that an unquoted name may hold after its first: PostgreSQL takes
// letters, digits, "_", "$" and every byte from 128 up.
bool continues_plain_name(unsigned char c) {
  return (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_' || c == '$' || c >= 128;
}

bool starts_plain_name(unsigned char c) { return (c >= 'a' && c <= 'z') || c == '_' || c >= 128; }

// The keyword kind of a lower-case word, by PostgreSQL's scanner.
PgQuery__KeywordKind keyword_kind(const std::string& word) {
  PgQueryScanResult scanned = pg_query_scan(word.c_str());
  PgQuery__KeywordKind kind = PG_QUERY__KEYWORD_KIND__NO_KEYWORD;
  if (scanned.error == nullptr) {
    PgQuery__ScanResult* result = pg_query__scan_result__unpack(
        nullptr, scanned.pbuf.len, reinterpret_cast<const uint8_t*>(scanned.pbuf.data));
    if (result != nullptr) {
      if (result->n_tokens == 1) kind = result->tokens[0]->keyword_kind;
      pg_query__scan_result__free_unpacked(result, nullptr);
    }
  }
  pg_query_free_scan_result(scanned);
  return kind;
}

bool is_plain_word(std::string_view lower) {
  if (lower.empty() || !starts_plain_name(static_cast<unsigned char>(lower[0]))) return false;
  return std::all_of(lower.begin(), lower.end(),
                     [](char c) { return continues_plain_name(static_cast<unsigned char>(c)); });
}

}  // namespace

bool is_reserved_name(std::string_view word) {
  std::string lower = ascii_lowered(word);
  if (!is_plain_word(lower)) return false;
  PgQuery__KeywordKind kind = keyword_kind(lower);
  // Unreserved keywords and those of column names may name a table or a
  // column; the other two kinds may not.
  return kind == PG_QUERY__KEYWORD_KIND__TYPE_FUNC_NAME_KEYWORD ||
         kind == PG_QUERY__KEYWORD_KIND__RESERVED_KEYWORD;
}

std::string postgres_name(std::string_view name) {
  std::string lower = ascii_lowered(name);
  if (is_plain_word(lower) && !is_reserved_name(lower)) return lower;
  std::string quoted = "\"";
  for (char c : lower) {
    if (c == '"') quoted += '"';
    quoted += c;
  }
  return quoted + "\"";
}

std::string postgres_name_list(const std::vector<std::string>& names) {
  std::string list;
  for (const std::string& name : names) list += (list.empty() ? "" : ", ") + postgres_name(name);
  return list;
}

}  // namespace corvexa::sql
