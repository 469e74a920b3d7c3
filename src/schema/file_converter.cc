// The statement loop and the choice of converter for each statement.
#include "schema/file_converter.h"

#include <algorithm>
#include <span>

#include "schema/postgres_syntax.h"
#include "schema/query_rewrites.h"
#include "schema/sql_values.h"
#include "schema/token_cursor.h"
#include "sql/postgres_names.h"

namespace corvexa::schema {
namespace {

constexpr std::string_view output_header =
    "SET client_encoding = 'UTF8';\nSET standard_conforming_strings = on;\n";

bool is_end(const token& t) {
  return t.kind == token_kind::end_of_statement || t.kind == token_kind::end_of_input;
}

// Statements that only maintain MySQL's tables or sessions: written as
// comments, without a finding.
constexpr std::string_view maintenance_words[] = {"LOCK",     "UNLOCK", "FLUSH",  "ANALYZE",
                                                  "OPTIMIZE", "CHECK",  "REPAIR", "CHECKSUM"};
// Statements about users and privileges, which PostgreSQL spells otherwise.
constexpr std::string_view account_words[] = {"GRANT", "REVOKE"};
// Stored code of MySQL.
constexpr std::string_view routine_words[] = {"TRIGGER", "PROCEDURE", "FUNCTION", "EVENT",
                                              "AGGREGATE"};

bool is_one_of(const token_cursor& cursor, std::span<const std::string_view> words) {
  for (std::string_view word : words) {
    if (cursor.is_word(word)) return true;
  }
  return false;
}

// The words that say what a statement does, before the name it acts on.
constexpr std::string_view statement_words[] = {
    "TABLE",    "TABLES",   "TEMPORARY", "INTO",    "IGNORE",       "INDEX",        "UNIQUE",
    "FULLTEXT", "SPATIAL",  "VIEW",      "IF",      "NOT",          "EXISTS",       "OR",
    "REPLACE",  "DATABASE", "SCHEMA",    "DELAYED", "LOW_PRIORITY", "HIGH_PRIORITY"};
constexpr std::string_view ddl_words[] = {"CREATE", "ALTER", "DROP", "RENAME", "TRUNCATE"};

// `bytes` as UTF-8 text, read in the file's character set. Describing a
// statement reports nothing: the conversion reports its bytes. A set the
// output keeps as it is (Shift-JIS, GBK, ...) is read here as UTF-8 with
// its other bytes as latin1: the report is UTF-8 whatever the file holds.
std::string readable(const conversion_context& cx, std::string_view bytes) {
  std::string text;
  text_problems ignored;
  text_handling handling = cx.charset->handling;
  if (handling == text_handling::passthrough) handling = text_handling::utf8;
  append_text(text, bytes, handling, ignored);
  return text;
}

std::string upper_word(const conversion_context& cx, const token& t) {
  std::string upper = readable(cx, cx.text(t));
  for (char& c : upper) c = c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
  return upper;
}

// "CREATE TABLE users", "INSERT INTO orders", "SET": its first words and
// the name they act on.
changed_statement describe_statement(conversion_context& cx, const std::vector<token>& tokens,
                                     std::uint64_t offset) {
  token_cursor cursor(tokens, cx.source);
  changed_statement described;
  described.offset = offset;
  described.what = upper_word(cx, cursor.take());
  if (is_one_of(token_cursor(tokens, cx.source), ddl_words)) {
    described.kind = statement_kind::ddl;
  } else if (described.what == "INSERT" || described.what == "REPLACE") {
    described.kind = statement_kind::rows;
  }
  while (!cursor.at_end() && cursor.peek().kind == token_kind::word &&
         is_one_of(cursor, statement_words)) {
    described.what += ' ';
    described.what += upper_word(cx, cursor.take());
  }
  if (described.kind != statement_kind::other && cursor.is_name()) {
    described.what += ' ';
    described.what += readable(cx, token_name(cursor.peek(), cx.text(cursor.peek())));
  }
  return described;
}

}  // namespace

file_converter::file_converter(sql_source& source, output_sink& sink,
                               const sql_conversion_options& options,
                               const file_converter_setup& setup, sql_conversion_result& result)
    : source_(source),
      out_(sink),
      setup_(setup),
      result_(result),
      cx_(source, findings_),
      lexer_(source),
      ddl_(cx_, schema_, session_, setup.defer_foreign_keys),
      inserts_(cx_, lexer_, schema_, out_),
      list_changes_(options.list_changed_statements),
      wanted_extensions_(options.extensions) {
  session_.set_charset(std::string(options.charset), cx_, 0);
}

void file_converter::know(const sql::schema_model& model) {
  for (const auto& [name, table] : model.tables()) schema_.model.add(table);
}

void file_converter::run() {
  if (setup_.write_header) {  // a file, not a statement of PHP code
    out_.raw(output_header);
    lexer_.skip_byte_order_mark();
  }
  sync_client_encoding();
  for (;;) {
    lexer_.modes = cx_.modes;
    token first = lexer_.next();
    while (first.kind == token_kind::comment) {
      write_comment(first);
      first = lexer_.next();
    }
    if (first.kind == token_kind::end_of_input) break;
    if (first.kind == token_kind::end_of_statement) continue;
    source_.keep_from(first.begin);
    ++result_.statements;
    if (first.kind == token_kind::word && same_word(cx_.text(first), "DELIMITER")) {
      lexer_.read_delimiter_command();
      std::string text = "DELIMITER ";
      text_problems ignored;  // a client command: nothing of it reaches PostgreSQL
      append_text(text, lexer_.delimiter(), cx_.charset->handling, ignored);
      out_.comment(text);
      continue;
    }
    watch_statement(first);
    if (first.kind == token_kind::word &&
        (same_word(cx_.text(first), "INSERT") || same_word(cx_.text(first), "REPLACE"))) {
      convert_insert(first);
    } else {
      read_statement(first);
      describe_watched(tokens_);
      convert_held(tokens_);
    }
    end_watch(lexer_.position());
    cx_.end_statement();
  }
  std::vector<output_statement> closing;
  ddl_.finish(closing);
  for (const output_statement& statement : closing) emit(statement);
  result_.findings = std::move(findings_.all());
  result_.model = model_with_unique_keys();
  result_.read_failed = source_.read_failed();
  result_.input_window = source_.capacity();
}

sql::schema_model file_converter::model_with_unique_keys() const {
  sql::schema_model model = schema_.model;
  for (const auto& [name, facts] : schema_.facts) {
    const sql::table_model* table = model.table(name);
    if (table == nullptr) continue;
    sql::table_model with_keys = *table;
    with_keys.unique_keys = facts.unique_keys;
    model.add(std::move(with_keys));
  }
  return model;
}

token file_converter::next_token(std::uint8_t& carried_flags) {
  token t = lexer_.next();
  while (t.kind == token_kind::comment) {
    carried_flags |= space_before | t.flags;
    t = lexer_.next();
  }
  t.flags |= carried_flags & (space_before | newline_before);
  carried_flags = 0;
  return t;
}

void file_converter::read_statement(const token& first) {
  tokens_.clear();
  tokens_.push_back(first);
  std::uint8_t carried = 0;
  for (token t = next_token(carried); !is_end(t); t = next_token(carried)) tokens_.push_back(t);
}

void file_converter::skip_statement() {
  // Only where the statement ends matters: the runs of plain tokens
  // between its strings are passed in one search each.
  for (;;) {
    lexer_.pass_plain_sql();
    source_.keep_from(lexer_.position());
    token t = lexer_.next();
    if (is_end(t)) return;
    source_.keep_from(t.end);
  }
}

void file_converter::write_comment(const token& t) {
  std::string_view raw = cx_.text(t);
  if (t.has(unterminated)) findings_.add(issue::unterminated, t.begin, "a comment");
  std::string_view body;
  if (raw.starts_with("/*")) {
    body = raw.substr(2);
    if (body.ends_with("*/")) body.remove_suffix(2);
  } else {
    body = raw.substr(raw[0] == '#' ? 1 : 2);
    if (body.starts_with(' ')) body.remove_prefix(1);
  }
  std::string text;
  cx_.append_input_text(text, body, t.begin);
  out_.comment(text);
}

void file_converter::comment_out(const std::vector<token>& tokens) {
  if (tokens.empty()) return;
  // The statement has its finding already: what the text of a comment
  // needed to become valid is not reported again.
  std::string text;
  text_problems ignored;
  append_text(text, source_.text(tokens.front().begin, tokens.back().end), cx_.charset->handling,
              ignored);
  out_.comment(text);
}

void file_converter::emit(const output_statement& statement) {
  std::string error;
  if (postgres_parses(statement.text, error)) {
    out_.statement(statement.text);
    return;
  }
  findings_.add(issue::does_not_parse, statement.offset, error);
  out_.comment(statement.text);
}

void file_converter::sync_client_encoding() {
  std::string wanted = cx_.charset->handling == text_handling::passthrough
                           ? std::string(cx_.charset->postgres_encoding)
                           : "UTF8";
  if (wanted == written_encoding_) return;
  out_.statement("SET client_encoding = '" + wanted + "'");
  written_encoding_ = wanted;
}

void file_converter::convert_held(const std::vector<token>& tokens) {
  token_cursor cursor(tokens, source_);
  std::uint64_t offset = tokens.front().begin;
  for (const token& t : tokens) {
    if (t.has(unterminated)) {
      findings_.add(issue::unterminated, t.begin,
                    t.kind == token_kind::comment ? "a comment" : "a quoted text");
      comment_out(tokens);
      return;
    }
  }
  std::vector<output_statement> out;
  std::string why;
  bool converted = true;
  if (cursor.accept("CREATE")) {
    converted = convert_create(cursor, tokens, out, why);
  } else if (cursor.accept("ALTER")) {
    if (cursor.is_word("DATABASE") || cursor.is_word("SCHEMA")) {
      findings_.add(issue::database_statement, offset, "ALTER DATABASE");
    } else if (cursor.is_word("TABLE") || cursor.is_word("IGNORE")) {
      converted = ddl_.alter_table(cursor, tokens, out, why);
    } else {
      converted = false;
      why = "ALTER";
    }
  } else if (cursor.accept("DROP")) {
    converted = convert_drop(cursor, tokens, out, why);
  } else if (cursor.accept("RENAME") && cursor.accept("TABLE")) {
    converted = ddl_.rename_table(cursor, tokens, out, why);
  } else if (cursor.accept("TRUNCATE")) {
    converted = ddl_.truncate_table(cursor, tokens, out, why);
  } else if (cursor.accept("SET")) {
    session_.apply_set(cursor, cx_);
    sync_client_encoding();
  } else if (cursor.is_word("USE")) {
    findings_.add(issue::database_statement, offset, "USE");
  } else if (is_one_of(cursor, maintenance_words)) {
  } else if (is_one_of(cursor, account_words)) {
    converted = false;
    why = std::string(cx_.text(tokens.front()));
  } else {
    converted = convert_generic(tokens, out);
  }
  if (!converted) {
    if (!why.empty()) findings_.add(issue::unsupported_statement, offset, why);
    comment_out(tokens);
    return;
  }
  if (out.empty()) {
    comment_out(tokens);
    return;
  }
  create_extensions();
  for (const output_statement& statement : out) emit(statement);
}

void file_converter::watch_statement(const token& first) {
  if (!list_changes_) return;
  match_.reset();
  watched_ = first.begin;
  watched_statement_ = {first.begin, {}, statement_kind::other};
  source_.tap(match_, first.begin);
  out_.tap(match_);
}

void file_converter::describe_watched(const std::vector<token>& head) {
  if (list_changes_ && !head.empty()) watched_statement_ = describe_statement(cx_, head, watched_);
}

void file_converter::end_watch(std::uint64_t end) {
  if (!list_changes_) return;
  // Told by the lexer, not read again: the window may have dropped the
  // bytes of a long INSERT by now.
  if (lexer_.last_delimiter_end() == end && lexer_.last_delimiter_begin() >= watched_) {
    end = lexer_.last_delimiter_begin();
  }
  source_.untap(end);
  out_.untap();
  if (match_.differs()) result_.changed_statements.push_back(std::move(watched_statement_));
}

void file_converter::create_extensions() {
  if (schema_.created_table) schema_.extensions.merge(wanted_extensions_);
  for (const std::string& name : schema_.take_extensions_to_create()) out_.create_extension(name);
}

bool file_converter::convert_create(token_cursor& cursor, const std::vector<token>& tokens,
                                    std::vector<output_statement>& out, std::string& why) {
  std::uint64_t offset = tokens.front().begin;
  bool or_replace = cursor.accept_all({"OR", "REPLACE"});
  bool temporary = cursor.accept("TEMPORARY");
  if (cursor.accept("TABLE")) return ddl_.create_table(cursor, tokens, temporary, out, why);
  if (cursor.accept("INDEX")) return ddl_.create_index(cursor, tokens, key_kind::index, out, why);
  for (auto [word, kind] :
       {std::pair{"UNIQUE", key_kind::unique}, std::pair{"FULLTEXT", key_kind::fulltext},
        std::pair{"SPATIAL", key_kind::spatial}}) {
    if (cursor.accept(word)) {
      cursor.accept("INDEX");
      return ddl_.create_index(cursor, tokens, kind, out, why);
    }
  }
  if (cursor.is_word("DATABASE") || cursor.is_word("SCHEMA")) {
    findings_.add(issue::database_statement, offset, "CREATE DATABASE");
    return true;
  }
  // ALGORITHM=..., DEFINER=user@host, SQL SECURITY ...: MySQL's own.
  for (;;) {
    if (cursor.accept("ALGORITHM") || cursor.accept("DEFINER")) {
      cursor.accept_punct('=');
      cursor.take();
      if (cursor.peek().kind == token_kind::variable) cursor.take();
      std::size_t b, e;
      cursor.take_group(b, e);  // CURRENT_USER()
    } else if (cursor.accept_all({"SQL", "SECURITY"})) {
      cursor.take();
    } else {
      break;
    }
  }
  if (is_one_of(cursor, routine_words)) {
    std::string what = "CREATE ";
    what += cx_.text(cursor.take());
    if (cursor.is_name()) {
      what += ' ';
      what += cx_.raw_name(cursor.peek());
    }
    findings_.add(issue::routine, offset, what);
    return false;
  }
  if (!cursor.accept("VIEW")) {
    why = "this CREATE statement";
    return false;
  }
  std::string name = cursor.is_name() ? cx_.raw_name(cursor.peek()) : std::string();
  findings_.add(issue::view_query, offset, name);
  std::string text = or_replace ? "CREATE OR REPLACE VIEW" : "CREATE VIEW";
  expression_problems problems;
  append_expression(text, cx_, tokens, cursor.index(), tokens.size(), problems, value_kind::unknown,
                    nullptr, true);
  if (problems.broken) {
    why = "a view";
    return false;
  }
  out.push_back({statement_with_rewrites(text, offset), offset});
  // The queries may read the view; its columns are whatever its query gives.
  if (!name.empty()) schema_.model.add_name_only(name);
  return true;
}

bool file_converter::convert_drop(token_cursor& cursor, const std::vector<token>& tokens,
                                  std::vector<output_statement>& out, std::string& why) {
  std::uint64_t offset = tokens.front().begin;
  cursor.accept("TEMPORARY");
  if (cursor.accept("TABLE") || cursor.accept("TABLES")) {
    return ddl_.drop_table(cursor, tokens, out, why);
  }
  if (cursor.accept("INDEX")) return ddl_.drop_index(cursor, tokens, out, why);
  if (cursor.is_word("DATABASE") || cursor.is_word("SCHEMA")) {
    findings_.add(issue::database_statement, offset, "DROP DATABASE");
    return true;
  }
  if (is_one_of(cursor, routine_words)) return true;  // its CREATE is reported
  if (cursor.is_word("VIEW")) return convert_generic(tokens, out);
  why = "this DROP statement";
  return false;
}

bool file_converter::convert_generic(const std::vector<token>& tokens,
                                     std::vector<output_statement>& out) {
  std::string text;
  expression_problems problems;
  append_expression(text, cx_, tokens, 0, tokens.size(), problems, value_kind::unknown, nullptr,
                    true);
  if (problems.variable) {
    findings_.add(issue::user_variable, problems.variable_at, problems.variable_name);
    return false;
  }
  if (problems.broken) {
    findings_.add(issue::does_not_parse, problems.broken_at, "a byte that is not SQL");
    return false;
  }
  out.push_back({statement_with_rewrites(text, tokens.front().begin), tokens.front().begin});
  return true;
}

bool file_converter::read_insert_head(const std::vector<token>& tokens, insert_head& head) {
  token_cursor cursor(tokens, source_);
  head.offset = tokens.front().begin;
  head.mode = cursor.accept("REPLACE") ? insert_mode::replace : insert_mode::plain;
  cursor.accept("INSERT");
  while (cursor.accept("LOW_PRIORITY") || cursor.accept("DELAYED") ||
         cursor.accept("HIGH_PRIORITY")) {
  }
  if (cursor.accept("IGNORE") && head.mode == insert_mode::plain) head.mode = insert_mode::ignore;
  cursor.accept("INTO");
  definition_reader reader(cx_, tokens);
  head.table = lower_name(reader.take_raw_name(cursor));
  if (head.table.empty()) return false;
  std::size_t begin, end;
  if (cursor.accept("PARTITION")) cursor.take_group(begin, end);
  head.columns.clear();
  if (cursor.take_group(begin, end)) {
    token_cursor names(tokens, source_, begin, end);
    while (!names.at_end()) {
      std::string column = reader.take_raw_name(names);
      if (column.empty()) return false;
      head.columns.push_back(lower_name(column));
      if (!names.accept_punct(',') && !names.at_end()) return false;
    }
  }
  return cursor.at_end();
}

void file_converter::convert_insert(const token& first) {
  tokens_.clear();
  tokens_.push_back(first);
  std::uint8_t carried = 0;
  int depth = 0;
  token t = next_token(carried);
  // The head ends at VALUES (rows follow), or the statement is held whole.
  for (; !is_end(t); t = next_token(carried)) {
    if (t.kind == token_kind::punct) {
      unsigned char c = source_.at(t.begin);
      depth += c == '(' ? 1 : c == ')' ? -1 : 0;
    }
    if (depth == 0 && t.kind == token_kind::word &&
        (same_word(cx_.text(t), "VALUES") || same_word(cx_.text(t), "VALUE"))) {
      break;
    }
    tokens_.push_back(t);
  }
  describe_watched(tokens_);
  insert_head head;
  bool values = !is_end(t);
  if (values && read_insert_head(tokens_, head)) {
    if (!setup_.convert_rows) {
      skip_statement();
      return;
    }
    result_.rows += inserts_.convert(head, session_.no_auto_value_on_zero());
    return;
  }
  // INSERT ... SELECT, INSERT ... SET, or a head that cannot be read.
  if (values) tokens_.push_back(t);
  if (!is_end(t)) {
    for (t = next_token(carried); !is_end(t); t = next_token(carried)) tokens_.push_back(t);
  }
  if (!setup_.convert_rows) return;
  note_explicit_ids(tokens_);
  std::vector<output_statement> out;
  if (convert_insert_set(tokens_, out)) {
    for (const output_statement& statement : out) emit(statement);
    return;
  }
  convert_held(tokens_);
}

// An INSERT ... SELECT (or ... SET) that may give the identity column its
// values: the sequence is set past them before the next row takes one.
void file_converter::note_explicit_ids(const std::vector<token>& tokens) {
  insert_head head;
  read_insert_head(tokens, head);
  const sql::column_model* identity = schema_.identity_of(head.table);
  if (identity == nullptr) return;
  if (head.columns.empty() ||
      std::find(head.columns.begin(), head.columns.end(), identity->name) != head.columns.end()) {
    schema_.facts[head.table].ids_written = true;
  }
}

std::string file_converter::statement_with_rewrites(const std::string& statement,
                                                    std::uint64_t offset) {
  std::vector<std::string> left;
  std::string text = with_query_rewrites(statement, &schema_.extensions, &schema_.model, &left);
  if (!left.empty()) findings_.add(issue::mysql_construct_left, offset, left.front());
  return text;
}

bool file_converter::convert_insert_set(const std::vector<token>& tokens,
                                        std::vector<output_statement>& out) {
  token_cursor cursor(tokens, source_);
  insert_head head;
  head.offset = tokens.front().begin;
  if (cursor.accept("REPLACE")) {
    head.mode = insert_mode::replace;
  } else if (!cursor.accept("INSERT")) {
    return false;
  }
  while (cursor.accept("LOW_PRIORITY") || cursor.accept("DELAYED") ||
         cursor.accept("HIGH_PRIORITY")) {
  }
  if (cursor.accept("IGNORE") && head.mode == insert_mode::plain) head.mode = insert_mode::ignore;
  cursor.accept("INTO");
  definition_reader reader(cx_, tokens);
  std::string table = lower_name(reader.take_raw_name(cursor));
  if (table.empty() || !cursor.accept("SET")) return false;
  std::string columns, values;
  expression_problems problems;
  while (!cursor.at_end()) {
    std::string column = lower_name(reader.take_raw_name(cursor));
    if (column.empty() || !cursor.accept_punct('=')) return false;
    std::size_t begin = cursor.index();
    cursor.skip_to_comma();
    std::size_t end = cursor.index();
    for (std::size_t i = begin; i < end; ++i) {
      if (same_word(cx_.text(tokens[i]), "DUPLICATE")) return false;  // ON DUPLICATE KEY UPDATE
    }
    if (begin == end) return false;
    if (!columns.empty()) {
      columns += ", ";
      values += ", ";
    }
    columns += sql::postgres_name(column);
    head.columns.push_back(column);
    append_expression(values, cx_, tokens, begin, end, problems, value_kind::unknown, nullptr,
                      true);
    if (!cursor.accept_punct(',') && !cursor.at_end()) return false;
  }
  // A user variable or a byte that is not SQL: the generic conversion
  // reports it.
  if (columns.empty() || problems.variable || problems.broken) return false;
  head.table = table;
  std::string conflict = head.mode == insert_mode::plain ? "" : inserts_.conflict_clause(head);
  out.push_back({statement_with_rewrites("INSERT INTO " + sql::postgres_name(table) + " (" +
                                             columns + ") VALUES (" + values + ")" + conflict,
                                         tokens.front().begin),
                 tokens.front().begin});
  return true;
}

}  // namespace corvexa::schema
