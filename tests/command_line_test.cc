// End-to-end runs of the corvexa binary over different command lines: what
// it prints, its exit status, and which files it leaves behind.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "run_corvexa.h"

namespace corvexa_test {
namespace {

// An invocation name that is not the binary's own, to see it in the usage.
const std::string program = "./tools/corvexa-dev";
const std::string usage =
    "Usage: ./tools/corvexa-dev [ options ] <infile> <outfile>\n"
    "          -d <dbname>\n\n";
const std::string done = "Done.\n\n";

const std::string source = "<?php $c = mysql_connect('h', 'u', 'p'); ?>\n";

std::string converted(const std::string& database) {
  return "<?php $c = pg_connect(\"dbname=" + database +
         " host=\".'h'.\" user=\".'u'.\" password=\".'p'); ?>\n";
}

TEST(CommandLine, BannerHasTitleThreeCreditLinesAndVersion) {
  const std::string title = "\nMysql PHP code to PostgresSQL php code converter.\n";
  const std::string version = "Version 0.95 - June 2, 2006\n\n";
  const std::string& text = banner();
  ASSERT_TRUE(text.starts_with(title)) << text;
  ASSERT_TRUE(text.ends_with(version)) << text;
  std::string credits = text.substr(title.size(), text.size() - title.size() - version.size());
  int lines = 0;
  for (std::size_t start = 0; start < credits.size(); ++lines) {
    std::size_t end = credits.find('\n', start);
    ASSERT_NE(end, std::string::npos) << credits;
    EXPECT_GT(end, start) << "empty credit line";
    start = end + 1;
  }
  EXPECT_EQ(lines, 3) << credits;
}

struct command_case {
  const char* name;
  std::vector<std::string> arguments;  // after the program name
  std::string console;                 // expected after the banner
  int status;
  std::string database;  // database in out.php; empty: no out.php written
};

const std::vector<command_case> command_cases = {
    {"one argument", {"in.php"}, usage, 1, ""},
    {"no argument", {}, usage, 1, ""},
    {"option first",
     {"-d", "shop", "in.php", "out.php"},
     start_message("in.php", "out.php", "shop") + done,
     0,
     "shop"},
    {"option last",
     {"in.php", "out.php", "-d", "shop"},
     start_message("in.php", "out.php", "shop") + done,
     0,
     "shop"},
    {"option between",
     {"in.php", "-d", "shop", "out.php"},
     start_message("in.php", "out.php", "shop") + done,
     0,
     "shop"},
    {"default database",
     {"in.php", "out.php"},
     start_message("in.php", "out.php") + done,
     0,
     "default"},
    {"extra file names",
     {"in.php", "out.php", "a", "b"},
     "Ignoring: a\nIgnoring: b\n" + start_message("in.php", "out.php") + done,
     0,
     "default"},
    {"option glued to its value is a file name",
     {"-dshop", "in.php", "out.php"},
     "Ignoring: out.php\nError: could not open infile -dshop.\n\n",
     1,
     ""},
    {"same name", {"x.php", "x.php"}, "Error: infile cannot be the same as outfile.\n\n", 1, ""},
    {"repeated option, last wins",
     {"-d", "first", "in.php", "-d", "second", "out.php", "-d", "shop"},
     start_message("in.php", "out.php", "shop") + done,
     0,
     "shop"},
    {"option without value",
     {"in.php", "out.php", "extra", "-d"},
     "Ignoring: extra\n" + usage,
     1,
     ""},
    {"option and one file name", {"-d", "shop", "in.php"}, usage, 1, ""},
    {"missing input",
     {"missing.php", "out.php"},
     "Error: could not open infile missing.php.\n\n",
     1,
     ""},
};

TEST(CommandLine, Table) {
  for (const command_case& c : command_cases) {
    SCOPED_TRACE(c.name);
    temp_dir dir;
    write_file(dir / "in.php", source);
    std::vector<std::string> argv = {program};
    argv.insert(argv.end(), c.arguments.begin(), c.arguments.end());

    run_result run = run_corvexa(argv, dir.path());

    EXPECT_EQ(run.out, banner() + c.console);
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(run.status, c.status);
    std::map<std::string, std::string> expected_files = {{"in.php", source}};
    if (!c.database.empty()) expected_files["out.php"] = converted(c.database);
    EXPECT_EQ(snapshot(dir.path()), expected_files);
  }
}

TEST(CommandLine, FullRunReportsEveryCallThatNeedsAttention) {
  const std::string input =
      "<html>\n"
      "<?php\n"
      "$link = mysql_connect($host, $user, $pass);\n"
      "mysql_select_db('shop');\n"
      "$r = mysql_query($sql, $link);\n"
      "$x = mysql_data_seek($r, 0);\n"
      "$id = mysql_insert_id($link);\n"
      "$res = mysql_db_query('shop', $sql);\n"
      "echo mysql_error();\n"
      "?>\n"
      "</html>\n";
  const std::string output =
      "<html>\n"
      "<?php\n"
      "$link = pg_connect(\"dbname=default host=\".$host.\" user=\".$user."
      "\" password=\".$pass);\n"
      "// Warning: mysql_select_db() not supported.\n"
      ";\n"
      "$r = pg_query($link,$sql);\n"
      "$x = // Warning: mysql_data_seek() not supported.\n"
      ";\n"
      "$id = pg_last_oid($link);\n"
      "$res = pg_query($res,$sql);;\n"
      "echo pg_result_error($res);\n"
      "?>\n"
      "</html>\n";
  const std::string console =
      start_message("page.php", "out/page.php") +
      "Warning: mysql_select_db() not supported.\n"
      "Suggestion: corvexa -d shop page.php out/page.php\n\n"
      "Warning: mysql_data_seek() not supported.\n"
      "mysql_insert_id: pg_last_oid\n"
      "mysql_insert_id: For tables without OID use pg_result_status\n"
      "Warning: mysql_db_query() doesn't have an equivlant postgres function. "
      "Could create problems.\n" +
      done;
  temp_dir dir;
  write_file(dir / "page.php", input);
  std::filesystem::create_directory(dir / "out");

  run_result run = run_corvexa({program, "page.php", "out/page.php"}, dir.path());

  EXPECT_EQ(run.out, banner() + console);
  EXPECT_EQ(run.err, "");
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(read_file(dir / "out/page.php"), output);
  EXPECT_EQ(read_file(dir / "page.php"), input);
}

}  // namespace
}  // namespace corvexa_test
