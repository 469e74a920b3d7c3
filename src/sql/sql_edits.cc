// Stretches of unchanged bytes are kept in order, so a lookup is a binary
// search.
#include "sql/sql_edits.h"

#include <algorithm>

namespace corvexa::sql {
namespace {

bool edits_clash(const sql_edit& a, const sql_edit& b) {
  if (a.begin < b.end && b.begin < a.end) return true;  // overlapping bytes
  bool a_inserts = a.begin == a.end, b_inserts = b.begin == b.end;
  if (a_inserts && b_inserts) return a.begin == b.begin;
  if (a_inserts) return a.begin > b.begin && a.begin < b.end;
  if (b_inserts) return b.begin > a.begin && b.begin < a.end;
  return false;
}

}  // namespace

bool edit_list::add_group(const std::vector<sql_edit>& group) {
  for (std::size_t i = 0; i < group.size(); ++i) {
    const sql_edit& edit = group[i];
    if (edit.end < edit.begin) return false;
    // Only the edit that starts last before `edit` and those that start
    // within it can clash with it.
    auto at = edits_.lower_bound(key{edit.begin, false});
    if (at != edits_.begin()) --at;
    for (; at != edits_.end() && at->second.begin <= edit.end; ++at) {
      if (edits_clash(at->second, edit)) return false;
    }
    for (std::size_t k = 0; k < i; ++k) {
      if (edits_clash(edit, group[k])) return false;
    }
  }
  for (const sql_edit& edit : group) edits_.emplace(key{edit.begin, edit.begin != edit.end}, edit);
  return true;
}

std::vector<sql_edit> edit_list::sorted() const {
  std::vector<sql_edit> out;
  out.reserve(edits_.size());
  for (const auto& [k, edit] : edits_) out.push_back(edit);
  return out;
}

edited_sql::edited_sql(std::string_view original, const std::vector<sql_edit>& edits) {
  text_.reserve(original.size() + 16 * edits.size());
  std::uint64_t copied = 0;
  for (const sql_edit& e : edits) {
    if (e.begin < copied || e.end > original.size()) continue;  // not sorted: left out
    if (e.begin > copied) {
      kept_.push_back(kept{text_.size(), text_.size() + (e.begin - copied), copied});
      text_.append(original, copied, e.begin - copied);
    }
    replaced_.emplace_back(text_.size(), e.begin);
    text_ += e.replacement;
    copied = e.end;
  }
  // An edit that ends the text leaves an empty stretch after it, where an
  // insertion at the end maps.
  kept_.push_back(kept{text_.size(), text_.size() + (original.size() - copied), copied});
  text_.append(original, copied);
}

std::optional<std::pair<std::uint64_t, std::uint64_t>> edited_sql::original_range(
    std::uint64_t begin, std::uint64_t end) const {
  auto after =
      std::upper_bound(kept_.begin(), kept_.end(), begin,
                       [](std::uint64_t at, const kept& k) { return at < k.edited_begin; });
  // An empty range at the end of a stretch maps to that stretch's end.
  for (auto it = after; it != kept_.begin();) {
    const kept& k = *--it;
    bool inside = begin < k.edited_end || (begin == end && begin == k.edited_end);
    if (!inside || end > k.edited_end) break;
    std::uint64_t shift = k.original_begin;
    return std::make_pair(shift + (begin - k.edited_begin), shift + (end - k.edited_begin));
  }
  return std::nullopt;
}

std::uint64_t edited_sql::report_offset(std::uint64_t at) const {
  if (auto range = original_range(at, at)) return range->first;
  auto after = std::upper_bound(replaced_.begin(), replaced_.end(), at,
                                [](std::uint64_t a, const auto& r) { return a < r.first; });
  return after == replaced_.begin() ? 0 : (after - 1)->second;
}

}  // namespace corvexa::sql
