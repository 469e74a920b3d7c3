// The conversion streams from the source file's descriptor into a
// temporary file in the output folder, renamed when complete; the
// positions of its findings come from a second pass over the source.
#include "tree/sql_file_task.h"

#include <algorithm>
#include <unordered_map>
#include <utility>

#include "common/byte_streams.h"
#include "common/read_ahead.h"
#include "common/write_behind.h"
#include "report/rules.h"
#include "schema/mysql_sql_conversion.h"
#include "tree/file_positions.h"
#include "tree/task_places.h"

namespace corvexa {
namespace {

rule_id rule_of(const schema::schema_finding& found) {
  return found.rule == schema::unsupported_rule ? rule_id::sql_schema_unsupported
                                                : rule_id::sql_schema_convert;
}

std::string_view kind_name(schema::statement_kind kind) {
  switch (kind) {
    case schema::statement_kind::ddl: return "MySQL DDL";
    case schema::statement_kind::rows: return "MySQL rows";
    case schema::statement_kind::other: break;
  }
  return "a MySQL statement";
}

// One note per statement the seed rules left as MySQL wrote it, at the
// statement's first token; where the conversion already has a finding at
// that place, the note joins its message.
void add_migration_notes(const std::vector<schema::changed_statement>& changed,
                         std::vector<finding>& findings) {
  std::unordered_map<std::uint64_t, std::size_t> finding_at;
  for (std::size_t i = findings.size(); i-- > 0;) finding_at[findings[i].source_offset] = i;
  for (const schema::changed_statement& statement : changed) {
    std::string note = statement.what + ": " + std::string(kind_name(statement.kind)) +
                       "; corvexa-tree --rules complete converts it";
    if (auto there = finding_at.find(statement.offset); there != finding_at.end()) {
      findings[there->second].message += "; " + note;
      continue;
    }
    finding added = make_finding(rule_id::sql_schema_migrate, {}, std::move(note));
    added.source_offset = statement.offset;
    findings.push_back(std::move(added));
  }
}

// The converter's findings, and the notes on the statements it would
// change, with their places in the source file; an .sql file's output
// positions are not followed, so they are left at zero.
std::vector<finding> located(const std::vector<schema::schema_finding>& found,
                             const std::vector<schema::changed_statement>& changed, int source) {
  std::vector<finding> findings;
  std::vector<std::uint64_t> offsets;
  for (const schema::schema_finding& f : found) {
    finding each = make_finding(rule_of(f), {}, f.message);
    if (f.level == schema::schema_severity::note) each.level = severity::note;
    each.source_offset = f.offset;
    findings.push_back(std::move(each));
  }
  add_migration_notes(changed, findings);
  std::stable_sort(findings.begin(), findings.end(), [](const finding& a, const finding& b) {
    return a.source_offset < b.source_offset;
  });
  for (const finding& f : findings) offsets.push_back(f.source_offset);
  std::vector<file_position> positions = file_positions(source, offsets);
  for (std::size_t i = 0; i < findings.size() && i < positions.size(); ++i) {
    findings[i].source = positions[i].position;
    findings[i].source_column_in_characters = positions[i].column_in_characters;
  }
  return findings;
}

// Runs the conversion of `source` into `output`, knowing the tables and
// the extensions of `context`; false when reading or writing failed.
// `list` asks for the statements the conversion changes.
bool convert(int source, byte_writer& output, const task_context& context,
             schema::sql_conversion_result& result, bool list = false) {
  file_input input(source);
  schema::sql_conversion_options options;
  options.known = context.schema;
  options.list_changed_statements = list;
  if (context.extensions != nullptr) options.extensions = *context.extensions;
  result = schema::convert_mysql_sql(input.reader(), output, options);
  return !result.read_failed && !result.write_failed;
}

}  // namespace

void read_sql_tables(const task_context& context, const tree_entry& entry, task_result& result) {
  place from;
  descriptor source;
  if (!find_source(context, entry, from).empty()) return;
  if (!open_regular_file(from.folder->get(), from.name, source).empty()) return;
  file_input input(source.get());
  result.model = schema::read_schema_model(input.reader()).model;
}

void process_sql_file(const task_context& context, const tree_entry& entry, task_result& result) {
  bool converts = context.options.rules == rule_set::complete && !context.options.diff;
  place from;
  io_error error = find_source(context, entry, from);
  schema::sql_conversion_result converted;
  if (error.empty() && converts) {
    place to;
    error = find_output(context, entry, to);
    if (error.empty()) {
      error = filter_file_atomically(
          from.folder->get(), from.name, to.folder->get(), to.name, [&](int input, int output) {
            file_output written(output, worth_a_thread(input));
            bool converted_all = convert(input, written.writer(), context, converted);
            return written.finish() && converted_all;
          });
    }
  } else if (error.empty()) {
    descriptor source;
    error = open_regular_file(from.folder->get(), from.name, source);
    discarding_writer nowhere;
    bool seed = context.options.rules == rule_set::seed;
    if (error.empty() && !convert(source.get(), nowhere, context, converted, seed)) {
      error = "could not read";
    }
    if (error.empty() && !context.options.diff) {
      place to;
      error = find_output(context, entry, to);
      if (error.empty()) {
        error = copy_file_atomically(from.folder->get(), from.name, to.folder->get(), to.name);
      }
    }
  }
  if (!error.empty()) return note_failure(result, std::move(error));
  descriptor source;
  if (open_regular_file(from.folder->get(), from.name, source).empty()) {
    result.report.findings =
        located(converted.findings, converted.changed_statements, source.get());
  }
}

}  // namespace corvexa
