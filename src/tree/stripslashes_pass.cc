// Scopes are function bodies (the braces after `function`'s parameter
// list) and the file outside them; an arrow function's body is its
// enclosing scope, which sees the same variables.
#include "tree/stripslashes_pass.h"

#include <algorithm>
#include <set>
#include <string>
#include <utility>

#include "common/ascii.h"
#include "sql/php_code.h"

namespace corvexa {
namespace {

using sql::php_code;

constexpr std::string_view fetch_prefixes[] = {"pg_fetch_", "mysql_fetch_"};

bool starts_with_lower(std::string_view word, std::string_view lower_prefix) {
  if (word.size() < lower_prefix.size()) return false;
  for (std::size_t i = 0; i < lower_prefix.size(); ++i) {
    char c = word[i];
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    if (c != lower_prefix[i]) return false;
  }
  return true;
}

class fetched_value_search {
 public:
  explicit fetched_value_search(std::string_view php) : code_(php) { find_function_bodies(); }

  std::vector<std::uint64_t> run() {
    std::set<std::pair<std::size_t, std::string_view>> fetched;  // scope, variable
    for (std::size_t i = 0; i < code_.tokens.size(); ++i) {
      if (assigned_a_fetch(i)) fetched.emplace(scope_of(i), code_.token_text(i));
    }
    std::vector<std::uint64_t> found;
    for (std::size_t i = 0; i < code_.tokens.size(); ++i) {
      if (!code_.is_word(i, "stripslashes") || !code_.is_symbol(i + 1, '(')) continue;
      if (i > 0 && (code_.ends_member_arrow(i - 1) || code_.token_text(i - 1) == "::")) continue;
      std::size_t variable = fetched_element_argument(i + 1);
      if (variable != none && fetched.count({scope_of(i), code_.token_text(variable)}) > 0)
        found.push_back(code_.tokens[i].offset);
    }
    return found;
  }

 private:
  static constexpr std::size_t none = static_cast<std::size_t>(-1);

  // Every `function name(...) {` and `function (...) use (...) {`: the
  // token range of its body.
  void find_function_bodies() {
    for (std::size_t i = 0; i < code_.tokens.size(); ++i) {
      if (!code_.is_word(i, "function")) continue;
      std::size_t at = i + 1;
      while (at < code_.tokens.size() && !code_.is_symbol(at, '(') && !code_.is_symbol(at, ';'))
        ++at;
      while (at < code_.tokens.size() && code_.is_symbol(at, '(') &&
             code_.partner[at] != php_code::no_partner) {
        at = code_.partner[at] + 1;
        if (code_.is_word(at, "use")) ++at;
      }
      while (at < code_.tokens.size() && !code_.is_symbol(at, '{') && !code_.is_symbol(at, ';'))
        ++at;  // a return type
      if (code_.is_symbol(at, '{') && code_.partner[at] != php_code::no_partner)
        bodies_.emplace_back(at, code_.partner[at]);
    }
  }

  // The innermost function body holding token i (its "{"), or none.
  std::size_t scope_of(std::size_t i) const {
    std::size_t scope = none, open = 0;
    for (const auto& [begin, end] : bodies_) {
      if (begin < i && i < end && (scope == none || begin > open)) {
        scope = begin;
        open = begin;
      }
    }
    return scope;
  }

  // `$v = pg_fetch_...(` or `$v = @mysql_fetch_...(`, `$v` at token i.
  bool assigned_a_fetch(std::size_t i) const {
    if (code_.tokens[i].kind != php_token_kind::variable || !code_.is_symbol(i + 1, '=') ||
        code_.is_symbol(i + 2, '=') || (i > 0 && code_.ends_member_arrow(i - 1)))
      return false;
    std::size_t call = code_.is_symbol(i + 2, '@') ? i + 3 : i + 2;
    if (call >= code_.tokens.size() || code_.tokens[call].kind != php_token_kind::word ||
        !code_.is_symbol(call + 1, '('))
      return false;
    std::string_view name = code_.token_text(call);
    return std::any_of(std::begin(fetch_prefixes), std::end(fetch_prefixes),
                       [&](std::string_view p) { return starts_with_lower(name, p); });
  }

  // The variable of the one argument `$v[...]` or `$v->name` of the call
  // whose "(" is `open`, or none.
  std::size_t fetched_element_argument(std::size_t open) const {
    auto arguments = sql::split_arguments(code_, open);
    if (arguments.size() != 1) return none;
    auto [first, last] = arguments[0];
    if (code_.tokens[first].kind != php_token_kind::variable) return none;
    std::size_t next = first + 1;
    if (code_.is_symbol(next, '[') && code_.partner[next] != php_code::no_partner &&
        code_.partner[next] + 1 == last && next + 1 < code_.partner[next])
      return first;
    if (next + 3 == last && code_.ends_member_arrow(next + 1) &&
        code_.tokens[next + 2].kind == php_token_kind::word)
      return first;
    return none;
  }

  php_code code_;
  std::vector<std::pair<std::size_t, std::size_t>> bodies_;  // "{" and "}" of each
};

}  // namespace

std::vector<std::uint64_t> stripslashes_of_fetched_values(std::string_view php) {
  // Most files have no call: they are not read token by token again.
  if (!contains_ignoring_ascii_case(php, "stripslashes")) return {};
  return fetched_value_search(php).run();
}

}  // namespace corvexa
