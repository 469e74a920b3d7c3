// Converts the fuzz input as a MySQL .sql file, read in chunks whose size
// the first byte chooses, read whole, and lent in buffers (as a large file
// is read ahead) whose size and room the first byte chooses too. Besides
// the sanitizers it checks that all give the same output and findings, that the output holds no
// zero byte, that it is valid UTF-8 unless the input chose another client
// encoding, and that PostgreSQL's parser takes all of it: whatever could
// not be converted must have become a comment (with a finding).
#include <pg_query.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "common/byte_streams.h"
#include "schema/mysql_sql_conversion.h"
#include "support/memory_lender.h"

namespace {

using corvexa::schema::sql_conversion_result;

sql_conversion_result convert(std::string_view input, std::size_t largest_read, std::string& output,
                              bool list_changes = false) {
  corvexa::memory_reader reader(input, largest_read);
  corvexa::string_writer writer(output);
  corvexa::schema::sql_conversion_options options;
  options.list_changed_statements = list_changes;
  return corvexa::schema::convert_mysql_sql(reader, writer, options);
}

[[noreturn]] void broken(const char* check) {
  std::fprintf(stderr, "sql_file_fuzzer: %s\n", check);
  std::abort();
}

// Lent in buffers of 1 to 64 bytes and 1 to 7 in turn, with room for 0 to
// 4096 bytes before each, so that the window moves into lent buffers and
// into its own storage at every place.
std::string convert_lent(std::string_view input, std::uint8_t first) {
  static constexpr std::size_t rooms[4] = {0, 1, 16, 4096};
  corvexa::memory_lender lender(input, {1 + first % 64u, 1 + first % 7u}, rooms[first >> 6]);
  std::string output;
  corvexa::string_writer writer(output);
  corvexa::schema::convert_mysql_sql(lender, writer);
  if (lender.held() > 1 || lender.given_back_too_often) broken("a lent buffer is kept or lost");
  return output;
}

bool valid_utf8(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size()) {
    auto c = static_cast<unsigned char>(text[i]);
    std::size_t length = c < 0x80                 ? 1
                         : c >= 0xC2 && c <= 0xDF ? 2
                         : c >= 0xE0 && c <= 0xEF ? 3
                         : c >= 0xF0 && c <= 0xF4 ? 4
                                                  : 0;
    if (length == 0 || i + length > text.size()) return false;
    for (std::size_t k = 1; k < length; ++k) {
      if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) return false;
    }
    i += length;
  }
  return true;
}

bool parses(const std::string& text) {
  PgQueryParseResult result = pg_query_parse(text.c_str());
  bool ok = result.error == nullptr;
  if (!ok)
    std::fprintf(stderr, "parse error: %s at %d\n", result.error->message, result.error->cursorpos);
  pg_query_free_parse_result(result);
  return ok;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  std::string_view input(reinterpret_cast<const char*>(data) + 1, size - 1);
  std::string whole, chunked;
  sql_conversion_result expected = convert(input, 0, whole);
  // The chunked run also lists the changed statements: listing changes
  // nothing written, and the list does not depend on the reads either.
  sql_conversion_result result = convert(input, 1 + data[0] % 64, chunked, true);
  if (whole != chunked) broken("the output depends on the size of the reads");
  if (convert_lent(input, data[0]) != whole) broken("the output depends on lent buffers");
  std::string listed_whole;
  sql_conversion_result listed = convert(input, 0, listed_whole, true);
  if (listed.changed_statements.size() != result.changed_statements.size()) {
    broken("the changed statements depend on the size of the reads");
  }
  for (std::size_t i = 0; i < result.changed_statements.size(); ++i) {
    if (result.changed_statements[i].offset != listed.changed_statements[i].offset ||
        result.changed_statements[i].what != listed.changed_statements[i].what ||
        result.changed_statements[i].offset > input.size() ||
        !valid_utf8(result.changed_statements[i].what)) {
      broken(
          "a changed statement depends on the size of the reads, points past the input, or "
          "is not named in UTF-8");
    }
  }
  if (expected.findings.size() != result.findings.size()) {
    broken("the findings depend on the size of the reads");
  }
  for (std::size_t i = 0; i < result.findings.size(); ++i) {
    if (result.findings[i].offset != expected.findings[i].offset ||
        result.findings[i].message != expected.findings[i].message ||
        result.findings[i].offset > input.size()) {
      broken("a finding depends on the size of the reads, or points past the input");
    }
  }
  if (whole.find('\0') != std::string::npos) broken("a zero byte in the output");
  // The header names UTF8 once; a second client_encoding is another set.
  bool other_encoding = whole.find("client_encoding", 20) != std::string::npos;
  if (!other_encoding && !valid_utf8(whole)) broken("the output is not UTF-8");
  if (!parses(whole)) broken("PostgreSQL's parser refuses the output");
  return 0;
}
