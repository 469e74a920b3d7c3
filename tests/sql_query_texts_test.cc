// The query texts found in PHP code: which calls, which argument, how
// literals, interpolations, concatenations, sprintf formats and variables
// make the text, and where each byte of it stands in the file.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "sql/php_query_texts.h"
#include "sql/query_checks.h"

namespace corvexa::sql {
namespace {

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

std::vector<std::string> texts_of(std::string_view php) {
  std::vector<std::string> texts;
  for (const found_query& q : find_query_texts(php, 1 << 20).queries)
    texts.push_back(rendered(php, *q.text));
  return texts;
}

struct text_case {
  const char* name;
  std::string php;
  std::vector<std::string> texts;
};

void PrintTo(const text_case& c, std::ostream* out) { *out << c.name; }

class QueryTexts : public testing::TestWithParam<text_case> {};

TEST_P(QueryTexts, Found) {
  EXPECT_EQ(texts_of(GetParam().php), GetParam().texts) << GetParam().php;
}

const text_case text_cases[] = {
    {"link_first", "<?php pg_query($l,\"SELECT 1\");", {"SELECT 1"}},
    {"one_argument", "<?php $r = PG_Query('SELECT 2');", {"SELECT 2"}},
    {"prepare_and_params",
     "<?php pg_prepare($l, 'n', 'SELECT $1'); pg_prepare('n', \"SELECT 3\");\n"
     "pg_query_params('SELECT $1', array(1)); pg_send_query_params($l, 'SELECT 4', [1]);\n"
     "pg_send_query($l, 'SELECT 5'); pg_send_prepare($l, 'n', 'SELECT 6');",
     {"SELECT $1", "SELECT 3", "SELECT $1", "SELECT 4", "SELECT 5", "SELECT 6"}},
    {"single_quoted_escapes", R"(<?php pg_query('It\'s a \\ \n');)", {"It's a \\ \\n"}},
    {"double_quoted_escapes",
     R"(<?php pg_query("a\tb\x41\101\u{e9}\$x\"\q");)",
     {"a\tbAA\xc3\xa9$x\"\\q"}},
    {"interpolations",
     "<?php pg_query(\"id=$id n=$a[k] p=$o->p c={$x['y']} d=${z} m=$m[0]x\");",
     {"id={$id} n={$a[k]} p={$o->p} c={{$x['y']}} d={${z}} m={$m[0]}x"}},
    {"dollar_without_name", "<?php pg_query(\"cost $ 5 and $1\");", {"cost $ 5 and $1"}},
    {"concatenation",
     "<?php pg_query($l, \"SELECT * FROM t WHERE a=\" . (int)$a . \" AND b='\" . esc($b) . \"'\");",
     {"SELECT * FROM t WHERE a={(int)$a} AND b='{esc($b)}'"}},
    {"wrapped_call",
     "<?php $sql = 'SELECT 7';\n"
     "($GLOBALS['pg_last_result'] = @pg_query($GLOBALS['pg_last_link'], $sql));",
     {"SELECT 7"}},
    {"heredoc_indented",
     "<?php\n  $q = <<<SQL\n    SELECT *\n      FROM $t\n    SQL;\n  pg_query($q);",
     {"SELECT *\n  FROM {$t}"}},
    {"heredoc_lines_ending_in_cr",
     "<?php pg_query(<<<SQL\r  SELECT *\r\r    FROM $t\r  SQL\r); pg_query(<<<'SQL'\r\n  x\r\n  "
     "SQL);",
     {"SELECT *\r\r  FROM {$t}", "x"}},
    {"nowdoc", "<?php pg_query(<<<'SQL'\nSELECT '$x'\nSQL\n);", {"SELECT '$x'"}},
    {"sprintf",
     "<?php pg_query(sprintf(\"SELECT %d, '%s', '%%x', %1\\$s, %05.2f\", $a, $b, $c));",
     {"SELECT {$a}, '{$b}', '%x', {$a}, {$c}"}},
    {"vsprintf",
     "<?php pg_query(vsprintf('SELECT %s', $args));",
     {"SELECT {vsprintf('SELECT %s', $args)}"}},
    {"variable_appended",
     "<?php $sql = \"SELECT \"; $sql .= \"1\"; $sql = $sql . ' FROM t'; $sql .= "
     "$where;\npg_query($sql);",
     {"SELECT 1 FROM t{$where}"}},
    {"assigned_in_branch", "<?php $sql = 'a'; if ($x) { $sql = 'b'; } pg_query($sql);", {}},
    {"appended_in_loop",
     "<?php $sql = 'a'; foreach ($xs as $x) { $sql .= 'b'; } pg_query($sql);",
     {}},
    {"same_block_in_branch", "<?php if ($x) { $sql = 'b'; pg_query($sql); }", {"b"}},
    {"braceless_branch", "<?php $sql = 'a'; if ($x) $sql = 'b'; pg_query($sql);", {}},
    {"alternative_syntax", "<?php $sql = 'a'; if ($x): $sql = 'b'; endif; pg_query($sql);", {}},
    {"switch_cases",
     "<?php switch ($x) { case 1: $sql = 'a'; break; case 2: pg_query($sql); }",
     {}},
    {"goto_over_an_append",
     "<?php $sql = 'a'; goto done; $sql .= 'b'; done: pg_query($sql);\n"
     "$q = 'c'; back: pg_query($q); $q .= 'd'; goto back;",
     {}},
    {"other_function_scope", "<?php $sql = 'a'; function f() { pg_query($sql); }", {}},
    {"inside_function", "<?php function f($db) { $sql = 'c'; return pg_query($db, $sql); }", {"c"}},
    {"element_written", "<?php $sql = 'a'; $sql[0] = 'b'; pg_query($sql);", {}},
    {"by_reference", "<?php $sql = 'a'; f(&$sql); pg_query($sql);", {}},
    {"unknown_variable", "<?php pg_query($l, $sql);", {}},
    {"ternary", "<?php pg_query($x ? 'a' : 'b');", {}},
    {"loose_keyword_operators",
     "<?php pg_query('a' . print 'b' . 'c'); pg_query('d' . include 'e' . 'f');\n"
     "pg_query('g' . fn() => 'h' . 'i'); pg_query('j' . yield 'k' . 'l');",
     {}},
    {"not_calls",
     "<?php $db->pg_query('a'); Db::pg_query('b'); function pg_query($q) {}\n"
     "// pg_query('c')\n# pg_query('d')\n$s = \"pg_query('e')\"; ?>pg_query('f')",
     {}},
    {"unterminated_string", "<?php pg_query('SELECT 1", {}},
    {"wrong_argument_count", "<?php pg_query($a, 'b', 'c'); pg_prepare('x');", {}},
};

INSTANTIATE_TEST_SUITE_P(Php, QueryTexts, testing::ValuesIn(text_cases),
                         [](const testing::TestParamInfo<text_case>& info) {
                           return info.param.name;
                         });

TEST(QueryTextPositions, EveryByteKeepsItsPlaceInTheFile) {
  const std::string php = "<?php pg_query(\"a\\tb\" . 'c\\'d' . <<<X\n  e\n   f\n  X\n);";
  auto found = find_query_texts(php, 1 << 20).queries;
  ASSERT_EQ(found.size(), 1u);
  const query_text& text = *found[0].text;
  ASSERT_EQ(text.text, "a\tbc'de\n f");
  std::vector<std::string> sources;
  for (std::size_t i = 0; i < text.text.size(); ++i) {
    sources.push_back(php.substr(text.origins[i], text.byte_file_end(i) - text.origins[i]));
  }
  EXPECT_EQ(sources,
            (std::vector<std::string>{"a", "\\t", "b", "c", "\\'", "d", "e", "\n", " ", "f"}));
}

TEST(QueryTextLimits, ATextThatOutgrowsTheLimitIsGivenUp) {
  // Each line doubles the text: without a limit it would need 2^40 bytes.
  std::string php = "<?php $a = 'SELECT 1';\n";
  for (int i = 0; i < 40; ++i) php += "$a = $a . $a;\n";
  php += "pg_query($a);\n";
  query_search search = find_query_texts(php, 4096);
  EXPECT_TRUE(search.queries.empty());
  EXPECT_GT(search.oversized, 0u);
  EXPECT_EQ(search.calls, 1u);
}

TEST(QueryTextLimits, ThousandsOfPartsAreReadInOnePass) {
  std::string php = "<?php pg_query('SELECT 0'";
  for (int i = 0; i < 20000; ++i) php += " . ' + ' . $v" + std::to_string(i);
  php += ");";
  auto found = find_query_texts(php, 1 << 20).queries;
  ASSERT_EQ(found.size(), 1u);
  EXPECT_EQ(found[0].text->placeholders.size(), 20000u);
}

// A text grown by thousands of appends, each sent: the appends take time in
// their number, and the texts kept stay within the file's budget (the
// calls past it are kept without a text, to be reported as not checked).
TEST(QueryTextLimits, ATextSentAfterEachOfThousandsOfAppendsStaysWithinBudget) {
  std::string php = "<?php $q = 'SELECT 1 FROM t WHERE 1 = 1';\n";
  for (int i = 0; i < 5000; ++i) php += "$q .= ' AND a = 1'; pg_query($q);\n";
  query_search search = find_query_texts(php, 1 << 20);
  std::uint64_t kept = 0;
  std::size_t without_text = 0;
  for (const found_query& q : search.queries) {
    if (q.text == nullptr)
      ++without_text;
    else
      kept += q.text->text.size() + q.text->placeholders.size();
  }
  EXPECT_LE(kept, text_bytes_per_file_byte * php.size() + (1 << 20));
  EXPECT_GT(without_text, 0u);
}

TEST(QueryTextLimits, FilesWithoutQueryCallsAreSkippedBeforeLexing) {
  EXPECT_FALSE(may_hold_query_calls("<?php mysql_query('x'); echo 'page';"));
  EXPECT_TRUE(may_hold_query_calls("<?php PG_query('x');"));
}

}  // namespace
}  // namespace corvexa::sql
