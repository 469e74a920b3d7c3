// Both sides' bytes, normalized, meet in one queue.
#include "schema/text_match.h"

namespace corvexa::schema {

void text_match::reset() {
  from_input_.in_quote = from_output_.in_quote = false;
  pending_.clear();
  ahead_ = 0;
  differs_ = false;
}

void text_match::add(std::string_view bytes, side& from) {
  for (char c : bytes) {
    if (differs_) return;
    if (c == '\'') from.in_quote = !from.in_quote;
    bool space = c == ' ' || c == '\n' || c == '\t' || c == '\r' || c == '\f' || c == '\v';
    if (!from.in_quote && (space || c == ';')) continue;
    take(c, from.is_input);
  }
}

void text_match::take(char c, bool is_input) {
  if (ahead_ == pending_.size() || pending_is_input_ == is_input) {
    if (ahead_ == pending_.size()) {
      pending_.clear();
      ahead_ = 0;
      pending_is_input_ = is_input;
    }
    pending_ += c;
    return;
  }
  if (pending_[ahead_] != c) {
    differs_ = true;
    return;
  }
  ++ahead_;
  if (ahead_ > 4096 && ahead_ * 2 > pending_.size()) {
    pending_.erase(0, ahead_);
    ahead_ = 0;
  }
}

}  // namespace corvexa::schema
