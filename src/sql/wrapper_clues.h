// What one PHP file tells about query wrappers before the other files of
// its tree are known: for each function and method it defines, which
// parameters reach a query call unchanged, and to which other calls they
// are passed unchanged as a whole argument (a call that may be a wrapper,
// or may take the argument by reference and change it). Also every name it
// defines with a body, and every parameter it declares by reference.
// resolve_query_wrappers (query_wrappers.h) turns the merged clues of a
// tree into its wrappers.
#pragma once

#include <compare>
#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace corvexa::sql {

struct php_code;

// A function, or a method of any class (calls do not say which class).
struct callable_name {
  std::string name;  // lower case
  bool method = false;
  friend auto operator<=>(const callable_name&, const callable_name&) = default;
};

// Argument `argument` of calls of `callee`; also a parameter of it.
struct callable_argument {
  callable_name callee;
  std::uint32_t argument = 0;
  friend auto operator<=>(const callable_argument&, const callable_argument&) = default;
};

// One parameter of one definition whose text is used unchanged.
struct parameter_clue {
  callable_argument parameter;            // the function defined and the parameter's index
  bool sent = false;                      // it is the query argument of a query call
  std::vector<callable_argument> passed;  // other calls it is passed to whole; sorted
  friend auto operator<=>(const parameter_clue&, const parameter_clue&) = default;
};

struct wrapper_clues {
  // How many bodies define each name.
  std::map<callable_name, std::uint32_t> definitions;
  // Each clue, with the number of bodies that give it: the files of a tree
  // repeat themselves, and a clue takes its room once.
  std::map<parameter_clue, std::uint32_t> parameters;
  // Parameters declared by reference ("&$x"): passing a text there may
  // change it; for a variadic one ("&...$x"), every argument from there on.
  std::set<callable_argument> by_reference;
  std::set<callable_argument> by_reference_onward;

  void merge(wrapper_clues&& other);
};

// The clues of one PHP file. Never fails: code it cannot read gives none.
wrapper_clues gather_wrapper_clues(std::string_view php);
// The same, of a file already cut into tokens.
wrapper_clues gather_wrapper_clues(const php_code& code);

// True if `php` may define a function: a quick test before lexing it.
bool may_define_functions(std::string_view php);

}  // namespace corvexa::sql
