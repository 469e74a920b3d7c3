// The MySQL calls without a PostgreSQL counterpart, the database advice of
// mysql_select_db, and the size of the whole table.
#include <gtest/gtest.h>

#include <string>

#include "support/memory_conversion.h"
#include "translate/mysql_call_table.h"

namespace corvexa {
namespace {

TEST(CallTable, HoldsFiftyNames) { EXPECT_EQ(make_mysql_call_table().size(), 50u); }

struct unsupported_case {
  std::string_view name;      // as written in the source
  std::string_view reported;  // as named in the warnings
  bool warns_before_arguments;
};

// Each call is written without its "(", so that the order of its warning
// and the parse error shows when the warning is printed.
TEST(UnsupportedCalls, WarnInPlaceOfTheCallAndOnTheConsole) {
  const unsupported_case cases[] = {
      {"mysql_change_user", "mysql_change_user", true},
      {"mysql_data_seek", "mysql_data_seek", false},
      {"mysql_errno", "mysql_errno", true},
      {"mysql_fetch_field", "mysql_fetch_field", true},
      {"mysql_fetch_lengths", "mysql_fetch_lengths", true},
      {"mysql_field_seek", "mysql_field_seek", true},
      {"MySQL_FieldSeek", "mysql_field_seek", true},
      {"mysql_field_table", "mysql_field_table", true},
      {"mysql_fieldtable", "mysql_field_table", true},
      {"mysql_field_flags", "mysql_field_flags", true},
      {"mysql_fieldflags", "mysql_field_flags", true},
      {"mysql_list_fields", "mysql_list_fields", true},
      {"mysql_listfields", "mysql_list_fields", true},
      {"mysql_list_dbs", "mysql_list_dbs", true},
      {"MYSQL_LISTDBS", "mysql_list_dbs", true},
      {"mysql_list_tables", "mysql_list_tables", true},
      {"mysql_listtables", "mysql_list_tables", true},
      {"mysql_tablename", "mysql_tablename", true},
      {"mysql_select_db", "mysql_select_db", false},
      {"mysql_selectdb", "mysql_select_db", false},
  };
  call_table calls = make_mysql_call_table();
  for (const unsupported_case& c : cases) {
    SCOPED_TRACE(c.name);
    std::string warning = "Warning: " + std::string(c.reported) + "() not supported.\n";
    std::string parse_error = "Parse Error: Expected '(' and got ';'.\n";
    std::string console = c.warns_before_arguments ? warning + parse_error : parse_error + warning;
    if (c.reported == "mysql_select_db") {
      console += "You will most likely have to edit this PHP code by hand to make it work.\n";
    }
    memory_conversion result =
        convert_in_memory("<?$x = " + std::string(c.name) + " ;$a, $b);", calls);
    EXPECT_EQ(result.output, "<?$x =  // " + warning + ";");
    EXPECT_EQ(result.console, console);
  }
}

struct advice_case {
  std::string_view code;
  std::string_view database;
  std::string_view advice;
};

TEST(UnsupportedCalls, SelectDbAdvisesOnTheDatabaseName) {
  const advice_case cases[] = {
      {"mysql_select_db('shop');", "shop", "shop == shop ..  This is a good thing.\n\n"},
      {"mysql_select_db('shop', $link);", "default",
       "Suggestion: corvexa -d shop in.php out.php\n\n"},
      {"MYSQL_SELECTDB(\"shop\");", "default", "Suggestion: corvexa -d shop in.php out.php\n\n"},
      // The last byte is cut off whatever it is.
      {"mysql_select_db('shop'.$x);", "shop", "Suggestion: corvexa -d shop'.$ in.php out.php\n\n"},
      {"mysql_select_db('", "default", "Suggestion: corvexa -d  in.php out.php\n\n"},
      {"mysql_select_db($db);", "shop",
       "You will most likely have to edit this PHP code by hand to make it work.\n"},
      {"mysql_select_db(shop);", "shop",
       "You will most likely have to edit this PHP code by hand to make it work.\n"},
      {"mysql_select_db();", "default",
       "You will most likely have to edit this PHP code by hand to make it work.\n"},
  };
  for (const advice_case& c : cases) {
    SCOPED_TRACE(c.code);
    call_table calls = make_mysql_call_table({std::string(c.database)});
    // Also with the events handed to the console alone, as corvexa runs.
    for (bool recorded : {true, false}) {
      memory_conversion result = convert_in_memory("<?" + std::string(c.code), calls,
                                                   {.database_name = c.database,
                                                    .input_path = "in.php",
                                                    .output_path = "out.php",
                                                    .record_events = recorded});
      EXPECT_EQ(result.console,
                "Warning: mysql_select_db() not supported.\n" + std::string(c.advice))
          << "recorded: " << recorded;
    }
  }
}

}  // namespace
}  // namespace corvexa
