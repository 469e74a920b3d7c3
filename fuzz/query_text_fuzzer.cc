// Runs the SQL checks of PHP files on the fuzz input, reporting and
// rewriting, with the query wrappers the input defines. Besides the
// sanitizers it checks what a caller relies on: every finding lies in the
// PHP text, the edits are sorted, do not overlap and lie strictly inside
// string literals (but for rewritten addslashes() calls), and the rewritten
// file has exactly the code tokens the input had (a replacement never
// escapes its literal); the wrappers are
// sorted, in lower case, and a fixed point (given as known, they give
// themselves back); the names of created tables are lower case and short.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "common/ascii.h"
#include "scan/php_lexer.h"
#include "sql/created_tables.h"
#include "sql/query_checks.h"
#include "sql/query_wrappers.h"

namespace {

void check(bool holds) {
  if (!holds) std::abort();
}

void check_findings(std::string_view php, const corvexa::sql::query_report& report) {
  for (const corvexa::sql::sql_finding& f : report.findings) {
    check(f.offset < php.size());
    check(f.text_begin <= f.text_end && f.text_end <= php.size());
    check(!f.message.empty());
  }
}

// True if [offset, offset + length] lies strictly inside a string token.
bool inside_string(const std::vector<corvexa::php_token>& tokens,
                   const corvexa::sql::text_edit& e) {
  for (const corvexa::php_token& t : tokens) {
    if (t.kind == corvexa::php_token_kind::string && t.offset < e.offset &&
        e.offset + e.length < t.offset + t.length) {
      return true;
    }
  }
  return false;
}

// An edit of the code: an addslashes() call made pg_escape_string() on the
// converted connection, or str_replace() that doubles quotes where its
// value went into a variable.
bool renames_addslashes(std::string_view php, const corvexa::sql::text_edit& e) {
  std::string_view replaced = php.substr(e.offset, e.length);
  return (e.replacement == "pg_escape_string($GLOBALS['pg_last_link'], " ||
          e.replacement == "str_replace(\"'\", \"''\", ") &&
         corvexa::ascii_lowered(replaced.substr(0, 10)) == "addslashes" && replaced.back() == '(';
}

void check_edits(std::string_view php, const corvexa::sql::query_report& report) {
  if (report.edits.empty()) return;
  std::vector<corvexa::php_token> before = corvexa::php_tokens(php);
  std::string rewritten;
  std::uint64_t at = 0;
  for (const corvexa::sql::text_edit& e : report.edits) {
    check(e.offset >= at && e.offset + e.length <= php.size());
    if (renames_addslashes(php, e)) continue;  // left out of the token comparison
    check(inside_string(before, e));
    rewritten.append(php.substr(at, e.offset - at));
    rewritten += e.replacement;
    at = e.offset + e.length;
  }
  rewritten.append(php.substr(at));
  std::vector<corvexa::php_token> after = corvexa::php_tokens(rewritten);
  check(after.size() == before.size());
  for (std::size_t i = 0; i < before.size() && i < after.size(); ++i) {
    check(after[i].kind == before[i].kind);
    if (before[i].kind == corvexa::php_token_kind::string) continue;
    check(php.substr(before[i].offset, before[i].length) ==
          std::string_view(rewritten).substr(after[i].offset, after[i].length));
  }
}

void check_wrappers(std::string_view php, const std::vector<corvexa::sql::query_wrapper>& found) {
  for (std::size_t i = 0; i < found.size(); ++i) {
    check(!found[i].name.empty());
    for (char c : found[i].name) check(c < 'A' || c > 'Z');
    if (i > 0) check(found[i - 1] < found[i]);
  }
  check(corvexa::sql::find_query_wrappers(php, found) == found);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const corvexa::sql::schema_model schema = [] {
    corvexa::sql::schema_model s;
    corvexa::sql::table_model users;
    users.name = "users";
    users.columns = {{"id", "integer", true, true}, {"name", "text", false, false}};
    s.add(users);
    return s;
  }();
  std::string_view php(reinterpret_cast<const char*>(data), size);
  std::vector<corvexa::sql::query_wrapper> found = corvexa::sql::find_query_wrappers(php);
  check_wrappers(php, found);
  const corvexa::sql::wrapper_table wrappers(found);
  corvexa::sql::query_report reported =
      corvexa::sql::check_php_queries(php, {false, &schema, &wrappers});
  check_findings(php, reported);
  check(reported.edits.empty());
  corvexa::sql::query_report rewritten =
      corvexa::sql::check_php_queries(php, {true, &schema, &wrappers});
  check_findings(php, rewritten);
  check_edits(php, rewritten);
  check(rewritten.texts_found == reported.texts_found);
  // The names of created tables are read from the file's own bytes.
  std::set<std::string> created;
  corvexa::sql::gather_created_tables(php, created);
  for (const std::string& name : created) {
    check(!name.empty() && name.size() <= 256 && corvexa::ascii_lowered(name) == name);
  }
  return 0;
}
