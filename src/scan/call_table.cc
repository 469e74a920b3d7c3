// Case-insensitive lookup of call names: the names are stored in lower case
// in a small open-addressing hash table, and a token is lowered and hashed
// in one pass.
#include "scan/call_table.h"

#include <algorithm>
#include <cstdint>
#include <stdexcept>

#include "scan/char_classes.h"

namespace corvexa {
namespace {

char ascii_lower(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

char ascii_upper(char c) {
  return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

// FNV-1a over the lower-case form of `text`, written to `lowered`.
std::uint32_t lower_and_hash(std::string_view text, char* lowered) {
  std::uint32_t hash = 2166136261u;
  for (std::size_t i = 0; i < text.size(); ++i) {
    lowered[i] = ascii_lower(text[i]);
    hash = (hash ^ static_cast<unsigned char>(lowered[i])) * 16777619u;
  }
  return hash;
}

// An ASCII letter followed by bytes that continue a name: the form of a
// word token.
bool is_word(std::string_view name) {
  if (name.empty() || !has_class(name[0], starts_word)) return false;
  for (char c : name) {
    if (!has_class(c, continues_name)) return false;
  }
  return true;
}

}  // namespace

void call_table::add(std::string_view name, bool remembers, call_rule rule) {
  if (!is_word(name)) throw std::invalid_argument("a call name must be a word");
  std::string lower(name.size(), '\0');
  lower_and_hash(name, lower.data());
  if (const call_entry* existing = look_up(lower)) {
    entries_[static_cast<std::size_t>(existing - entries_.data())] =
        call_entry{std::move(lower), remembers, std::move(rule)};
    return;
  }
  shortest_name_ = std::min(shortest_name_, lower.size());
  longest_name_ = std::max(longest_name_, lower.size());
  for (char first : {lower[0], ascii_upper(lower[0])}) {
    if (!may_start_name(first)) name_start_bytes_.push_back(first);
    may_start_name_[static_cast<unsigned char>(first)] = true;
  }
  entries_.push_back(call_entry{std::move(lower), remembers, std::move(rule)});
  rebuild_slots();
}

void call_table::rebuild_slots() {
  std::size_t size = 16;
  while (size < 2 * entries_.size()) size *= 2;
  slots_.assign(size, no_entry);
  std::string scratch;
  for (std::size_t index = 0; index < entries_.size(); ++index) {
    const std::string& name = entries_[index].name;
    scratch.resize(name.size());
    std::size_t slot = lower_and_hash(name, scratch.data()) & (size - 1);
    while (slots_[slot] != no_entry) slot = (slot + 1) & (size - 1);
    slots_[slot] = static_cast<std::int32_t>(index);
  }
}

const call_entry* call_table::look_up(std::string_view token) const {
  if (slots_.empty()) return nullptr;
  // Names are short: lower the token on the stack where it fits.
  char stack_copy[32];
  std::string heap_copy;
  char* lowered = stack_copy;
  if (token.size() > sizeof stack_copy) {
    heap_copy.resize(token.size());
    lowered = heap_copy.data();
  }
  std::size_t mask = slots_.size() - 1;
  std::size_t slot = lower_and_hash(token, lowered) & mask;
  std::string_view wanted(lowered, token.size());
  for (; slots_[slot] != no_entry; slot = (slot + 1) & mask) {
    const call_entry& entry = entries_[static_cast<std::size_t>(slots_[slot])];
    if (entry.name == wanted) return &entry;
  }
  return nullptr;
}

}  // namespace corvexa
