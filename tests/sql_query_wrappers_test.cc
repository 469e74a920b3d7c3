// Query wrappers: which functions and methods send a parameter unchanged as
// a query text (and which only look as if they did), and the texts found,
// judged and rewritten at the calls of those that do.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "sql/php_query_texts.h"
#include "sql/query_checks.h"
#include "sql/query_wrappers.h"
#include "sql/wrapper_clues.h"

namespace corvexa::sql {
namespace {

// "name/parameter", with " method" for a method.
std::vector<std::string> described(const std::vector<query_wrapper>& wrappers) {
  std::vector<std::string> out;
  for (const query_wrapper& w : wrappers) {
    out.push_back(w.name + "/" + std::to_string(w.parameter) + (w.method ? " method" : ""));
  }
  return out;
}

struct wrapper_case {
  const char* name;
  std::string php;
  std::vector<std::string> wrappers;
};

void PrintTo(const wrapper_case& c, std::ostream* out) { *out << c.name; }

class QueryWrappers : public testing::TestWithParam<wrapper_case> {};

TEST_P(QueryWrappers, Found) {
  EXPECT_EQ(described(find_query_wrappers(GetParam().php)), GetParam().wrappers) << GetParam().php;
}

const wrapper_case wrapper_cases[] = {
    {"direct",
     "<?php function run_query($sql) { $r = mysql_query($sql); if (!$r) die(mysql_error());\n"
     "  return $r; }",
     {"run_query/0"}},
    {"converted",
     "<?php function Run_Query($sql) {\n"
     "  $result = ($GLOBALS['pg_last_result'] = @pg_query($GLOBALS['pg_last_link'], $sql));\n"
     "  return $result; }",
     {"run_query/0"}},
    {"other_query_calls",
     "<?php function a($db, $sql) { return mysql_db_query($db, $sql); }\n"
     "function b($l, $s) { return pg_query_params($l, $s, array()); }\n"
     "function c($s) { return mysql_unbuffered_query($s); }\n"
     "function d($n, $s) { return pg_prepare($l, $n, $s); }",
     {"a/1", "b/1", "c/0", "d/1"}},
    {"through_copies",
     "<?php function q($link, $sql) { $q = $sql; $copy = $q; return pg_query($link, $copy); }",
     {"q/1"}},
    {"wrapper_of_wrapper_defined_later",
     "<?php function outer($s, $x) { log_it($x); return inner($s); }\n"
     "function inner($sql) { return mysql_query($sql); }",
     {"inner/0", "outer/0"}},
    {"methods",
     "<?php class Db {\n"
     "  public function query($sql) { return mysql_query($sql, $this->link); }\n"
     "  function run($s) { return $this->query($s); }\n"
     "  static function one($s) { return self::query($s); }\n"
     "  function __construct($s) { parent::__construct(); }\n"
     "}\n"
     "trait T { function ask($s) { return static::one($s); } }",
     {"ask/0 method", "one/0 method", "query/0 method", "run/0 method"}},
    {"passed_to_functions_by_value",
     "<?php function h($t) { return htmlspecialchars($t); }\n"
     "function q($sql) { error_log($sql); $r = mysql_query($sql); if (!$r) die(h($sql));\n"
     "  return $r; }",
     {"q/0"}},
    {"link_named_by_variable_variable",
     "<?php function db_query($query, $link = 'db_link') { global $$link;\n"
     "  $result = mysql_query($query, $$link) or db_error($query, mysql_errno());\n"
     "  return $result; }",
     {"db_query/0"}},
    {"defined_twice_alike",
     "<?php if ($new) { function q($sql) { return mysql_query($sql); } }\n"
     "else { function q($sql) { $r = mysql_query($sql); return $r; } }",
     {"q/0"}},
    {"defined_twice_differently",
     "<?php class A { function query($sql) { return mysql_query($sql); } }\n"
     "class B { function query($key) { return $this->cache[$key]; } }\n"
     "function query($s) { return mysql_query($s); }",
     {"query/0"}},
    {"override_calling_parent",
     "<?php class Db { function query($sql) { return mysql_query($sql); } }\n"
     "class LoggedDb extends Db { function query($sql) { $this->last = $sql;\n"
     "  return parent::query($sql); } }",
     {"query/0 method"}},
    {"override_calling_nothing_that_sends",
     "<?php class A { function out($s) { if ($this->deep) return parent::out($s); echo $s; } }\n"
     "class B { function out($s) { return $this->out($s); } }",
     {}},
    {"recursion",
     "<?php function a($s) { return b($s); } function b($s) { return a($s); }\n"
     "function r($s) { if (retry()) return r($s); return mysql_query($s); }",
     {"r/0"}},
    {"not_the_query_argument",
     "<?php function f($l) { return mysql_query('SELECT 1', $l); }\n"
     "function g($s) { return mysql_query(trim($s)); }\n"
     "function h($s) { return mysql_query(\"$s\"); }",
     {}},
    {"closures_and_abstract_methods",
     "<?php $q = function ($sql) { return mysql_query($sql); };\n"
     "interface I { function query($sql); }\n"
     "function outer() { $f = function ($sql) { return mysql_query($sql); }; }",
     {}},
    {"nested_named_function",
     "<?php class C { function m() { function inner($s) { return mysql_query($s); } } }",
     {"inner/0"}},
    {"keywords_in_capitals",
     "<?php CLASS C { FUNCTION Q($sql) { RETURN MYSQL_QUERY($sql); } }",
     {"q/0 method"}},
    {"unreadable_code", "<?php function q($sql) { return mysql_query($sql); ", {}},
};

// A parameter changed before it is sent, or that may be: never a wrapper.
const wrapper_case changed_cases[] = {
    {"assigned", "<?php function q($sql) { $sql = trim($sql); return mysql_query($sql); }", {}},
    {"appended", "<?php function q($sql) { $sql .= ' LIMIT 1'; return mysql_query($sql); }", {}},
    {"copy_changed",
     "<?php function q($sql) { $q = $sql; $q = str_replace('#__', 'x_', $q);\n"
     "  return mysql_query($q); }",
     {}},
    {"copy_of_other_value",
     "<?php function q($sql) { $q = $sql; if ($x) { $q = 'SELECT 1'; } return mysql_query($q); }",
     {}},
    {"changed_later_in_loop",
     "<?php function q($sql) { while (more()) { mysql_query($sql); $sql = next_one(); } }",
     {}},
    {"changed_in_condition",
     "<?php function q($sql) { if ($sql = fix($sql)) return mysql_query($sql); }",
     {}},
    {"by_reference_to_own_function",
     "<?php function fix(&$s) { $s = 'x'; }\n"
     "function q($sql) { fix($sql); return mysql_query($sql); }",
     {}},
    {"by_reference_to_variadic",
     "<?php function fix($n, &...$all) { }\n"
     "function q($sql) { fix(1, 2, $sql); return mysql_query($sql); }",
     {}},
    {"by_reference_to_php",
     "<?php function q($sql) { preg_match('/x/', $t, $sql);\n"
     "  return mysql_query($sql); }",
     {}},
    {"reference_taken",
     "<?php function q($sql) { $alias = &$sql; $alias = 'x'; return mysql_query($sql); }",
     {}},
    {"captured_by_reference",
     "<?php function q($sql) { $f = function () use (&$sql) { $sql = 'y'; }; $f();\n"
     "  return mysql_query($sql); }",
     {}},
    {"dynamic_call", "<?php function q($sql) { $fix($sql); return mysql_query($sql); }", {}},
    {"foreach_target",
     "<?php function q($sql, $all) { foreach ($all as $k => $sql) { mysql_query($sql); } }",
     {}},
    {"destructured", "<?php function q($sql) { [$a, $sql] = f(); return mysql_query($sql); }", {}},
    {"global", "<?php function q($x, $sql) { global $db, $sql; return mysql_query($sql); }", {}},
    {"incremented", "<?php function q($sql) { ++$sql; return mysql_query($sql); }", {}},
    {"element", "<?php function q($sql) { $sql[0] = 'S'; return mysql_query($sql); }", {}},
    {"extract", "<?php function q($sql) { extract($GLOBALS); return mysql_query($sql); }", {}},
    {"include", "<?php function q($sql) { include 'fix.php'; return mysql_query($sql); }", {}},
    {"written_variable_variable",
     "<?php function q($sql, $n) { $$n = 'x'; return mysql_query($sql); }",
     {}},
    {"unset", "<?php function q($sql) { unset($sql); return mysql_query($sql); }", {}},
    {"variadic", "<?php function q(...$sql) { return mysql_query($sql); }", {}},
};

INSTANTIATE_TEST_SUITE_P(Php, QueryWrappers, testing::ValuesIn(wrapper_cases),
                         [](const testing::TestParamInfo<wrapper_case>& info) {
                           return info.param.name;
                         });
INSTANTIATE_TEST_SUITE_P(Changed, QueryWrappers, testing::ValuesIn(changed_cases),
                         [](const testing::TestParamInfo<wrapper_case>& info) {
                           return info.param.name;
                         });

// The wrappers of several files, resolved together, are those of the
// files put together into one.
TEST(QueryWrappers, FilesResolvedTogether) {
  const std::string files[] = {
      "<?php function page_query($s) { return run_query($s); }",
      "<?php function run_query($sql) { return mysql_query($sql); }\n"
      "function fix(&$t) { }",
      "<?php function careful($s) { fix($s); return run_query($s); }",
  };
  wrapper_clues all;
  for (const std::string& php : files) all.merge(gather_wrapper_clues(php));
  EXPECT_EQ(described(resolve_query_wrappers(all)),
            (std::vector<std::string>{"page_query/0", "run_query/0"}));
  // One file alone, with the others' wrappers known.
  EXPECT_EQ(described(find_query_wrappers(files[0], {{"run_query", 0, false}})),
            (std::vector<std::string>{"page_query/0", "run_query/0"}));
  EXPECT_EQ(described(find_query_wrappers(files[0])), std::vector<std::string>{});
}

TEST(QueryWrappers, HostileInputEndsQuickly) {
  std::string chain = "<?php\n";
  for (int i = 0; i < 2000; ++i) {
    chain +=
        "function f" + std::to_string(i) + "($s) { return f" + std::to_string(i + 1) + "($s); }\n";
  }
  chain += "function f2000($s) { return mysql_query($s); }\n";
  EXPECT_EQ(find_query_wrappers(chain).size(), 2001u);
  std::string copies = "<?php function q($s) {";
  for (int i = 0; i < 2000; ++i) {
    copies += " $v" + std::to_string(i) + " = $v" + std::to_string(i + 1) + ";";
  }
  copies += " $v2000 = $v0; return mysql_query($v0); }";
  EXPECT_EQ(find_query_wrappers(copies).size(), 0u);
  for (std::string php :
       {std::string("<?php function"), std::string("<?php function f("),
        std::string("<?php function f() {"), std::string("<?php class {"),
        std::string("<?php function (){ $$"), std::string("\0function\xff", 10)}) {
    EXPECT_EQ(find_query_wrappers(php).size(), 0u);
  }
}

// The text with each placeholder written as {its PHP expression}.
std::string rendered(std::string_view php, const query_text& text) {
  std::string out;
  std::size_t next = 0;
  for (std::size_t i = 0; i <= text.text.size(); ++i) {
    while (next < text.placeholders.size() && text.placeholders[next].text_offset == i) {
      const text_placeholder& p = text.placeholders[next++];
      out.append("{")
          .append(php.substr(p.expression_begin, p.expression_end - p.expression_begin))
          .append("}");
    }
    if (i < text.text.size()) out += text.text[i];
  }
  return out;
}

struct call_case {
  const char* name;
  std::string php;
  std::vector<std::string> texts;
};

void PrintTo(const call_case& c, std::ostream* out) { *out << c.name; }

class WrapperCalls : public testing::TestWithParam<call_case> {};

const wrapper_table club_wrappers({{"run_query", 0, false},
                                   {"query", 0, true},
                                   {"db_query", 1, false},
                                   {"a_wrapper_with_a_rather_long_name", 0, false}});

TEST_P(WrapperCalls, TextsFound) {
  std::vector<std::string> texts;
  const std::string& php = GetParam().php;
  for (const found_query& q : find_query_texts(php, 1 << 20, &club_wrappers).queries)
    texts.push_back(rendered(php, *q.text));
  EXPECT_EQ(texts, GetParam().texts) << php;
}

const call_case call_cases[] = {
    {"function", "<?php $r = run_query(\"SELECT `a` FROM t\");", {"SELECT `a` FROM t"}},
    {"any_letter_case",
     "<?php RUN_Query('SELECT 1'); \\run_query('SELECT 2');",
     {"SELECT 1", "SELECT 2"}},
    {"methods",
     "<?php $db->query('SELECT 1'); $this->query(\"SELECT $x\"); self::query('SELECT 3');\n"
     "Db::QUERY('SELECT 4'); $db?->query('SELECT 5');",
     {"SELECT 1", "SELECT {$x}", "SELECT 3", "SELECT 4", "SELECT 5"}},
    {"variable_and_concatenation",
     "<?php $sql = 'SELECT * FROM t'; $sql .= ' LIMIT ' . (int) $n; run_query($sql);",
     {"SELECT * FROM t LIMIT {(int) $n}"}},
    {"parameter_index", "<?php db_query('club', 'SELECT 6'); db_query('SELECT 7');", {"SELECT 6"}},
    {"long_name", "<?php a_wrapper_with_a_rather_long_name('SELECT 8');", {"SELECT 8"}},
    {"function_called_as_method", "<?php $x->run_query('a'); X::run_query('b');", {}},
    {"method_called_as_function", "<?php query('a');", {}},
    {"declarations",
     "<?php function run_query($sql) { return pg_query($sql); }\n"
     "class Db { function query($sql) { return pg_query($sql); } } new run_query('a');",
     {}},
    {"in_strings_and_comments", "<?php // run_query('a')\n$s = \"run_query('b')\";", {}},
    {"with_postgres_calls",
     "<?php pg_query('SELECT 1'); run_query('SELECT 2');",
     {"SELECT 1", "SELECT 2"}},
};

INSTANTIATE_TEST_SUITE_P(Php, WrapperCalls, testing::ValuesIn(call_cases),
                         [](const testing::TestParamInfo<call_case>& info) {
                           return info.param.name;
                         });

TEST(WrapperCalls, WithoutWrappersNothingNewIsFound) {
  const std::string php = "<?php run_query('SELECT 1'); $db->query('SELECT 2');";
  EXPECT_TRUE(find_query_texts(php, 1 << 20).queries.empty());
  const wrapper_table none;
  EXPECT_TRUE(find_query_texts(php, 1 << 20, &none).queries.empty());
}

TEST(WrapperCalls, QuickTestLooksForANameBeforeAParenthesis) {
  EXPECT_TRUE(club_wrappers.may_be_called_in("<?php Run_Query ('x');"));
  EXPECT_TRUE(club_wrappers.may_be_called_in("<?php $db->query\n('x');"));
  EXPECT_FALSE(club_wrappers.may_be_called_in("<?php my_run_query('x'); $query = 1;"));
  EXPECT_FALSE(club_wrappers.may_be_called_in("(run_query"));
  EXPECT_FALSE(wrapper_table().may_be_called_in("<?php run_query('x');"));
}

// What the checks make of a file whose queries all go through wrappers.
TEST(WrapperCalls, TextsAreJudgedAndRewritten) {
  const std::string php =
      "<?php\n"
      "$r = run_query(\"SELECT `name` FROM `members` ORDER BY name LIMIT \" . (int) $first . \", "
      "\" . (int) $count);\n"
      "$db->query(\"UPDATE `members` SET `name` = 'x' WHERE `id` = 5 LIMIT 1\");\n"
      "run_query('SHOW TABLES');\n";
  query_options options;
  options.rewrite = true;
  options.wrappers = &club_wrappers;
  query_report report = check_php_queries(php, options);
  EXPECT_EQ(report.query_calls, 3u);
  EXPECT_EQ(report.texts_found, 3u);
  EXPECT_EQ(report.texts_rewritten, 2u);
  std::string rewritten = php;
  for (auto e = report.edits.rbegin(); e != report.edits.rend(); ++e) {
    rewritten.replace(e->offset, e->length, e->replacement);
  }
  EXPECT_EQ(rewritten.find('`'), std::string::npos) << rewritten;
  EXPECT_NE(rewritten.find("OFFSET"), std::string::npos) << rewritten;
  EXPECT_NE(rewritten.find("ctid"), std::string::npos) << rewritten;
  ASSERT_EQ(report.findings.size(), 1u);
  EXPECT_EQ(report.findings[0].rule, rule_sql_mysql);
  EXPECT_EQ(report.findings[0].offset, php.find("SHOW"));

  options.wrappers = nullptr;
  EXPECT_EQ(check_php_queries(php, options).texts_found, 0u);
}

}  // namespace
}  // namespace corvexa::sql
