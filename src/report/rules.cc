// The rule table and the message of every event kind. Each message says
// what to write instead, naming the replacement.
#include "report/rules.h"

#include <array>
#include <string>

#include "translate/advice.h"

namespace corvexa {
namespace {

using enum rule_id;

constexpr std::array<rule, 27> rules = {{
    {unsupported_call, "unsupported-call", severity::warning,
     "A MySQL call without a PostgreSQL counterpart was replaced by a warning "
     "comment; the code around it must be rewritten by hand."},
    {parse_error, "parse-error", severity::error,
     "A MySQL call name was not followed by '('; the tokens after it were read "
     "as its arguments."},
    {db_query, "db-query", severity::warning,
     "mysql_db_query() became pg_query() and lost its database argument."},
    {insert_id, "insert-id", severity::warning,
     "mysql_insert_id() became pg_last_oid(), which needs a result and a table "
     "with OIDs."},
    {select_db, "select-db", severity::warning,
     "mysql_select_db() names another database than the one the converted code "
     "connects to, or one known only at run time: PostgreSQL chooses the "
     "database when connecting."},
    {leftover_name, "leftover-name", severity::warning,
     "A function or constant of the MySQL extension is still in the converted code, "
     "which PHP 7 and later do not have."},
    {split_argument, "split-argument", severity::warning,
     "A comma inside nested parentheses started a new argument of the call, so "
     "the replacement is built from pieces of an argument."},
    {missing_argument, "missing-argument", severity::warning,
     "A place of the replacement that needs a value got an empty argument."},
    {no_link, "no-link", severity::warning,
     "The default link was taken from the remembered variable, but no connect "
     "or fetch call had set it: the replacement has an empty link."},
    {guessed_link, "guessed-link", severity::note,
     "The default link was taken from the variable of the last connect or fetch "
     "call; confirm that it is the connection."},
    {broken_expression, "broken-expression", severity::warning,
     "An unsupported call's warning comment stands where PHP needs a value; "
     "the converted file will not parse there."},
    {review, "review", severity::note,
     "The PostgreSQL call behaves differently from the MySQL call it replaced."},
    {no_equivalent, "no-equivalent", severity::error,
     "PostgreSQL has nothing that does what the MySQL call did; a value stands in "
     "for it so that the file still parses."},
    {behaves_differently, "behaves-differently", severity::warning,
     "The converted call runs, but gives something else than the MySQL call did."},
    {errno_number, "errno-number", severity::error,
     "mysql_errno() is compared with a MySQL error number, which PostgreSQL never "
     "gives."},
    {unreadable_call, "unreadable-call", severity::error,
     "The argument list of a MySQL call could not be read, so the call was left "
     "as it was."},
    {name_in_string, "name-in-string", severity::warning,
     "A string names a function of the MySQL extension, which the code may call "
     "by that name."},
    {sql_syntax, "sql-syntax", severity::warning,
     "PostgreSQL's parser rejects a query text the code sends."},
    {sql_mysql, "sql-mysql", severity::warning,
     "A query text parses, but means something else on PostgreSQL than on MySQL."},
    {sql_unchecked, "sql-unchecked", severity::note,
     "A query text was too long, or had too many parts known only at run time, to "
     "be judged."},
    {sql_schema_convert, "sql-schema-convert", severity::warning,
     "A statement of an .sql file was converted, but PostgreSQL behaves differently or "
     "the data changed (the message says how)."},
    {sql_schema_unsupported, "sql-schema-unsupported", severity::warning,
     "A statement of an .sql file could not be converted: it was written as a comment "
     "or left as it was, to be done by hand."},
    {sql_schema_migrate, "sql-schema-migrate", severity::note,
     "A statement of an .sql file that the seed rules copied as it was is MySQL's: "
     "the complete rules convert it."},
    {php_stripslashes, "php-stripslashes", severity::warning,
     "stripslashes() is given a value fetched from the database, which PostgreSQL returns "
     "as it was stored, without the slashes it was meant to take away."},
    {sql_schema, "sql-schema", severity::warning,
     "A query text names a table or column that the schema (the tree's .sql files and "
     "--schema) does not have, gives a number column a quoted PHP value that PostgreSQL "
     "refuses where MySQL stored a number, or is refused by the --against database."},
    {sql_case, "sql-case", severity::note,
     "With no schema known, a query text compares a column with text, which MySQL did "
     "without regard to case and PostgreSQL does with it."},
    {php_zero_date, "php-zero-date", severity::warning,
     "PHP code holds MySQL's zero date ('0000-00-00'), which PostgreSQL has not: the "
     "converted data holds NULL (or -infinity) in its place, so a comparison with it no "
     "longer matches and a query that writes it is refused."},
}};

constexpr bool table_follows_ids() {
  for (std::size_t i = 0; i < rules.size(); ++i) {
    if (static_cast<std::size_t>(rules[i].id) != i) return false;
  }
  return static_cast<std::size_t>(php_zero_date) + 1 == rules.size();
}
static_assert(table_follows_ids(), "every rule_id has its row, in the order of the ids");

// The message of an advice of the tables (translate/advice.h).
std::string advice_message(advice what, const logged_event& event, std::string_view database_name) {
  std::string call = event.call + "()";
  const std::string& text = event.text;
  switch (what) {
    case advice::db_query:
      return call +
             " became pg_query(), which drops its database argument: connect to that "
             "database with pg_connect()";
    case advice::insert_id:
      return call +
             " became pg_last_oid(), which tables without OIDs do not give: write "
             "pg_fetch_result(pg_query($link, 'SELECT lastval()'), 0, 0)";
    case advice::database_matches:
      return call + " selects '" + text + "', the database this run connects to";
    case advice::database_differs:
      return call + " selects '" + text + "', but the converted code connects to '" +
             std::string(database_name) + "': convert again with -d " + text;
    case advice::database_unknown:
      return call +
             " selects a database given by an expression, but the converted code "
             "connects to '" +
             std::string(database_name) +
             "': make sure that is the one, or convert again with -d NAME";
    case advice::errno_compared:
      if (!event.detail.empty()) {
        return call + " is compared with MySQL's error number " + text + ", which the converted " +
               call + " gives as " + event.detail + ": compare with " + event.detail;
      }
      return call + " is compared with MySQL's error number " + text + ", which the converted " +
             call +
             " never gives (it gives MySQL's number for a "
             "few SQLSTATEs, such as 1062 for 23505, and 1 for any other failure): test the "
             "SQLSTATE at the start of pg_last_error($link) instead";
  }
  return call;
}

rule_id rule_of_advice(advice what) {
  switch (what) {
    case advice::db_query: return db_query;
    case advice::insert_id: return insert_id;
    case advice::database_matches:
    case advice::database_differs:
    case advice::database_unknown: return select_db;
    case advice::errno_compared: return errno_number;
  }
  return select_db;
}

// The event's message for its kind.
std::string message_of(const logged_event& event, std::string_view database_name) {
  std::string call = event.call + "()";
  const std::string& text = event.text;
  switch (event.kind) {
    case event_kind::unsupported_call:
      return event.detail.empty() ? call + " not supported"
                                  : call + " not supported: " + event.detail;
    case event_kind::parse_error:
      return "expected '(' after " + event.call + " and got '" + text + "'";
    case event_kind::split_argument:
      return "a comma inside nested parentheses split an argument of " + call +
             ": write the replacement's arguments by hand";
    case event_kind::missing_argument:
      return call + " has no " + text + " argument, but its replacement needs a value there";
    case event_kind::no_link:
      return call +
             " has no link and no connection was remembered: pass the connection "
             "that pg_connect() returned";
    case event_kind::guessed_link:
      return call + " has no link; " + text +
             ", the variable of the last connect or fetch call, stands in: confirm that "
             "it is the connection";
    case event_kind::review: return call + ": " + text;
    case event_kind::no_equivalent: return call + " has no PostgreSQL counterpart: " + text;
    case event_kind::behaves_differently: return call + ": " + text;
    case event_kind::unreadable_call:
      return call +
             " was left as it was: its argument list does not close within its PHP "
             "block, or lies too deep inside other calls; convert it by hand";
    case event_kind::advice:
      return advice_message(static_cast<advice>(event.advice), event, database_name);
  }
  return call;
}

rule_id rule_of_event(const logged_event& event) {
  switch (event.kind) {
    case event_kind::unsupported_call: return unsupported_call;
    case event_kind::parse_error: return parse_error;
    case event_kind::split_argument: return split_argument;
    case event_kind::missing_argument: return missing_argument;
    case event_kind::no_link: return no_link;
    case event_kind::guessed_link: return guessed_link;
    case event_kind::review: return review;
    case event_kind::no_equivalent: return no_equivalent;
    case event_kind::behaves_differently: return behaves_differently;
    case event_kind::unreadable_call: return unreadable_call;
    case event_kind::advice: return rule_of_advice(static_cast<advice>(event.advice));
  }
  return unsupported_call;
}

// A database named in double quotes with "$" in it is interpolated by PHP:
// its name is known only at run time.
bool is_interpolated(std::string_view written) {
  return !written.empty() && written.front() == '"' && written.find('$') != std::string_view::npos;
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

const rule& rule_of(rule_id id) { return rules[static_cast<std::size_t>(id)]; }

finding make_finding(rule_id id, std::string name, std::string message) {
  const rule& r = rule_of(id);
  finding f;
  f.id = id;
  f.rule = r.name;
  f.level = r.level;
  f.name = std::move(name);
  f.message = std::move(message);
  return f;
}

finding describe_event(const logged_event& event, std::string_view database_name) {
  logged_event described = event;
  if (advice_of(event.kind, event.advice) == advice::database_differs &&
      is_interpolated(event.detail)) {
    described.advice = static_cast<std::uint8_t>(advice::database_unknown);
  }
  finding f =
      make_finding(rule_of_event(described), described.call, message_of(described, database_name));
  f.source_offset = event.source_offset;
  return f;
}

}  // namespace corvexa
