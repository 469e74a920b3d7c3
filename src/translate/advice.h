// What the rows of the call tables say of a call besides the event kinds
// that every table shares (common/conversion_events.h): advice on the MySQL
// calls that their PostgreSQL replacement does not quite stand in for.
// Reported as events of kind `advice`; corvexa prints each as its console
// line, corvexa-tree as a finding.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "common/conversion_state.h"

namespace corvexa {

enum class advice : std::uint8_t {
  // mysql_db_query (or mysql) became pg_query and lost its database.
  db_query,
  // mysql_insert_id became pg_last_oid, which needs tables with OIDs.
  insert_id,
  // mysql_select_db names, in quotes, the database the run connects to;
  // `text` is that name.
  database_matches,
  // mysql_select_db names, in quotes, another database; `text` is its
  // name, `detail` the argument as written.
  database_differs,
  // mysql_select_db gives the database by a variable or an expression.
  database_unknown,
  // mysql_errno() is compared with the MySQL error number `text`, which
  // the converted mysql_errno() never gives; `detail` is the number it
  // gives for the same failure, if there is one.
  errno_compared,
};

// Reports `what` of the call in progress.
inline void report_advice(conversion_state& state, advice what, std::string_view text = {},
                          std::string_view detail = {}) {
  if (!state.events.reads(event_kind::advice)) return;
  state.events.report(conversion_event{.kind = event_kind::advice,
                                       .advice = static_cast<std::uint8_t>(what),
                                       .call = state.current_call.name,
                                       .text = text,
                                       .detail = detail,
                                       .source_offset = state.current_call.source_begin});
}

// The advice an event gives, if it is one.
inline std::optional<advice> advice_of(event_kind kind, std::uint8_t code) {
  if (kind != event_kind::advice) return std::nullopt;
  return static_cast<advice>(code);
}

}  // namespace corvexa
