// Every event belongs to the call in progress, whose replacement is placed
// when call_replaced arrives: the events since the previous call get it.
#include "report/event_log.h"

namespace corvexa {

void event_log::report(const conversion_event& event) {
  events_.push_back({event.kind, std::string(event.call),
                     std::string(event.text), event.source_offset, 0});
}

void event_log::call_replaced(const replaced_call& call) {
  for (; first_unplaced_ < events_.size(); ++first_unplaced_) {
    events_[first_unplaced_].output_offset = call.replacement_begin;
  }
  calls_.push_back(call);
}

}  // namespace corvexa
