// A code that has no row (or an empty pattern) has no exact to_char form:
// the format is then left as it is and reported.
#include "sql/date_format.h"

namespace corvexa::sql {
namespace {

struct date_code {
  char code;                 // follows '%'
  std::string_view pattern;  // to_char's; empty: none exact
  std::string_view prints;   // what MySQL prints, for the reason
};

// FM applies to the one pattern it stands before.
constexpr date_code date_codes[] = {
    {'Y', "YYYY", ""},
    {'y', "YY", ""},
    {'m', "MM", ""},
    {'c', "FMMM", ""},
    {'d', "DD", ""},
    {'e', "FMDD", ""},
    {'H', "HH24", ""},
    {'k', "FMHH24", ""},
    {'h', "HH12", ""},
    {'I', "HH12", ""},
    {'l', "FMHH12", ""},
    {'i', "MI", ""},
    {'s', "SS", ""},
    {'S', "SS", ""},
    {'p', "AM", ""},
    {'M', "FMMonth", ""},
    {'b', "Mon", ""},
    {'W', "FMDay", ""},
    {'a', "Dy", ""},
    {'j', "DDD", ""},
    {'T', "HH24:MI:SS", ""},
    {'r', "HH12:MI:SS AM", ""},
    {'v', "IW", ""},      // MySQL's week mode 3 is ISO 8601's week
    {'x', "IYYY", ""},    // and the year it belongs to
    {'f', "US", ""},      // microseconds, six digits
    {'D', "FMDDth", ""},  // 1st, 2nd, 3rd, 4th, 11th, 21st
    {'U', "", "the week, 00 to 53, Sunday first"},
    {'u', "", "the week, 00 to 53, Monday first"},
    {'V', "", "the week, 01 to 53, Sunday first"},
    {'X', "", "the year of the week of %V"},
    {'w', "", "the day of the week from 0 for Sunday"},
};

const date_code* find_code(char code) {
  for (const date_code& c : date_codes) {
    if (c.code == code) return &c;
  }
  return nullptr;
}

// Bytes that to_char copies as they are outside double quotes.
bool plain_byte(char c) {
  return c == ' ' || c == '-' || c == ':' || c == '/' || c == '.' || c == ',';
}

class format_builder {
 public:
  void add_pattern(std::string_view pattern) {
    close_quote();
    // YY then YY reads as YYYY, DD then DDD as DDDD, SS then SS as SSSS:
    // an empty quoted text keeps them apart.
    if (last_was_pattern_ && !out_.empty() && out_.back() == pattern_start(pattern)) out_ += "\"\"";
    out_ += pattern;
    last_was_pattern_ = true;
  }

  void add_text(char c) {
    last_was_pattern_ = false;
    if (plain_byte(c) && !quoted_) {
      out_ += c;
      return;
    }
    if (!quoted_) out_ += '"';
    quoted_ = true;
    if (c == '"' || c == '\\') out_ += '\\';
    out_ += c;
  }

  std::string finish() {
    close_quote();
    return std::move(out_);
  }

 private:
  static char pattern_start(std::string_view pattern) {
    if (pattern.substr(0, 2) == "FM") pattern.remove_prefix(2);
    return pattern.empty() ? '\0' : pattern.front();
  }

  void close_quote() {
    if (quoted_) out_ += '"';
    quoted_ = false;
  }

  std::string out_;
  bool quoted_ = false;
  bool last_was_pattern_ = false;
};

}  // namespace

to_char_format to_char_of_date_format(std::string_view mysql_format) {
  format_builder out;
  for (std::size_t i = 0; i < mysql_format.size(); ++i) {
    char c = mysql_format[i];
    if (c != '%') {
      out.add_text(c);
      continue;
    }
    if (i + 1 == mysql_format.size()) return {false, {}, "the format ends in a lone %"};
    char code = mysql_format[++i];
    if (code == '%') {
      out.add_text('%');
      continue;
    }
    const date_code* row = find_code(code);
    if (row == nullptr) return {false, {}, std::string("%") + code + " is no format code"};
    if (row->pattern.empty()) {
      return {false,
              {},
              std::string("%") + code + " (" + std::string(row->prints) +
                  ") has no exact to_char pattern"};
    }
    out.add_pattern(row->pattern);
  }
  return {true, out.finish(), {}};
}

}  // namespace corvexa::sql
