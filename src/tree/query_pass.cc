// The edits are applied in one pass, and an offset is moved by the sum of
// what the edits before it added or took away: a binary search over their
// running totals.
#include "tree/query_pass.h"

#include <algorithm>
#include <set>

#include "common/ascii.h"
#include "report/rules.h"
#include "schema/mysql_sql_conversion.h"
#include "sql/query_checks.h"
#include "tree/magic_quotes_pass.h"
#include "tree/stripslashes_pass.h"
#include "tree/zero_date_pass.h"

namespace corvexa {
namespace {

constexpr std::string_view stripslashes_message =
    "values come back from PostgreSQL as they were stored: remove stripslashes()";

constexpr std::string_view zero_date_message =
    "PostgreSQL has no zero date: the converted data holds NULL in its place (-infinity in a "
    "NOT NULL column), so compare the value with null, and write NULL instead";

rule_id rule_of_check(std::string_view name) {
  if (name == sql::rule_sql_syntax) return rule_id::sql_syntax;
  if (name == sql::rule_sql_mysql) return rule_id::sql_mysql;
  if (name == sql::rule_sql_schema) return rule_id::sql_schema;
  if (name == sql::rule_sql_case) return rule_id::sql_case;
  return rule_id::sql_unchecked;
}

// The seed rules place what lies inside a converted call at the call: there
// a text comparison's note yields to the other findings, as it does where
// the checks place them apart.
void notes_yield_to_other_findings(std::vector<finding>& findings) {
  std::set<std::uint64_t> taken;
  for (const finding& f : findings) {
    if (f.id != rule_id::sql_case) taken.insert(f.source_offset);
  }
  std::erase_if(findings, [&](const finding& f) {
    return f.id == rule_id::sql_case && taken.count(f.source_offset) > 0;
  });
}

// Moves offsets of a text through its edits: an offset after an edit moves
// by what the edits up to it changed in length, one inside an edit goes to
// where its replacement begins.
class offset_mover {
 public:
  explicit offset_mover(const std::vector<sql::text_edit>& edits) : edits_(edits) {
    std::int64_t shift = 0;
    for (const sql::text_edit& edit : edits) {
      shift += static_cast<std::int64_t>(edit.replacement.size()) -
               static_cast<std::int64_t>(edit.length);
      shift_after_.push_back(shift);
    }
  }

  std::uint64_t operator()(std::uint64_t offset) const {
    // The edits that end at or before the offset lie wholly before it.
    auto after = std::upper_bound(edits_.begin(), edits_.end(), offset,
                                  [](std::uint64_t at, const sql::text_edit& edit) {
                                    return at < edit.offset + edit.length;
                                  });
    std::size_t before = static_cast<std::size_t>(after - edits_.begin());
    std::int64_t shift = before == 0 ? 0 : shift_after_[before - 1];
    if (after != edits_.end() && offset > after->offset) offset = after->offset;
    return static_cast<std::uint64_t>(static_cast<std::int64_t>(offset) + shift);
  }

 private:
  const std::vector<sql::text_edit>& edits_;
  std::vector<std::int64_t> shift_after_;
};

// The .sql converter's result for one statement: converted when nothing was
// left as a comment or unconverted; its warnings are what behaves
// differently.
sql::ddl_conversion convert_ddl(std::string_view statement, const sql::schema_model* schema) {
  schema::statement_conversion conversion = schema::convert_mysql_statement(statement, schema);
  sql::ddl_conversion out;
  for (const schema::schema_finding& f : conversion.findings) {
    if (f.rule == schema::unsupported_rule && out.problem.empty()) out.problem = f.message;
    if (f.rule != schema::unsupported_rule && f.level == schema::schema_severity::warning)
      out.warnings.push_back(f.message);
  }
  bool commented =
      conversion.text.rfind("-- ", 0) == 0 || conversion.text.find("\n-- ") != std::string::npos;
  if (out.problem.empty() && commented) out.problem = "part of it became a comment";
  if (out.problem.empty() && conversion.text.empty()) out.problem = "nothing came out";
  out.converted = out.problem.empty();
  if (out.converted) out.text = std::move(conversion.text);
  return out;
}

// True if the output span [begin, end) lies inside a replaced call.
bool inside_a_call(const std::vector<replaced_call>& calls, std::uint64_t begin) {
  auto after = std::upper_bound(
      calls.begin(), calls.end(), begin,
      [](std::uint64_t at, const replaced_call& call) { return at < call.output_begin; });
  return after != calls.begin() && begin < (after - 1)->output_end;
}

// The replaced calls and the edits outside them, in order: what a diff
// shows as changed.
std::vector<replaced_call> changes_of(const event_log& log,
                                      const std::vector<sql::text_edit>& edits,
                                      const std::vector<std::uint64_t>& edit_sources) {
  std::vector<replaced_call> changes(log.calls().begin(), log.calls().end());
  const std::vector<replaced_call>& calls = log.calls();
  std::int64_t shift = 0;  // what the edits before this one changed in length
  for (std::size_t i = 0; i < edits.size(); ++i) {
    auto begin = static_cast<std::uint64_t>(static_cast<std::int64_t>(edits[i].offset) + shift);
    shift += static_cast<std::int64_t>(edits[i].replacement.size()) -
             static_cast<std::int64_t>(edits[i].length);
    if (inside_a_call(calls, begin)) continue;
    replaced_call change;
    change.source_begin = edit_sources[i];
    change.source_end = edit_sources[i] + edits[i].length;
    change.output_begin = change.replacement_begin = begin;
    change.output_end = begin + edits[i].replacement.size();
    changes.push_back(change);
  }
  std::sort(changes.begin(), changes.end(), [](const replaced_call& a, const replaced_call& b) {
    return a.source_begin < b.source_begin;
  });
  return changes;
}

// Joins the edits of the magic quotes pass to those of the queries, which
// lie in query texts and never meet a call outside them.
void add_magic_quotes_edits(std::string_view php, std::vector<sql::text_edit>& edits) {
  if (!contains_ignoring_ascii_case(php, "get_magic_quotes_")) return;
  for (sql::text_edit& edit : magic_quotes_edits(php)) {
    bool overlaps = std::any_of(edits.begin(), edits.end(), [&](const sql::text_edit& e) {
      return e.offset < edit.offset + edit.length && edit.offset < e.offset + e.length;
    });
    if (!overlaps) edits.push_back(std::move(edit));
  }
  std::stable_sort(
      edits.begin(), edits.end(),
      [](const sql::text_edit& a, const sql::text_edit& b) { return a.offset < b.offset; });
}

}  // namespace

query_pass check_queries(converted_text& converted, bool rewrite, const sql::schema_model* schema,
                         const sql::wrapper_table* wrappers, const sql::statement_judge* against) {
  query_pass pass;
  sql::query_options options{rewrite, schema, wrappers, {}, against};
  options.convert_ddl = [schema](std::string_view statement) {
    return convert_ddl(statement, schema);
  };
  sql::query_report report = sql::check_php_queries(converted.output, options);
  if (rewrite) add_magic_quotes_edits(converted.output, report.edits);
  pass.counts = {report.texts_found, report.texts_parsed, report.texts_rejected,
                 report.texts_rewritten, report.texts_unchecked};
  pass.extensions = report.extensions;
  for (const sql::sql_finding& found : report.findings) {
    finding f = make_finding(rule_of_check(found.rule), {}, found.message);
    f.output_offset = found.offset;
    f.source_offset = converted.log.source_offset_of(found.offset);
    pass.findings.push_back(std::move(f));
  }
  notes_yield_to_other_findings(pass.findings);
  std::vector<std::uint64_t> edit_sources;
  for (const sql::text_edit& edit : report.edits) {
    edit_sources.push_back(converted.log.source_offset_of(edit.offset));
  }
  offset_mover move(report.edits);
  if (!report.edits.empty()) {
    converted.output = sql::with_edits(converted.output, report.edits);
    converted.log.remap_output(move);
    for (finding& f : pass.findings) f.output_offset = move(f.output_offset);
  }
  pass.changes = changes_of(converted.log, report.edits, edit_sources);
  for (std::uint64_t at : stripslashes_of_fetched_values(converted.output)) {
    finding f =
        make_finding(rule_id::php_stripslashes, "stripslashes", std::string(stripslashes_message));
    f.output_offset = at;
    f.source_offset = converted.log.source_offset_of(at);
    pass.findings.push_back(std::move(f));
  }
  for (std::uint64_t at : zero_dates_in_code(converted.output)) {
    finding f = make_finding(rule_id::php_zero_date, {}, std::string(zero_date_message));
    f.output_offset = at;
    f.source_offset = converted.log.source_offset_of(at);
    pass.findings.push_back(std::move(f));
  }
  return pass;
}

}  // namespace corvexa
