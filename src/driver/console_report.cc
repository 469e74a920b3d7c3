// The console text of every event kind.
#include "driver/console_report.h"

#include "common/format_text.h"
#include "translate/advice.h"

namespace corvexa {
namespace {

constexpr format_text unsupported_warning = "Warning: %s() not supported.\n";
constexpr format_text missing_parenthesis = "Parse Error: Expected '(' and got '%s'.\n";
constexpr std::string_view db_query_warning =
    "Warning: mysql_db_query() doesn't have an equivlant postgres function. "
    "Could create problems.\n";
constexpr std::string_view insert_id_notes =
    "mysql_insert_id: pg_last_oid\n"
    "mysql_insert_id: For tables without OID use pg_result_status\n";
constexpr format_text same_database = "%s == %s ..  This is a good thing.\n\n";
constexpr format_text database_suggestion = "Suggestion: corvexa -d %s %s %s\n\n";
constexpr std::string_view edit_by_hand =
    "You will most likely have to edit this PHP code by hand to make it work.\n";

}  // namespace

void console_report::report(const conversion_event& event) {
  switch (event.kind) {
    case event_kind::unsupported_call:
      write_format(console_, unsupported_warning, {event.call});
      break;
    case event_kind::parse_error: write_format(console_, missing_parenthesis, {event.text}); break;
    case event_kind::advice: report_advice(event); break;
    // Found for the tree report; corvexa's console never showed them.
    case event_kind::split_argument:
    case event_kind::missing_argument:
    case event_kind::no_link:
    case event_kind::guessed_link:
    case event_kind::review:
    // Only the complete rules report these, and corvexa has the seed's.
    case event_kind::no_equivalent:
    case event_kind::behaves_differently:
    case event_kind::unreadable_call: break;
  }
}

void console_report::report_advice(const conversion_event& event) {
  switch (static_cast<advice>(event.advice)) {
    case advice::db_query: console_.write(db_query_warning); break;
    case advice::insert_id: console_.write(insert_id_notes); break;
    case advice::database_matches:
      write_format(console_, same_database, {event.text, context_.database_name});
      break;
    case advice::database_differs:
      write_format(console_, database_suggestion,
                   {event.text, context_.input_path, context_.output_path});
      break;
    case advice::database_unknown: console_.write(edit_by_hand); break;
    case advice::errno_compared:  // the complete rules' only
      break;
  }
}

}  // namespace corvexa
