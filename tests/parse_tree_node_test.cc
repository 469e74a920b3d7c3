// The parse tree reader against nlohmann::json, which the tree walkers read
// before: on the trees libpg_query writes for the queries of the tests and
// examples, on those trees cut short or with a byte changed, and on texts
// made to probe what a JSON reader accepts. Both must accept the same
// texts and give the same tree: types, values, and members in the same
// order.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "sql/parse_tree_json.h"
#include "sql/parse_tree_node.h"
#include "sql/sql_parser.h"

namespace corvexa::sql {
namespace {

using parse_tree::document;
using parse_tree::node;
namespace fs = std::filesystem;

// Where the two trees first differ, as a path; empty when they agree.
std::string difference(const nlohmann::json& expected, const node& actual,
                       const std::string& path = "$") {
  using kind = node::kind;
  kind expected_kind = expected.is_discarded()         ? kind::discarded
                       : expected.is_null()            ? kind::null
                       : expected.is_boolean()         ? kind::boolean
                       : expected.is_number_unsigned() ? kind::number_unsigned
                       : expected.is_number_integer()  ? kind::number_integer
                       : expected.is_number_float()    ? kind::number_float
                       : expected.is_string()          ? kind::string
                       : expected.is_array()           ? kind::array
                                                       : kind::object;
  if (actual.type() != expected_kind) return path + ": another type";
  if (expected.size() != actual.size() || expected.empty() != actual.empty())
    return path + ": another size";
  switch (expected_kind) {
    case kind::boolean:
      return expected.get<bool>() == actual.get<bool>() ? "" : path + ": another boolean";
    case kind::number_unsigned:
    case kind::number_integer:
      return expected.get<std::uint64_t>() == actual.get<std::uint64_t>() &&
                     expected.get<long long>() == actual.get<long long>()
                 ? ""
                 : path + ": another integer";
    case kind::number_float:
      return expected.get<double>() == actual.get<double>() ? "" : path + ": another float";
    case kind::string:
      return expected.get<std::string>() == actual.get<std::string>() ? ""
                                                                      : path + ": another string";
    case kind::array:
    case kind::object: break;
    default: return "";
  }
  auto theirs = expected.begin();
  std::size_t index = 0;
  for (auto ours = actual.begin(); ours != actual.end(); ++ours, ++theirs, ++index) {
    std::string step =
        expected.is_object() ? "." + theirs.key() : "[" + std::to_string(index) + "]";
    if (expected.is_object() && ours.key() != theirs.key()) return path + step + ": another key";
    if (expected.is_object() && &*actual.find(theirs.key()) != &*ours)
      return path + step + ": not found by its key";
    std::string below = difference(theirs.value(), *ours, path + step);
    if (!below.empty()) return below;
  }
  return "";
}

// Empty when the reader and nlohmann agree on `json`.
std::string disagreement(const std::string& json) {
  nlohmann::json expected = nlohmann::json::parse(json, nullptr, false);
  document ours(json);
  std::string found = difference(expected, ours.root());
  if (found.empty() && !expected.is_discarded() && expected.dump() != ours.root().dump())
    found = "$: another dump";
  return found;
}

std::string read_file(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

bool starts_as_query(std::string_view text) {
  for (std::string_view word : {"select ", "insert ", "update ", "delete ", "create ", "alter ",
                                "with ", "replace ", "show "}) {
    if (text.size() >= word.size() &&
        std::equal(word.begin(), word.end(), text.begin(),
                   [](char w, char c) { return w == (c >= 'A' && c <= 'Z' ? c + 32 : c); }))
      return true;
  }
  return false;
}

// The literals between double or single quotes of a C++ or PHP source,
// with the escapes of either undone roughly: enough for query texts.
std::vector<std::string> string_literals(const std::string& source) {
  std::vector<std::string> literals;
  std::size_t at = source.find_first_of("\"'");
  while (at != std::string::npos) {
    char quote = source[at];
    std::string text;
    std::size_t i = at + 1;
    for (; i < source.size() && source[i] != quote && source[i] != '\n'; ++i) {
      if (source[i] == '\\' && i + 1 < source.size()) {
        char c = source[++i];
        text += c == 'n' ? '\n' : c == 't' ? '\t' : c;
      } else {
        text += source[i];
      }
    }
    literals.push_back(std::move(text));
    at = i < source.size() ? source.find_first_of("\"'", i + 1) : std::string::npos;
  }
  return literals;
}

// Query texts: the statements of the SQL files of the tests and examples,
// and the string literals of the query tests and the PHP examples that
// start as a query does.
std::vector<std::string> query_texts() {
  fs::path root(CORVEXA_SOURCE_DIR);
  std::vector<std::string> texts;
  for (const char* folder :
       {"tests/sql_files", "examples/club/sql", "tests/postgres/sql_rewrites"}) {
    for (const auto& entry : fs::directory_iterator(root / folder)) {
      std::string ext = entry.path().extension().string();
      if (ext != ".sql" && ext != ".expected") continue;
      std::string text = read_file(entry.path());
      std::size_t at = 0;
      while (at < text.size()) {
        std::size_t end = text.find(";\n", at);
        end = end == std::string::npos ? text.size() : end + 1;
        texts.push_back(text.substr(at, end - at));
        at = end;
      }
    }
  }
  std::vector<fs::path> sources = {root / "tests/sql_query_checks_test.cc",
                                   root / "tests/sql_query_texts_test.cc"};
  for (const char* folder :
       {"examples", "examples/legacy-app", "examples/club", "examples/club/include",
        "tests/postgres/every_call", "tests/postgres/sql_rewrites"}) {
    for (const auto& entry : fs::directory_iterator(root / folder)) {
      if (entry.path().extension() == ".php") sources.push_back(entry.path());
    }
  }
  for (const fs::path& source : sources) {
    // The PHP code a test holds in a literal has literals of its own.
    for (const std::string& literal : string_literals(read_file(source))) {
      if (starts_as_query(literal)) texts.push_back(literal);
      for (std::string& inner : string_literals(literal)) {
        if (starts_as_query(inner)) texts.push_back(std::move(inner));
      }
    }
  }
  // What the files above may lack: escapes, text beyond ASCII, numbers of
  // every kind, deep expressions.
  for (const char* extra : {
           "SELECT 'it''s \"quoted\" \\ back\\slash', E'tab\\there\\nnew\\x01line', 'é ü 中 "
           "🙂'",
           "SELECT -1, 0, 2147483647, -2147483648, 9223372036854775807, 1.5, -2.5e10, 1e400",
           "SELECT \"MixedCase\", \"wïth ünicode\", $1, $2 FROM t WHERE a IS NULL AND b = TRUE",
           "SELECT ((((((((((1 + 2) * 3) - 4) / 5) % 6) ^ 7) + 8) + 9) + 10) + 11)",
           "SELECT x'1F', b'101', U&'d\\0061t\\+000061', interval '1 day', now()::date",
           "INSERT INTO t (a, b) VALUES (NULL, ''), (0, '0') ON CONFLICT (a) DO NOTHING",
           "SELECT a FROM t GROUP BY a HAVING count(*) > 1 ORDER BY a DESC NULLS LAST LIMIT 5",
       }) {
    texts.push_back(extra);
  }
  return texts;
}

std::vector<std::string> parse_trees() {
  std::vector<std::string> trees;
  for (const std::string& text : query_texts()) {
    parse_outcome parsed = parse_sql(text, true);
    if (parsed.parsed && !parsed.tree_json.empty()) trees.push_back(parsed.tree_json);
  }
  return trees;
}

const std::vector<std::string>& real_trees() {
  static const std::vector<std::string> trees = parse_trees();
  return trees;
}

TEST(ParseTreeNode, ReadsTheTreesOfRealQueriesAsNlohmannDoes) {
  ASSERT_GE(real_trees().size(), 400u);
  for (const std::string& tree : real_trees()) {
    document ours(tree);
    ASSERT_FALSE(ours.root().is_discarded()) << tree;
    EXPECT_EQ(disagreement(tree), "") << tree;
  }
}

TEST(ParseTreeNode, TreesCutShortOrWithAByteChangedAreReadAsNlohmannDoes) {
  const std::string replacements = "\"\\{}[],:0-e.tx \x01\x80\xC3\xFF";
  std::size_t checked = 0;
  for (std::size_t t = 0; t < real_trees().size(); t += 13) {
    const std::string& tree = real_trees()[t];
    for (std::size_t at = 0; at < tree.size(); at += 1 + at % 5) {
      EXPECT_EQ(disagreement(tree.substr(0, at)), "") << tree.substr(0, at);
      for (char c : replacements) {
        std::string changed = tree;
        changed[at] = c;
        EXPECT_EQ(disagreement(changed), "") << changed;
        ++checked;
      }
    }
  }
  EXPECT_GE(checked, 10000u);
}

TEST(ParseTreeNode, TextsAtTheEdgesOfJsonAreReadAsNlohmannDoes) {
  const char* texts[] = {
      // Literals and structure.
      "",
      " ",
      "null",
      "true",
      "false",
      "nul",
      "truex",
      "[]",
      "{}",
      "[1,]",
      "{\"a\":1,}",
      "[1 2]",
      "{\"a\" 1}",
      "{1:2}",
      "{\"a\":1}}",
      "[[[]]]",
      " \t\r\n[ \t\r\n1 \t\r\n] \t\r\n",
      "\f[]",
      "[1]x",
      "\xEF\xBB\xBF[1]",
      "\xEF\xBB[1]",
      "\xEF[1]",
      "[\"a\"]\xEF\xBB\xBF",
      // Numbers.
      "0",
      "-0",
      "01",
      "-",
      "1.",
      ".5",
      "1e",
      "1e+",
      "1E-2",
      "-1.5e+3",
      "2.50",
      "1e400",
      "-1e400",
      "1e-400",
      "18446744073709551615",
      "18446744073709551616",
      "9223372036854775807",
      "9223372036854775808",
      "-9223372036854775808",
      "-9223372036854775809",
      "123456789012345678901234567890",
      "[0.1,1e22,5e-324,1.7976931348623157e308]",
      // Strings and escapes.
      "\"\"",
      "\"a\\\"b\"",
      "\"\\/\\\\\\b\\f\\n\\r\\t\"",
      "\"\\x\"",
      "\"\\u0041\"",
      "\"\\u00e9\\u4e2D\"",
      "\"\\u0000\"",
      "\"\\u001f\\u007f\"",
      "\"\\ud83d\\ude42\"",
      "\"\\uD83D\"",
      "\"\\uD83Dx\"",
      "\"\\uD83D\\u0041\"",
      "\"\\uDE42\"",
      "\"\\u12\"",
      "\"\\u12G4\"",
      "\"a\nb\"",
      "\"a\tb\"",
      "\"\x7F\"",
      "\"\x1F\"",
      // UTF-8, well and badly formed.
      "\"\xC3\xA9\"",
      "\"\xE4\xB8\xAD\"",
      "\"\xF0\x9F\x99\x82\"",
      "\"\xC3\"",
      "\"\xC0\x80\"",
      "\"\xC1\xBF\"",
      "\"\x80\"",
      "\"\xE0\x80\x80\"",
      "\"\xE0\xA0\x80\"",
      "\"\xED\xA0\x80\"",
      "\"\xED\x9F\xBF\"",
      "\"\xF0\x8F\xBF\xBF\"",
      "\"\xF4\x90\x80\x80\"",
      "\"\xF4\x8F\xBF\xBF\"",
      "\"\xF5\x80\x80\x80\"",
      "\"\xFF\"",
      "\"\xE4\xB8\"",
      // Keys: byte order, escapes, duplicates (the last one kept).
      "{\"b\":1,\"a\":2,\"B\":3,\"\xC3\xA9\":4,\"\":5,\"ab\":6,\"a\\u0000\":7}",
      "{\"a\":1,\"a\":2}",
      "{\"k\":1,\"j\":0,\"k\":[2],\"k\":{\"x\":3}}",
      "{\"\\u0061\":1,\"a\":2}",
      "{\"a\":{\"b\":{\"c\":[1,{\"d\":null}]}},\"e\":[[],{},\"\"]}",
  };
  for (const char* text : texts) EXPECT_EQ(disagreement(text), "") << text;
}

TEST(ParseTreeNode, NestingIsReadWithoutRecursionUpToItsLimit) {
  struct {
    std::size_t depth;
    bool read;
  } cases[] = {{100000, true}, {document::max_depth, true}, {document::max_depth + 1, false}};
  for (const auto& c : cases) {
    std::string text = std::string(c.depth, '[') + std::string(c.depth, ']');
    document ours(text);
    EXPECT_EQ(!ours.root().is_discarded(), c.read) << c.depth;
    std::string objects;
    for (std::size_t i = 0; i < c.depth; ++i) objects += "{\"a\":";
    objects += "1" + std::string(c.depth, '}');
    EXPECT_EQ(!document(objects).root().is_discarded(), c.read) << c.depth;
  }
}

TEST(ParseTreeNode, AnswersTheQuestionsOfTheWalkersAsNlohmannDoes) {
  const std::string text =
      R"({"s":"x","n":null,"t":true,"u":7,"i":-7,"f":2.5,"a":[1,"b"],"o":{"z":1,"y":2},"e":{}})";
  nlohmann::json theirs = nlohmann::json::parse(text);
  document doc(text);
  const node& ours = doc.root();
  for (const char* key : {"s", "n", "t", "u", "i", "f", "a", "o", "e"}) {
    const nlohmann::json& t = theirs[key];
    const node& o = ours.at(key);
    SCOPED_TRACE(key);
    EXPECT_EQ(o.is_structured(), t.is_structured());
    EXPECT_EQ(o.is_primitive(), t.is_primitive());
    EXPECT_EQ(o.is_number(), t.is_number());
    EXPECT_EQ(o.empty(), t.empty());
    EXPECT_EQ(o.size(), t.size());
    // A string, number or boolean iterates over itself once; null never.
    EXPECT_EQ(std::distance(o.begin(), o.end()), std::distance(t.begin(), t.end()));
    EXPECT_EQ(o.contains("z"), t.contains("z"));
    EXPECT_EQ(o.find("y") == o.end(), t.find("y") == t.end());
    EXPECT_EQ(o.dump(), t.dump());
  }
  EXPECT_EQ(ours.value("s", ""), theirs.value("s", ""));
  EXPECT_EQ(ours.value("missing", "d"), theirs.value("missing", "d"));
  EXPECT_EQ(ours.value("u", 0), theirs.value("u", 0));
  EXPECT_EQ(ours.value("i", 0), theirs.value("i", 0));
  EXPECT_EQ(ours.value("t", false), theirs.value("t", false));
  EXPECT_EQ(ours.at("a").back().get<std::string>(), "b");
  EXPECT_EQ(ours.at("a").at(0).get<int>(), 1);
  EXPECT_THROW(ours.at("a").at(2), std::out_of_range);
  EXPECT_THROW(ours.at("missing"), std::out_of_range);
  EXPECT_THROW(ours.at("s").get<long long>(), parse_tree::node_type_error);
  EXPECT_THROW(ours.at("u").get<std::string>(), parse_tree::node_type_error);
  EXPECT_EQ(parse_tree::location_of(document(R"({"location":-1})").root()), 0u);
  EXPECT_EQ(parse_tree::location_of(document(R"({"location":12})").root()), 12u);
  EXPECT_EQ(parse_tree::string_field(document(R"({"String":{"sval":"a\"b"}})").root()), "a\"b");
}

// A document moved keeps its nodes and strings where they were.
TEST(ParseTreeNode, AMovedDocumentKeepsItsTree) {
  std::vector<document> documents;
  for (int i = 0; i < 50; ++i) {
    documents.emplace_back("{\"k\":\"short\\n\",\"v\":[" + std::to_string(i) + "]}");
  }
  for (int i = 0; i < 50; ++i) {
    EXPECT_EQ(documents[i].root().at("k").get<std::string>(), "short\n");
    EXPECT_EQ(documents[i].root().at("v")[0].get<int>(), i);
  }
}

}  // namespace
}  // namespace corvexa::sql
