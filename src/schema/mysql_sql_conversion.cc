// The three entry points over one file_converter.
#include "schema/mysql_sql_conversion.h"

#include "common/output_sink.h"
#include "schema/file_converter.h"
#include "schema/sql_source.h"

namespace corvexa::schema {
namespace {

sql_conversion_result run(sql_source& source, byte_writer& writer,
                          const sql_conversion_options& options, const file_converter_setup& setup,
                          const sql::schema_model* known = nullptr) {
  sql_conversion_result result;
  output_sink sink(writer);
  file_converter converter(source, sink, options, setup, result);
  if (known != nullptr) converter.know(*known);
  converter.run();
  result.write_failed = !sink.flush();
  return result;
}

}  // namespace

sql_conversion_result convert_mysql_sql(byte_reader& in, byte_writer& out,
                                        const sql_conversion_options& options) {
  sql_source source(in);
  file_converter_setup setup;
  setup.defer_foreign_keys = options.defer_foreign_keys;
  return run(source, out, options, setup, options.known);
}

sql_conversion_result read_schema_model(byte_reader& in, const sql_conversion_options& options) {
  sql_source source(in);
  discarding_writer nowhere;
  file_converter_setup setup;
  setup.convert_rows = false;
  setup.defer_foreign_keys = options.defer_foreign_keys;
  return run(source, nowhere, options, setup);
}

statement_conversion convert_mysql_statement(std::string_view statement,
                                             const sql::schema_model* known) {
  sql_source source(statement);
  std::string text;
  string_writer writer(text);
  file_converter_setup setup;
  setup.write_header = false;
  setup.defer_foreign_keys = false;
  sql_conversion_result result = run(source, writer, {}, setup, known);
  return {std::move(text), std::move(result.findings), std::move(result.model)};
}

}  // namespace corvexa::schema
