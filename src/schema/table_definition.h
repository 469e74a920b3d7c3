// A MySQL table definition read from the tokens of CREATE TABLE (or of one
// ALTER TABLE clause): its columns, already given their PostgreSQL types,
// defaults and checks, its keys, foreign keys and options. Reading it
// reports what cannot be carried over; writing it is create_table's job.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "schema/conversion_context.h"
#include "schema/mysql_types.h"
#include "schema/token_cursor.h"

namespace corvexa::schema {

struct column_definition {
  std::string name;  // as written (UTF-8), not yet spelled for PostgreSQL
  std::uint64_t offset = 0;
  postgres_column_type type;
  std::vector<std::string> value_literals;  // of ENUM and SET
  bool not_null = false;
  bool auto_increment = false;
  bool primary_key = false;
  bool unique = false;
  std::string default_sql;  // a PostgreSQL expression; empty for none
  std::string comment_literal;
  bool on_update_now = false;
  bool timestamp = false;       // MySQL's TIMESTAMP
  bool bare_timestamp = false;  // a TIMESTAMP without DEFAULT, ON UPDATE or NULL
  std::string generated_sql;
  std::string check_sql;  // an inline CHECK condition
  text_comparison comparison;
};

enum class key_kind { primary, unique, index, fulltext, spatial };

struct key_part {
  std::string column;      // as written; empty for an expression
  std::string expression;  // a PostgreSQL expression (MySQL 8 functional key part)
  std::uint64_t prefix = 0;
  bool descending = false;
};

struct key_definition {
  key_kind kind = key_kind::index;
  std::string name;  // as written; may be empty
  std::vector<key_part> parts;
  std::string comment_literal;
  std::uint64_t offset = 0;
};

struct foreign_key_definition {
  std::string name;
  std::vector<std::string> columns;
  std::string table;
  std::vector<std::string> referenced_columns;
  std::string actions;  // " ON DELETE CASCADE ..." as PostgreSQL writes them
  std::uint64_t offset = 0;
};

struct check_definition {
  std::string name;
  std::string condition;
  std::uint64_t offset = 0;
};

struct table_definition {
  std::string name;
  std::uint64_t offset = 0;
  bool temporary = false;
  bool if_not_exists = false;
  std::vector<column_definition> columns;
  std::vector<key_definition> keys;
  std::vector<foreign_key_definition> foreign_keys;
  std::vector<check_definition> checks;
  std::string like_table;
  std::string comment_literal;
  std::optional<std::uint64_t> auto_increment_start;
  bool engine_enforces_foreign_keys = true;
  text_comparison comparison;  // the default of its columns
};

// Gives a character string column the type that compares as MySQL would:
// citext unless its own or the table's collation is binary or
// case-sensitive. Known only once the table's options are read.
void settle_comparison(column_definition& column, bool table_default_exact);

class definition_reader {
 public:
  definition_reader(conversion_context& cx, const std::vector<token>& tokens)
      : cx_(cx), tokens_(tokens) {}

  // CREATE TABLE, with the cursor after TABLE. False when the statement is
  // not one this reader knows (CREATE TABLE ... SELECT); `why` says what.
  bool read_create_table(token_cursor& cursor, table_definition& table, std::string& why);

  // One item of the definition list: a column, a key, a foreign key or a
  // check, added to `table`. The cursor stands at its first token and ends
  // on the ',' or the end.
  bool read_item(token_cursor& cursor, table_definition& table);

  // A column definition (name, type, attributes).
  bool read_column(token_cursor& cursor, column_definition& column);
  // KEY/INDEX/UNIQUE/PRIMARY KEY/FULLTEXT/SPATIAL with the cursor on its
  // first word (after CONSTRAINT name, given as `name`).
  bool read_key(token_cursor& cursor, key_definition& key, const std::string& name);
  bool read_foreign_key(token_cursor& cursor, foreign_key_definition& fk, const std::string& name);
  // Table options after the definition list.
  void read_table_options(token_cursor& cursor, table_definition& table);
  // A character set or collation option ("CHARACTER SET x", "CHARSET = x",
  // "COLLATE x", each with DEFAULT or not) noted in `comparison`; false,
  // and nothing taken, at any other option.
  bool read_comparison_option(token_cursor& cursor, text_comparison& comparison);
  // A DEFAULT value for `column`, whose type is known, after DEFAULT.
  void read_default(token_cursor& cursor, column_definition& column);
  // "(part, ...)" of a key: names with prefix lengths and ASC/DESC, or
  // expressions.
  bool read_key_parts(token_cursor& cursor, std::vector<key_part>& parts);
  // A name at the cursor (the last part of a qualified one), or empty.
  std::string take_raw_name(token_cursor& cursor);

 private:
  bool read_type(token_cursor& cursor, mysql_column_type& type);
  bool read_value_list(token_cursor& cursor, mysql_column_type& type);
  bool read_attribute(token_cursor& cursor, column_definition& column);
  bool read_name_list(token_cursor& cursor, std::vector<std::string>& names);
  std::string read_group_expression(token_cursor& cursor, value_kind kind = value_kind::unknown);
  void skip_index_options(token_cursor& cursor, key_definition& key);

  conversion_context& cx_;
  const std::vector<token>& tokens_;
};

}  // namespace corvexa::schema
