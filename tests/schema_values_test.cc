// The pieces under the value conversion of .sql files: MySQL literals
// decoded, zero dates recognised, text made valid in the output encoding,
// and rows read by the plain-row path written exactly as the general path
// writes them.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "schema/mysql_literals.h"
#include "schema/mysql_sql_conversion.h"
#include "schema/schema_findings.h"
#include "schema/schema_state.h"
#include "schema/text_encoding.h"
#include "schema/utf8_literal.h"

namespace corvexa::schema {
namespace {

struct decode_case {
  const char* raw;
  std::string bytes;
};

TEST(MysqlLiterals, DecodeStringUndoesEveryEscape) {
  const decode_case cases[] = {
      {"'plain'", "plain"},
      {"'a\\0b'", std::string("a\0b", 3)},
      {"'\\b\\n\\r\\t\\Z'", "\b\n\r\t\x1A"},
      {"'\\'\\\"\\\\'", "'\"\\"},
      {"'\\%\\_'", "\\%\\_"},
      {"'\\x\\q'", "xq"},
      {"'it''s'", "it's"},
      {"\"say \"\"hi\"\"\"", "say \"hi\""},
      {"N'nat'", "nat"},
      {"''", ""},
  };
  std::string bytes;
  for (const decode_case& c : cases) {
    decode_string(c.raw, true, bytes);
    EXPECT_EQ(bytes, c.bytes) << c.raw;
  }
  decode_string("'a\\nb'", false, bytes);
  EXPECT_EQ(bytes, "a\\nb");
}

TEST(MysqlLiterals, QuotedStringIsConvertedAndMeasuredInOnePass) {
  struct quoted_case {
    const char* text;  // a string and what follows it
    std::size_t length;
    const char* literal;
  };
  const quoted_case cases[] = {
      {"'a\\'b',1)", 6, "'a''b'"},
      {"'x''y')", 6, "'x''y'"},
      {"'back\\\\slash')", 13, "'back\\slash'"},
      {"'ends at the window", 0, nullptr},
      {"'quote at the end'", 0, nullptr},  // could be doubled past the window
      {"'escape cut\\", 0, nullptr},
  };
  for (const quoted_case& c : cases) {
    std::string out;
    text_problems problems;
    std::size_t length = append_quoted_string(out, c.text, true, text_handling::utf8, problems);
    EXPECT_EQ(length, c.length) << c.text;
    if (c.literal != nullptr) {
      EXPECT_EQ(out, c.literal) << c.text;
    }
  }
}

TEST(MysqlLiterals, ZeroDates) {
  for (const char* zero : {"0000-00-00", "0000-00-00 00:00:00", "2010-00-15", "2010-03-00",
                           "0000-01-01", "0000-00-00 00:00:00.000000", "0000-00-00T00:00"}) {
    EXPECT_TRUE(is_zero_date(zero)) << zero;
  }
  for (const char* date : {"2010-01-01", "2010-01-01 00:00:00", "00:00:00", "0000", "",
                           "0000-00-00x", "abcd-00-00", "1999-12-31 23:59:59"}) {
    EXPECT_FALSE(is_zero_date(date)) << date;
  }
}

TEST(MysqlLiterals, HexBitAndBytea) {
  std::string bytes;
  decode_hex("0x0aFf", bytes);
  EXPECT_EQ(bytes, "\x0a\xff");
  decode_hex("X'abc'", bytes);
  EXPECT_EQ(bytes, "\x0a\xbc");
  std::string out;
  append_hex_as_bytea(out, "X'abc'");
  append_hex_as_bytea(out, "0x00FF");
  append_bytea_literal(out, std::string("\0\x7f\x80", 3));
  EXPECT_EQ(out, "'\\x0abc''\\x00FF''\\x007f80'");
  std::uint64_t value;
  EXPECT_TRUE(bit_value(bit_digits("b'101'"), value));
  EXPECT_EQ(value, 5u);
  EXPECT_TRUE(bit_value(bit_digits("0b" + std::string(70, '0') + "1"), value));
  EXPECT_EQ(value, 1u);
  EXPECT_FALSE(bit_value(std::string(65, '1'), value));
  EXPECT_TRUE(bytes_value(std::string("\0\0\x01\x00", 4), value));
  EXPECT_EQ(value, 256u);
  EXPECT_FALSE(bytes_value(std::string(9, '\x01'), value));
}

struct text_case {
  std::string in;
  text_handling handling;
  std::string out;
  bool invalid;
  bool zero;
};

TEST(TextEncoding, OutputIsValidInTheOutputEncoding) {
  const text_case cases[] = {
      {"plain 'q'", text_handling::utf8, "plain ''q''", false, false},
      {"\xc3\xa9\xe2\x82\xac\xf0\x9f\x98\x80", text_handling::utf8,
       "\xc3\xa9\xe2\x82\xac\xf0\x9f\x98\x80", false, false},
      {"\xc0\xaf", text_handling::utf8, "\xc3\x80\xc2\xaf", true, false},  // overlong
      {"\xed\xa0\x80", text_handling::utf8, "\xc3\xad\xc2\xa0\xe2\x82\xac", true,
       false},  // surrogate
      {"\xf4\x90\x80\x80", text_handling::utf8, "\xc3\xb4\xc2\x90\xe2\x82\xac\xe2\x82\xac", true,
       false},                                                                     // past U+10FFFF
      {"ab\xe2\x82", text_handling::utf8, "ab\xc3\xa2\xe2\x80\x9a", true, false},  // cut short
      {std::string("a\0b", 3), text_handling::utf8, "ab", false, true},
      {"\x80\x81\x9f\xa0\xff", text_handling::latin1,
       "\xe2\x82\xac\xc2\x81\xc5\xb8\xc2\xa0\xc3\xbf", false, false},
      {"\xcf\xf0 '", text_handling::passthrough, "\xcf\xf0 ''", false, false},
  };
  for (const text_case& c : cases) {
    std::string out;
    text_problems problems;
    append_text(out, c.in, c.handling, problems, '\'');
    EXPECT_EQ(out, c.out) << c.in;
    EXPECT_EQ(problems.invalid_utf8, c.invalid) << c.in;
    EXPECT_EQ(problems.zero_byte, c.zero) << c.in;
  }
}

TEST(TextEncoding, CharsetNames) {
  ASSERT_NE(find_charset("UTF8MB4"), nullptr);
  EXPECT_EQ(find_charset("latin1")->handling, text_handling::latin1);
  EXPECT_EQ(find_charset("cp1251")->postgres_encoding, "WIN1251");
  EXPECT_TRUE(find_charset("sjis")->bytes_can_hide_quotes);
  EXPECT_EQ(find_charset("klingon"), nullptr);
  EXPECT_EQ(character_count("aé€😀"), 4u);
}

TEST(SchemaNames, ClaimedNamesAreUniqueAndFit) {
  schema_state schema;
  schema.note_name("t", "t");
  EXPECT_EQ(schema.claim_name("T_Idx", "t"), "t_idx");
  EXPECT_EQ(schema.claim_name("t_idx", "u"), "t_idx_2");
  EXPECT_EQ(schema.claim_name("t", "u"), "t_2");
  std::string long_name(70, 'x');
  std::string first = schema.claim_name(long_name, "t");
  EXPECT_EQ(first.size(), 63u);
  std::string second = schema.claim_name(long_name, "t");
  EXPECT_EQ(second.size(), 63u);
  EXPECT_NE(first, second);
  // A cut never splits a character.
  EXPECT_EQ(fit_name(std::string(62, 'a') + "é", 63), std::string(62, 'a'));
  schema.forget_table("u");
  EXPECT_EQ(schema.claim_name("t_idx", "v"), "t_idx_2");
}

TEST(SchemaFindings, EveryIssueHasItsOwnMessage) {
  std::vector<std::string> messages;
  for (int kind = 0; kind <= static_cast<int>(issue::convert_comparison); ++kind) {
    schema_finding f = describe(static_cast<issue>(kind), 7, "DETAIL");
    EXPECT_EQ(f.offset, 7u);
    EXPECT_TRUE(f.rule == convert_rule || f.rule == unsupported_rule);
    EXPECT_EQ(f.message.find("{}"), std::string::npos) << f.message;
    EXPECT_EQ(std::count(messages.begin(), messages.end(), f.message), 0) << f.message;
    messages.push_back(f.message);
  }
  EXPECT_EQ(schema_rules().size(), 2u);
}

// The one-pass copier of a utf8 dump's strings (and its inline form for
// short ones) against append_quoted_string: the stop byte of each kind at
// every offset around the 16-byte blocks, and the window cut at every byte.
// Each text is copied out of a buffer of its own size, so that a read past
// the window is a read past the allocation.
TEST(Utf8Literal, CopiesWhatAppendQuotedStringWrites) {
  const std::vector<std::string> stops = {
      "",     "\xc3\xa9", "\xe6\x9d\xb1", "\\n",        "\\'",
      "''",   "\\\\",     "\\%",          "\\0",        "\xff",
      "\xc3", "\x80",     "\xed\xa0\x80", "\\\xc3\xa9", std::string(1, '\0')};
  for (std::size_t pad = 0; pad <= 50; ++pad) {
    for (const std::string& stop : stops) {
      std::string text(1, '\'');
      // What follows is long enough for the inline form to be tried.
      text.append(pad, 'a').append(stop).append("b',").append(short_literal_room, '1');
      for (std::size_t cut = 1; cut <= text.size(); ++cut) {
        std::unique_ptr<char[]> window(new char[cut]);
        std::copy(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(cut), window.get());
        const char* end = window.get() + cut;
        std::string expected;
        text_problems problems;
        std::size_t length = append_quoted_string(expected, std::string_view(window.get(), cut),
                                                  true, text_handling::utf8, problems);
        bool copies = length > 0 && !problems.invalid_utf8 && !problems.zero_byte;
        row_buffer out;
        out.append("(", 1);
        const char* copied = copy_utf8_literal(out, window.get(), end);
        ASSERT_EQ(copied != nullptr, copies) << text << " cut at " << cut;
        if (!copies) {
          ASSERT_EQ(out.text(), "(") << text << " cut at " << cut;
          continue;
        }
        ASSERT_EQ(copied, window.get() + length) << text << " cut at " << cut;
        ASSERT_EQ(out.text().substr(1), expected) << text << " cut at " << cut;
        row_buffer inline_out;
        char* to = inline_out.room(short_literal_room);
        if (const char* short_end = copy_short_literal(to, window.get(), end)) {
          ASSERT_EQ(short_end, copied) << text << " cut at " << cut;
          inline_out.advance(static_cast<std::size_t>(short_end - window.get()));
          ASSERT_EQ(inline_out.text(), expected) << text << " cut at " << cut;
        }
      }
    }
  }
}

// The plain-row path reads rows straight from the input; a comment in a row
// sends the row to the general path. Both must write the same text.
TEST(PlainRows, WriteWhatTheGeneralPathWrites) {
  std::vector<std::string> values = {
      "1",        "-2.5",   "1e-3",   "NULL",   "'text'", "'it\\'s'",     "'x''y'",
      "'a\\\\b'", "'\\0z'", "'café'", "'\xff'", "0x00ff", "'0000-00-00'", "'2020-01-02 03:04:05'",
      "''"};
  // Dates that cannot be copied as they stand.
  values.insert(values.end(), {"'2020-01-02\\n'", "'1999-12-31 é'"});
  const std::vector<std::string> tables = {
      "", "CREATE TABLE t (a text, b bytea, c datetime NOT NULL, d int AUTO_INCREMENT KEY);\n"};
  for (const std::string& table : tables) {
    for (const std::string& value : values) {
      for (const std::string& other : values) {
        // The rows after the second follow rows that wait: the plain path
        // reads them one after another, until one is not plain or sets
        // the identity's sequence first.
        std::string plain = table + "INSERT INTO t VALUES (" + value + ", " + other + ",'c', 7)," +
                            "(" + other + "," + value + ",'2000-01-01',NULL),(1,2,'c',4),(" +
                            value + "," + other + ",'c',5),(" + other + "," + value +
                            ",'c',NULL),(1,'x','c'," + other + ");";
        std::string general =
            table + "INSERT INTO t VALUES (" + value + "/**/, " + other + ",'c', 7),(" + other +
            "/**/," + value + ",'2000-01-01',NULL),(1/**/,2,'c',4),(" + value + "/**/," + other +
            ",'c',5),(" + other + "/**/," + value + ",'c',NULL),(1/**/,'x','c'," + other + ");";
        statement_conversion a = convert_mysql_statement(plain);
        statement_conversion b = convert_mysql_statement(general);
        ASSERT_EQ(a.text, b.text) << plain;
        ASSERT_EQ(a.findings.size(), b.findings.size()) << plain;
      }
    }
  }
}

}  // namespace
}  // namespace corvexa::schema
