// Microbenchmarks of the scanner: the token source alone over a PHP
// application held in memory, handing out every token, and the whole
// conversion (text copier, block loop, rules) with no call names and with
// the fifty MySQL ones. Each reports input bytes per second.
//
// The built-in input is made here, a few MiB of HTML around PHP blocks with
// strings, comments, variables and about one MySQL call per 300 bytes, so
// that the figures do not depend on any file. Files given as --input=FILE
// (before Google Benchmark's own flags) are converted as well, whole and in
// memory: bench/run passes the inputs it generates.
#include <benchmark/benchmark.h>

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <deque>
#include <fstream>
#include <functional>
#include <iostream>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "common/byte_streams.h"
#include "common/conversion_state.h"
#include "common/input_buffer.h"
#include "common/output_sink.h"
#include "scan/call_table.h"
#include "scan/token_source.h"
#include "support/memory_conversion.h"
#include "translate/mysql_call_table.h"

namespace {

constexpr std::size_t input_size = 4 << 20;

// One statement per call name, each using the name once.
constexpr std::array<std::string_view, 50> call_statements = {
    "$n = mysql_affected_rows($link);\n",
    "mysql_close($link);\n",
    "$link = mysql_connect($host, $user, $pass) or die('no db');\n",
    "$link = mysql_pconnect('localhost', 'web', \"p\\\"w\");\n",
    "mysql_create_db('archive', $link);\n",
    "mysql_createdb(\"tmp_1\");\n",
    "mysql_drop_db('archive', $link);\n",
    "mysql_dropdb(\"tmp_1\");\n",
    "$res = mysql_db_query('shop', \"SELECT * FROM orders\", $link);\n",
    "$res = mysql('shop', $sql);\n",
    "die('Query failed: ' . mysql_error($link));\n",
    "while ($row = mysql_fetch_array($result, MYSQL_ASSOC)) {\n"
    "    echo $row['name'];\n}\n",
    "while ($row = mysql_fetch_assoc($result)) { $list[] = $row['id']; }\n",
    "$obj = mysql_fetch_object($result);\n",
    "list($id, $name) = mysql_fetch_row($result);\n",
    "$names[$i] = mysql_field_name($result, $i);\n",
    "$h = mysql_fieldname($result, 2);\n",
    "$type = mysql_field_type($result, $i);\n",
    "$t = mysql_fieldtype($result, 3);\n",
    "$width = mysql_field_len($result, $i);\n",
    "$w = mysql_fieldlen($result, 1);\n",
    "mysql_free_result($result);\n",
    "@mysql_freeresult($res);\n",
    "$new_id = mysql_insert_id($link);\n",
    "$cols = mysql_num_fields($result);\n",
    "$cols = mysql_numfields($res);\n",
    "if (mysql_num_rows($result) == 0) { echo \"<p>None.</p>\\n\"; }\n",
    "$total = mysql_numrows($res);\n",
    "$result = mysql_query(\"SELECT id, name FROM users WHERE id = $id\", $link);\n",
    "$value = mysql_result($result, 0, 'name');\n",
    "mysql_change_user('admin', $pw, 'shop', $link);\n",
    "mysql_data_seek($result, 0);\n",
    "if (mysql_errno($link) == 1062) { $dup = true; }\n",
    "$meta = mysql_fetch_field($result, $i);\n",
    "$lengths = mysql_fetch_lengths($result);\n",
    "mysql_field_seek($result, 1);\n",
    "mysql_fieldseek($result, 0);\n",
    "$from = mysql_field_table($result, $i);\n",
    "$tbl = mysql_fieldtable($result, 1);\n",
    "$flags = explode(' ', mysql_field_flags($result, $i));\n",
    "$f = mysql_fieldflags($result, 0);\n",
    "$fields = mysql_list_fields('shop', 'users', $link);\n",
    "$fields = mysql_listfields('shop', \"orders\");\n",
    "$dbs = mysql_list_dbs($link);\n",
    "$dbs = mysql_listdbs();\n",
    "$tables = mysql_list_tables('shop');\n",
    "$tables = mysql_listtables('shop', $link);\n",
    "$name = mysql_tablename($tables, $i);\n",
    "mysql_select_db('shop', $link) or die(mysql_error());\n",
    "mysql_selectdb($db_name);\n",
};

constexpr std::array<std::string_view, 8> plain_statements = {
    "$title = \"Order \\\"overview\\\" \\\\ page\";\n",
    "$label = 'It\\'s the report page, don\\'t cache it';\n",
    "// Build the list before the table is drawn.\n",
    "/* The cache is rebuilt every hour;\n   see the cron job. */\n",
    "$total += $price * 3; // running total\n",
    "$sql = \"SELECT name FROM users WHERE id = \" . intval($_GET['id']);\n",
    "function format_price($value, $decimals = 2) {\n"
    "    return number_format($value, $decimals, ',', '.');\n}\n",
    "echo \"<a href=\\\"item.php?id=$id&amp;page=2\\\">Item</a>\\n\";\n",
};

constexpr std::array<std::string_view, 4> html_pieces = {
    "<div class=\"order\">\n  <h2>Order details</h2>\n",
    "<table class=\"list\">\n<tr><th>Name</th><th>Price</th></tr>\n",
    "<p>Please check the basket below and press <b>Save</b>.</p>\n",
    "</div>\n<!-- generated section -->\n",
};

// HTML and PHP blocks in a fixed pseudo-random order; a statement is a call
// about one time in four, cycling through all fifty names.
std::string make_php_input(std::size_t size) {
  std::mt19937 random(20060602);
  auto pick = [&random](std::size_t count) { return static_cast<std::size_t>(random() % count); };
  std::string text;
  text.reserve(size + 4096);
  std::size_t next_call = 0;
  while (text.size() < size) {
    for (std::size_t i = 1 + pick(3); i > 0; --i) {
      text += html_pieces[pick(html_pieces.size())];
    }
    text += "<?php\n";
    for (std::size_t i = 4 + pick(8); i > 0; --i) {
      if (pick(100) < 27) {
        text += call_statements[next_call++ % call_statements.size()];
      } else {
        text += plain_statements[pick(plain_statements.size())];
      }
    }
    text += "?>\n";
  }
  return text;
}

const std::string& php_input() {
  static const std::string input = make_php_input(input_size);
  return input;
}

void BM_next_token(benchmark::State& state) {
  const std::string& input = php_input();
  const corvexa::call_table no_calls;
  for (auto _ : state) {
    corvexa::input_buffer source(input);
    corvexa::token_source tokens(source, no_calls);
    std::size_t count = 0;
    while (tokens.next_token(corvexa::long_tokens::whole).kind != corvexa::piece_kind::end) {
      ++count;
    }
    benchmark::DoNotOptimize(count);
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                          static_cast<std::int64_t>(input.size()));
}
BENCHMARK(BM_next_token);

// The whole conversion of `input`, read in place; the output, the console
// text and the events are dropped as they come, as a run into /dev/null
// would drop them.
void BM_convert_in_memory(benchmark::State& state, const std::string& input,
                          const corvexa::call_table& calls) {
  corvexa::memory_conversion_options options;
  options.discard = true;
  for (auto _ : state) {
    corvexa::memory_conversion result = corvexa::convert_in_memory(input, calls, options);
    benchmark::DoNotOptimize(result.output.data());
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                          static_cast<std::int64_t>(input.size()));
}

const corvexa::call_table empty_table;
const corvexa::call_table mysql_table = corvexa::make_mysql_call_table();
BENCHMARK_CAPTURE(BM_convert_in_memory, empty_table, php_input(), empty_table);
BENCHMARK_CAPTURE(BM_convert_in_memory, mysql_calls, php_input(), mysql_table);

// Registers the conversion of the file at `path` with both tables.
void register_file(const std::string& path, std::deque<std::string>& inputs) {
  std::ifstream file(path, std::ios::binary | std::ios::ate);
  std::string& input = inputs.emplace_back(static_cast<std::size_t>(file.tellg()), '\0');
  file.seekg(0);
  if (!file || !file.read(input.data(), static_cast<std::streamsize>(input.size()))) {
    std::cerr << "corvexa_microbench: cannot read " << path << "\n";
    std::exit(2);
  }
  std::string name = path.substr(path.rfind('/') + 1);
  // By reference: the benchmark would otherwise hold a copy of each.
  benchmark::RegisterBenchmark(("BM_convert_file/" + name + "/empty_table").c_str(),
                               BM_convert_in_memory, std::cref(input), std::cref(empty_table));
  benchmark::RegisterBenchmark(("BM_convert_file/" + name + "/mysql_calls").c_str(),
                               BM_convert_in_memory, std::cref(input), std::cref(mysql_table));
}

}  // namespace

int main(int argc, char** argv) {
  static std::deque<std::string> inputs;  // alive while benchmarks run
  constexpr std::string_view input_flag = "--input=";
  std::vector<char*> rest;
  for (int i = 0; i < argc; ++i) {
    std::string_view argument = argv[i];
    if (argument.substr(0, input_flag.size()) == input_flag) {
      register_file(std::string(argument.substr(input_flag.size())), inputs);
    } else {
      rest.push_back(argv[i]);
    }
  }
  int rest_count = static_cast<int>(rest.size());
  benchmark::Initialize(&rest_count, rest.data());
  if (benchmark::ReportUnrecognizedArguments(rest_count, rest.data())) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
