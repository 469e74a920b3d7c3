// Rewrites the MySQL SQL of a PHP file with the SQL checks' rewrites, for the
// test that runs the result on a real PostgreSQL server: reads IN, writes
// the rewritten file to OUT, and prints what remains to do (one finding a
// line) and the extensions the rewrites need. The tables the queries are
// held against are those of the MySQL schema FILE and the --auto-increment
// columns.
//
//   sql_rewrite_tool [--schema FILE] [--auto-increment TABLE.COLUMN]... IN OUT
//
// Exit status: 0 when OUT was written, 1 on a read or write error, 2 for a
// usage error.
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "common/byte_streams.h"
#include "schema/mysql_sql_conversion.h"
#include "sql/query_checks.h"

namespace {

bool read_file(const char* path, std::string& bytes) {
  std::ifstream file(path, std::ios::binary);
  if (!file) return false;
  bytes.assign(std::istreambuf_iterator<char>(file), {});
  return !file.bad();
}

// Adds TABLE.COLUMN as an auto-increment column to `schema`.
bool add_auto_increment(const std::string& table_column, corvexa::sql::schema_model& schema) {
  std::size_t dot = table_column.find('.');
  if (dot == std::string::npos) return false;
  corvexa::sql::table_model table;
  if (const corvexa::sql::table_model* known = schema.table(table_column.substr(0, dot)))
    table = *known;
  table.name = table_column.substr(0, dot);
  table.columns.insert(table.columns.begin(),
                       {table_column.substr(dot + 1), "integer", true, true});
  schema.add(table);
  return true;
}

// Adds the tables of the MySQL schema file `path` to `schema`.
bool add_schema_file(const char* path, corvexa::sql::schema_model& schema) {
  std::string sql;
  if (!read_file(path, sql)) return false;
  corvexa::memory_reader reader(sql);
  corvexa::schema::sql_conversion_result result = corvexa::schema::read_schema_model(reader);
  for (const auto& [name, table] : result.model.tables()) schema.add(table);
  return !result.read_failed;
}

}  // namespace

int main(int argc, char** argv) {
  corvexa::sql::schema_model schema;
  std::vector<const char*> files;
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    if (arg == "--schema" && i + 1 < argc) {
      if (!add_schema_file(argv[++i], schema)) {
        std::fprintf(stderr, "cannot read the schema file %s\n", argv[i]);
        return 1;
      }
    } else if (arg == "--auto-increment" && i + 1 < argc) {
      if (!add_auto_increment(argv[++i], schema)) return 2;
    } else {
      files.push_back(argv[i]);
    }
  }
  if (files.size() != 2) {
    std::fprintf(stderr, "usage: %s [--schema FILE] [--auto-increment TABLE.COLUMN]... IN OUT\n",
                 argv[0]);
    return 2;
  }
  std::string php;
  if (!read_file(files[0], php)) {
    std::fprintf(stderr, "cannot read %s\n", files[0]);
    return 1;
  }
  corvexa::sql::query_options options{true, &schema};
  corvexa::sql::query_report report = corvexa::sql::check_php_queries(php, options);
  std::string out;
  std::uint64_t at = 0;
  for (const corvexa::sql::text_edit& e : report.edits) {
    out.append(php, at, e.offset - at);
    out += e.replacement;
    at = e.offset + e.length;
  }
  out.append(php, at);
  std::ofstream file(files[1], std::ios::binary);
  if (!(file << out) || !file.flush()) {
    std::fprintf(stderr, "cannot write %s\n", files[1]);
    return 1;
  }
  for (const corvexa::sql::sql_finding& f : report.findings) {
    std::printf("finding at %llu: %s [%s]\n", static_cast<unsigned long long>(f.offset),
                f.message.c_str(), std::string(f.rule).c_str());
  }
  for (const std::string& extension : report.extensions)
    std::printf("extension: %s\n", extension.c_str());
  std::printf("texts: %llu found, %llu rewritten\n",
              static_cast<unsigned long long>(report.texts_found),
              static_cast<unsigned long long>(report.texts_rewritten));
  return 0;
}
