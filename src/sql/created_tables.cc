// The literal's bytes are read as written, escapes and all: the words and
// names looked for hold no byte that PHP's escapes change.
#include "sql/created_tables.h"

#include "common/ascii.h"
#include "sql/php_code.h"
#include "sql/sql_bytes.h"

namespace corvexa::sql {
namespace {

// MySQL's names have at most 64 characters of up to four bytes each.
constexpr std::size_t longest_name_bytes = 64 * 4;

// Reads the words of a CREATE TABLE heading from `at` on.
class heading_reader {
 public:
  heading_reader(std::string_view text, std::size_t at) : text_(text), at_(at) {}

  // Takes `lower_word` (after spaces) when it is the next whole word.
  bool accept(std::string_view lower_word) {
    std::size_t at = after_spaces();
    std::string_view word = text_.substr(at, lower_word.size());
    if (!equal_ignoring_ascii_case(word, lower_word) || ends_inside_a_name(at + word.size()))
      return false;
    at_ = at + word.size();
    return true;
  }

  // The name that follows, plain or in backquotes, the last part of a
  // qualified one; empty when there is none or a PHP value takes part in it.
  std::string name() {
    std::string_view part = name_part(after_spaces());
    while (!part.empty() && at_ < text_.size() && text_[at_] == '.') {
      part = name_part(at_ + 1);
    }
    return ascii_lowered(part);
  }

 private:
  // One part of a name at `at`, and `at_` moved past it.
  std::string_view name_part(std::size_t at) {
    std::size_t begin = at, end = at;
    if (at < text_.size() && text_[at] == '`') {
      begin = at + 1;
      // Looked for no further than a name can reach: a text of many
      // unclosed backquotes is read once, not once for each.
      end = text_.substr(0, begin + longest_name_bytes).find('`', begin);
      if (end == std::string_view::npos) return {};
      at_ = end + 1;
    } else {
      while (end < text_.size() && is_sql_word_byte(text_[end])) ++end;
      at_ = end;
    }
    std::string_view part = text_.substr(begin, end - begin);
    bool php_value = part.find_first_of("${\\") != std::string_view::npos ||
                     (at_ < text_.size() && (text_[at_] == '$' || text_[at_] == '{'));
    return php_value ? std::string_view() : part;
  }
  std::size_t after_spaces() const {
    std::size_t at = at_;
    while (at < text_.size() && is_sql_space(text_[at])) ++at;
    return at;
  }
  bool ends_inside_a_name(std::size_t end) const {
    return end < text_.size() && is_sql_word_byte(text_[end]);
  }

  std::string_view text_;
  std::size_t at_;
};

void tables_of_literal(std::string_view literal, std::set<std::string>& names) {
  for (std::size_t at = 0; at < literal.size(); ++at) {
    if (ascii_lower(literal[at]) != 'c' || (at > 0 && is_sql_word_byte(literal[at - 1]))) continue;
    heading_reader reader(literal, at);
    if (!reader.accept("create")) continue;
    if (!reader.accept("temporary")) reader.accept("temp");
    if (!reader.accept("table")) continue;
    if (reader.accept("if") && !(reader.accept("not") && reader.accept("exists"))) continue;
    if (std::string name = reader.name(); !name.empty()) names.insert(std::move(name));
  }
}

}  // namespace

bool may_create_tables(std::string_view php) { return contains_ignoring_ascii_case(php, "create"); }

void gather_created_tables(std::string_view php, std::set<std::string>& names) {
  if (may_create_tables(php)) gather_created_tables(php_code(php), names);
}

void gather_created_tables(const php_code& code, std::set<std::string>& names) {
  for (const php_token& token : code.tokens) {
    if (token.kind != php_token_kind::string) continue;
    tables_of_literal(code.text.substr(token.offset, token.length), names);
  }
}

}  // namespace corvexa::sql
