// MySQL's session settings as a dump sets them, since they change how the
// rest of the file reads: SET NAMES and character_set_client (the encoding
// of the text), sql_mode (ANSI_QUOTES, NO_BACKSLASH_ESCAPES,
// NO_AUTO_VALUE_ON_ZERO), foreign_key_checks. mysqldump saves and restores
// them through user variables (SET @OLD_SQL_MODE=@@SQL_MODE, ...), so those
// are followed too. The SET statements themselves are not written:
// PostgreSQL has none of these settings.
#pragma once

#include <map>
#include <string>

#include "schema/conversion_context.h"
#include "schema/token_cursor.h"

namespace corvexa::schema {

class session_settings {
 public:
  // Applies a SET statement, with the cursor after SET; the context's
  // character set and lexer modes change with it.
  void apply_set(token_cursor& cursor, conversion_context& cx);

  // Applies SET NAMES / SET CHARACTER SET / character_set_client = name.
  void set_charset(const std::string& name, conversion_context& cx, std::uint64_t offset);

  bool foreign_key_checks() const { return foreign_key_checks_; }
  bool no_auto_value_on_zero() const { return no_auto_value_on_zero_; }
  // SET explicit_defaults_for_timestamp = 1: TIMESTAMP columns get no
  // implicit DEFAULT.
  bool explicit_defaults_for_timestamp() const {
    std::string value = system_value("explicit_defaults_for_timestamp");
    return value == "1" || value == "ON" || value == "on" || value == "TRUE" || value == "true";
  }

 private:
  // The value of the expression at the cursor: a literal, a name, or a
  // variable's known value; stops at ',' or the end.
  std::string read_value(token_cursor& cursor, conversion_context& cx);
  void assign(const std::string& variable, const std::string& value, conversion_context& cx,
              std::uint64_t offset);
  void set_sql_mode(const std::string& modes, conversion_context& cx);
  std::string system_value(const std::string& variable) const;

  bool foreign_key_checks_ = true;
  bool no_auto_value_on_zero_ = false;
  std::string sql_mode_;
  std::string charset_name_ = "utf8mb4";
  std::map<std::string, std::string> user_variables_;  // by lower-case name, without "@"
  std::map<std::string, std::string> other_system_;    // settings kept only for reading back
};

}  // namespace corvexa::schema
