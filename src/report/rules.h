// The rules a finding can come from: each has an id, a default severity and
// a one-line description, which the reports list; and every event of a
// conversion is described here as a finding with its message.
#pragma once

#include <span>
#include <string_view>

#include "report/event_log.h"
#include "report/finding.h"

namespace corvexa {

struct rule {
  std::string_view id;
  severity level;
  std::string_view description;
};

// Every rule, in the order the reports list them.
std::span<const rule> all_rules();

// The finding that `event` stands for, without its positions. The
// `database_name` of the run is quoted by the advice on mysql_select_db.
finding describe_event(const logged_event& event, std::string_view database_name);

}  // namespace corvexa
