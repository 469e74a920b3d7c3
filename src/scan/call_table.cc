// Case-insensitive lookup of call names: the names are stored in lower case
// in a small open-addressing hash table. The hash takes a name's length and
// three of its bytes, so that a token is hashed without a pass over it; the
// names that share a slot are told apart by comparing the whole token.
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

// The hash of a non-empty name: its length and its middle and last two
// bytes, in lower case, where the names of a table of calls mostly differ.
std::uint32_t hash_of(std::string_view name) {
  std::size_t size = name.size();
  std::uint32_t bytes = static_cast<unsigned char>(ascii_lower(name[size - 1])) |
                        static_cast<unsigned char>(ascii_lower(name[size / 2])) << 8 |
                        static_cast<unsigned char>(ascii_lower(name[size < 2 ? 0 : size - 2])) << 16;
  std::uint32_t hash = (static_cast<std::uint32_t>(size) ^ bytes) * 0x9E3779B1u;
  return hash ^ (hash >> 15);
}

// True if `token` equals `lower_name` when its capital letters are lowered.
bool equals_ignoring_case(std::string_view token, std::string_view lower_name) {
  if (token.size() != lower_name.size()) return false;
  for (std::size_t i = 0; i < token.size(); ++i) {
    if (ascii_lower(token[i]) != lower_name[i]) return false;
  }
  return true;
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

void call_table::watch_prefix(std::string_view prefix) {
  watched_prefix_.clear();
  for (char c : prefix) watched_prefix_.push_back(ascii_lower(c));
}

bool call_table::is_watched(std::string_view word) const {
  return !watched_prefix_.empty() && word.size() >= watched_prefix_.size() &&
         equals_ignoring_case(word.substr(0, watched_prefix_.size()), watched_prefix_);
}

void call_table::add(std::string_view name, bool remembers, call_rule rule) {
  if (!is_word(name)) throw std::invalid_argument("a call name must be a word");
  std::string lower(name);
  std::transform(lower.begin(), lower.end(), lower.begin(), ascii_lower);
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
  name_starts_ = make_name_start_set(name_start_bytes_);
  entries_.push_back(call_entry{std::move(lower), remembers, std::move(rule)});
  rebuild_slots();
}

void call_table::rebuild_slots() {
  std::size_t size = 16;
  while (size < 4 * entries_.size()) size *= 2;
  slots_.assign(size, no_entry);
  for (std::size_t index = 0; index < entries_.size(); ++index) {
    std::size_t slot = hash_of(entries_[index].name) & (size - 1);
    while (slots_[slot] != no_entry) slot = (slot + 1) & (size - 1);
    slots_[slot] = static_cast<std::int32_t>(index);
  }
}

const call_entry* call_table::look_up(std::string_view token) const {
  if (slots_.empty() || token.empty()) return nullptr;
  std::size_t mask = slots_.size() - 1;
  for (std::size_t slot = hash_of(token) & mask; slots_[slot] != no_entry;
       slot = (slot + 1) & mask) {
    const call_entry& entry = entries_[static_cast<std::size_t>(slots_[slot])];
    if (equals_ignoring_case(token, entry.name)) return &entry;
  }
  return nullptr;
}

}  // namespace corvexa
