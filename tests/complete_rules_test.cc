// The complete rules: what each kind of call and each place a name can
// stand in becomes, which findings they give, that every row's template is
// whole and documented, and that a file PHP parses still parses after the
// port. What the converted code does is proven on PHP and PostgreSQL by
// tests/postgres/run_every_call.sh.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "report/located_findings.h"
#include "translate/complete_calls.h"
#include "translate/complete_template.h"
#include "tree/php_conversion.h"

namespace corvexa {
namespace {

const call_table& complete_table() {
  static const call_table table = make_complete_call_table({"shop"});
  return table;
}

struct ported {
  std::string output;
  std::vector<std::string> findings;  // "rule line:column"
};

ported port(const std::string& input) {
  converted_text converted;
  convert_text(input, complete_table(), rule_set::complete, converted);
  ported result{converted.output, {}};
  for (const finding& f :
       locate_findings(converted.log, input, converted.output, {"shop", complete_table(), false})) {
    result.findings.push_back(std::string(f.rule) + " " + std::to_string(f.source.line) + ":" +
                              std::to_string(f.source.column));
  }
  return result;
}

const std::string query = "($GLOBALS['pg_last_result'] = @pg_query(";
const std::string link = "$GLOBALS['pg_last_link']";

struct port_case {
  const char* name;
  std::string input;
  std::string output;
  std::vector<std::string> findings = {};
};

TEST(CompleteRules, ConvertWhatPhpCallsAndNothingElse) {
  const port_case cases[] = {
      {"a call inside a call", "<?php $n = mysql_num_rows(mysql_query($q));",
       "<?php $n = pg_num_rows(" + query + link + ", $q)));"},
      {"whitespace, comments and commas inside brackets stay",
       "<?php mysql_query( f($a, [1, 2]) /* why */ , $db );",
       "<?php " + query + "$db, f($a, [1, 2]) /* why */));"},
      {"the link keeps its place when named", "<?php mysql_real_escape_string($s, $db);",
       "<?php pg_escape_string($db, $s);"},
      {"any letter case, and the other names of a row", "<?php MySQL_NumRows($r);",
       "<?php pg_num_rows($r);"},
      {"constants wherever they stand", "<?php $m = MYSQL_NUM; f(MYSQL_ASSOC);",
       "<?php $m = PGSQL_NUM; f(PGSQL_ASSOC);"},
      {"an optional argument that is not there", "<?php mysql_fetch_array($r);",
       "<?php pg_fetch_array($r);"},
      {"names in comments, strings, heredocs and text are not calls",
       "mysql_query($a) <?php # don't mysql_query($b)\n// mysql_query($c)\n"
       "$s = \"mysql_query($d)\"; $h = <<<SQL\nmysql_query($e) it's\nSQL;\n?> mysql_close()",
       "mysql_query($a) <?php # don't mysql_query($b)\n// mysql_query($c)\n"
       "$s = \"mysql_query($d)\"; $h = <<<SQL\nmysql_query($e) it's\nSQL;\n?> mysql_close()"},
      {"lines that end in a lone CR, as PHP reads them",
       "<?php // x\rmysql_ping();\r$h = <<<SQL\rmysql_close()\rSQL;\rmysql_ping();",
       "<?php // x\rpg_ping(" + link + ");\r$h = <<<SQL\rmysql_close()\rSQL;\rpg_ping(" + link +
           ");"},
      {"an argument that ends in a line comment keeps the line break that ends it",
       "<?php mysql_query($q // why\n); mysql_result($r # row\r\n, 0);",
       "<?php " + query + link + ", $q // why\n)); pg_fetch_result($r # row\r\n, 0, 0);"},
      {"a PHP 8 attribute is code, not a comment",
       "<?php #[Pure] function f() { return mysql_ping(); }",
       "<?php #[Pure] function f() { return pg_ping(" + link + "); }"},
      {"methods, static calls, declarations and namespaced names are not the extension's",
       "<?php $o->mysql_query(1); $o?->mysql_close(); A::mysql_ping(); function mysql_stat() {}"
       " new mysql_info(); \\Db\\mysql_ping(); $mysql_error = 1;",
       "<?php $o->mysql_query(1); $o?->mysql_close(); A::mysql_ping(); function mysql_stat() {}"
       " new mysql_info(); \\Db\\mysql_ping(); $mysql_error = 1;"},
      {"a global call with a leading backslash", "<?php \\mysql_ping();",
       "<?php \\pg_ping(" + link + ");"},
      {"a leading backslash stays only before a name",
       "<?php die(\\mysql_error()); $f = \\MYSQL_CLIENT_SSL; \\mysql_select_db('shop');",
       "<?php die((($GLOBALS['pg_last_link'] ?? false) ? pg_last_error(" + link +
           ") : (error_get_last()['message'] ?? ''))); $f = 0; \\true;",
       {"behaves-differently 1:33"}},
      {"a name without a call is left alone",
       "<?php $f = mysql_query;",
       "<?php $f = mysql_query;",
       {"leftover-name 1:12"}},
      {"an unclosed call is left as it was",
       "<?php mysql_query($q ?> text",
       "<?php mysql_query($q ?> text",
       {"unreadable-call 1:7"}},
      {"a call with no counterpart becomes a value",
       "<?php if (mysql_field_flags($r, 0) == 'x') {}",
       "<?php if ('' == 'x') {}",
       {"no-equivalent 1:11"}},
      {"a missing argument",
       "<?php mysql_num_rows();",
       "<?php pg_num_rows();",
       {"missing-argument 1:7"}},
      {"the database of the run is selected", "<?php mysql_select_db('shop') or die();",
       "<?php true or die();"},
      {"another database, an expression, an interpolated string",
       "<?php mysql_select_db('other'); mysql_select_db($d); mysql_select_db(\"$d\");",
       "<?php true; true; true;",
       {"select-db 1:7", "select-db 1:33", "select-db 1:54"}},
      {"an errno number the conversion keeps", "<?php if (mysql_errno() == 1062) {}",
       "<?php if ((($GLOBALS['pg_last_link'] ?? false) ? match (substr(strstr(pg_last_error(" +
           link +
           "), ':  ') ?: '', 3, 5)) { '' => 0, '23505' => 1062, '23503' => 1452, "
           "'23502' => 1048, '42P01' => 1146, '42703' => 1054, '42601' => 1064, '40P01' => "
           "1213, '55P03' => 1205, '22001' => 1406, '22003' => 1264, default => 1 } : 2002) "
           "== 1062) {}"},
      {"an errno number it does not give, on either side",
       "<?php $a = 1451 === mysql_errno($l); $b = mysql_errno($l) != 9999;",
       "",
       {"errno-number 1:21", "errno-number 1:43"}},
      {"a charset PostgreSQL names otherwise, and one it does not know",
       "<?php mysql_set_charset('utf8mb4'); mysql_set_charset($cs);",
       "<?php (pg_set_client_encoding(" + link + ", 'UTF8') === 0); (pg_set_client_encoding(" +
           link + ", $cs) === 0);",
       {"behaves-differently 1:37"}},
      {"a function's name in a string",
       "<?php if (function_exists('mysql_connect')) {}",
       "<?php if (function_exists('mysql_connect')) {}",
       {"name-in-string 1:27"}},
  };
  for (const port_case& c : cases) {
    SCOPED_TRACE(c.name);
    ported result = port(c.input);
    if (!c.output.empty()) {
      EXPECT_EQ(result.output, c.output);
    }
    EXPECT_EQ(result.findings, c.findings);
  }
}

// An argument that no call inside it changed is followed into the
// replacement byte for byte, so that a place in it (in a query's text, say)
// is found again in the input; one that a call inside it changed is not.
TEST(CompleteRules, KeptArgumentsAreFollowedIntoTheReplacement) {
  const std::string input =
      "<?php\nmysql_query( \"SELECT `a`\" , $db); mysql_query(f(mysql_ping()));";
  converted_text converted;
  convert_text(input, complete_table(), rule_set::complete, converted);
  ASSERT_EQ(converted.log.calls().size(), 2u);
  std::span<const moved_word> first = converted.log.moved_words(0);
  ASSERT_EQ(first.size(), 2u);  // the link, written first, then the query
  EXPECT_EQ(converted.output.substr(first[0].output_offset, first[0].length), "$db");
  EXPECT_EQ(input.substr(first[1].source_offset, first[1].length), "\"SELECT `a`\"");
  EXPECT_EQ(converted.output.substr(first[1].output_offset, first[1].length), "\"SELECT `a`\"");
  EXPECT_TRUE(converted.log.moved_words(1).empty());
}

// "dbname='shop' ..." as the connect's text shows it.
std::string connect_string(const std::string& arguments) {
  std::string output = port("<?php mysql_connect(" + arguments + ");").output;
  std::size_t begin = output.find("pg_connect(") + 11;
  std::size_t end = output.find(")) && pg_set_error_verbosity");
  return output.substr(begin, end - begin);
}

TEST(CompleteRules, ConnectStringsForEveryArgumentCount) {
  const struct {
    std::string arguments;
    std::string connection;
  } cases[] = {
      {"", "\"dbname='shop'\""},
      {"'db.example.org'", "\"dbname='shop' host='db.example.org'\""},
      {"'localhost:3306', 'root'", "\"dbname='shop' host='localhost' user='root'\""},
      {"':/tmp/mysql.sock', 'u', ''", "\"dbname='shop' user='u' password=''\""},
      {"'h', 'u', 'it\\'s $x \\\\'",
       "\"dbname='shop' host='h' user='u' password='it\\\\'s \\$x \\\\\\\\'\""},
      {"$h, $u, $p, true, MYSQL_CLIENT_SSL",
       "\"dbname='shop' host='\" . addcslashes(explode(':', (string) $h)[0], \"'\\\\\") . \"' "
       "user='\" . addcslashes((string) $u, \"'\\\\\") . \"' password='\" . addcslashes((string) "
       "$p, \"'\\\\\") . \"'\", PGSQL_CONNECT_FORCE_NEW"},
      {"$c['host'], 'u', 'p', $new",
       "\"dbname='shop' host='\" . addcslashes(explode(':', (string) ($c['host']))[0], \"'\\\\\") "
       ". \"' user='u' password='p'\", (($new) ? PGSQL_CONNECT_FORCE_NEW : 0)"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.arguments);
    EXPECT_EQ(connect_string(c.arguments), c.connection);
  }
}

TEST(CompleteRules, EveryTemplateIsWholeAndEveryRowDocumented) {
  exact_arguments five{true, {"$a", "$b", "$c", "$d", "$e"}, {"$a", "$b", "$c", "$d", "$e"}, {}};
  std::ifstream readme_file(std::filesystem::path(CORVEXA_SOURCE_DIR) / "README.md");
  std::ifstream man_file(std::filesystem::path(CORVEXA_SOURCE_DIR) / "man/corvexa-tree.1");
  std::stringstream readme, man;
  readme << readme_file.rdbuf();
  man << man_file.rdbuf();
  for (const complete_call& call : complete_calls()) {
    std::string name(call.names.substr(0, call.names.find(' ')));
    SCOPED_TRACE(name);
    filled_template filled = fill_template(call.replacement, {five, call.link_argument});
    EXPECT_TRUE(filled.missing.empty());
    EXPECT_EQ(filled.text.find('{'), filled.text.find("{ '' =>"));
    EXPECT_NE(readme.str().find(name.substr(name.find('_') + 1)), std::string::npos);
    if (call.form == call_form::function) {
      EXPECT_NE(man.str().find("mysql_" + name.substr(6)), std::string::npos);
    }
  }
}

// Runs `php -l` on `code`; true if PHP parses it.
bool php_parses(const std::string& code, const std::filesystem::path& file) {
  std::ofstream(file) << code;
  std::string command = "php -l '" + file.string() + "' >/dev/null 2>&1";
  return std::system(command.c_str()) == 0;
}

TEST(CompleteRules, WhatPhpParsedBeforeThePortItParsesAfter) {
  if (std::system("php -r 'exit(0);' >/dev/null 2>&1") != 0) {
    GTEST_SKIP() << "php (package php-cli) is not installed";
  }
  const std::string inputs[] = {
      "<?php mysql_select_db('x') or die(mysql_error());",
      "<?php if (mysql_errno() == 1062) { echo mysql_error(); }",
      "<?php $l = mysql_connect('h', 'u'); $x = mysql_connect();",
      "<?php $v = mysql_field_flags($r, 0) . mysql_fetch_lengths($r)[0] . mysql_info();",
      "<?php echo mysql_result(mysql_query(\"SELECT 1\"), 0), MYSQL_BOTH;",
      "<?php while ($f = mysql_fetch_field($r)) {} mysql_field_seek($r, 1) or die();",
      "<?php $x = @mysql_change_user('a', 'b') ? 1 : 2; mysql_close();",
      "<?php class A { function q($s) { return mysql_query($s, $this->db); } }",
      "<?php mysql_query(\"SELECT 1\" // why\n); mysql_result($r /* a */ # b\n, 0);",
      "<?php echo \\mysql_error(), \\MYSQL_CLIENT_SSL, \\mysql_info(), \\mysql_num_rows($r);",
  };
  std::filesystem::path file = std::filesystem::temp_directory_path() /
                               ("corvexa-parse-" + std::to_string(::getpid()) + ".php");
  for (const std::string& input : inputs) {
    SCOPED_TRACE(input);
    ASSERT_TRUE(php_parses(input, file));
    std::string output = port(input).output;
    EXPECT_TRUE(php_parses(output, file)) << output;
  }
  std::filesystem::remove(file);
}

}  // namespace
}  // namespace corvexa
