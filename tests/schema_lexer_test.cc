// MySQL's lexical rules as the .sql conversion reads them, and the byte
// searches under them: token by token, on inputs that tell the rules apart.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "schema/byte_runs.h"
#include "schema/mysql_lexer.h"
#include "schema/sql_source.h"
#include "schema/utf8_validation.h"

namespace corvexa::schema {
namespace {

// The tokens of `input` as "kind:text" (comments included), with "!" after
// the kind of an unterminated token.
std::string tokens_of(const std::string& input, lexer_modes modes = {}) {
  sql_source source(input);
  mysql_lexer lexer(source);
  lexer.modes = modes;
  std::string out;
  static const char* kinds[] = {"word", "name",  "string",  "number",  "hex", "bit",
                                "var",  "punct", "comment", "invalid", "end", "eof"};
  for (token t = lexer.next(); t.kind != token_kind::end_of_input; t = lexer.next()) {
    if (!out.empty()) out += ' ';
    out += kinds[static_cast<int>(t.kind)];
    if (t.has(unterminated)) out += '!';
    out += ':' + std::string(source.text(t.begin, t.end));
  }
  return out;
}

struct lexer_case {
  const char* name;
  const char* input;
  const char* tokens;
};

class MysqlLexer : public ::testing::TestWithParam<lexer_case> {};

TEST_P(MysqlLexer, CutsTheTokens) {
  EXPECT_EQ(tokens_of(GetParam().input), GetParam().tokens) << GetParam().input;
}

const lexer_case lexer_cases[] = {
    {"backquotes_double", "`a``b` c", "name:`a``b` word:c"},
    {"strings_with_escapes", "'it\\'s' \"q\\\"\" 'x''y'",
     "string:'it\\'s' string:\"q\\\"\" string:'x''y'"},
    {"escaped_backslash_before_quote", "'a\\\\' b", "string:'a\\\\' word:b"},
    {"hash_comment", "a # c ; d\nb", "word:a comment:# c ; d word:b"},
    {"dash_comment_needs_space", "1--2 -- c\n3",
     "number:1 punct:- punct:- number:2 comment:-- c number:3"},
    {"dash_comment_at_end", "x --", "word:x comment:--"},
    {"block_comment", "a/* ; */b", "word:a comment:/* ; */ word:b"},
    {"versioned_comment_is_sql", "/*!40101 SET x=1 */;", "word:SET word:x punct:= number:1 end:;"},
    {"versioned_without_number", "/*! STRAIGHT_JOIN */", "word:STRAIGHT_JOIN"},
    {"mariadb_comment_is_a_comment", "/*M!100100 SET x */", "comment:/*M!100100 SET x */"},
    {"hex_and_bit", "0x1F X'aB' 0b101 b'11' 0xZ",
     "hex:0x1F hex:X'aB' bit:0b101 bit:b'11' word:0xZ"},
    {"hex_and_bit_with_other_bytes", "X'zz' b'12'", "invalid:X'zz' invalid:b'12'"},
    {"numbers", "12 1.5 .5 1e3 2E-4 7.",
     "number:12 number:1.5 punct:. number:5 number:1e3 number:2E-4 number:7."},
    {"digit_names", "1st_col 123abc", "word:1st_col word:123abc"},
    {"national_string", "N'abc' n'd'", "string:N'abc' string:n'd'"},
    {"variables", "@a @@session.sql_mode @'q w' @`b`",
     "var:@a var:@@session.sql_mode var:@'q w' var:@`b`"},
    {"utf8_words", "café Ä", "word:café word:Ä"},
    {"control_bytes_invalid", "a\x01", "word:a invalid:\x01"},
    {"backslash_outside_a_string_invalid", "\\N", "invalid:\\ word:N"},
    {"unterminated_string", "'abc", "string!:'abc"},
    {"unterminated_name", "`abc", "name!:`abc"},
    {"unterminated_comment", "/* abc", "comment!:/* abc"},
    {"escape_at_end", "'abc\\", "string!:'abc\\"},
};
INSTANTIATE_TEST_SUITE_P(Tokens, MysqlLexer, ::testing::ValuesIn(lexer_cases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(MysqlLexerModes, AnsiQuotesMakeNames) {
  EXPECT_EQ(tokens_of("\"a\"\"b\" 'c'", {true, true}), "name:\"a\"\"b\" string:'c'");
}

TEST(MysqlLexerModes, NoBackslashEscapes) {
  EXPECT_EQ(tokens_of("'a\\' 'b'", {false, false}), "string:'a\\' string:'b'");
}

TEST(MysqlLexerDelimiter, ChangedDelimiterKeepsSemicolonsInside) {
  std::string input = "DELIMITER ;;\nBEGIN a; b; END;;\nDELIMITER $$\nEND$$ x";
  sql_source source(input);
  mysql_lexer lexer(source);
  token first = lexer.next();
  ASSERT_EQ(source.text(first.begin, first.end), "DELIMITER");
  lexer.read_delimiter_command();
  EXPECT_EQ(lexer.delimiter(), ";;");
  std::vector<std::string> texts;
  for (token t = lexer.next(); t.kind != token_kind::end_of_statement; t = lexer.next()) {
    texts.push_back(std::string(source.text(t.begin, t.end)));
  }
  EXPECT_EQ(texts, (std::vector<std::string>{"BEGIN", "a", ";", "b", ";", "END"}));
  lexer.next();  // DELIMITER
  lexer.read_delimiter_command();
  EXPECT_EQ(lexer.delimiter(), "$$");
  token end = lexer.next();
  EXPECT_EQ(source.text(end.begin, end.end), "END");  // the delimiter ends the word
  EXPECT_EQ(lexer.next().kind, token_kind::end_of_statement);
}

// A string read through a window of 16 bytes, refilled from a reader that
// hands out 1, 2, 3... bytes, is the same token as read whole.
TEST(MysqlLexerWindow, TokensCrossRefills) {
  std::string input =
      "INSERT INTO `t` VALUES ('a long string with \\' and \\\\ in it',"
      "0x0123456789abcdef0123,-12.5e3),(NULL,'x');";
  std::string whole = tokens_of(input);
  for (std::size_t largest : {1, 2, 5, 17}) {
    memory_reader reader(input, largest);
    sql_source source(reader, 16);
    mysql_lexer lexer(source);
    std::string out;
    static const char* kinds[] = {"word", "name",  "string",  "number",  "hex", "bit",
                                  "var",  "punct", "comment", "invalid", "end", "eof"};
    for (token t = lexer.next(); t.kind != token_kind::end_of_input; t = lexer.next()) {
      if (!out.empty()) out += ' ';
      out += kinds[static_cast<int>(t.kind)];
      out += ':' + std::string(source.text(t.begin, t.end));
      source.keep_from(lexer.position());
    }
    EXPECT_EQ(out, whole) << "reads of up to " << largest;
  }
}

// Every SSE2 search gives the byte-at-a-time answer, at every offset and
// length of a text that holds each kind of stop byte.
TEST(ByteRuns, WideSearchesMatchTheBytewiseOnes) {
  std::string text = "plain text, 0123456789abcdefABCDEF xyz";
  text += '\0';
  text += "more\\text'here\"and\x80\xff then 00ff" + std::string(40, 'a') + "'";
  // Digits beside the bytes next to them, and runs longer than a word.
  text +=
      "/0123456789:9\xfa"
      "9\xff"
      "12345678901234567890/" +
      std::string(20, '7');
  // Blob digits longer than two blocks, each run ended by a byte beside
  // the digits' ranges.
  for (char stop : {'g', '/', '@', '`'}) {
    text += "0123456789abcdefABCDEF0123456789aBcDeF0123456789";
    text += stop;
  }
  for (std::size_t start = 0; start < text.size(); ++start) {
    for (std::size_t length = 0; start + length <= text.size(); ++length) {
      const char* p = text.data() + start;
      ASSERT_EQ(plain_run(p, length, '\''), plain_run_bytewise(p, length, '\''));
      ASSERT_EQ(plain_run(p, length, '"'), plain_run_bytewise(p, length, '"'));
      ASSERT_EQ(hex_run(p, length), hex_run_bytewise(p, length));
      ASSERT_EQ(digit_run(p, length), digit_run_bytewise(p, length));
      ASSERT_EQ(find_either(p, length, '\'', '\\'), find_either_bytewise(p, length, '\'', '\\'));
    }
  }
}

// Each form of the UTF-8 check against the rules, with each sequence at
// every offset around the 32-byte blocks and cut by the end at every byte.
TEST(Utf8Validation, EveryFormKeepsTheRules) {
  // Each range of each length, and the faults: overlong forms, surrogates,
  // past U+10FFFF, continuation bytes missing or in excess, a cut end.
  const std::vector<std::string> valid = {"\xc2\x80",          "\xdf\xbf",
                                          "\xc3\xa9",          "\xe0\xa0\x80",
                                          "\xed\x9f\xbf",      "\xee\x80\x80",
                                          "\xef\xbf\xbf",      "\xf0\x90\x80\x80",
                                          "\xf4\x8f\xbf\xbf",  "\xe6\x9d\xb1\xc3\xa9",
                                          std::string(1, '\0')};
  const std::vector<std::string> invalid = {"\xc0\x80",
                                            "\xc1\xbf",
                                            "\xe0\x9f\xbf",
                                            "\xed\xa0\x80",
                                            "\xf0\x8f\xbf\xbf",
                                            "\xf4\x90\x80\x80",
                                            "\xf5\x80\x80\x80",
                                            "\xff",
                                            "\x80",
                                            "\xc3\xa9\xa9",
                                            "\xc3\x41",
                                            "\xe6\x41\xb1",
                                            "\xf0\x9f\x98\x41",
                                            "\xf8\x88\x80\x80\x80"};
  std::vector<std::pair<std::string, bool>> sequences;
  for (const std::string& bytes : valid) sequences.emplace_back(bytes, true);
  for (const std::string& bytes : invalid) sequences.emplace_back(bytes, false);
  std::vector<utf8_validator> forms = utf8_validators();
  for (const auto& [bytes, valid_at_the_end] : sequences) {
    for (std::size_t offset = 0; offset <= 70; ++offset) {
      std::string text = std::string(offset, 'a') + bytes + std::string(5, 'b');
      for (std::size_t length = offset; length <= text.size(); ++length) {
        // The room after the bytes holds what would make them invalid.
        std::unique_ptr<char[]> copy(new char[length + utf8_check_room]);
        std::fill_n(copy.get() + length, utf8_check_room, '\xff');
        std::copy(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(length), copy.get());
        bool expected = valid_utf8_bytewise(copy.get(), length);
        if (length == text.size()) {
          ASSERT_EQ(expected, valid_at_the_end) << text;
        }
        for (utf8_validator form : forms) {
          ASSERT_EQ(form(copy.get(), length), expected) << text << " of " << length;
        }
      }
    }
  }
}

}  // namespace
}  // namespace corvexa::schema
