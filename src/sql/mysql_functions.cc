// The table. A rewrite is listed only where the PostgreSQL form gives the
// same result; the rest are reported with what to write.
#include "sql/mysql_functions.h"

namespace corvexa::sql {
namespace {

using fr = function_rewrite;

constexpr mysql_function functions[] = {
    {"ifnull", "is MySQL's: write COALESCE(a, b)", fr::rename, "COALESCE", 2},
    {"if", "is MySQL's: write CASE WHEN c THEN a ELSE b END", fr::if_to_case, "", 3},
    {"rand", "is MySQL's: write random()", fr::rename, "random", 0},
    {"unix_timestamp",
     "is MySQL's: write floor(EXTRACT(EPOCH FROM x::timestamptz))::bigint (x = now() for none)",
     fr::unix_timestamp, "", -1},
    {"from_unixtime",
     "is MySQL's: write to_timestamp(x)::timestamp (in to_char(..., pattern) for a format)",
     fr::from_unixtime, "", -2},
    {"last_insert_id", "is MySQL's: write lastval(), or INSERT ... RETURNING id", fr::rename,
     "lastval", 0},
    {"curdate", "is MySQL's: write CURRENT_DATE", fr::keyword, "CURRENT_DATE", 0},
    {"uuid", "is MySQL's: write gen_random_uuid()::text", fr::keyword, "gen_random_uuid()::text",
     0},
    {"utc_date", "is MySQL's: write (now() AT TIME ZONE 'UTC')::date", fr::none, "", 0},
    {"curtime", "is MySQL's: write date_trunc('second', LOCALTIMESTAMP)::time", fr::keyword,
     "date_trunc('second', LOCALTIMESTAMP)::time", 0},
    {"sysdate", "is MySQL's: write clock_timestamp()", fr::none, "", 0},
    {"utc_timestamp", "is MySQL's: write now() AT TIME ZONE 'UTC'", fr::none, "", 0},
    {"locate", "is MySQL's: write position(a IN b)", fr::locate, "", 2},
    {"instr", "is MySQL's: write strpos(s, t)", fr::rename, "strpos", 2},
    {"group_concat", "is MySQL's: write string_agg(x::text, ',')", fr::group_concat, "", 1},
    {"year", "is MySQL's: write EXTRACT(YEAR FROM x)", fr::extract_field, "YEAR", 1},
    {"month", "is MySQL's: write EXTRACT(MONTH FROM x)", fr::extract_field, "MONTH", 1},
    {"day", "is MySQL's: write EXTRACT(DAY FROM x)", fr::extract_field, "DAY", 1},
    {"dayofmonth", "is MySQL's: write EXTRACT(DAY FROM x)", fr::extract_field, "DAY", 1},
    {"hour", "is MySQL's: write EXTRACT(HOUR FROM x)", fr::extract_field, "HOUR", 1},
    {"minute", "is MySQL's: write EXTRACT(MINUTE FROM x)", fr::extract_field, "MINUTE", 1},
    {"second", "is MySQL's: write floor(EXTRACT(SECOND FROM x::time))::int", fr::arguments_in,
     "floor(EXTRACT(SECOND FROM ($1)::time))::int", 1},
    {"dayofweek", "is MySQL's: write EXTRACT(DOW FROM x::date)::int + 1", fr::arguments_in,
     "(EXTRACT(DOW FROM ($1)::date)::int + 1)", 1},
    {"weekday", "is MySQL's: write EXTRACT(ISODOW FROM x::date)::int - 1", fr::arguments_in,
     "(EXTRACT(ISODOW FROM ($1)::date)::int - 1)", 1},
    {"dayofyear", "is MySQL's: write EXTRACT(DOY FROM x::date)::int", fr::arguments_in,
     "EXTRACT(DOY FROM ($1)::date)::int", 1},
    {"dayname", "is MySQL's: write to_char(x, 'FMDay')", fr::none, "", 1},
    {"monthname", "is MySQL's: write to_char(x, 'FMMonth')", fr::none, "", 1},
    {"to_days", "is MySQL's: write x::date - DATE '0001-01-01' + 366", fr::arguments_in,
     "(($1)::date - DATE '0001-01-01' + 366)", 1},
    {"datediff", "is MySQL's: write a::date - b::date", fr::arguments_in,
     "(($1)::date - ($2)::date)", 2},
    {"timestampdiff", "is MySQL's: write EXTRACT(EPOCH FROM b - a) and divide", fr::none, "", 3},
    {"date_format", "is MySQL's: write to_char(x, format) (its format codes differ)",
     fr::date_format, "", 2},
    {"concat",
     "gives NULL on MySQL when an argument is NULL, PostgreSQL's skips it: write (a::text || "
     "b::text)",
     fr::concat, "", -2},
    {"field", "is MySQL's: write CASE x WHEN a THEN 1 WHEN b THEN 2 ... ELSE 0 END", fr::field, "",
     -2},
    {"str_to_date", "is MySQL's: write to_timestamp(s, format) (its format codes differ)", fr::none,
     "", 2},
    {"date_add", "is MySQL's: write x + INTERVAL '...'", fr::interval_sum, "+", 2},
    {"adddate", "is MySQL's: write x + INTERVAL '...'", fr::interval_sum, "+", 2},
    {"date_sub", "is MySQL's: write x - INTERVAL '...'", fr::interval_sum, "-", 2},
    {"subdate", "is MySQL's: write x - INTERVAL '...'", fr::interval_sum, "-", 2},
    {"sha1", "is MySQL's: write encode(digest(x, 'sha1'), 'hex') (extension pgcrypto)", fr::sha1,
     "", 1, "pgcrypto"},
    {"sha", "is MySQL's: write encode(digest(x, 'sha1'), 'hex') (extension pgcrypto)", fr::sha1, "",
     1, "pgcrypto"},
    // MySQL (before 8.0) gives '' for '', and '*' and the upper-case hex
    // of the SHA1 of the SHA1 for anything else. The argument is read once.
    {"password",
     "is MySQL's (up to 5.7): write '*' || upper(encode(digest(digest(x, 'sha1'), 'sha1'), "
     "'hex')) (extension pgcrypto), '' for '', or hash passwords in PHP (password_hash)",
     fr::arguments_in,
     "(SELECT CASE WHEN p = '' THEN '' ELSE '*' || upper(encode(digest(digest(p, 'sha1'), "
     "'sha1'), 'hex')) END FROM (VALUES (($1)::text)) AS hashed(p))",
     1, "pgcrypto"},
    {"encrypt", "is MySQL's: hash passwords in PHP (password_hash)", fr::none, "", -1},
    {"ucase", "is MySQL's: write upper(s)", fr::rename, "upper", 1},
    {"lcase", "is MySQL's: write lower(s)", fr::rename, "lower", 1},
    {"length", "counts characters on PostgreSQL, bytes on MySQL: write octet_length(s)", fr::rename,
     "octet_length", 1},
    {"isnull", "is MySQL's: write x IS NULL", fr::none, "", 1},
    {"found_rows", "is MySQL's: count the rows with a second query or count(*) OVER ()", fr::none,
     "", 0},
    {"substring_index", "is MySQL's: write split_part(s, delimiter, n) for n > 0", fr::none, "", 3},
    {"mid", "is MySQL's: write substr(s, start, count)", fr::none, "", 3},
    {"truncate", "is MySQL's: write trunc(x, d)", fr::rename, "trunc", 2},
    {"unhex", "is MySQL's: write decode(s, 'hex')", fr::none, "", 1},
    {"database", "is MySQL's: write current_database()", fr::none, "", 0},
    {"greatest", "ignores NULL arguments on PostgreSQL (MySQL gives NULL): check the NULL case",
     fr::none, "", -2},
    {"least", "ignores NULL arguments on PostgreSQL (MySQL gives NULL): check the NULL case",
     fr::none, "", -2},
};

}  // namespace

const mysql_function* find_mysql_function(std::string_view lower_name) {
  for (const mysql_function& f : functions) {
    if (f.name == lower_name) return &f;
  }
  return nullptr;
}

}  // namespace corvexa::sql
