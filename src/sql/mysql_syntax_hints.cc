// Each construct has a test over the tokens around the error; the first
// that matches names the construct. Constructs seen anywhere in the text
// (backquotes, backslash escapes) come last: they explain an error only
// when nothing at the error's place does.
#include "sql/mysql_syntax_hints.h"

#include "sql/mysql_lexer.h"
#include "sql/sql_token_view.h"

namespace corvexa::sql {
namespace {

constexpr syntax_hint backquotes{"backquoted name", "write it plain or in double quotes"};
constexpr syntax_hint limit_comma{"LIMIT offset, count", "write LIMIT count OFFSET offset"};
constexpr syntax_hint update_limit{"UPDATE or DELETE with LIMIT",
                                   "write WHERE ctid IN (SELECT ctid FROM t WHERE ... LIMIT n)"};
constexpr syntax_hint multi_table{"multi-table UPDATE or DELETE",
                                  "write UPDATE t SET ... FROM other WHERE ..., or DELETE FROM t "
                                  "USING other WHERE ..."};
constexpr syntax_hint binary{"BINARY x", "write x::text"};
constexpr syntax_hint full_text{"MATCH ... AGAINST (full-text search)",
                                "write to_tsvector(columns) @@ plainto_tsquery(text), or ILIKE"};
constexpr syntax_hint user_variable{"MySQL user variable (@x := ...)",
                                    "write row_number() OVER (ORDER BY ...), or count in PHP"};
constexpr syntax_hint character_set{"SET CHARACTER SET", "write SET client_encoding TO 'UTF8'"};
constexpr syntax_hint convert_using{"CONVERT(x USING charset)",
                                    "write x: a PostgreSQL database has one encoding"};
// Both DELETEs of one statement see the rows as they were before it.
constexpr syntax_hint multi_table_delete{
    "DELETE from several tables",
    "write WITH gone AS (DELETE FROM b USING a WHERE ... RETURNING 1) DELETE FROM a USING b "
    "WHERE ...; the affected rows are then a's only"};
constexpr syntax_hint div_mod{"DIV and MOD operators",
                              "write a / b of integers (trunc(a / b) of others) and a % b"};
constexpr syntax_hint time_of{"TIME(x)", "write (x)::time"};
constexpr syntax_hint interval_unit{"INTERVAL n UNIT", "quote the interval: INTERVAL '1 day'"};
constexpr syntax_hint regexp{"REGEXP", "write ~* (case-insensitive) or ~"};
constexpr syntax_hint insert_set{"INSERT ... SET", "write INSERT INTO t (a, b) VALUES (1, 2)"};
constexpr syntax_hint insert_ignore{"INSERT IGNORE", "write INSERT ... ON CONFLICT DO NOTHING"};
constexpr syntax_hint replace_into{"REPLACE INTO",
                                   "write INSERT ... ON CONFLICT (key) DO UPDATE SET ..."};
constexpr syntax_hint duplicate_key{"ON DUPLICATE KEY UPDATE",
                                    "write ON CONFLICT (key) DO UPDATE SET a = EXCLUDED.a"};
constexpr syntax_hint signed_integer{"CAST(x AS SIGNED INTEGER)",
                                     "write CAST(x AS bigint) where x is always a number"};
constexpr syntax_hint show{"SHOW", "query information_schema or pg_catalog instead"};
constexpr syntax_hint maintenance{"MySQL table maintenance", "write VACUUM ANALYZE t, or drop it"};
constexpr syntax_hint describe{"DESCRIBE", "query information_schema.columns instead"};
constexpr syntax_hint lock_tables{"LOCK TABLES",
                                  "write LOCK TABLE t IN ... MODE inside a transaction"};
constexpr syntax_hint backslash{"backslash escape in a string",
                                "PostgreSQL reads a backslash as itself: double a quote ('') "
                                "or write E'...'"};
constexpr syntax_hint hash_comment{"# comment", "write -- instead"};
constexpr syntax_hint reserved_name{"reserved word as a name", "write it in double quotes"};
constexpr syntax_hint separator{"GROUP_CONCAT(... SEPARATOR s)",
                                "write string_agg((x)::text, s ORDER BY ...)"};
constexpr syntax_hint modifier{"MySQL query modifier", "remove it"};
constexpr syntax_hint index_hint{"index hint", "remove it: PostgreSQL chooses indexes itself"};

bool is_name_position(const sql_token_view& t, std::size_t i) {
  return i > 0 && t.is_any(i - 1, {"from", "join", "into", "update", "table"});
}

const syntax_hint* construct_at_error(const sql_token_view& t, std::size_t e) {
  if (e >= t.size()) return nullptr;
  std::size_t before = e > 0 ? e - 1 : sql_token_view::none;
  if (t.is_char(e, ',') && e >= 2 && t.is(e - 2, "limit")) return &limit_comma;
  if (t.is(e, "limit") && t.is_any(0, {"update", "delete"})) return &update_limit;
  if (t.is(e, "order") && t.is_any(0, {"update", "delete"})) return &update_limit;
  if (before != sql_token_view::none && t.is(before, "interval")) return &interval_unit;
  if (before != sql_token_view::none && t.is(before, "binary")) return &binary;
  if (t.is(e, "against")) return &full_text;
  if (t.bytes(e) == ":=" || t.bytes(e) == "@") return &user_variable;
  if (t.is(e, "using") && e >= 2 && t.is_char(e - 2, '(') && e >= 3 && t.is(e - 3, "convert"))
    return &convert_using;
  if (before != sql_token_view::none && t.is_char(before, '-') && e >= 2 &&
      t.is(e - 2, "interval")) {
    return &interval_unit;
  }
  if (before != sql_token_view::none && t.is_any(before, {"div", "mod"})) return &div_mod;
  // PostgreSQL reads TIME( as the type with a precision.
  if (before != sql_token_view::none && t.is_char(before, '(') && before >= 1 &&
      t.is(before - 1, "time"))
    return &time_of;
  if (t.is_any(e, {"regexp", "rlike"}) ||
      (before != sql_token_view::none && t.is_any(before, {"regexp", "rlike"}))) {
    return &regexp;
  }
  if (t.is_any(e, {"integer", "int"}) && before != sql_token_view::none &&
      t.is_any(before, {"signed", "unsigned"})) {
    return &signed_integer;
  }
  if (t.is(e, "set") && t.is(0, "insert")) return &insert_set;
  if (t.is(e, "separator")) return &separator;
  if (t.is(e, "ignore") && before != sql_token_view::none && t.is(before, "insert"))
    return &insert_ignore;
  if (t.is(e, "duplicate") ||
      (t.is(e, "key") && before != sql_token_view::none && t.is(before, "duplicate"))) {
    return &duplicate_key;
  }
  if (t.is_any(e, {"low_priority", "delayed", "high_priority", "straight_join",
                   "sql_calc_found_rows", "sql_no_cache", "sql_cache", "quick"})) {
    return &modifier;
  }
  if (t.is_any(e, {"use", "force"}) && t.is(e + 1, "index")) return &index_hint;
  if (t[e].kind == sql_token_kind::op && t.bytes(e).front() == '#') return &hash_comment;
  if (is_name_position(t, e) && t[e].kind != sql_token_kind::ident &&
      t[e].kind != sql_token_kind::op && !t.is_char(e, '(')) {
    return &reserved_name;
  }
  return nullptr;
}

// UPDATE a JOIN b ... SET, UPDATE a, b SET, or DELETE a FROM ...
bool is_multi_table(const sql_token_view& t) {
  if (t.is(0, "delete")) return !t.is(1, "from");
  if (!t.is(0, "update")) return false;
  for (std::size_t i = 1; i < t.size() && !t.is(i, "set"); ++i) {
    if (t.is_char(i, ',') || t.is(i, "join")) return true;
  }
  return false;
}

// DELETE a, b FROM ...: a list of tables before FROM.
bool deletes_from_several(const sql_token_view& t) {
  if (!t.is(0, "delete")) return false;
  for (std::size_t i = 1; i < t.size() && !t.is(i, "from"); ++i) {
    if (t.is_char(i, ',')) return true;
  }
  return false;
}

const syntax_hint* construct_of_statement(const sql_token_view& t) {
  if (t.size() == 0) return nullptr;
  if (is_multi_table(t)) return deletes_from_several(t) ? &multi_table_delete : &multi_table;
  if (t.is(0, "show")) return &show;
  if (t.is(0, "set") && t.is(1, "character") && t.is(2, "set")) return &character_set;
  if (t.is(0, "replace")) return &replace_into;
  if (t.is_any(0, {"optimize", "repair", "check"})) return &maintenance;
  if (t.is_any(0, {"describe", "desc"})) return &describe;
  if (t.is_any(0, {"lock", "unlock"}) && t.is_any(1, {"tables", "table"})) return &lock_tables;
  return nullptr;
}

}  // namespace

bool is_select_modifier(std::string_view lower_word) {
  static constexpr std::string_view words[] = {
      "high_priority",     "straight_join", "sql_small_result", "sql_big_result",
      "sql_buffer_result", "sql_cache",     "sql_no_cache",     "sql_calc_found_rows"};
  for (std::string_view w : words) {
    if (w == lower_word) return true;
  }
  return false;
}

const syntax_hint* mysql_construct_at(std::string_view sql, const std::vector<sql_token>& tokens,
                                      std::uint64_t error_offset, std::string_view message) {
  if (message.find("LIMIT #,#") != std::string_view::npos) return &limit_comma;
  sql_token_view t(sql, tokens);
  std::size_t e = 0;
  while (e < t.size() && t[e].end <= error_offset) ++e;
  if (const syntax_hint* hint = construct_at_error(t, e)) return hint;
  if (const syntax_hint* hint = construct_of_statement(t)) return hint;
  if (!find_backquoted_names(sql).empty()) return &backquotes;
  if (find_backslash_escape(sql) != std::string_view::npos) return &backslash;
  return nullptr;
}

}  // namespace corvexa::sql
