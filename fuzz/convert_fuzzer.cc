// Runs the whole conversion with the full table of MySQL calls on the fuzz
// input, read in chunks and written through buffers whose sizes the first
// byte chooses. Besides the sanitizers it checks that the result does not
// depend on those sizes, and that an input in which no call name can match
// (no "mysql" in any letter case) comes out unchanged with a silent console.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "chunked_reader.h"
#include "translate/mysql_call_table.h"

namespace {

bool contains_mysql(std::string_view text) {
  static constexpr std::string_view name = "mysql";
  for (std::size_t at = 0; at + name.size() <= text.size(); ++at) {
    std::size_t i = 0;
    while (i < name.size() && (text[at + i] | 0x20) == name[i]) ++i;
    if (i == name.size()) return true;
  }
  return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const corvexa::call_table calls = corvexa::make_mysql_call_table();
  if (size == 0) return 0;
  std::string_view input(reinterpret_cast<const char*>(data) + 1, size - 1);

  auto chunked = corvexa::convert_in_memory(input, calls, corvexa_fuzz::chunked_options(data[0]));
  auto whole = corvexa::convert_in_memory(input, calls);
  if (chunked.output != whole.output || chunked.console != whole.console) {
    std::abort();
  }
  if (!contains_mysql(input) && (chunked.output != input || !chunked.console.empty())) {
    std::abort();
  }
  return 0;
}
