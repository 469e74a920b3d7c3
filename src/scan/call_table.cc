// Case-insensitive lookup of call names: the names are stored in lower case
// in a small open-addressing hash table. The hash takes a name's length and
// three of its bytes, so that a token is hashed without a pass over it; the
// names that share a slot are told apart by comparing the whole token.
#include "scan/call_table.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <stdexcept>

#include "common/ascii.h"
#include "scan/char_classes.h"

namespace corvexa {
namespace {

// The hash of a non-empty name: its length and its middle and last two
// bytes, where the names of a table of calls mostly differ. Each byte is
// taken with bit 0x20 set, which a capital letter and its small letter
// share: cheaper than lowering it, and as good for a hash.
std::uint32_t hash_of(std::string_view name) {
  std::size_t size = name.size();
  auto byte = [&name](std::size_t at) {
    return static_cast<std::uint32_t>(static_cast<unsigned char>(name[at]) | 0x20);
  };
  std::uint32_t bytes = byte(size - 1) | byte(size / 2) << 8 | byte(size < 2 ? 0 : size - 2) << 16;
  std::uint32_t hash = (static_cast<std::uint32_t>(size) ^ bytes) * 0x9E3779B1u;
  return hash ^ (hash >> 15);
}

// 0x20 for each small letter of `lower_name`, 0 for its other bytes.
std::string letters_of(std::string_view lower_name) {
  std::string letters;
  for (char c : lower_name) letters.push_back(c >= 'a' && c <= 'z' ? 0x20 : 0);
  return letters;
}

// True if the `width` bytes (4 or 8) at `at` of the token differ from the
// name's once the token's capital letters are lowered. Setting bit 0x20
// makes a byte a given small letter only if it is that letter or its
// capital, so one OR and one compare take a whole word.
template <typename Word>
bool word_differs(const char* token, const char* lower_name, const char* letters) {
  Word t, n, l;
  std::memcpy(&t, token, sizeof t);
  std::memcpy(&n, lower_name, sizeof n);
  std::memcpy(&l, letters, sizeof l);
  return (t | l) != n;
}

// True if `token` equals `lower_name` when its capital letters are lowered;
// `letters` is letters_of(lower_name). Compares a word at a time, the last
// word overlapping the one before it.
bool equals_ignoring_case(std::string_view token, std::string_view lower_name,
                          std::string_view letters) {
  std::size_t size = token.size();
  if (size != lower_name.size()) return false;
  const char* t = token.data();
  const char* n = lower_name.data();
  const char* l = letters.data();
  if (size >= 8) {
    for (std::size_t at = 0; at + 8 < size; at += 8) {
      if (word_differs<std::uint64_t>(t + at, n + at, l + at)) return false;
    }
    return !word_differs<std::uint64_t>(t + size - 8, n + size - 8, l + size - 8);
  }
  if (size >= 4) {
    return !word_differs<std::uint32_t>(t, n, l) &&
           !word_differs<std::uint32_t>(t + size - 4, n + size - 4, l + size - 4);
  }
  for (std::size_t i = 0; i < size; ++i) {
    if (ascii_lower(t[i]) != n[i]) return false;
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
  watched_prefix_letters_ = letters_of(watched_prefix_);
}

bool call_table::may_name_a_call_in(std::string_view text) const {
  if (entries_.empty()) return false;
  // The prefix is in lower case, as every name of the table.
  return contains_ignoring_ascii_case(text, common_prefix_);
}

bool call_table::has_watched_prefix(std::string_view word) const {
  return equals_ignoring_case(word.substr(0, watched_prefix_.size()), watched_prefix_,
                              watched_prefix_letters_);
}

void call_table::add(std::string_view name, bool remembers, call_rule rule, call_form form) {
  if (!is_word(name)) throw std::invalid_argument("a call name must be a word");
  std::string lower(name);
  std::transform(lower.begin(), lower.end(), lower.begin(), ascii_lower);
  if (const call_entry* existing = look_up(lower)) {
    entries_[static_cast<std::size_t>(existing - entries_.data())] =
        call_entry{std::move(lower), remembers, std::move(rule), form};
    return;
  }
  if (entries_.empty()) {
    common_prefix_ = lower;
  } else {
    std::size_t same = 0;
    while (same < common_prefix_.size() && same < lower.size() &&
           common_prefix_[same] == lower[same]) {
      ++same;
    }
    common_prefix_.resize(same);
  }
  shortest_name_ = std::min(shortest_name_, lower.size());
  longest_name_ = std::max(longest_name_, lower.size());
  for (char first : {lower[0], ascii_upper(lower[0])}) {
    if (!may_start_name(first)) name_start_bytes_.push_back(first);
    may_start_name_[static_cast<unsigned char>(first)] = true;
  }
  name_starts_ = make_name_start_set(name_start_bytes_);
  name_letters_.push_back(letters_of(lower));
  entries_.push_back(call_entry{std::move(lower), remembers, std::move(rule), form});
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
    auto index = static_cast<std::size_t>(slots_[slot]);
    if (equals_ignoring_case(token, entries_[index].name, name_letters_[index])) {
      return &entries_[index];
    }
  }
  return nullptr;
}

}  // namespace corvexa
