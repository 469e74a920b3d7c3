// The table of call names the block loop hands to rules. Each entry holds a
// call name, whether the call `remembers` (stores the block's last variable
// for later calls to use as a default link) and the rule that reads the
// rest of the call and writes its replacement. A token matches an entry when
// it equals the name as a whole, without regard to ASCII letter case; names
// are words (an ASCII letter, then bytes that continue a name), so only a
// word token can match, and the scanner need only look at words. The
// scanner only knows this form; the rows come from whoever builds the table,
// so an empty table turns a conversion into a plain copy.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "common/ascii.h"
#include "common/conversion_state.h"
#include "scan/byte_search.h"

namespace corvexa {

// Called right after the call name was read (and not written); reads the
// rest of the call and writes what replaces it.
using call_rule = std::function<void(conversion_state&)>;

// How PHP must use a name for its rule to apply, where the file is read
// as PHP reads it (see php_code.h): called, or read as a constant.
enum class call_form { function, constant };

struct call_entry {
  std::string name;  // stored in lower case
  bool remembers = false;
  call_rule rule;
  call_form form = call_form::function;
};

class call_table {
 public:
  // Adds an entry. A name already in the table is replaced. Throws
  // std::invalid_argument if `name` is not a word.
  void add(std::string_view name, bool remembers, call_rule rule,
           call_form form = call_form::function);
  // The entry whose name equals `token` regardless of ASCII case, or null.
  // Most tokens are ruled out by their length or first byte before any
  // lookup, inline, since the block loop asks about every word.
  const call_entry* find(std::string_view token) const {
    if (token.size() < shortest_name_ || token.size() > longest_name_ ||
        !may_start_name_[static_cast<unsigned char>(token[0])]) {
      return nullptr;
    }
    return look_up(token);
  }
  std::size_t size() const { return entries_.size(); }

  // True if a name of the table begins with `c` (in either letter case):
  // only a word that begins with such a byte may name a call.
  bool may_start_name(char c) const { return may_start_name_[static_cast<unsigned char>(c)]; }
  // Those bytes, in the form the block loop's pre-scan takes them.
  const name_start_set& name_starts() const { return name_starts_; }

  // True if `text` may hold a name of the table: it holds, in any letter
  // case, the bytes that every name begins with. A text without them needs
  // no conversion.
  bool may_name_a_call_in(std::string_view text) const;

  // Words that begin with `prefix` (ASCII case ignored) are watched inside
  // argument lists, so that where each lands in a replacement is known.
  void watch_prefix(std::string_view prefix);
  // Most words are ruled out by their length or first byte, inline: the
  // argument reader asks about every token.
  bool is_watched(std::string_view word) const {
    return !watched_prefix_.empty() && word.size() >= watched_prefix_.size() &&
           ascii_lower(word[0]) == watched_prefix_[0] && has_watched_prefix(word);
  }

 private:
  static constexpr std::int32_t no_entry = -1;

  const call_entry* look_up(std::string_view token) const;
  // The rest of is_watched, for a word that begins as the prefix does.
  bool has_watched_prefix(std::string_view word) const;
  void rebuild_slots();

  std::vector<call_entry> entries_;
  // For each entry, 0x20 where its name has a letter and 0 elsewhere: what
  // a token is compared with the name through (see call_table.cc).
  std::vector<std::string> name_letters_;
  // Open addressing by the hash of the lower-case name: each slot holds an
  // index into entries_, or no_entry.
  std::vector<std::int32_t> slots_;
  // Cheap rejection of the many tokens that cannot be a name: their length
  // or their first byte (in either case) is that of no entry.
  std::size_t shortest_name_ = SIZE_MAX;
  std::size_t longest_name_ = 0;
  std::array<bool, 256> may_start_name_{};
  std::string name_start_bytes_;  // each once, both cases included
  name_start_set name_starts_ = make_name_start_set("");
  std::string watched_prefix_;  // lower case
  std::string common_prefix_;   // of every name, lower case
  std::string watched_prefix_letters_;
};

}  // namespace corvexa
