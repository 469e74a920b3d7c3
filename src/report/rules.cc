// The rule table and the message of every event kind.
#include "report/rules.h"

#include <array>
#include <string>

namespace corvexa {
namespace {

constexpr std::array<rule, 12> rules = {{
    {"unsupported-call", severity::warning,
     "A MySQL call without a PostgreSQL counterpart was replaced by a warning "
     "comment; the code around it must be rewritten by hand."},
    {"parse-error", severity::error,
     "A MySQL call name was not followed by '('; the tokens after it were read "
     "as its arguments."},
    {"db-query", severity::warning,
     "mysql_db_query() became pg_query() and lost its database argument."},
    {"insert-id", severity::warning,
     "mysql_insert_id() became pg_last_oid(), which needs a result and a table "
     "with OIDs."},
    {"select-db", severity::warning,
     "mysql_select_db() was removed: PostgreSQL chooses the database when "
     "connecting."},
    {"leftover-name", severity::warning,
     "A name of the MySQL extension is still in the converted code: a call the "
     "converter does not know, a call inside another call's arguments, or a "
     "constant."},
    {"split-argument", severity::warning,
     "A comma inside nested parentheses started a new argument of the call, so "
     "the replacement is built from pieces of an argument."},
    {"missing-argument", severity::warning,
     "A place of the replacement that needs a value got an empty argument."},
    {"no-link", severity::warning,
     "The default link was taken from the remembered variable, but no connect "
     "or fetch call had set it: the replacement has an empty link."},
    {"guessed-link", severity::note,
     "The default link was taken from the variable of the last connect or fetch "
     "call; confirm that it is the connection."},
    {"broken-expression", severity::warning,
     "An unsupported call's warning comment stands where PHP needs a value; "
     "the converted file will not parse there."},
    {"review", severity::note,
     "The PostgreSQL call behaves differently from the MySQL call it replaced."},
}};

const rule& rule_named(std::string_view id) {
  for (const rule& r : rules) {
    if (r.id == id) return r;
  }
  return rules[0];  // every caller names a rule of the table
}

// The event's message for its kind.
std::string message_of(const logged_event& event, std::string_view database_name) {
  std::string call = event.call + "()";
  const std::string& text = event.text;
  switch (event.kind) {
    case event_kind::unsupported_call:
      return call + " not supported";
    case event_kind::parse_error:
      return "expected '(' after " + event.call + " and got '" + text + "'";
    case event_kind::db_query:
      return call + " became pg_query(), which drops its database argument";
    case event_kind::insert_id:
      return call + " became pg_last_oid(); for tables without OID use INSERT ... RETURNING";
    case event_kind::database_matches:
      return call + " selects '" + text + "', the database this run connects to";
    case event_kind::database_differs:
      return call + " selects '" + text + "', but the connect calls use '" +
             std::string(database_name) + "': convert again with -d " + text;
    case event_kind::database_unknown:
      return call + " selects a database given by an expression: edit this code by hand";
    case event_kind::split_argument:
      return "a comma inside nested parentheses split an argument of " + call +
             ": the replacement is built from its pieces";
    case event_kind::missing_argument:
      return call + " has no " + text + " argument, but its replacement needs a value there";
    case event_kind::no_link:
      return call + " has no link and no connection was remembered: the replacement has "
                    "an empty link";
    case event_kind::guessed_link:
      return call + " has no link; " + text +
             ", the variable of the last connect or fetch call, stands in: confirm that "
             "it is the connection";
    case event_kind::review:
      return call + ": " + text;
  }
  return call;
}

std::string_view rule_of(event_kind kind) {
  switch (kind) {
    case event_kind::unsupported_call: return "unsupported-call";
    case event_kind::parse_error: return "parse-error";
    case event_kind::db_query: return "db-query";
    case event_kind::insert_id: return "insert-id";
    case event_kind::database_matches:
    case event_kind::database_differs:
    case event_kind::database_unknown: return "select-db";
    case event_kind::split_argument: return "split-argument";
    case event_kind::missing_argument: return "missing-argument";
    case event_kind::no_link: return "no-link";
    case event_kind::guessed_link: return "guessed-link";
    case event_kind::review: return "review";
  }
  return "unsupported-call";
}

}  // namespace

std::string_view severity_name(severity level) {
  switch (level) {
    case severity::error: return "error";
    case severity::warning: return "warning";
    case severity::note: return "note";
  }
  return "warning";
}

std::span<const rule> all_rules() { return rules; }

finding make_finding(std::string_view rule_id, std::string name, std::string message) {
  const rule& r = rule_named(rule_id);
  finding f;
  f.rule = r.id;
  f.level = r.level;
  f.name = std::move(name);
  f.message = std::move(message);
  return f;
}

finding describe_event(const logged_event& event, std::string_view database_name) {
  finding f = make_finding(rule_of(event.kind), event.call, message_of(event, database_name));
  // Selecting the database the run connects to is the good case.
  if (event.kind == event_kind::database_matches) f.level = severity::note;
  f.source_offset = event.source_offset;
  return f;
}

}  // namespace corvexa
