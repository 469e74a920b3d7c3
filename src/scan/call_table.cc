// Case-insensitive lookup of call names in a sorted table.
#include "scan/call_table.h"

#include <algorithm>

namespace corvexa {
namespace {

char ascii_lower(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

std::string to_ascii_lower(std::string_view text) {
  std::string lower(text);
  std::transform(lower.begin(), lower.end(), lower.begin(), ascii_lower);
  return lower;
}

bool name_before(const call_entry& entry, std::string_view name) {
  return entry.name < name;
}

}  // namespace

void call_table::add(std::string_view name, bool remembers, call_rule rule) {
  std::string lower = to_ascii_lower(name);
  auto place = std::lower_bound(entries_.begin(), entries_.end(),
                                std::string_view(lower), name_before);
  if (place != entries_.end() && place->name == lower) {
    *place = call_entry{std::move(lower), remembers, std::move(rule)};
    return;
  }
  shortest_name_ = std::min(shortest_name_, lower.size());
  longest_name_ = std::max(longest_name_, lower.size());
  if (!lower.empty()) first_bytes_.set(static_cast<unsigned char>(lower[0]));
  entries_.insert(place, call_entry{std::move(lower), remembers, std::move(rule)});
}

const call_entry* call_table::find(std::string_view token) const {
  if (token.size() < shortest_name_ || token.size() > longest_name_ ||
      !first_bytes_.test(static_cast<unsigned char>(ascii_lower(token[0])))) {
    return nullptr;
  }
  // Names are short: lower-case the token on the stack where it fits.
  char stack_copy[32];
  std::string heap_copy;
  char* lowered = stack_copy;
  if (token.size() > sizeof stack_copy) {
    heap_copy.resize(token.size());
    lowered = heap_copy.data();
  }
  std::transform(token.begin(), token.end(), lowered, ascii_lower);
  std::string_view wanted(lowered, token.size());
  auto place = std::lower_bound(entries_.begin(), entries_.end(), wanted,
                                name_before);
  if (place == entries_.end() || place->name != wanted) return nullptr;
  return &*place;
}

}  // namespace corvexa
