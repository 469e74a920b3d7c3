// Runs a whole conversion on input held in memory, the way the tests, the
// fuzzers and the benchmarks all do: the input is read in place or in
// reads of a chosen size, through buffers of a chosen size, and what the
// conversion writes and reports is collected.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/conversion_events.h"
#include "common/input_buffer.h"
#include "common/output_sink.h"
#include "scan/byte_search.h"
#include "scan/call_table.h"
#include "translate/table_settings.h"

namespace corvexa {

struct memory_conversion_options {
  std::string_view database_name = default_database_name;
  // Quoted back by the database advice on the console.
  std::string_view input_path = "in.php";
  std::string_view output_path = "out.php";
  // in_place reads the input as one window; n > 0 reads it in reads of
  // 1, 2, ... n bytes in turn into an input buffer of `input_capacity`
  // (whole_buffer: as much as the buffer takes).
  static constexpr std::size_t in_place = 0;
  static constexpr std::size_t whole_buffer = SIZE_MAX;
  std::size_t largest_read = in_place;
  std::size_t input_capacity = input_buffer::default_capacity;
  std::size_t output_capacity = output_sink::default_capacity;
  // Drops the output, the console text and the events rather than keeping
  // them, so that a benchmark times the conversion and not the growth of
  // strings and vectors.
  bool discard = false;
  // The width of the scanner's byte searches for this conversion; the one
  // in use (the widest, unless set otherwise) when not given.
  std::optional<search_width> width = std::nullopt;
  // False hands the events to the console alone, as corvexa does: none is
  // recorded, and the conversion leaves out what only a recorder reads
  // (events of kinds the console does not show, the replaced calls).
  bool record_events = true;
};

// An event as reported, with its texts copied out of the conversion.
struct recorded_event {
  event_kind kind;
  std::string call;
  std::string text;
  std::uint64_t source_offset;
  std::uint8_t advice = 0;  // for kind advice
};

struct memory_conversion {
  std::string output;
  std::string console;  // corvexa's console text for the events
  std::vector<recorded_event> events;
  std::vector<replaced_call> calls;  // names point into the call table's rows
};

memory_conversion convert_in_memory(std::string_view input, const call_table& calls,
                                    const memory_conversion_options& options = {});

}  // namespace corvexa
