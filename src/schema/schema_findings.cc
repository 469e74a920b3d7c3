// The rule table and the one message text of every issue.
#include "schema/schema_findings.h"

#include <array>

namespace corvexa::schema {
namespace {

constexpr std::array<schema_rule, 2> rules = {{
    {convert_rule, schema_severity::warning,
     "A MySQL statement of a .sql file was converted for PostgreSQL, but the "
     "result behaves differently or some data was changed on the way."},
    {unsupported_rule, schema_severity::warning,
     "A MySQL statement of a .sql file has no PostgreSQL counterpart: it was "
     "written as a comment (or kept as it was) and must be ported by hand."},
}};

struct issue_text {
  issue kind;
  std::string_view rule;
  schema_severity level;
  std::string_view message;  // "{}" stands for the detail
};

constexpr issue_text issue_texts[] = {
    {issue::zero_date_default, convert_rule, schema_severity::warning,
     "column {}: MySQL's zero date default has no PostgreSQL counterpart; the "
     "default is NULL and the column accepts NULL"},
    {issue::zero_date_value, convert_rule, schema_severity::warning,
     "{} zero or partial dates such as '0000-00-00' written as NULL (or as "
     "'-infinity' in a NOT NULL column); queries comparing with '0000-00-00' "
     "must test IS NULL instead"},
    {issue::empty_number, convert_rule, schema_severity::warning,
     "{} empty strings ('') in numeric columns written as 0, the value MySQL stored "
     "for them outside strict mode"},
    {issue::time_became_interval, convert_rule, schema_severity::warning,
     "column {}: a TIME value outside 00:00:00 to 24:00:00 (a duration) does not fit "
     "PostgreSQL's time: the column became interval, which queries read as a duration"},
    {issue::invalid_utf8, convert_rule, schema_severity::warning,
     "invalid UTF-8 in a utf8 text; its bytes were read as latin1 (cp1252): "
     "check the text, or convert again with the dump's real character set"},
    {issue::nul_in_text, convert_rule, schema_severity::warning,
     "zero bytes removed from a text value: PostgreSQL text cannot hold them; "
     "use a bytea column for binary data"},
    {issue::unsupported_charset, unsupported_rule, schema_severity::warning,
     "character set {} is not known: the text is read as UTF-8; dump again with "
     "mysqldump --default-character-set=utf8mb4"},
    {issue::risky_charset, convert_rule, schema_severity::warning,
     "character set {} is passed to PostgreSQL as it is, but its two-byte "
     "characters may hold a backslash or a quote byte that the conversion reads "
     "as one: dump again with mysqldump --default-character-set=utf8mb4"},
    {issue::prefix_length, convert_rule, schema_severity::note,
     "index key part {}: the prefix length was dropped, PostgreSQL indexes the "
     "whole value (a value over about 2700 bytes cannot be indexed)"},
    {issue::unique_prefix, convert_rule, schema_severity::note,
     "unique key {} has a prefix length: it became a unique index on left(), "
     "which ON CONFLICT cannot name"},
    {issue::fulltext_index, convert_rule, schema_severity::warning,
     "FULLTEXT key {} became a GIN index on to_tsvector('simple', ...): rewrite "
     "MATCH ... AGAINST as to_tsvector('simple', ...) @@ plainto_tsquery(...)"},
    {issue::spatial_index, unsupported_rule, schema_severity::warning,
     "SPATIAL key {} was skipped: spatial data needs PostGIS and a GiST index"},
    {issue::spatial_type, unsupported_rule, schema_severity::warning,
     "column {}: spatial types are kept as bytea (MySQL's internal format); "
     "install PostGIS and convert the column to geometry"},
    {issue::unknown_type, unsupported_rule, schema_severity::warning,
     "column {}: unknown MySQL type, stored as text"},
    {issue::enum_order, convert_rule, schema_severity::note,
     "column {}: ENUM became varchar with a CHECK of its values; it sorts and "
     "compares as text, not by the order of the values"},
    {issue::set_type, convert_rule, schema_severity::note,
     "column {}: SET became varchar of comma-separated values with a CHECK; "
     "FIND_IN_SET() and bit arithmetic on it must be rewritten"},
    {issue::bit_type, convert_rule, schema_severity::note,
     "column {}: BIT became an integer type; b'...' values are written as numbers"},
    {issue::grouped_identity, convert_rule, schema_severity::warning,
     "column {}: AUTO_INCREMENT after other columns of its key numbers the rows of "
     "each value of those columns from 1 in MyISAM; the identity numbers the whole "
     "table, and rows without an id get other numbers than MySQL gave"},
    {issue::unsigned_bigint_identity, convert_rule, schema_severity::note,
     "column {}: BIGINT UNSIGNED AUTO_INCREMENT became a bigint identity, which "
     "holds values up to 2^63-1"},
    {issue::on_update_timestamp, convert_rule, schema_severity::note,
     "column {}: ON UPDATE CURRENT_TIMESTAMP became a BEFORE UPDATE trigger"},
    {issue::implicit_timestamp, convert_rule, schema_severity::note,
     "column {}: the first TIMESTAMP column, written without DEFAULT or ON "
     "UPDATE, is DEFAULT CURRENT_TIMESTAMP ON UPDATE CURRENT_TIMESTAMP in MySQL "
     "before 8.0; it has that default and a BEFORE UPDATE trigger"},
    {issue::virtual_column, convert_rule, schema_severity::warning,
     "column {}: a VIRTUAL generated column became STORED; check that its "
     "expression is valid on PostgreSQL"},
    {issue::inline_references, convert_rule, schema_severity::note,
     "column {}: MySQL ignores a REFERENCES clause on a column, so it was dropped; "
     "declare a FOREIGN KEY to have it enforced"},
    {issue::check_not_enforced, convert_rule, schema_severity::note,
     "CHECK {} is NOT ENFORCED in MySQL and was dropped"},
    {issue::match_partial, convert_rule, schema_severity::warning,
     "foreign key {}: MATCH PARTIAL does not exist in PostgreSQL and was dropped"},
    {issue::foreign_key_ignored, convert_rule, schema_severity::note,
     "foreign key {} was dropped: the table's MySQL engine does not enforce "
     "foreign keys, so the data need not satisfy it"},
    {issue::partitioning, unsupported_rule, schema_severity::warning,
     "PARTITION BY of table {} was dropped: partition the PostgreSQL table by hand"},
    {issue::table_option, convert_rule, schema_severity::note,
     "table option {} has no PostgreSQL counterpart and was dropped"},
    {issue::database_statement, unsupported_rule, schema_severity::warning,
     "{} was dropped: PostgreSQL chooses the database when connecting (psql -d)"},
    {issue::routine, unsupported_rule, schema_severity::warning,
     "{} was written as a comment: rewrite it in PL/pgSQL"},
    {issue::unsupported_statement, unsupported_rule, schema_severity::warning,
     "{} has no PostgreSQL counterpart and was written as a comment"},
    {issue::does_not_parse, unsupported_rule, schema_severity::warning,
     "the converted statement does not parse on PostgreSQL ({}) and was "
     "written as a comment"},
    {issue::unterminated, unsupported_rule, schema_severity::warning,
     "the file ends inside {}: the statement was written as a comment"},
    {issue::replace_without_key, convert_rule, schema_severity::warning,
     "REPLACE into {}, whose key is not known (no CREATE TABLE before it): written "
     "as a plain INSERT, which fails on a duplicate key"},
    {issue::ignore_other_errors, convert_rule, schema_severity::note,
     "INSERT IGNORE became ON CONFLICT DO NOTHING, which skips duplicate keys "
     "only, not other errors"},
    {issue::duplicate_update_without_key, convert_rule, schema_severity::warning,
     "ON DUPLICATE KEY UPDATE into {} could not be converted (the table's key is not "
     "known, or the assignments are not PostgreSQL): written as a plain INSERT, which "
     "fails on a duplicate key"},
    {issue::duplicate_update_split, convert_rule, schema_severity::warning,
     "ON DUPLICATE KEY UPDATE of {} applies only to the rows after the last row "
     "that was split off the statement"},
    {issue::user_variable, unsupported_rule, schema_severity::warning,
     "the statement uses the MySQL variable {}, whose value is not in the file: "
     "it was written as a comment"},
    {issue::unknown_setting, convert_rule, schema_severity::note,
     "SET {} was dropped: it has no PostgreSQL counterpart"},
    {issue::column_position, convert_rule, schema_severity::note,
     "column {}: FIRST/AFTER was dropped, PostgreSQL adds columns at the end"},
    {issue::fk_type_changed, convert_rule, schema_severity::note,
     "column {} took the type of the column it references, so that the foreign "
     "key can be created"},
    {issue::hex_too_long, convert_rule, schema_severity::warning,
     "the number {} does not fit in 64 bits and was written as bytea"},
    {issue::identity_type, unsupported_rule, schema_severity::warning,
     "column {}: AUTO_INCREMENT on a type that cannot be an identity column; "
     "it was dropped"},
    {issue::alter_unsupported, unsupported_rule, schema_severity::warning,
     "ALTER TABLE {}: this change has no PostgreSQL counterpart and was written "
     "as a comment"},
    {issue::dropped_clause, convert_rule, schema_severity::warning,
     "{} has no PostgreSQL counterpart and was dropped"},
    {issue::view_query, convert_rule, schema_severity::warning,
     "view {}: its query was converted as the application's queries are (names, and "
     "MySQL functions that have an exact PostgreSQL form); check that PostgreSQL runs it "
     "the same"},
    {issue::convert_comparison, unsupported_rule, schema_severity::warning,
     "CONVERT TO of table {} changes how its text columns compare, which the converted "
     "columns do not follow: make them citext (compared without case) or text (with case) "
     "by hand"},
    {issue::mysql_construct_left, convert_rule, schema_severity::warning,
     "the statement keeps a MySQL construct that has no exact PostgreSQL form here, and "
     "may not load or may differ: {}"},
    {issue::conflict_on_one_key, convert_rule, schema_severity::warning,
     "the rows of {} give values for more than one unique key: ON CONFLICT names the first, "
     "and a collision on another fails where MySQL replaces or updates that row"},
};

// `detail` (a piece of the input) fit for a message: at most 80 bytes, on
// one line, with every byte outside printable ASCII and whole UTF-8
// characters shown as '?'.
std::string printable_detail(std::string_view detail) {
  constexpr std::size_t limit = 80;
  std::string shown;
  for (std::size_t i = 0; i < detail.size() && shown.size() < limit;) {
    auto c = static_cast<unsigned char>(detail[i]);
    std::size_t length = c >= 0xF0 && c <= 0xF4 ? 4 : c >= 0xE0 ? 3 : c >= 0xC2 ? 2 : 1;
    bool whole = c >= 0xC2 && c <= 0xF4 && i + length <= detail.size();
    for (std::size_t k = 1; whole && k < length; ++k) {
      whole = (static_cast<unsigned char>(detail[i + k]) & 0xC0) == 0x80;
    }
    if (whole) {
      shown.append(detail.substr(i, length));
      i += length;
    } else {
      shown += c >= ' ' && c < 0x7F ? static_cast<char>(c) : '?';
      ++i;
    }
  }
  if (shown.size() >= limit) shown += "...";
  return shown;
}

}  // namespace

std::span<const schema_rule> schema_rules() { return rules; }

schema_finding describe(issue kind, std::uint64_t offset, std::string_view detail) {
  for (const issue_text& text : issue_texts) {
    if (text.kind != kind) continue;
    std::string message(text.message);
    std::size_t hole = message.find("{}");
    if (hole != std::string::npos) message.replace(hole, 2, printable_detail(detail));
    return {text.rule, text.level, std::move(message), offset};
  }
  return {unsupported_rule, schema_severity::warning, std::string(detail), offset};
}

}  // namespace corvexa::schema
