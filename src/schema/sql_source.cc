// Loading, sliding and growing the window.
#include "schema/sql_source.h"

#include <algorithm>
#include <cstring>

namespace corvexa::schema {
namespace {

constexpr std::size_t read_size = std::size_t{64} * 1024;

}  // namespace

sql_source::sql_source(byte_reader& reader, std::size_t capacity)
    : reader_(&reader), lender_(reader.lender()) {
  // A lender's buffers are the window; storage is made only for a span
  // too long to keep in the room before one.
  if (lender_ != nullptr) return;
  capacity_ = std::max<std::size_t>(capacity, 16);
  storage_.reset(new char[capacity_]);
  data_ = storage_.get();
}

sql_source::sql_source(std::string_view whole)
    : data_(whole.data()), end_(whole.size()), ended_(true) {}

std::string_view sql_source::kept() const {
  std::uint64_t from = std::max(std::min(keep_, end_), base_);
  return std::string_view(data_ + (from - base_), static_cast<std::size_t>(end_ - from));
}

void sql_source::keep_in_storage(std::string_view kept, std::size_t needed) {
  if (needed > capacity_) {
    // Doubling, so that a long statement costs amortised linear copying.
    std::size_t grown = std::max(needed, capacity_ * 2);
    std::unique_ptr<char[]> larger(new char[grown]);
    if (!kept.empty()) std::memcpy(larger.get(), kept.data(), kept.size());
    storage_ = std::move(larger);
    capacity_ = grown;
  } else if (!kept.empty() && kept.data() != storage_.get()) {
    // A statement that goes on in storage stays where it is; only the
    // bytes before it are dropped, or the window moves in from a buffer.
    std::memmove(storage_.get(), kept.data(), kept.size());
  }
  data_ = storage_.get();
  base_ = end_ - kept.size();
}

void sql_source::make_room() {
  // Grown while the kept bytes fill half the buffer, which leaves room to
  // read into.
  std::string_view bytes = kept();
  keep_in_storage(bytes, 2 * bytes.size());
}

bool sql_source::load_lent() {
  lent_bytes next;
  if (!lender_->lend(next)) {
    ended_ = true;
    read_failed_ = lender_->failed();
    return false;
  }
  std::string_view bytes = kept();
  bool held_before = holds_lent_;
  holds_lent_ = bytes.size() <= next.room;
  if (holds_lent_) {
    if (!bytes.empty()) std::memcpy(next.bytes - bytes.size(), bytes.data(), bytes.size());
    data_ = next.bytes - bytes.size();
    base_ = end_ - bytes.size();
    largest_lent_ = std::max(largest_lent_, bytes.size() + next.size);
  } else {
    keep_in_storage(bytes, bytes.size() + next.size);
    std::memcpy(storage_.get() + bytes.size(), next.bytes, next.size);
  }
  // The buffer the window was in, and the new one unless it is the window.
  if (held_before) lender_->give_back();
  if (!holds_lent_) lender_->give_back();
  end_ += next.size;
  return true;
}

bool sql_source::load_past(std::uint64_t offset) {
  while (offset >= end_) {
    if (ended_) return false;
    if (lender_ != nullptr) {
      if (!load_lent()) return false;
      continue;
    }
    if (end_ - base_ == capacity_ || keep_ > base_) make_room();
    std::size_t used = static_cast<std::size_t>(end_ - base_);
    // A read fills at most 64 KiB, however large the window: the bytes are
    // then parsed while the processor's cache still holds them.
    std::size_t wanted = std::min(capacity_ - used, read_size);
    long count = reader_->read_some(storage_.get() + used, wanted);
    if (count <= 0) {
      ended_ = true;
      read_failed_ = count < 0;
      return false;
    }
    end_ += static_cast<std::uint64_t>(count);
  }
  return true;
}

}  // namespace corvexa::schema
