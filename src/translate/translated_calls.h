// The MySQL calls that have a PostgreSQL counterpart. Each row says which
// replacement call is written in place of the MySQL call and where each of
// its values comes from: an argument, the run's database name, or the
// remembered variable as a default link.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

#include "common/conversion_state.h"
#include "common/format_text.h"
#include "translate/advice.h"
#include "translate/call_args.h"
#include "translate/name_list.h"
#include "translate/table_settings.h"

namespace corvexa {

// Where one value of a replacement comes from.
enum class value_source : std::uint8_t {
  none,  // no value: the place list ends here
  first,
  second,
  third,
  // The argument, or the remembered variable as the default link when the
  // argument is empty.
  first_or_link,
  second_or_link,
  third_or_link,
  database,    // the run's database name
  fetch_mode,  // the PostgreSQL fetch mode named by the second argument
};

// A format text and the values for its "%s" places, in order; unused
// places at the end are none. Four is the most any row needs (the connect
// calls), and a row with more would not compile.
struct replacement {
  static constexpr std::size_t max_values = 4;
  format_text format;
  std::array<value_source, max_values> values = {};
};

struct translated_call {
  // The call names, separated by spaces; the first is the usual one.
  name_list names;
  bool remembers = false;
  replacement usual;
  // When this value is empty, `short_form` is written instead of `usual`.
  value_source if_empty = value_source::none;
  replacement short_form = {};
  // Advice reported after the arguments are read and before the
  // replacement is written, and after it is written.
  std::optional<advice> advised_before = std::nullopt;
  std::optional<advice> advised_after = std::nullopt;
  // Why the PostgreSQL call behaves differently and needs a look; empty
  // when it does what the MySQL call did.
  std::string_view review = {};
};

std::span<const translated_call> translated_calls();

// Reads the call's arguments and writes its replacement.
void translate_call(conversion_state& state, const translated_call& call,
                    const table_settings& settings);

}  // namespace corvexa
