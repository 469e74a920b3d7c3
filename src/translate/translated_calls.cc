// The rows of translated calls and the one rule that serves them all.
#include "translate/translated_calls.h"

#include <algorithm>
#include <array>

#include "common/format_text.h"
#include "translate/name_list.h"

namespace corvexa {
namespace {

using enum value_source;

// A value as the rule fills it in: its text, the argument it shows (0 to 2,
// or -1 for none) and whether the remembered variable stood in for it.
// Of plain members without default values, so that the rule's array of
// them costs nothing to set up: only the values filled in are read.
struct filled_value {
  const char* bytes;
  std::size_t size;
  int argument;
  bool default_link;

  std::string_view text() const { return {bytes, size}; }
  // What write_format writes in its place: the values are handed to it as
  // they are, rather than copied into a list of texts at every call.
  operator std::string_view() const { return text(); }
};

filled_value value_of(std::string_view text, int argument, bool default_link = false) {
  return {text.data(), text.size(), argument, default_link};
}

std::string_view argument_text(const call_arguments& a, int index) {
  switch (index) {
    case 0: return a.first_argument;
    case 1: return a.second_argument;
    default: return a.third_argument;
  }
}

// The PostgreSQL fetch mode named by mysql_fetch_array's second argument;
// only the exact upper-case MySQL names are recognised.
std::string_view fetch_mode_of(const call_arguments& a) {
  if (a.second_argument == "MYSQL_ASSOC") return "PGSQL_ASSOC";
  if (a.second_argument == "MYSQL_NUM") return "PGSQL_NUM";
  return "PGSQL_BOTH";
}

// Inlined: a value returned from a call went through memory in a way that
// stalled the rule at every call.
[[gnu::always_inline]] inline filled_value fill(value_source source, const conversion_state& state,
                                                const table_settings& settings,
                                                const call_arguments& a) {
  constexpr int no_argument = -1;
  switch (source) {
    case none: break;
    case first: return value_of(a.first_argument, 0);
    case second: return value_of(a.second_argument, 1);
    case third: return value_of(a.third_argument, 2);
    case first_or_link:
    case second_or_link:
    case third_or_link: {
      int index = static_cast<int>(source) - static_cast<int>(first_or_link);
      std::string_view text = argument_text(a, index);
      if (!text.empty()) return value_of(text, index);
      return value_of(state.remembered_variable.view(), index, /*default_link=*/true);
    }
    case database: return value_of(settings.database_name, no_argument);
    case fetch_mode: return value_of(fetch_mode_of(a), no_argument);
  }
  return value_of({}, no_argument);
}

constexpr format_text connect_format =
    "pg_connect(\"dbname=%s host=\".%s.\" user=\".%s.\" password=\".%s)";
constexpr format_text pconnect_format =
    "pg_pconnect(\"dbname=%s host=\".%s.\" user=\".%s.\" password=\".%s)";

constexpr translated_call rows[] = {
    {.names = "mysql_affected_rows",
     .usual = {"pg_affected_rows(%s)", {first}},
     .review = "pg_affected_rows() takes a query result, not a link: pass the "
               "result of the INSERT, UPDATE or DELETE"},
    {.names = "mysql_close", .usual = {"pg_close(%s)", {first}}},
    {.names = "mysql_connect",
     .remembers = true,
     .usual = {connect_format, {database, first, second, third}}},
    {.names = "mysql_pconnect",
     .remembers = true,
     .usual = {pconnect_format, {database, first, second, third}}},
    {.names = "mysql_create_db mysql_createdb",
     .usual = {"pg_query(%s,'create database %s')", {second_or_link, first}}},
    {.names = "mysql_drop_db mysql_dropdb",
     .usual = {"pg_query(%s,'drop database %s')", {second_or_link, first}}},
    {.names = "mysql_db_query mysql",
     .remembers = true,
     .usual = {"pg_query(%s,%s);", {third_or_link, second}},
     .advised_after = advice::db_query},
    {.names = "mysql_error",
     .usual = {"pg_result_error(%s)", {first_or_link}},
     .review = "pg_result_error() wants a query result, not a link: "
               "pg_last_error($link) gives the connection's last error"},
    {.names = "mysql_fetch_array",
     .remembers = true,
     .usual = {"pg_fetch_array(%s,NULL,%s)", {first, fetch_mode}},
     .if_empty = second,
     .short_form = {"pg_fetch_array(%s)", {first}}},
    {.names = "mysql_fetch_assoc",
     .remembers = true,
     .usual = {"pg_fetch_assoc(%s,%s)", {first, second}},
     .if_empty = second,
     .short_form = {"pg_fetch_assoc(%s)", {first}}},
    {.names = "mysql_fetch_object",
     .remembers = true,
     .usual = {"pg_fetch_object(%s,NULL,%s)", {first, second}},
     .if_empty = second,
     .short_form = {"pg_fetch_object(%s)", {first}}},
    {.names = "mysql_fetch_row",
     .remembers = true,
     .usual = {"pg_fetch_row(%s,NULL,%s)", {first, second}},
     .if_empty = second,
     .short_form = {"pg_fetch_row(%s)", {first}}},
    {.names = "mysql_field_name mysql_fieldname",
     .usual = {"pg_fieldname(%s,%s)", {first, second}}},
    {.names = "mysql_field_type mysql_fieldtype",
     .usual = {"pg_field_type(%s,%s)", {first, second}}},
    {.names = "mysql_field_len mysql_fieldlen",
     .usual = {"pg_field_prtlen(%s,%s,\"\")", {first, second}},
     .review = "pg_field_prtlen() measures a value of one row, not the "
               "column: use pg_field_size() for the column"},
    {.names = "mysql_free_result mysql_freeresult", .usual = {"pg_free_result(%s)", {first}}},
    {.names = "mysql_insert_id",
     .usual = {"pg_last_oid(%s)", {first}},
     .advised_before = advice::insert_id},
    {.names = "mysql_num_fields mysql_numfields", .usual = {"pg_num_fields(%s)", {first}}},
    {.names = "mysql_num_rows mysql_numrows", .usual = {"pg_num_rows(%s)", {first}}},
    {.names = "mysql_query",
     .usual = {"pg_query(%s,%s)", {second, first}},
     .if_empty = second,
     .short_form = {"pg_query(%s)", {first}}},
    {.names = "mysql_result",
     .usual = {"pg_query(%s,%s,%s)", {first, second, third}},
     .if_empty = third,
     .short_form = {"pg_query(%s,%s)", {first, second}},
     .review = "pg_query() runs a query and does not fetch a field: use "
               "pg_fetch_result($result, $row, $field)"},
};

// True if an empty text at place `index` of `format` leaves PHP without a
// value where its syntax needs one: next to a comma or a concatenation dot,
// as in "f(,$x)" or "\"a\"..\"b\"". A lone argument in parentheses may be
// left out.
bool place_needs_value(const format_text& format, std::size_t index) {
  if (index >= format.place_count()) return false;
  std::string_view text = format.text();
  std::size_t at = format.place(index);
  auto separates = [](char c) { return c == ',' || c == '.'; };
  return (at > 0 && separates(text[at - 1])) || (at + 2 < text.size() && separates(text[at + 2]));
}

constexpr std::string_view argument_names[] = {"first", "second", "third"};

// Reports the default links taken and the argument places left empty.
void report_doubtful_values(conversion_state& state, const format_text& format,
                            std::span<const filled_value> values) {
  constexpr event_kinds doubts = {event_kind::no_link, event_kind::guessed_link,
                                  event_kind::missing_argument};
  if (!state.events.reads_any(doubts)) return;
  for (std::size_t place = 0; place < values.size(); ++place) {
    const filled_value& value = values[place];
    if (value.default_link) {
      if (value.text().empty()) {
        report(state, event_kind::no_link);
      } else {
        report(state, event_kind::guessed_link, value.text());
      }
    } else if (value.argument >= 0 && value.text().empty() && place_needs_value(format, place)) {
      report(state, event_kind::missing_argument,
             argument_names[static_cast<std::size_t>(value.argument)]);
    }
  }
}

// Records where the watched words of the arguments that the replacement
// kept were written; a default link is not an argument, and a dropped
// argument is not in the output.
void note_moved_words(conversion_state& state, const call_arguments& arguments,
                      std::span<const filled_value> values,
                      std::span<const std::uint64_t> value_offsets) {
  if (arguments.watched_words.empty()) return;  // as most calls have
  for (std::size_t place = 0; place < values.size(); ++place) {
    const filled_value& value = values[place];
    if (value.argument < 0 || value.default_link) continue;
    for (const watched_word& word : arguments.watched_words) {
      if (word.argument != value.argument) continue;
      state.current_call.moved_words.push_back(
          {word.source_offset, value_offsets[place] + word.offset_in_argument});
    }
  }
  std::sort(
      state.current_call.moved_words.begin(), state.current_call.moved_words.end(),
      [](const moved_word& a, const moved_word& b) { return a.output_offset < b.output_offset; });
}

}  // namespace

std::span<const translated_call> translated_calls() { return rows; }

void translate_call(conversion_state& state, const translated_call& call,
                    const table_settings& settings) {
  state.current_call.name = call.names.usual();
  state.current_call.translated = true;
  call_arguments& arguments = thread_call_arguments();
  read_call_args(state, arguments);
  if (call.advised_before) report_advice(state, *call.advised_before);

  bool use_short =
      call.if_empty != none && fill(call.if_empty, state, settings, arguments).text().empty();
  const replacement& chosen = use_short ? call.short_form : call.usual;
  std::array<filled_value, replacement::max_values> values;
  std::size_t count = 0;
  for (value_source source : chosen.values) {
    if (source == none) break;
    values[count++] = fill(source, state, settings, arguments);
  }
  std::span<const filled_value> filled(values.data(), count);
  start_replacement(state);
  // Where the values land matters only to the watched words among them.
  std::array<std::uint64_t, replacement::max_values> value_offsets;
  write_format(state.output_stream, chosen.format, filled,
               arguments.watched_words.empty() ? nullptr : value_offsets.data());
  note_moved_words(state, arguments, filled, value_offsets);
  if (call.advised_after) report_advice(state, *call.advised_after);
  if (arguments.split_by_nested_comma) report(state, event_kind::split_argument);
  report_doubtful_values(state, chosen.format, filled);
  if (!call.review.empty()) report(state, event_kind::review, call.review);
  release_large_texts(arguments);
}

}  // namespace corvexa
