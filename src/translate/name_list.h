// The names of a row of a call table stand in one text, separated by
// spaces, the usual name first.
#pragma once

#include <string_view>

namespace corvexa {

// The usual name of `names`: the first.
constexpr std::string_view usual_name(std::string_view names) {
  return names.substr(0, names.find(' '));
}

// The names of a row with its usual name found when the row is made, which
// for a constant row is at compile time: a rule names its call every time
// it converts one, and searching the names then cost a file dense with
// calls a search of the row's text per call.
class name_list {
 public:
  constexpr name_list(std::string_view names) : names_(names), usual_(usual_name(names)) {}
  constexpr name_list(const char* names) : name_list(std::string_view(names)) {}

  constexpr std::string_view all() const { return names_; }
  constexpr std::string_view usual() const { return usual_; }

 private:
  std::string_view names_;
  std::string_view usual_;
};

// Calls `add` with each space-separated name of `names`.
template <typename Add>
void for_each_name(std::string_view names, Add add) {
  while (!names.empty()) {
    std::size_t space = names.find(' ');
    add(names.substr(0, space));
    names.remove_prefix(space == std::string_view::npos ? names.size() : space + 1);
  }
}

}  // namespace corvexa
