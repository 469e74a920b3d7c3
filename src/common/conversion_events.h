// What a conversion tells besides its output: structured events, each tied
// to the call it concerns by byte offsets. The conversion only reports them;
// each program renders them its own way (corvexa as console lines, the tree
// converter as located findings), so no message text stands here. The kinds
// are those of any table of calls; what a particular table has to say
// beyond them is its advice, numbered in its own list.
//
// Offsets count bytes from the start of the input or of the output. Turning
// them into lines and columns is left to whoever needs it, so the scanner
// never counts lines.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <span>
#include <string_view>

namespace corvexa {

enum class event_kind : std::uint8_t {
  // A call without a counterpart became a warning comment; `detail` says
  // what to write instead.
  unsupported_call,
  // A call name was not followed by "("; `text` is the token read instead.
  parse_error,
  // A comma inside nested parentheses started a new argument of the call.
  split_argument,
  // A place of the replacement that needs a value got an empty argument;
  // `text` names the argument ("first", "second", "third").
  missing_argument,
  // The default link was taken from the remembered variable, which no
  // remembering call had set: the replacement has an empty link.
  no_link,
  // The default link was taken from the remembered variable; `text` is it.
  guessed_link,
  // The PostgreSQL call behaves differently; `text` says how.
  review,
  // No counterpart exists, and a value stands in for the call; `text` says
  // which and what to write instead.
  no_equivalent,
  // The replacement runs but gives something else than the call did;
  // `text` says what and what to do.
  behaves_differently,
  // The call's argument list could not be read as PHP reads it (it is not
  // closed in its PHP block, or lies too deep in other calls): the call is
  // left as it was.
  unreadable_call,
  // What the table has to say of the call beyond the kinds above:
  // `advice` says which, from the table's own list (translate/advice.h).
  advice,
};

struct conversion_event {
  event_kind kind;
  // For kind advice: which, in the table's own numbering.
  std::uint8_t advice = 0;
  // The call's usual name, as messages give it (also when the source used
  // another name of the same row).
  std::string_view call;
  // What the kind says it is; empty otherwise.
  std::string_view text;
  // More of it, where the kind or the advice says so: for an unsupported
  // call, what to write instead.
  std::string_view detail = {};
  // Where the call name begins in the input.
  std::uint64_t source_offset = 0;
};

// Bytes of a call's arguments that the replacement wrote, unchanged,
// elsewhere: a word (the seed's rules follow the words of the MySQL
// extension into their replacement) or a whole argument.
struct moved_word {
  std::uint64_t source_offset = 0;
  std::uint64_t output_offset = 0;
  std::uint64_t length = 1;
};

// One call that a rule replaced, from its name to its closing parenthesis.
struct replaced_call {
  std::string_view name;  // the row's usual name
  // Replaced by a PostgreSQL call rather than by a warning comment.
  bool translated = false;
  std::uint64_t source_begin = 0;  // the call name in the input
  std::uint64_t source_end = 0;    // just past what the call consumed
  // Everything written for the call: whitespace echoed while its argument
  // list was read, then the replacement itself.
  std::uint64_t output_begin = 0;
  std::uint64_t replacement_begin = 0;  // the PostgreSQL call or the comment
  std::uint64_t output_end = 0;
  // Where the replacement put words or arguments it kept unchanged, in
  // output order; valid during call_replaced only.
  std::span<const moved_word> moved_words;
};

// Whether a sink reads the replaced calls: a conversion describes each call
// it replaced only to a sink that does, as most sinks (the console's, for
// one) read the events alone, and a file dense with calls would otherwise
// pay for a description of each that nobody reads.
enum class replacements : std::uint8_t { ignored, read };

// A set of event kinds, one bit each.
class event_kinds {
 public:
  constexpr event_kinds() = default;
  constexpr event_kinds(std::initializer_list<event_kind> kinds) {
    for (event_kind kind : kinds) bits_ |= bit(kind);
  }
  static constexpr event_kinds all() {
    event_kinds every;
    every.bits_ = ~std::uint32_t{0};
    return every;
  }
  constexpr bool has(event_kind kind) const { return (bits_ & bit(kind)) != 0; }
  constexpr bool has_any(event_kinds others) const { return (bits_ & others.bits_) != 0; }

 private:
  static constexpr std::uint32_t bit(event_kind kind) {
    return std::uint32_t{1} << static_cast<unsigned>(kind);
  }
  std::uint32_t bits_ = 0;
};

class event_sink {
 public:
  // A sink made with the kinds it `reads` is never handed an event of
  // another kind: the console shows a few kinds only, and a file dense
  // with calls would otherwise pay for an event per call that it drops.
  explicit event_sink(replacements wanted = replacements::ignored,
                      event_kinds reads = event_kinds::all())
      : reads_replaced_calls_(wanted == replacements::read), reads_(reads) {}
  virtual ~event_sink() = default;
  // Called as events happen, in order. Events of a call come while it is
  // being converted, some before its replacement is written.
  virtual void report(const conversion_event& event) = 0;
  // Called once a call's replacement has been written, for a sink made
  // with replacements::read.
  virtual void call_replaced(const replaced_call& call) { (void)call; }
  bool reads_replaced_calls() const { return reads_replaced_calls_; }
  // True if the sink reads events of `kind` (or of any of `kinds`).
  bool reads(event_kind kind) const { return reads_.has(kind); }
  bool reads_any(event_kinds kinds) const { return reads_.has_any(kinds); }
  event_kinds kinds_read() const { return reads_; }

 private:
  const bool reads_replaced_calls_;
  const event_kinds reads_;
};

// Drops every event: a plain conversion that nobody reads reports on.
class ignored_events final : public event_sink {
 public:
  void report(const conversion_event&) override {}
};

}  // namespace corvexa
