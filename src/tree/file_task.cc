// Each task works on one entry, reports every failure in its file_report
// and never throws: running out of memory on one file fails that file.
#include "tree/file_task.h"

#include <new>

#include "report/located_findings.h"
#include "report/unified_diff.h"
#include "tree/file_io.h"
#include "tree/php_conversion.h"

namespace corvexa {
namespace {

std::string join(const std::string& folder, const std::string& path) {
  return folder.back() == '/' ? folder + path : folder + "/" + path;
}

void convert_php_file(const task_context& context, const tree_entry& entry,
                      task_result& result) {
  const tree_options& options = context.options;
  read_file source;
  io_error error = read_regular_file(join(options.source_dir, entry.path), source);
  if (!error.empty()) {
    result.report.kind = file_kind::failed;
    result.report.problem = error;
    return;
  }
  converted_text converted;
  convert_text(source.bytes, context.calls, options.database_name, converted);
  for (const replaced_call& call : converted.log.calls()) {
    if (call.translated) ++result.report.calls_converted[std::string(call.name)];
  }
  result.report.findings = locate_findings(converted.log, source.bytes, converted.output,
                                           options.database_name);
  if (options.diff) {
    result.diff = unified_diff(entry.path, source.bytes, converted.output,
                               converted.log.calls());
    return;
  }
  error = write_file_atomically(join(options.output_dir, entry.path), converted.output,
                                source.mode);
  if (!error.empty()) {
    result.report.kind = file_kind::failed;
    result.report.problem = error;
  }
}

void copy_other_file(const task_context& context, const tree_entry& entry,
                     task_result& result) {
  if (context.options.diff) return;
  io_error error = copy_file_atomically(join(context.options.source_dir, entry.path),
                                        join(context.options.output_dir, entry.path));
  if (!error.empty()) {
    result.report.kind = file_kind::failed;
    result.report.problem = error;
  }
}

void recreate_link(const task_context& context, const tree_entry& entry,
                   task_result& result) {
  if (context.options.diff) return;
  io_error error =
      make_link_atomically(entry.link_target, join(context.options.output_dir, entry.path));
  if (!error.empty()) {
    result.report.kind = file_kind::failed;
    result.report.problem = error;
  }
}

}  // namespace

bool has_php_extension(const std::string& path, const tree_options& options) {
  std::size_t slash = path.rfind('/');
  std::size_t dot = path.rfind('.');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return false;
  std::string extension = path.substr(dot + 1);
  for (char& c : extension) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  for (const std::string& wanted : options.php_extensions) {
    if (extension == wanted) return true;
  }
  return false;
}

task_result run_file_task(const task_context& context, const tree_entry& entry) {
  task_result result;
  result.report.path = entry.path;
  try {
    switch (entry.type) {
      case entry_type::regular_file:
        if (has_php_extension(entry.path, context.options)) {
          result.report.kind = file_kind::php;
          convert_php_file(context, entry, result);
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
      case entry_type::folder:
        break;
    }
  } catch (const std::bad_alloc&) {
    result = task_result{};
    result.report.path = entry.path;
    result.report.kind = file_kind::failed;
    result.report.problem = "out of memory";
  }
  return result;
}

}  // namespace corvexa
