// The quoted value is recognised on the filled text, where a placeholder
// inside quotes has the stand-in "x": the constant must be exactly
// quote, stand-in, quote. The PHP edit depends on how the value was put
// in: interpolated values leave the double-quoted literal for a
// concatenation, concatenated values and sprintf arguments are wrapped.
#include "sql/value_coercion.h"

#include <algorithm>

#include "sql/php_bytes.h"

namespace corvexa::sql {
namespace {

struct type_conversion {
  std::string_view type;  // the type's first word
  std::string_view conversion;
};

constexpr type_conversion type_conversions[] = {
    {"smallint", "intval"}, {"integer", "intval"},   {"bigint", "intval"},
    {"int", "intval"},      {"int2", "intval"},      {"int4", "intval"},
    {"int8", "intval"},     {"numeric", "floatval"}, {"decimal", "floatval"},
    {"real", "floatval"},   {"double", "floatval"},  {"float", "floatval"},
    {"float4", "floatval"}, {"float8", "floatval"},
};

// The PHP code of an interpolation, as it would be written outside the
// literal: "{$a['k']}" is $a['k'], "$a[k]" is $a['k']; empty when it
// cannot be told for certain.
std::string interpolated_code(std::string_view span) {
  if (span.size() > 3 && span.substr(0, 2) == "{$" && span.back() == '}')
    return std::string(span.substr(1, span.size() - 2));
  if (span.size() < 2 || span[0] != '$' || !starts_php_name(span[1])) return {};
  std::size_t open = span.find('[');
  if (open == std::string_view::npos) return std::string(span);  // $x, $o->p
  if (span.back() != ']' || open + 2 > span.size()) return {};
  std::string_view key = span.substr(open + 1, span.size() - open - 2);
  std::string_view digits = !key.empty() && key[0] == '-' ? key.substr(1) : key;
  bool number = !digits.empty() && std::all_of(digits.begin(), digits.end(),
                                               [](char c) { return c >= '0' && c <= '9'; });
  // In a string "$a[01]", "$a[-0]" and a number past PHP_INT_MAX are
  // string keys; outside it they would be numbers (01 is octal 1).
  bool canonical = number && (key == "0" || (digits[0] != '0' && digits.size() < 19));
  bool variable = key.size() > 1 && key[0] == '$' &&
                  std::all_of(key.begin() + 1, key.end(), continues_php_name);
  if (canonical || variable) return std::string(span);
  if (!number && (key.empty() || !starts_php_name(key[0]) ||
                  !std::all_of(key.begin(), key.end(), continues_php_name)))
    return {};
  return std::string(span.substr(0, open)) + "['" + std::string(key) + "']";
}

// A placeholder that stands for a whole sprintf call (its arguments were
// spread): the value is not one expression of its own.
bool is_format_call(std::string_view span) {
  if (!span.empty() && span[0] == '\\') span.remove_prefix(1);
  for (std::string_view name : {"sprintf", "vsprintf"}) {
    if (span.size() <= name.size()) continue;
    bool same = std::equal(name.begin(), name.end(), span.begin(), [](char a, char b) {
      return a == (b >= 'A' && b <= 'Z' ? static_cast<char>(b - 'A' + 'a') : b);
    });
    if (same && !continues_php_name(span[name.size()])) return true;
  }
  return false;
}

// "...$a" and "name: $a" are no value of their own that intval() could take.
bool is_spread_or_named(std::string_view span) {
  if (span.starts_with("...")) return true;
  std::size_t end = 0;
  while (end < span.size() && continues_php_name(span[end])) ++end;
  while (end < span.size() && is_php_space(span[end])) ++end;
  return end > 0 && starts_php_name(span[0]) && end < span.size() && span[end] == ':' &&
         (end + 1 == span.size() || span[end + 1] != ':');
}

// The concatenation operand or call argument [begin, end) of `php`: after
// "." or ",", before ".", "," or ")".
bool is_operand(std::string_view php, std::uint64_t begin, std::uint64_t end) {
  std::uint64_t before = begin;
  while (before > 0 && is_php_space(php[before - 1])) --before;
  std::uint64_t after = end;
  while (after < php.size() && is_php_space(php[after])) ++after;
  return before > 0 && (php[before - 1] == '.' || php[before - 1] == ',') && after < php.size() &&
         (php[after] == '.' || php[after] == ',' || php[after] == ')');
}

std::string value_message(const column_value& value, std::string_view conversion) {
  return "a PHP value quoted for the " + value.column->type + " column \"" + value.column->name +
         "\" of table \"" + value.table->name +
         "\": PostgreSQL refuses '' or a non-number where MySQL stored 0 (or the number the "
         "text starts with): convert the value with " +
         std::string(conversion) + "()";
}

std::string identity_message(const column_value& value) {
  return "a PHP value quoted for the AUTO_INCREMENT column \"" + value.column->name +
         "\" of table \"" + value.table->name +
         "\": MySQL made a new id for '' or 0, PostgreSQL refuses '' and stores 0: write DEFAULT "
         "(or leave the column out) where the value is empty";
}

bool starts_with_word(std::string_view s, std::string_view lower_word) {
  if (s.size() < lower_word.size()) return false;
  for (std::size_t i = 0; i < lower_word.size(); ++i) {
    char c = s[i] >= 'A' && s[i] <= 'Z' ? static_cast<char>(s[i] - 'A' + 'a') : s[i];
    if (c != lower_word[i]) return false;
  }
  return true;
}

// The letter of the sprintf conversion that starts at `at`, or 0.
char conversion_letter(std::string_view php, std::uint64_t at) {
  if (at >= php.size() || php[at] != '%') return 0;
  for (std::uint64_t i = at + 1; i < php.size() && i < at + 32; ++i) {
    char c = php[i];
    if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z')) return c;
  }
  return 0;
}

}  // namespace

bool converted_already(std::string_view php, const query_text& text, const text_placeholder& p) {
  if (p.expression_end > php.size() || p.expression_begin >= p.expression_end) return false;
  std::string_view span = php.substr(p.expression_begin, p.expression_end - p.expression_begin);
  for (std::string_view start :
       {"intval(", "floatval(", "(int)", "(integer)", "(float)", "(double)"}) {
    if (starts_with_word(span, start)) return true;
  }
  if (p.interpolated) return false;
  auto run = std::find_if(text.runs.begin(), text.runs.end(),
                          [&](const literal_run& r) { return r.text_end == p.text_offset; });
  if (run == text.runs.end() || !run->style.format) return false;
  char letter = conversion_letter(php, run->file_end);
  return letter != 0 && std::string_view("dufeEgGxXobc").find(letter) != std::string_view::npos;
}

std::string_view numeric_conversion(std::string_view type) {
  if (type.find('[') != std::string_view::npos) return {};
  std::size_t end = 0;
  while (end < type.size() && continues_php_name(type[end])) ++end;
  std::string_view word = type.substr(0, end);
  for (const type_conversion& row : type_conversions) {
    if (row.type == word) return row.conversion;
  }
  return {};
}

std::vector<numeric_value> quoted_numeric_values(const substituted_sql& original,
                                                 const edited_sql& current,
                                                 const std::vector<column_value>& values) {
  std::vector<numeric_value> found;
  const std::string& sql = original.sql;
  for (const column_value& value : values) {
    std::string_view conversion = numeric_conversion(value.column->type);
    if (conversion.empty()) continue;
    auto range = current.original_range(value.location, value.location + 3);
    if (!range || range->second != range->first + 3) continue;
    std::uint64_t at = range->first;
    const substitution_slot* slot = original.slot_spanning(at + 1, at + 2);
    if (slot == nullptr || sql[at] != '\'' || sql[at + 2] != '\'') continue;
    if (value.inserted && value.column->auto_increment) {
      // MySQL made a new id for '' and 0 there; PostgreSQL would store 0.
      found.push_back(numeric_value{slot->placeholder, conversion, identity_message(value), false});
      continue;
    }
    found.push_back(numeric_value{slot->placeholder, conversion, value_message(value, conversion)});
  }
  return found;
}

std::optional<std::vector<text_edit>> conversion_edits(std::string_view php, const query_text& text,
                                                       const text_placeholder& p,
                                                       std::string_view conversion) {
  std::uint64_t begin = p.expression_begin, end = p.expression_end;
  if (begin >= end || end > php.size()) return std::nullopt;
  std::string_view span = php.substr(begin, end - begin);
  std::string call(conversion);
  if (p.interpolated) {
    if (p.style.kind != literal_kind::double_quoted) return std::nullopt;
    std::string code = interpolated_code(span);
    if (code.empty()) return std::nullopt;
    return std::vector<text_edit>{{begin, end - begin, "\" . " + call + "(" + code + ") . \""}};
  }
  bool shared =
      std::count_if(text.placeholders.begin(), text.placeholders.end(),
                    [&](const text_placeholder& other) {
                      return other.expression_begin == begin && other.expression_end == end;
                    }) > 1;
  bool holds_literal = std::any_of(text.runs.begin(), text.runs.end(), [&](const literal_run& r) {
    return r.file_begin >= begin && r.file_end <= end;
  });
  if (shared || holds_literal || is_format_call(span) || is_spread_or_named(span) ||
      !is_operand(php, begin, end))
    return std::nullopt;
  return std::vector<text_edit>{{begin, 0, call + "("}, {end, 0, ")"}};
}

}  // namespace corvexa::sql
