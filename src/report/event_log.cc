// Every event belongs to the call in progress, whose replacement is placed
// when call_replaced arrives: the events since the previous call get it.
#include "report/event_log.h"

#include <algorithm>

namespace corvexa {

void event_log::report(const conversion_event& event) {
  events_.push_back({event.kind, event.advice, std::string(event.call), std::string(event.text),
                     std::string(event.detail), event.source_offset, 0});
}

void event_log::call_replaced(const replaced_call& call) {
  for (; first_unplaced_ < events_.size(); ++first_unplaced_) {
    events_[first_unplaced_].output_offset = call.replacement_begin;
  }
  moved_begin_.push_back(moved_.size());
  moved_.insert(moved_.end(), call.moved_words.begin(), call.moved_words.end());
  calls_.push_back(call);
  calls_.back().moved_words = {};  // the span dies with the call; moved_ keeps them
}

std::span<const moved_word> event_log::moved_words(std::size_t index) const {
  std::size_t end = index + 1 < moved_begin_.size() ? moved_begin_[index + 1] : moved_.size();
  return std::span<const moved_word>(moved_.data() + moved_begin_[index],
                                     end - moved_begin_[index]);
}

}  // namespace corvexa

namespace corvexa {

std::uint64_t event_log::source_offset_of(std::uint64_t offset) const {
  auto after = std::upper_bound(
      calls_.begin(), calls_.end(), offset,
      [](std::uint64_t at, const replaced_call& call) { return at < call.output_begin; });
  if (after == calls_.begin()) return offset;
  const replaced_call& call = *(after - 1);
  if (offset >= call.output_end) return call.source_end + (offset - call.output_end);
  for (const moved_word& word : moved_words(static_cast<std::size_t>(after - 1 - calls_.begin()))) {
    if (offset >= word.output_offset && offset - word.output_offset < word.length) {
      return word.source_offset + (offset - word.output_offset);
    }
  }
  return call.source_begin;
}

void event_log::remap_output(const std::function<std::uint64_t(std::uint64_t)>& remap) {
  for (logged_event& event : events_) event.output_offset = remap(event.output_offset);
  for (replaced_call& call : calls_) {
    call.output_begin = remap(call.output_begin);
    call.replacement_begin = remap(call.replacement_begin);
    call.output_end = remap(call.output_end);
  }
  for (moved_word& word : moved_) word.output_offset = remap(word.output_offset);
}

}  // namespace corvexa
