// Where each replaced call and each event lies in the input and the output.
// Tools built on the conversion map findings back to the source by these
// offsets, so they must not move with the read size, the buffer sizes or
// the width of the byte searches: every case runs in place, and with reads
// (and input and output buffers) of every size from one byte to the whole
// input, at every width.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/memory_conversion.h"
#include "translate/advice.h"
#include "translate/mysql_call_table.h"

namespace corvexa {
namespace {

struct call_span {
  std::string_view name;
  bool translated;
  std::uint64_t source_begin, source_end;
  std::uint64_t output_begin, replacement_begin, output_end;
};

struct event_place {
  event_kind kind;
  std::string_view call;
  std::string_view text;
  std::uint64_t source_offset;
  advice advised = {};  // for kind advice
};

struct offsets_case {
  std::string input;
  std::vector<call_span> calls;
  std::vector<event_place> events;
};

constexpr auto unsupported = event_kind::unsupported_call;

const offsets_case cases[] = {
    {"<?php $r = mysql_query($sql, $db); ?>", {{"mysql_query", true, 11, 33, 11, 11, 29}}, {}},
    // Whitespace echoed from the argument list stands between where the
    // call's output begins and where its replacement does.
    {"<?php\n  MYSQL_CLOSE ( $l ) ;\n", {{"mysql_close", true, 8, 26, 8, 11, 23}}, {}},
    {"<?mysql_close()?>x<?php mysql_errno;",
     {{"mysql_close", true, 2, 15, 2, 2, 12}, {"mysql_errno", false, 24, 36, 21, 21, 62}},
     {{unsupported, "mysql_errno", "", 24}, {event_kind::parse_error, "mysql_errno", ";", 24}}},
    // Names in comments and argument lists are no calls; a name right after
    // a comment, a string or "_" is.
    {"<?php /* mysql_close() */mysql_close();'a'.mysql_num_rows(mysql_close($x));",
     {{"mysql_close", true, 25, 38, 25, 25, 35}, {"mysql_num_rows", true, 43, 74, 40, 40, 68}},
     {}},
    {"<?php _mysql_close(); $db->mysql_fieldseek($r, 1);",
     {{"mysql_close", true, 7, 20, 7, 7, 17}, {"mysql_field_seek", false, 27, 49, 24, 24, 70}},
     {{unsupported, "mysql_field_seek", "", 27}}},
    {"<?php $res = mysql_db_query('shop', $sql); mysql_select_db('shop');",
     {{"mysql_db_query", true, 13, 41, 13, 13, 33}, {"mysql_select_db", false, 43, 66, 35, 35, 80}},
     {{event_kind::advice, "mysql_db_query", "", 13, advice::db_query},
      {event_kind::guessed_link, "mysql_db_query", "$res", 13},
      {unsupported, "mysql_select_db", "", 43},
      {event_kind::advice, "mysql_select_db", "shop", 43, advice::database_differs}}},
    {"<?php mysql_insert_id(); mysql_select_db($db, $l, 'x', 'y');",
     {{"mysql_insert_id", true, 6, 23, 6, 6, 19}, {"mysql_select_db", false, 25, 59, 21, 21, 66}},
     {{event_kind::advice, "mysql_insert_id", "", 6, advice::insert_id},
      {unsupported, "mysql_select_db", "", 25},
      {event_kind::advice, "mysql_select_db", "", 25, advice::database_unknown}}},
    // A call cut short by the end of the input ends there.
    {"<?php mysql_query('abc", {{"mysql_query", true, 6, 22, 6, 6, 20}}, {}},
    {"<?php mysql_close", {{"mysql_close", true, 6, 17, 6, 6, 16}}, {}},
};

// Every way the harness can feed the input: in place, and in reads of 1 to
// n bytes into buffers of n bytes, for every n up to the input's size; each
// with every width of the scanner's byte searches.
std::vector<memory_conversion_options> every_read_size(std::size_t size) {
  std::vector<memory_conversion_options> ways;
  for (search_width width : available_search_widths()) {
    ways.push_back({.width = width});
    for (std::size_t n = 1; n <= size; ++n) {
      ways.push_back(
          {.largest_read = n, .input_capacity = n, .output_capacity = n, .width = width});
    }
    ways.push_back({.largest_read = memory_conversion_options::whole_buffer, .width = width});
  }
  return ways;
}

TEST(CallOffsets, StayPutAtEveryReadSize) {
  const call_table calls = make_mysql_call_table();
  for (const offsets_case& c : cases) {
    for (const memory_conversion_options& options : every_read_size(c.input.size())) {
      SCOPED_TRACE(testing::PrintToString(c.input) + ", reads of at most " +
                   std::to_string(options.largest_read) + ", " +
                   std::string(name_of(*options.width)));
      memory_conversion result = convert_in_memory(c.input, calls, options);
      ASSERT_EQ(result.calls.size(), c.calls.size());
      for (std::size_t i = 0; i < c.calls.size(); ++i) {
        const replaced_call& got = result.calls[i];
        const call_span& want = c.calls[i];
        EXPECT_EQ(got.name, want.name);
        EXPECT_EQ(got.translated, want.translated);
        EXPECT_EQ(got.source_begin, want.source_begin) << want.name;
        EXPECT_EQ(got.source_end, want.source_end) << want.name;
        EXPECT_EQ(got.output_begin, want.output_begin) << want.name;
        EXPECT_EQ(got.replacement_begin, want.replacement_begin) << want.name;
        EXPECT_EQ(got.output_end, want.output_end) << want.name;
      }
      ASSERT_EQ(result.events.size(), c.events.size());
      for (std::size_t i = 0; i < c.events.size(); ++i) {
        const recorded_event& got = result.events[i];
        const event_place& want = c.events[i];
        EXPECT_EQ(got.kind, want.kind);
        if (want.kind == event_kind::advice) {
          EXPECT_EQ(got.advice, static_cast<std::uint8_t>(want.advised));
        }
        EXPECT_EQ(got.call, want.call);
        EXPECT_EQ(got.text, want.text);
        EXPECT_EQ(got.source_offset, want.source_offset) << want.call;
      }
    }
  }
}

}  // namespace
}  // namespace corvexa
