// Each task works on one entry, reports every failure in its file_report
// and never throws: running out of memory on one file fails that file.
#include "tree/file_task.h"

#include <new>

#include <utility>
#include "common/ascii.h"

#include "report/located_findings.h"
#include "report/unified_diff.h"
#include "tree/file_io.h"
#include "tree/php_conversion.h"
#include "tree/query_pass.h"
#include "tree/relative_path.h"
#include "tree/sql_file_task.h"
#include "tree/task_places.h"

namespace corvexa {
namespace {

void convert_php_file(const task_context& context, const tree_entry& entry, task_result& result) {
  const tree_options& options = context.options;
  place from;
  io_error error = find_source(context, entry, from);
  read_file source;
  if (error.empty()) error = read_regular_file(from.folder->get(), from.name, source);
  if (!error.empty()) return note_failure(result, std::move(error));
  converted_text converted;
  convert_text(source.bytes, context.calls, options.rules, converted);
  for (const replaced_call& call : converted.log.calls()) {
    if (call.translated) ++result.report.calls_converted[std::string(call.name)];
  }
  query_pass queries = check_queries(converted, options.rules == rule_set::complete, context.schema,
                                     context.wrappers, context.against);
  result.report.queries = queries.counts;
  result.report.extensions = std::move(queries.extensions);
  result.report.findings =
      locate_findings(converted.log, source.bytes, converted.output,
                      {options.database_name, context.extension, options.rules == rule_set::seed},
                      std::move(queries.findings));
  if (options.diff) {
    result.diff = unified_diff(entry.path, source.bytes, converted.output, queries.changes);
    return;
  }
  place to;
  error = find_output(context, entry, to);
  if (error.empty()) {
    error = write_file_atomically(to.folder->get(), to.name, converted.output, source.mode);
  }
  note_failure(result, std::move(error));
}

void copy_other_file(const task_context& context, const tree_entry& entry, task_result& result) {
  if (context.options.diff) return;
  place from, to;
  io_error error = find_source(context, entry, from);
  if (error.empty()) error = find_output(context, entry, to);
  if (error.empty()) {
    error = copy_file_atomically(from.folder->get(), from.name, to.folder->get(), to.name);
  }
  note_failure(result, std::move(error));
}

void recreate_link(const task_context& context, const tree_entry& entry, task_result& result) {
  if (context.options.diff) return;
  place to;
  io_error error = find_output(context, entry, to);
  if (error.empty()) error = make_link_atomically(entry.link_target, to.folder->get(), to.name);
  note_failure(result, std::move(error));
}

}  // namespace

bool has_extension(const std::string& path, const std::vector<std::string>& extensions) {
  std::size_t slash = path.rfind('/');
  std::size_t dot = path.rfind('.');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return false;
  std::string extension = ascii_lowered(std::string_view(path).substr(dot + 1));
  for (const std::string& wanted : extensions) {
    if (extension == wanted) return true;
  }
  return false;
}

bool has_failed_ancestor(const std::string& path, const std::unordered_set<std::string>& failed) {
  if (failed.empty()) return false;
  for (std::size_t slash = path.find('/'); slash != std::string::npos;
       slash = path.find('/', slash + 1)) {
    if (failed.contains(path.substr(0, slash))) return true;
  }
  return false;
}

task_result run_file_task(const task_context& context, const tree_entry& entry) {
  task_result result;
  result.report.path = entry.path;
  if (!context.options.diff && has_failed_ancestor(entry.path, context.failed_folders)) {
    result.report.kind = file_kind::failed;
    result.report.problem = "not written: its output folder could not be created";
    return result;
  }
  try {
    switch (entry.type) {
      case entry_type::regular_file:
        if (has_extension(entry.path, context.options.php_extensions)) {
          result.report.kind = file_kind::php;
          convert_php_file(context, entry, result);
        } else if (has_extension(entry.path, context.options.sql_extensions)) {
          result.report.kind = file_kind::sql;
          if (context.reading_tables) {
            read_sql_tables(context, entry, result);
          } else {
            process_sql_file(context, entry, result);
          }
        } else {
          result.report.kind = file_kind::copied;
          copy_other_file(context, entry, result);
        }
        break;
      case entry_type::symbolic_link:
        result.report.kind = file_kind::symlink;
        recreate_link(context, entry, result);
        break;
      case entry_type::other:
        result.report.kind = file_kind::skipped;
        result.report.problem = entry.problem;
        break;
      case entry_type::unreadable_folder:
        result.report.kind = file_kind::failed;
        result.report.problem = "could not read folder: " + entry.problem;
        break;
      case entry_type::folder: break;
    }
  } catch (const std::exception& failure) {
    // Out of memory for this file, or a size that no string can hold.
    bool memory = dynamic_cast<const std::bad_alloc*>(&failure) != nullptr;
    result = task_result{};
    result.report.path = entry.path;
    note_failure(result,
                 memory ? "out of memory" : std::string("could not convert: ") + failure.what());
  }
  return result;
}

}  // namespace corvexa
