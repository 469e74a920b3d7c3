// The diff of a conversion, applied with patch(1) to the input, must give
// the converted file exactly: at the first and last lines, without a final
// line feed, with CRLF lines, with changes near and far from each other.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "report/unified_diff.h"
#include "run_corvexa.h"
#include "translate/mysql_call_table.h"
#include "tree/php_conversion.h"

namespace corvexa {
namespace {

using corvexa_test::read_file;
using corvexa_test::temp_dir;
using corvexa_test::write_file;

std::string lines(int count, const std::string& text) {
  std::string result;
  for (int i = 0; i < count; ++i) result += text;
  return result;
}

TEST(UnifiedDiff, PatchGivesTheConvertedFile) {
  if (std::system("patch --version >/dev/null 2>&1") != 0) {
    GTEST_SKIP() << "patch is not installed; it applies the diffs";
  }
  const std::string call = "$r = mysql_query($q, $l);\n";
  const std::string plain = "echo 1;\n";
  const std::string cases[] = {
      "<?php mysql_errno();",
      "<?php\n" + call + lines(6, plain) + call + lines(7, plain) + call + "?>\n",
      call + "<?php\n" + call + call,
      "<?php\r\n$a = mysql_query($q);\r\n" + lines(10, "x;\r\n") + "mysql_close();\r\n",
      "<?php " + lines(3, "mysql_errno();") + "\n\n\nmysql_tablename($r, 1)",
      "<?php $a = 'no call here';\n",
      "<?php\n" + lines(20, call),
  };
  const call_table calls = make_mysql_call_table();
  // patch ends a plain name at a space, and a line feed ends any line.
  const std::string names[] = {"my dir/f.php", "f\n\"q\\.php", "plain.php"};
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    const std::string& input = cases[i];
    const std::string& name = names[i % std::size(names)];
    SCOPED_TRACE(input);
    temp_dir dir;
    converted_text converted;
    convert_text(input, calls, rule_set::seed, converted);
    std::string diff = unified_diff(name, input, converted.output, converted.log.calls());
    EXPECT_EQ(diff.empty(), input == converted.output);
    if (diff.empty()) continue;
    std::filesystem::create_directory(dir / "my dir");
    write_file(dir / name, input);
    write_file(dir / "changes.diff", diff);
    std::string command = "cd '" + dir.path() + "' && patch -p1 -s < changes.diff";
    ASSERT_EQ(std::system(command.c_str()), 0) << diff;
    EXPECT_EQ(read_file(dir / name), converted.output) << diff;
  }
}

TEST(UnifiedDiff, ChangesSevenLinesApartMakeTwoHunks) {
  const call_table calls = make_mysql_call_table();
  for (int between : {6, 7}) {
    std::string input = "<?php\nmysql_close();\n" + lines(between, "x;\n") + "mysql_close();\n";
    converted_text converted;
    convert_text(input, calls, rule_set::seed, converted);
    std::string diff = unified_diff("f.php", input, converted.output, converted.log.calls());
    std::size_t hunks = 0;
    for (std::size_t at = diff.find("\n@@ "); at != std::string::npos;
         at = diff.find("\n@@ ", at + 1)) {
      ++hunks;
    }
    EXPECT_EQ(hunks, between == 6 ? 1u : 2u) << diff;
  }
}

}  // namespace
}  // namespace corvexa
