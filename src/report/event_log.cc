// Every event belongs to the call in progress, whose replacement is placed
// when call_replaced arrives: the events since the previous call get it.
#include "report/event_log.h"

namespace corvexa {

void event_log::report(const conversion_event& event) {
  events_.push_back({event.kind, std::string(event.call), std::string(event.text),
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
  return std::span<const moved_word>(moved_.data() + moved_begin_[index], end - moved_begin_[index]);
}

}  // namespace corvexa
