// End-to-end runs of the corvexa-tree binary on small trees: what it writes,
// what it refuses, how it reports failures, and that its report and its
// diffs agree with corvexa and with patch(1).
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "run_corvexa.h"
#include "tree_runs.h"

namespace corvexa_test {
namespace {

namespace fs = std::filesystem;

const std::string connect_file =
    "<?php\n$link = mysql_connect($h, $u, $p);\nmysql_select_db('shop');\n"
    "$r = mysql_query('SELECT 1', $link);\n$x = mysql_errno();\n?>\n";
const std::string query_file = "<html><?= mysql_num_rows(mysql_query($q)) ?></html>\n";

// A source tree with a bit of everything in `dir`/src.
void make_source_tree(const temp_dir& dir) {
  fs::create_directories(dir / "src/lib/empty");
  write_file(dir / "src/index.php", connect_file);
  write_file(dir / "src/lib/Query.PHP", query_file);
  write_file(dir / "src/lib/page.inc", query_file);
  write_file(dir / "src/style.css", "body { }\n");
  write_file(dir / "src/odd name\n\xff.php", connect_file);
  ::chmod((dir / "src/index.php").c_str(), 0640);
  ::chmod((dir / "src/lib").c_str(), 0750);
  fs::create_symlink("../index.php", dir / "src/lib/link.php");
  fs::create_symlink("nowhere", dir / "src/dangling");
  ::mkfifo((dir / "src/pipe").c_str(), 0600);
}

// What `corvexa -d shop` writes for `source`.
std::string converted_by_corvexa(const temp_dir& dir, const std::string& source) {
  write_file(dir / "one-in.php", source);
  run_corvexa({"corvexa", "-d", "shop", "one-in.php", "one-out.php"}, dir.path());
  return read_file(dir / "one-out.php");
}

mode_t mode_of(const std::string& path) {
  struct stat info;
  return ::lstat(path.c_str(), &info) == 0 ? info.st_mode & 07777 : 0;
}

TEST(Tree, MirrorsTheSourceTree) {
  temp_dir dir;
  make_source_tree(dir);
  auto source_before = snapshot(dir / "src");

  run_result run = run_tree({"src", "-j", "2", "out", "--database=shop", "--report", "json",
                             "--no-progress", "--rules=seed"},
                            dir.path());

  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.err, "");
  EXPECT_EQ(snapshot(dir / "src"), source_before);
  for (const char* php : {"index.php", "lib/Query.PHP", "lib/page.inc", "odd name\n\xff.php"}) {
    EXPECT_EQ(read_file(dir / "out/" + php),
              converted_by_corvexa(dir, read_file(dir / "src/" + php)))
        << php;
  }
  EXPECT_EQ(read_file(dir / "out/style.css"), "body { }\n");
  EXPECT_EQ(fs::read_symlink(dir / "out/lib/link.php"), "../index.php");
  EXPECT_EQ(fs::read_symlink(dir / "out/dangling"), "nowhere");
  EXPECT_TRUE(fs::is_directory(dir / "out/lib/empty"));
  EXPECT_FALSE(fs::exists(fs::symlink_status(dir / "out/pipe")));
  EXPECT_EQ(mode_of(dir / "out/index.php"), 0640u);
  EXPECT_EQ(mode_of(dir / "out/lib"), 0750u);
  for (const auto& [path, bytes] : snapshot(dir / "out")) {
    EXPECT_EQ(path.find(".corvexa-"), std::string::npos) << "temporary file left: " << path;
  }

  nlohmann::json report = nlohmann::json::parse(run.out);
  EXPECT_EQ(report["tool"], "corvexa-tree");
  EXPECT_EQ(report["database"], "shop");
  std::vector<std::string> paths, kinds;
  for (const auto& file : report["files"]) {
    paths.push_back(file["path"]);
    kinds.push_back(file["kind"]);
  }
  // Byte order, with the name that is not UTF-8 made valid.
  EXPECT_EQ(paths, (std::vector<std::string>{"dangling", "index.php", "lib/Query.PHP",
                                             "lib/link.php", "lib/page.inc",
                                             "odd name\n\xef\xbf\xbd.php", "pipe", "style.css"}));
  EXPECT_EQ(kinds, (std::vector<std::string>{"symlink", "php", "php", "symlink", "php", "php",
                                             "skipped", "copied"}));
  const auto& index = report["files"][1];
  EXPECT_EQ(index["calls_converted"], 2);
  // One finding a place, with the messages of every rule that found it.
  ASSERT_EQ(index["findings"].size(), 2u);
  EXPECT_EQ(index["findings"][0]["rule"], "select-db");
  EXPECT_NE(index["findings"][0]["message"].get<std::string>().find("not supported"),
            std::string::npos);
  EXPECT_EQ(index["findings"][1]["rule"], "broken-expression");
  EXPECT_NE(index["findings"][1]["message"].get<std::string>().find("not supported"),
            std::string::npos);
  EXPECT_EQ(index["findings"][1]["source"], (nlohmann::json{{"line", 5}, {"column", 6}}));
}

TEST(Tree, SarifReportPlacesEveryFindingOnItsSourceLine) {
  temp_dir dir;
  make_source_tree(dir);
  run_result json_run = run_tree({"--report", "json", "src", "out1"}, dir.path());
  run_result sarif_run = run_tree({"--report=sarif", "src", "out2"}, dir.path());
  ASSERT_EQ(sarif_run.status, 0) << sarif_run.err;

  nlohmann::json sarif = nlohmann::json::parse(sarif_run.out);
  nlohmann::json report = nlohmann::json::parse(json_run.out);
  EXPECT_EQ(sarif["version"], "2.1.0");
  EXPECT_NE(sarif["$schema"].get<std::string>().find("sarif-schema-2.1.0"), std::string::npos);
  ASSERT_EQ(sarif["runs"].size(), 1u);
  const auto& run = sarif["runs"][0];
  std::vector<std::string> rule_ids;
  for (const auto& rule : run["tool"]["driver"]["rules"]) rule_ids.push_back(rule["id"]);
  for (const char* id : {"unsupported-call", "parse-error", "db-query", "insert-id", "select-db",
                         "leftover-name", "split-argument", "missing-argument", "no-link",
                         "guessed-link", "broken-expression", "review"}) {
    EXPECT_NE(std::find(rule_ids.begin(), rule_ids.end(), id), rule_ids.end()) << id;
  }
  // The same findings, in the same order, placed in the source files.
  std::vector<nlohmann::json> expected;
  for (const auto& file : report["files"]) {
    for (const auto& f : file["findings"]) expected.push_back(f);
  }
  ASSERT_EQ(run["results"].size(), expected.size());
  for (std::size_t i = 0; i < expected.size(); ++i) {
    const auto& result = run["results"][i];
    EXPECT_EQ(result["ruleId"], expected[i]["rule"]);
    EXPECT_EQ(result["level"], expected[i]["severity"]);
    EXPECT_EQ(result["message"]["text"], expected[i]["message"]);
    const auto& place = result["locations"][0]["physicalLocation"];
    EXPECT_EQ(place["artifactLocation"]["uriBaseId"], "SRCROOT");
    EXPECT_EQ(place["region"]["startLine"], expected[i]["source"]["line"]);
  }
  std::vector<std::string> uris;
  for (const auto& result : run["results"]) {
    uris.push_back(result["locations"][0]["physicalLocation"]["artifactLocation"]["uri"]);
  }
  EXPECT_NE(std::find(uris.begin(), uris.end(), "odd%20name%0A%FF.php"), uris.end());
}

TEST(Tree, ReportIsTheSameWhateverTheNumberOfJobs) {
  temp_dir dir;
  fs::create_directories(dir / "src");
  for (int i = 0; i < 60; ++i) {
    write_file(dir / ("src/f" + std::to_string(i) + ".php"), i % 2 ? connect_file : query_file);
  }
  for (const char* format : {"text", "json"}) {
    SCOPED_TRACE(format);
    run_result one = run_tree({"--report", format, "-j1", "src", "out"}, dir.path());
    fs::remove_all(dir / "out");
    run_result two = run_tree({"--report", format, "-j2", "src", "out"}, dir.path());
    fs::remove_all(dir / "out");
    EXPECT_EQ(one.status, 0);
    EXPECT_EQ(two.status, 0);
    EXPECT_EQ(without_time(two.out), without_time(one.out));
  }
}

struct refusal_case {
  const char* name;
  std::vector<std::string> arguments;
  const char* message;
};

TEST(Tree, RefusesAnOutputFolderThatOverlapsTheSourceOrHoldsFiles) {
  const refusal_case cases[] = {
      {"same folder", {"src", "./src/"}, "is the source folder"},
      {"inside", {"src", "src/lib/out"}, "is inside the source folder"},
      {"around", {"src/lib", "."}, "contains the source folder"},
      {"inside through a link", {"src", "link-to-src/new"}, "is inside the source folder"},
      {"inside through a link after a missing folder",
       {"src", "missing/../link-to-src/new"},
       "is inside the source folder"},
      {"not empty", {"src", "full"}, "exists and is not empty"},
      {"a file", {"src", "full/file"}, "exists and is not a folder"},
      {"missing source", {"nothing", "out"}, "cannot use source folder nothing"},
      {"source is a file", {"full/file", "out"}, "is not a folder"},
  };
  for (const refusal_case& c : cases) {
    SCOPED_TRACE(c.name);
    temp_dir dir;
    make_source_tree(dir);
    fs::create_directory_symlink("src", dir / "link-to-src");
    fs::create_directory(dir / "full");
    write_file(dir / "full/file", "x");
    auto before = snapshot(dir.path());

    run_result run = run_tree(c.arguments, dir.path());

    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find(c.message), std::string::npos) << run.err;
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(snapshot(dir.path()), before);
  }
}

TEST(Tree, FailedFilesAreNamedAndTheOthersStillConverted) {
  temp_dir dir;
  make_source_tree(dir);
  // With --force, a file stands where the folder lib must go: the folder
  // and everything in it fail, the rest is converted.
  fs::create_directory(dir / "out");
  write_file(dir / "out/lib", "in the way");

  run_result run = run_tree({"--force", "--rules", "seed", "-d", "shop", "src", "out"}, dir.path());

  EXPECT_EQ(run.status, 1);
  for (const char* failed :
       {"src/lib: error: could not create folder: it exists and is not a folder [failed]",
        "src/lib/Query.PHP: error: not written: its output folder could not be created",
        "src/lib/page.inc: error: not written"}) {
    EXPECT_NE(run.out.find(failed), std::string::npos) << failed << "\n" << run.out;
  }
  EXPECT_EQ(read_file(dir / "out/index.php"), converted_by_corvexa(dir, connect_file));
  EXPECT_EQ(read_file(dir / "out/lib"), "in the way");
  for (const auto& [path, bytes] : snapshot(dir / "out")) {
    EXPECT_EQ(path.find(".corvexa-"), std::string::npos) << "temporary file left: " << path;
  }
}

// A link where an output folder must go is not followed: with --force, the
// folder fails, nothing is written through the link, and the folder it
// points to keeps its files and its permission bits.
TEST(Tree, ForceNeverWritesThroughALinkInTheOutput) {
  temp_dir dir;
  make_source_tree(dir);
  fs::create_directories(dir / "out");
  fs::create_directories(dir / "elsewhere");
  write_file(dir / "elsewhere/keep.txt", "kept");
  ::chmod((dir / "elsewhere").c_str(), 0755);
  fs::create_directory_symlink("../elsewhere", dir / "out/lib");
  auto source_before = snapshot(dir / "src");

  run_result run = run_tree({"--force", "--rules", "seed", "-d", "shop", "src", "out"}, dir.path());

  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.out.find("src/lib: error: could not create folder: it exists and is not a folder"),
            std::string::npos)
      << run.out;
  EXPECT_NE(run.out.find("src/lib/page.inc: error: not written"), std::string::npos) << run.out;
  EXPECT_EQ(snapshot(dir / "src"), source_before);
  EXPECT_EQ(snapshot(dir / "elsewhere"),
            (std::map<std::string, std::string>{{"keep.txt", "kept"}}));
  EXPECT_EQ(mode_of(dir / "elsewhere"), 0755u);
  EXPECT_EQ(read_file(dir / "out/index.php"), converted_by_corvexa(dir, connect_file));
}

TEST(Tree, CheckExitsWithTwoWhileWarningsRemain) {
  temp_dir dir;
  fs::create_directories(dir / "warns");
  fs::create_directories(dir / "notes");
  write_file(dir / "warns/a.php", "<?php mysql_errno();");
  write_file(dir / "notes/a.php", "<?php mysql_query($q); mysql_select_db('default');");
  EXPECT_EQ(run_tree({"--check", "--rules=seed", "warns", "out1"}, dir.path()).status, 2);
  EXPECT_EQ(run_tree({"--rules=seed", "warns", "out2"}, dir.path()).status, 0);
  // mysql_select_db is still an unsupported call, a warning.
  EXPECT_EQ(run_tree({"--check", "--rules=seed", "notes", "out3"}, dir.path()).status, 2);
  // The complete rules convert both, and select the database the run
  // connects to: nothing is left.
  EXPECT_EQ(run_tree({"--check", "notes", "out4"}, dir.path()).status, 0);
  write_file(dir / "notes/a.php", "<?php mysql_query($q);");
  EXPECT_EQ(run_tree({"--check", "--rules=seed", "notes", "out5"}, dir.path()).status, 0);
  // A call with no counterpart fails at run time: an error.
  write_file(dir / "warns/a.php", "<?php echo mysql_info();");
  EXPECT_EQ(run_tree({"--check", "warns", "out6"}, dir.path()).status, 2);
}

TEST(Tree, DiffModeWritesNothingAndPatchGivesTheConvertedTree) {
  if (std::system("patch --version >/dev/null 2>&1") != 0) {
    GTEST_SKIP() << "patch is not installed; it applies the diffs";
  }
  temp_dir dir;
  make_source_tree(dir);
  ASSERT_EQ(run_tree({"src", "out", "-d", "shop"}, dir.path()).status, 0);
  auto before = snapshot(dir.path());

  run_result run =
      run_tree({"--diff", "-d", "shop", "--report-file", "report.txt", "src"}, dir.path());

  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.err, "");
  before["report.txt"] = read_file(dir / "report.txt");
  EXPECT_EQ(snapshot(dir.path()), before);
  write_file(dir / "changes.diff", run.out);
  std::string command = "cp -r '" + dir.path() + "/src' '" + dir.path() + "/patched' 2>/dev/null;" +
                        " cd '" + dir.path() + "/patched' && patch -p1 -s < ../changes.diff";
  ASSERT_EQ(std::system(command.c_str()), 0) << run.out;
  for (const char* php : {"index.php", "lib/Query.PHP", "lib/page.inc", "odd name\n\xff.php"}) {
    EXPECT_EQ(read_file(dir / "patched/" + php), read_file(dir / "out/" + php)) << php;
  }
}

// An install script's MySQL CREATE TABLE becomes PostgreSQL's statements in
// its literal; one with a PHP value in its name is a finding instead.
TEST(Tree, DdlTextsAreConvertedByTheSchemaConverter) {
  temp_dir dir;
  fs::create_directories(dir / "src");
  write_file(dir / "src/install.php",
             "<?php\n"
             "mysql_query('CREATE TABLE `t` (`id` int(11) NOT NULL auto_increment, "
             "`n` varchar(9) NOT NULL DEFAULT \\'x\\', PRIMARY KEY (`id`), KEY `n` (`n`)) "
             "ENGINE=MyISAM');\n"
             "mysql_query(\"CREATE TABLE {$p}u (`id` int(11)) ENGINE=MyISAM\");\n");
  run_result run = run_tree({"--report", "json", "src", "out"}, dir.path());
  ASSERT_EQ(run.status, 0) << run.err;
  std::string converted = read_file(dir / "out/install.php");
  EXPECT_NE(
      converted.find("'CREATE EXTENSION IF NOT EXISTS citext;\nCREATE TABLE t (\n  id integer "
                     "GENERATED BY DEFAULT AS IDENTITY NOT NULL,\n  n citext NOT NULL DEFAULT "
                     "\\'x\\' CONSTRAINT t_n_check CHECK (char_length(n) <= 9),\n  PRIMARY KEY "
                     "(id)\n);\n"
                     "CREATE INDEX t_n ON t (n)'"),
      std::string::npos)
      << converted;
  nlohmann::json report = nlohmann::json::parse(run.out);
  std::vector<std::string> messages;
  for (const auto& f : report["files"][0]["findings"]) messages.push_back(f["message"]);
  ASSERT_FALSE(messages.empty());
  EXPECT_NE(messages[0].find("CREATE TABLE {...}u holds PHP values"), std::string::npos) << report;
}

// The source lines of the findings of `rule` in page.php holding `php`,
// converted alone by the complete rules.
std::vector<int> lines_of_rule(const std::string& php, std::string_view rule) {
  temp_dir dir;
  fs::create_directories(dir / "src");
  write_file(dir / "src/page.php", php);
  run_result run = run_tree({"--report", "json", "src", "out"}, dir.path());
  EXPECT_EQ(run.status, 0) << run.err;
  std::vector<int> lines;
  nlohmann::json report = nlohmann::json::parse(run.out, nullptr, false);
  if (report.is_discarded()) return lines;
  for (const auto& f : report["files"][0]["findings"]) {
    if (f["rule"] == rule) lines.push_back(f["source"]["line"]);
  }
  return lines;
}

// stripslashes() of a value fetched in the same function is a finding:
// PostgreSQL gives values back as they were stored.
TEST(Tree, StripslashesOfFetchedValuesIsAFinding) {
  EXPECT_EQ(lines_of_rule("<?php\n"
                          "function show_post($r) {\n"
                          "    $row = mysql_fetch_assoc($r);\n"
                          "    echo stripslashes($row['title']);\n"
                          "    $post = @mysql_fetch_object($r);\n"
                          "    echo StripSlashes($post->body);\n"
                          "}\n"
                          "function other($row, $r) {\n"
                          "    echo stripslashes($row['title']), stripslashes($post->body);\n"
                          "    $n = mysql_fetch_row($r);\n"
                          "    echo stripslashes($n[0]), stripslashes($n[0] . 'x'), "
                          "stripslashes($_POST['x']);\n"
                          "}\n"
                          "while ($row = mysql_fetch_array($res)) { echo stripslashes($row[1]); }\n"
                          "$text = stripslashes($row);\n",
                          "php-stripslashes"),
            (std::vector<int>{4, 6, 11, 13}));
}

// A zero date in PHP code no longer matches what PostgreSQL gives back;
// one inside a query text is the SQL checks' to rewrite.
TEST(Tree, ZeroDatesInCodeAreFindings) {
  EXPECT_EQ(lines_of_rule("<?php\n"
                          "$r = mysql_query(\"SELECT d FROM t WHERE d <> '0000-00-00'\");\n"
                          "if ($row['d'] != '0000-00-00 00:00:00') { echo 'set'; }\n"
                          "$none = \"0000-00-00\";\n"
                          "echo '0000-00-00 is zero', '0000-00-00 00:00';\n"
                          "// '0000-00-00'\n"
                          "?>'0000-00-00'\n",
                          "php-zero-date"),
            (std::vector<int>{3, 4}));
}

// PHP 8 has no get_magic_quotes_gpc(): a call of it becomes false, what
// every PHP since 5.4 answered; the name elsewhere stays, and the seed rules
// leave the file as corvexa would.
TEST(Tree, MagicQuotesCallsBecomeFalse) {
  temp_dir dir;
  fs::create_directories(dir / "src");
  const std::string page =
      "<?php\n"
      "if (get_magic_quotes_gpc()) { $x = stripslashes($x); }\n"
      "$y = GET_MAGIC_QUOTES_RUNTIME ( ) ? 1 : \\get_magic_quotes_gpc();\n"
      "echo 'get_magic_quotes_gpc()'; // get_magic_quotes_gpc()\n"
      "if (!function_exists('get_magic_quotes_gpc')) { function get_magic_quotes_gpc() {} }\n"
      "$o->get_magic_quotes_gpc(); A::get_magic_quotes_gpc(); get_magic_quotes_gpc($a);\n"
      "?>get_magic_quotes_gpc()\n";
  write_file(dir / "src/page.php", page);
  ASSERT_EQ(run_tree({"src", "out"}, dir.path()).status, 0);
  EXPECT_EQ(read_file(dir / "out/page.php"),
            "<?php\n"
            "if (false) { $x = stripslashes($x); }\n"
            "$y = false ? 1 : \\false;\n"
            "echo 'get_magic_quotes_gpc()'; // get_magic_quotes_gpc()\n"
            "if (!function_exists('get_magic_quotes_gpc')) { function get_magic_quotes_gpc() {} }\n"
            "$o->get_magic_quotes_gpc(); A::get_magic_quotes_gpc(); get_magic_quotes_gpc($a);\n"
            "?>get_magic_quotes_gpc()\n");
  ASSERT_EQ(run_tree({"--rules", "seed", "src", "seed"}, dir.path()).status, 0);
  EXPECT_EQ(read_file(dir / "seed/page.php"), page);
}

// The query texts the converted code sends are judged by PostgreSQL's
// parser: the complete rules rewrite what has an exact equivalent, the seed
// rules only report; either way a finding points at the offending byte of
// the source, and the diff still gives the converted file.
TEST(Tree, QueriesAreJudgedAndRewrittenWherePostgresqlNeeds) {
  temp_dir dir;
  fs::create_directories(dir / "src");
  const std::string page =
      "<?php\n"
      "$sql = \"SELECT `name` FROM `users` ORDER BY id LIMIT \" . 5 . \"\"; mysql_query($sql);\n"
      "$r = mysql_query(\"SELECT `name` FROM `users` LIMIT 10, 20\");\n"
      "$s = mysql_query('SHOW TABLES');\n";
  write_file(dir / "src/page.php", page);

  run_result complete = run_tree({"--report", "json", "src", "out"}, dir.path());
  ASSERT_EQ(complete.status, 0) << complete.err;
  std::string converted = read_file(dir / "out/page.php");
  EXPECT_NE(converted.find("\"SELECT name FROM users LIMIT 20 OFFSET 10\""), std::string::npos)
      << converted;
  EXPECT_NE(converted.find("$sql = \"SELECT name FROM users ORDER BY"), std::string::npos);
  nlohmann::json report = nlohmann::json::parse(complete.out);
  const auto& findings = report["files"][0]["findings"];
  ASSERT_EQ(findings.size(), 1u) << findings;
  EXPECT_EQ(findings[0]["rule"], "sql-mysql");
  // The S of SHOW, in the source and in the converted file.
  EXPECT_EQ(findings[0]["source"], (nlohmann::json{{"line", 4}, {"column", 19}}));
  std::size_t show = converted.find("SHOW TABLES");
  std::size_t line_start = converted.rfind('\n', show) + 1;
  EXPECT_EQ(findings[0]["output"]["column"], show - line_start + 1);
  EXPECT_EQ(report["summary"]["query_texts"]["rewritten"], 2);

  run_result seed = run_tree({"--rules=seed", "--report", "json", "src", "out-seed"}, dir.path());
  ASSERT_EQ(seed.status, 0) << seed.err;
  EXPECT_NE(read_file(dir / "out-seed/page.php").find("LIMIT 10, 20"), std::string::npos);
  std::vector<std::string> rules;
  nlohmann::json seed_report = nlohmann::json::parse(seed.out);
  for (const auto& f : seed_report["files"][0]["findings"]) rules.push_back(f["rule"]);
  EXPECT_EQ(rules, (std::vector<std::string>{"sql-syntax", "sql-syntax", "sql-mysql"}));

  if (std::system("patch --version >/dev/null 2>&1") != 0) return;
  run_result diff = run_tree({"--diff", "--report-file", "report.txt", "src"}, dir.path());
  ASSERT_EQ(diff.status, 0) << diff.err;
  write_file(dir / "changes.diff", diff.out);
  std::string command = "cp -r '" + dir.path() + "/src' '" + dir.path() + "/patched' && cd '" +
                        dir.path() + "/patched' && patch -p1 -s < ../changes.diff";
  ASSERT_EQ(std::system(command.c_str()), 0) << diff.out;
  EXPECT_EQ(read_file(dir / "patched/page.php"), converted);
}

// The tree's .sql files: the complete rules convert them, a dump of rows
// knowing the tables another file creates; the seed rules copy them and
// report the same findings; the findings point into the source file.
TEST(Tree, SqlFilesAreConvertedKnowingTheTablesOfTheOthers) {
  temp_dir dir;
  fs::create_directories(dir / "src/install");
  write_file(
      dir / "src/install/schema.sql",
      "CREATE TABLE `t` (\n  `id` int NOT NULL AUTO_INCREMENT,\n"
      "  `d` datetime DEFAULT '0000-00-00 00:00:00',\n  PRIMARY KEY (`id`)\n) ENGINE=MyISAM;\n");
  write_file(dir / "src/install/data.sql", "INSERT INTO `t` VALUES (7,NULL);\n");

  run_result complete = run_tree({"--report", "json", "src", "out"}, dir.path());
  ASSERT_EQ(complete.status, 0) << complete.err;
  std::string schema = read_file(dir / "out/install/schema.sql");
  EXPECT_NE(schema.find("CREATE TABLE t ("), std::string::npos) << schema;
  EXPECT_EQ(schema.find("ENGINE"), std::string::npos) << schema;
  EXPECT_NE(read_file(dir / "out/install/data.sql").find("setval(pg_get_serial_sequence('t'"),
            std::string::npos);
  nlohmann::json report = nlohmann::json::parse(complete.out);
  const auto& files = report["files"];
  ASSERT_EQ(files.size(), 2u);
  EXPECT_EQ(files[1]["kind"], "sql");
  ASSERT_EQ(files[1]["findings"].size(), 1u) << files[1];
  EXPECT_EQ(files[1]["findings"][0]["rule"], "sql-schema-convert");
  EXPECT_EQ(files[1]["findings"][0]["source"]["line"], 3);

  run_result seed = run_tree({"--rules=seed", "--report", "json", "src", "out-seed"}, dir.path());
  ASSERT_EQ(seed.status, 0) << seed.err;
  EXPECT_EQ(read_file(dir / "out-seed/install/schema.sql"),
            read_file(dir / "src/install/schema.sql"));
  // The same findings, with the CREATE TABLE they stand in named for migrating.
  auto seed_findings = nlohmann::json::parse(seed.out)["files"][1]["findings"];
  ASSERT_EQ(seed_findings.size(), 2u) << seed_findings;
  EXPECT_EQ(seed_findings[0]["rule"], "sql-schema-migrate");
  EXPECT_EQ(seed_findings[1], files[1]["findings"][0]);

  // A schema outside the tree is read for its tables, and a file that is
  // not there is an error before anything is written.
  run_result missing = run_tree({"--schema", "nowhere.sql", "src", "out-missing"}, dir.path());
  EXPECT_EQ(missing.status, 1);
  EXPECT_NE(missing.err.find("cannot read the schema file nowhere.sql"), std::string::npos);
  EXPECT_FALSE(fs::exists(dir / "out-missing"));
}

// The seed rules copy an .sql file and name each statement that converting
// would change, at its first token; spacing alone is no change, and a
// statement that already has a finding there gets no second one.
TEST(Tree, SeedRulesNameEveryStatementToMigrate) {
  temp_dir dir;
  fs::create_directories(dir / "src");
  write_file(dir / "src/schema.sql",
             "CREATE TABLE users (id int) ENGINE=InnoDB;\n"
             "INSERT INTO users VALUES (1),(2);\n"
             "  INSERT INTO `users` VALUES (3);\n"
             "SELECT 'a  b';\n"
             "INSERT INTO users VALUES ('it''s'), ('a\\'b');\n"
             "LOCK TABLES users WRITE;\n"
             "GRANT ALL ON shop.* TO 'u'@'%';\n"
             "CREATE TABLE t2 (\n  d datetime DEFAULT '0000-00-00 00:00:00'\n);\n"
             "DROP TABLE IF EXISTS `old`;\n");
  run_result seed = run_tree({"--rules=seed", "--report", "json", "src", "out"}, dir.path());
  ASSERT_EQ(seed.status, 0) << seed.err;
  EXPECT_EQ(read_file(dir / "out/schema.sql"), read_file(dir / "src/schema.sql"));
  struct expected_finding {
    int line, column;
    const char* rule;
    const char* message;
  };
  const std::string converts = "; corvexa-tree --rules complete converts it";
  const expected_finding expected[] = {
      {1, 1, "sql-schema-migrate", "CREATE TABLE users: MySQL DDL"},
      {3, 3, "sql-schema-migrate", "INSERT INTO users: MySQL rows"},
      {5, 1, "sql-schema-migrate", "INSERT INTO users: MySQL rows"},
      {6, 1, "sql-schema-migrate", "LOCK TABLES: a MySQL statement"},
      {7, 1, "sql-schema-unsupported",
       "GRANT has no PostgreSQL counterpart and was written as a comment; GRANT: a MySQL "
       "statement"},
      {8, 1, "sql-schema-migrate", "CREATE TABLE t2: MySQL DDL"},
      {9, 3, "sql-schema-convert",
       "column d: MySQL's zero date default has no PostgreSQL counterpart; the default is NULL "
       "and the column accepts NULL"},
      {11, 1, "sql-schema-migrate", "DROP TABLE IF EXISTS old: MySQL DDL"},
  };
  auto findings = nlohmann::json::parse(seed.out)["files"][0]["findings"];
  ASSERT_EQ(findings.size(), std::size(expected)) << findings;
  for (std::size_t i = 0; i < std::size(expected); ++i) {
    const expected_finding& e = expected[i];
    std::string message = e.message;
    if (std::string(e.rule) != "sql-schema-convert") message += converts;
    EXPECT_EQ(findings[i]["source"]["line"], e.line) << findings[i];
    EXPECT_EQ(findings[i]["source"]["column"], e.column) << findings[i];
    EXPECT_EQ(findings[i]["rule"], e.rule) << findings[i];
    EXPECT_EQ(findings[i]["message"], message) << findings[i];
  }
}

// The extensions that the PHP files' queries need are created by the .sql
// files that create tables, with the file's own, sorted, once, before the
// first table; a file of rows creates none. The same whatever the jobs.
TEST(Tree, SqlFilesCreateTheExtensionsTheQueriesNeed) {
  temp_dir dir;
  fs::create_directories(dir / "src/install");
  write_file(dir / "src/login.php",
             "<?php\n$r = mysql_query(\"SELECT id FROM users WHERE pass = SHA1('x')\");\n");
  write_file(dir / "src/install/schema.sql",
             "-- users\nCREATE TABLE users (id int, name varchar(20), pass char(40) BINARY);\n"
             "CREATE TABLE logins (id int);\n");
  write_file(dir / "src/install/data.sql", "INSERT INTO users VALUES (1, 'a', 'b');\n");
  std::string schema, data;
  for (const char* jobs : {"1", "8"}) {
    std::string out = std::string("out-") + jobs;
    run_result run = run_tree({"-j", jobs, "--no-progress", "src", out}, dir.path());
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.out.find("extensions the database needs: pgcrypto"), std::string::npos)
        << run.out;
    std::string converted = read_file(dir / (out + "/install/schema.sql"));
    EXPECT_NE(converted.find("-- users\nCREATE EXTENSION IF NOT EXISTS citext;\n"
                             "CREATE EXTENSION IF NOT EXISTS pgcrypto;\nCREATE TABLE users ("),
              std::string::npos)
        << converted;
    EXPECT_EQ(converted.find("CREATE EXTENSION"),
              converted.rfind("CREATE EXTENSION IF NOT EXISTS c"))
        << converted;
    EXPECT_EQ(converted.find("pgcrypto"), converted.rfind("pgcrypto")) << converted;
    std::string rows = read_file(dir / (out + "/install/data.sql"));
    EXPECT_EQ(rows.find("EXTENSION"), std::string::npos) << rows;
    if (schema.empty()) {
      schema = converted;
      data = rows;
    }
    EXPECT_EQ(converted, schema);
    EXPECT_EQ(rows, data);
  }
}

// The tables of the tree's .sql files are what the queries of its PHP files
// are held against, whatever order the files come in; its views and the
// tables its PHP code creates are known by name.
TEST(Tree, QueriesAreHeldAgainstTheTablesOfTheSqlFiles) {
  temp_dir dir;
  fs::create_directories(dir / "src/install");
  write_file(dir / "src/a.php",
             "<?php\n$r = mysql_query(\"SELECT id FROM t\");\n"
             "$r = mysql_query(\"SELECT stamp FROM t WHERE id = $id\");\n"
             "$r = mysql_query(\"SELECT anything FROM recent\");\n"
             "$r = mysql_query('SELECT n FROM made_by_install, tmp');\n");
  write_file(dir / "src/install/install.php",
             "<?php\nmysql_query('CREATE TABLE IF NOT EXISTS made_by_install (n int)');\n"
             "mysql_query(\"CREATE TEMPORARY TABLE `Tmp` (n int)\");\n");
  write_file(dir / "src/install/schema.sql",
             "CREATE TABLE `t` (\n  `id` int NOT NULL AUTO_INCREMENT,\n  `d` datetime,\n"
             "  PRIMARY KEY (`id`)\n);\nCREATE VIEW `recent` AS SELECT id FROM t;\n");
  run_result run = run_tree({"--report", "json", "src", "out"}, dir.path());
  ASSERT_EQ(run.status, 0) << run.err;
  nlohmann::json report = nlohmann::json::parse(run.out);
  const auto& findings = report["files"][0]["findings"];
  ASSERT_EQ(findings.size(), 1u) << findings;
  EXPECT_EQ(findings[0]["rule"], "sql-schema");
  EXPECT_EQ(findings[0]["source"]["line"], 3);
  EXPECT_EQ(findings[0]["source"]["column"], 26);
}

// With no schema in the tree, a column compared with text is a note at the
// column, by either rules, where no other finding stands (the seed rules
// place everything inside a converted call at the call); with a schema, its
// text columns become citext and the comparisons keep their meaning.
TEST(Tree, TextComparisonsAreNotedOnlyWithoutASchema) {
  temp_dir dir;
  fs::create_directories(dir / "src");
  write_file(dir / "src/a.php",
             "<?php\n$r = mysql_query(\"SELECT id FROM users WHERE id = '5'\");\n"
             "$r = mysql_query(\"SELECT id FROM users WHERE name = '$n'\");\n"
             "$r = mysql_query(\"SELECT id FROM users WHERE name = \\\"$n\\\"\");\n");
  const std::pair<const char*, std::vector<std::string>> runs[] = {
      {"--rules=complete", {"sql-case 3:46", "sql-case 4:46"}},
      {"--rules=seed", {"sql-case 3:6", "sql-mysql 4:6"}},
  };
  for (const auto& [rules, expected] : runs) {
    run_result run = run_tree({rules, "--report", "json", "src", "out"}, dir.path());
    ASSERT_EQ(run.status, 0) << run.err;
    nlohmann::json report = nlohmann::json::parse(run.out);
    std::vector<std::string> found;
    for (const auto& f : report["files"][0]["findings"]) {
      found.push_back(f["rule"].get<std::string>() + " " + f["source"]["line"].dump() + ":" +
                      f["source"]["column"].dump());
      bool about_case = f["message"].get<std::string>().find("regard to case") != std::string::npos;
      EXPECT_EQ(about_case, f["rule"] == "sql-case") << f;
    }
    EXPECT_EQ(found, expected) << rules;
    fs::remove_all(dir / "out");
  }
  write_file(dir / "src/schema.sql", "CREATE TABLE users (id int, name varchar(20));\n");
  run_result run = run_tree({"--report", "json", "src", "out"}, dir.path());
  ASSERT_EQ(run.status, 0) << run.err;
  const nlohmann::json with_schema = nlohmann::json::parse(run.out);
  for (const auto& file : with_schema["files"]) {
    EXPECT_TRUE(file["findings"].empty()) << file;
  }
}

// A query function defined in one file makes the texts that other files
// give it judged and rewritten: a function, a method, and a wrapper of it
// defined in a third file; the same whatever the number of jobs.
TEST(Tree, TextsGivenToTheApplicationsQueryFunctionsAreJudgedAndRewritten) {
  temp_dir dir;
  fs::create_directories(dir / "src/include");
  write_file(dir / "src/include/functions.php",
             "<?php\nfunction run_query($sql)\n{\n    $result = mysql_query($sql);\n"
             "    if (!$result) die(mysql_error());\n    return $result;\n}\n");
  write_file(
      dir / "src/include/Db.php",
      "<?php\nclass Db {\n  function query($sql) { return mysql_query($sql, $this->link); }\n"
      "}\n");
  write_file(dir / "src/include/pages.php",
             "<?php\nfunction page_rows($sql) { return run_query($sql); }\n");
  write_file(
      dir / "src/page.php",
      "<?php\n"
      "$r = run_query(\"SELECT `name` FROM `users` LIMIT \" . (int) $first . \", \" . (int) $n);\n"
      "$db->query('UPDATE `users` SET `seen` = 1 WHERE `id` = 5 LIMIT 1');\n"
      "page_rows(\"SELECT IFNULL(`nick`, 'none') FROM `users`\");\n"
      "run_query('SHOW TABLES');\n");

  run_result one = run_tree({"--report", "json", "-j", "1", "src", "out1"}, dir.path());
  ASSERT_EQ(one.status, 0) << one.err;
  EXPECT_EQ(
      read_file(dir / "out1/page.php"),
      "<?php\n"
      "$r = run_query(\"SELECT name FROM users OFFSET \" . (int) $first . \" LIMIT \" . (int) "
      "$n);\n"
      "$db->query('UPDATE users SET seen = 1 WHERE ctid IN (SELECT ctid FROM users WHERE id = 5 "
      "LIMIT 1)');\n"
      "page_rows(\"SELECT COALESCE(nick, 'none') FROM users\");\n"
      "run_query('SHOW TABLES');\n");
  nlohmann::json report = nlohmann::json::parse(one.out);
  EXPECT_EQ(report["summary"]["query_texts"]["found"], 4);
  EXPECT_EQ(report["summary"]["query_texts"]["rewritten"], 3);
  const nlohmann::json& page = report["files"].back();
  EXPECT_EQ(page["path"], "page.php");
  ASSERT_EQ(page["findings"].size(), 1u) << page;
  EXPECT_EQ(page["findings"][0]["rule"], "sql-mysql");
  EXPECT_EQ(page["findings"][0]["source"], (nlohmann::json{{"line", 5}, {"column", 12}}));

  run_result three = run_tree({"--report", "json", "-j", "3", "src", "out3"}, dir.path());
  ASSERT_EQ(three.status, 0) << three.err;
  EXPECT_EQ(snapshot(dir / "out3"), snapshot(dir / "out1"));
  EXPECT_EQ(nlohmann::json::parse(three.out)["files"], report["files"]);

  // Without the definitions, the page's texts are not found.
  fs::remove_all(dir / "src/include");
  run_result alone = run_tree({"--report", "json", "src", "out-alone"}, dir.path());
  ASSERT_EQ(alone.status, 0) << alone.err;
  EXPECT_EQ(read_file(dir / "out-alone/page.php"), read_file(dir / "src/page.php"));
}

struct usage_case {
  std::vector<std::string> arguments;
  int status;
  const char* expected;  // in standard output for status 0, standard error otherwise
};

TEST(Tree, CommandLineFollowsGnuConventions) {
  const usage_case cases[] = {
      {{"--help"}, 0, "Usage: corvexa-tree [options] SOURCE_DIR OUTPUT_DIR"},
      {{"-V"}, 0, "corvexa-tree "},
      {{"src"}, 1, "give two folders"},
      {{"src", "a", "b"}, 1, "give two folders"},
      {{"--diff", "src", "out"}, 1, "--diff takes one folder"},
      {{"-j", "0", "src", "out"}, 1, "--jobs needs a whole number"},
      {{"--jobs=2x", "src", "out"}, 1, "--jobs needs a whole number"},
      {{"--report", "xml", "src", "out"}, 1, "--report takes text, json or sarif"},
      {{"--ext", "php,,inc", "src", "out"}, 1, "--ext needs"},
      {{"--frobnicate", "src", "out"}, 1, "unknown option '--frobnicate'"},
      {{"-jx2", "src", "out"}, 1, "--jobs needs"},
      {{"-q", "src", "out"}, 1, "unknown option '-q'"},
      {{"src", "out", "-d"}, 1, "option '-d' needs a value"},
  };
  temp_dir dir;
  fs::create_directory(dir / "src");
  for (const usage_case& c : cases) {
    SCOPED_TRACE(c.arguments.front());
    run_result run = run_tree(c.arguments, dir.path());
    EXPECT_EQ(run.status, c.status);
    const std::string& shown = c.status == 0 ? run.out : run.err;
    EXPECT_NE(shown.find(c.expected), std::string::npos) << shown;
    EXPECT_FALSE(fs::exists(dir / "out"));
  }
  // "--" ends the options: a folder may be named like one.
  fs::create_directory(dir / "-j");
  EXPECT_EQ(run_tree({"--", "-j", "out"}, dir.path()).status, 0);
}

}  // namespace
}  // namespace corvexa_test
