// The text copier, the block loop and the comment copier: what is copied
// unchanged, where blocks and comments begin and end, and which variable a
// remembering call stores. Every case runs three ways: on memory read in
// place, through reads of one to seven bytes, and through reads that fill
// the whole 64 KiB input buffer, so that nothing depends on where the input
// buffer is refilled; and each of them at every width of the byte searches.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>

#include "scan/stream_conversion.h"
#include "scan/text_copier.h"
#include "support/memory_conversion.h"
#include "translate/mysql_call_table.h"

namespace corvexa {
namespace {

using namespace std::string_literals;

// Also with the events handed to the console alone, as corvexa runs,
// which leaves out what only a recorder of events reads.
void expect_conversion(std::string_view input, const call_table& calls, std::string_view output,
                       std::string_view console = "") {
  for (search_width width : available_search_widths()) {
    for (std::size_t largest_read : {memory_conversion_options::in_place, std::size_t{7},
                                     memory_conversion_options::whole_buffer}) {
      for (bool recorded : {true, false}) {
        memory_conversion result = convert_in_memory(
            input, calls,
            {.largest_read = largest_read, .width = width, .record_events = recorded});
        std::string way = "reads of at most " + std::to_string(largest_read) + ", " +
                          std::string(name_of(width)) +
                          (recorded ? ", events recorded" : ", console only");
        EXPECT_EQ(result.output, output) << way;
        EXPECT_EQ(result.console, console) << way;
      }
    }
  }
}

std::string trace(std::string_view input) {
  return input.size() > 200 ? std::to_string(input.size()) + " bytes"
                            : testing::PrintToString(std::string(input));
}

TEST(BlockLoop, EmptyTableCopiesEveryInputUnchanged) {
  std::string every_byte;
  for (int c = 0; c < 256; ++c) every_byte.push_back(static_cast<char>(c));
  std::string every_pair = "<?php ";  // 128 KiB of code, across refills
  for (int a = 0; a < 256; ++a) {
    for (int b = 0; b < 256; ++b) {
      every_pair.push_back(static_cast<char>(a));
      every_pair.push_back(static_cast<char>(b));
    }
  }
  const std::string inputs[] = {
      "",
      "plain <html> with mysql_query($q) and no block",
      "<?php echo 'a'; mysql_query($q); ?>x",
      every_byte,
      "<?php " + every_byte + " ?>" + every_byte,
      every_pair,
      "\0<?php \0 '\0' \"a\0\" $a\0 ?>\0"s,
      "<?php $x = 'never closed",
      "<?php $x = \"ends in a backslash\\",
      "<?php /* never closed",
      "<?php // to the end",
      "<?php if ($a) { echo 1;",
      "x<?",
      "<<?php ?><?= $a ?><?xml ?>?><?php ?>",
      "<?php <<<EOT\nit's mysql_close()\nEOT;\n?>",
      "\v\f\t\r\n<?php\v\f\t\r\n?>\v\f",
  };
  call_table no_calls;
  for (const std::string& input : inputs) {
    SCOPED_TRACE(trace(input));
    expect_conversion(input, no_calls, input);
  }
}

struct block_case {
  std::string_view input;
  std::string_view output;
};

TEST(BlockLoop, FindsBlocksCommentsAndCallNames) {
  const block_case cases[] = {
      // Openers: "<?" anywhere in text, also after "<" and right after "?>".
      {"mysql_close() <?php mysql_close() ?> mysql_close()",
       "mysql_close() <?php pg_close() ?> mysql_close()"},
      {"<<?mysql_close()?><?mysql_close()?>", "<<?pg_close()?><?pg_close()?>"},
      {"< ?mysql_close()", "< ?mysql_close()"},
      // Comments are copied whole; "#" does not start one.
      {"<?php /*/ mysql_close() */ mysql_close() ?>", "<?php /*/ mysql_close() */ pg_close() ?>"},
      {"<?php /**/mysql_close()", "<?php /**/pg_close()"},
      {"<?php // a\rmysql_close() ?>", "<?php // a\rpg_close() ?>"},
      {"<?php // ?> mysql_close()\nmysql_close() ?>", "<?php // ?> mysql_close()\npg_close() ?>"},
      {"<?php # mysql_close()\n?>", "<?php # pg_close()\n?>"},
      // Names match as whole words in any case, never inside strings or
      // variables.
      {"<?php 'mysql_close()'; $mysql_close; MySQL_Close() ?>",
       "<?php 'mysql_close()'; $mysql_close; pg_close() ?>"},
      {"<?php _mysql_close(); $db->mysql_close(); mysql_closed(); ?>",
       "<?php _pg_close(); $db->pg_close(); mysql_closed(); ?>"},
      {"<?php function mysql_close() {} ?>", "<?php function pg_close() {} ?>"},
      // A word begins after any byte that cannot start a name, also after
      // those that go on with one ("_", "{", "~", bytes from 128 up); it
      // does not begin inside a name, however the name began.
      {"<?php {mysql_close(); \x80mysql_close(); __mysql_close(); ~|mysql_close(); ?>",
       "<?php {pg_close(); \x80pg_close(); __pg_close(); ~|pg_close(); ?>"},
      {"<?php a_mysql_close(); a{mysql_close(); 3mysql_close(); $a||mysql_close(); ?>",
       "<?php a_mysql_close(); a{mysql_close(); 3mysql_close(); $a||mysql_close(); ?>"},
      // A block ends at "?>", after which text is text again.
      {"<?php ?>mysql_close()", "<?php ?>mysql_close()"},
      // remembered_variable: the last variable the block loop read before a
      // remembering call; kept from block to block.
      {"<?php $link = mysql_connect(); ?><?php mysql_error(); ?>",
       "<?php $link = pg_connect(\"dbname=default host=\"..\" user=\"..\" "
       "password=\".); ?><?php pg_result_error($link); ?>"},
      // ... but every block starts without a last variable.
      {"<?php $a = 1; ?><?php mysql_fetch_row($r); mysql_error(); ?>",
       "<?php $a = 1; ?><?php pg_fetch_row($r); pg_result_error(); ?>"},
      // Variables inside argument lists and comments do not count.
      {"<?php $a = mysql_query($b); mysql_fetch_row($c); mysql_error();",
       "<?php $a = pg_query($b); pg_fetch_row($c); pg_result_error($a);"},
      {"<?php $a = 'x$y'; $b = \"$c\" . mysql_fetch_row($r); mysql_error();",
       "<?php $a = 'x$y'; $b = \"$c\" . pg_fetch_row($r); pg_result_error($b);"},
      {"<?php $a /* $b */ // $c\n= mysql_fetch_row($r, $z); mysql_error();",
       "<?php $a /* $b */ // $c\n= pg_fetch_row($r,NULL,$z); "
       "pg_result_error($a);"},
      // Before any remembering call there is no default.
      {"<?php $a; mysql_error();", "<?php $a; pg_result_error();"},
  };
  call_table calls = make_mysql_call_table();
  for (const block_case& c : cases) {
    SCOPED_TRACE(trace(c.input));
    expect_conversion(c.input, calls, c.output);
  }
}

// Strings are skipped on the pre-scan's marks, 64 bytes at a time: every
// escape and closing quote must be seen wherever it falls among them.
TEST(BlockLoop, StringsEndRightWhereverTheirEscapesFall) {
  call_table calls = make_mysql_call_table();
  for (std::size_t length = 0; length <= 140; ++length) {
    std::string filler(length, 'y');
    std::string input = "<?php $a = 'x" + filler + "\\'\\\\'; mysql_close(); \"" + filler +
                        "\\\"$b\\\\ mysql_close() \"; mysql_close(); ?>";
    std::string output = "<?php $a = 'x" + filler + "\\'\\\\'; pg_close(); \"" + filler +
                         "\\\"$b\\\\ mysql_close() \"; pg_close(); ?>";
    SCOPED_TRACE(length);
    expect_conversion(input, calls, output);
  }
}

// Places every byte of a snippet in turn on the 64 KiB refill boundary.
TEST(BlockLoop, TokensCommentsAndOpenersAcrossTheBufferBoundary) {
  const std::string snippet =
      "<?php $link = mysql_connect($h, $u, $p); /*/ mysql_close() */ "
      "echo 'it\\'s', \"\\\"\"; // ?> x\r$r = mysql_query($q, "
      "mysql_error()) _mysql_close() a__mysql_close() $_mysql_close "
      "$row = mysql_fetch_row($r); mysql_error() ?>t<<?x?>";
  const std::string converted =
      "<?php $link = pg_connect(\"dbname=default host=\".$h.\" user=\".$u.\" "
      "password=\".$p); /*/ mysql_close() */ "
      "echo 'it\\'s', \"\\\"\"; // ?> x\r$r = pg_query(mysql_error(),$q) "
      "_pg_close() a__mysql_close() $_mysql_close "
      "$row = pg_fetch_row($r); pg_result_error($row) ?>t<<?x?>";
  call_table calls = make_mysql_call_table();
  for (std::size_t before = 1; before <= snippet.size() + 1; ++before) {
    std::string padding(input_buffer::default_capacity - before, '<');
    SCOPED_TRACE(before);
    expect_conversion(padding + snippet, calls, padding + converted);
  }
}

}  // namespace
}  // namespace corvexa

namespace corvexa {
namespace {

// A terminal gives an end of input and then, if asked again, more input;
// the conversion must stop at the first end, as a reader of a file would.
class reader_with_two_ends final : public byte_reader {
 public:
  long read_some(char* buffer, std::size_t capacity) override {
    std::string_view part = parts_[std::min<std::size_t>(reads_++, 2)];
    std::size_t count = std::min(part.size(), capacity);
    std::memcpy(buffer, part.data(), count);
    return static_cast<long>(count);
  }

 private:
  std::string_view parts_[3] = {"a <?php $x ", "", " mysql_errno(); ?>"};
  std::size_t reads_ = 0;
};

TEST(BlockLoop, InputEndsAtTheFirstEndOfInput) {
  reader_with_two_ends reader;
  input_buffer source(reader);
  std::string output_text;
  string_writer output_writer(output_text);
  output_sink output(output_writer);
  ignored_events events;
  convert_stream(source, output, events, make_mysql_call_table());
  output.flush();
  EXPECT_EQ(output_text, "a <?php $x ");
}

}  // namespace
}  // namespace corvexa
