// corvexa-sql-convert: converts one MySQL .sql file to PostgreSQL SQL with
// the schema library, and prints its findings as file:line:column lines.
// A tool for trying the library, its tests and its benchmark; corvexa-tree
// is where .sql files of an application are converted.
//
//   corvexa-sql-convert [--charset NAME] [--schema-only] IN.sql OUT.sql
//
// Exit status: 0 after a conversion, 1 when a file cannot be read or
// written, 2 for a usage error.
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "common/byte_streams.h"
#include "schema/mysql_sql_conversion.h"

namespace {

using corvexa::schema::schema_finding;

constexpr const char* usage =
    "usage: corvexa-sql-convert [--charset NAME] [--schema-only] IN.sql OUT.sql\n";

// Prints each finding with the line and column of its offset in `path`,
// read again from the start.
void print_findings(const char* path, std::vector<schema_finding> findings) {
  std::stable_sort(
      findings.begin(), findings.end(),
      [](const schema_finding& a, const schema_finding& b) { return a.offset < b.offset; });
  FILE* file = std::fopen(path, "rb");
  std::vector<char> block(1 << 16);
  std::size_t filled = 0, used = 0;  // of block
  std::uint64_t offset = 0, line = 1, line_start = 0;
  for (const schema_finding& f : findings) {
    // Counts the line breaks before the finding, a block at a time.
    while (file != nullptr && offset < f.offset) {
      if (used == filled) {
        filled = std::fread(block.data(), 1, block.size(), file);
        used = 0;
        if (filled == 0) break;
      }
      std::size_t take = std::min<std::uint64_t>(filled - used, f.offset - offset);
      const char* start = block.data() + used;
      for (const char* p = start;
           (p = static_cast<const char*>(std::memchr(p, '\n', take - (p - start)))) != nullptr;
           ++p) {
        ++line;
        line_start = offset + static_cast<std::uint64_t>(p - start) + 1;
      }
      used += take;
      offset += take;
    }
    std::printf("%s:%llu:%llu: %s: %s [%.*s]\n", path, static_cast<unsigned long long>(line),
                static_cast<unsigned long long>(f.offset - line_start + 1),
                f.level == corvexa::schema::schema_severity::note ? "note" : "warning",
                f.message.c_str(), static_cast<int>(f.rule.size()), f.rule.data());
  }
  if (file != nullptr) std::fclose(file);
}

}  // namespace

int main(int argc, char** argv) {
  corvexa::schema::sql_conversion_options options;
  bool schema_only = false;
  std::vector<const char*> files;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--charset") == 0 && i + 1 < argc) {
      options.charset = argv[++i];
    } else if (std::strcmp(argv[i], "--schema-only") == 0) {
      schema_only = true;
    } else {
      files.push_back(argv[i]);
    }
  }
  if (files.size() != (schema_only ? 1u : 2u)) {
    std::fputs(usage, stderr);
    return 2;
  }
  int in = ::open(files[0], O_RDONLY);
  if (in < 0) {
    std::fprintf(stderr, "corvexa-sql-convert: cannot read %s: %s\n", files[0],
                 std::strerror(errno));
    return 1;
  }
  corvexa::fd_reader reader(in);
  corvexa::schema::sql_conversion_result result;
  if (schema_only) {
    result = corvexa::schema::read_schema_model(reader, options);
    for (const auto& [name, table] : result.model.tables()) {
      std::printf("table %s\n", name.c_str());
      for (const auto& column : table.columns) {
        std::printf("  %s %s%s%s\n", column.name.c_str(), column.type.c_str(),
                    column.not_null ? " not null" : "", column.auto_increment ? " identity" : "");
      }
    }
  } else {
    int out = ::open(files[1], O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (out < 0) {
      std::fprintf(stderr, "corvexa-sql-convert: cannot write %s: %s\n", files[1],
                   std::strerror(errno));
      return 1;
    }
    corvexa::fd_writer writer(out);
    result = corvexa::schema::convert_mysql_sql(reader, writer, options);
    if (::close(out) != 0) result.write_failed = true;
  }
  ::close(in);
  print_findings(files[0], result.findings);
  if (result.read_failed || result.write_failed) {
    std::fprintf(stderr, "corvexa-sql-convert: %s failed\n",
                 result.read_failed ? "reading" : "writing");
    return 1;
  }
  return 0;
}
