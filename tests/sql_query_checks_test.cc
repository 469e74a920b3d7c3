// The SQL checks of PHP files: which findings a query text gets and where
// they point, and what the rewrites make of the PHP text. Each rewritten
// file is checked again, and must then have no rejected text.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "sql/query_checks.h"

namespace corvexa::sql {
namespace {

schema_model test_schema() {
  schema_model schema;
  table_model users;
  users.name = "users";
  users.columns = {{"id", "integer", true, true}, {"name", "text", false, false}};
  schema.add(users);
  return schema;
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
    {"insert_set", "<?php pg_query(\"INSERT INTO t SET a = 1\");", rule_sql_syntax, "SET",
     "INSERT ... SET"},
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
  EXPECT_TRUE(report.findings.empty()) << report.findings[0].message;
}

TEST(SqlFindings, OneFindingPerPlace) {
  const std::string php = "<?php $q = 'SELECT IFNULL(a, 1) FROM t'; pg_query($q); pg_query($q);";
  query_report report = check_php_queries(php, {});
  EXPECT_EQ(report.texts_found, 2u);
  EXPECT_EQ(report.findings.size(), 1u);
}

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
     "floor(EXTRACT(EPOCH FROM now()))::bigint, floor(EXTRACT(EPOCH FROM c))::bigint, lastval(), "
     "to_timestamp(d)::timestamp, CURRENT_DATE, position('x' IN e), EXTRACT(YEAR FROM f) FROM "
     "t\");"},
    {"group_concat_and_sha1",
     "<?php pg_query('SELECT GROUP_CONCAT(name), SHA1(name) FROM t GROUP BY k');",
     "<?php pg_query('SELECT string_agg((name)::text, \\',\\'), encode(digest(name, \\'sha1\\'), "
     "\\'hex\\') "
     "FROM t GROUP BY k');"},
    {"null_into_identity", "<?php pg_query(\"INSERT INTO users VALUES (NULL, '$n')\");",
     "<?php pg_query(\"INSERT INTO users VALUES (DEFAULT, '$n')\");"},
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
    {"not_rewritable_left_alone", "<?php pg_query('SELECT * FROM `t` WHERE a REGEXP 1');",
     "<?php pg_query('SELECT * FROM `t` WHERE a REGEXP 1');"},
};

INSTANTIATE_TEST_SUITE_P(Php, SqlRewrites, testing::ValuesIn(rewrite_cases),
                         [](const testing::TestParamInfo<rewrite_case>& info) {
                           return info.param.name;
                         });

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

}  // namespace
}  // namespace corvexa::sql
