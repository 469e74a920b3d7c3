// Edits of a SQL text by byte range, and the text they give with a map back
// to the original: rewrites are found on the edited text (after an earlier
// stage of rewrites) and must be expressed on the original, whose bytes are
// the ones that stand in the PHP file.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace corvexa::sql {

struct sql_edit {
  std::uint64_t begin = 0, end = 0;  // replaced bytes; begin == end inserts
  std::string replacement;
};

// Edits that do not overlap, kept in order.
class edit_list {
 public:
  // Adds all of `group`, or nothing (false) if one of them overlaps an edit
  // here or in the group, or inserts at the same place as one.
  bool add_group(const std::vector<sql_edit>& group);
  bool empty() const { return edits_.empty(); }
  std::size_t size() const { return edits_.size(); }
  // The edits in text order.
  std::vector<sql_edit> sorted() const;

 private:
  // Ordered by begin; an insertion before a replacement at the same place.
  using key = std::pair<std::uint64_t, bool>;  // begin, replaces bytes
  std::map<key, sql_edit> edits_;
};

class edited_sql {
 public:
  edited_sql(std::string_view original, const std::vector<sql_edit>& edits);

  const std::string& text() const { return text_; }
  // The original range of the edited range [begin, end), when it lies in
  // bytes that no edit changed; an empty range maps where it touches them.
  std::optional<std::pair<std::uint64_t, std::uint64_t>> original_range(std::uint64_t begin,
                                                                        std::uint64_t end) const;
  // The original offset to report edited offset `at` at: its own byte if
  // unchanged, else where the edit that made it begins.
  std::uint64_t report_offset(std::uint64_t at) const;

 private:
  struct kept {  // bytes copied unchanged
    std::uint64_t edited_begin, edited_end, original_begin;
  };
  std::string text_;
  std::vector<kept> kept_;
  std::vector<std::pair<std::uint64_t, std::uint64_t>> replaced_;  // edited begin -> original begin
};

}  // namespace corvexa::sql
