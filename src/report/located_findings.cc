// Line indexes are built only for files that have findings.
#include "report/located_findings.h"

#include <algorithm>

#include "report/line_index.h"
#include "report/rules.h"

namespace corvexa {

std::vector<finding> locate_findings(const event_log& log, std::string_view input,
                                     std::string_view output,
                                     std::string_view database_name) {
  std::vector<finding> findings;
  if (log.events().empty()) return findings;
  line_index input_lines(input);
  line_index output_lines(output);
  for (const logged_event& event : log.events()) {
    finding f = describe_event(event, database_name);
    f.source = input_lines.position(event.source_offset);
    f.output = output_lines.position(event.output_offset);
    findings.push_back(std::move(f));
  }
  std::stable_sort(findings.begin(), findings.end(),
                   [](const finding& a, const finding& b) {
                     return a.source_offset < b.source_offset;
                   });
  return findings;
}

}  // namespace corvexa
