// Findings located in the input and in the converted text: every position
// must point at the call's name in the input and at what replaced it in
// the output, whatever the replacements before it did to lines and columns.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "report/line_index.h"
#include "report/located_findings.h"
#include "translate/complete_calls.h"
#include "translate/mysql_call_table.h"
#include "tree/php_conversion.h"

namespace corvexa {
namespace {

struct located {
  std::string rule;
  text_position source;
  text_position output;
};

std::vector<located> findings_of(const std::string& input, converted_text& converted) {
  static const call_table calls = make_mysql_call_table({"shop"});
  static const call_table extension = make_complete_call_table();
  convert_text(input, calls, rule_set::seed, converted);
  std::vector<located> result;
  for (const finding& f :
       locate_findings(converted.log, input, converted.output, {"shop", extension, true})) {
    result.push_back({std::string(f.rule), f.source, f.output});
  }
  return result;
}

std::string::size_type offset_of(const std::string& text, text_position at) {
  std::string::size_type offset = 0;
  for (std::uint64_t line = 1; line < at.line; ++line) offset = text.find('\n', offset) + 1;
  return offset + at.column - 1;
}

struct position_case {
  const char* name;
  std::string input;
  std::vector<std::string> rules;
};

TEST(LocatedFindings, PointAtTheCallNameAndAtItsReplacement) {
  const position_case cases[] = {
      {"one call", "<?php\n$x = mysql_errno();\n", {"broken-expression"}},
      {"after replacements on the same line",
       "<?php $a = mysql_query($q, $l); $n = mysql_num_rows($a); MYSQL_ERRNO();",
       {"unsupported-call"}},
      {"after comments that add lines",
       "<?php\nmysql_errno();\nmysql_errno(); mysql_tablename($r, 1);\r\n  mysql_insert_id($l);",
       {"unsupported-call", "unsupported-call", "unsupported-call", "insert-id"}},
      {"a parse error with whitespace echoed before the replacement",
       "<?php mysql_close ;\n\t $x) ?>",
       {"parse-error"}},
      {"a warning printed after the replacement",
       "<?\n$r = mysql_db_query('d', $q);",
       {"db-query"}},
      {"database advice",
       "<?php mysql_select_db('shop'); mysql_selectdb($d);",
       {"select-db", "select-db"}},
  };
  for (const position_case& c : cases) {
    SCOPED_TRACE(c.name);
    converted_text converted;
    std::vector<located> found = findings_of(c.input, converted);
    ASSERT_EQ(found.size(), c.rules.size());
    for (std::size_t i = 0; i < found.size(); ++i) {
      EXPECT_EQ(found[i].rule, c.rules[i]);
      std::string at_source = c.input.substr(offset_of(c.input, found[i].source), 6);
      for (char& ch : at_source) ch = static_cast<char>(std::tolower(ch));
      EXPECT_EQ(at_source, "mysql_");
      std::string at_output = converted.output.substr(offset_of(converted.output, found[i].output));
      EXPECT_TRUE(at_output.rfind("pg_", 0) == 0 || at_output.rfind("// Warning: ", 0) == 0)
          << at_output;
    }
  }
}

TEST(LocatedFindings, CountLinesAtLineFeedsAndColumnsInBytes) {
  converted_text converted;
  std::vector<located> found =
      findings_of("<?php\r\n\xc3\xa9 mysql_errno();\n\n  mysql_errno()", converted);
  // The first call follows a name (bytes from 128 up are name bytes), so
  // its comment also breaks an expression: one finding says both.
  ASSERT_EQ(found.size(), 2u);
  EXPECT_EQ(found[0].rule, "broken-expression");
  EXPECT_EQ(found[0].source.line, 2u);
  EXPECT_EQ(found[0].source.column, 4u);  // after two bytes of UTF-8 and a space
  EXPECT_EQ(found[1].source.line, 4u);
  EXPECT_EQ(found[1].source.column, 3u);
  // The first comment ends with a line feed, so the ";" starts line 3 and
  // the second call moves down by one.
  EXPECT_EQ(found[1].output.line, 5u);
  EXPECT_EQ(found[1].output.column, 3u);
}

TEST(LocatedFindings, CharacterColumnsGoOnAlongALineAndStartAgainOnTheNext) {
  const std::string text =
      "a\xc3\xa9"
      "b\xe2\x82\xac"
      "c\nx\xc3\xa9"
      "y";
  line_index lines(text);
  line_index::character_columns columns(lines, text);
  const std::pair<std::uint64_t, std::uint64_t> offsets_and_columns[] = {
      {0, 1}, {3, 3}, {3, 3}, {7, 5}, {9, 1}, {12, 3}, {1, 2}, {7, 5}};
  for (const auto& [offset, column] : offsets_and_columns) {
    EXPECT_EQ(columns.at(offset), column) << offset;
  }
}

}  // namespace
}  // namespace corvexa
