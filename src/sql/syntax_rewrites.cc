// Each clause rewrite reads a short, fixed pattern of tokens and gives up
// on anything else; the rewritten text is parsed again by the caller, which
// keeps the rewrites only if it then parses.
#include "sql/syntax_rewrites.h"

#include <algorithm>
#include <string>

#include "common/ascii.h"
#include "sql/group_concat.h"
#include "sql/multi_table_rewrite.h"
#include "sql/mysql_lexer.h"
#include "sql/mysql_syntax_hints.h"
#include "sql/postgres_names.h"
#include "sql/replace_upsert.h"

namespace corvexa::sql {
namespace {

bool continues_word(char c) {
  auto b = static_cast<unsigned char>(c);
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' ||
         c == '$' || b >= 0x80;
}

// A space where the replacement would otherwise run into the word beside it.
std::string spaced(std::string_view sql, std::uint64_t begin, std::uint64_t end,
                   std::string_view word) {
  bool word_before = begin > 0 && continues_word(sql[begin - 1]);
  bool word_after = end < sql.size() && continues_word(sql[end]);
  if (word.empty()) return word_before && word_after ? " " : "";
  std::string out;
  if (word_before && continues_word(word.front())) out += ' ';
  out += word;
  if (word_after && continues_word(word.back())) out += ' ';
  return out;
}

bool is_plain_name_byte(char c) { return continues_word(c) && c != '$'; }

// A backquoted name with placeholders in it loses its backquotes only, when
// its literal bytes are such that PostgreSQL reads it unquoted the same.
edit_group backquotes_around_placeholder(const substituted_sql& s, const backquoted_name& name) {
  for (std::uint64_t i = name.begin + 1; i + 1 < name.end; ++i) {
    const substitution_slot* slot = s.slot_holding(i);
    if (slot != nullptr) {
      i = slot->end - 1;
      continue;
    }
    if (!is_plain_name_byte(s.sql[i]) || (s.sql[i] >= 'A' && s.sql[i] <= 'Z')) return {};
  }
  return {sql_edit{name.begin, name.begin + 1, spaced(s.sql, name.begin, name.begin + 1, "")},
          sql_edit{name.end - 1, name.end, spaced(s.sql, name.end - 1, name.end, "")}};
}

bool ends_statement(const sql_token_view& t, std::size_t i) {
  return i >= t.size() || t.is_char(i, ';') || t.is_char(i, ')') || t.is(i, "for") ||
         t.is(i, "union") || t.is(i, "procedure") || t.is(i, "into");
}

bool is_single_value(const sql_token_view& t, std::size_t i) {
  return i < t.size() &&
         (t[i].kind == sql_token_kind::iconst || t[i].kind == sql_token_kind::param);
}

// The token after INSERT and its priority words (LOW_PRIORITY, DELAYED,
// HIGH_PRIORITY), or none when the text is not an INSERT.
std::size_t after_insert_priority(const sql_token_view& t) {
  if (!t.is(0, "insert")) return sql_token_view::none;
  std::size_t i = 1;
  while (t.is(i, "low_priority") || t.is(i, "delayed") || t.is(i, "high_priority")) ++i;
  return i;
}

class clause_rewriter {
 public:
  clause_rewriter(const substituted_sql& s, const edited_sql& current, const sql_token_view& t,
                  const schema_model* schema)
      : s_(s), current_(current), t_(t), schema_(schema) {}

  std::vector<edit_group> run() {
    for (std::size_t i = 0; i < t_.size(); ++i) {
      if (t_.is(i, "limit")) limit_offset_count(i);
      if (t_.is(i, "interval")) interval(i);
      if (t_.is(i, "binary")) binary_operand(i);
      if (t_.is(i, "group_concat")) add(group_concat_edits(t_, i));
    }
    // Before the names: the copies of the tables it moves quote a reserved
    // name themselves, and the quotes in place would clash with the move.
    add(multi_table_edits(t_, [this](std::size_t i) { return is_stand_in(i); }));
    reserved_names();
    select_modifiers();
    update_delete_limit();
    duplicate_key_update();
    insert_ignore();
    replace_into();
    return std::move(groups_);
  }

 private:
  std::string_view bytes(std::size_t i) const { return t_.bytes(i); }

  // Token i is a placeholder's stand-in.
  bool is_stand_in(std::size_t i) const {
    auto range = current_.original_range(t_[i].begin, t_[i].end);
    return range && s_.slot_spanning(range->first, range->second) != nullptr;
  }

  void add(const edit_group& group) {
    edit_group original = to_original_edits(s_, current_, group);
    if (!original.empty()) groups_.push_back(std::move(original));
  }

  // LIMIT a, b
  void limit_offset_count(std::size_t limit) {
    std::size_t a = limit + 1, comma = limit + 2, b = limit + 3;
    if (!is_single_value(t_, a) || !t_.is_char(comma, ',') || !is_single_value(t_, b) ||
        !ends_statement(t_, b + 1)) {
      return;
    }
    if (!is_stand_in(a) && !is_stand_in(b)) {
      std::string swapped = std::string(bytes(b)) + " OFFSET " + std::string(bytes(a));
      add({sql_edit{t_[a].begin, t_[b].end, swapped}});
      return;
    }
    // The values cannot move: PostgreSQL takes OFFSET before LIMIT too, and
    // nothing needs to be written after b, which may end the text.
    bool spaced = t_[comma].end < t_[b].begin;
    add({sql_edit{t_[limit].begin, t_[limit].end, "OFFSET"},
         sql_edit{t_[comma].begin, t_[comma].end, spaced ? " LIMIT" : " LIMIT "}});
  }

  // BINARY x, MySQL's byte-wise comparison of x, before a name, a call or a
  // parenthesis, which PostgreSQL rejects: x::text, which a citext column
  // then compares with regard to case. (Before a string PostgreSQL reads
  // it as a typed constant; the tree checks rewrite that one.)
  void binary_operand(std::size_t at) {
    if (at > 0 && t_.is_any(at - 1, {"as", "using", "collate", "set", "character"})) return;
    std::size_t first = at + 1;
    if (first >= t_.size() || t_[first].kind == sql_token_kind::sconst) return;
    std::size_t last = first;
    if (t_.is_char(first, '(')) {
      last = t_.closing_paren(first);
    } else if (t_[first].kind == sql_token_kind::ident || !is_punctuation(first)) {
      while (t_.is_char(last + 1, '.') && last + 2 < t_.size() && !is_punctuation(last + 2)) {
        last += 2;
      }
      if (t_.is_char(last + 1, '(')) last = t_.closing_paren(last + 1);
    } else {
      return;
    }
    if (last == sql_token_view::none) return;
    add({sql_edit{t_[at].begin, t_[first].begin, ""},
         sql_edit{t_[last].end, t_[last].end, "::text"}});
  }

  // A token of one byte that is not a letter: "(", ",", "=", ...
  bool is_punctuation(std::size_t i) const {
    std::string_view b = bytes(i);
    return b.size() == 1 && !continues_word(b[0]);
  }

  // INTERVAL n UNIT, n a number (or a placeholder), maybe negative.
  void interval(std::size_t at) {
    static constexpr std::string_view units[] = {"microsecond", "second", "minute", "hour",
                                                 "day",         "week",   "month",  "year"};
    std::size_t number = at + 1;
    bool negative = t_.is_char(number, '-');
    if (negative) ++number;
    std::size_t unit = number + 1;
    if (number >= t_.size() || unit >= t_.size()) return;
    int kind = t_[number].kind;
    if (kind != sql_token_kind::iconst && kind != sql_token_kind::fconst) return;
    std::string_view unit_name;
    for (std::string_view u : units) {
      if (t_.is(unit, u)) unit_name = u;
    }
    if (unit_name.empty()) return;
    std::size_t first = negative ? at + 1 : number;
    std::string tail(" ");
    tail.append(unit_name).append("'");
    if (!is_stand_in(number)) {
      std::string quoted("'");
      quoted.append(t_.text().substr(t_[first].begin, t_[number].end - t_[first].begin))
          .append(tail);
      add({sql_edit{t_[first].begin, t_[unit].end, quoted}});
    } else {
      add({sql_edit{t_[first].begin, t_[first].begin, "'"},
           sql_edit{t_[number].end, t_[unit].end, tail}});
    }
  }

  // A word PostgreSQL reserves where MySQL reads a table or column name:
  // after FROM, JOIN, INTO, UPDATE or TABLE, in INSERT's column list, as
  // the column of an assignment (UPDATE user SET user = 'x') or a name's
  // qualifier (user.id); user, which MySQL knows only as USER(), anywhere.
  // PostgreSQL takes FROM user alone, as its current user: the tree checks
  // quote that.
  void reserved_names() {
    std::size_t columns_open = sql_token_view::none, columns_close = sql_token_view::none;
    std::size_t into = after_insert_priority(t_);
    if (into != sql_token_view::none && t_.is(into, "into")) {
      std::size_t end = table_name_end(into + 1);
      if (end != sql_token_view::none && t_.is_char(end, '(')) {
        columns_open = end;
        columns_close = t_.closing_paren(end);
      }
    }
    for (std::size_t i = 0; i < t_.size(); ++i) {
      bool table = i > 0 && t_.is_any(i - 1, {"from", "join", "into", "update", "table"});
      bool assigned = (t_.is(i - 1, "set") || t_.is_char(i - 1, ',')) && t_.is_char(i + 1, '=');
      bool listed = columns_close != sql_token_view::none && i > columns_open &&
                    i < columns_close && (t_.is_char(i - 1, '(') || t_.is_char(i - 1, ','));
      bool named = t_.is_char(i + 1, '.') || t_.is(i, "user");
      if ((!table && !assigned && !listed && !named) || t_[i].kind == sql_token_kind::ident ||
          (t_.is_char(i + 1, '(') && !t_.is(i - 1, "into")) || t_.is(i, "lateral") ||
          is_stand_in(i) || !is_reserved_name(bytes(i)))
        continue;
      add({sql_edit{t_[i].begin, t_[i].end, postgres_name(bytes(i))}});
    }
  }

  // SELECT [DISTINCT] SQL_NO_CACHE ...: the hints go, with the space
  // after each.
  void select_modifiers() {
    for (std::size_t i = 0; i < t_.size(); ++i) {
      if (!t_.is(i, "select")) continue;
      std::size_t k = i + 1;
      if (t_.is(k, "distinct") || t_.is(k, "all") || t_.is(k, "distinctrow")) ++k;
      for (; k + 1 < t_.size() && is_select_modifier(ascii_lowered(bytes(k))); ++k)
        add({sql_edit{t_[k].begin, t_[k + 1].begin, ""}});
    }
  }

  // The end of a table name starting at i ("name" or "schema.name"), or none.
  std::size_t table_name_end(std::size_t i) const {
    auto is_name = [&](std::size_t k) {
      return k < t_.size() && t_[k].kind != sql_token_kind::op &&
             t_[k].kind != sql_token_kind::iconst && t_[k].kind != sql_token_kind::sconst &&
             !t_.is_char(k, '(') && !t_.is_char(k, ',') && !t_.is_char(k, ';') &&
             !t_.is_char(k, ')');
    };
    if (!is_name(i)) return sql_token_view::none;
    std::size_t end = i + 1;
    if (t_.is_char(end, '.') && is_name(end + 1)) end += 2;
    return end;
  }

  // UPDATE t SET ... [WHERE ...] [ORDER BY ...] LIMIT n and
  // DELETE FROM t [WHERE ...] [ORDER BY ...] LIMIT n, one statement.
  void update_delete_limit() {
    if (t_.size() < 4) return;
    std::size_t table;
    if (t_.is(0, "update")) {
      table = 1;
    } else if (t_.is(0, "delete") && t_.is(1, "from")) {
      table = 2;
    } else {
      return;
    }
    std::size_t table_end = table_name_end(table);
    if (table_end == sql_token_view::none) return;
    std::size_t after_table = table_end;
    if (t_.is(after_table, "as")) {
      after_table += 2;
    } else if (after_table < t_.size() && t_[after_table].kind == sql_token_kind::ident) {
      ++after_table;  // an alias; keywords such as SET and WHERE have kinds of their own
    }
    if (after_table >= t_.size() || (t_.is(0, "update") && !t_.is(after_table, "set"))) return;
    std::size_t where = sql_token_view::none, order = sql_token_view::none,
                limit = sql_token_view::none;
    int depth = 0;
    for (std::size_t i = after_table; i < t_.size(); ++i) {
      if (t_.is_char(i, '('))
        ++depth;
      else if (t_.is_char(i, ')'))
        --depth;
      else if (depth != 0)
        continue;
      else if (t_.is(i, "where") && where == sql_token_view::none)
        where = i;
      else if (t_.is(i, "order") && t_.is(i + 1, "by") && order == sql_token_view::none)
        order = i;
      else if (t_.is(i, "limit"))
        limit = i;
      else if (t_.is_char(i, ';') || t_.is(i, "returning") || t_.is(i, "using"))
        break;
    }
    if (limit == sql_token_view::none || !is_single_value(t_, limit + 1) ||
        !ends_statement(t_, limit + 2) || t_.is_char(limit + 2, ')')) {
      return;
    }
    for (std::size_t i = table; i < after_table; ++i) {
      if (is_stand_in(i)) return;  // the table's name must be copied: it must be literal
    }
    // The copy is read by itself: a reserved word (UPDATE user) must be
    // quoted there as well.
    std::string table_text(bytes(table));
    if (t_[table].kind != sql_token_kind::ident && is_reserved_name(table_text))
      table_text = postgres_name(table_text);
    table_text += t_.text().substr(t_[table].end, t_[after_table - 1].end - t_[table].end);
    std::string subquery = "ctid IN (SELECT ctid FROM " + table_text + " ";
    std::uint64_t close_at = t_[limit + 1].end;
    if (where != sql_token_view::none) {
      add({sql_edit{t_[where].end, t_[where].end, " " + subquery + "WHERE"},
           sql_edit{close_at, close_at, ")"}});
    } else {
      std::size_t first = order != sql_token_view::none ? order : limit;
      add({sql_edit{t_[first].begin, t_[first].begin, "WHERE " + subquery},
           sql_edit{close_at, close_at, ")"}});
    }
  }

  // The name token i stands for, as PostgreSQL reads it: a double-quoted
  // one without its quotes, a plain one in lower case; empty for any other
  // token.
  std::string name_at(std::size_t i) const {
    if (i >= t_.size() || is_stand_in(i)) return {};
    std::string_view b = bytes(i);
    if (b.size() >= 2 && b.front() == '"' && b.back() == '"') {
      std::string_view inner = b.substr(1, b.size() - 2);
      return inner.find('"') == std::string_view::npos ? std::string(inner) : std::string();
    }
    std::string name;
    for (char c : b) {
      if (!continues_word(c) || c == '$') return {};
      name += ascii_lower(c);
    }
    return name;
  }

  // The columns an INSERT gives values for, its column list starting at
  // token `at` (or every column of `table` without one), and the token
  // after it; false where the list is not one of plain names.
  bool inserted_columns(const table_model& table, std::size_t& at,
                        std::vector<std::string>& columns) const {
    if (!t_.is_char(at, '(')) {
      for (const column_model& c : table.columns) columns.push_back(c.name);
      return true;
    }
    std::size_t close = t_.closing_paren(at);
    if (close == sql_token_view::none) return false;
    for (std::size_t i = at + 1; i < close; i += 2) {
      std::string name = name_at(i);
      if (name.empty() || (i + 1 < close && !t_.is_char(i + 1, ','))) return false;
      columns.push_back(std::move(name));
    }
    at = close + 1;
    return true;
  }

  // The one key of `table` that a row of `inserted` columns can collide on,
  // or empty: MySQL updates on a collision on any unique key, PostgreSQL on
  // the one ON CONFLICT names, so the two agree only where one key is given
  // all its values.
  std::vector<std::string> only_key(const table_model& table,
                                    const std::vector<std::string>& inserted) const {
    std::vector<std::vector<std::string>> keys = table.unique_keys;
    if (!table.primary_key.empty()) keys.push_back(table.primary_key);
    std::vector<std::string> found;
    std::size_t count = 0;
    for (const std::vector<std::string>& key : keys) {
      bool given = !key.empty() && std::all_of(key.begin(), key.end(), [&](const std::string& c) {
        return std::find(inserted.begin(), inserted.end(), c) != inserted.end();
      });
      if (given && ++count == 1) found = key;
    }
    return count == 1 ? found : std::vector<std::string>();
  }

  // INSERT INTO t [(columns)] VALUES ... ON DUPLICATE KEY UPDATE a = x, ...
  // -> ... ON CONFLICT (key) DO UPDATE SET a = x, ..., where VALUES(c) is
  // EXCLUDED.c and a column read in x is t's (PostgreSQL would not know
  // whether the existing row's or the proposed one's is meant).
  void duplicate_key_update() {
    std::size_t i = after_insert_priority(t_);
    if (schema_ == nullptr || i == sql_token_view::none) return;
    if (t_.is(i, "into")) ++i;
    std::string table_name = name_at(i);
    const table_model* table = table_name.empty() ? nullptr : schema_->table(table_name);
    if (table == nullptr || !table->columns_known || t_.is_char(i + 1, '.')) return;
    std::string table_text(bytes(i));
    std::size_t at = i + 1;
    std::vector<std::string> inserted;
    if (!inserted_columns(*table, at, inserted)) return;
    std::size_t on = sql_token_view::none;
    for (int depth = 0; at + 3 < t_.size(); ++at) {
      depth += t_.is_char(at, '(') ? 1 : t_.is_char(at, ')') ? -1 : 0;
      if (depth == 0 && t_.is(at, "on") && t_.is(at + 1, "duplicate") && t_.is(at + 2, "key") &&
          t_.is(at + 3, "update")) {
        on = at;
        break;
      }
    }
    if (on == sql_token_view::none) return;
    std::vector<std::string> key = only_key(*table, inserted);
    if (key.empty()) return;
    edit_group group{sql_edit{t_[on].begin, t_[on + 3].end,
                              "ON CONFLICT (" + postgres_name_list(key) + ") DO UPDATE SET"}};
    bool assigned_to = true;  // the next name is the column an assignment sets
    std::vector<std::string> assigned;
    int depth = 0;
    for (std::size_t k = on + 4; k < t_.size() && !t_.is_char(k, ';'); ++k) {
      if (t_.is_char(k, '(')) ++depth;
      if (t_.is_char(k, ')')) --depth;
      if (depth == 0 && t_.is_char(k, ',')) assigned_to = true;
      if (assigned_to) {
        if (t_.is_char(k, '=')) assigned_to = false;
        if (std::string name = name_at(k); !name.empty() && !t_.is_char(k + 1, '.')) {
          assigned.push_back(std::move(name));
        }
        continue;
      }
      if (t_.is(k, "values") && t_.is_char(k + 1, '(') && t_.is_char(k + 3, ')') &&
          table->column(name_at(k + 2)) != nullptr) {
        // The name stays as it is, for it may be one the backquote rewrites
        // changed.
        group.push_back(sql_edit{t_[k].begin, t_[k + 1].end, "EXCLUDED."});
        group.push_back(sql_edit{t_[k + 3].begin, t_[k + 3].end, ""});
        k += 3;
        continue;
      }
      std::string name = name_at(k);
      if (name.empty() || table->column(name) == nullptr || t_.is_char(k + 1, '(') ||
          t_.is_char(k + 1, '.') || (k > 0 && t_.is_char(k - 1, '.'))) {
        continue;
      }
      // MySQL reads a column that an assignment before set as set, where
      // PostgreSQL reads the row as it was.
      if (std::find(assigned.begin(), assigned.end(), name) != assigned.end() &&
          assigned.back() != name) {
        return;
      }
      group.push_back(sql_edit{t_[k].begin, t_[k].begin, table_text + "."});
    }
    add(group);
  }

  // INSERT IGNORE ... -> INSERT ... ON CONFLICT DO NOTHING. MySQL's IGNORE
  // skips a row whose key is taken, as ON CONFLICT DO NOTHING does, and
  // also turns other errors into warnings, which PostgreSQL still raises.
  void insert_ignore() {
    std::size_t i = after_insert_priority(t_);
    if (i == sql_token_view::none || !t_.is(i, "ignore") || i + 1 >= t_.size()) return;
    std::size_t last = i + 1;
    for (std::size_t k = i + 1; k < t_.size() && !t_.is_char(k, ';'); ++k) {
      if (t_.is(k, "duplicate")) return;  // ON DUPLICATE KEY UPDATE: reported
      last = k;
    }
    add({sql_edit{t_[i].begin, t_[i + 1].begin, ""},
         sql_edit{t_[last].end, t_[last].end, " ON CONFLICT DO NOTHING"}});
  }

  // REPLACE [INTO] t [(columns)] VALUES ... -> INSERT INTO t ... ON
  // CONFLICT (key) DO UPDATE SET a = EXCLUDED.a, ..., b = DEFAULT: MySQL
  // deletes the row that holds the key and inserts the new one, whose
  // columns left out take their defaults. Only where one key is given all
  // its values, as for ON DUPLICATE KEY UPDATE.
  void replace_into() {
    if (schema_ == nullptr || !t_.is(0, "replace")) return;
    std::size_t i = t_.is(1, "into") ? 2 : 1;
    std::string table_name = name_at(i);
    const table_model* table = table_name.empty() ? nullptr : schema_->table(table_name);
    if (table == nullptr || !table->columns_known || t_.is_char(i + 1, '.')) return;
    std::size_t at = i + 1;
    std::vector<std::string> inserted;
    if (!inserted_columns(*table, at, inserted) || !(t_.is(at, "values") || t_.is(at, "value"))) {
      return;
    }
    std::vector<std::string> key = only_key(*table, inserted);
    if (key.empty()) return;
    std::size_t last = at;
    while (last + 1 < t_.size() && !t_.is_char(last + 1, ';')) ++last;
    std::vector<std::string> columns;
    for (const column_model& c : table->columns) columns.push_back(c.name);
    std::string clause = " ";
    clause += replace_conflict_clause(key, columns, inserted);
    add({sql_edit{t_[0].begin, t_[i].begin, "INSERT INTO "},
         sql_edit{t_[last].end, t_[last].end, std::move(clause)}});
  }

  const substituted_sql& s_;
  const edited_sql& current_;
  const sql_token_view& t_;
  const schema_model* schema_;
  std::vector<edit_group> groups_;
};

// Reads the names of an INSERT ... SET on the original text, where a name
// may still stand in backquotes (which the scanner gives as tokens of their
// own), and makes its edits.
class insert_set_reader {
 public:
  insert_set_reader(const substituted_sql& s, const sql_token_view& t)
      : s_(s), t_(t), quoted_(find_backquoted_names(s.sql)) {}

  edit_group run() {
    std::size_t i = after_insert_priority(t_);
    if (i == none) return {};
    if (t_.is(i, "into")) ++i;
    i = name_end(i, nullptr);
    if (i == none || !t_.is(i, "set")) return {};
    std::size_t set = i++;
    std::string columns;
    edit_group edits;
    std::uint64_t last_value_end = 0;
    while (i < t_.size() && !t_.is_char(i, ';')) {
      std::string column;
      std::size_t equals = name_end(i, &column);
      if (equals == none || !t_.is_char(equals, '=') || equals + 1 >= t_.size()) return {};
      std::uint64_t removed_from = columns.empty() ? t_[set].end : t_[i].begin;
      if (s_.touches_slot(removed_from, t_[equals].end)) return {};
      std::size_t value_end = end_of_value(equals + 1);
      if (value_end == none || value_end == equals + 1) return {};
      edits.push_back(sql_edit{removed_from, t_[equals + 1].begin, ""});
      columns += (columns.empty() ? "" : ", ") + column;
      last_value_end = t_[value_end - 1].end;
      i = value_end;
      if (t_.is_char(i, ',')) ++i;
    }
    if (columns.empty()) return {};
    edits.insert(edits.begin(), sql_edit{t_[set].begin, t_[set].end, "(" + columns + ") VALUES ("});
    edits.push_back(sql_edit{last_value_end, last_value_end, ")"});
    return edits;
  }

 private:
  static constexpr std::size_t none = sql_token_view::none;

  // One past the name that begins at token i, plain or backquoted, with
  // `name` (when asked) set to how PostgreSQL is to read it; none when no
  // single name begins there.
  std::size_t name_end(std::size_t i, std::string* name) const {
    if (i >= t_.size()) return none;
    for (const backquoted_name& q : quoted_) {
      if (q.begin != t_[i].begin) continue;
      if (q.name.empty() || s_.touches_slot(q.begin, q.end)) return none;
      if (name != nullptr) *name = postgres_name(q.name);
      std::size_t after = i;
      while (after < t_.size() && t_[after].begin < q.end) ++after;
      return after;
    }
    int kind = t_[i].kind;
    if (kind == sql_token_kind::op || kind == sql_token_kind::iconst ||
        kind == sql_token_kind::fconst || kind == sql_token_kind::sconst ||
        kind == sql_token_kind::param || !continues_word(t_.bytes(i)[0]) ||
        t_.is_char(i + 1, '.') || s_.touches_slot(t_[i].begin, t_[i].end)) {
      return none;
    }
    if (name != nullptr) *name = std::string(t_.bytes(i));
    return i + 1;
  }

  // The token after the value that begins at token i: a "," or ";" outside
  // parentheses, or the end; none where the statement goes on otherwise.
  std::size_t end_of_value(std::size_t i) const {
    int depth = 0;
    for (; i < t_.size(); ++i) {
      if (t_.is_char(i, '(')) ++depth;
      if (t_.is_char(i, ')') && --depth < 0) return none;
      if (depth == 0 && (t_.is_char(i, ',') || t_.is_char(i, ';'))) return i;
      if (depth == 0 && t_.is(i, "on")) return none;  // ON DUPLICATE KEY UPDATE
    }
    return i;
  }

  const substituted_sql& s_;
  const sql_token_view& t_;
  std::vector<backquoted_name> quoted_;
};

}  // namespace

edit_group insert_set_rewrite(const substituted_sql& original) {
  // A MySQL escape in a value makes PostgreSQL's scanner cut the values
  // elsewhere than MySQL does.
  if (find_backslash_escape(original.sql) != std::string_view::npos) return {};
  std::vector<sql_token> tokens;
  if (!scan_sql(original.sql, tokens)) return {};
  sql_token_view view(original.sql, tokens);
  return insert_set_reader(original, view).run();
}

std::vector<edit_group> backquote_rewrites(const substituted_sql& original) {
  std::vector<edit_group> groups;
  for (const backquoted_name& name : find_backquoted_names(original.sql)) {
    if (original.touches_slot(name.begin, name.end)) {
      edit_group group = backquotes_around_placeholder(original, name);
      if (!group.empty()) groups.push_back(std::move(group));
      continue;
    }
    if (name.name.empty()) continue;
    std::string replacement = spaced(original.sql, name.begin, name.end, postgres_name(name.name));
    groups.push_back({sql_edit{name.begin, name.end, std::move(replacement)}});
  }
  return groups;
}

std::vector<edit_group> clause_rewrites(const substituted_sql& original, const edited_sql& current,
                                        const sql_token_view& tokens, const schema_model* schema) {
  return clause_rewriter(original, current, tokens, schema).run();
}

edit_group to_original_edits(const substituted_sql& original, const edited_sql& current,
                             const edit_group& group) {
  edit_group mapped;
  for (const sql_edit& e : group) {
    auto range = current.original_range(e.begin, e.end);
    if (!range) return {};
    auto [begin, end] = *range;
    if (original.touches_slot(begin, end)) return {};
    const substitution_slot* inside = original.slot_holding(begin);
    if (begin == end && inside != nullptr && inside->begin < begin) return {};
    mapped.push_back(sql_edit{begin, end, e.replacement});
  }
  return mapped;
}

}  // namespace corvexa::sql
