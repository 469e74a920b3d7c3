// INSERT and REPLACE ... VALUES, converted while they stream: an extended
// INSERT of hundreds of megabytes is read, converted and written one row
// tuple at a time, so memory holds one row (and the few kilobytes of rows
// that wait to be written together). Each value is written for the
// type of its column when the table's CREATE TABLE was seen (binary
// strings as bytea, hex numbers as numbers or bytes, zero dates as NULL);
// NULL (and 0, unless NO_AUTO_VALUE_ON_ZERO) for an identity column becomes
// DEFAULT, after setting the sequence past the explicit ids written before.
// INSERT IGNORE and REPLACE become ON CONFLICT clauses on the table's key.
// A row that cannot be converted ends the statement: it is written as a
// comment with a finding, and the rows after it start a new INSERT.
#pragma once

#include <cstdint>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "schema/conversion_context.h"
#include "schema/mysql_lexer.h"
#include "schema/row_buffer.h"
#include "schema/schema_state.h"
#include "schema/sql_output.h"

namespace corvexa::schema {

enum class insert_mode { plain, ignore, replace };

struct insert_head {
  std::string table;                 // lower case
  std::vector<std::string> columns;  // lower case, as listed; empty when not listed
  insert_mode mode = insert_mode::plain;
  std::uint64_t offset = 0;
};

class insert_rows {
 public:
  // How many bytes of rows wait before they are written.
  static constexpr std::size_t waiting_rows_size = std::size_t{8} * 1024;

  insert_rows(conversion_context& cx, mysql_lexer& lexer, schema_state& schema, sql_output& out)
      : cx_(cx), lexer_(lexer), schema_(schema), out_(out) {}

  // Converts the rows that follow VALUES, and an ON DUPLICATE KEY UPDATE
  // clause, up to the end of the statement. Returns the rows written.
  std::uint64_t convert(const insert_head& head, bool no_auto_value_on_zero);
  // The ON CONFLICT clause (with its newline) that INSERT IGNORE or
  // REPLACE of `head` takes, for a statement written otherwise (... SET).
  std::string conflict_clause(const insert_head& head) {
    head_ = head;
    plan(head);
    return conflict_;
  }

 private:
  struct column_plan {
    value_kind kind = value_kind::unknown;
    bool not_null = false;
    bool identity = false;
    bool bits = false;  // BIT: a string is its bytes
    // A quoted value needs no look of its own before the plain path copies
    // it (see quoted_value_is_plain), as in most columns.
    bool quoted_plain = true;
    // A string may be a zero date, written as NULL: a date column's, or
    // one of a table whose CREATE TABLE was not seen.
    bool zero_dates = true;
    // Its strings may go to copy_utf8_literal (copy_strings_, and not
    // bytea), set for the statement.
    bool copies_strings = false;
  };
  struct row_state {
    bool broken = false;
    bool reported = false;  // its finding is made
    bool ended = false;     // the statement ended inside the row
    bool needs_check = false;
    bool default_identity = false;
    bool explicit_identity = false;
    std::uint64_t broken_at = 0;
    // The columns and offsets of TIME values that need an interval.
    std::vector<std::pair<std::size_t, std::uint64_t>> long_times;
  };

  void plan(const insert_head& head);
  token next_token();
  // Reads one row after its '('; `row.ended` when the statement ended
  // inside it.
  void read_row(std::uint64_t row_begin, row_state& row);
  // The same for a row of the plain shape that dumps write (quoted
  // strings, numbers, NULL, hex numbers, single spaces), read straight from
  // the input window into plain_, and for the rows that "),(" joins to it
  // while each before is finished at once (finish_following_row):
  // `row_begin` and `row` end as the last row's, the lexer after it. False
  // for a row of any other shape, with nothing of it read and the lexer
  // after its '('.
  bool read_plain_rows(std::uint64_t& row_begin, row_state& row);
  // One such row, from `p` (after its '(', input offset `at`) in the
  // window that ends at `end`; returns the end of the row (after its ')'),
  // or null, having read nothing, when it is not plain.
  const char* read_plain_row(const char* p, const char* end, std::uint64_t at, row_state& row);
  // What the text values of a plain row met, and where first.
  struct row_problems {
    text_problems found;
    std::uint64_t invalid_at = 0;
    std::uint64_t zero_at = 0;
  };
  // Writes the string value at `p` (input offset `offset`) of such a row
  // for its column; returns its end, or null when [p, end) ends first.
  const char* write_plain_string(const char* p, const char* end, const column_plan& target,
                                 std::uint64_t offset, row_problems& problems);
  // The same for a string that copy_utf8_literal leaves (binary columns,
  // other character sets, escapes and bytes that are reported).
  const char* write_general_string(const char* p, const char* end, const column_plan& target,
                                   std::uint64_t offset, text_problems& problems);
  // True when the string [p, value_end) is a zero date for a date column.
  static bool is_zero_date_value(const column_plan& target, const char* p, const char* value_end);
  // Whether the quoted value at `p` may be copied as it stands into
  // `target`, a column whose quoted values need a look: not into the
  // identity (its value decides the sequence), nor a BIT column (the string
  // is its bytes), nor a TIME column when it is a duration that time cannot
  // hold, nor '' into a number (MySQL stored 0).
  static bool quoted_value_is_plain(const column_plan& target, const char* p, const char* end);
  // Counts a zero date for the column and returns what is written for it
  // (NULL, or -infinity if NOT NULL).
  std::string_view zero_date(const column_plan& target, std::uint64_t offset);
  void write_value(std::size_t column, row_state& row);
  // `value`, an expression of a row (NOW(), SHA1('x')), with MySQL's
  // functions rewritten as in the application's queries. The rows of a
  // script repeat the same few expressions: their rewrites are kept.
  // What the rewrites leave of MySQL's is a finding at `offset`.
  const std::string& value_with_rewrites(const std::string& value, std::uint64_t offset);
  // Writes the row, whose converted text is `text`.
  void finish_row(std::uint64_t row_begin, row_state& row, std::string_view text);
  // The same for the plain row at the end of plain_: a row that follows
  // another waits there, so that the rows of a dump reach the output a few
  // kilobytes at a time rather than one by one. Inline, as it runs for
  // nearly every row; the rest is finish_leading_plain_row.
  void finish_plain_row(std::uint64_t row_begin, row_state& row) {
    if (!finish_following_row(row)) finish_leading_plain_row(row_begin, row);
  }
  // The common case: the row follows the one before it in an open
  // statement (which has its table's facts), and waits with its
  // separator. False, having done nothing, for any other row.
  bool finish_following_row(const row_state& row) {
    if (!open_ || (row.default_identity && facts_->ids_written)) return false;
    if (row.explicit_identity) facts_->ids_written = true;
    ++rows_;
    if (plain_.size() >= waiting_rows_size) write_waiting_rows();
    return true;
  }
  // The first row of the statement, or one that the sequence must be set
  // for first: written the general way, after the rows waiting.
  void finish_leading_plain_row(std::uint64_t row_begin, row_state& row);
  // Writes the rows waiting in plain_; before anything else is written.
  void write_waiting_rows();
  void open();
  void close();
  // The key a row's conflict is looked for on: the primary key, or else
  // the first unique key, whose columns the rows all give values for. A
  // key they leave out takes a default or a new identity value, which
  // finds no old row. Empty when there is none. Where the rows give more
  // than one, a finding at `offset`.
  std::vector<std::string> conflict_key(std::uint64_t offset);
  std::string replace_clause(std::uint64_t offset);
  // ON DUPLICATE KEY UPDATE ..., from its first word to the statement's end.
  void read_duplicate_update(const token& on);
  void skip_to_statement_end(token t);
  // Makes the TIME columns of `row` that hold a duration interval before
  // the row is written.
  void widen_times(const row_state& row);

  conversion_context& cx_;
  mysql_lexer& lexer_;
  schema_state& schema_;
  sql_output& out_;

  insert_head head_;
  bool no_auto_value_on_zero_ = false;
  std::vector<column_plan> plan_;         // a column's each, then one for any past them
  std::vector<std::string> all_columns_;  // the head's, or the table's
  static constexpr std::size_t max_rewritten_values = 1024;
  std::unordered_map<std::string, std::string> rewritten_values_;
  table_facts* facts_ = nullptr;  // the table's, once a row is written
  std::string head_text_;
  std::string conflict_;
  std::string row_;            // a row of the general path
  row_buffer plain_;           // the plain rows waiting, and the one being read
  std::size_t row_start_ = 0;  // where that one starts in plain_ (at its ",\n")
  std::string scratch_;        // a value of a plain row written the general way
  std::vector<token> value_;
  std::string bytes_;  // a decoded binary string
  bool identity_omitted_ = false;
  bool plain_rows_ = true;     // rows may take the plain-row path
  bool copy_strings_ = false;  // strings may go to copy_utf8_literal
  bool open_ = false;
  bool split_ = false;
  std::uint64_t rows_ = 0;
  std::uint64_t zero_dates_ = 0;
  std::uint64_t first_zero_date_ = 0;
  std::uint64_t empty_numbers_ = 0;  // '' in a numeric column
  std::uint64_t first_empty_number_ = 0;
};

}  // namespace corvexa::schema
