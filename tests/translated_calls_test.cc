// The MySQL calls that have a PostgreSQL counterpart: what replaces each of
// them, where the default link comes from, and the console notes.
#include <gtest/gtest.h>

#include <string>

#include "support/memory_conversion.h"
#include "translate/mysql_call_table.h"

namespace corvexa {
namespace {

struct translated_case {
  std::string_view code;  // inside a block opened by "<?"
  std::string_view database;
  std::string_view output;
  std::string console;
};

const std::string db_query_warning =
    "Warning: mysql_db_query() doesn't have an equivlant postgres function. "
    "Could create problems.\n";
const std::string insert_id_notes =
    "mysql_insert_id: pg_last_oid\n"
    "mysql_insert_id: For tables without OID use pg_result_status\n";

TEST(TranslatedCalls, EveryRowWritesItsReplacement) {
  const translated_case cases[] = {
      {"$n = mysql_affected_rows($l);", "default", "$n = pg_affected_rows($l);", ""},
      {"MYSQL_CLOSE($l);", "default", "pg_close($l);", ""},
      {"$link = mysql_connect($host, $user, $pass); mysql_error();", "shop",
       "$link = pg_connect(\"dbname=shop host=\".$host.\" user=\".$user.\" "
       "password=\".$pass); pg_result_error($link);",
       ""},
      {"$l = Mysql_PConnect('h', 'u', 'p', 'x');", "default",
       "$l = pg_pconnect(\"dbname=default host=\".'h'.\" user=\".'u'.\" "
       "password=\".'p');",
       ""},
      // The default link is the remembered variable, empty before any
      // remembering call; the other arguments play no part in the choice.
      {"mysql_create_db('x'); mysql_createdb('x', $c);", "default",
       "pg_query(,'create database 'x''); pg_query($c,'create database 'x'');", ""},
      {"$c = mysql_connect(); MYSQL_DROPDB('x'); mysql_drop_db('x', $d);", "default",
       "$c = pg_connect(\"dbname=default host=\"..\" user=\"..\" password=\".); "
       "pg_query($c,'drop database 'x''); pg_query($d,'drop database 'x'');",
       ""},
      {"mysql_error(); mysql_error($e);", "default", "pg_result_error(); pg_result_error($e);", ""},
      {"$row = mysql_fetch_array($r); mysql_error();", "default",
       "$row = pg_fetch_array($r); pg_result_error($row);", ""},
      // The database query drops its first argument and brings a ";" of its
      // own; its warning follows any parse error.
      {"$res = mysql_db_query('shop', $sql);", "default", "$res = pg_query($res,$sql);;",
       db_query_warning},
      {"$r = MySQL('db', $sql, $c);", "default", "$r = pg_query($c,$sql);;", db_query_warning},
      {"mysql;", "default", "pg_query(,);",
       "Parse Error: Expected '(' and got ';'.\n" + db_query_warning},
      // Fetch modes: only the exact upper-case MySQL names are mapped.
      {"mysql_fetch_array($r, MYSQL_ASSOC)", "default", "pg_fetch_array($r,NULL,PGSQL_ASSOC)", ""},
      {"mysql_fetch_array($r, MYSQL_NUM)", "default", "pg_fetch_array($r,NULL,PGSQL_NUM)", ""},
      {"mysql_fetch_array($r, MYSQL_BOTH)", "default", "pg_fetch_array($r,NULL,PGSQL_BOTH)", ""},
      {"mysql_fetch_array($r, mysql_assoc)", "default", "pg_fetch_array($r,NULL,PGSQL_BOTH)", ""},
      {"mysql_fetch_array($r, $m)", "default", "pg_fetch_array($r,NULL,PGSQL_BOTH)", ""},
      {"mysql_fetch_assoc($r); mysql_fetch_assoc($r, $x)", "default",
       "pg_fetch_assoc($r); pg_fetch_assoc($r,$x)", ""},
      {"mysql_fetch_object($r); mysql_fetch_object($r, 'c')", "default",
       "pg_fetch_object($r); pg_fetch_object($r,NULL,'c')", ""},
      {"mysql_fetch_row($r); mysql_fetch_row($r, $t)", "default",
       "pg_fetch_row($r); pg_fetch_row($r,NULL,$t)", ""},
      {"mysql_field_name($r, 0); MYSQL_FIELDNAME($r, 1)", "default",
       "pg_fieldname($r,0); pg_fieldname($r,1)", ""},
      {"mysql_field_type($r, 0); mysql_fieldtype($r, 1)", "default",
       "pg_field_type($r,0); pg_field_type($r,1)", ""},
      {"mysql_field_len($r, 1); mysql_fieldlen($r, 2)", "default",
       "pg_field_prtlen($r,1,\"\"); pg_field_prtlen($r,2,\"\")", ""},
      {"mysql_free_result($r); mysql_freeresult($s)", "default",
       "pg_free_result($r); pg_free_result($s)", ""},
      {"$id = mysql_insert_id($l);", "default", "$id = pg_last_oid($l);", insert_id_notes},
      {"mysql_insert_id $l)", "default", " pg_last_oid()",
       "Parse Error: Expected '(' and got '$l'.\n" + insert_id_notes},
      {"mysql_num_fields($r); mysql_numfields($s)", "default",
       "pg_num_fields($r); pg_num_fields($s)", ""},
      {"mysql_num_rows($r); mysql_NumRows($s)", "default", "pg_num_rows($r); pg_num_rows($s)", ""},
      // mysql_query moves the link to the front; mysql_result keeps order.
      {"$r = mysql_query($sql, $link); $r = mysql_query($sql);", "default",
       "$r = pg_query($link,$sql); $r = pg_query($sql);", ""},
      {"mysql_result($r, 0, 'name'); mysql_result($r, 0)", "default",
       "pg_query($r,0,'name'); pg_query($r,0)", ""},
      {"mysql_num_rows(mysql_query($q, $l));", "default", "pg_num_rows(mysql_query($q);", ""},
  };
  for (const translated_case& c : cases) {
    SCOPED_TRACE(c.code);
    call_table calls = make_mysql_call_table({std::string(c.database)});
    // Also with the events handed to the console alone, as corvexa runs.
    for (bool recorded : {true, false}) {
      memory_conversion result =
          convert_in_memory("<?" + std::string(c.code), calls,
                            {.database_name = c.database, .record_events = recorded});
      EXPECT_EQ(result.output, "<?" + std::string(c.output)) << "recorded: " << recorded;
      EXPECT_EQ(result.console, c.console) << "recorded: " << recorded;
    }
  }
}

}  // namespace
}  // namespace corvexa
