// Following SET statements.
#include "schema/session_settings.h"

#include <algorithm>

#include "schema/mysql_literals.h"
#include "schema/schema_state.h"

namespace corvexa::schema {
namespace {

// Settings that only tune MySQL's own work: dropped without a finding.
constexpr std::string_view quiet_settings[] = {"unique_checks",
                                               "time_zone",
                                               "sql_notes",
                                               "autocommit",
                                               "sql_quote_show_create",
                                               "sql_log_bin",
                                               "note_verbosity",
                                               "sql_safe_updates",
                                               "character_set_results",
                                               "character_set_connection",
                                               "collation_connection",
                                               "collation_database",
                                               "character_set_database",
                                               "gtid_purged",
                                               "gtid_next",
                                               "max_allowed_packet",
                                               "net_buffer_length",
                                               "old_passwords",
                                               "innodb_strict_mode",
                                               "check_constraint_checks",
                                               "optimizer_switch",
                                               "transaction_isolation",
                                               "tx_isolation",
                                               "session_track_gtids",
                                               "default_storage_engine",
                                               "storage_engine",
                                               "names",
                                               "big_tables",
                                               "sql_big_selects",
                                               "group_concat_max_len",
                                               "wait_timeout",
                                               "interactive_timeout",
                                               "sql_auto_is_null",
                                               "explicit_defaults_for_timestamp",
                                               "innodb_lock_wait_timeout",
                                               "lock_wait_timeout",
                                               "sql_require_primary_key"};

// A variable's name without @, @@, scope or letter case.
std::string plain_variable(std::string name) {
  name = lower_name(name);
  while (!name.empty() && name[0] == '@') name.erase(0, 1);
  for (std::string_view scope : {"session.", "global.", "local.", "persist.", "persist_only."}) {
    if (name.starts_with(scope)) name.erase(0, scope.size());
  }
  if (name.size() >= 2 && (name[0] == '`' || name[0] == '\'' || name[0] == '"')) {
    name = decode_quoted_name(name);
  }
  return name;
}

bool has_mode(const std::string& modes, std::string_view mode) {
  std::size_t start = 0;
  while (start <= modes.size()) {
    std::size_t comma = modes.find(',', start);
    std::string_view one = std::string_view(modes).substr(
        start, comma == std::string::npos ? std::string::npos : comma - start);
    if (one == mode) return true;
    if (comma == std::string::npos) break;
    start = comma + 1;
  }
  return false;
}

}  // namespace

std::string session_settings::system_value(const std::string& variable) const {
  if (variable == "sql_mode") return sql_mode_;
  if (variable == "character_set_client") return charset_name_;
  if (variable == "foreign_key_checks") return foreign_key_checks_ ? "1" : "0";
  auto found = other_system_.find(variable);
  return found == other_system_.end() ? std::string() : found->second;
}

std::string session_settings::read_value(token_cursor& cursor, conversion_context& cx) {
  std::size_t start = cursor.index();
  cursor.skip_to_comma();
  std::string value;
  if (cursor.index() == start) return value;
  // The first token decides: NAMES utf8 COLLATE x names utf8.
  token_cursor first = cursor;
  first.seek(start);
  const token& v = first.take();
  std::string_view text = cx.text(v);
  if (v.kind == token_kind::string) {
    decode_string(text, cx.modes.backslash_escapes, value);
  } else if (v.kind == token_kind::variable) {
    std::string name = plain_variable(std::string(text));
    if (text.starts_with("@@")) {
      value = system_value(name);
    } else if (auto found = user_variables_.find(name); found != user_variables_.end()) {
      value = found->second;
    }
  } else {
    value = std::string(text);
  }
  return value;
}

void session_settings::apply_set(token_cursor& cursor, conversion_context& cx) {
  while (!cursor.at_end()) {
    std::uint64_t offset = cursor.offset();
    if (cursor.accept("NAMES") || cursor.accept("CHARSET") ||
        cursor.accept_all({"CHARACTER", "SET"})) {
      set_charset(read_value(cursor, cx), cx, offset);
    } else {
      cursor.accept("SESSION") || cursor.accept("GLOBAL") || cursor.accept("LOCAL") ||
          cursor.accept("PERSIST") || cursor.accept("PERSIST_ONLY");
      const token& target = cursor.take();
      std::string text(cx.text(target));
      // @@session.sql_mode is one variable token; session.sql_mode is three.
      while (cursor.is_punct('.') && cursor.is_name(1)) {
        cursor.take();
        text += '.';
        text += cx.text(cursor.take());
      }
      if (!cursor.accept_punct('=')) {
        cursor.accept_punct(':');
        cursor.accept_punct('=');
      }
      bool user = target.kind == token_kind::variable && !text.starts_with("@@");
      std::string value = read_value(cursor, cx);
      std::string name = plain_variable(text);
      if (user) {
        user_variables_[name] = value;
      } else {
        assign(name, value, cx, offset);
      }
    }
    if (!cursor.accept_punct(',')) break;
  }
}

void session_settings::assign(const std::string& variable, const std::string& value,
                              conversion_context& cx, std::uint64_t offset) {
  if (variable == "sql_mode") {
    set_sql_mode(value, cx);
  } else if (variable == "character_set_client") {
    set_charset(value, cx, offset);
  } else if (variable == "foreign_key_checks") {
    foreign_key_checks_ = !(value == "0" || lower_name(value) == "off");
  } else {
    other_system_[variable] = value;
    bool quiet = std::any_of(std::begin(quiet_settings), std::end(quiet_settings),
                             [&](std::string_view s) { return s == variable; });
    if (!quiet) cx.findings.add(issue::unknown_setting, offset, variable);
  }
}

void session_settings::set_sql_mode(const std::string& modes, conversion_context& cx) {
  std::string upper = modes;
  for (char& c : upper) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  sql_mode_ = upper;
  cx.modes.ansi_quotes = has_mode(upper, "ANSI_QUOTES") || has_mode(upper, "ANSI");
  cx.modes.backslash_escapes = !has_mode(upper, "NO_BACKSLASH_ESCAPES");
  no_auto_value_on_zero_ = has_mode(upper, "NO_AUTO_VALUE_ON_ZERO");
}

void session_settings::set_charset(const std::string& name, conversion_context& cx,
                                   std::uint64_t offset) {
  if (name.empty() || lower_name(name) == "default") return;
  const charset_info* info = find_charset(name);
  if (info == nullptr) {
    cx.findings.add(issue::unsupported_charset, offset, name);
    info = &utf8_charset();
  } else if (info->bytes_can_hide_quotes) {
    cx.findings.add(issue::risky_charset, offset, name);
  }
  charset_name_ = lower_name(name);
  cx.charset = info;
}

}  // namespace corvexa::schema
