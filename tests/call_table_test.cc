// The call table matches a token that equals a name as a whole, without
// regard to ASCII letter case, and nothing else: checked for every byte
// value in every place of names shorter and longer than a machine word.
#include <gtest/gtest.h>

#include <cctype>
#include <stdexcept>
#include <string>
#include <utility>

#include "scan/call_table.h"

namespace corvexa {
namespace {

TEST(CallTable, MatchesWholeNamesInAnyLetterCaseOnly) {
  call_table table;
  // Bytes next to the letters ("@", "[", "`", "{") and bytes from 128 up,
  // which are letters with bit 7 set, must not be taken for letters.
  const std::string names[] = {"mysql", "mysql_close", "mysql_fetch_lengths", "a`z{", "a\xe1xyz"};
  for (const std::string& name : names) table.add(name, false, nullptr);
  for (const std::string& name : names) {
    for (std::size_t place = 0; place < name.size(); ++place) {
      for (int value = 0; value < 256; ++value) {
        std::string token = name;
        token[place] = static_cast<char>(value);
        int wanted = static_cast<unsigned char>(name[place]);
        bool same_letter = value == wanted || (value < 128 && std::tolower(value) == wanted);
        const call_entry* found = table.find(token);
        EXPECT_EQ(found != nullptr && found->name == name, same_letter)
            << name << " with byte " << value << " at " << place;
      }
    }
    EXPECT_EQ(table.find(name + "_"), nullptr);
    EXPECT_EQ(table.find(name.substr(1)), nullptr);
  }
}

TEST(CallTable, TakesOnlyWordsAsNames) {
  call_table table;
  for (const char* name : {"", "_f", "1f", "$f", "f-g", "f g"}) {
    EXPECT_THROW(table.add(name, false, nullptr), std::invalid_argument) << name;
  }
  EXPECT_NO_THROW(table.add("f\x80_9", false, nullptr));
}

// The quick test before a file is read token by token: the names' common
// prefix anywhere, in any letter case.
TEST(CallTable, MayNameACallWhereTheCommonPrefixStands) {
  call_table table;
  table.add("mysql_query", false, nullptr);
  table.add("mysql_close", false, nullptr);
  const std::pair<const char*, bool> texts[] = {
      {"<?php MYSQL_QUERY($q);", true},
      {"x->Mysql_x", true},
      {"mysql_", true},
      {"mysql", false},
      {"my sql_", false},
      {"", false},
  };
  for (const auto& [text, may] : texts) EXPECT_EQ(table.may_name_a_call_in(text), may) << text;
  EXPECT_FALSE(call_table().may_name_a_call_in("mysql_query"));
}

}  // namespace
}  // namespace corvexa
