// Reading CREATE TABLE's definition list and options, item by item.
#include "schema/table_definition.h"

#include <algorithm>
#include <charconv>

#include "schema/mysql_literals.h"
#include "schema/query_rewrites.h"
#include "schema/sql_values.h"

namespace corvexa::schema {
namespace {

// Table options that only tune MySQL's storage: dropped without a finding.
constexpr std::string_view storage_options[] = {"ROW_FORMAT",
                                                "KEY_BLOCK_SIZE",
                                                "PACK_KEYS",
                                                "CHECKSUM",
                                                "TABLE_CHECKSUM",
                                                "DELAY_KEY_WRITE",
                                                "STATS_AUTO_RECALC",
                                                "STATS_PERSISTENT",
                                                "STATS_SAMPLE_PAGES",
                                                "AVG_ROW_LENGTH",
                                                "MAX_ROWS",
                                                "MIN_ROWS",
                                                "COMPRESSION",
                                                "ENCRYPTION",
                                                "INSERT_METHOD",
                                                "TABLESPACE",
                                                "STORAGE",
                                                "AUTOEXTEND_SIZE",
                                                "SECONDARY_ENGINE",
                                                "ENGINE_ATTRIBUTE",
                                                "SECONDARY_ENGINE_ATTRIBUTE",
                                                "PAGE_CHECKSUM",
                                                "TRANSACTIONAL",
                                                "ENCRYPTION_KEY_ID",
                                                "PAGE_COMPRESSED",
                                                "PAGE_COMPRESSION_LEVEL",
                                                "IETF_QUOTES",
                                                "UNION",
                                                "CONNECTION",
                                                "PASSWORD",
                                                "START"};

bool is_storage_option(const token_cursor& cursor) {
  return std::any_of(std::begin(storage_options), std::end(storage_options),
                     [&](std::string_view option) { return cursor.is_word(option); });
}

std::uint64_t number_of(std::string_view text) {
  std::uint64_t value = 0;
  auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  (void)end;
  return error == std::errc() ? value : UINT64_MAX;
}

// Type names of two or three words, longest first.
struct compound_type {
  std::initializer_list<std::string_view> words;
  std::string_view name;
};
const compound_type compound_types[] = {
    {{"NATIONAL", "CHARACTER", "VARYING"}, "NATIONAL CHARACTER VARYING"},
    {{"NATIONAL", "CHAR", "VARYING"}, "NATIONAL CHAR VARYING"},
    {{"NATIONAL", "CHARACTER"}, "NATIONAL CHARACTER"},
    {{"NATIONAL", "CHAR"}, "NATIONAL CHAR"},
    {{"NATIONAL", "VARCHAR"}, "NATIONAL VARCHAR"},
    {{"NCHAR", "VARCHAR"}, "NCHAR VARCHAR"},
    {{"NCHAR", "VARYING"}, "CHAR VARYING"},
    {{"CHARACTER", "VARYING"}, "CHARACTER VARYING"},
    {{"CHAR", "VARYING"}, "CHAR VARYING"},
    {{"DOUBLE", "PRECISION"}, "DOUBLE PRECISION"},
    {{"LONG", "VARCHAR"}, "LONG VARCHAR"},
    {{"LONG", "VARBINARY"}, "LONG VARBINARY"},
};

bool is_now_function(const token_cursor& cursor) {
  return cursor.is_word("CURRENT_TIMESTAMP") || cursor.is_word("NOW") ||
         cursor.is_word("LOCALTIME") || cursor.is_word("LOCALTIMESTAMP");
}

// Skips CURRENT_TIMESTAMP, NOW(), LOCALTIME(3) and the like.
void skip_now_function(token_cursor& cursor) {
  cursor.take();
  std::size_t begin, end;
  cursor.take_group(begin, end);
}

// Skips "= value" or "value" of a table option; the value may be a group.
void skip_option_value(token_cursor& cursor) {
  cursor.accept_punct('=');
  std::size_t begin, end;
  if (!cursor.take_group(begin, end) && !cursor.is_punct(',')) cursor.take();
}

std::string upper_text(std::string_view text) {
  std::string upper(text);
  for (char& c : upper) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return upper;
}

}  // namespace

void settle_comparison(column_definition& column, bool table_default_exact) {
  if (!column.comparison.exact(table_default_exact)) ignore_case(column.type);
}

std::string definition_reader::take_raw_name(token_cursor& cursor) {
  if (!cursor.is_name()) return {};
  // A qualified name keeps its last part: the database is chosen by psql.
  while (cursor.is_name() && cursor.is_punct('.', 1) && cursor.is_name(2)) {
    cursor.take();
    cursor.take();
  }
  return cx_.raw_name(cursor.take());
}

bool definition_reader::read_create_table(token_cursor& cursor, table_definition& table,
                                          std::string& why) {
  if (cursor.accept_all({"IF", "NOT", "EXISTS"})) table.if_not_exists = true;
  table.offset = cursor.offset();
  table.name = take_raw_name(cursor);
  if (table.name.empty()) {
    why = "CREATE TABLE without a table name";
    return false;
  }
  std::size_t begin, end;
  if (cursor.accept("LIKE")) {
    table.like_table = take_raw_name(cursor);
    return !table.like_table.empty();
  }
  if (cursor.is_punct('(') && cursor.is_word("LIKE", 1)) {
    cursor.take();
    cursor.take();
    table.like_table = take_raw_name(cursor);
    return cursor.accept_punct(')') && !table.like_table.empty();
  }
  if (!cursor.take_group(begin, end)) {
    why = "CREATE TABLE ... SELECT";
    return false;
  }
  token_cursor items(tokens_, cx_.source, begin, end);
  while (!items.at_end()) {
    if (!read_item(items, table)) {
      why = "a column or key definition";
      return false;
    }
    if (!items.accept_punct(',') && !items.at_end()) {
      why = "a column or key definition";
      return false;
    }
  }
  read_table_options(cursor, table);
  if (!cursor.at_end()) {
    why = "CREATE TABLE ... SELECT";
    return false;
  }
  for (column_definition& column : table.columns) {
    settle_comparison(column, table.comparison.exact(false));
  }
  return true;
}

bool definition_reader::read_item(token_cursor& cursor, table_definition& table) {
  std::string constraint_name;
  std::uint64_t offset = cursor.offset();
  if (cursor.accept("CONSTRAINT")) {
    if (cursor.is_name() && !cursor.is_word("PRIMARY") && !cursor.is_word("UNIQUE") &&
        !cursor.is_word("FOREIGN") && !cursor.is_word("CHECK")) {
      constraint_name = take_raw_name(cursor);
    }
  }
  if (cursor.is_word("PRIMARY") || cursor.is_word("UNIQUE") || cursor.is_word("KEY") ||
      cursor.is_word("INDEX") || cursor.is_word("FULLTEXT") || cursor.is_word("SPATIAL")) {
    key_definition key;
    if (!read_key(cursor, key, constraint_name)) return false;
    table.keys.push_back(std::move(key));
    return true;
  }
  if (cursor.is_word("FOREIGN")) {
    foreign_key_definition fk;
    if (!read_foreign_key(cursor, fk, constraint_name)) return false;
    table.foreign_keys.push_back(std::move(fk));
    return true;
  }
  if (cursor.accept("CHECK")) {
    check_definition check{constraint_name, read_group_expression(cursor), offset};
    bool enforced = !cursor.accept_all({"NOT", "ENFORCED"});
    cursor.accept("ENFORCED");
    if (check.condition.empty()) return false;
    if (enforced) {
      table.checks.push_back(std::move(check));
    } else {
      cx_.findings.add(issue::check_not_enforced, offset, constraint_name);
    }
    return true;
  }
  if (!constraint_name.empty()) return false;
  column_definition column;
  if (!read_column(cursor, column)) return false;
  table.columns.push_back(std::move(column));
  return true;
}

bool definition_reader::read_column(token_cursor& cursor, column_definition& column) {
  column.offset = cursor.offset();
  column.name = take_raw_name(cursor);
  if (column.name.empty()) return false;
  mysql_column_type mysql;
  if (!read_type(cursor, mysql)) return false;
  // The attributes are read before the type is mapped, since AUTO_INCREMENT
  // changes what BIGINT UNSIGNED maps to; defaults need the mapped kind, so
  // they are read in a second pass.
  std::size_t attributes = cursor.index();
  bool auto_increment = false;
  for (token_cursor scan = cursor; !scan.at_end() && !scan.is_punct(',');) {
    if (scan.accept("AUTO_INCREMENT"))
      auto_increment = true;
    else if (!scan.accept("SERIAL"))
      scan.take();
  }
  column.type = map_mysql_type(mysql, auto_increment);
  column.value_literals = std::move(mysql.value_literals);
  column.comparison = mysql.comparison;
  if (mysql.name == "SERIAL") {
    column.not_null = column.auto_increment = column.unique = true;
  }
  if (column.type.note) cx_.findings.add(*column.type.note, column.offset, column.name);
  cursor.seek(attributes);
  bool zero_date_default = false;
  bool has_default = false, null_written = false;
  while (!cursor.at_end() && !cursor.is_punct(',')) {
    null_written = null_written || cursor.is_word("NULL");
    if (cursor.accept("DEFAULT")) {
      has_default = true;
      read_default(cursor, column);
      if (column.default_sql.empty()) zero_date_default = true;
    } else if (!read_attribute(cursor, column)) {
      const token& unknown = cursor.take();
      cx_.findings.add(issue::dropped_clause, unknown.begin,
                       "column " + column.name + ": " + std::string(cx_.text(unknown)));
    }
  }
  column.timestamp = mysql.name == "TIMESTAMP";
  column.bare_timestamp =
      column.timestamp && !has_default && !null_written && !column.on_update_now;
  if (zero_date_default) {
    column.not_null = false;
    cx_.findings.add(issue::zero_date_default, column.offset, column.name);
  }
  if (column.auto_increment && !column.type.can_be_identity) {
    column.auto_increment = false;
    cx_.findings.add(issue::identity_type, column.offset, column.name);
  }
  if (column.auto_increment) {
    column.not_null = true;
    column.default_sql.clear();
  }
  return true;
}

bool definition_reader::read_type(token_cursor& cursor, mysql_column_type& type) {
  if (cursor.peek().kind != token_kind::word) return false;
  for (const compound_type& compound : compound_types) {
    if (cursor.accept_all(compound.words)) {
      type.name = compound.name;
      break;
    }
  }
  if (type.name.empty()) type.name = upper_text(cx_.text(cursor.take()));
  if (type.name == "ENUM" || type.name == "SET") {
    if (!read_value_list(cursor, type)) return false;
  } else if (cursor.is_punct('(')) {
    std::size_t begin, end;
    if (!cursor.take_group(begin, end)) return false;
    for (std::size_t i = begin; i < end; ++i) {
      if (tokens_[i].kind == token_kind::number) {
        type.sizes.push_back(number_of(cx_.text(tokens_[i])));
      }
    }
  }
  for (;;) {
    if (cursor.accept("UNSIGNED")) {
      type.is_unsigned = true;
    } else if (cursor.accept("BINARY")) {
      type.comparison.binary = true;
    } else if (cursor.accept("SIGNED") || cursor.accept("ZEROFILL") || cursor.accept("ASCII") ||
               cursor.accept("UNICODE") || cursor.accept("BYTE")) {
    } else if (cursor.accept_all({"CHARACTER", "SET"}) || cursor.accept("CHARSET")) {
      type.comparison.charset(cx_.text(cursor.take()));
    } else if (cursor.accept("COLLATE")) {
      type.comparison.collate(cx_.text(cursor.take()));
    } else {
      return true;
    }
  }
}

bool definition_reader::read_value_list(token_cursor& cursor, mysql_column_type& type) {
  std::size_t begin, end;
  if (!cursor.take_group(begin, end)) return false;
  std::string bytes;
  for (std::size_t i = begin; i < end; ++i) {
    const token& t = tokens_[i];
    if (t.kind != token_kind::string) continue;
    std::string literal;
    cx_.append_string(literal, t);
    decode_string(cx_.text(t), cx_.modes.backslash_escapes, bytes);
    std::string encoded;
    text_problems ignored;
    append_text(encoded, bytes, cx_.charset->handling, ignored);
    std::size_t length = character_count(encoded);
    type.longest_value = std::max(type.longest_value, length);
    type.all_values += length + (type.value_literals.empty() ? 0 : 1);
    type.value_literals.push_back(std::move(literal));
  }
  return true;
}

void definition_reader::read_default(token_cursor& cursor, column_definition& column) {
  if (cursor.is_punct('(')) {
    column.default_sql = read_group_expression(cursor, column.type.kind);
    return;
  }
  if (is_now_function(cursor)) {
    skip_now_function(cursor);
    column.default_sql = "CURRENT_TIMESTAMP";
    return;
  }
  std::string sign;
  if (cursor.is_punct('-') || cursor.is_punct('+')) {
    sign = std::string(cx_.text(cursor.take()));
  }
  // MySQL 5.0 writes the default of a BIT column as a string of its bytes.
  bool binary = column.type.note == issue::bit_type;
  if (cursor.peek().kind == token_kind::word && cursor.peek(1).kind == token_kind::string &&
      is_charset_introducer(cx_.text(cursor.peek()), binary)) {
    cursor.take();
  }
  const token& value = cursor.take();
  bool number = column.type.kind == value_kind::integer || column.type.kind == value_kind::decimal;
  if (number && value.kind == token_kind::string && cx_.text(value).size() == 2 && !binary) {
    // DEFAULT '' of a number: MySQL 4 took it for 0.
    cx_.findings.add(issue::empty_number, value.begin, "1");
    column.default_sql.assign(1, '0');
    return;
  }
  std::string literal;
  literal_result result = append_literal(literal, cx_, value, column.type.kind, binary);
  if (result == literal_result::zero_date) return;  // no default
  if (result == literal_result::not_a_literal) {
    expression_problems ignored;
    std::size_t at = cursor.index() - 1;
    append_expression(literal, cx_, tokens_, at, at + 1, ignored, column.type.kind);
  }
  column.default_sql = sign + literal;
}

bool definition_reader::read_attribute(token_cursor& cursor, column_definition& column) {
  std::uint64_t offset = cursor.offset();
  if (cursor.accept_all({"NOT", "NULL"})) {
    column.not_null = true;
  } else if (cursor.accept("NULL")) {
    column.not_null = false;
  } else if (cursor.accept("AUTO_INCREMENT")) {
    column.auto_increment = true;
  } else if (cursor.accept("UNIQUE")) {
    cursor.accept("KEY");
    column.unique = true;
  } else if (cursor.accept_all({"PRIMARY", "KEY"}) || cursor.accept("KEY")) {
    column.primary_key = true;
  } else if (cursor.accept("COMMENT")) {
    if (cursor.peek().kind != token_kind::string) return false;
    cx_.append_string(column.comment_literal, cursor.take());
  } else if (cursor.accept("COLLATE")) {
    column.comparison.collate(cx_.text(cursor.take()));
  } else if (cursor.accept("CHARSET") || cursor.accept_all({"CHARACTER", "SET"})) {
    column.comparison.charset(cx_.text(cursor.take()));
  } else if (cursor.accept("COLUMN_FORMAT") || cursor.accept("STORAGE") || cursor.accept("SRID")) {
    cursor.take();
  } else if (cursor.accept("VISIBLE") || cursor.accept("INVISIBLE") || cursor.accept("STORED") ||
             cursor.accept("PERSISTENT")) {
  } else if (cursor.accept("VIRTUAL")) {
    cx_.findings.add(issue::virtual_column, offset, column.name);
  } else if (cursor.accept("ENGINE_ATTRIBUTE") || cursor.accept("SECONDARY_ENGINE_ATTRIBUTE")) {
    cursor.accept_punct('=');
    cursor.take();
  } else if (cursor.accept_all({"ON", "UPDATE"})) {
    if (!is_now_function(cursor)) return false;
    skip_now_function(cursor);
    column.on_update_now = true;
    cx_.findings.add(issue::on_update_timestamp, offset, column.name);
  } else if (cursor.accept_all({"GENERATED", "ALWAYS", "AS"}) || cursor.accept("AS")) {
    column.generated_sql = read_group_expression(cursor, column.type.kind);
    return !column.generated_sql.empty();
  } else if (cursor.accept("REFERENCES")) {
    cx_.findings.add(issue::inline_references, offset, column.name);
    cursor.skip_to_comma();
  } else if (cursor.accept("CONSTRAINT") || cursor.is_word("CHECK")) {
    if (!cursor.is_word("CHECK")) take_raw_name(cursor);
    if (!cursor.accept("CHECK")) return false;
    std::string condition = read_group_expression(cursor);
    if (cursor.accept_all({"NOT", "ENFORCED"})) {
      cx_.findings.add(issue::check_not_enforced, offset, column.name);
    } else {
      cursor.accept("ENFORCED");
      column.check_sql = condition;
    }
  } else if (cursor.accept("FIRST")) {
    cx_.findings.add(issue::column_position, offset, column.name);
  } else if (cursor.is_word("AFTER") && cursor.is_name(1)) {
    cursor.take();
    cursor.take();  // the column it follows
    cx_.findings.add(issue::column_position, offset, column.name);
  } else if (cursor.accept("BINARY")) {
    column.comparison.binary = true;
  } else if (cursor.accept("UNSIGNED") || cursor.accept("SIGNED") || cursor.accept("ZEROFILL") ||
             cursor.accept("SERIAL")) {
  } else {
    return false;
  }
  return true;
}

std::string definition_reader::read_group_expression(token_cursor& cursor, value_kind kind) {
  std::size_t begin, end;
  if (!cursor.take_group(begin, end)) return {};
  std::string text = "(";
  expression_problems problems;
  append_expression(text, cx_, tokens_, begin, end, problems, kind);
  if (problems.variable) {
    cx_.findings.add(issue::user_variable, problems.variable_at, problems.variable_name);
  }
  return expression_with_query_rewrites(text + ")");
}

bool definition_reader::read_key(token_cursor& cursor, key_definition& key,
                                 const std::string& name) {
  key.offset = cursor.offset();
  key.name = name;
  if (cursor.accept_all({"PRIMARY", "KEY"})) {
    key.kind = key_kind::primary;
  } else if (cursor.accept("UNIQUE")) {
    key.kind = key_kind::unique;
  } else if (cursor.accept("FULLTEXT")) {
    key.kind = key_kind::fulltext;
  } else if (cursor.accept("SPATIAL")) {
    key.kind = key_kind::spatial;
  } else {
    key.kind = key_kind::index;
  }
  if (!cursor.accept("KEY")) cursor.accept("INDEX");
  if (cursor.is_name() && !cursor.is_word("USING")) {
    std::string index_name = take_raw_name(cursor);
    if (key.name.empty()) key.name = index_name;
  }
  skip_index_options(cursor, key);
  if (!read_key_parts(cursor, key.parts)) return false;
  skip_index_options(cursor, key);
  return true;
}

void definition_reader::skip_index_options(token_cursor& cursor, key_definition& key) {
  for (;;) {
    if (cursor.accept("USING") || cursor.accept("TYPE")) {
      cursor.take();
    } else if (cursor.accept("KEY_BLOCK_SIZE") || cursor.accept("ENGINE_ATTRIBUTE") ||
               cursor.accept("SECONDARY_ENGINE_ATTRIBUTE")) {
      cursor.accept_punct('=');
      cursor.take();
    } else if (cursor.accept_all({"WITH", "PARSER"})) {
      cursor.take();
    } else if (cursor.accept("COMMENT")) {
      if (cursor.peek().kind == token_kind::string) {
        cx_.append_string(key.comment_literal, cursor.take());
      }
    } else if (cursor.accept("VISIBLE") || cursor.accept("INVISIBLE")) {
    } else {
      return;
    }
  }
}

bool definition_reader::read_key_parts(token_cursor& cursor, std::vector<key_part>& parts) {
  std::size_t begin, end;
  if (!cursor.take_group(begin, end)) return false;
  token_cursor inner(tokens_, cx_.source, begin, end);
  while (!inner.at_end()) {
    key_part part;
    if (inner.is_punct('(')) {
      part.expression = read_group_expression(inner);
    } else {
      part.column = take_raw_name(inner);
      if (part.column.empty()) return false;
      std::size_t size_begin, size_end;
      if (inner.take_group(size_begin, size_end) && size_end > size_begin) {
        part.prefix = number_of(cx_.text(tokens_[size_begin]));
      }
    }
    if (inner.accept("DESC"))
      part.descending = true;
    else
      inner.accept("ASC");
    parts.push_back(std::move(part));
    if (!inner.accept_punct(',') && !inner.at_end()) return false;
  }
  return !parts.empty();
}

bool definition_reader::read_name_list(token_cursor& cursor, std::vector<std::string>& names) {
  std::size_t begin, end;
  if (!cursor.take_group(begin, end)) return false;
  token_cursor inner(tokens_, cx_.source, begin, end);
  while (!inner.at_end()) {
    std::string name = take_raw_name(inner);
    if (name.empty()) return false;
    inner.take_group(begin, end);  // a prefix length, which a reference cannot have
    names.push_back(std::move(name));
    if (!inner.accept_punct(',') && !inner.at_end()) return false;
  }
  return !names.empty();
}

bool definition_reader::read_foreign_key(token_cursor& cursor, foreign_key_definition& fk,
                                         const std::string& name) {
  fk.offset = cursor.offset();
  fk.name = name;
  if (!cursor.accept_all({"FOREIGN", "KEY"})) return false;
  if (cursor.is_name()) {
    std::string index_name = take_raw_name(cursor);
    if (fk.name.empty()) fk.name = index_name;
  }
  if (!read_name_list(cursor, fk.columns) || !cursor.accept("REFERENCES")) return false;
  fk.table = take_raw_name(cursor);
  if (fk.table.empty() || !read_name_list(cursor, fk.referenced_columns)) return false;
  for (;;) {
    if (cursor.accept("MATCH")) {
      if (cursor.accept("FULL")) {
        fk.actions += " MATCH FULL";
      } else if (cursor.accept("PARTIAL")) {
        cx_.findings.add(issue::match_partial, fk.offset, fk.name);
      } else {
        cursor.accept("SIMPLE");
      }
    } else if (cursor.accept_all({"ON", "DELETE"}) || cursor.accept_all({"ON", "UPDATE"})) {
      bool on_delete = same_word(cx_.text(tokens_[cursor.index() - 1]), "DELETE");
      std::string action;
      if (cursor.accept("RESTRICT"))
        action = "RESTRICT";
      else if (cursor.accept("CASCADE"))
        action = "CASCADE";
      else if (cursor.accept_all({"SET", "NULL"}))
        action = "SET NULL";
      else if (cursor.accept_all({"SET", "DEFAULT"}))
        action = "SET DEFAULT";
      else if (cursor.accept_all({"NO", "ACTION"}))
        action = "NO ACTION";
      else
        return false;
      fk.actions += (on_delete ? " ON DELETE " : " ON UPDATE ") + action;
    } else {
      return true;
    }
  }
}

bool definition_reader::read_comparison_option(token_cursor& cursor, text_comparison& comparison) {
  if (cursor.accept("COLLATE") || cursor.accept_all({"DEFAULT", "COLLATE"})) {
    cursor.accept_punct('=');
    if (!cursor.at_end()) comparison.collate(cx_.text(cursor.take()));
    return true;
  }
  if (cursor.accept("CHARSET") || cursor.accept_all({"CHARACTER", "SET"}) ||
      cursor.accept_all({"DEFAULT", "CHARSET"}) ||
      cursor.accept_all({"DEFAULT", "CHARACTER", "SET"})) {
    cursor.accept_punct('=');
    if (!cursor.at_end()) comparison.charset(cx_.text(cursor.take()));
    return true;
  }
  return false;
}

void definition_reader::read_table_options(token_cursor& cursor, table_definition& table) {
  while (!cursor.at_end()) {
    cursor.accept_punct(',');
    std::uint64_t offset = cursor.offset();
    if (cursor.accept("ENGINE") || cursor.accept("TYPE")) {
      cursor.accept_punct('=');
      std::string engine = upper_text(cx_.text(cursor.take()));
      table.engine_enforces_foreign_keys = engine == "INNODB" || engine.starts_with("NDB");
    } else if (cursor.accept("AUTO_INCREMENT")) {
      cursor.accept_punct('=');
      table.auto_increment_start = number_of(cx_.text(cursor.take()));
    } else if (cursor.accept("COMMENT")) {
      cursor.accept_punct('=');
      if (cursor.peek().kind == token_kind::string) {
        table.comment_literal.clear();
        cx_.append_string(table.comment_literal, cursor.take());
      }
    } else if (read_comparison_option(cursor, table.comparison)) {
      continue;
    } else if (cursor.accept_all({"DATA", "DIRECTORY"}) ||
               cursor.accept_all({"INDEX", "DIRECTORY"})) {
      skip_option_value(cursor);
    } else if (is_storage_option(cursor)) {
      cursor.take();
      skip_option_value(cursor);
    } else if (cursor.accept("PARTITION")) {
      cx_.findings.add(issue::partitioning, offset, table.name);
      cursor.seek(cursor.end());
    } else if (cursor.peek().kind == token_kind::word && !cursor.is_word("AS") &&
               !cursor.is_word("SELECT") && !cursor.is_word("IGNORE") &&
               !cursor.is_word("REPLACE")) {
      cx_.findings.add(issue::table_option, offset, cx_.text(cursor.take()));
      skip_option_value(cursor);
    } else {
      return;
    }
  }
}

}  // namespace corvexa::schema
