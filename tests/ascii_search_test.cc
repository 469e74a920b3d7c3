// The search that decides whether a file may name a call at all: a miss
// copies the file unconverted, so every place and letter case must be found.
#include <gtest/gtest.h>

#include <string>

#include "common/ascii.h"

namespace corvexa {
namespace {

TEST(ContainsIgnoringAsciiCase, FindsTheWordInAnyCaseAtAnyPlace) {
  struct row {
    std::string text;
    std::string word;
    bool found;
  };
  const row rows[] = {
      {"mysql_query($q);", "mysql_", true},
      {"x = MYSQL_QUERY($q);", "mysql_", true},
      {"MySql_", "mysql_", true},                   // the whole text
      {"mmmmMySQL_", "mysql_", true},               // after false starts of both cases
      {"mysqL", "mysql_", false},                   // cut by the end
      {"my", "mysql_", false},                      // shorter than the word
      {"Mysqli_query(); mysqlx", "mysql_", false},  // near misses only
      {"", "mysql_", false},
      {"anything", "", true},
      {"a STRIPSLASHES(", "stripslashes", true},
      {std::string(100000, 'S') + "stripSlashes", "stripslashes", true},
      {std::string("\0Mysql_", 7), "mysql_", true},  // bytes before it
      {"_9_", "_9", true},                           // a first byte with no case
      {"__", "_9", false},
  };
  for (const row& r : rows) {
    EXPECT_EQ(contains_ignoring_ascii_case(r.text, r.word), r.found) << r.text << " / " << r.word;
  }
}

}  // namespace
}  // namespace corvexa
