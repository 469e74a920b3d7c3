// One small input per rule, with every finding it must give: the rule and
// the line and column in the input and in the converted text.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "report/located_findings.h"
#include "translate/complete_calls.h"
#include "translate/mysql_call_table.h"
#include "tree/php_conversion.h"

namespace corvexa {
namespace {

// "rule s2:6 o2:6"
std::string shown(const finding& f) {
  return std::string(f.rule) + " s" + std::to_string(f.source.line) + ":" +
         std::to_string(f.source.column) + " o" + std::to_string(f.output.line) + ":" +
         std::to_string(f.output.column);
}

std::vector<std::string> findings_of(const std::string& input) {
  static const call_table calls = make_mysql_call_table({"shop"});
  static const call_table extension = make_complete_call_table();
  converted_text converted;
  convert_text(input, calls, rule_set::seed, converted);
  std::vector<std::string> result;
  for (const finding& f :
       locate_findings(converted.log, input, converted.output, {"shop", extension, true})) {
    result.push_back(shown(f));
  }
  return result;
}

struct rule_case {
  const char* name;
  std::string input;
  std::vector<std::string> findings;
};

TEST(FindingRules, EachRuleFindsWhatItShould) {
  const rule_case cases[] = {
      {"unsupported-call", "<?php\nmysql_errno();\n", {"unsupported-call s2:1 o2:1"}},
      // The line feed after the name is echoed before the replacement.
      {"parse-error", "<?php\nmysql_close;\n", {"parse-error s2:1 o3:1"}},
      {"db-query", "<?php\n$r = mysql_db_query('d', $q, $l);\n", {"db-query s2:6 o2:6"}},
      {"insert-id", "<?php\nmysql_insert_id($l);", {"insert-id s2:1 o2:1"}},
      {"select-db", "<?php\nmysql_select_db($d);", {"select-db s2:1 o2:1"}},
      {"leftover-name, an unknown call",
       "<?php\n$s = mysql_real_escape_string($v);\n",
       {"leftover-name s2:6 o2:6"}},
      {"leftover-name, not in comments, strings or text",
       "mysql_x <?php # mysql_x\n'mysql_x'; /* mysql_x */ <<<END\nmysql_x\nEND;\n?> mysql_x",
       {}},
      {"leftover-name after a replacement that adds a line",
       "<?php mysql_errno(); MYSQL_ASSOC;",
       {"unsupported-call s1:7 o1:7", "leftover-name s1:22 o2:3"}},
      {"leftover-name inside a replacement",
       "<?php\n$n = mysql_num_rows(mysql_query($q));\n",
       {"leftover-name s2:21 o2:18"}},
      {"leftover-name moved by the replacement",
       "<?php\n$r = mysql_query($q, mysql_ping($l));\n",
       {"leftover-name s2:22 o2:15"}},
      {"no leftover-name for names the extension does not have, members or declarations",
       "<?php\nmysql_x($l); $o->mysql_ping(); A::mysql_ping(); function mysql_stat() {}\n"
       "$mysql_ping = new mysql_ping(); $p = $this->mysql_version;\n",
       {}},
      {"name-in-string",
       "<?php\n$f = 'mysql_query'; $g = \"mysql_x\"; $h = \"mysql_ping $x\";\n",
       {"name-in-string s2:6 o2:6"}},
      {"leftover-name of a constant kept",
       "<?php\n$a = mysql_fetch_assoc($r, MYSQL_ASSOC);\n",
       {"leftover-name s2:28 o2:24"}},
      {"no leftover-name for words the replacement dropped",
       "<?php\n$a = mysql_fetch_array($r, MYSQL_ASSOC); mysql_query($q, $l, $x, mysql_y);\n",
       {}},
      {"split-argument",
       "<?php\nmysql_query(\"IN (\" . f(\", \", $ids), $l);\n",
       {"split-argument s2:1 o2:3"}},
      {"missing-argument", "<?php\n$l = mysql_connect($h, $u);\n", {"missing-argument s2:6 o2:6"}},
      {"missing-argument of a two-value row",
       "<?php\nmysql_field_name($r);\n",
       {"missing-argument s2:1 o2:1"}},
      {"no missing-argument for the optional link", "<?php\nmysql_close();\n", {}},
      // One finding a place: the most severe rule, the last of equals.
      {"no-link", "<?php\nmysql_error();\n", {"no-link s2:1 o2:1"}},
      {"guessed-link",
       "<?php\n$l = mysql_connect($h, $u, $p);\nmysql_create_db('x');\n",
       {"guessed-link s3:1 o3:1"}},
      {"guessed-link and review",
       "<?php\n$l = mysql_connect($h, $u, $p);\nmysql_error();\n",
       {"review s3:1 o3:1"}},
      {"broken-expression before",
       "<?php\nif (mysql_errno() == 1062) {}\n",
       {"broken-expression s2:5 o2:5"}},
      {"broken-expression after",
       "<?php\nmysql_data_seek($r, 0) or die();\n",
       {"broken-expression s2:1 o2:1"}},
      {"no broken-expression between statements",
       "<?php { mysql_errno(); } x: mysql_errno() /* c */ ; ?><? mysql_errno() ?>",
       {"unsupported-call s1:9 o1:9", "unsupported-call s1:29 o2:8",
        "unsupported-call s1:58 o3:17"}},
      {"review", "<?php\n$v = mysql_result($r, 0);\n", {"review s2:6 o2:6"}},
  };
  for (const rule_case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(findings_of(c.input), c.findings);
  }
}

// What one place gives is one finding, whose message keeps what each rule
// said of it.
TEST(FindingRules, OnePlaceGivesOneFindingWithEveryMessage) {
  static const call_table calls = make_mysql_call_table({"shop"});
  static const call_table extension = make_complete_call_table();
  const std::string input = "<?php\nif (mysql_select_db('other')) {}\n";
  converted_text converted;
  convert_text(input, calls, rule_set::seed, converted);
  std::vector<finding> found =
      locate_findings(converted.log, input, converted.output, {"shop", extension, true});
  ASSERT_EQ(found.size(), 1u);
  EXPECT_EQ(found[0].rule, "broken-expression");
  for (const char* said :
       {"not supported: delete it: pg_connect() names the database",
        "selects 'other', but the converted code connects to 'shop'", "where PHP needs a value"}) {
    EXPECT_NE(found[0].message.find(said), std::string::npos) << said << "\n" << found[0].message;
  }
}

TEST(FindingRules, ARealisticFileHasThemAll) {
  const std::string input =
      "<html><body>\n"
      "<?php\n"
      "// Lists the orders of one customer.\n"
      "$link = mysql_connect($db_host, $db_user);\n"
      "@mysql_select_db('shop') or die(mysql_error());\n"
      "$id = mysql_real_escape_string($_GET['id']);\n"
      "$result = mysql_query(\"SELECT * FROM orders WHERE id IN (\" . implode(\", \", $ids) . "
      "\")\", $link);\n"
      "if (mysql_errno() == 1062) { echo \"duplicate\"; }\n"
      "while ($row = mysql_fetch_array($result, MYSQL_ASSOC)) {\n"
      "    echo $row['total'] . mysql_num_rows(mysql_query(\"SELECT 1\"));\n"
      "}\n"
      "$total = mysql_result($result, 0, 'total');\n"
      "?>\n"
      "</body></html>\n";
  EXPECT_EQ(findings_of(input), (std::vector<std::string>{
                                    "missing-argument s4:9 o4:9",
                                    "broken-expression s5:2 o5:2",
                                    "review s5:33 o6:9",
                                    "leftover-name s6:7 o7:7",
                                    "split-argument s7:11 o8:13",
                                    "broken-expression s8:5 o9:5",
                                    "leftover-name s10:41 o12:38",
                                    "review s12:10 o14:10",
                                }));
}

}  // namespace
}  // namespace corvexa
