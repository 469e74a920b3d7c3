// The fixed point is reached with a work list: a parameter clue becomes
// good when it is sent itself or when a call it is passed to becomes a
// wrapper, and a name's parameter becomes a wrapper when all its
// definitions have a good clue there. A definition that passes the text on
// to its own name (a method's override calling parent::query($sql))
// becomes good as soon as another definition of the name is: it sends
// through that one. A text that is only ever passed round in a circle
// proves nothing. Each clue is looked at once per call it is passed to, so
// recursion and long chains cost no more than their size.
#include "sql/query_wrappers.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <set>

#include "common/ascii.h"
#include "sql/php_bytes.h"
#include "sql/wrapper_clues.h"

namespace corvexa::sql {
namespace {

class wrapper_resolution {
 public:
  wrapper_resolution(const wrapper_clues& clues, const std::vector<query_wrapper>& known)
      : clues_(clues) {
    for (const query_wrapper& w : known) {
      callable_argument key{{w.name, w.method}, w.parameter};
      if (wrappers_.insert(key).second) proven_.push_back(key);
    }
  }

  std::vector<query_wrapper> run() {
    std::vector<clue_entry> sent;
    for (const auto& entry : clues_.parameters) {
      const parameter_clue& clue = entry.first;
      if (passed_by_reference(clue)) continue;
      if (clue.sent) sent.push_back(&entry);
      for (const callable_argument& call : clue.passed) {
        waiting_[call].push_back(&entry);
        if (call == clue.parameter) passing_to_own_name_[call].push_back(&entry);
      }
    }
    for (clue_entry c : sent) make_good(c);
    // proven_ grows while it is walked: each wrapper once.
    for (std::size_t next = 0; next < proven_.size(); ++next) {
      auto waiting = waiting_.find(proven_[next]);
      if (waiting == waiting_.end()) continue;
      for (clue_entry c : waiting->second) {
        if (!good_.contains(c)) make_good(c);
      }
    }
    std::vector<query_wrapper> result;
    for (const callable_argument& key : wrappers_) {
      result.push_back(query_wrapper{key.callee.name, key.argument, key.callee.method});
    }
    std::sort(result.begin(), result.end());
    return result;
  }

 private:
  // A clue and the number of bodies that give it.
  using clue_entry = const std::pair<const parameter_clue, std::uint32_t>*;

  bool passed_by_reference(const parameter_clue& clue) const {
    return std::any_of(clue.passed.begin(), clue.passed.end(), [&](const callable_argument& call) {
      if (clues_.by_reference.contains(call)) return true;
      auto onward = clues_.by_reference_onward.lower_bound(callable_argument{call.callee, 0});
      return onward != clues_.by_reference_onward.end() && onward->callee == call.callee &&
             onward->argument <= call.argument;
    });
  }

  void make_good(clue_entry c) {
    good_.insert(c);
    const callable_argument& parameter = c->first.parameter;
    good_definitions_[parameter] += c->second;
    if (sending_.insert(parameter).second) {
      auto passing = passing_to_own_name_.find(parameter);
      if (passing != passing_to_own_name_.end()) {
        for (clue_entry p : passing->second) {
          if (!good_.contains(p)) make_good(p);
        }
      }
    }
    auto defined = clues_.definitions.find(parameter.callee);
    std::uint32_t needed = defined == clues_.definitions.end() ? 1 : defined->second;
    if (good_definitions_[parameter] >= needed && wrappers_.insert(parameter).second) {
      proven_.push_back(parameter);
    }
  }

  const wrapper_clues& clues_;
  std::set<clue_entry> good_;
  std::set<callable_argument> wrappers_;
  std::vector<callable_argument> proven_;                         // in the order they were proven
  std::map<callable_argument, std::vector<clue_entry>> waiting_;  // clues passed to each call
  std::map<callable_argument, std::vector<clue_entry>> passing_to_own_name_;
  std::set<callable_argument> sending_;  // names with a good definition
  std::map<callable_argument, std::uint32_t> good_definitions_;
};

}  // namespace

std::vector<query_wrapper> resolve_query_wrappers(const wrapper_clues& clues,
                                                  const std::vector<query_wrapper>& known) {
  return wrapper_resolution(clues, known).run();
}

std::vector<query_wrapper> find_query_wrappers(std::string_view php,
                                               const std::vector<query_wrapper>& known) {
  return resolve_query_wrappers(gather_wrapper_clues(php), known);
}

wrapper_table::wrapper_table(std::vector<query_wrapper> wrappers) : wrappers_(std::move(wrappers)) {
  std::sort(wrappers_.begin(), wrappers_.end());
  wrappers_.erase(std::unique(wrappers_.begin(), wrappers_.end()), wrappers_.end());
  for (const query_wrapper& w : wrappers_) longest_name_ = std::max(longest_name_, w.name.size());
}

std::span<const query_wrapper> wrapper_table::named(std::string_view lower_name) const {
  auto first =
      std::lower_bound(wrappers_.begin(), wrappers_.end(), lower_name,
                       [](const query_wrapper& w, std::string_view name) { return w.name < name; });
  auto last = first;
  while (last != wrappers_.end() && last->name == lower_name) ++last;
  return {first, last};
}

bool wrapper_table::may_be_called_in(std::string_view php) const {
  if (wrappers_.empty()) return false;
  std::string lower;
  for (std::size_t open = php.find('('); open != std::string_view::npos;
       open = php.find('(', open + 1)) {
    std::size_t end = open;
    while (end > 0 && is_php_space(php[end - 1])) --end;
    std::size_t begin = end;
    while (begin > 0 && end - begin <= longest_name_ && continues_php_name(php[begin - 1])) --begin;
    if (begin == end || end - begin > longest_name_) continue;
    lower.assign(php.substr(begin, end - begin));
    for (char& c : lower) c = ascii_lower(c);
    if (!named(lower).empty()) return true;
  }
  return false;
}

}  // namespace corvexa::sql
