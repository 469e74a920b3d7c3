// Runs are found by binary search: a text may hold thousands of them.
#include "sql/query_text.h"

#include <algorithm>

namespace corvexa::sql {

const literal_run* query_text::run_at(std::uint64_t offset) const {
  auto after = std::upper_bound(
      runs.begin(), runs.end(), offset,
      [](std::uint64_t at, const literal_run& run) { return at < run.text_begin; });
  if (after == runs.begin()) return nullptr;
  const literal_run& run = *(after - 1);
  return offset < run.text_end ? &run : nullptr;
}

std::uint64_t query_text::byte_file_end(std::uint64_t offset) const {
  const literal_run* run = run_at(offset);
  if (run == nullptr) return origins[offset] + 1;
  return offset + 1 < run->text_end ? origins[offset + 1] : run->file_end;
}

bool query_text::starts_source_byte(std::uint64_t offset) const {
  if (offset >= text.size()) return true;
  const literal_run* run = run_at(offset);
  return run == nullptr || offset == run->text_begin || origins[offset] != origins[offset - 1];
}

std::vector<std::uint64_t> query_text::placeholder_offsets() const {
  std::vector<std::uint64_t> offsets;
  offsets.reserve(placeholders.size());
  for (const text_placeholder& p : placeholders) offsets.push_back(p.text_offset);
  return offsets;
}

query_text_builder::query_text_builder(query_text& target, std::uint64_t limit)
    : target_(target), limit_(limit) {}

bool query_text_builder::has_room(std::uint64_t bytes) {
  if (overflowed_ || target_.text.size() + target_.placeholders.size() + bytes > limit_) {
    overflowed_ = true;
    return false;
  }
  return true;
}

bool query_text_builder::add_byte(char byte, std::uint64_t file_begin, std::uint64_t file_end,
                                  literal_style style) {
  if (!has_room(1)) return false;
  std::uint64_t at = target_.text.size();
  bool continues = run_open_ && !target_.runs.empty() && target_.runs.back().text_end == at &&
                   target_.runs.back().file_end == file_begin && target_.runs.back().style == style;
  if (continues) {
    target_.runs.back().text_end = at + 1;
    target_.runs.back().file_end = file_end;
  } else {
    target_.runs.push_back(literal_run{at, at + 1, file_begin, file_end, style});
  }
  run_open_ = true;
  target_.text.push_back(byte);
  target_.origins.push_back(file_begin);
  return true;
}

bool query_text_builder::add_span(std::string_view bytes, std::uint64_t file_begin,
                                  literal_style style) {
  if (bytes.empty()) return true;
  if (!has_room(bytes.size())) return false;
  std::uint64_t at = target_.text.size();
  std::uint64_t file_end = file_begin + bytes.size();
  bool continues = run_open_ && !target_.runs.empty() && target_.runs.back().text_end == at &&
                   target_.runs.back().file_end == file_begin && target_.runs.back().style == style;
  if (continues) {
    target_.runs.back().text_end = at + bytes.size();
    target_.runs.back().file_end = file_end;
  } else {
    target_.runs.push_back(literal_run{at, at + bytes.size(), file_begin, file_end, style});
  }
  run_open_ = true;
  target_.text.append(bytes);
  for (std::uint64_t offset = file_begin; offset < file_end; ++offset)
    target_.origins.push_back(offset);
  return true;
}

bool query_text_builder::add_placeholder(const text_placeholder& placeholder) {
  if (!has_room(1)) return false;
  text_placeholder p = placeholder;
  p.text_offset = target_.text.size();
  target_.placeholders.push_back(p);
  run_open_ = false;
  return true;
}

bool query_text_builder::add_text(const query_text& other) {
  if (!has_room(other.text.size() + other.placeholders.size())) return false;
  std::uint64_t shift = target_.text.size();
  target_.text += other.text;
  target_.origins.insert(target_.origins.end(), other.origins.begin(), other.origins.end());
  for (literal_run run : other.runs) {
    run.text_begin += shift;
    run.text_end += shift;
    target_.runs.push_back(run);
  }
  for (text_placeholder p : other.placeholders) {
    p.text_offset += shift;
    target_.placeholders.push_back(p);
  }
  // A byte added next starts a run of its own: it does not continue other's
  // last run in the file unless it happens to, which add_byte checks.
  bool ends_in_placeholder =
      !other.placeholders.empty() && other.placeholders.back().text_offset == other.text.size();
  run_open_ = !ends_in_placeholder && !other.runs.empty() &&
              other.runs.back().text_end + shift == target_.text.size();
  return true;
}

}  // namespace corvexa::sql
