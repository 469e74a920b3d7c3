// Schema statements, one function each; ALTER TABLE clause by clause.
#include "schema/ddl_statements.h"

#include <algorithm>

#include "schema/mysql_types.h"
#include "sql/postgres_names.h"

namespace corvexa::schema {
namespace {

std::string pg(const std::string& name) { return sql::postgres_name(name); }

// The model's table `name`, or an empty one of that name.
sql::table_model table_or_empty(const schema_state& schema, const std::string& name) {
  if (const sql::table_model* known = schema.model.table(name)) return *known;
  sql::table_model empty;
  empty.name = name;
  return empty;
}

void replace_column(sql::table_model& table, const std::string& old_name,
                    sql::column_model column) {
  for (sql::column_model& c : table.columns) {
    if (c.name == old_name) {
      c = std::move(column);
      return;
    }
  }
  table.columns.push_back(std::move(column));
}

}  // namespace

bool ddl_statements::create_table(token_cursor& cursor, const std::vector<token>& tokens,
                                  bool temporary, std::vector<output_statement>& out,
                                  std::string& why) {
  definition_reader reader(cx_, tokens);
  table_definition table;
  table.temporary = temporary;
  if (!reader.read_create_table(cursor, table, why)) return false;
  // The table is there already: MySQL leaves it as it is, and so does the
  // conversion, which would otherwise take the new definition for it.
  if (table.if_not_exists && schema_.model.table(lower_name(table.name)) != nullptr) return true;
  if (!session_.explicit_defaults_for_timestamp()) implicit_timestamp_defaults(table);
  grouped_auto_increment(table);
  writer_.create_table(table, out);
  return true;
}

// Without explicit_defaults_for_timestamp (MySQL before 8.0), the first
// TIMESTAMP column written without DEFAULT, ON UPDATE or NULL is NOT NULL
// DEFAULT CURRENT_TIMESTAMP ON UPDATE CURRENT_TIMESTAMP, and the others
// such are NOT NULL DEFAULT '0000-00-00 00:00:00': install scripts rely on
// both.
void ddl_statements::implicit_timestamp_defaults(table_definition& table) {
  bool first = true;
  for (column_definition& column : table.columns) {
    if (!column.timestamp) continue;
    if (column.bare_timestamp && first) {
      column.not_null = column.on_update_now = true;
      column.default_sql = "CURRENT_TIMESTAMP";
      cx_.findings.add(issue::implicit_timestamp, column.offset, column.name);
    } else if (column.bare_timestamp && column.not_null) {
      column.not_null = false;
      cx_.findings.add(issue::zero_date_default, column.offset, column.name);
    }
    first = false;
  }
}

// MyISAM numbers an AUTO_INCREMENT column that follows other columns in
// its key (PRIMARY KEY (grp, id)) within each value of those columns; an
// identity numbers the table as a whole.
void ddl_statements::grouped_auto_increment(const table_definition& table) {
  for (const column_definition& column : table.columns) {
    if (!column.auto_increment || column.primary_key || column.unique) continue;
    bool leads = false, follows = false;
    for (const key_definition& key : table.keys) {
      for (std::size_t i = 0; i < key.parts.size(); ++i) {
        if (lower_name(key.parts[i].column) != lower_name(column.name)) continue;
        (i == 0 ? leads : follows) = true;
      }
    }
    if (follows && !leads) cx_.findings.add(issue::grouped_identity, column.offset, column.name);
  }
}

bool ddl_statements::create_index(token_cursor& cursor, const std::vector<token>& tokens,
                                  key_kind kind, std::vector<output_statement>& out,
                                  std::string& why) {
  definition_reader reader(cx_, tokens);
  key_definition key;
  key.kind = kind;
  key.offset = cursor.offset();
  key.name = reader.take_raw_name(cursor);
  if (cursor.accept("USING")) cursor.take();
  if (!cursor.accept("ON")) {
    why = "CREATE INDEX without ON";
    return false;
  }
  std::string table = lower_name(reader.take_raw_name(cursor));
  if (table.empty() || !reader.read_key_parts(cursor, key.parts)) {
    why = "CREATE INDEX";
    return false;
  }
  writer_.add_key(table, key, false, out, false);
  return true;
}

bool ddl_statements::drop_table(token_cursor& cursor, const std::vector<token>& tokens,
                                std::vector<output_statement>& out, std::string& why) {
  definition_reader reader(cx_, tokens);
  bool if_exists = cursor.accept_all({"IF", "EXISTS"});
  std::string names;
  while (cursor.is_name()) {
    std::string table = lower_name(reader.take_raw_name(cursor));
    names += (names.empty() ? "" : ", ") + pg(table);
    schema_.forget_table(table);
    if (!cursor.accept_punct(',')) break;
  }
  cursor.accept("RESTRICT");
  cursor.accept("CASCADE");
  if (names.empty() || !cursor.at_end()) {
    why = "DROP TABLE";
    return false;
  }
  // With foreign_key_checks off, MySQL drops a table that others reference;
  // PostgreSQL does so with CASCADE, which drops those foreign keys.
  out.push_back({std::string("DROP TABLE ") + (if_exists ? "IF EXISTS " : "") + names +
                     (session_.foreign_key_checks() ? "" : " CASCADE"),
                 tokens.front().begin});
  return true;
}

bool ddl_statements::drop_index(token_cursor& cursor, const std::vector<token>& tokens,
                                std::vector<output_statement>& out, std::string& why) {
  definition_reader reader(cx_, tokens);
  std::string index = reader.take_raw_name(cursor);
  if (index.empty() || !cursor.accept("ON")) {
    why = "DROP INDEX";
    return false;
  }
  std::string table = lower_name(reader.take_raw_name(cursor));
  alter_target target{table, pg(table)};
  std::string name = writer_.index_name(table, index);
  table_facts& facts = schema_.facts[table];
  if (facts.index_is_constraint.count(name) != 0) {
    out.push_back({"ALTER TABLE " + target.name + " DROP CONSTRAINT IF EXISTS " + pg(name),
                   tokens.front().begin});
  } else {
    out.push_back({"DROP INDEX IF EXISTS " + pg(name), tokens.front().begin});
  }
  facts.indexes.erase(lower_name(index));
  return true;
}

bool ddl_statements::rename_table(token_cursor& cursor, const std::vector<token>& tokens,
                                  std::vector<output_statement>& out, std::string& why) {
  definition_reader reader(cx_, tokens);
  while (!cursor.at_end()) {
    std::string from = lower_name(reader.take_raw_name(cursor));
    if (from.empty() || !cursor.accept("TO")) {
      why = "RENAME TABLE";
      return false;
    }
    std::string to = lower_name(reader.take_raw_name(cursor));
    if (to.empty()) {
      why = "RENAME TABLE";
      return false;
    }
    rename(from, to, tokens.front().begin, out);
    if (!cursor.accept_punct(',')) break;
  }
  return cursor.at_end();
}

// The primary key follows the table, as it would in a schema written for
// PostgreSQL: DROP PRIMARY KEY names it after the table, and a new table
// of the old name takes its name back.
void ddl_statements::rename(const std::string& from, const std::string& to, std::uint64_t offset,
                            std::vector<output_statement>& out) {
  out.push_back({"ALTER TABLE " + pg(from) + " RENAME TO " + pg(to), offset});
  const sql::table_model* table = schema_.model.table(from);
  bool has_primary_key = table != nullptr && !table->primary_key.empty();
  schema_.rename_table(from, to);
  if (!has_primary_key) return;
  std::string old_key = fit_name(from + "_pkey");
  std::string new_key = schema_.claim_name(to + "_pkey", to);
  schema_.forget_name(old_key);
  out.push_back(
      {"ALTER TABLE " + pg(to) + " RENAME CONSTRAINT " + pg(old_key) + " TO " + pg(new_key),
       offset});
}

bool ddl_statements::truncate_table(token_cursor& cursor, const std::vector<token>& tokens,
                                    std::vector<output_statement>& out, std::string& why) {
  definition_reader reader(cx_, tokens);
  cursor.accept("TABLE");
  std::string table = lower_name(reader.take_raw_name(cursor));
  if (table.empty() || !cursor.at_end()) {
    why = "TRUNCATE";
    return false;
  }
  // MySQL's TRUNCATE starts AUTO_INCREMENT again.
  out.push_back({"TRUNCATE TABLE " + pg(table) + " RESTART IDENTITY" +
                     (session_.foreign_key_checks() ? "" : " CASCADE"),
                 tokens.front().begin});
  schema_.facts[table].ids_written = false;
  return true;
}

bool ddl_statements::alter_table(token_cursor& cursor, const std::vector<token>& tokens,
                                 std::vector<output_statement>& out, std::string& why) {
  definition_reader reader(cx_, tokens);
  cursor.accept("IGNORE");
  cursor.accept("TABLE");
  std::string table = lower_name(reader.take_raw_name(cursor));
  if (table.empty()) {
    why = "ALTER TABLE without a table name";
    return false;
  }
  alter_target target{table, pg(table)};
  while (!cursor.at_end()) {
    std::size_t begin = cursor.index();
    std::uint64_t offset = cursor.offset();
    if (!alter_clause(cursor, reader, target, out)) {
      cursor.seek(begin);
      cursor.skip_to_comma();
      std::uint64_t end = cursor.index() > begin ? tokens[cursor.index() - 1].end : offset;
      std::string clause;
      cx_.append_input_text(clause, cx_.source.text(offset, end), offset);
      cx_.findings.add(issue::alter_unsupported, offset, table + " " + clause.substr(0, 80));
    }
    if (!cursor.is_punct(',')) cursor.skip_to_comma();
    cursor.accept_punct(',');
  }
  if (target.sync_identity) identity_sync(target.table, out, tokens.front().begin);
  return true;
}

bool ddl_statements::alter_clause(token_cursor& cursor, definition_reader& reader,
                                  alter_target& target, std::vector<output_statement>& out) {
  std::uint64_t offset = cursor.offset();
  if (cursor.accept("ADD")) return alter_add(cursor, reader, target, out);
  if (cursor.accept("DROP")) return alter_drop(cursor, reader, target, out);
  if (cursor.accept("MODIFY") || cursor.is_word("CHANGE")) {
    bool change = cursor.accept("CHANGE");
    cursor.accept("COLUMN");
    std::string old_name = change ? reader.take_raw_name(cursor) : std::string();
    column_definition column;
    if (!reader.read_column(cursor, column)) return false;
    settle_comparison(column, schema_.facts[target.table].exact_text);
    if (!change) old_name = column.name;
    modify_column(old_name, column, target, out);
    return true;
  }
  if (cursor.accept("ALTER")) {
    cursor.accept("COLUMN");
    std::string column_name = reader.take_raw_name(cursor);
    sql::table_model table = table_or_empty(schema_, target.table);
    const sql::column_model* known = table.column(lower_name(column_name));
    std::string alter = "ALTER TABLE " + target.name + " ALTER COLUMN " + pg(column_name);
    if (cursor.accept_all({"DROP", "DEFAULT"})) {
      out.push_back({alter + " DROP DEFAULT", offset});
      return true;
    }
    if (!cursor.accept_all({"SET", "DEFAULT"})) return false;
    column_definition column;
    column.type.kind = known ? kind_of_type(known->type) : value_kind::unknown;
    reader.read_default(cursor, column);
    out.push_back({alter + (column.default_sql.empty() ? " DROP DEFAULT"
                                                       : " SET DEFAULT " + column.default_sql),
                   offset});
    return true;
  }
  if (cursor.accept("RENAME")) {
    if (cursor.accept("COLUMN")) {
      std::string from = reader.take_raw_name(cursor);
      if (from.empty() || !cursor.accept("TO")) return false;
      std::string to = reader.take_raw_name(cursor);
      if (to.empty()) return false;
      out.push_back(
          {"ALTER TABLE " + target.name + " RENAME COLUMN " + pg(from) + " TO " + pg(to), offset});
      sql::table_model table = table_or_empty(schema_, target.table);
      for (sql::column_model& c : table.columns) {
        if (c.name == lower_name(from)) c.name = lower_name(to);
      }
      for (std::string& c : table.primary_key) {
        if (c == lower_name(from)) c = lower_name(to);
      }
      schema_.model.add(std::move(table));
      std::map<std::string, std::string>& checks = schema_.facts[target.table].checks;
      if (auto check = checks.extract(lower_name(from))) {
        check.key() = lower_name(to);
        checks.insert(std::move(check));
      }
      if (forget_on_update(target.table, lower_name(from))) {
        schema_.facts[target.table].on_update_columns.push_back(to);
        writer_.on_update_trigger(target.table, out, offset);
      }
      return true;
    }
    if (cursor.accept("INDEX") || cursor.accept("KEY")) {
      std::string from = reader.take_raw_name(cursor);
      if (from.empty() || !cursor.accept("TO")) return false;
      std::string to = reader.take_raw_name(cursor);
      std::string old_name = writer_.index_name(target.table, from);
      std::string wanted = lower_name(to);
      if (!wanted.starts_with(target.table + "_")) wanted = target.table + "_" + wanted;
      std::string new_name = schema_.claim_name(wanted, target.table);
      schema_.facts[target.table].indexes.erase(lower_name(from));
      schema_.facts[target.table].indexes[lower_name(to)] = new_name;
      out.push_back({"ALTER INDEX " + pg(old_name) + " RENAME TO " + pg(new_name), offset});
      return true;
    }
    if (!cursor.accept("TO")) cursor.accept("AS");
    std::string to = lower_name(reader.take_raw_name(cursor));
    if (to.empty()) return false;
    rename(target.table, to, offset, out);
    target = {to, pg(to), target.sync_identity};
    return true;
  }
  if (cursor.accept("AUTO_INCREMENT")) {
    cursor.accept_punct('=');
    std::string_view number = cx_.text(cursor.take());
    std::uint64_t start = 0;
    for (char c : number) start = c >= '0' && c <= '9' ? start * 10 + (c - '0') : start;
    schema_.facts[target.table].identity_start = std::max<std::uint64_t>(start, 1);
    target.sync_identity = true;
    return true;
  }
  if (cursor.accept("COMMENT")) {
    cursor.accept_punct('=');
    if (cursor.peek().kind != token_kind::string) return false;
    std::string literal;
    cx_.append_string(literal, cursor.take());
    out.push_back({"COMMENT ON TABLE " + target.name + " IS " + literal, offset});
    return true;
  }
  // What only concerns MySQL's storage: keys disabled for a load, the
  // engine, the character set, the algorithm of the change.
  if (cursor.accept("DISABLE") || cursor.accept("ENABLE") || cursor.accept("FORCE")) {
    cursor.accept("KEYS");
    return true;
  }
  table_definition options;
  std::size_t before = cursor.index();
  if (cursor.accept("CONVERT")) return alter_convert(cursor, reader, target, offset);
  if (cursor.accept("ALGORITHM") || cursor.accept("LOCK") || cursor.accept("ORDER")) {
    cursor.skip_to_comma();
    return true;
  }
  reader.read_table_options(cursor, options);
  bool& exact_text = schema_.facts[target.table].exact_text;
  exact_text = options.comparison.exact(exact_text);
  return cursor.index() > before;
}

// CONVERT TO CHARACTER SET x [COLLATE y] gives every text column of the
// table, and the columns added later, the comparison of y. The columns keep
// their converted types; where one of them would now compare otherwise
// (citext against text), that is a finding for the hand.
bool ddl_statements::alter_convert(token_cursor& cursor, definition_reader& reader,
                                   alter_target& target, std::uint64_t offset) {
  if (!cursor.accept("TO")) return false;
  text_comparison comparison;
  while (!cursor.at_end() && !cursor.is_punct(',')) {
    if (!reader.read_comparison_option(cursor, comparison)) cursor.take();
  }
  bool exact = comparison.exact(false);
  schema_.facts[target.table].exact_text = exact;
  const sql::table_model* table = schema_.model.table(target.table);
  if (table == nullptr) return true;
  for (const sql::column_model& column : table->columns) {
    bool citext = column.type == "citext";
    bool text = citext || column.type == "text" || column.type.starts_with("varchar") ||
                column.type.starts_with("char");
    if (text && citext == exact) {
      cx_.findings.add(issue::convert_comparison, offset, target.table);
      break;
    }
  }
  return true;
}

bool ddl_statements::alter_add(token_cursor& cursor, definition_reader& reader,
                               alter_target& target, std::vector<output_statement>& out) {
  table_definition added;
  added.name = target.table;
  cursor.accept("COLUMN");
  if (!reader.read_item(cursor, added)) return false;
  for (column_definition& column : added.columns) {
    settle_comparison(column, schema_.facts[target.table].exact_text);
    add_column(column, target, out);
  }
  for (const key_definition& key : added.keys) {
    if (key.kind == key_kind::primary) {
      std::string columns;
      sql::table_model table = table_or_empty(schema_, target.table);
      table.primary_key.clear();
      for (const key_part& part : key.parts) {
        columns += (columns.empty() ? "" : ", ") + pg(part.column);
        table.primary_key.push_back(lower_name(part.column));
      }
      schema_.model.add(std::move(table));
      schema_.note_name(target.table + "_pkey", target.table);
      out.push_back(
          {"ALTER TABLE " + target.name + " ADD PRIMARY KEY (" + columns + ")", key.offset});
    } else {
      writer_.add_key(target.table, key, false, out, true);
    }
  }
  for (foreign_key_definition& fk : added.foreign_keys) add_foreign_key(target.table, fk, out);
  for (const check_definition& check : added.checks) {
    std::string named =
        check.name.empty() ? "" : "CONSTRAINT " + pg(fit_name(lower_name(check.name))) + " ";
    out.push_back({"ALTER TABLE " + target.name + " ADD " + named + "CHECK " + check.condition,
                   check.offset});
  }
  return true;
}

void ddl_statements::add_column(const column_definition& column, alter_target& target,
                                std::vector<output_statement>& out) {
  out.push_back(
      {"ALTER TABLE " + target.name + " ADD COLUMN " + writer_.column_text(target.table, column),
       column.offset});
  sql::table_model table = table_or_empty(schema_, target.table);
  replace_column(table, lower_name(column.name), table_writer::model_column(column));
  if (column.primary_key) table.primary_key = {lower_name(column.name)};
  schema_.model.add(std::move(table));
  writer_.column_comment(target.table, column, out);
  if (column.on_update_now) {
    schema_.facts[target.table].on_update_columns.push_back(column.name);
    writer_.on_update_trigger(target.table, out, column.offset);
  }
}

void ddl_statements::modify_column(const std::string& old_name, column_definition& column,
                                   alter_target& target, std::vector<output_statement>& out) {
  sql::table_model table = table_or_empty(schema_, target.table);
  std::string old_key = lower_name(old_name);
  const sql::column_model* found = table.column(old_key);
  sql::column_model old = found ? *found : sql::column_model{old_key, "", false, false};
  std::string prefix = "ALTER TABLE " + target.name + " ";
  std::uint64_t at = column.offset;
  if (old_key != lower_name(column.name)) {
    out.push_back({prefix + "RENAME COLUMN " + pg(old_name) + " TO " + pg(column.name), at});
  }
  std::string name = pg(column.name);
  std::string alter = prefix + "ALTER COLUMN " + name;
  bool in_key = std::find(table.primary_key.begin(), table.primary_key.end(), old_key) !=
                table.primary_key.end();
  // The check of the old type (its values, its length) goes before the
  // type changes, since it may not apply to the new one.
  std::string condition = value_check_condition(column.type, name, column.value_literals);
  std::map<std::string, std::string>& checks = schema_.facts[target.table].checks;
  auto old_check = checks.find(old_key);
  if (old_check != checks.end()) {
    out.push_back({prefix + "DROP CONSTRAINT IF EXISTS " + old_check->second, at});
    checks.erase(old_check);
  } else if (!condition.empty() || old.type == "citext") {
    // A table of another file: its check has the name this one would give.
    out.push_back(
        {prefix + "DROP CONSTRAINT IF EXISTS " + writer_.check_name(target.table, old_name), at});
  }
  std::string check = writer_.check_name(target.table, column.name);
  // PostgreSQL refuses a default to an identity, and one that does not cast
  // to the new type: the old default goes first, the new one after.
  if (!column.auto_increment && old.auto_increment) {
    out.push_back({alter + " DROP IDENTITY IF EXISTS", at});
  }
  bool retype = old.type != column.type.type;
  bool drop_first = !old.auto_increment && (retype || column.auto_increment);
  if (drop_first) out.push_back({alter + " DROP DEFAULT", at});
  if (retype) {
    out.push_back(
        {alter + " TYPE " + column.type.type + " USING " + name + "::" + column.type.type, at});
    if (column.type.type == "citext") schema_.extensions.insert("citext");
  }
  if (column.not_null && !old.not_null) out.push_back({alter + " SET NOT NULL", at});
  if (!column.not_null && old.not_null && !in_key && !old.auto_increment) {
    out.push_back({alter + " DROP NOT NULL", at});
  }
  if (!column.default_sql.empty()) {
    out.push_back({alter + " SET DEFAULT " + column.default_sql, at});
  } else if (!drop_first && !old.auto_increment) {
    out.push_back({alter + " DROP DEFAULT", at});
  }
  if (column.auto_increment && !old.auto_increment) {
    out.push_back({alter + " ADD GENERATED BY DEFAULT AS IDENTITY", at});
    schema_.note_name(target.table + "_" + lower_name(column.name) + "_seq", target.table);
    target.sync_identity = true;
  }
  if (!condition.empty()) {
    out.push_back({prefix + "ADD CONSTRAINT " + check + " CHECK (" + condition + ")", at});
    checks[lower_name(column.name)] = check;
  }
  schema_.facts[target.table].bit_columns.erase(old_key);
  writer_.note_bits(target.table, column);
  replace_column(table, old_key, table_writer::model_column(column));
  for (std::string& c : table.primary_key) {
    if (c == old_key) c = lower_name(column.name);
  }
  if (column.primary_key && table.primary_key.empty()) {
    table.primary_key = {lower_name(column.name)};
    out.push_back({prefix + "ADD PRIMARY KEY (" + name + ")", at});
  }
  schema_.model.add(std::move(table));
  writer_.column_comment(target.table, column, out);
  if (forget_on_update(target.table, old_key) || column.on_update_now) {
    if (column.on_update_now) schema_.facts[target.table].on_update_columns.push_back(column.name);
    writer_.on_update_trigger(target.table, out, at);
  }
}

// Takes `column` (lower case) out of the columns the table's trigger sets;
// false when it was not one of them.
bool ddl_statements::forget_on_update(const std::string& table, const std::string& column) {
  std::vector<std::string>& columns = schema_.facts[table].on_update_columns;
  return std::erase_if(columns, [&](const std::string& c) { return lower_name(c) == column; }) > 0;
}

bool ddl_statements::alter_drop(token_cursor& cursor, definition_reader& reader,
                                alter_target& target, std::vector<output_statement>& out) {
  std::uint64_t offset = cursor.offset();
  std::string prefix = "ALTER TABLE " + target.name + " ";
  if (cursor.accept_all({"PRIMARY", "KEY"})) {
    out.push_back(
        {prefix + "DROP CONSTRAINT IF EXISTS " + pg(fit_name(target.table + "_pkey")), offset});
    sql::table_model table = table_or_empty(schema_, target.table);
    table.primary_key.clear();
    schema_.model.add(std::move(table));
    return true;
  }
  if (cursor.accept("INDEX") || cursor.accept("KEY")) {
    std::string index = reader.take_raw_name(cursor);
    if (index.empty()) return false;
    std::string name = writer_.index_name(target.table, index);
    table_facts& facts = schema_.facts[target.table];
    if (facts.index_is_constraint.count(name) != 0) {
      out.push_back({prefix + "DROP CONSTRAINT IF EXISTS " + pg(name), offset});
    } else {
      out.push_back({"DROP INDEX IF EXISTS " + pg(name), offset});
    }
    facts.indexes.erase(lower_name(index));
    return true;
  }
  if (cursor.accept_all({"FOREIGN", "KEY"}) || cursor.accept("CONSTRAINT") ||
      cursor.accept("CHECK")) {
    std::string name = lower_name(reader.take_raw_name(cursor));
    if (name.empty()) return false;
    std::string constraint = pg(fit_name(name));
    std::erase_if(schema_.foreign_keys, [&](const deferred_foreign_key& fk) {
      return fk.table == target.table &&
             fk.definition.starts_with("CONSTRAINT " + constraint + " ");
    });
    out.push_back({prefix + "DROP CONSTRAINT IF EXISTS " + constraint, offset});
    return true;
  }
  cursor.accept("COLUMN");
  std::string column = reader.take_raw_name(cursor);
  if (column.empty()) return false;
  out.push_back({prefix + "DROP COLUMN " + pg(column), offset});
  sql::table_model table = table_or_empty(schema_, target.table);
  std::erase_if(table.columns,
                [&](const sql::column_model& c) { return c.name == lower_name(column); });
  std::erase(table.primary_key, lower_name(column));
  schema_.model.add(std::move(table));
  schema_.facts[target.table].checks.erase(lower_name(column));
  if (forget_on_update(target.table, lower_name(column))) {
    writer_.on_update_trigger(target.table, out, offset);
  }
  return true;
}

void ddl_statements::add_foreign_key(const std::string& table, foreign_key_definition& fk,
                                     std::vector<output_statement>& out) {
  for (std::size_t i = 0; i < fk.columns.size() && i < fk.referenced_columns.size(); ++i) {
    std::string type =
        writer_.harmonize_type(table, lower_name(fk.columns[i]), lower_name(fk.table),
                               lower_name(fk.referenced_columns[i]), fk.offset);
    if (!type.empty()) {
      std::string column = pg(fk.columns[i]);
      out.push_back({"ALTER TABLE " + pg(table) + " ALTER COLUMN " + column + " TYPE " + type +
                         " USING " + column + "::" + type,
                     fk.offset});
    }
  }
  out.push_back(
      {"ALTER TABLE " + pg(table) + " ADD " + writer_.foreign_key_text(table, fk), fk.offset});
}

void ddl_statements::identity_sync(const std::string& table, std::vector<output_statement>& out,
                                   std::uint64_t offset) {
  const sql::column_model* identity = schema_.identity_of(table);
  if (identity == nullptr) return;
  out.push_back(
      {identity_sync_statement(table, identity->name, schema_.facts[table].identity_start),
       offset});
  schema_.facts[table].ids_written = false;
}

void ddl_statements::finish(std::vector<output_statement>& out) {
  for (deferred_foreign_key& deferred : schema_.foreign_keys) {
    for (std::size_t i = 0; i < deferred.columns.size() && i < deferred.referenced_columns.size();
         ++i) {
      std::string type =
          writer_.harmonize_type(deferred.table, deferred.columns[i], deferred.referenced_table,
                                 deferred.referenced_columns[i], deferred.offset);
      if (!type.empty()) {
        std::string column = pg(deferred.columns[i]);
        out.push_back({"ALTER TABLE " + pg(deferred.table) + " ALTER COLUMN " + column + " TYPE " +
                           type + " USING " + column + "::" + type,
                       deferred.offset});
      }
    }
    out.push_back(
        {"ALTER TABLE " + pg(deferred.table) + " ADD " + deferred.definition, deferred.offset});
  }
  schema_.foreign_keys.clear();
  for (auto& [table, facts] : schema_.facts) {
    if (facts.ids_written) identity_sync(table, out, 0);
  }
}

}  // namespace corvexa::schema
