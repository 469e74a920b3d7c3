// The SQL checks of PHP files: which findings a query text gets and where
// they point, and what the rewrites make of the PHP text. Each rewritten
// file is checked again, and must then have no rejected text.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "sql/created_tables.h"
#include "sql/query_checks.h"

namespace corvexa::sql {
namespace {

schema_model test_schema() {
  schema_model schema;
  table_model users;
  users.name = "users";
  users.columns = {{"id", "integer", true, true}, {"name", "text", false, false}};
  schema.add(users);
  table_model posts;
  posts.name = "posts";
  posts.columns = {{"id", "integer", true, true},
                   {"user_id", "integer", false, false},
                   {"title", "text", false, false},
                   {"deleted", "timestamp", false, false},
                   {"published", "date", false, true}};
  schema.add(posts);
  table_model scores;
  scores.name = "scores";
  scores.columns = {{"id", "integer", true, true},
                    {"points", "smallint", false, false},
                    {"rate", "numeric(5,2)", false, false},
                    {"note", "text", false, false},
                    {"ratio", "double precision", false, false}};
  schema.add(scores);
  table_model members;  // MySQL spelled memberID so
  members.name = "members";
  members.columns = {{"memberid", "integer", true, true, "memberID"}, {"name", "text"}};
  schema.add(members);
  table_model t;
  t.name = "t";
  for (const char* c : {"a", "b", "c", "d", "e", "f", "k", "name"})
    t.columns.push_back({c, "text"});
  schema.add(t);
  table_model counters;
  counters.name = "counters";
  counters.columns = {{"id", "integer", true, true},
                      {"name", "text", false, true},
                      {"hits", "integer", false, true}};
  counters.primary_key = {"id"};
  counters.unique_keys = {{"name"}};
  schema.add(counters);
  table_model tickets;
  tickets.name = "tickets";
  tickets.columns = {{"id", "integer", true, true},
                     {"status", "varchar(6)", false, true, "", {"'new'", "'open'", "'closed'"}},
                     {"note", "text"}};
  schema.add(tickets);
  return schema;
}

// The notes on text comparisons of a report, which a query without a
// schema has wherever it compares a column with text, or all its other
// findings.
std::vector<sql_finding> case_notes(const query_report& report, bool wanted = true) {
  std::vector<sql_finding> kept;
  std::copy_if(report.findings.begin(), report.findings.end(), std::back_inserter(kept),
               [&](const sql_finding& f) { return (f.rule == rule_sql_case) == wanted; });
  return kept;
}

std::vector<sql_finding> without_case_notes(const query_report& report) {
  return case_notes(report, false);
}

std::string applied(std::string_view text, const std::vector<text_edit>& edits) {
  std::string out;
  std::uint64_t at = 0;
  for (const text_edit& e : edits) {
    out.append(text.substr(at, e.offset - at));
    out += e.replacement;
    at = e.offset + e.length;
  }
  out.append(text.substr(at));
  return out;
}

struct finding_case {
  const char* name;
  std::string php;
  std::string_view rule;
  std::string at;       // the PHP text at the finding's offset starts with this
  std::string message;  // the message holds this
};

void PrintTo(const finding_case& c, std::ostream* out) { *out << c.name; }

class SqlFindings : public testing::TestWithParam<finding_case> {};

TEST_P(SqlFindings, PointAtTheConstruct) {
  const finding_case& c = GetParam();
  schema_model schema = test_schema();
  query_report report = check_php_queries(c.php, query_options{false, &schema});
  ASSERT_EQ(report.findings.size(), 1u) << c.php;
  const sql_finding& f = report.findings[0];
  EXPECT_EQ(f.rule, c.rule);
  EXPECT_EQ(c.php.substr(f.offset, c.at.size()), c.at) << f.message;
  EXPECT_NE(f.message.find(c.message), std::string::npos) << f.message;
  EXPECT_LE(f.text_end, c.php.size());
}

const finding_case finding_cases[] = {
    {"update_ignore_read_as_a_table", "<?php pg_query(\"UPDATE IGNORE t SET a = 1 WHERE b = 2\");",
     rule_sql_mysql, "IGNORE t", "UPDATE IGNORE is MySQL's"},
    {"backquotes", "<?php pg_query($l,\"SELECT * FROM `users` WHERE id = $id\");", rule_sql_syntax,
     "`users`", "backquoted name: write it plain or in double quotes"},
    {"limit_offset_count", "<?php pg_query('SELECT * FROM t LIMIT 0, 10');", rule_sql_syntax,
     "LIMIT", "LIMIT offset, count"},
    {"update_limit", "<?php pg_query('UPDATE t SET a = 1 LIMIT 1');", rule_sql_syntax, "LIMIT",
     "UPDATE or DELETE with LIMIT"},
    {"interval_unit", "<?php pg_query('SELECT NOW() - INTERVAL 1 DAY');", rule_sql_syntax, "1 DAY",
     "INTERVAL n UNIT"},
    {"regexp", "<?php pg_query(\"SELECT * FROM t WHERE a REGEXP '^x'\");", rule_sql_syntax,
     "REGEXP", "REGEXP"},
    {"find_in_set", "<?php pg_query(\"SELECT id FROM posts WHERE FIND_IN_SET('$x', title)\");",
     rule_sql_mysql, "FIND_IN_SET(", "array_position(string_to_array(list, ','), s)"},
    // The unit is no column of the table.
    {"timestampdiff_unit",
     "<?php pg_query('SELECT TIMESTAMPDIFF(MINUTE, deleted, published) FROM posts');",
     rule_sql_mysql, "TIMESTAMPDIFF(", "EXTRACT(EPOCH FROM b - a)"},
    {"escaped_variable_read_elsewhere",
     "<?php $n = addslashes($x); echo $n; pg_query(\"SELECT a FROM t WHERE b = '$n'\");",
     rule_sql_mysql, "addslashes(", "addslashes() escapes for MySQL"},
    {"session_variable", "<?php pg_query(\"SET SESSION sql_mode = ''\");", rule_sql_mysql, "SET",
     "SET SQL_MODE is MySQL's: PostgreSQL has no such setting"},
    {"character_set", "<?php pg_query('SET CHARACTER SET utf8');", rule_sql_syntax, "SET utf8",
     "SET CHARACTER SET: write SET client_encoding TO 'UTF8'"},
    {"full_text_search",
     "<?php pg_query(\"SELECT id FROM posts WHERE MATCH(title) AGAINST ('$q')\");", rule_sql_syntax,
     "AGAINST", "MATCH ... AGAINST (full-text search)"},
    {"user_variable", "<?php pg_query('SELECT @n := @n + 1, title FROM posts');", rule_sql_syntax,
     ":=", "MySQL user variable"},
    {"update_left_join",
     "<?php pg_query('UPDATE a LEFT JOIN b ON b.id = a.b SET a.x = b.y WHERE b.id IS NULL');",
     rule_sql_syntax, "LEFT", "multi-table UPDATE or DELETE: write UPDATE t SET ... FROM"},
    // The converted data holds NULL for a zero date: PHP code comparing
    // with one is told, a query's zero date only by the query's check.
    {"zero_date_in_a_query_of_an_outer_join",
     "<?php pg_query(\"SELECT u.id FROM users u LEFT JOIN posts p ON p.user_id = u.id WHERE "
     "p.deleted = '0000-00-00'\");",
     rule_sql_mysql, "'0000-00-00'", "PostgreSQL rejects the zero date"},
    // An addslashes() value the code puts in a query later: the query
    // shows a PHP variable only.
    {"addslashes_outside_the_query_texts",
     "<?php $n = addslashes($_POST['n']); pg_query(\"SELECT id FROM users WHERE name = '$n'\");",
     rule_sql_mysql, "addslashes(", "where the value goes into a query"},
    {"distinct_ordered_by_a_column_not_selected",
     "<?php pg_query('SELECT DISTINCT u.id FROM users u JOIN posts p ON p.user_id = u.id ORDER "
     "BY p.published DESC, id, u.id');",
     rule_sql_mysql, "p.published", "SELECT DISTINCT orders only by values it selects"},
    {"count_of_several_values", "<?php pg_query('SELECT COUNT(DISTINCT id, name) FROM users');",
     rule_sql_mysql, "COUNT(", "COUNT(DISTINCT a, b) is MySQL's"},
    {"time_of_a_column", "<?php pg_query('SELECT TIME(deleted) FROM posts');", rule_sql_syntax,
     "deleted", "TIME(x): write (x)::time"},
    {"div_operator", "<?php pg_query('SELECT id DIV 2 FROM users');", rule_sql_syntax, "2",
     "DIV and MOD operators: write a / b of integers"},
    {"binary_comparison", "<?php pg_query(\"SELECT id FROM users WHERE name = BINARY '$n'\");",
     rule_sql_mysql, "BINARY", "BINARY 'x' compares byte for byte on MySQL"},
    // The unit is no column of the table.
    {"timestampdiff_of_months",
     "<?php pg_query('SELECT TIMESTAMPDIFF(MONTH, deleted, NOW()) FROM posts');", rule_sql_mysql,
     "TIMESTAMPDIFF", "from MONTH on with age()"},
    {"delete_from_two_tables",
     "<?php pg_query(\"DELETE t, p FROM topics t, posts p WHERE p.topic = t.id AND t.id = $id\");",
     rule_sql_syntax, "t, p", "DELETE from several tables: write WITH gone AS (DELETE FROM b"},
    {"insert_set", "<?php pg_query(\"INSERT INTO t SET a = 1\");", rule_sql_syntax, "SET",
     "INSERT ... SET"},
    {"round_of_a_float_to_places_of_a_php_value",
     "<?php pg_query(\"SELECT ROUND(ratio * 2, $d) FROM scores\");", rule_sql_mysql, "ROUND(",
     "round(x::float8 * 10^d) / 10^d"},
    {"string_minus_interval",
     "<?php pg_query(\"SELECT a FROM t WHERE b > '$day' - INTERVAL '1 day'\");", rule_sql_mysql,
     "'$day'", "'...'::date"},
    {"group_concat_separator_of_a_php_value",
     "<?php pg_query(\"SELECT GROUP_CONCAT(a SEPARATOR '$s') FROM t\");", rule_sql_syntax,
     "SEPARATOR", "write string_agg("},
    {"insert_ignore", "<?php pg_query(\"INSERT IGNORE INTO t VALUES (1)\");", rule_sql_syntax,
     "IGNORE", "INSERT IGNORE"},
    {"duplicate_key", "<?php pg_query(\"INSERT INTO t VALUES (1) ON DUPLICATE KEY UPDATE a = 1\");",
     rule_sql_syntax, "DUPLICATE", "ON CONFLICT"},
    {"optimize", "<?php pg_query('OPTIMIZE TABLE t');", rule_sql_syntax, "OPTIMIZE", "VACUUM"},
    {"show_columns", "<?php pg_query('SHOW COLUMNS FROM t');", rule_sql_syntax, "FROM", "SHOW"},
    {"backslash_escape", "<?php pg_query(\"SELECT * FROM t WHERE a = 'It\\\\'s'\");",
     rule_sql_syntax, "s'", "backslash escape"},
    {"unterminated", "<?php pg_query(\"SELECT 'abc\");", rule_sql_syntax, "'abc",
     "unterminated quoted string"},
    {"nul_byte", "<?php pg_query(\"SELECT \\0 1\");", rule_sql_syntax, "\\0", "NUL byte"},
    {"show_tables", "<?php $q = 'SHOW TABLES'; pg_query($q);", rule_sql_mysql, "SHOW TABLES",
     "information_schema"},
    {"user_table", "<?php pg_query('SELECT * FROM user');", rule_sql_mysql, "user", "current user"},
    {"ifnull", "<?php pg_query($l, 'SELECT IFNULL(a, 0) FROM t');", rule_sql_mysql, "IFNULL(",
     "IFNULL() is MySQL's: write COALESCE(a, b)"},
    // PostgreSQL has a format() of its own, which gives another text.
    {"format_of_a_number", "<?php pg_query('SELECT FORMAT(a, 2) FROM t');", rule_sql_mysql,
     "FORMAT(", "to_char(x, 'FM999G999G990D00')"},
    {"log_of_one_argument", "<?php pg_query('SELECT LOG(a), LOG(2, b) FROM t');", rule_sql_mysql,
     "LOG(a)", "write ln(x)"},
    {"function_postgres_lacks", "<?php pg_query(\"SELECT a FROM t WHERE b = INET_ATON('$ip')\");",
     rule_sql_mysql, "INET_ATON(", "(x::inet - '0.0.0.0'::inet)"},
    {"date_format", "<?php pg_query(\"SELECT DATE_FORMAT(d, '%Y') FROM t\");", rule_sql_mysql,
     "DATE_FORMAT", "to_char"},
    {"date_format_week", "<?php pg_query(\"SELECT DATE_FORMAT(d, '%X-%V') FROM t\");",
     rule_sql_mysql, "DATE_FORMAT", "%X (the year of the week of %V) has no exact"},
    {"double_quoted_value", "<?php pg_query(\"SELECT * FROM t WHERE name = \\\"bob\\\"\");",
     rule_sql_mysql, "\\\"bob", "write 'bob'"},
    {"zero_date", "<?php pg_query(\"SELECT * FROM t WHERE d = '0000-00-00'\");", rule_sql_mysql,
     "'0000", "zero date"},
    {"null_identity", "<?php pg_query(\"INSERT INTO users VALUES (NULL, '$n')\");", rule_sql_mysql,
     "NULL", "write DEFAULT"},
    {"error_after_multibyte_text",
     "<?php pg_query(\"SELECT * FROM t WHERE a = '\xc3\xa9t\xc3\xa9' AND b = '\xff' LIMIT 1, 2\");",
     rule_sql_syntax, "LIMIT", "LIMIT offset, count"},
    {"error_after_placeholders",
     "<?php pg_query(\"SELECT * FROM $t WHERE $c ORDER BY $o $d LIMIT $a, 5\");", rule_sql_syntax,
     "LIMIT", "LIMIT offset, count"},
};

INSTANTIATE_TEST_SUITE_P(Php, SqlFindings, testing::ValuesIn(finding_cases),
                         [](const testing::TestParamInfo<finding_case>& info) {
                           return info.param.name;
                         });

TEST(SqlFindings, PlaceholdersCauseNoErrorOfTheirOwn) {
  const std::string php =
      "<?php pg_query(\"SELECT $cols FROM $table $where ORDER BY $col $dir LIMIT $n\");\n"
      "pg_query(\"UPDATE t SET $set WHERE id IN ($ids) AND name = '$name'\");\n"
      "pg_query('INSERT INTO t (' . implode(',', $k) . ') VALUES (' . $v . ')');\n"
      "pg_query(sprintf('SELECT * FROM %s WHERE a = %d AND b = \\'%s\\'', $t, $a, $b));\n"
      "pg_query($select . ' FROM t WHERE 1 ' . $filters);\n"
      "pg_query('INSERT INTO t ' . $values);\n"
      "pg_query(\"SELECT * FROM t WHERE id IN ($sub) ORDER BY $sort $dir\");";
  query_report report = check_php_queries(php, {});
  EXPECT_EQ(report.texts_found, 7u);
  EXPECT_EQ(report.texts_parsed, 7u);
  std::vector<sql_finding> findings = without_case_notes(report);
  EXPECT_TRUE(findings.empty()) << findings[0].message;
}

TEST(SqlFindings, OneFindingPerPlace) {
  const std::string php = "<?php $q = 'SELECT IFNULL(a, 1) FROM t'; pg_query($q); pg_query($q);";
  query_report report = check_php_queries(php, {});
  EXPECT_EQ(report.texts_found, 2u);
  EXPECT_EQ(report.findings.size(), 1u);
}

struct schema_case {
  const char* name;
  std::string php;
  std::string at;       // the PHP text at the finding starts with this; empty: no finding
  std::string message;  // the message holds this
  bool rewrite = false;
};

void PrintTo(const schema_case& c, std::ostream* out) { *out << c.name; }

class SqlSchemaNames : public testing::TestWithParam<schema_case> {};

TEST_P(SqlSchemaNames, AreReportedOnlyWhenCertain) {
  const schema_case& c = GetParam();
  schema_model schema = test_schema();
  query_report report = check_php_queries(c.php, query_options{c.rewrite, &schema});
  EXPECT_EQ(report.texts_parsed, report.texts_found) << c.php;
  std::vector<sql_finding> found;
  for (const sql_finding& f : report.findings) {
    if (f.rule == rule_sql_schema) found.push_back(f);
  }
  if (c.at.empty()) {
    EXPECT_TRUE(found.empty()) << found[0].message;
    return;
  }
  ASSERT_EQ(found.size(), 1u) << c.php;
  EXPECT_EQ(c.php.substr(found[0].offset, c.at.size()), c.at) << found[0].message;
  EXPECT_NE(found[0].message.find(c.message), std::string::npos) << found[0].message;
}

const schema_case schema_cases[] = {
    {"unknown_table", "<?php pg_query($l, \"SELECT * FROM userz WHERE id = $id\");", "userz",
     "table \"userz\" is not in the schema (the tree's .sql files and --schema)"},
    {"unknown_public_table", "<?php pg_query('SELECT 1 FROM public.userz');", "userz",
     "table \"userz\""},
    {"qualified_column", "<?php pg_query('SELECT u.nme FROM users u');", "nme",
     "column \"nme\" is not in table \"users\""},
    {"unqualified_column", "<?php pg_query(\"SELECT nme FROM users WHERE id = {$u['id']}\");",
     "nme", "column \"nme\" is not in table \"users\""},
    {"unqualified_in_a_join",
     "<?php pg_query('SELECT title FROM users JOIN posts ON posts.user_id = users.id WHERE nme = "
     "1');",
     "nme", "column \"nme\" is not in any of the tables \"users\", \"posts\""},
    {"join_condition", "<?php pg_query('SELECT 1 FROM users JOIN posts p ON p.uid = users.id');",
     "uid", "column \"uid\" is not in table \"posts\""},
    {"insert_column", "<?php pg_query(\"INSERT INTO users (id, nmae) VALUES (1, '$n')\");", "nmae",
     "column \"nmae\" is not in table \"users\""},
    {"update_target", "<?php pg_query(\"UPDATE users SET nmae = '$n' WHERE id = $id\");", "nmae",
     "column \"nmae\" is not in table \"users\""},
    {"update_condition", "<?php pg_query(\"UPDATE users SET name = '$n' WHERE uid = 1\");", "uid",
     "column \"uid\""},
    {"delete_condition", "<?php pg_query('DELETE FROM users WHERE users.uid = ' . $id);", "uid",
     "column \"uid\""},
    {"subquery_column",
     "<?php pg_query(\"SELECT * FROM users WHERE id IN (SELECT user_id FROM posts WHERE titel = "
     "'x')\");",
     "titel", "column \"titel\" is not in any of the tables \"posts\", \"users\""},
    {"excluded_row",
     "<?php pg_query('INSERT INTO users (id) VALUES (1) ON CONFLICT (id) DO UPDATE SET name = "
     "EXCLUDED.nam');",
     "nam", "column \"nam\" is not in table \"users\""},
    {"cte_name", "<?php pg_query('WITH recent AS (SELECT id FROM users) SELECT id FROM recent');",
     "", ""},
    {"subquery_alias",
     "<?php pg_query('SELECT s.total FROM (SELECT count(*) AS total FROM posts) s');", "", ""},
    {"output_aliases",
     "<?php pg_query('SELECT user_id, count(*) AS n FROM posts GROUP BY user_id HAVING count(*) > "
     "1 "
     "ORDER BY n');",
     "", ""},
    {"union_order",
     "<?php pg_query('SELECT id AS k FROM users UNION SELECT id FROM posts ORDER BY k');", "", ""},
    {"system_columns", "<?php pg_query('SELECT ctid, u.xmin FROM users u WHERE tableoid > 0');", "",
     ""},
    {"catalogs",
     "<?php pg_query('SELECT c.relname, t.table_name FROM pg_class c, information_schema.tables t, "
     "pg_catalog.pg_namespace n');",
     "", ""},
    {"placeholder_tables",
     "<?php pg_query(\"SELECT nme FROM {$prefix}users\"); pg_query(\"SELECT * FROM $table\");", "",
     ""},
    {"placeholder_columns",
     "<?php pg_query(\"SELECT $cols FROM users WHERE $field = 1 AND u_$x = 2 ORDER BY $sort\");",
     "", ""},
    {"unknown_columns_of_a_function",
     "<?php pg_query('SELECT n, x FROM users, generate_series(1, 3) n');", "", ""},
    {"outer_columns",
     "<?php pg_query('SELECT * FROM users WHERE EXISTS (SELECT 1 FROM posts WHERE title = name)');",
     "", ""},
    {"alias_with_column_list", "<?php pg_query('SELECT u.x FROM users AS u(x, y)');", "", ""},
    {"whole_row", "<?php pg_query('SELECT row_to_json(u) FROM users u');", "", ""},
    {"join_alias",
     "<?php pg_query('SELECT j.anything FROM (users JOIN posts ON posts.user_id = users.id) AS "
     "j');",
     "", ""},
    {"double_quoted_string", "<?php pg_query(\"SELECT * FROM users WHERE name = \\\"bob\\\"\");",
     "", ""},
    {"statements_that_make_tables",
     "<?php pg_query('CREATE TEMPORARY TABLE tmp (a int)'); pg_query('DROP TABLE old');", "", ""},
    {"rewritten_names", "<?php pg_query('SELECT `nme` FROM `userz` LIMIT 1, 2');", "", "", true},
};

INSTANTIATE_TEST_SUITE_P(Php, SqlSchemaNames, testing::ValuesIn(schema_cases),
                         [](const testing::TestParamInfo<schema_case>& info) {
                           return info.param.name;
                         });

struct rewrite_case {
  const char* name;
  std::string php;
  std::string rewritten;
};

void PrintTo(const rewrite_case& c, std::ostream* out) { *out << c.name; }

class SqlRewrites : public testing::TestWithParam<rewrite_case> {};

TEST_P(SqlRewrites, GiveTextsThatParse) {
  const rewrite_case& c = GetParam();
  schema_model schema = test_schema();
  query_report report = check_php_queries(c.php, query_options{true, &schema});
  std::string rewritten = applied(c.php, report.edits);
  EXPECT_EQ(rewritten, c.rewritten);
  for (std::size_t i = 1; i < report.edits.size(); ++i) {
    EXPECT_LE(report.edits[i - 1].offset + report.edits[i - 1].length, report.edits[i].offset);
  }
  query_report again = check_php_queries(rewritten, query_options{false, &schema});
  if (rewritten != c.php) {
    EXPECT_EQ(again.texts_rejected, 0u) << rewritten;
  }
  EXPECT_EQ(report.texts_rewritten > 0, rewritten != c.php);
}

const rewrite_case rewrite_cases[] = {
    {"backquotes_and_limit",
     "<?php pg_query($l, \"SELECT * FROM `Users` WHERE `id` = $id LIMIT 0, 10\");",
     "<?php pg_query($l, \"SELECT * FROM users WHERE id = $id LIMIT 10 OFFSET 0\");"},
    {"reserved_names_single_quoted", "<?php pg_query('SELECT `order` FROM `user`');",
     "<?php pg_query('SELECT \"order\" FROM \"user\"');"},
    {"reserved_names_double_quoted", "<?php pg_query(\"SELECT `order` FROM `user` WHERE a = $a\");",
     "<?php pg_query(\"SELECT \\\"order\\\" FROM \\\"user\\\" WHERE a = $a\");"},
    {"backquotes_around_placeholder",
     "<?php pg_query(\"SELECT * FROM `$prefix_users` LIMIT 1, 2\");",
     "<?php pg_query(\"SELECT * FROM $prefix_users LIMIT 2 OFFSET 1\");"},
    {"limit_of_placeholders", "<?php pg_query(\"SELECT * FROM t LIMIT $start, $count\");",
     "<?php pg_query(\"SELECT * FROM t OFFSET $start LIMIT $count\");"},
    {"limit_ending_in_concatenation", "<?php pg_query('SELECT * FROM t LIMIT ' . $a . ', ' . $b);",
     "<?php pg_query('SELECT * FROM t OFFSET ' . $a . ' LIMIT ' . $b);"},
    {"update_limit", "<?php pg_query(\"UPDATE t SET a = 1 WHERE b = '$b' LIMIT 1\");",
     "<?php pg_query(\"UPDATE t SET a = 1 WHERE ctid IN (SELECT ctid FROM t WHERE b = '$b' LIMIT "
     "1)\");"},
    {"update_of_two_columns", "<?php pg_query('UPDATE t SET a = 1, b = 2 WHERE c = 3 LIMIT 1;');",
     "<?php pg_query('UPDATE t SET a = 1, b = 2 WHERE ctid IN (SELECT ctid FROM t WHERE c = 3 "
     "LIMIT 1);');"},
    {"delete_limit", "<?php pg_query('DELETE FROM log ORDER BY id LIMIT 100');",
     "<?php pg_query('DELETE FROM log WHERE ctid IN (SELECT ctid FROM log ORDER BY id LIMIT "
     "100)');"},
    // PostgreSQL reserves user: a syntax error where a table or a column
    // is named, its own current user after FROM.
    {"reserved_word_as_table_and_column",
     "<?php pg_query(\"UPDATE user SET user = '$u' WHERE id = 1 LIMIT 1\"); pg_query('INSERT INTO "
     "user (user, a) VALUES (1, 2)'); pg_query('SELECT a FROM t JOIN user ON b = c LIMIT 1, 1'); "
     "pg_query('SELECT user.a, end.b FROM t, user WHERE user.c = 1 LIMIT 1, 1');",
     "<?php pg_query(\"UPDATE \\\"user\\\" SET \\\"user\\\" = '$u' WHERE ctid IN (SELECT ctid FROM "
     "\\\"user\\\" WHERE id = 1 LIMIT 1)\"); pg_query('INSERT INTO \"user\" (\"user\", a) VALUES "
     "(1, "
     "2)'); pg_query('SELECT a FROM t JOIN \"user\" ON b = c LIMIT 1 OFFSET 1'); pg_query('SELECT "
     "\"user\".a, \"end\".b FROM t, \"user\" WHERE \"user\".c = 1 LIMIT 1 OFFSET 1');"},
    {"interval_in_single_quotes", "<?php pg_query('SELECT NOW() - INTERVAL 1 HOUR');",
     "<?php pg_query('SELECT NOW() - INTERVAL \\'1 hour\\'');"},
    {"interval_of_placeholder",
     "<?php pg_query(\"SELECT * FROM t WHERE d > NOW() - INTERVAL $days DAY\");",
     "<?php pg_query(\"SELECT * FROM t WHERE d > NOW() - INTERVAL '$days day'\");"},
    {"date_sub", "<?php pg_query(\"SELECT DATE_SUB(NOW(), INTERVAL 7 DAY)\");",
     "<?php pg_query(\"SELECT (NOW() - INTERVAL '7 day')\");"},
    {"functions",
     "<?php pg_query(\"SELECT IFNULL(a, 0), IF(b > 1, 'y', 'n'), RAND(), UNIX_TIMESTAMP(), "
     "UNIX_TIMESTAMP(c), LAST_INSERT_ID(), FROM_UNIXTIME(d), CURDATE(), LOCATE('x', e), YEAR(f) "
     "FROM t\");",
     "<?php pg_query(\"SELECT COALESCE(a, 0), CASE WHEN b > 1 THEN 'y' ELSE 'n' END, random(), "
     "floor(EXTRACT(EPOCH FROM now()))::bigint, floor(EXTRACT(EPOCH FROM (c)::timestamptz))::"
     "bigint, lastval(), to_timestamp(d)::timestamp, CURRENT_DATE, position('x' IN e), "
     "EXTRACT(YEAR FROM f) FROM t\");"},
    {"from_unixtime_with_a_format",
     "<?php pg_query(\"SELECT FROM_UNIXTIME(t, '%d.%m.%Y'), FROM_UNIXTIME(t, '%U') FROM t\");",
     "<?php pg_query(\"SELECT to_char(to_timestamp(t)::timestamp, 'DD.MM.YYYY'), FROM_UNIXTIME(t, "
     "'%U') FROM t\");"},
    {"field", "<?php pg_query(\"SELECT a FROM t ORDER BY FIELD(a, 'x', 'y'), FIELD(b,c)\");",
     "<?php pg_query(\"SELECT a FROM t ORDER BY CASE (a) WHEN 'x' THEN 1 WHEN 'y' THEN 2 ELSE 0 "
     "END, CASE (b) WHEN c THEN 1 ELSE 0 END\");"},
    // Hints MySQL takes after SELECT; PostgreSQL reads the first of them
    // as a column when a name follows, else rejects the text.
    {"select_modifiers",
     "<?php pg_query('SELECT SQL_CALC_FOUND_ROWS a FROM t'); pg_query('SELECT DISTINCT "
     "SQL_NO_CACHE SQL_CALC_FOUND_ROWS * FROM t LIMIT 0, 2');",
     "<?php pg_query('SELECT a FROM t'); pg_query('SELECT DISTINCT * FROM t LIMIT 2 OFFSET 0');"},
    // The stand-ins of PHP values the parser stopped before are chosen
    // again on the rewritten text: two values in a row are not two numbers.
    {"select_modifier_before_adjacent_placeholders",
     "<?php pg_query(\"SELECT SQL_CALC_FOUND_ROWS u.id FROM users u ORDER BY $sort $dir LIMIT "
     "$start, $n\"); pg_query(\"SELECT `id` FROM users WHERE $where ORDER BY $sort $dir LIMIT 2, "
     "1\");",
     "<?php pg_query(\"SELECT u.id FROM users u ORDER BY $sort $dir OFFSET $start LIMIT $n\"); "
     "pg_query(\"SELECT id FROM users WHERE $where ORDER BY $sort $dir LIMIT 1 OFFSET 2\");"},
    // MySQL takes a number n as the condition n <> 0; a text is not known
    // to be one.
    {"numbers_as_conditions",
     "<?php pg_query('SELECT id FROM scores WHERE points AND NOT id OR 0'); pg_query('SELECT "
     "CASE WHEN points THEN 1 END, CASE points WHEN 1 THEN 2 END FROM scores HAVING COUNT(*)'); "
     "pg_query('SELECT p.id FROM posts p JOIN scores s ON s.points WHERE note');",
     "<?php pg_query('SELECT id FROM scores WHERE 0 <> points AND NOT 0 <> id OR 0 <> 0'); "
     "pg_query('SELECT CASE WHEN 0 <> points THEN 1 END, CASE points WHEN 1 THEN 2 END FROM "
     "scores HAVING 0 <> COUNT(*)'); pg_query('SELECT p.id FROM posts p JOIN scores s ON 0 <> "
     "s.points WHERE note');"},
    // LIKE matched a date's text on MySQL, and '' was its zero date.
    {"date_patterns_and_empty_dates",
     "<?php pg_query(\"SELECT id FROM posts WHERE deleted LIKE '2024-%' AND published NOT LIKE "
     "'%-01' AND title LIKE 'a%'\"); pg_query(\"UPDATE posts SET deleted = '', title = '' WHERE "
     "id = 1\");",
     "<?php pg_query(\"SELECT id FROM posts WHERE (deleted)::text LIKE '2024-%' AND "
     "(published)::text NOT LIKE '%-01' AND title LIKE 'a%'\"); pg_query(\"UPDATE posts SET "
     "deleted = NULL, title = '' WHERE id = 1\");"},
    {"day_and_month_names",
     "<?php pg_query(\"SELECT DAYNAME(published), MONTHNAME('2024-03-05') FROM posts\");",
     "<?php pg_query(\"SELECT to_char((published)::timestamp, 'FMDay'), "
     "to_char(('2024-03-05')::timestamp, 'FMMonth') FROM posts\");"},
    // MySQL counts whole units of seconds, toward zero; b - a is written
    // -(a - b), which keeps the arguments in place.
    {"timestampdiff_of_seconds_to_weeks",
     "<?php pg_query(\"SELECT TIMESTAMPDIFF(MINUTE, deleted, NOW()), TIMESTAMPDIFF(WEEK, "
     "'2024-01-01', deleted) FROM posts WHERE TIMESTAMPDIFF(SECOND, deleted, NOW()) > 5\");",
     "<?php pg_query(\"SELECT trunc(-EXTRACT(EPOCH FROM date_trunc('second', (deleted)::timestamp) "
     "- date_trunc('second', (NOW())::timestamp)) / 60)::bigint, trunc(-EXTRACT(EPOCH FROM "
     "date_trunc('second', ('2024-01-01')::timestamp) - date_trunc('second', "
     "(deleted)::timestamp)) / 604800)::bigint FROM posts WHERE trunc(-EXTRACT(EPOCH FROM "
     "date_trunc('second', (deleted)::timestamp) - date_trunc('second', "
     "(NOW())::timestamp)))::bigint > 5\");"},
    // IF() of a text and a number is a text on MySQL; a PHP value may be
    // a column's name.
    {"if_of_a_text_and_a_number",
     "<?php pg_query(\"SELECT IF(id = 1, 'one', 0), IF(points, -1.5, 'x'), IF(id > 1, 'a', $n), "
     "IF(id > 2, 1, 2) FROM scores\");",
     "<?php pg_query(\"SELECT CASE WHEN id = 1 THEN 'one' ELSE '0' END, CASE WHEN (points) <> 0 "
     "THEN '-1.5' ELSE 'x' END, CASE WHEN id > 1 THEN 'a' ELSE $n END, CASE WHEN id > 2 THEN 1 "
     "ELSE 2 END FROM scores\");"},
    // SUM(a > b) counts where a > b holds on MySQL; AVG() of such 1 and 0
    // has four places as AVG() of integers. COUNT() takes any value.
    {"aggregates_of_comparisons",
     "<?php pg_query('SELECT SUM(points > 5), AVG(id = 1 OR points), MAX(note LIKE \"a%\"), "
     "COUNT(id > 1), SUM(DISTINCT id > 1) FROM scores');",
     "<?php pg_query('SELECT SUM((points > 5)::int), round(AVG((id = 1 OR 0 <> points)::int), 4), "
     "MAX((note LIKE \\'a%\\')::int), COUNT(id > 1), SUM(DISTINCT id > 1) FROM scores');"},
    // A PHP value that is a number for certain stands as a condition too;
    // another may be a condition's text.
    {"number_values_as_conditions",
     "<?php pg_query(\"SELECT id FROM scores WHERE id = 1 OR \" . ($all ? 1 : -1) . \" AND \" . "
     "$cond); pg_query(\"SELECT id FROM scores WHERE \" . intval($n) . \" AND id = $id OR $flag "
     "OR \" . (int) $m . \" OR \" . count($l) . \" OR \" . ($all ? '1 = 1' : 0));",
     "<?php pg_query(\"SELECT id FROM scores WHERE id = 1 OR 0 <> \" . ($all ? 1 : -1) . \" AND "
     "\" . $cond); pg_query(\"SELECT id FROM scores WHERE 0 <> \" . intval($n) . \" AND id = "
     "$id OR $flag OR 0 <> \" . (int) $m . \" OR 0 <> \" . count($l) . \" OR \" . ($all ? '1 "
     "= 1' : 0));"},
    // A comparison is 1 or 0 on MySQL, as the statement's output or a
    // value stored; a subquery's is left to what reads it.
    {"comparisons_as_numbers",
     "<?php pg_query(\"SELECT id = 1 AS one, name LIKE '$q%', name IS NULL is_null, id AS b FROM "
     "users u WHERE EXISTS (SELECT id = 2 FROM posts)\"); pg_query(\"UPDATE scores SET points = "
     "NOT points, note = rate > 2 WHERE id = $id\");",
     "<?php pg_query(\"SELECT (id = 1)::int AS one, (name LIKE '$q%')::int, (name IS NULL)::int "
     "is_null, id AS b FROM users u WHERE EXISTS (SELECT id = 2 FROM posts)\"); "
     "pg_query(\"UPDATE scores SET points = (NOT 0 <> points)::int, note = (rate > 2)::int WHERE "
     "id = $id\");"},
    // MySQL rounds rint(x * 10^d) / 10^d in doubles; PostgreSQL has no
    // round(double, int), and its round(double) is rint().
    {"round_of_a_float",
     "<?php pg_query('SELECT ROUND(ratio * 2, 2), ROUND(rate, 1) FROM scores');",
     "<?php pg_query('SELECT (round((ratio * 2)::float8 * 100) / 100), ROUND(rate, 1) FROM "
     "scores');"},
    // MySQL's IF() tests a number n as n <> 0; a text is not known to be one.
    {"if_of_a_number",
     "<?php pg_query(\"SELECT IF(points,'y', 'n'), IF(note, 1, 2) FROM scores\");",
     "<?php pg_query(\"SELECT CASE WHEN (points) <> 0 THEN 'y' ELSE 'n' END, IF(note, 1, 2) FROM "
     "scores\");"},
    {"group_concat_and_sha1",
     "<?php pg_query('SELECT GROUP_CONCAT(name), SHA1(name) FROM t GROUP BY k');",
     "<?php pg_query('SELECT string_agg((name)::text, \\',\\'), encode(digest(name, \\'sha1\\'), "
     "\\'hex\\') "
     "FROM t GROUP BY k ORDER BY k NULLS FIRST');"},
    // SEPARATOR does not parse on PostgreSQL; ORDER BY and DISTINCT do.
    {"group_concat_clauses",
     "<?php pg_query(\"SELECT GROUP_CONCAT(a.name ORDER BY id DESC, name SEPARATOR ', ') FROM t a "
     "LIMIT 0, 1\"); pg_query('SELECT GROUP_CONCAT(DISTINCT name SEPARATOR \"|\"), "
     "GROUP_CONCAT(name ORDER BY name) FROM t');",
     "<?php pg_query(\"SELECT string_agg((a.name)::text, ', ' ORDER BY id DESC, name) FROM t a "
     "LIMIT 1 OFFSET 0\"); pg_query('SELECT string_agg(DISTINCT (name)::text, \\'|\\'), "
     "string_agg((name)::text, \\',\\' ORDER BY name) FROM t');"},
    // DISTINCT sorted by the value: gathered in the value's own type.
    {"group_concat_distinct_sorted",
     "<?php pg_query(\"SELECT GROUP_CONCAT(DISTINCT a.n ORDER BY A.N DESC SEPARATOR '/'), "
     "GROUP_CONCAT(DISTINCT n ORDER BY n) FROM t a\");",
     "<?php pg_query(\"SELECT array_to_string(NULLIF(array_agg(DISTINCT a.n ORDER BY A.N DESC), "
     "'{NULL}'), '/'), array_to_string(NULLIF(array_agg(DISTINCT n ORDER BY n), '{NULL}'), ',') "
     "FROM t a\");"},
    // PostgreSQL sorts distinct values only by the value; MySQL joins
    // several values without a separator.
    {"group_concat_clauses_left",
     "<?php pg_query('SELECT GROUP_CONCAT(DISTINCT name ORDER BY id), GROUP_CONCAT(a, b), "
     "GROUP_CONCAT(DISTINCT n ORDER BY n + 1) FROM t');",
     "<?php pg_query('SELECT GROUP_CONCAT(DISTINCT name ORDER BY id), GROUP_CONCAT(a, b), "
     "GROUP_CONCAT(DISTINCT n ORDER BY n + 1) FROM t');"},
    // PHP reads the output names as keys: MySQL keeps their letter case.
    {"output_names",
     "<?php pg_query('SELECT COUNT(*) AS Total, a.userName, k AS Kind FROM t a GROUP BY kind "
     "ORDER BY Total'); pg_query('SELECT k AS Kind, COUNT(*) FROM t GROUP BY kind, a');",
     "<?php pg_query('SELECT COUNT(*) AS \"Total\", a.userName AS \"userName\", k AS \"Kind\" "
     "FROM t a GROUP BY \"Kind\" ORDER BY \"Total\"'); pg_query('SELECT k AS \"Kind\", COUNT(*) "
     "FROM t GROUP BY \"Kind\", a ORDER BY 1 NULLS FIRST, a NULLS FIRST');"},
    // ORDER BY a column neither grouped nor selected; the key grouped
    // makes every column of its table one value.
    {"ungrouped_order",
     "<?php pg_query('SELECT user_id, COUNT(*) FROM posts GROUP BY user_id ORDER BY published "
     "DESC, title'); pg_query('SELECT c.id, COUNT(*) FROM counters c GROUP BY c.id ORDER BY "
     "c.hits');",
     "<?php pg_query('SELECT user_id, COUNT(*) FROM posts GROUP BY user_id ORDER BY "
     "min(published) DESC, min(title) NULLS FIRST'); pg_query('SELECT c.id, COUNT(*) FROM "
     "counters c GROUP BY c.id ORDER BY c.hits');"},
    // The ungrouped column's min() keeps the key PHP reads.
    {"ungrouped_column_with_a_capital",
     "<?php pg_query('SELECT memberID, COUNT(*) FROM members GROUP BY name');",
     "<?php pg_query('SELECT min(memberID) AS \"memberID\", COUNT(*) FROM members GROUP BY name "
     "ORDER BY name NULLS FIRST');"},
    // SELECT * named memberID so on MySQL; one table's columns are known.
    {"star_of_capitalized_columns",
     "<?php pg_query('SELECT * FROM members m WHERE memberID = 1'); pg_query('SELECT * FROM "
     "members, t');",
     "<?php pg_query('SELECT memberid AS \"memberID\", name FROM members m WHERE memberID = 1'); "
     "pg_query('SELECT * FROM members, t');"},
    // MySQL sorts NULL below every value; published is NOT NULL, id a key.
    {"null_order",
     "<?php pg_query('SELECT title FROM posts p ORDER BY p.deleted DESC, published, title ASC, "
     "id');",
     "<?php pg_query('SELECT title FROM posts p ORDER BY p.deleted DESC NULLS LAST, published, "
     "title ASC NULLS FIRST, id');"},
    // MySQL (before 8.0) sorted the groups; an order of the query's own, a
    // UNION's and a PHP value's list are left.
    {"group_by_order",
     "<?php pg_query(\"SELECT k, COUNT(*) FROM t WHERE a = 1 GROUP BY k, (j + 1) LIMIT 5; SELECT k "
     "FROM t GROUP BY k ORDER BY 2; SELECT k FROM t GROUP BY k UNION SELECT 1; SELECT k FROM t "
     "GROUP BY $c\");",
     "<?php pg_query(\"SELECT k, COUNT(*) FROM t WHERE a = 1 GROUP BY k, (j + 1) ORDER BY k NULLS "
     "FIRST, (j + "
     "1) NULLS FIRST LIMIT 5; SELECT k FROM t GROUP BY k ORDER BY 2; SELECT k FROM t GROUP BY k "
     "UNION SELECT "
     "1; SELECT k FROM t GROUP BY $c\");"},
    // PostgreSQL's HAVING knows no output column, and without GROUP BY or
    // an aggregate makes the query one group where MySQL filters rows.
    {"having_clauses",
     "<?php pg_query(\"SELECT k, COUNT(*) AS n, SUM(v) s FROM t GROUP BY k HAVING n > 1 OR s > "
     "$min\"); pg_query('SELECT a, b * 2 AS d FROM t WHERE a > 0 OR a < 5 HAVING d < 50 ORDER BY "
     "a'); pg_query('SELECT a FROM t HAVING a < 5');",
     "<?php pg_query(\"SELECT k, COUNT(*) AS n, SUM(v) s FROM t GROUP BY k HAVING (COUNT(*)) > 1 "
     "OR "
     "(SUM(v)) > $min ORDER BY k NULLS FIRST\"); pg_query('SELECT a, b * 2 AS d FROM t WHERE (a > "
     "0 OR a < 5) "
     "AND ((b * "
     "2) < 50) ORDER BY a NULLS FIRST'); pg_query('SELECT a FROM t WHERE a < 5');"},
    // MySQL too reads a grouped column k; a PHP value cannot be copied.
    {"having_clauses_left",
     "<?php pg_query(\"SELECT COUNT(*) AS k FROM t GROUP BY k HAVING k > 1; SELECT SUM(v) + $x AS "
     "s FROM t GROUP BY k HAVING s > 1\");",
     "<?php pg_query(\"SELECT COUNT(*) AS k FROM t GROUP BY k HAVING k > 1 ORDER BY k NULLS FIRST; "
     "SELECT "
     "SUM(v) + $x AS s FROM t GROUP BY k HAVING s > 1 ORDER BY k NULLS FIRST\");"},
    // MySQL reads It\'s in a string constant as It's; PostgreSQL ends it at
    // the backslash. Outside a constant the value is no string anyway.
    {"addslashes_in_a_string_constant",
     "<?php pg_query(\"UPDATE t SET a = '\" . AddSlashes(f($a, ')')) . \"', b = \" . "
     "addslashes($b));",
     "<?php pg_query(\"UPDATE t SET a = '\" . pg_escape_string($GLOBALS['pg_last_link'], f($a, "
     "')')) "
     ". \"', b = \" . addslashes($b));"},
    {"insert_set", "<?php pg_query(\"INSERT INTO `users` SET `name` = '$n', `order` = 2\");",
     "<?php pg_query(\"INSERT INTO users (name, \\\"order\\\") VALUES ('$n', 2)\");"},
    {"insert_set_of_concatenated_values",
     "<?php pg_query('INSERT INTO t SET a = ' . $a . ', b = f(1, 2), c = \\'' . $c . '\\'');",
     "<?php pg_query('INSERT INTO t (a, b, c) VALUES (' . $a . ', f(1, 2), \\'' . $c . '\\')');"},
    {"insert_set_ending_in_an_interpolated_value",
     "<?php pg_query(\"INSERT INTO t SET a = 1, b = $b\");",
     "<?php pg_query(\"INSERT INTO t (a, b) VALUES (1, $b)\");"},
    // No literal follows $b for the ")" to go into.
    {"insert_set_ending_in_a_concatenated_value_left",
     "<?php pg_query(\"INSERT INTO t SET a = 1, b = \" . $b);",
     "<?php pg_query(\"INSERT INTO t SET a = 1, b = \" . $b);"},
    {"insert_set_with_duplicate_key_left",
     "<?php pg_query(\"INSERT INTO t SET a = 1 ON DUPLICATE KEY UPDATE a = 2\");",
     "<?php pg_query(\"INSERT INTO t SET a = 1 ON DUPLICATE KEY UPDATE a = 2\");"},
    {"insert_set_of_placeholder_column_left", "<?php pg_query(\"INSERT INTO t SET $col = 1\");",
     "<?php pg_query(\"INSERT INTO t SET $col = 1\");"},
    {"insert_ignore", "<?php pg_query(\"INSERT IGNORE INTO `t` (a) VALUES ('$a');\");",
     "<?php pg_query(\"INSERT INTO t (a) VALUES ('$a') ON CONFLICT DO NOTHING;\");"},
    {"insert_ignore_select", "<?php pg_query('INSERT IGNORE INTO t SELECT * FROM u');",
     "<?php pg_query('INSERT INTO t SELECT * FROM u ON CONFLICT DO NOTHING');"},
    // Integers divide into a decimal of four places on MySQL.
    {"integer_division",
     "<?php pg_query(\"SELECT hits / 3, COUNT(*) / counters.id, -7 / counters.hits, name / 2, hits "
     "/ 2.5 "
     "FROM counters, t AS c WHERE id = $id\");",
     "<?php pg_query(\"SELECT round((hits)::numeric / NULLIF(3, 0), 4), round((COUNT(*))::numeric "
     "/ "
     "NULLIF(counters.id, 0), 4), round((-7)::numeric / NULLIF(counters.hits, 0), 4), name / 2, "
     "hits / 2.5 "
     "FROM counters, t AS c WHERE id = $id\");"},
    // SUM() of integers is a decimal on MySQL; of a quotient it is no
    // integer on either.
    {"integer_division_of_a_sum",
     "<?php pg_query('SELECT SUM(hits * -2) / COUNT(*), SUM(hits / 2) / 2 FROM counters');",
     "<?php pg_query('SELECT round((SUM(hits * -2))::numeric / NULLIF(COUNT(*), 0), 4), "
     "SUM(round((hits)::numeric / NULLIF(2, 0), 4)) / 2 FROM counters');"},
    {"average_of_integers",
     "<?php pg_query('SELECT AVG(hits), AVG(DISTINCT hits), AVG(name) FROM counters');",
     "<?php pg_query('SELECT round(AVG(hits), 4), AVG(DISTINCT hits), AVG(name) FROM counters');"},
    // name is neither grouped nor aggregated; hits is grouped, and id's
    // table is grouped by its primary key.
    {"ungrouped_column",
     "<?php pg_query(\"SELECT c.name, hits, COUNT(*), c.name AS n FROM counters AS c GROUP BY "
     "hits ORDER BY name\");",
     "<?php pg_query(\"SELECT min(c.name) AS name, hits, COUNT(*), min(c.name) AS n FROM counters "
     "AS c GROUP BY hits ORDER BY name\");"},
    {"column_of_a_table_grouped_by_its_key_left",
     "<?php pg_query('SELECT name, hits FROM counters GROUP BY id');",
     "<?php pg_query('SELECT name, hits FROM counters GROUP BY id ORDER BY id NULLS FIRST');"},
    {"integer_division_of_a_php_value_left", "<?php pg_query(\"SELECT hits / $n FROM counters\");",
     "<?php pg_query(\"SELECT hits / $n FROM counters\");"},
    // The row gives values for the name key only, the one it can collide on.
    {"duplicate_key_update",
     "<?php pg_query(\"INSERT INTO `counters` (`name`, hits) VALUES ('$n', 1) ON DUPLICATE KEY "
     "UPDATE `hits` = `hits` + VALUES(hits), name = CONCAT(name, '!')\");",
     "<?php pg_query(\"INSERT INTO counters (name, hits) VALUES ('$n', 1) ON CONFLICT (name) DO "
     "UPDATE SET hits = counters.hits + EXCLUDED.hits, name = ((counters.name)::text || "
     "('!')::text)\");"},
    // With the id given too, MySQL updates on either key: no one target.
    {"duplicate_key_update_of_two_keys_left",
     "<?php pg_query(\"INSERT INTO counters VALUES (1, 'a', 1) ON DUPLICATE KEY UPDATE hits = "
     "2\");",
     "<?php pg_query(\"INSERT INTO counters VALUES (1, 'a', 1) ON DUPLICATE KEY UPDATE hits = "
     "2\");"},
    // MySQL's b = hits reads the hits just set; PostgreSQL's the old one.
    {"duplicate_key_update_reading_a_column_set_before_left",
     "<?php pg_query(\"INSERT INTO counters (name) VALUES ('a') ON DUPLICATE KEY UPDATE hits = "
     "hits + 1, name = hits\");",
     "<?php pg_query(\"INSERT INTO counters (name) VALUES ('a') ON DUPLICATE KEY UPDATE hits = "
     "hits + 1, name = hits\");"},
    {"duplicate_key_update_of_unknown_table_left",
     "<?php pg_query(\"INSERT INTO nowhere (a) VALUES (1) ON DUPLICATE KEY UPDATE a = 2\");",
     "<?php pg_query(\"INSERT INTO nowhere (a) VALUES (1) ON DUPLICATE KEY UPDATE a = 2\");"},
    // Zero dates are what the converted data holds for them: NULL, or
    // '-infinity' in a NOT NULL column.
    {"zero_dates",
     "<?php pg_query(\"SELECT id FROM posts WHERE deleted = '0000-00-00 00:00:00' AND "
     "'0000-00-00' != posts.deleted AND published > '0000-00-00' AND deleted < '0000-00-00' AND "
     "deleted > '0000-00-00' AND '0000-00-00' >= deleted\");",
     "<?php pg_query(\"SELECT id FROM posts WHERE (deleted IS NULL) AND (posts.deleted IS NOT "
     "NULL) AND published > '-infinity' AND deleted < '0000-00-00' AND (deleted IS NOT NULL) AND "
     "(deleted IS NULL)\");"},
    {"zero_dates_written",
     "<?php pg_query(\"INSERT INTO posts (id, deleted, published) VALUES ($id, '0000-00-00', "
     "'0000-00-00 00:00:00')\"); pg_query(\"UPDATE posts SET deleted = '0000-00-00'\");",
     "<?php pg_query(\"INSERT INTO posts (id, deleted, published) VALUES ($id, NULL, "
     "'-infinity')\"); pg_query(\"UPDATE posts SET deleted = NULL\");"},
    // MySQL's CAST types; a PostgreSQL cast written with :: is left.
    {"cast_types",
     "<?php pg_query(\"SELECT CAST(a AS CHAR), CAST(b AS char(3)), CAST(c AS NCHAR), CAST(d "
     "AS DECIMAL), CAST(e AS DECIMAL(5, 2)), CAST(f AS DATETIME(3)), CAST(f AS DATETIME), "
     "k::char FROM t\");",
     "<?php pg_query(\"SELECT CAST(a AS text), CAST(b AS varchar(3)), CAST(c AS text), CAST(d "
     "AS numeric(10, 0)), CAST(e AS DECIMAL(5, 2)), CAST(f AS timestamp(3)), CAST(f AS "
     "timestamp(0)), k::char FROM t\");"},
    // A text MySQL reads a number out of, PostgreSQL refuses: reported only.
    {"cast_signed_left", "<?php pg_query('SELECT CAST(a AS UNSIGNED) FROM t');",
     "<?php pg_query('SELECT CAST(a AS UNSIGNED) FROM t');"},
    // NULL where no post matched is not a zero date.
    {"zero_date_of_an_outer_join_left",
     "<?php pg_query(\"SELECT u.id FROM users u LEFT JOIN posts p ON p.user_id = u.id WHERE "
     "p.deleted = '0000-00-00' AND p.deleted > '0000-00-00'\");",
     "<?php pg_query(\"SELECT u.id FROM users u LEFT JOIN posts p ON p.user_id = u.id WHERE "
     "p.deleted = '0000-00-00' AND (p.deleted IS NOT NULL)\");"},
    // The rows an outer join keeps whole have their zero dates; RIGHT and
    // FULL JOIN make the other sides NULL where nothing matched.
    {"zero_date_of_an_outer_joins_kept_side",
     "<?php pg_query(\"SELECT IF(p.deleted = '0000-00-00', 1, 2) FROM posts p LEFT JOIN users u "
     "ON u.id = p.user_id JOIN scores s ON s.id = u.id WHERE deleted <= '0000-00-00'\"); "
     "pg_query(\"SELECT 1 FROM users u RIGHT JOIN posts p ON p.user_id = u.id FULL JOIN scores s "
     "ON s.id = p.id WHERE p.deleted = '0000-00-00'\");",
     "<?php pg_query(\"SELECT CASE WHEN (p.deleted IS NULL) THEN 1 ELSE 2 END FROM posts p LEFT "
     "JOIN "
     "users u ON u.id = p.user_id JOIN scores s ON s.id = u.id WHERE (deleted IS NULL)\"); "
     "pg_query(\"SELECT 1 FROM users u RIGHT JOIN posts p ON p.user_id = u.id FULL JOIN scores s "
     "ON s.id = p.id WHERE p.deleted = '0000-00-00'\");"},
    // MySQL sorted an ENUM by the order of its values, in an ORDER BY and
    // in the groups of GROUP BY; another table's column of that name is not
    // known to be one.
    {"enum_order",
     "<?php pg_query('SELECT id FROM tickets t ORDER BY t.status DESC, id'); pg_query('SELECT "
     "status, COUNT(*) FROM tickets GROUP BY status'); pg_query('SELECT status FROM tickets, "
     "(SELECT 1) x GROUP BY status');",
     "<?php pg_query('SELECT id FROM tickets t ORDER BY array_position(ARRAY[\\'new\\', "
     "\\'open\\', \\'closed\\'], (t.status)::text) DESC, id'); pg_query('SELECT status, "
     "COUNT(*) FROM tickets GROUP BY status ORDER BY array_position(ARRAY[\\'new\\', "
     "\\'open\\', \\'closed\\'], (status)::text) NULLS FIRST'); pg_query('SELECT status "
     "FROM tickets, (SELECT 1) x GROUP BY status ORDER BY status NULLS FIRST');"},
    // Arithmetic on an ENUM: MySQL used the value's place in the list.
    {"enum_arithmetic",
     "<?php pg_query('SELECT status + 0 FROM tickets t WHERE 1 < t.status * 1 OR status / 2');",
     "<?php pg_query('SELECT array_position(ARRAY[\\'new\\', \\'open\\', \\'closed\\'], "
     "(status)::text) + 0 FROM tickets t WHERE 1 < array_position(ARRAY[\\'new\\', "
     "\\'open\\', \\'closed\\'], (t.status)::text) * 1 OR status / 2');"},
    // MySQL's new row takes the defaults of the columns left out.
    {"replace_into", "<?php pg_query(\"REPLACE INTO `counters` (`name`) VALUES ('$n')\");",
     "<?php pg_query(\"INSERT INTO counters (name) VALUES ('$n') ON CONFLICT (name) DO UPDATE SET "
     "id = DEFAULT, hits = DEFAULT\");"},
    {"replace_of_two_keys_left", "<?php pg_query(\"REPLACE counters VALUES (1, 'a', 1)\");",
     "<?php pg_query(\"REPLACE counters VALUES (1, 'a', 1)\");"},
    {"null_into_identity", "<?php pg_query(\"INSERT INTO users VALUES (NULL, '$n')\");",
     "<?php pg_query(\"INSERT INTO users VALUES (DEFAULT, '$n')\");"},
    // MySQL makes a new id for 0 and '' as for NULL.
    {"zero_and_empty_into_identity",
     "<?php pg_query(\"INSERT INTO users VALUES (0, 'a'), ('', '0'), (7, '')\");",
     "<?php pg_query(\"INSERT INTO users VALUES (DEFAULT, 'a'), (DEFAULT, '0'), (7, '')\");"},
    {"bare_user_and_double_quoted_value",
     "<?php pg_query(\"SELECT user FROM t WHERE name = \\\"$n\\\"\");",
     "<?php pg_query(\"SELECT \\\"user\\\" FROM t WHERE name = '$n'\");"},
    {"sprintf_format",
     "<?php pg_query(sprintf(\"SELECT * FROM `t` WHERE id = %d LIMIT 5, 5\", $id));",
     "<?php pg_query(sprintf(\"SELECT * FROM t WHERE id = %d LIMIT 5 OFFSET 5\", $id));"},
    {"heredoc", "<?php\n$q = <<<SQL\n  SELECT * FROM `t`\n    LIMIT 1, 2\n  SQL;\npg_query($q);",
     "<?php\n$q = <<<SQL\n  SELECT * FROM t\n    LIMIT 2 OFFSET 1\n  SQL;\npg_query($q);"},
    {"shared_literal",
     "<?php $q = 'SELECT IFNULL(a, 1) FROM t'; pg_query($q); pg_query($q . ' WHERE b');",
     "<?php $q = 'SELECT COALESCE(a, 1) FROM t'; pg_query($q); pg_query($q . ' WHERE b');"},
    {"date_format",
     "<?php pg_query(\"SELECT DATE_FORMAT(d, '%d.%m.%Y %H:%i'), DATE_FORMAT(NOW(), '%e %M, at "
     "%l%p %%') FROM t WHERE id = $id\");",
     "<?php pg_query(\"SELECT to_char((d)::timestamp, 'DD.MM.YYYY HH24:MI'), "
     "to_char((NOW())::timestamp, 'FMDD FMMonth, \\\"at \\\"FMHH12AM \\\"%\\\"') FROM t WHERE "
     "id = $id\");"},
    {"date_format_codes_kept_apart",
     "<?php pg_query('SELECT DATE_FORMAT(\\'$d\\', \\'%d%j%s%S%y%Y\\')');",
     "<?php pg_query('SELECT to_char((\\'$d\\')::timestamp, "
     "\\'DD\"\"DDDSS\"\"SSYY\"\"YYYY\\')');"},
    {"date_format_of_placeholder", "<?php pg_query(\"SELECT DATE_FORMAT('$d', '%T %r')\");",
     "<?php pg_query(\"SELECT to_char(('$d')::timestamp, 'HH24:MI:SS HH12:MI:SS AM')\");"},
    {"date_format_without_exact_form",
     "<?php pg_query(\"SELECT DATE_FORMAT(d, '%U'), DATE_FORMAT(d, $f), DATE_FORMAT(d, 'a\\\\n') "
     "FROM t\");",
     "<?php pg_query(\"SELECT DATE_FORMAT(d, '%U'), DATE_FORMAT(d, $f), DATE_FORMAT(d, 'a\\\\n') "
     "FROM t\");"},
    {"concat",
     "<?php pg_query(\"SELECT CONCAT(name, ' #', id + 1, $n), CONCAT_WS(',', a, b) FROM t\");",
     "<?php pg_query(\"SELECT ((name)::text || (' #')::text || (id + 1)::text || ($n)::text), "
     "CONCAT_WS(',', a, b) FROM t\");"},
    {"date_parts",
     "<?php pg_query(\"SELECT DAYOFWEEK(d), WEEKDAY(d), DAYOFYEAR(d), SECOND(d), TO_DAYS('$d'), "
     "DATEDIFF(a, b), CURTIME() FROM t\");",
     "<?php pg_query(\"SELECT (EXTRACT(DOW FROM (d)::date)::int + 1), (EXTRACT(ISODOW FROM "
     "(d)::date)::int - 1), EXTRACT(DOY FROM (d)::date)::int, floor(EXTRACT(SECOND FROM "
     "(d)::time))::int, (('$d')::date - DATE '0001-01-01' + 366), ((a)::date - (b)::date), "
     "date_trunc('second', LOCALTIMESTAMP)::time FROM t\");"},
    {"date_parts_of_strings",
     "<?php pg_query(\"SELECT YEAR('$d'), HOUR('10:30:00'), MONTH(d) FROM t\");",
     "<?php pg_query(\"SELECT EXTRACT(YEAR FROM ('$d')::date), EXTRACT(HOUR FROM "
     "('10:30:00')::time), EXTRACT(MONTH FROM d) FROM t\");"},
    {"if_of_a_number_left_alone", "<?php pg_query('SELECT IF(a, 1, 2), IF(a + 1, 1, 2) FROM t');",
     "<?php pg_query('SELECT IF(a, 1, 2), IF(a + 1, 1, 2) FROM t');"},
    {"if_of_conditions",
     "<?php pg_query('SELECT IF(a IS NULL, 1, 2), IF(a IN (1), 1, 2), IF(a <> b AND c, 1, 2) "
     "FROM t');",
     "<?php pg_query('SELECT CASE WHEN a IS NULL THEN 1 ELSE 2 END, CASE WHEN a IN (1) THEN 1 "
     "ELSE 2 END, CASE WHEN a <> b AND c THEN 1 ELSE 2 END FROM t');"},
    {"not_rewritable_left_alone", "<?php pg_query('SELECT * FROM `t` WHERE a REGEXP 1');",
     "<?php pg_query('SELECT * FROM `t` WHERE a REGEXP 1');"},
    // MySQL's time_zone: a zone's name, or an offset read with MySQL's sign.
    {"time_zone",
     "<?php pg_query(\"SET time_zone = '-05:30'\"); pg_query(\"SET SESSION time_zone = "
     "'Europe/Berlin'\"); pg_query(\"SET time_zone = '$tz'\");",
     "<?php pg_query(\"SET TIME ZONE INTERVAL '-05:30' HOUR TO MINUTE\"); pg_query(\"SET SESSION "
     "TIME ZONE 'Europe/Berlin'\"); pg_query(\"SET time_zone = '$tz'\");"},
    // String functions of a number column, or of a whole-number sum of
    // them, read it as text on MySQL.
    {"text_functions_of_numbers",
     "<?php pg_query(\"SELECT LPAD(id, 5, '0'), LEFT(p.user_id, 1), UPPER(title), LEFT(id + 1, "
     "1), LEFT(id + 1.5, 1) FROM posts p\");",
     "<?php pg_query(\"SELECT LPAD(id::text, 5, '0'), LEFT(p.user_id::text, 1), UPPER(title), "
     "LEFT((id + 1)::text, 1), LEFT(id + 1.5, 1) FROM posts p\");"},
    // BINARY compares byte for byte: as text, which a citext column then
    // compares with regard to case.
    {"binary_comparisons",
     "<?php pg_query(\"SELECT a FROM t WHERE b = BINARY '$b' AND BINARY c = 'x' AND BINARY "
     "LOWER(t.d) = 'y' AND CAST(e AS BINARY) = 'z'\");",
     "<?php pg_query(\"SELECT a FROM t WHERE b = '$b'::text AND c::text = 'x' AND LOWER(t.d)::text "
     "= 'y' AND CAST(e AS text) = 'z'\");"},
    // A variable an addslashes() call was assigned to, read only as values
    // quoted in query texts: the escape doubles the quotes instead.
    {"escaped_variable",
     "<?php $n = addslashes($_POST['n']);\nif ($x) { pg_query(\"SELECT a FROM t WHERE b = '$n'\"); "
     "}\n$q = 'SELECT a FROM t WHERE c = \\'' . $n . '\\'';\npg_query($q);",
     "<?php $n = str_replace(\"'\", \"''\", $_POST['n']);\nif ($x) { pg_query(\"SELECT a FROM t "
     "WHERE b = '$n'\"); }\n$q = 'SELECT a FROM t WHERE c = \\'' . $n . '\\'';\npg_query($q);"},
    // Read elsewhere too, or across a function, or assigned again: kept.
    {"escaped_variable_left_alone",
     "<?php $n = addslashes($x); echo $n; pg_query(\"SELECT a FROM t WHERE b = '$n'\");\n"
     "$m = addslashes($x); function f($m) { pg_query(\"SELECT a FROM t WHERE b = '$m'\"); }\n"
     "$k = addslashes($x); $k = $y; pg_query(\"SELECT a FROM t WHERE b = '$k'\");",
     "<?php $n = addslashes($x); echo $n; pg_query(\"SELECT a FROM t WHERE b = '$n'\");\n"
     "$m = addslashes($x); function f($m) { pg_query(\"SELECT a FROM t WHERE b = '$m'\"); }\n"
     "$k = addslashes($x); $k = $y; pg_query(\"SELECT a FROM t WHERE b = '$k'\");"},
    // Multi-table UPDATE and DELETE: the joined tables move to FROM or
    // USING, their ON conditions to WHERE; PHP values stay where they are.
    {"update_join",
     "<?php pg_query(\"UPDATE users u JOIN groups g ON g.id = u.gid SET u.level = g.level, u.n = "
     "'$n' WHERE g.id = $id\");",
     "<?php pg_query(\"UPDATE users u SET level = g.level, n = '$n' FROM groups g WHERE (g.id = "
     "u.gid) AND (g.id = $id)\");"},
    {"update_of_listed_tables", "<?php pg_query('UPDATE a, b SET a.x = b.y WHERE a.id = b.id');",
     "<?php pg_query('UPDATE a SET x = b.y FROM b WHERE a.id = b.id');"},
    {"update_of_two_joins_without_where",
     "<?php pg_query('UPDATE a INNER JOIN b ON b.id = a.b JOIN c AS k ON k.id = b.c SET x = 1;');",
     "<?php pg_query('UPDATE a SET x = 1 FROM b, c AS k WHERE (b.id = a.b) AND (k.id = b.c);');"},
    {"update_join_of_a_reserved_name",
     "<?php pg_query('UPDATE t JOIN user ON user.id = t.u SET t.a = 1');",
     "<?php pg_query('UPDATE t SET a = 1 FROM \"user\" WHERE (\"user\".id = t.u)');"},
    {"delete_join",
     "<?php pg_query(\"DELETE m FROM members AS m JOIN teams t ON t.id = m.team WHERE t.name = "
     "'$n'\");",
     "<?php pg_query(\"DELETE FROM members AS m USING teams t WHERE (t.id = m.team) AND (t.name = "
     "'$n')\");"},
    {"delete_of_listed_tables", "<?php pg_query('DELETE a.* FROM a, b WHERE a.id = b.id');",
     "<?php pg_query('DELETE FROM a USING b WHERE a.id = b.id');"},
    {"delete_named_by_alias", "<?php pg_query('DELETE x FROM log x WHERE x.id = 1');",
     "<?php pg_query('DELETE FROM log x WHERE x.id = 1');"},
    // One table's SET may name it or its alias; PostgreSQL reads t.c as a
    // field of a column t. A name the schema has not stays reported.
    {"update_of_a_qualified_column",
     "<?php pg_query(\"UPDATE posts p SET p.title = '$t', p.user_id = p.user_id + 1 WHERE p.id = "
     "1\"); pg_query('UPDATE users SET users.name = 1'); pg_query('UPDATE users u SET users.name "
     "= 1, u.nick = 2');",
     "<?php pg_query(\"UPDATE posts p SET title = '$t', user_id = p.user_id + 1 WHERE p.id = "
     "1\"); pg_query('UPDATE users SET name = 1'); pg_query('UPDATE users u SET users.name "
     "= 1, u.nick = 2');"},
    // A DELETE whose joins cannot move deletes by row ids, its list and
    // conditions left in place.
    {"delete_by_row_ids",
     "<?php pg_query('DELETE a FROM a LEFT JOIN b ON b.id = a.b WHERE b.id IS NULL'); "
     "pg_query(\"DELETE y FROM a x JOIN b AS y ON y.id = $id;\");",
     "<?php pg_query('DELETE FROM a WHERE ctid IN (SELECT a.ctid FROM a LEFT JOIN b ON b.id = "
     "a.b WHERE b.id IS NULL)'); pg_query(\"DELETE FROM b AS y WHERE ctid IN (SELECT y.ctid FROM "
     "a x JOIN b AS y ON y.id = $id);\");"},
    // An UPDATE with an outer join updates by row ids, SET moved before.
    {"update_by_row_ids",
     "<?php pg_query(\"UPDATE a LEFT JOIN b ON b.id = a.b SET a.x = '$x' WHERE b.id IS NULL\"); "
     "pg_query('UPDATE a x LEFT OUTER JOIN b ON b.id = x.b SET x.y = 1');",
     "<?php pg_query(\"UPDATE a SET x = '$x' WHERE ctid IN (SELECT a.ctid FROM a LEFT JOIN b ON "
     "b.id = a.b WHERE b.id IS NULL)\"); pg_query('UPDATE a x SET y = 1 WHERE ctid IN (SELECT "
     "x.ctid FROM a x LEFT OUTER JOIN b ON b.id = x.b)');"},
    // An UPDATE that writes or reads another table's column beside an
    // outer join, whose PHP value would move, or of another table's column;
    // a DELETE of two tables: left for the hint.
    {"multi_table_left_alone",
     "<?php pg_query('UPDATE a LEFT JOIN b ON b.id = a.b SET a.x = b.y'); "
     "pg_query('UPDATE a JOIN b ON b.id = a.b SET b.x = 1'); pg_query(\"UPDATE a JOIN b ON b.id = "
     "$id SET x = 1\"); pg_query('DELETE a, b FROM a JOIN b ON b.id = a.b');",
     "<?php pg_query('UPDATE a LEFT JOIN b ON b.id = a.b SET a.x = b.y'); "
     "pg_query('UPDATE a JOIN b ON b.id = a.b SET b.x = 1'); pg_query(\"UPDATE a JOIN b ON b.id = "
     "$id SET x = 1\"); pg_query('DELETE a, b FROM a JOIN b ON b.id = a.b');"},
};

// A rewrite that makes a text parse leaves what PostgreSQL then misreads
// reported.
TEST(SqlRewrites, UpdateIgnoreStaysReportedAfterItsLimitIsRewritten) {
  const std::string php = "<?php pg_query(\"UPDATE IGNORE t SET a = 1 LIMIT 1\");";
  std::vector<sql_finding> findings =
      without_case_notes(check_php_queries(php, query_options{true, nullptr}));
  ASSERT_EQ(findings.size(), 1u);
  EXPECT_EQ(findings[0].rule, rule_sql_mysql) << findings[0].message;
}

INSTANTIATE_TEST_SUITE_P(Php, SqlRewrites, testing::ValuesIn(rewrite_cases),
                         [](const testing::TestParamInfo<rewrite_case>& info) {
                           return info.param.name;
                         });

// A PHP value quoted for a number column becomes the number MySQL stored,
// however the value was put into the text; where that cannot be written
// for certain (or without rewrites) it is reported at the value.
struct coercion_case {
  const char* name;
  std::string php;
  std::string rewritten;  // the PHP text after the rewrites; empty: reported, not rewritten
  std::string at = "$";   // the PHP text at the finding starts with this
};

void PrintTo(const coercion_case& c, std::ostream* out) { *out << c.name; }

class SqlQuotedNumbers : public testing::TestWithParam<coercion_case> {};

TEST_P(SqlQuotedNumbers, BecomeWhatMysqlStored) {
  const coercion_case& c = GetParam();
  schema_model schema = test_schema();
  query_report report = check_php_queries(c.php, query_options{true, &schema});
  std::string rewritten = applied(c.php, report.edits);
  query_report unconverted = check_php_queries(c.php, query_options{false, &schema});
  ASSERT_EQ(unconverted.findings.size(), 1u) << c.php;
  EXPECT_EQ(unconverted.findings[0].rule, rule_sql_schema);
  EXPECT_EQ(c.php.substr(unconverted.findings[0].offset, c.at.size()), c.at)
      << unconverted.findings[0].message;
  if (c.rewritten.empty()) {
    EXPECT_EQ(rewritten, c.php);
    ASSERT_EQ(report.findings.size(), 1u);
    EXPECT_EQ(report.findings[0].offset, unconverted.findings[0].offset);
    return;
  }
  EXPECT_EQ(rewritten, c.rewritten);
  EXPECT_TRUE(report.findings.empty()) << report.findings[0].message;
  EXPECT_TRUE(check_php_queries(rewritten, query_options{false, &schema}).findings.empty());
}

const coercion_case coercion_cases[] = {
    {"insert_by_column_list", "<?php pg_query(\"INSERT INTO scores (points) VALUES ('$p')\");",
     "<?php pg_query(\"INSERT INTO scores (points) VALUES ('\" . intval($p) . \"')\");"},
    {"insert_by_column_order",
     "<?php pg_query(\"INSERT INTO scores VALUES (DEFAULT, '{$row['p']}', 1.5, '$n')\");",
     "<?php pg_query(\"INSERT INTO scores VALUES (DEFAULT, '\" . intval($row['p']) . \"', 1.5, "
     "'$n')\");",
     "{$row"},
    {"update_of_a_property", "<?php pg_query(\"UPDATE scores SET points = '$o->p' WHERE id = 1\");",
     "<?php pg_query(\"UPDATE scores SET points = '\" . intval($o->p) . \"' WHERE id = 1\");"},
    {"compared_with_a_simple_array_key",
     "<?php pg_query(\"SELECT * FROM scores s WHERE s.id = '$_GET[id]'\");",
     "<?php pg_query(\"SELECT * FROM scores s WHERE s.id = '\" . intval($_GET['id']) . \"'\");"},
    {"octal_looking_key_is_a_string_key",
     "<?php pg_query(\"UPDATE scores SET points = '$a[01]' WHERE id = 1\");",
     "<?php pg_query(\"UPDATE scores SET points = '\" . intval($a['01']) . \"' WHERE id = 1\");"},
    {"minus_zero_key_is_a_string_key",
     "<?php pg_query(\"DELETE FROM scores WHERE id = '$a[-0]'\");",
     "<?php pg_query(\"DELETE FROM scores WHERE id = '\" . intval($a['-0']) . \"'\");"},
    {"concatenated", "<?php pg_query('DELETE FROM scores WHERE \\'' . $id . '\\' = id');",
     "<?php pg_query('DELETE FROM scores WHERE \\'' . intval($id) . '\\' = id');"},
    {"sprintf_argument",
     "<?php pg_query(sprintf(\"UPDATE scores SET rate = '%s' WHERE note = '%s'\", $r, $n));",
     "<?php pg_query(sprintf(\"UPDATE scores SET rate = '%s' WHERE note = '%s'\", floatval($r), "
     "$n));"},
    {"variable_assigned_before",
     "<?php $q = \"UPDATE scores SET points = '$p'\"; pg_query($q); pg_query($q . ' WHERE id = "
     "2');",
     "<?php $q = \"UPDATE scores SET points = '\" . intval($p) . \"'\"; pg_query($q); pg_query($q "
     ". "
     "' WHERE id = 2');"},
    {"heredoc", "<?php pg_query(<<<SQL\nUPDATE scores SET points = '$p'\nSQL);", ""},
    {"spread_sprintf", "<?php pg_query(vsprintf(\"UPDATE scores SET points = '%s'\", $a));", "",
     "vsprintf"},
    {"variable_variable", "<?php pg_query(\"UPDATE scores SET points = '${p}'\");", ""},
    {"auto_increment_column_of_an_insert",
     "<?php pg_query(\"INSERT INTO scores (id, points) VALUES ('$id', 1)\");", ""},
    {"spread_arguments", "<?php pg_query(sprintf(\"UPDATE scores SET points = '%s'\", ...$a));", "",
     "..."},
    {"named_argument", "<?php pg_query(sprintf(\"UPDATE scores SET points = '%s'\", values: $a));",
     "", "values"},
};

INSTANTIATE_TEST_SUITE_P(Php, SqlQuotedNumbers, testing::ValuesIn(coercion_cases),
                         [](const testing::TestParamInfo<coercion_case>& info) {
                           return info.param.name;
                         });

TEST(SqlQuotedNumbers, OnlyWholeValuesOfKnownNumberColumns) {
  schema_model schema = test_schema();
  const std::string php =
      "<?php pg_query(\"UPDATE scores SET note = '$n', points = '$a$b', rate = '1$c' WHERE "
      "points = $p AND id IN ('$i') AND '$x' = '$y'\");\n"
      "pg_query(\"SELECT * FROM scores, generate_series(1, 2) g WHERE id = '$u'\");\n"
      "pg_query(\"SELECT * FROM scores JOIN posts ON posts.id = scores.id WHERE id = '$v'\");\n"
      "pg_query(sprintf(\"SELECT * FROM scores WHERE id = '%d' OR id = '%s'\", $d, (int) $s));";
  query_report report = check_php_queries(php, query_options{true, &schema});
  EXPECT_EQ(applied(php, report.edits), php);
  EXPECT_TRUE(report.findings.empty()) << report.findings[0].message;
}

// A UNION of thousands of SELECTs nests as deep in the parse tree: the
// walk over its names stops at a depth, as the other walks do.
TEST(SqlSchemaNames, ThousandsOfUnionsAreWalkedWithinADepth) {
  schema_model schema = test_schema();
  std::string sql = "SELECT id FROM users";
  for (int i = 0; i < 60000; ++i) sql += " UNION SELECT 1";
  query_report report = check_sql_text(sql, query_options{false, &schema});
  EXPECT_EQ(report.texts_parsed, 1u);
}

// A value that several texts share is converted only when every text
// wants the same conversion of it; otherwise it keeps its bytes, reported.
TEST(SqlQuotedNumbers, SharedValueConvertedOnlyWhereEveryTextAgrees) {
  schema_model schema = test_schema();
  const std::pair<const char*, const char*> column_pairs[] = {
      {"points", "note"}, {"note", "points"}, {"points", "rate"}, {"rate", "points"}};
  for (const auto& [first, second] : column_pairs) {
    const std::string php = std::string("<?php $v = \" = '$x'\";\npg_query('UPDATE scores SET ") +
                            first + "' . $v);\npg_query('UPDATE scores SET " + second + "' . $v);";
    query_report report = check_php_queries(php, query_options{true, &schema});
    EXPECT_EQ(applied(php, report.edits), php);
    ASSERT_EQ(report.findings.size(), 1u) << php;
    EXPECT_EQ(php.substr(report.findings[0].offset, 3), "$x'") << php;
  }
}

// The texts a database is asked to prepare: as rewritten, values as
// parameters (a value that is a column list in truth has a type the
// database cannot tell, which is no finding); none where a PHP value must
// stand for a name or more, nor DDL, nor several statements.
TEST(SqlAgainst, TextsAreSentWithTheirValuesAsParameters) {
  std::vector<std::string> sent;
  server_verdict verdict{"42703", "column \"zz\" does not exist"};
  statement_judge judge = [&](const std::string& sql) {
    sent.push_back(sql);
    return verdict;
  };
  query_options options;
  options.rewrite = true;
  options.against = &judge;
  const std::string php =
      "<?php pg_query(\"SELECT * FROM t WHERE a = $a AND b = '$b' AND c LIKE '%$c%' LIMIT 1, "
      "2\");\n"
      "pg_query(\"SELECT $cols FROM t\"); pg_query(\"SELECT * FROM {$p}t\");\n"
      "pg_query(\"SELECT * FROM t WHERE a IN ($list)\"); pg_query('CREATE TABLE x (a int)');\n"
      "pg_query('SELECT 1; SELECT 2'); pg_query('SELECT IFNULL(a, 1) FROM t -- ' . $c);";
  std::vector<sql_finding> findings = without_case_notes(check_php_queries(php, options));
  EXPECT_EQ(sent, (std::vector<std::string>{
                      "SELECT * FROM t WHERE a = $1 AND b = $2 AND c LIKE '%x%' LIMIT 2 OFFSET 1",
                      "SELECT $1 FROM t", "SELECT * FROM t WHERE a IN ($1)",
                      "SELECT COALESCE(a, 1) FROM t -- x"}));
  ASSERT_EQ(findings.size(), 4u);
  EXPECT_EQ(findings[0].rule, rule_sql_schema);
  EXPECT_EQ(php.substr(findings[0].offset, 7), "SELECT ");
  EXPECT_NE(findings[3].message.find("column \"zz\" does not exist"), std::string::npos);

  verdict = {"42P18", "could not determine data type of parameter $1"};
  EXPECT_TRUE(without_case_notes(check_php_queries(php, options)).empty());
}

// A refusal stands at the character the database names, led back through
// parameters, rewrites and multibyte characters to the PHP source; at a
// parameter, at its PHP expression; with no place (or none in the text), at
// the text's start.
struct refusal_place_case {
  const char* name;
  std::string php;
  std::string named;     // what the refusal's character begins in the sent text
  std::string expected;  // what the finding's offset begins in the PHP source
};

constexpr const char* no_place = "";
constexpr const char* past_the_end = "\x01";

// The 1-based character the database gives for `named`: UTF-8 characters
// are counted; a position past the text's end when `named` is not in it.
std::uint64_t character_of(const std::string& sql, const std::string& named) {
  if (named.empty()) return 0;
  std::size_t byte = std::min(sql.find(named), sql.size());
  std::uint64_t characters = byte < sql.size() ? 1 : 2;  // one past the end
  for (std::size_t i = 0; i < byte; ++i) {
    if ((static_cast<unsigned char>(sql[i]) & 0xC0) != 0x80) ++characters;
  }
  return characters;
}

class SqlAgainstPlace : public testing::TestWithParam<refusal_place_case> {};

TEST_P(SqlAgainstPlace, FindingStandsWhereTheDatabaseSays) {
  const refusal_place_case& c = GetParam();
  std::string sent;
  statement_judge judge = [&](const std::string& sql) {
    sent = sql;
    return server_verdict{"42703", "column \"zz\" does not exist", character_of(sql, c.named)};
  };
  query_options options;
  options.rewrite = true;
  options.against = &judge;
  std::vector<sql_finding> findings = without_case_notes(check_php_queries(c.php, options));
  ASSERT_EQ(findings.size(), 1u) << sent;
  EXPECT_EQ(c.php.substr(findings[0].offset, c.expected.size()), c.expected) << sent;
}

const refusal_place_case refusal_place_cases[] = {
    {"plain", "<?php pg_query('SELECT a, zz FROM t');", "zz", "zz FROM"},
    {"after_quoted_value", "<?php pg_query(\"SELECT * FROM t WHERE a = '$name' AND zz = 1\");",
     "zz", "zz = 1"},
    {"after_value_in_code", "<?php pg_query(\"SELECT * FROM t WHERE a = $id AND zz = 1\");", "zz",
     "zz = 1"},
    {"after_concatenated_value",
     "<?php pg_query('SELECT * FROM t WHERE a = ' . $a . ' AND zz = 1');", "zz", "zz = 1"},
    {"in_a_parameter", "<?php pg_query(\"SELECT * FROM t WHERE a = '$name' AND b = $n\");", "$2",
     "$n\""},
    {"in_a_quoted_parameter", "<?php pg_query(\"SELECT * FROM t WHERE a = '$name'\");", "$1",
     "$name'"},
    {"after_multibyte", "<?php pg_query(\"SELECT 'ünï — 😀' AS ü, zz FROM t\");", "zz", "zz FROM"},
    {"after_backquotes", "<?php pg_query('SELECT `a`, zz FROM `t`');", "zz", "zz FROM"},
    {"after_a_longer_rewrite", "<?php pg_query('SELECT IFNULL(a, 1), zz FROM t');", "zz",
     "zz FROM"},
    {"in_a_rewrite", "<?php pg_query('SELECT IFNULL(a, 1) FROM t');", "COALESCE", "IFNULL"},
    {"no_place", "<?php pg_query('SELECT a, zz FROM t');", no_place, "SELECT"},
    {"past_the_end", "<?php pg_query('SELECT a, zz FROM t');", past_the_end, "SELECT"},
};

INSTANTIATE_TEST_SUITE_P(Php, SqlAgainstPlace, testing::ValuesIn(refusal_place_cases),
                         [](const testing::TestParamInfo<refusal_place_case>& info) {
                           return info.param.name;
                         });

// With no schema known, each column compared with text is noted at the
// column: MySQL compared it without regard to case.
struct case_case {
  const char* name;
  std::string php;
  std::string at;  // the PHP text at the note starts with this; empty: no note
  std::string column;
  bool rewrite = false;
};

void PrintTo(const case_case& c, std::ostream* out) { *out << c.name; }

class SqlTextComparisons : public testing::TestWithParam<case_case> {};

TEST_P(SqlTextComparisons, AreNotedAtTheColumnWithoutASchema) {
  const case_case& c = GetParam();
  const schema_model empty;
  for (const schema_model* unknown : {static_cast<const schema_model*>(nullptr), &empty}) {
    std::vector<sql_finding> notes =
        case_notes(check_php_queries(c.php, query_options{c.rewrite, unknown}));
    if (c.at.empty()) {
      EXPECT_TRUE(notes.empty()) << notes[0].message;
      continue;
    }
    ASSERT_EQ(notes.size(), 1u) << c.php;
    EXPECT_EQ(c.php.substr(notes[0].offset, c.at.size()), c.at) << notes[0].message;
    EXPECT_NE(notes[0].message.find("MySQL compared \"" + c.column + "\" with this text"),
              std::string::npos)
        << notes[0].message;
  }
  schema_model schema = test_schema();
  EXPECT_TRUE(case_notes(check_php_queries(c.php, query_options{c.rewrite, &schema})).empty());
}

const case_case case_cases[] = {
    {"equals", "<?php pg_query(\"SELECT * FROM users WHERE name = 'bob'\");", "name = ", "name"},
    {"like_with_a_value", "<?php pg_query(\"SELECT * FROM users u WHERE u.name LIKE '%$q%'\");",
     "u.name", "name"},
    {"not_like_on_the_right", "<?php pg_query(\"SELECT * FROM t WHERE 'x%' NOT LIKE a\");", "a\"",
     "a"},
    {"in_list", "<?php pg_query(\"SELECT * FROM users WHERE name IN ('a', 'b')\");", "name IN",
     "name"},
    {"not_in_a_subquery_of_an_update",
     "<?php pg_query(\"UPDATE t SET a = 1 WHERE b IN (SELECT c FROM u WHERE d NOT IN ('x'))\");",
     "d NOT", "d"},
    {"bang_equals", "<?php pg_query('SELECT 1 FROM t WHERE k != \\'No\\'');", "k !=", "k"},
    {"quoted_php_value", "<?php pg_query(sprintf(\"DELETE FROM t WHERE f = '%s'\", $f));",
     "f =", "f"},
    {"double_quoted_value_rewritten",
     "<?php pg_query(\"SELECT * FROM t WHERE name <> \\\"$x\\\"\");", "name <>", "name", true},
    {"double_quoted_value_reported",
     "<?php pg_query(\"SELECT * FROM t WHERE name <> \\\"$x\\\"\");", "name <>", "name"},
    {"like_with_escape", "<?php pg_query(\"SELECT * FROM t WHERE a LIKE 'x!%%' ESCAPE '!'\");",
     "a LIKE", "a"},
    {"number", "<?php pg_query('SELECT * FROM t WHERE id = 5');", "", ""},
    {"name_with_a_php_value", "<?php pg_query(\"SELECT * FROM t WHERE c_$l = 'x'\");", "", ""},
    {"number_in_quotes", "<?php pg_query(\"SELECT * FROM t WHERE id = '5' OR id IN ('6')\");", "",
     ""},
    {"dates", "<?php pg_query(\"SELECT * FROM t WHERE d > '2020-01-01' OR d = '1:2:3.5'\");", "",
     ""},
    {"empty_text", "<?php pg_query(\"SELECT * FROM t WHERE a <> ''\");", "", ""},
    {"columns", "<?php pg_query('SELECT * FROM t JOIN u ON t.a = u.b WHERE a LIKE b');", "", ""},
    {"null", "<?php pg_query('SELECT * FROM t WHERE name IS NULL OR name = NULL');", "", ""},
    {"ilike", "<?php pg_query(\"SELECT * FROM t WHERE name ILIKE '%$q%'\");", "", ""},
    {"php_value_unquoted", "<?php pg_query(\"SELECT * FROM t WHERE name = $n\");", "", ""},
    {"lower_of_both", "<?php pg_query(\"SELECT * FROM t WHERE lower(a) = lower('$a')\");", "", ""},
    {"other_operators", "<?php pg_query(\"SELECT * FROM t WHERE a < 'm' OR a || 'x' = b\");", "",
     ""},
    {"ddl", "<?php pg_query(\"CREATE TABLE t (a text CHECK (a <> 'x'))\");", "", ""},
};

INSTANTIATE_TEST_SUITE_P(Php, SqlTextComparisons, testing::ValuesIn(case_cases),
                         [](const testing::TestParamInfo<case_case>& info) {
                           return info.param.name;
                         });

// A note stands only where no other finding does, and once however many
// texts share its place.
TEST(SqlTextComparisons, YieldToOtherFindingsAtTheirPlace) {
  statement_judge judge = [](const std::string&) {
    return server_verdict{"42703", "column \"nme\" does not exist", 23};
  };
  query_options options;
  options.against = &judge;
  const std::string php = "<?php pg_query(\"SELECT * FROM t WHERE nme = 'bob'\");";
  query_report report = check_php_queries(php, options);
  ASSERT_EQ(report.findings.size(), 1u);
  EXPECT_EQ(report.findings[0].rule, rule_sql_schema);
  EXPECT_EQ(php.substr(report.findings[0].offset, 3), "nme");

  const std::string shared =
      "<?php $w = \"name = 'bob'\";\n"
      "pg_query('SELECT * FROM t WHERE ' . $w); pg_query('DELETE FROM t WHERE ' . $w);";
  report = check_php_queries(shared, {});
  EXPECT_EQ(report.texts_found, 2u);
  EXPECT_EQ(report.findings.size(), 1u);
}

TEST(SqlRewrites, NeedsAreReported) {
  query_report report =
      check_php_queries("<?php pg_query('SELECT SHA1(a) FROM t');", {true, nullptr});
  EXPECT_EQ(report.extensions, std::set<std::string>{"pgcrypto"});
  EXPECT_TRUE(report.findings.empty());
}

TEST(SqlRewrites, WhatIsNotRewrittenIsReported) {
  query_report report = check_php_queries(
      "<?php pg_query('SELECT IFNULL(a, 1), DATE_FORMAT(d, 1) FROM t');", {true, nullptr});
  ASSERT_EQ(report.findings.size(), 1u);
  EXPECT_NE(report.findings[0].message.find("DATE_FORMAT"), std::string::npos);
  EXPECT_EQ(report.texts_rewritten, 1u);
}

// A stand-in for the .sql converter: a CREATE TABLE of `ok` becomes a table
// and an index; any other is refused.
ddl_conversion fake_ddl_conversion(std::string_view statement) {
  if (statement.find("`ok`") == std::string_view::npos) return {false, {}, "it is odd", {}};
  return {true,
          "CREATE TABLE ok (\n  a text DEFAULT 'x'\n);\nCREATE INDEX ok_a ON ok (a);\n",
          {},
          {"a warning"}};
}

struct ddl_case {
  const char* php;
  const char* rewritten;  // the PHP text after the rewrites
  const char* finding;    // a part of the one finding, or empty for none
};

TEST(SqlDdlTexts, AreConvertedWholeOrNamed) {
  const ddl_case cases[] = {
      {"<?php pg_query('CREATE TABLE `ok` (a text) ENGINE=MyISAM');",
       "<?php pg_query('CREATE TABLE ok (\n  a text DEFAULT \\'x\\'\n);\nCREATE INDEX ok_a ON ok "
       "(a)');",
       "CREATE TABLE `ok`: a warning"},
      {"<?php pg_query(\"create table if not exists `ok` (a text);\");",
       "<?php pg_query(\"CREATE TABLE ok (\n  a text DEFAULT 'x'\n);\nCREATE INDEX ok_a ON ok "
       "(a);\");",
       "create table if not exists `ok`: a warning"},
      {"<?php pg_query(\"CREATE TABLE {$p}ok (a text) ENGINE=MyISAM\");",
       "<?php pg_query(\"CREATE TABLE {$p}ok (a text) ENGINE=MyISAM\");",
       "CREATE TABLE {...}ok holds PHP values"},
      {"<?php pg_query_params('CREATE TABLE `ok` (a text)', array());",
       "<?php pg_query_params('CREATE TABLE ok (a text)', array());", "becomes 2 statements"},
      {"<?php pg_query('CREATE TABLE `ok` ' . '(a text)');",
       "<?php pg_query('CREATE TABLE ok ' . '(a text)');", "cannot take the converted text"},
      {"<?php pg_query('ALTER TABLE `t` ADD b int(11) unsigned');",
       "<?php pg_query('ALTER TABLE `t` ADD b int(11) unsigned');",
       "ALTER TABLE `t` not converted: it is odd"},
      {"<?php\n$q = <<<SQL\nCREATE TABLE `ok` (a text)\nSQL;\npg_query($q);",
       "<?php\n$q = <<<SQL\nCREATE TABLE ok (   a text DEFAULT 'x' ); CREATE INDEX ok_a ON ok "
       "(a)\nSQL;\npg_query($q);",
       "a warning"},
      {"<?php pg_query('SELECT `a` FROM `ok`');", "<?php pg_query('SELECT a FROM ok');", ""},
  };
  for (const ddl_case& c : cases) {
    query_options options{true, nullptr, nullptr, fake_ddl_conversion};
    query_report report = check_php_queries(c.php, options);
    EXPECT_EQ(applied(c.php, report.edits), c.rewritten);
    bool expects_finding = c.finding[0] != '\0';
    EXPECT_EQ(!report.findings.empty(), expects_finding) << c.php;
    if (!report.findings.empty() && expects_finding) {
      EXPECT_NE(report.findings[0].message.find(c.finding), std::string::npos)
          << c.php << ": " << report.findings[0].message;
    }
  }
}

TEST(SqlText, OffsetsAreInTheText) {
  const std::string sql = "SELECT * FROM `t` LIMIT 1, 2";
  query_report report = check_sql_text(sql, {});
  ASSERT_EQ(report.findings.size(), 1u);
  EXPECT_EQ(report.findings[0].offset, sql.find('`'));
  query_report rewritten = check_sql_text(sql, {true, nullptr});
  EXPECT_EQ(applied(sql, rewritten.edits), "SELECT * FROM t LIMIT 2 OFFSET 1");
}

TEST(SqlBadInput, IsAFindingOrANoteNeverACrash) {
  std::string huge = "<?php pg_query('SELECT " + std::string(2 << 20, '1') + "');";
  query_report report = check_php_queries(huge, {});
  ASSERT_EQ(report.findings.size(), 1u);
  EXPECT_EQ(report.findings[0].rule, rule_sql_unchecked);

  std::string binary = "<?php pg_query(\"SELECT '\xff\xfe' \x01 \x80 FROM `t\");";
  report = check_php_queries(binary, {true, nullptr});
  EXPECT_EQ(report.texts_found, 1u);

  // Every placeholder needs another stand-in than the first: the budget of
  // parses ends the search.
  std::string many = "<?php pg_query(\"SELECT * FROM t";
  for (int i = 0; i < 3000; ++i) many += " $w" + std::to_string(i);
  many += "\");";
  report = check_php_queries(many, {true, nullptr});
  EXPECT_EQ(report.texts_found, 1u);
}

TEST(SqlBadInput, ManyRewritesInOneTextStayLinear) {
  std::string php = "<?php pg_query('SELECT `c0`";
  for (int i = 1; i < 20000; ++i) php += ", IFNULL(`c" + std::to_string(i) + "`, 0)";
  php += " FROM `t`');";
  query_report report = check_php_queries(php, {true, nullptr});
  EXPECT_EQ(report.texts_rewritten, 1u);
  EXPECT_EQ(report.edits.size(), 20000u + 19999u + 1u);
}

TEST(SqlBadInput, ManyBlocksAndVariablesStayLinear) {
  std::string php = "<?php\n";
  for (int i = 0; i < 20000; ++i)
    php += "$v" + std::to_string(i) + " = 'SELECT " + std::to_string(i) + "';\n";
  for (int i = 0; i < 20000; ++i) php += "if ($x) { $w = 'SELECT 1'; }\n";
  php += "pg_query($v7);";
  query_report report = check_php_queries(php, {});
  EXPECT_EQ(report.texts_found, 1u);
}

// The tables a file's own query texts create, by name; none where a PHP
// value takes part in the name or the words are not a CREATE TABLE.
TEST(CreatedTables, AreNamedWhereCertain) {
  struct created_case {
    const char* php;
    std::set<std::string> names;
  };
  const created_case cases[] = {
      {"<?php q('CREATE TABLE users (id int)');", {"users"}},
      {"<?php q(\"create temporary table `Tmp_Ids`(id int)\");", {"tmp_ids"}},
      {"<?php q('CREATE TEMP TABLE IF NOT EXISTS shop.`orders` (id int)');", {"orders"}},
      {"<?php q(<<<SQL\nCREATE TABLE\n  log (id int)\nSQL\n);", {"log"}},
      {"<?php q(\"CREATE TABLE {$prefix}users (id int)\"); q(\"CREATE TABLE log_$y (a int)\");",
       {}},
      {"<?php q(\"CREATE TABLE `t$x` (a int)\"); q('CREATE TABLE IF EXISTS x');", {}},
      {"<?php // CREATE TABLE in_a_comment (a int)\n$recreate = 'RECREATE TABLES now';", {}},
      {"<?php q('CREATE INDEX i ON t (a)'); q('CREATE TABLESPACE s');", {}},
      {"<?php q('CREATE TABLE `unclosed (a int)');", {}},
  };
  for (const created_case& c : cases) {
    std::set<std::string> names;
    gather_created_tables(c.php, names);
    EXPECT_EQ(names, c.names) << c.php;
  }
}

}  // namespace
}  // namespace corvexa::sql
