// One pass with a cursor; an unterminated construct runs to the end.
#include "sql/mysql_lexer.h"

namespace corvexa::sql {
namespace {

struct mysql_scan {
  std::vector<backquoted_name> names;
  std::uint64_t first_escape = std::string_view::npos;
};

std::uint64_t quoted_end(std::string_view sql, std::uint64_t at, mysql_scan& out) {
  char quote = sql[at];
  for (std::uint64_t i = at + 1; i < sql.size(); ++i) {
    if (sql[i] == '\\') {
      if (out.first_escape == std::string_view::npos) out.first_escape = i;
      ++i;
    } else if (sql[i] == quote) {
      if (i + 1 < sql.size() && sql[i + 1] == quote) {
        ++i;
      } else {
        return i + 1;
      }
    }
  }
  return sql.size();
}

std::uint64_t backquoted_end(std::string_view sql, std::uint64_t at, mysql_scan& out) {
  backquoted_name name;
  name.begin = at;
  std::uint64_t i = at + 1;
  for (; i < sql.size(); ++i) {
    if (sql[i] == '`') {
      if (i + 1 < sql.size() && sql[i + 1] == '`') {
        name.name += '`';
        ++i;
        continue;
      }
      name.end = i + 1;
      out.names.push_back(std::move(name));
      return i + 1;
    }
    name.name += sql[i];
  }
  return sql.size();  // unterminated: not a name
}

mysql_scan scan_mysql(std::string_view sql) {
  mysql_scan out;
  std::uint64_t i = 0;
  while (i < sql.size()) {
    char c = sql[i];
    char after = i + 1 < sql.size() ? sql[i + 1] : '\0';
    if (c == '\'' || c == '"') {
      i = quoted_end(sql, i, out);
    } else if (c == '`') {
      i = backquoted_end(sql, i, out);
    } else if (c == '#' || (c == '-' && after == '-' &&
                            (i + 2 >= sql.size() || sql[i + 2] == ' ' || sql[i + 2] == '\t' ||
                             sql[i + 2] == '\n'))) {
      std::uint64_t end = sql.find('\n', i);
      i = end == std::string_view::npos ? sql.size() : end + 1;
    } else if (c == '/' && after == '*') {
      std::uint64_t end = sql.find("*/", i + 2);
      i = end == std::string_view::npos ? sql.size() : end + 2;
    } else {
      ++i;
    }
  }
  return out;
}

}  // namespace

std::vector<backquoted_name> find_backquoted_names(std::string_view sql) {
  if (sql.find('`') == std::string_view::npos) return {};
  return scan_mysql(sql).names;
}

std::uint64_t find_backslash_escape(std::string_view sql) {
  if (sql.find('\\') == std::string_view::npos) return std::string_view::npos;
  return scan_mysql(sql).first_escape;
}

}  // namespace corvexa::sql
