// The names of a row of a call table stand in one text, separated by
// spaces, the usual name first.
#pragma once

#include <string_view>

namespace corvexa {

// The usual name of `names`: the first.
inline std::string_view usual_name(std::string_view names) {
  return names.substr(0, names.find(' '));
}

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
