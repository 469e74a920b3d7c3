// Literal values are quoted now, at conversion time, so that the usual
// connect with literal settings reads plainly; other values are quoted by
// addcslashes() at run time, after a (string) cast that keeps PHP 8 from
// deprecating a null.
#include "translate/connection_string.h"

#include <array>
#include <utility>

#include "common/ascii.h"
#include "translate/php_literal.h"

namespace corvexa {
namespace {

enum class setting { host, user, password };

constexpr std::array<std::string_view, 3> keywords = {"host", "user", "password"};

// `value` quoted for a connection string.
std::string quoted_value(std::string_view value) {
  std::string quoted = "'";
  for (char c : value) {
    if (c == '\'' || c == '\\') quoted += '\\';
    quoted += c;
  }
  return quoted + "'";
}

// The host part of a MySQL server: what stands before its ":port" or
// ":/socket".
std::string_view host_of(std::string_view server) { return server.substr(0, server.find(':')); }

// "$name": a cast needs no parentheses around it.
bool is_plain_variable(std::string_view written) {
  if (written.size() < 2 || written[0] != '$') return false;
  for (char c : written.substr(1)) {
    bool name_byte = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                     c == '_' || static_cast<unsigned char>(c) >= 0x80;
    if (!name_byte) return false;
  }
  return !(written[1] >= '0' && written[1] <= '9');
}

// Appends " keyword=VALUE" for one argument, inside the double-quoted text
// that `text` is building.
void add_setting(std::string& text, setting which, std::string_view written) {
  std::string_view keyword = keywords[static_cast<std::size_t>(which)];
  if (std::optional<std::string> value = literal_value(written)) {
    std::string_view shown = which == setting::host ? host_of(*value) : *value;
    // An empty host is the default one, as it was for MySQL.
    if (which == setting::host && shown.empty()) return;
    text.append(" ").append(keyword).append("=").append(in_double_quotes(quoted_value(shown)));
    return;
  }
  // Appended piece by piece: g++ 12 warns wrongly about "literal" + string.
  std::string value = "(string) ";
  value.append(is_plain_variable(written) ? std::string(written)
                                          : std::string("(").append(written).append(")"));
  if (which == setting::host) value = std::string("explode(':', ").append(value).append(")[0]");
  text.append(" ").append(keyword).append("='\" . addcslashes(").append(value);
  text.append(", \"'\\\\\") . \"'");
}

// "false", "0", "null" and nothing at all ask for no new link.
bool plainly_false(std::string_view written) {
  std::string lower = ascii_lowered(written);
  return lower.empty() || lower == "false" || lower == "0" || lower == "null";
}

// MySQL's character sets and the names PostgreSQL gives the same encodings.
constexpr std::pair<std::string_view, std::string_view> encodings[] = {
    {"utf8", "UTF8"},         {"utf8mb4", "UTF8"},   {"utf8mb3", "UTF8"},   {"latin1", "LATIN1"},
    {"latin2", "LATIN2"},     {"latin5", "LATIN5"},  {"latin7", "LATIN7"},  {"ascii", "SQL_ASCII"},
    {"cp1250", "WIN1250"},    {"cp1251", "WIN1251"}, {"cp1256", "WIN1256"}, {"cp1257", "WIN1257"},
    {"cp866", "WIN866"},      {"koi8r", "KOI8R"},    {"koi8u", "KOI8U"},    {"greek", "ISO_8859_7"},
    {"hebrew", "ISO_8859_8"}, {"big5", "BIG5"},      {"gbk", "GBK"},        {"gb2312", "EUC_CN"},
    {"sjis", "SJIS"},         {"ujis", "EUC_JP"},    {"euckr", "EUC_KR"},
};

}  // namespace

std::string connection_string(const exact_arguments& arguments, std::string_view database) {
  std::string text = "\"dbname=";
  text.append(in_double_quotes(quoted_value(database)));
  for (std::size_t index = 0; index < 3 && index < arguments.written.size(); ++index) {
    add_setting(text, static_cast<setting>(index), arguments.converted[index]);
  }
  return text.append("\"");
}

std::string connect_flags(const exact_arguments& arguments) {
  if (arguments.converted.size() < 4 || plainly_false(arguments.converted[3])) return {};
  std::string_view flag = arguments.converted[3];
  if (flag == "true" || flag == "TRUE" || flag == "1") return ", PGSQL_CONNECT_FORCE_NEW";
  return std::string(", ((").append(flag).append(") ? PGSQL_CONNECT_FORCE_NEW : 0)");
}

std::string client_encoding(const exact_arguments& arguments, bool& known) {
  known = false;
  if (arguments.converted.empty()) return "''";
  std::string_view written = arguments.converted[0];
  if (std::optional<std::string> name = literal_value(written)) {
    std::string lower = ascii_lowered(*name);
    for (const auto& [mysql, postgresql] : encodings) {
      if (lower == mysql) {
        known = true;
        return std::string("'").append(postgresql).append("'");
      }
    }
  }
  return std::string(written);
}

}  // namespace corvexa
