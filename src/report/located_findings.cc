// Line indexes are built only for files that have findings.
#include "report/located_findings.h"

#include <algorithm>

#include "report/code_findings.h"
#include "report/line_index.h"
#include "report/rules.h"

namespace corvexa {
namespace {

// Joins the findings at each source offset (already sorted by it) into
// one: the last of the most severe gives the rule (a call's later findings
// say more of it: the advice after the warning, the broken statement after
// the comment that breaks it), and each distinct message is kept, in order.
std::vector<finding> one_per_place(std::vector<finding> findings) {
  std::vector<finding> joined;
  for (std::size_t first = 0; first < findings.size();) {
    std::size_t end = first + 1;
    while (end < findings.size() && findings[end].source_offset == findings[first].source_offset) {
      ++end;
    }
    std::size_t chosen = first;
    for (std::size_t i = first + 1; i < end; ++i) {
      if (findings[i].level <= findings[chosen].level) chosen = i;
    }
    finding place = findings[chosen];
    place.message.clear();
    for (std::size_t i = first; i < end; ++i) {
      const std::string& message = findings[i].message;
      if (place.message.find(message) != std::string::npos) continue;
      if (!place.message.empty()) place.message += "; ";
      place.message += message;
    }
    joined.push_back(std::move(place));
    first = end;
  }
  return joined;
}

}  // namespace

std::vector<finding> locate_findings(const event_log& log, std::string_view input,
                                     std::string_view output, const finding_context& context,
                                     std::vector<finding> more) {
  std::vector<finding> findings = std::move(more);
  for (const logged_event& event : log.events()) {
    finding f = describe_event(event, context.database_name);
    f.output_offset = event.output_offset;
    findings.push_back(std::move(f));
  }
  for (finding& f : find_leftover_names(output, log, context.extension)) {
    findings.push_back(std::move(f));
  }
  if (context.warning_comments) {
    for (finding& f : find_broken_expressions(input, log)) findings.push_back(std::move(f));
  }
  if (findings.empty()) return findings;
  std::stable_sort(findings.begin(), findings.end(), [](const finding& a, const finding& b) {
    return a.source_offset < b.source_offset;
  });
  findings = one_per_place(std::move(findings));
  line_index input_lines(input);
  line_index output_lines(output);
  line_index::character_columns source_columns(input_lines, input);
  for (finding& f : findings) {
    f.source = input_lines.position(f.source_offset);
    f.source_column_in_characters = source_columns.at(f.source_offset);
    f.output = output_lines.position(f.output_offset);
  }
  return findings;
}

}  // namespace corvexa
