// The row loop of a streamed INSERT.
#include "schema/insert_rows.h"

#include <algorithm>

#include "schema/mysql_literals.h"
#include "schema/mysql_types.h"
#include "schema/postgres_syntax.h"
#include "schema/query_rewrites.h"
#include "schema/sql_values.h"
#include "schema/token_cursor.h"
#include "sql/postgres_names.h"
#include "sql/replace_upsert.h"
#include "sql/zero_dates.h"

namespace corvexa::schema {
namespace {

bool is_punct(const conversion_context& cx, const token& t, char c) {
  return t.kind == token_kind::punct && cx.source.at(t.begin) == static_cast<unsigned char>(c);
}

bool is_end(const token& t) {
  return t.kind == token_kind::end_of_statement || t.kind == token_kind::end_of_input;
}

std::string pg(const std::string& name) { return sql::postgres_name(name); }

}  // namespace

token insert_rows::next_token() {
  token t = lexer_.next();
  while (t.kind == token_kind::comment) t = lexer_.next();
  return t;
}

void insert_rows::plan(const insert_head& head) {
  plan_.clear();
  all_columns_ = head.columns;
  const sql::table_model* table = schema_.model.table(head.table);
  if (table != nullptr && all_columns_.empty()) {
    for (const sql::column_model& c : table->columns) all_columns_.push_back(c.name);
  }
  const std::set<std::string>& bits = schema_.facts[head.table].bit_columns;
  for (const std::string& name : all_columns_) {
    column_plan column;
    if (const sql::column_model* known = table ? table->column(name) : nullptr) {
      column = {kind_of_type(known->type), known->not_null, known->auto_increment,
                bits.count(name) != 0};
      column.quoted_plain = !column.identity && !column.bits && column.kind != value_kind::time &&
                            column.kind != value_kind::integer &&
                            column.kind != value_kind::decimal;
      column.zero_dates =
          column.kind == value_kind::date_time || column.kind == value_kind::unknown;
    }
    plan_.push_back(column);
  }
  // Values past the columns (a row longer than its table) read as if no
  // CREATE TABLE was seen: the row loops step onto this one and stay.
  plan_.emplace_back();
  // Rows that leave the identity column out take its next value.
  const sql::column_model* identity = schema_.identity_of(head.table);
  identity_omitted_ =
      identity != nullptr && !head.columns.empty() &&
      std::find(head.columns.begin(), head.columns.end(), identity->name) == head.columns.end();
  head_text_ = "INSERT INTO " + pg(head.table);
  if (!head.columns.empty()) head_text_ += " (" + sql::postgres_name_list(head.columns) + ")";
  head_text_ += " VALUES\n";
  conflict_.clear();
  if (head.mode == insert_mode::ignore) {
    conflict_ = "\nON CONFLICT DO NOTHING";
    cx_.findings.add(issue::ignore_other_errors, head.offset);
  } else if (head.mode == insert_mode::replace) {
    conflict_ = replace_clause(head.offset);
    if (conflict_.empty()) cx_.findings.add(issue::replace_without_key, head.offset, head.table);
  }
}

std::vector<std::string> insert_rows::conflict_key(std::uint64_t offset) {
  std::vector<std::vector<std::string>> keys;
  const sql::table_model* table = schema_.model.table(head_.table);
  if (table != nullptr && !table->primary_key.empty()) keys.push_back(table->primary_key);
  auto facts = schema_.facts.find(head_.table);
  if (facts != schema_.facts.end()) {
    keys.insert(keys.end(), facts->second.unique_keys.begin(), facts->second.unique_keys.end());
  }
  std::vector<std::string> found;
  std::size_t given_keys = 0;
  for (const std::vector<std::string>& key : keys) {
    bool given = std::all_of(key.begin(), key.end(), [&](const std::string& column) {
      return std::find(all_columns_.begin(), all_columns_.end(), column) != all_columns_.end();
    });
    if (given && ++given_keys == 1) found = key;
  }
  // MySQL acts on a collision of any of them; said once a table.
  if (given_keys > 1 && facts != schema_.facts.end() && !facts->second.told_other_keys) {
    facts->second.told_other_keys = true;
    cx_.findings.add(issue::conflict_on_one_key, offset, head_.table);
  }
  return found;
}

std::string insert_rows::replace_clause(std::uint64_t offset) {
  std::vector<std::string> key = conflict_key(offset);
  if (key.empty()) return {};
  // The columns left out are the table's that the head does not name.
  std::vector<std::string> columns = all_columns_;
  if (const sql::table_model* table = schema_.model.table(head_.table)) {
    columns.clear();
    for (const sql::column_model& c : table->columns) columns.push_back(c.name);
  }
  std::string clause = "\n";
  return clause += sql::replace_conflict_clause(key, columns, all_columns_);
}

void insert_rows::open() {
  if (open_) {
    out_.raw(",\n");
  } else {
    out_.raw(head_text_);
    open_ = true;
  }
}

void insert_rows::write_waiting_rows() {
  out_.raw(plain_.text());
  plain_.clear();
}

void insert_rows::close() {
  write_waiting_rows();
  if (!open_) return;
  out_.raw(conflict_);
  out_.raw(";\n");
  open_ = false;
}

std::uint64_t insert_rows::convert(const insert_head& head, bool no_auto_value_on_zero) {
  head_ = head;
  no_auto_value_on_zero_ = no_auto_value_on_zero;
  rows_ = zero_dates_ = empty_numbers_ = 0;
  split_ = open_ = false;
  facts_ = nullptr;
  plan(head);
  // The plain-row path knows no delimiter: one made of bytes that a plain
  // row can hold (DELIMITER 1) leaves every row to the lexer.
  plain_rows_ = std::none_of(lexer_.delimiter().begin(), lexer_.delimiter().end(), [](char c) {
    auto b = static_cast<unsigned char>(c);
    return is_word_byte(b) || std::string_view("'\\\",()-+. ").find(c) != std::string_view::npos;
  });
  copy_strings_ = cx_.modes.backslash_escapes && cx_.charset->handling == text_handling::utf8;
  for (column_plan& column : plan_) {
    column.copies_strings = copy_strings_ && column.kind != value_kind::binary;
  }
  token t = next_token();
  while (is_punct(cx_, t, '(')) {
    row_state row;
    row.default_identity = identity_omitted_;
    std::uint64_t row_begin = t.begin;
    if (plain_rows_ && read_plain_rows(row_begin, row)) {
      finish_plain_row(row_begin, row);
    } else {
      read_row(row_begin, row);
      write_waiting_rows();
      finish_row(row_begin, row, row_);
    }
    if (row.ended) {
      close();
      return rows_;
    }
    // Dumps put the next row right after a comma: "),(".
    std::uint64_t at = lexer_.position();
    std::string_view next = cx_.source.from(at);
    if (plain_rows_ && next.size() >= 2 && next[0] == ',' && next[1] == '(') {
      lexer_.seek(at + 2);
      t = token{token_kind::punct, 0, at + 1, at + 2};
      continue;
    }
    t = next_token();
    if (!is_punct(cx_, t, ',')) break;
    t = next_token();
  }
  if (t.kind == token_kind::word && same_word(cx_.text(t), "ON")) {
    cx_.source.keep_from(t.begin);
    read_duplicate_update(t);
  } else if (!is_end(t)) {
    close();
    skip_to_statement_end(t);
  }
  close();
  if (zero_dates_ > 0) {
    cx_.findings.add(issue::zero_date_value, first_zero_date_, std::to_string(zero_dates_));
  }
  if (empty_numbers_ > 0) {
    cx_.findings.add(issue::empty_number, first_empty_number_, std::to_string(empty_numbers_));
  }
  return rows_;
}

void insert_rows::skip_to_statement_end(token t) {
  std::uint64_t begin = t.begin;
  cx_.source.keep_from(begin);
  cx_.findings.add(issue::does_not_parse, begin, "unexpected text after the rows");
  while (!is_end(t)) t = next_token();
  std::string text;
  cx_.append_input_text(text, cx_.source.text(begin, t.begin), begin);
  out_.comment(text);
}

void insert_rows::read_row(std::uint64_t row_begin, row_state& row) {
  cx_.source.keep_from(row_begin);
  row_.assign(1, '(');
  std::size_t column = 0;
  for (;;) {
    value_.clear();
    int depth = 0;
    token t = next_token();
    while (depth > 0 || !(is_punct(cx_, t, ',') || is_punct(cx_, t, ')'))) {
      if (is_end(t)) {
        row.ended = row.broken = true;
        row.broken_at = t.begin;
        return;
      }
      if (is_punct(cx_, t, '(')) ++depth;
      if (is_punct(cx_, t, ')')) --depth;
      value_.push_back(t);
      t = next_token();
    }
    if (value_.empty()) {
      row.broken = true;  // "()" or "(1,,2)": no PostgreSQL row
      row.broken_at = t.begin;
    } else {
      write_value(column, row);
    }
    if (is_punct(cx_, t, ')')) break;
    row_ += ", ";
    ++column;
  }
  row_ += ')';
}

std::string_view insert_rows::zero_date(const column_plan& target, std::uint64_t offset) {
  if (zero_dates_++ == 0) first_zero_date_ = offset;
  return sql::zero_date_stand_in(target.not_null);
}

void insert_rows::write_value(std::size_t column, row_state& row) {
  column_plan target = column < plan_.size() ? plan_[column] : column_plan{};
  const token& first = value_[0];
  if (target.identity && value_.size() == 1) {
    std::string_view text = cx_.text(first);
    bool is_null = first.kind == token_kind::word && same_word(text, "NULL");
    bool is_zero = first.kind == token_kind::number && text == "0" && !no_auto_value_on_zero_;
    if (is_null || is_zero || (first.kind == token_kind::word && same_word(text, "DEFAULT"))) {
      row_ += "DEFAULT";
      row.default_identity = true;
      return;
    }
  }
  if (value_.size() == 1 && first.kind == token_kind::string && cx_.text(first).size() == 2 &&
      !target.bits && (target.kind == value_kind::integer || target.kind == value_kind::decimal)) {
    // '' is 0 to MySQL outside strict mode, and 0 takes the next id.
    if (target.identity && !no_auto_value_on_zero_) {
      row_ += "DEFAULT";
      row.default_identity = true;
      return;
    }
    if (empty_numbers_++ == 0) first_empty_number_ = first.begin;
    row_ += '0';
    row.explicit_identity = row.explicit_identity || target.identity;
    return;
  }
  if (target.identity) row.explicit_identity = true;
  // mysqldump before 5.7 writes BIT values as plain strings of their bytes.
  bool binary = target.bits;
  const token* literal = value_.size() == 1 ? &first : nullptr;
  if (value_.size() == 2 && first.kind == token_kind::word &&
      value_[1].kind == token_kind::string && is_charset_introducer(cx_.text(first), binary)) {
    literal = &value_[1];
  }
  if (value_.size() == 2 && value_[1].kind == token_kind::number &&
      (is_punct(cx_, first, '-') || is_punct(cx_, first, '+'))) {
    row_ += cx_.text(first);
    literal = &value_[1];
  }
  if (literal != nullptr && target.kind == value_kind::time &&
      literal->kind == token_kind::string && !fits_time(string_body(cx_.text(*literal)))) {
    row.long_times.emplace_back(column, literal->begin);
  }
  if (literal != nullptr) {
    literal_result result = append_literal(row_, cx_, *literal, target.kind, binary);
    if (result == literal_result::written) return;
    if (result == literal_result::zero_date) {
      row_ += zero_date(target, literal->begin);
      return;
    }
  }
  expression_problems problems;
  std::string value;
  append_expression(value, cx_, value_, 0, value_.size(), problems, target.kind);
  row_ += problems.broken || problems.variable ? value : value_with_rewrites(value, first.begin);
  row.needs_check = true;
  if (problems.broken) {
    row.broken = true;
    row.broken_at = problems.broken_at;
  }
  if (problems.variable) {
    // Its value is not in the file: the row cannot be written.
    cx_.findings.add(issue::user_variable, problems.variable_at, problems.variable_name);
    row.broken = row.reported = true;
  }
}

const std::string& insert_rows::value_with_rewrites(const std::string& value,
                                                    std::uint64_t offset) {
  auto known = rewritten_values_.find(value);
  if (known != rewritten_values_.end()) return known->second;
  if (rewritten_values_.size() >= max_rewritten_values) rewritten_values_.clear();
  std::vector<std::string> left;
  std::string rewritten =
      expression_with_query_rewrites(value, &schema_.extensions, &schema_.model, &left);
  // Once for each expression: the rows that repeat it take it from here.
  if (!left.empty()) cx_.findings.add(issue::mysql_construct_left, offset, left.front());
  return rewritten_values_.emplace(value, std::move(rewritten)).first->second;
}

void insert_rows::finish_leading_plain_row(std::uint64_t row_begin, row_state& row) {
  row_.assign(plain_.text().substr(row_start_ + 2));
  plain_.truncate(row_start_);
  write_waiting_rows();
  finish_row(row_begin, row, row_);
}

void insert_rows::finish_row(std::uint64_t row_begin, row_state& row, std::string_view text) {
  std::string error;
  if (!row.broken && row.needs_check && !postgres_parses("VALUES " + std::string(text), error)) {
    row.broken = true;
    row.broken_at = row_begin;
  } else if (row.broken) {
    error = row.ended ? "the statement ends inside a row" : "a value that cannot be written";
  }
  if (row.broken) {
    close();
    split_ = true;
    if (!row.reported) {
      cx_.findings.add(row.ended ? issue::unterminated : issue::does_not_parse, row.broken_at,
                       row.ended ? "a row of an INSERT" : error);
    }
    std::string text;
    cx_.append_input_text(text, cx_.source.text(row_begin, lexer_.position()), row_begin);
    out_.comment(text);
    return;
  }
  // Looked up once per statement: no table is added or dropped inside one.
  if (facts_ == nullptr) facts_ = &schema_.facts[head_.table];
  table_facts& facts = *facts_;
  if (row.default_identity && facts.ids_written) {
    close();
    const sql::column_model* identity = schema_.identity_of(head_.table);
    if (identity != nullptr) {
      out_.statement(identity_sync_statement(head_.table, identity->name, facts.identity_start));
    }
    facts.ids_written = false;
  }
  if (row.explicit_identity) facts.ids_written = true;
  widen_times(row);
  // A value's rewrite may call an extension's function (SHA1 becomes
  // pgcrypto's digest): it is created before the statement goes on.
  std::vector<std::string> extensions = schema_.take_extensions_to_create();
  if (!extensions.empty()) {
    // The rows written before lose an ON DUPLICATE KEY UPDATE at the end.
    if (open_) split_ = true;
    close();
  }
  for (const std::string& name : extensions) out_.create_extension(name);
  open();
  out_.raw(text);
  ++rows_;
}

// MySQL's TIME holds durations from -838:59:59 to 838:59:59, PostgreSQL's
// time a time of day: a column given one becomes interval, which holds
// both, before the row that needs it.
void insert_rows::widen_times(const row_state& row) {
  for (auto [column, offset] : row.long_times) {
    if (plan_[column].kind != value_kind::time) continue;
    plan_[column].kind = value_kind::text;
    close();
    std::string name = pg(all_columns_[column]);
    out_.statement("ALTER TABLE " + pg(head_.table) + " ALTER COLUMN " + name +
                   " TYPE interval USING " + name + "::interval");
    cx_.findings.add(issue::time_became_interval, offset, all_columns_[column]);
    sql::table_model table = *schema_.model.table(head_.table);
    for (sql::column_model& c : table.columns) {
      if (c.name == all_columns_[column]) c.type = "interval";
    }
    schema_.model.add(std::move(table));
  }
}

void insert_rows::read_duplicate_update(const token& on) {
  std::vector<token> tail{on};
  for (token t = next_token(); !is_end(t); t = next_token()) tail.push_back(t);
  token_cursor cursor(tail, cx_.source);
  std::string target = sql::postgres_name_list(conflict_key(on.begin));
  if (!cursor.accept_all({"ON", "DUPLICATE", "KEY", "UPDATE"}) || target.empty()) {
    std::uint64_t at = tail.empty() ? lexer_.position() : tail[0].begin;
    cx_.findings.add(issue::duplicate_update_without_key, at, head_.table);
    return;
  }
  if (split_) cx_.findings.add(issue::duplicate_update_split, tail[0].begin, head_.table);
  std::string set;
  qualified_columns qualify{pg(head_.table), all_columns_};
  if (const sql::table_model* table = schema_.model.table(head_.table)) {
    for (const sql::column_model& c : table->columns) qualify.columns.push_back(c.name);
  }
  expression_problems problems;
  while (!cursor.at_end()) {
    // The column, the last part of a qualified name, in the output encoding.
    std::string column;
    while (cursor.is_name() && cursor.is_punct('.', 1) && cursor.is_name(2)) {
      cursor.take();
      cursor.take();
    }
    if (cursor.is_name()) column = cx_.raw_name(cursor.take());
    if (column.empty() || !cursor.accept_punct('=')) {
      cx_.findings.add(issue::duplicate_update_without_key, cursor.offset(), head_.table);
      return;
    }
    set += (set.empty() ? "" : ", ") + pg(lower_name(column)) + " = ";
    std::size_t begin = cursor.index();
    cursor.skip_to_comma();
    std::size_t end = cursor.index();
    // VALUES(col) is the value the row would have inserted: EXCLUDED.col.
    std::size_t plain = begin;
    for (std::size_t i = begin; i < end; ++i) {
      token_cursor at(tail, cx_.source, i, end);
      if (!(at.is_word("VALUES") && at.is_punct('(', 1) && at.is_name(2) && at.is_punct(')', 3))) {
        continue;
      }
      append_expression(set, cx_, tail, plain, i, problems, value_kind::unknown, &qualify);
      if (!set.empty() && set.back() != ' ' && tail[i].has(space_before)) set += ' ';
      set += "EXCLUDED." + cx_.name(tail[i + 2]);
      i += 3;
      plain = i + 1;
    }
    append_expression(set, cx_, tail, plain, end, problems, value_kind::unknown, &qualify);
    cursor.accept_punct(',');
  }
  constexpr std::string_view head = "INSERT INTO t VALUES (1)";
  std::string clause = "\nON CONFLICT (" + target + ") DO UPDATE SET " + set;
  std::string error;
  if (problems.broken || problems.variable || !postgres_parses(std::string(head) + clause, error)) {
    cx_.findings.add(issue::duplicate_update_without_key, tail[0].begin, head_.table);
    return;
  }
  // The new values get the rewrites of MySQL's functions, but for those
  // that need an extension: the statement's rows are written already.
  std::vector<std::string> left;
  conflict_ = piece_with_query_rewrites(head, clause, nullptr, nullptr, &left);
  if (!left.empty()) cx_.findings.add(issue::mysql_construct_left, tail[0].begin, left.front());
}

}  // namespace corvexa::schema
