// The rules a finding can come from, in one table: each row has the rule's
// id, its name as reports show it, its severity and a one-line
// description, which the reports list. Code names a rule by its id; a
// static check keeps the table in the order of the ids, so a lookup is an
// index and no id can miss its row. Every event of a conversion is
// described here as a finding with its message.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "report/event_log.h"
#include "report/finding.h"

namespace corvexa {

struct rule {
  rule_id id;
  std::string_view name;  // as reports show it, such as "unsupported-call"
  severity level;
  std::string_view description;
};

// Every rule, in the order of rule_id, which is the order reports list them.
std::span<const rule> all_rules();

const rule& rule_of(rule_id id);

// A finding of rule `id`, without positions.
finding make_finding(rule_id id, std::string name, std::string message);

// The finding that `event` stands for, without its positions. The
// `database_name` of the run is quoted by the advice on mysql_select_db.
finding describe_event(const logged_event& event, std::string_view database_name);

}  // namespace corvexa
