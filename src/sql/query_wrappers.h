// Query wrappers: the functions and methods of an application that send one
// of their parameters, unchanged, as the text of a query call. Legacy code
// rarely calls mysql_query with its SQL; it calls its own run_query($sql)
// or $db->query($sql), and the SQL stands at those calls.
//
//   std::vector<sql::query_wrapper> found = sql::find_query_wrappers(php);
//   sql::wrapper_table table(found);
//   sql::query_options options;  options.wrappers = &table;
//
// A parameter is a query parameter when its text reaches the query
// argument of a query call (pg_query, ..., and mysql_query, ..., of the
// source) or of another wrapper, as the variable itself or a copy made by
// `$copy = $param;`, and nothing may change it on the way: no other
// assignment to it or its copies, no reference to them, no call that takes
// them by reference (a function or method of the tree declared so, or one
// of PHP's), no extract(), include, eval or variable variable in the
// function. A name defined more than once (in several files, or several
// classes for a method) is a wrapper only if every definition with a body
// is one at that parameter: a call cannot tell them apart.
//
// The wrappers of a whole tree come from the clues of each file (see
// wrapper_clues.h), merged, then resolved together, since a wrapper may be
// defined in one file and wrap a wrapper of another.
#pragma once

#include <compare>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace corvexa::sql {

struct query_wrapper {
  std::string name;             // lower case
  std::uint32_t parameter = 0;  // the query text's, counted from 0
  bool method = false;          // defined in a class, trait or enum: ->name(), ::name()
  friend auto operator<=>(const query_wrapper&, const query_wrapper&) = default;
};

struct wrapper_clues;

// The wrappers that `clues` prove, with `known` taken as wrappers already:
// the fixed point, sorted, without duplicates, `known` included.
std::vector<query_wrapper> resolve_query_wrappers(const wrapper_clues& clues,
                                                  const std::vector<query_wrapper>& known = {});

// The wrappers one PHP file (source or converted) defines, given the
// wrappers defined elsewhere.
std::vector<query_wrapper> find_query_wrappers(std::string_view php,
                                               const std::vector<query_wrapper>& known = {});

// Wrappers ready to be looked up by name while a file is walked.
class wrapper_table {
 public:
  wrapper_table() = default;
  explicit wrapper_table(std::vector<query_wrapper> wrappers);

  bool empty() const { return wrappers_.empty(); }
  const std::vector<query_wrapper>& wrappers() const { return wrappers_; }
  // The wrappers called `lower_name`, functions and methods.
  std::span<const query_wrapper> named(std::string_view lower_name) const;
  // True if `php` may call one of them: a name of one, in any letter case,
  // right before a "(" (blanks between allowed). A quick test before lexing.
  bool may_be_called_in(std::string_view php) const;

 private:
  std::vector<query_wrapper> wrappers_;  // sorted
  std::size_t longest_name_ = 0;
};

}  // namespace corvexa::sql
