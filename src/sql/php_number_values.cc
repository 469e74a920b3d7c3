// Read by its bytes, skipping PHP strings: parentheses that enclose the
// whole expression, then the forms one by one.
#include "sql/php_number_values.h"

#include <cstddef>

#include "common/ascii.h"
#include "sql/php_bytes.h"

namespace corvexa::sql {
namespace {

constexpr int max_depth = 16;
constexpr std::size_t none = std::string_view::npos;

std::string_view trimmed(std::string_view s) {
  while (!s.empty() && is_php_space(s.front())) s.remove_prefix(1);
  while (!s.empty() && is_php_space(s.back())) s.remove_suffix(1);
  return s;
}

// The offset of the ")" that closes the "(" at `open`, or none.
std::size_t closing(std::string_view s, std::size_t open) {
  int depth = 0;
  for (std::size_t i = open; i < s.size(); ++i) {
    char c = s[i];
    if (c == '\'' || c == '"') {
      for (++i; i < s.size() && s[i] != c; ++i) {
        if (s[i] == '\\') ++i;
      }
      if (i >= s.size()) return none;
      continue;
    }
    if (c == '(') ++depth;
    if (c == ')' && --depth == 0) return i;
  }
  return none;
}

// The offset of the first `symbol` outside parentheses and strings, or none.
std::size_t top_level(std::string_view s, char symbol) {
  for (std::size_t i = 0; i < s.size(); ++i) {
    char c = s[i];
    if (c == '(') {
      i = closing(s, i);
      if (i == none) return none;
    } else if (c == '\'' || c == '"') {
      for (++i; i < s.size() && s[i] != c; ++i) {
        if (s[i] == '\\') ++i;
      }
    } else if (c == symbol) {
      return i;
    }
  }
  return none;
}

bool is_integer_literal(std::string_view s) {
  if (!s.empty() && s.front() == '-') s = trimmed(s.substr(1));
  if (s.empty()) return false;
  for (char c : s) {
    if (c < '0' || c > '9') return false;
  }
  return true;
}

// name(...) as the whole expression, for one of `names`.
bool is_call_of(std::string_view s, std::initializer_list<std::string_view> names) {
  std::size_t open = s.find('(');
  if (open == none || s.back() != ')' || closing(s, open) != s.size() - 1) return false;
  std::string name = ascii_lowered(trimmed(s.substr(0, open)));
  for (std::string_view n : names) {
    if (name == n) return true;
  }
  return false;
}

bool number(std::string_view s, int depth) {
  s = trimmed(s);
  if (s.empty() || depth > max_depth) return false;
  if (s.front() == '(' && closing(s, 0) == s.size() - 1) {
    return number(s.substr(1, s.size() - 2), depth + 1);
  }
  if (s.front() == '(') {  // a cast: (int) $x
    std::size_t close = closing(s, 0);
    std::string type = close == none ? "" : ascii_lowered(trimmed(s.substr(1, close - 1)));
    if (type == "int" || type == "integer") return true;
  }
  if (is_integer_literal(s)) return true;
  if (is_call_of(s, {"intval", "count", "sizeof", "\\intval", "\\count"})) return true;
  std::size_t question = top_level(s, '?');
  if (question == none || question + 1 >= s.size() || s[question + 1] == '?' ||
      s[question + 1] == ':')
    return false;
  std::string_view branches = s.substr(question + 1);
  std::size_t colon = top_level(branches, ':');
  if (colon == none) return false;
  return number(branches.substr(0, colon), depth + 1) &&
         number(branches.substr(colon + 1), depth + 1);
}

}  // namespace

bool is_number_expression(std::string_view expression) { return number(expression, 0); }

}  // namespace corvexa::sql
