// The type table.
#include "schema/mysql_types.h"

#include <algorithm>

namespace corvexa::schema {
namespace {

bool one_of(std::string_view name, std::initializer_list<std::string_view> names) {
  return std::find(names.begin(), names.end(), name) != names.end();
}

std::uint64_t size_or(const mysql_column_type& t, std::size_t i, std::uint64_t fallback) {
  return i < t.sizes.size() ? t.sizes[i] : fallback;
}

postgres_column_type integer_type(const mysql_column_type& t, bool auto_increment) {
  const std::string& n = t.name;
  bool small = one_of(n, {"TINYINT", "INT1", "BOOL", "BOOLEAN"});
  bool medium = one_of(n, {"SMALLINT", "INT2"});
  bool middle = one_of(n, {"MEDIUMINT", "INT3", "MIDDLEINT"});
  bool big = one_of(n, {"BIGINT", "INT8", "SERIAL"});
  postgres_column_type pg;
  pg.kind = value_kind::integer;
  pg.can_be_identity = true;
  if (small) {
    pg.type = "smallint";
  } else if (medium) {
    pg.type = t.is_unsigned ? "integer" : "smallint";
  } else if (middle) {
    pg.type = "integer";
  } else if (big) {
    pg.type = "bigint";
    if (t.is_unsigned || n == "SERIAL") {
      if (auto_increment) {
        pg.note = issue::unsigned_bigint_identity;
      } else {
        pg.type = "numeric(20)";
        pg.can_be_identity = false;
      }
    }
  } else {
    pg.type = t.is_unsigned ? "bigint" : "integer";
  }
  return pg;
}

postgres_column_type bit_type(const mysql_column_type& t) {
  std::uint64_t bits = size_or(t, 0, 1);
  postgres_column_type pg{"smallint", value_kind::integer, true, value_check::none,
                          issue::bit_type};
  if (bits > 63) {
    pg.type = "numeric(20)";
    pg.can_be_identity = false;
  } else if (bits > 31) {
    pg.type = "bigint";
  } else if (bits > 15) {
    pg.type = "integer";
  }
  return pg;
}

postgres_column_type plain(std::string type, value_kind kind, bool can_be_identity = false) {
  postgres_column_type pg;
  pg.type = std::move(type);
  pg.kind = kind;
  pg.can_be_identity = can_be_identity;
  return pg;
}

std::string with_size(std::string_view base, std::uint64_t size) {
  return std::string(base) + "(" + std::to_string(size) + ")";
}

postgres_column_type text_type(std::string type) {
  return {std::move(type), value_kind::text, false, value_check::none, std::nullopt};
}

postgres_column_type character_string(std::string type, std::uint64_t length) {
  postgres_column_type pg = text_type(std::move(type));
  pg.character_string = true;
  pg.length = length;
  return pg;
}

bool ends_with_word(std::string_view name, std::string_view suffix) {
  if (name.size() < suffix.size()) return false;
  std::string_view tail = name.substr(name.size() - suffix.size());
  return std::equal(tail.begin(), tail.end(), suffix.begin(), [](char a, char b) {
    return (a >= 'A' && a <= 'Z' ? static_cast<char>(a - 'A' + 'a') : a) == b;
  });
}

// A name as written, maybe quoted ('utf8_bin', `binary`).
std::string_view unquoted(std::string_view name) {
  while (!name.empty() && (name.front() == '\'' || name.front() == '"' || name.front() == '`')) {
    name.remove_prefix(1);
  }
  while (!name.empty() && (name.back() == '\'' || name.back() == '"' || name.back() == '`')) {
    name.remove_suffix(1);
  }
  return name;
}

postgres_column_type number_type(const mysql_column_type& t) {
  const std::string& n = t.name;
  if (one_of(n, {"FLOAT", "FLOAT4"})) {
    bool wide = t.sizes.size() == 1 && t.sizes[0] > 24;
    return plain(wide ? "double precision" : "real", value_kind::decimal);
  }
  if (one_of(n, {"DOUBLE", "DOUBLE PRECISION", "REAL", "FLOAT8"})) {
    return plain("double precision", value_kind::decimal);
  }
  // DECIMAL, DEC, NUMERIC, FIXED
  std::uint64_t precision = std::clamp<std::uint64_t>(size_or(t, 0, 10), 1, 1000);
  std::uint64_t scale = std::min(size_or(t, 1, 0), precision);
  return plain("numeric(" + std::to_string(precision) + "," + std::to_string(scale) + ")",
               value_kind::decimal);
}

postgres_column_type time_type(const mysql_column_type& t) {
  // Above 6, MySQL 4's display width of TIMESTAMP(14): no fraction.
  std::uint64_t digits = size_or(t, 0, 0);
  if (digits > 6) digits = 0;
  if (t.name == "DATE") return plain("date", value_kind::date_time);
  if (t.name == "TIME") return plain(with_size("time", digits), value_kind::time);
  return plain(with_size("timestamp", digits), value_kind::date_time);
}

postgres_column_type value_list_type(const mysql_column_type& t) {
  bool is_enum = t.name == "ENUM";
  std::size_t length = is_enum ? t.longest_value : t.all_values;
  postgres_column_type pg = text_type(with_size("varchar", std::max<std::size_t>(length, 1)));
  pg.check = is_enum ? value_check::one_of : value_check::set_of;
  pg.note = is_enum ? issue::enum_order : issue::set_type;
  return pg;
}

}  // namespace

postgres_column_type map_mysql_type(const mysql_column_type& t, bool auto_increment) {
  const std::string& n = t.name;
  if (one_of(n, {"TINYINT", "SMALLINT", "MEDIUMINT", "INT", "INTEGER", "BIGINT", "INT1", "INT2",
                 "INT3", "INT4", "INT8", "MIDDLEINT", "BOOL", "BOOLEAN", "SERIAL"})) {
    return integer_type(t, auto_increment);
  }
  if (n == "YEAR") return plain("smallint", value_kind::integer, true);
  if (n == "BIT") return bit_type(t);
  if (one_of(n, {"FLOAT", "FLOAT4", "FLOAT8", "DOUBLE", "DOUBLE PRECISION", "REAL", "DECIMAL",
                 "DEC", "NUMERIC", "FIXED"})) {
    return number_type(t);
  }
  if (one_of(n, {"CHAR", "CHARACTER", "NCHAR", "NATIONAL CHAR", "NATIONAL CHARACTER"})) {
    std::uint64_t length = std::max<std::uint64_t>(size_or(t, 0, 1), 1);
    return character_string(with_size("char", length), length);
  }
  if (one_of(n, {"VARCHAR", "CHARACTER VARYING", "CHAR VARYING", "NVARCHAR", "NATIONAL VARCHAR",
                 "NCHAR VARCHAR", "NATIONAL CHAR VARYING", "NATIONAL CHARACTER VARYING",
                 "VARCHARACTER"})) {
    std::uint64_t length = size_or(t, 0, 0);
    return character_string(length == 0 ? "text" : with_size("varchar", length), length);
  }
  if (one_of(n, {"TINYTEXT", "TEXT", "MEDIUMTEXT", "LONGTEXT", "LONG", "LONG VARCHAR"})) {
    return character_string("text", 0);
  }
  if (one_of(n, {"BINARY", "VARBINARY", "TINYBLOB", "BLOB", "MEDIUMBLOB", "LONGBLOB",
                 "LONG VARBINARY"})) {
    return plain("bytea", value_kind::binary);
  }
  if (one_of(n, {"DATE", "DATETIME", "TIMESTAMP", "TIME"})) return time_type(t);
  if (n == "ENUM" || n == "SET") return value_list_type(t);
  if (n == "JSON") return text_type("json");
  if (one_of(n, {"GEOMETRY", "POINT", "LINESTRING", "POLYGON", "MULTIPOINT", "MULTILINESTRING",
                 "MULTIPOLYGON", "GEOMETRYCOLLECTION", "GEOMCOLLECTION"})) {
    return {"bytea", value_kind::binary, false, value_check::none, issue::spatial_type};
  }
  postgres_column_type unknown = text_type("text");
  unknown.note = issue::unknown_type;
  return unknown;
}

void text_comparison::collate(std::string_view name) {
  collate_exact = !ends_with_word(unquoted(name), "_ci");
}

void text_comparison::charset(std::string_view name) {
  std::string_view bare = unquoted(name);
  charset_exact = bare.size() == 6 && ends_with_word(bare, "binary");
}

bool text_comparison::exact(bool table_default_exact) const {
  if (collate_exact) return *collate_exact;
  if (binary) return true;
  if (charset_exact) return *charset_exact;
  return table_default_exact;
}

void ignore_case(postgres_column_type& type) {
  if (!type.character_string) return;
  type.type = "citext";
  if (type.length > 0) type.check = value_check::length_at_most;
}

value_kind kind_of_type(std::string_view type) {
  auto starts = [&](std::string_view prefix) { return type.substr(0, prefix.size()) == prefix; };
  if (type == "smallint" || type == "integer" || type == "bigint" || type == "numeric(20)") {
    return value_kind::integer;
  }
  if (starts("numeric") || type == "real" || type == "double precision") {
    return value_kind::decimal;
  }
  if (type == "bytea") return value_kind::binary;
  if (type == "date" || starts("timestamp")) return value_kind::date_time;
  if (starts("time")) return value_kind::time;
  return value_kind::text;
}

std::string value_check_condition(const postgres_column_type& type, const std::string& column,
                                  const std::vector<std::string>& literals) {
  value_check check = type.check;
  if (check == value_check::length_at_most) {
    return "char_length(" + column + ") <= " + std::to_string(type.length);
  }
  if (check == value_check::none || literals.empty()) return {};
  std::string list;
  for (const std::string& literal : literals) {
    if (!list.empty()) list += ", ";
    list += literal;
  }
  if (check == value_check::one_of) return column + " IN (" + list + ")";
  return column + " = '' OR string_to_array(" + column + ", ',') <@ ARRAY[" + list + "]::text[]";
}

}  // namespace corvexa::schema
