// Changes are widened to whole lines, merged where they touch, and
// grouped into hunks where fewer than seven unchanged lines lie between.
#include "report/unified_diff.h"

#include <algorithm>
#include <cstdint>
#include <vector>

#include "report/line_index.h"

namespace corvexa {
namespace {

constexpr std::uint64_t context_lines = 3;

struct byte_span {
  std::uint64_t begin = 0;
  std::uint64_t end = 0;
};

// A change between whole lines: `before` in the input becomes `after` in
// the output; both begin at a line start and end at a line start or at the
// end of their text.
struct line_change {
  byte_span before;
  byte_span after;
};

std::uint64_t line_start_of(const line_index& lines, std::uint64_t offset) {
  return lines.line_start(lines.line_of(offset));
}

// The next line start at or after `offset`, or the end of the text.
std::uint64_t next_line_start(const line_index& lines, std::string_view text,
                              std::uint64_t offset) {
  std::uint64_t start = line_start_of(lines, offset);
  if (start == offset) return offset;
  std::uint64_t line = lines.line_of(offset);
  return line < lines.line_count() ? lines.line_start(line + 1) : text.size();
}

// The replaced calls widened to whole lines and merged where they touch.
// Empty if the bytes between the calls differ.
std::vector<line_change> changes_of(std::string_view input, const line_index& input_lines,
                                    std::string_view output, std::span<const replaced_call> calls) {
  std::vector<line_change> changes;
  std::uint64_t input_done = 0, output_done = 0;  // ends of the last call
  for (const replaced_call& call : calls) {
    std::uint64_t gap = call.source_begin - input_done;
    if (call.source_begin < input_done || call.output_begin < output_done ||
        call.output_begin - output_done != gap ||
        input.substr(input_done, gap) != output.substr(output_done, gap)) {
      return {};
    }
    std::uint64_t prefix = call.source_begin - line_start_of(input_lines, call.source_begin);
    std::uint64_t suffix = next_line_start(input_lines, input, call.source_end) - call.source_end;
    line_change change{{call.source_begin - prefix, call.source_end + suffix},
                       {call.output_begin - prefix, call.output_end + suffix}};
    // Changes on the same or on adjacent lines are shown as one block.
    if (!changes.empty() && change.before.begin <= changes.back().before.end) {
      changes.back().before.end = change.before.end;
      changes.back().after.end = change.after.end;
    } else {
      changes.push_back(change);
    }
    input_done = call.source_end;
    output_done = call.output_end;
  }
  std::uint64_t rest = input.size() - input_done;
  if (output.size() - output_done != rest ||
      input.substr(input_done) != output.substr(output_done)) {
    return {};
  }
  return changes;
}

// Lines [first, end) of a text, 0-based.
struct line_range {
  std::uint64_t first = 0;
  std::uint64_t end = 0;
};

line_range lines_of(const line_index& lines, std::string_view text, byte_span span) {
  auto line_at = [&](std::uint64_t offset) {
    return offset >= text.size() ? lines.line_count() : lines.line_of(offset) - 1;
  };
  return {line_at(span.begin), line_at(span.end)};
}

// One side of a diff: its text and line index.
struct diff_side {
  std::string_view text;
  line_index lines;

  std::string_view line(std::uint64_t index) const {
    std::uint64_t begin = lines.line_start(index + 1);
    std::uint64_t end = index + 1 < lines.line_count() ? lines.line_start(index + 2) : text.size();
    return text.substr(begin, end - begin);
  }
  // Appends lines [first, end) each after `mark`.
  void add_lines(std::string& diff, char mark, line_range range) const {
    for (std::uint64_t index = range.first; index < range.end; ++index) {
      std::string_view shown = line(index);
      diff.push_back(mark);
      diff.append(shown);
      if (shown.empty() || shown.back() != '\n') {
        diff += "\n\\ No newline at end of file\n";
      }
    }
  }
};

// "start,count" as a hunk header gives them: 1-based, the count left out
// when it is 1, and the line before an empty range as its start.
std::string header_range(line_range range) {
  std::uint64_t count = range.end - range.first;
  std::string text = std::to_string(count == 0 ? range.first : range.first + 1);
  if (count != 1) {
    text += ',';
    text += std::to_string(count);
  }
  return text;
}

struct line_pair {
  line_range before;
  line_range after;
};

void add_hunk(std::string& diff, const diff_side& old_side, const diff_side& new_side,
              std::span<const line_pair> group) {
  std::uint64_t lead = std::min(context_lines, group.front().before.first);
  std::uint64_t trail =
      std::min(context_lines, old_side.lines.line_count() - group.back().before.end);
  line_range before{group.front().before.first - lead, group.back().before.end + trail};
  line_range after{group.front().after.first - lead, group.back().after.end + trail};
  diff += "@@ -" + header_range(before) + " +" + header_range(after) + " @@\n";
  std::uint64_t cursor = before.first;
  for (const line_pair& pair : group) {
    old_side.add_lines(diff, ' ', {cursor, pair.before.first});
    old_side.add_lines(diff, '-', pair.before);
    new_side.add_lines(diff, '+', pair.after);
    cursor = pair.before.end;
  }
  old_side.add_lines(diff, ' ', {cursor, before.end});
}

// Quotes a path for a diff header the way patch reads it back: in double
// quotes with C escapes when it holds a space (patch would end the name
// there), a control byte, a quote or a backslash; as it is otherwise.
std::string header_path(std::string_view prefix, std::string_view path) {
  std::string name = std::string(prefix) + std::string(path);
  bool plain = std::none_of(name.begin(), name.end(), [](char c) {
    auto byte = static_cast<unsigned char>(c);
    return byte <= 32 || byte == 127 || c == '"' || c == '\\';
  });
  if (plain) return name;
  std::string quoted = "\"";
  for (char c : name) {
    auto byte = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\') {
      quoted += '\\';
      quoted += c;
    } else if (byte < 32 || byte == 127) {
      static constexpr char octal[] = "01234567";
      quoted += '\\';
      quoted += octal[byte >> 6];
      quoted += octal[(byte >> 3) & 7];
      quoted += octal[byte & 7];
    } else {
      quoted += c;
    }
  }
  return quoted + "\"";
}

}  // namespace

std::string unified_diff(std::string_view path, std::string_view input, std::string_view output,
                         std::span<const replaced_call> calls) {
  if (input == output) return {};
  diff_side old_side{input, line_index(input)};
  diff_side new_side{output, line_index(output)};
  std::vector<line_change> changes = changes_of(input, old_side.lines, output, calls);
  if (changes.empty()) changes = {{{0, input.size()}, {0, output.size()}}};

  std::vector<line_pair> pairs;
  pairs.reserve(changes.size());
  for (const line_change& change : changes) {
    pairs.push_back({lines_of(old_side.lines, input, change.before),
                     lines_of(new_side.lines, output, change.after)});
  }

  std::string diff = "--- " + header_path("a/", path) + "\n+++ " + header_path("b/", path) + "\n";
  std::size_t first = 0;
  for (std::size_t next = 1; next <= pairs.size(); ++next) {
    bool ends_group = next == pairs.size() ||
                      pairs[next].before.first - pairs[next - 1].before.end > 2 * context_lines;
    if (!ends_group) continue;
    add_hunk(diff, old_side, new_side,
             std::span<const line_pair>(pairs.data() + first, next - first));
    first = next;
  }
  return diff;
}

}  // namespace corvexa
