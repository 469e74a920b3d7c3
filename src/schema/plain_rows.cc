// The rows of the shape that dumps write, read straight from the input
// window: quoted strings, numbers, NULL and hex numbers, separated by
// commas and single spaces. These are nearly all the bytes of a dump, so
// each value is written into the row as it is found, with no token list.
// Anything else (a row cut by the window's end included) makes the row
// start over on the general path.
#include "schema/insert_rows.h"

#include <algorithm>

#include "schema/byte_runs.h"
#include "schema/mysql_literals.h"
#include "schema/utf8_literal.h"

namespace corvexa::schema {
namespace {

// The TIME literal at `p` (its quote) fits PostgreSQL's time.
bool fits_time_at(const char* p, const char* end) {
  const char* close = std::find(p + 1, end, '\'');
  return close != end &&
         fits_time(std::string_view(p + 1, static_cast<std::size_t>(close - p - 1)));
}

bool is_digit(char c) { return c >= '0' && c <= '9'; }

// The end of the number at `p` (-12, 3.5, 1e-3), or `p` when there is none.
const char* number_end(const char* p, const char* end) {
  const char* q = p;
  if (q < end && (*q == '-' || *q == '+')) ++q;
  const char* digits = q;
  q += digit_run(q, static_cast<std::size_t>(end - q));
  if (q == digits) return p;
  if (q < end && *q == '.') {
    ++q;
    q += digit_run(q, static_cast<std::size_t>(end - q));
  }
  if (q < end && (*q == 'e' || *q == 'E')) {
    const char* e = q + 1;
    if (e < end && (*e == '-' || *e == '+')) ++e;
    if (e < end && is_digit(*e)) q = e + digit_run(e, static_cast<std::size_t>(end - e));
  }
  return q;
}

// The end of the '...' string at `p` (after its closing quote), or null
// when it does not end within [p, end).
const char* string_end(const char* p, const char* end, bool escapes) {
  const char* q = p + 1;
  for (;;) {
    q += find_either(q, static_cast<std::size_t>(end - q), '\'', escapes ? '\\' : '\'');
    if (q >= end) return nullptr;
    if (*q == '\\') {
      q += 2;
      if (q >= end) return nullptr;
      continue;
    }
    if (q + 1 >= end) return nullptr;  // the quote may be doubled past the window
    if (q[1] != '\'') return q + 1;
    q += 2;
  }
}

// The first byte from `p` on that is not a space, or `end`.
const char* after_spaces(const char* p, const char* end) {
  while (p < end && *p == ' ') ++p;
  return p;
}

}  // namespace

bool insert_rows::quoted_value_is_plain(const column_plan& target, const char* p, const char* end) {
  bool number = target.kind == value_kind::integer || target.kind == value_kind::decimal;
  return !target.identity && !target.bits &&
         !(target.kind == value_kind::time && !fits_time_at(p, end)) &&
         !(number && end - p > 1 && p[1] == '\'');
}

bool insert_rows::is_zero_date_value(const column_plan& target, const char* p,
                                     const char* value_end) {
  // Most strings are not in a date column: told from the plan alone.
  if (!target.zero_dates) return false;
  std::string_view body(p + 1, static_cast<std::size_t>(value_end - p - 2));
  return body.size() > 4 && is_digit(body[0]) && body[4] == '-' && is_zero_date(body);
}

const char* insert_rows::write_plain_string(const char* p, const char* end,
                                            const column_plan& target, std::uint64_t offset,
                                            row_problems& problems) {
  std::size_t before = plain_.size();
  if (copy_strings_ && target.kind != value_kind::binary) {
    if (const char* value_end = copy_utf8_literal(plain_, p, end)) {
      if (is_zero_date_value(target, p, value_end)) {
        plain_.truncate(before);
        plain_.append(zero_date(target, offset));
      }
      return value_end;
    }
  }
  const char* value_end = write_general_string(p, end, target, offset, problems.found);
  // Each kind of problem is reported at the first value that has it, as
  // the general path does.
  if (problems.found.invalid_utf8 && problems.invalid_at == 0) problems.invalid_at = offset;
  if (problems.found.zero_byte && problems.zero_at == 0) problems.zero_at = offset;
  return value_end;
}

const char* insert_rows::write_general_string(const char* p, const char* end,
                                              const column_plan& target, std::uint64_t offset,
                                              text_problems& problems) {
  bool date = target.kind == value_kind::date_time || target.kind == value_kind::unknown;
  bool date_like = date && end - p > 6 && is_digit(p[1]) && p[5] == '-';
  // Binary strings and dates are read whole first; other text is
  // converted while its end is looked for.
  scratch_.clear();
  const char* value_end;
  if (target.kind == value_kind::binary || date_like) {
    value_end = string_end(p, end, cx_.modes.backslash_escapes);
    if (value_end == nullptr) return nullptr;
    std::string_view raw(p, static_cast<std::size_t>(value_end - p));
    if (target.kind == value_kind::binary) {
      decode_string(raw, cx_.modes.backslash_escapes, bytes_);
      append_bytea_literal(scratch_, bytes_);
    } else if (is_zero_date(raw.substr(1, raw.size() - 2))) {
      scratch_ = zero_date(target, offset);
    } else {
      append_quoted_string(scratch_, raw, cx_.modes.backslash_escapes, cx_.charset->handling,
                           problems);
    }
  } else {
    std::size_t length =
        append_quoted_string(scratch_, std::string_view(p, static_cast<std::size_t>(end - p)),
                             cx_.modes.backslash_escapes, cx_.charset->handling, problems);
    if (length == 0) return nullptr;
    value_end = p + length;
  }
  plain_.append(scratch_);
  return value_end;
}

bool insert_rows::read_plain_rows(std::uint64_t& row_begin, row_state& row) {
  const std::uint64_t base = row_begin + 1;
  std::string_view window = cx_.source.from(base);
  const char* start = window.data();
  const char* end = start + window.size();
  const char* p = start;
  // The input offset of a byte of the window.
  auto offset = [&](const char* at) { return base + static_cast<std::uint64_t>(at - start); };
  for (;;) {
    const char* row_end = read_plain_row(p, end, offset(p), row);
    if (row_end == nullptr) {
      lexer_.seek(offset(p));
      return false;
    }
    // Dumps put the next row right after a comma: "),(".
    bool joined = end - row_end >= 2 && row_end[0] == ',' && row_end[1] == '(';
    if (!joined || !finish_following_row(row)) {
      lexer_.seek(offset(row_end));
      return true;
    }
    // The next row starts as the statement loop starts each row (only
    // these two of its state does the plain path set).
    row_begin = offset(row_end + 1);
    p = row_end + 2;
    row.default_identity = identity_omitted_;
    row.explicit_identity = false;
  }
}

const char* insert_rows::read_plain_row(const char* p, const char* end, std::uint64_t at,
                                        row_state& row) {
  const char* start = p;
  // After the rows waiting in plain_, with the separator that an open
  // statement puts before it.
  row_start_ = plain_.size();
  plain_.append(",\n(", 3);
  row_problems problems;
  bool default_identity = row.default_identity;
  bool explicit_identity = false;
  std::uint64_t zero_dates_before = zero_dates_;
  std::uint64_t first_zero_before = first_zero_date_;
  auto give_up = [&]() -> const char* {
    plain_.truncate(row_start_);
    zero_dates_ = zero_dates_before;
    first_zero_date_ = first_zero_before;
    return nullptr;
  };
  const column_plan* target = plan_.data();
  const column_plan* last = &plan_.back();  // for the values past the columns
  for (;; target += target != last) {
    // Dumps put no space before a value: the loop over spaces is the
    // exception.
    if (p < end && *p == ' ') p = after_spaces(p, end);
    if (p == end) return give_up();
    const char* value_end;
    // Most values are written into the room at `to`, `written` bytes not
    // yet part of the text, with room for the separator after them: the
    // value and its comma take one look at the buffer's size.
    char* to;
    std::size_t written = 0;
    if (*p == '\'') {
      if (!target->quoted_plain && !quoted_value_is_plain(*target, p, end)) return give_up();
      to = plain_.room(short_literal_room);
      value_end = target->copies_strings ? copy_short_literal(to, p, end) : nullptr;
      if (value_end != nullptr && !is_zero_date_value(*target, p, value_end)) {
        written = static_cast<std::size_t>(value_end - p);
      } else {
        std::uint64_t offset = at + static_cast<std::uint64_t>(p - start);
        value_end = write_plain_string(p, end, *target, offset, problems);
        if (value_end == nullptr) return give_up();
        to = plain_.room(2);
      }
    } else if (*p == '0' && p + 1 < end && p[1] == 'x') {
      value_end = p + 2 + hex_run(p + 2, static_cast<std::size_t>(end - p - 2));
      bool bytes = target->kind == value_kind::binary || target->kind == value_kind::unknown;
      if (value_end == p + 2 || !bytes) return give_up();
      // As append_hex_as_bytea writes it.
      std::size_t digits = static_cast<std::size_t>(value_end - p - 2);
      plain_.append("'\\x", 3);
      if (digits % 2 == 1) plain_.put('0');
      plain_.append(p + 2, digits);
      plain_.put('\'');
      to = plain_.room(2);
    } else {
      std::string_view text;
      if (*p == 'N' && end - p >= 4 && std::string_view(p, 4) == "NULL") {
        value_end = p + 4;
        if (target->identity) default_identity = true;
        text = target->identity ? std::string_view("DEFAULT") : std::string_view("NULL");
      } else {
        value_end = number_end(p, end);
        if (value_end == p) return give_up();
        if (target->kind == value_kind::date_time) return give_up();  // as a date
        text = std::string_view(p, static_cast<std::size_t>(value_end - p));
        if (target->identity && text == "0" && !no_auto_value_on_zero_) {
          default_identity = true;
          text = "DEFAULT";
        } else {
          explicit_identity = explicit_identity || target->identity;
        }
      }
      to = plain_.room(text.size() + 2);
      copy_bytes(to, text.data(), text.size());
      written = text.size();
    }
    // A comma right after the value is the common case. Whatever else
    // follows a value (a word after a number, a quote after NULL) makes
    // the row give up here.
    p = value_end;
    if (p < end && *p == ',') {
      to[written] = ',';
      to[written + 1] = ' ';
      plain_.advance(written + 2);
      ++p;
      continue;
    }
    plain_.advance(written);
    p = after_spaces(p, end);
    if (p == end) return give_up();
    if (*p == ')') break;
    if (*p != ',') return give_up();
    plain_.append(", ", 2);
    ++p;
  }
  plain_.put(')');
  // In the order of the values, as the general path reports them.
  const text_problems& found = problems.found;
  bool zero_first =
      found.zero_byte && (!found.invalid_utf8 || problems.zero_at < problems.invalid_at);
  if (zero_first) cx_.report({false, true}, problems.zero_at);
  if (found.invalid_utf8) cx_.report({true, false}, problems.invalid_at);
  if (found.zero_byte && !zero_first) cx_.report({false, true}, problems.zero_at);
  row.default_identity = default_identity;
  row.explicit_identity = explicit_identity;
  return p + 1;
}

}  // namespace corvexa::schema
