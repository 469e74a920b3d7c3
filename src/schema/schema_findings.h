// What a conversion of a MySQL .sql file reports: each place that could not
// be converted exactly is a finding with its rule, its message and the byte
// offset in the input file, from which the caller computes a line and a
// column. Every message text stands once, in the table of issues behind
// describe(); the converter names an issue and, where the text needs it, a
// detail such as a column name.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace corvexa::schema {

enum class schema_severity { warning, note };

struct schema_rule {
  std::string_view id;
  schema_severity level;
  std::string_view description;
};

// Converted, but PostgreSQL behaves differently or the data was changed.
inline constexpr std::string_view convert_rule = "sql-schema-convert";
// Not converted: written as a comment, or left as it was, to be done by hand.
inline constexpr std::string_view unsupported_rule = "sql-schema-unsupported";

// Both rules, in the order the reports list them.
std::span<const schema_rule> schema_rules();

// Everything the converter can report. Each has one rule, one severity and
// one message text (in schema_findings.cc).
enum class issue {
  zero_date_default,
  zero_date_value,
  empty_number,
  time_became_interval,
  invalid_utf8,
  nul_in_text,
  unsupported_charset,
  risky_charset,
  prefix_length,
  unique_prefix,
  fulltext_index,
  spatial_index,
  spatial_type,
  unknown_type,
  enum_order,
  set_type,
  bit_type,
  unsigned_bigint_identity,
  grouped_identity,
  on_update_timestamp,
  implicit_timestamp,
  virtual_column,
  inline_references,
  check_not_enforced,
  match_partial,
  foreign_key_ignored,
  partitioning,
  table_option,
  database_statement,
  routine,
  unsupported_statement,
  does_not_parse,
  unterminated,
  replace_without_key,
  ignore_other_errors,
  duplicate_update_without_key,
  duplicate_update_split,
  user_variable,
  unknown_setting,
  column_position,
  fk_type_changed,
  hex_too_long,
  identity_type,
  alter_unsupported,
  dropped_clause,
  view_query,
  convert_comparison,
  mysql_construct_left,
  conflict_on_one_key,
};

struct schema_finding {
  std::string_view rule;
  schema_severity level = schema_severity::warning;
  std::string message;
  std::uint64_t offset = 0;  // byte offset in the input file
};

// The finding `kind` at `offset`; `detail` fills the message's "{}".
schema_finding describe(issue kind, std::uint64_t offset, std::string_view detail = {});

// The findings of a run, in the order they were found.
class finding_list {
 public:
  void add(issue kind, std::uint64_t offset, std::string_view detail = {}) {
    found_.push_back(describe(kind, offset, detail));
  }
  std::vector<schema_finding>& all() { return found_; }
  const std::vector<schema_finding>& all() const { return found_; }

 private:
  std::vector<schema_finding> found_;
};

}  // namespace corvexa::schema
