// Collects the events of one conversion so that they can be located once it
// is done: each event gets the output offset of the replacement of its
// call, which is only known when the call has been replaced.
#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <vector>

#include "common/conversion_events.h"

namespace corvexa {

struct logged_event {
  event_kind kind;
  std::uint8_t advice = 0;  // for kind advice: which (translate/advice.h)
  std::string call;
  std::string text;
  std::string detail;
  std::uint64_t source_offset = 0;
  // Where the replacement of the event's call begins in the output.
  std::uint64_t output_offset = 0;
};

class event_log final : public event_sink {
 public:
  event_log() : event_sink(replacements::read) {}
  void report(const conversion_event& event) override;
  void call_replaced(const replaced_call& call) override;

  const std::vector<logged_event>& events() const { return events_; }
  // Every replaced call, in input order. The names point into the rows of
  // the call table, which outlive any conversion.
  const std::vector<replaced_call>& calls() const { return calls_; }
  // Where the watched words inside the replacement of calls()[index] came
  // from, in output order.
  std::span<const moved_word> moved_words(std::size_t index) const;

  // Where the output byte at `offset` came from in the input: text between
  // calls is copied unchanged; inside a replacement, the bytes a rule moved
  // there came from the call's argument list, and the rest stands for the
  // call's name.
  std::uint64_t source_offset_of(std::uint64_t offset) const;

  // Moves every output offset the log holds through `remap`, once the
  // output has been edited after the conversion.
  void remap_output(const std::function<std::uint64_t(std::uint64_t)>& remap);

 private:
  std::vector<logged_event> events_;
  std::size_t first_unplaced_ = 0;  // events before it have an output offset
  std::vector<replaced_call> calls_;
  std::vector<moved_word> moved_;
  std::vector<std::size_t> moved_begin_;  // calls_[i]'s words start at moved_[moved_begin_[i]]
};

}  // namespace corvexa
