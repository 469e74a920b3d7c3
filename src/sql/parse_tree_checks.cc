// A recursive walk over the JSON tree; each node type that matters has a
// function. The rewrites find their tokens by the node's "location".
#include "sql/parse_tree_checks.h"

#include <algorithm>
#include <optional>

#include "sql/parse_tree_json.h"

#include "common/ascii.h"
#include "sql/date_format.h"
#include "sql/group_concat.h"
#include "sql/group_order.h"
#include "sql/having_clause.h"
#include "sql/mysql_cast_types.h"
#include "sql/mysql_functions.h"
#include "sql/mysql_settings.h"
#include "sql/mysql_syntax_hints.h"
#include "sql/output_names.h"
#include "sql/postgres_names.h"
#include "sql/sql_bytes.h"

namespace corvexa::sql {
namespace {

using json = parse_tree::json;
using parse_tree::location_of;
using parse_tree::string_field;

constexpr int max_depth = 1000;
constexpr std::size_t max_quoted_in_message = 40;

constexpr std::string_view mysql_show_words[] = {
    "tables",  "databases", "schemas",   "columns",     "fields",   "index",    "indexes",
    "keys",    "status",    "variables", "processlist", "grants",   "warnings", "errors",
    "engines", "triggers",  "create",    "full",        "table",    "open",     "privileges",
    "plugins", "events",    "charset",   "collation",   "character"};

bool word_at(std::string_view sql, std::uint64_t at, std::string_view lower_word) {
  if (at + lower_word.size() > sql.size()) return false;
  for (std::size_t i = 0; i < lower_word.size(); ++i) {
    if (ascii_lower(sql[at + i]) != lower_word[i]) return false;
  }
  std::uint64_t end = at + lower_word.size();
  if (end == sql.size()) return true;
  char c = sql[end];
  return !((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' ||
           c == '$' || static_cast<unsigned char>(c) >= 0x80);
}

std::string shortened(std::string_view s) {
  if (s.size() <= max_quoted_in_message) return std::string(s);
  return std::string(s.substr(0, max_quoted_in_message)) + "...";
}

class tree_walk {
 public:
  tree_walk(std::string_view sql, const schema_model* schema, const sql_token_view* tokens,
            bool names_in_double_quotes)
      : sql_(sql),
        schema_(schema),
        tokens_(tokens),
        names_in_double_quotes_(names_in_double_quotes) {}

  std::vector<tree_issue> run(const json& tree) {
    auto stmts = tree.find("stmts");
    if (stmts == tree.end() || !stmts->is_array()) return {};
    for (const json& raw : *stmts) {
      if (!raw.is_object()) continue;
      statement_location_ = location_value(raw, "stmt_location");
      std::uint64_t length = location_value(raw, "stmt_len");
      auto stmt = raw.find("stmt");
      if (stmt == raw.end()) continue;
      if (const json* select = parse_tree::member(*stmt, "SelectStmt")) {
        std::uint64_t end = length != 0 ? statement_location_ + length : sql_.size();
        if (auto issue = group_order_issue(*select, tokens_, statement_location_, end, schema_))
          issues_.push_back(std::move(*issue));
        for (tree_issue& issue : output_name_issues(*select, tokens_))
          issues_.push_back(std::move(issue));
      }
      visit(*stmt, 0);
    }
    return std::move(issues_);
  }

 private:
  static std::uint64_t location_value(const json& node, const char* key) {
    auto found = node.find(key);
    return found != node.end() && found->is_number_unsigned() ? found->get<std::uint64_t>() : 0;
  }

  void visit(const json& node, int depth) {
    if (depth > max_depth) return;
    if (node.is_array()) {
      for (const json& child : node) visit(child, depth + 1);
      return;
    }
    if (!node.is_object()) return;
    for (auto it = node.begin(); it != node.end(); ++it) {
      std::string_view key = it.key();
      const json& value = it.value();
      if (value.is_object()) {
        if (key == "FuncCall")
          function_call(value);
        else if (key == "SQLValueFunction")
          value_function(value);
        else if (key == "ColumnRef")
          column_ref(value);
        else if (key == "A_Const")
          constant(value);
        else if (key == "InsertStmt")
          insert(value);
        else if (key == "VariableShowStmt")
          show(value);
        else if (key == "VariableSetStmt")
          variable_set(value);
        else if (key == "UpdateStmt")
          update(value);
        else if (key == "TypeCast")
          type_cast(value);
        else if (key == "SelectStmt")
          select(value);
        else if (key == "A_Expr")
          string_and_interval(value);
      }
      if (value.is_structured()) visit(value, depth + 1);
    }
  }

  void add(std::string message, std::uint64_t location, std::vector<sql_edit> rewrite = {},
           std::string_view extension = {}) {
    issues_.push_back(tree_issue{std::move(message), location, std::move(rewrite), extension, {}});
  }

  void function_call(const json& call) {
    auto names = call.find("funcname");
    if (names == call.end() || !names->is_array() || names->size() != 1) return;
    std::string name = string_field((*names)[0]);
    if (name == "count" && argument_count(call) > 1) {
      add("COUNT(DISTINCT a, b) is MySQL's, which counts the pairs without NULL: write "
          "COUNT(DISTINCT (a, b)) where neither is NULL, else add WHERE a IS NOT NULL AND b IS "
          "NOT NULL",
          location_of(call));
      return;
    }
    const mysql_function* row = find_mysql_function(name);
    if (row == nullptr || (row->only_with_one_argument && argument_count(call) != 1)) return;
    std::uint64_t location = location_of(call);
    std::string message = ascii_uppered(name) + "() " + std::string(row->advice);
    std::vector<sql_edit> edits;
    if (tokens_ != nullptr) edits = function_rewrite_edits(call, *row, location);
    if (row->rewrite == function_rewrite::date_format ||
        row->rewrite == function_rewrite::from_unixtime) {
      std::optional<to_char_format> format = constant_date_format(call);
      if (format && !format->exact) message += ": " + format->reason;
    }
    std::string_view extension = edits.empty() ? "" : row->extension;
    add(std::move(message), location, std::move(edits), extension);
    if (row->rewrite == function_rewrite::if_to_case && argument_count(call) == 3)
      number_beside_text(call.at("args"));
  }

  // IF(c, 'text', 0) is a text on MySQL, the number written as one;
  // PostgreSQL's CASE refuses to match a text with a number. The number
  // is quoted; not where a PHP value stands in for it, whose value may be
  // no number (the issue yields then, and IF() keeps its own finding).
  void number_beside_text(const json& args) {
    if (tokens_ == nullptr) return;
    const sql_token_view& t = *tokens_;
    for (int side = 1; side <= 2; ++side) {
      const json* number = parse_tree::member(args.at(side), "A_Const");
      const json* text = parse_tree::member(args.at(3 - side), "A_Const");
      if (number == nullptr || text == nullptr || !text->contains("sval") ||
          !(number->contains("ival") || number->contains("fval")))
        continue;
      std::size_t first = t.starting_at(location_of(*number)), last = first;
      if (first == sql_token_view::none) continue;
      if (t.is_char(first, '-')) ++last;
      if (last >= t.size()) continue;
      tree_issue issue{
          "IF() of a text and a number gives a text on MySQL, PostgreSQL's CASE "
          "refuses to match them: write the number as a text",
          t[first].begin,
          {sql_edit{t[first].begin, t[first].begin, "'"}, sql_edit{t[last].end, t[last].end, "'"}},
          {},
          {{t[first].begin, t[last].end}}};
      issue.yields = true;
      issues_.push_back(std::move(issue));
    }
  }

  static std::size_t argument_count(const json& call) {
    auto args = call.find("args");
    return args != call.end() && args->is_array() ? args->size() : 0;
  }

  static bool plain_call(const json& call) {
    return !call.contains("agg_order") && !call.contains("agg_filter") && !call.contains("over") &&
           !call.contains("agg_star") && !call.contains("agg_distinct") &&
           !call.contains("func_variadic");
  }

  // An aggregate call whose only clauses are ORDER BY and DISTINCT.
  static bool ordered_or_distinct(const json& call) {
    return (call.contains("agg_order") || call.contains("agg_distinct")) &&
           !call.contains("agg_filter") && !call.contains("over") && !call.contains("agg_star") &&
           !call.contains("func_variadic");
  }

  // The second argument of DATE_ADD/DATE_SUB is an INTERVAL '...' and the
  // first is no bare string, whose type PostgreSQL could not choose.
  static bool interval_arguments(const json& call) {
    const json& args = call.at("args");
    if (args.at(0).contains("A_Const")) return false;
    auto cast = args.at(1).find("TypeCast");
    if (cast == args.at(1).end()) return false;
    auto type = cast->find("typeName");
    return type != cast->end() && type->dump().find("\"interval\"") != std::string::npos;
  }

  // The pieces of an arguments_in target around its $1, $2, ...: one more
  // than the arguments, or none when they are not $1 to $n in order.
  static std::vector<std::string> pieces_around_arguments(std::string_view target, std::size_t n) {
    std::vector<std::string> pieces(1);
    for (std::size_t i = 0; i < target.size(); ++i) {
      if (target[i] == '$' && i + 1 < target.size() &&
          target[i + 1] == static_cast<char>('1' + pieces.size() - 1)) {
        pieces.emplace_back();
        ++i;
      } else {
        pieces.back() += target[i];
      }
    }
    if (pieces.size() != n + 1) return {};
    return pieces;
  }

  // The seconds of TIMESTAMPDIFF's unit, or 0 for a unit of months.
  static std::uint64_t unit_seconds(const json& unit) {
    const json* ref = parse_tree::member(unit, "ColumnRef");
    const json* fields = ref != nullptr ? parse_tree::list(*ref, "fields") : nullptr;
    if (fields == nullptr || fields->size() != 1) return 0;
    std::string name = string_field((*fields)[0]);
    constexpr std::pair<std::string_view, std::uint64_t> units[] = {
        {"second", 1}, {"minute", 60}, {"hour", 3600}, {"day", 86400}, {"week", 604800}};
    for (auto [unit, seconds] : units) {
      if (name == unit) return seconds;
    }
    return 0;
  }

  // DATE_FORMAT's format converted, when it is a string constant.
  static std::optional<to_char_format> constant_date_format(const json& call) {
    auto args = call.find("args");
    if (args == call.end() || !args->is_array() || args->size() != 2) return std::nullopt;
    auto constant = args->at(1).find("A_Const");
    if (constant == args->at(1).end() || !constant->contains("sval")) return std::nullopt;
    const json* sval = parse_tree::member(*constant, "sval");
    return to_char_of_date_format(sval != nullptr ? parse_tree::text_of(*sval, "sval") : "");
  }

  // DATE_FORMAT's format as a to_char literal, when it is one plain string
  // constant (no backslash, which MySQL reads as an escape) and every code
  // has an exact pattern; else empty.
  std::string to_char_literal(const json& call, std::size_t token, std::size_t close) const {
    const sql_token_view& t = *tokens_;
    std::optional<to_char_format> converted = constant_date_format(call);
    const json& format = call.at("args").at(1);
    if (!converted || !converted->exact || token + 1 != close ||
        t[token].begin != location_of(format.at("A_Const")))
      return {};
    std::string_view bytes = t.bytes(token);
    if (bytes.size() < 2 || bytes.front() != '\'' || bytes.find('\\') != std::string_view::npos)
      return {};
    std::string literal = "'";
    for (char c : converted->format) literal.append(c == '\'' ? 2 : 1, c);
    return literal + "'";
  }

  static bool is_string_constant(const json& node) {
    const json* constant = parse_tree::member(node, "A_Const");
    return constant != nullptr && parse_tree::member(*constant, "sval") != nullptr;
  }

  // A condition that PostgreSQL reads as a boolean by its form. MySQL's
  // IF(n, ...) also tests a number (a tinyint flag), which CASE WHEN n
  // refuses: such an IF is reported, not rewritten.
  static bool boolean_form(const json& node) {
    if (!node.is_object() || node.size() != 1) return false;
    std::string_view kind = node.begin().key();
    const json& body = node.begin().value();
    if (kind == "BoolExpr" || kind == "NullTest" || kind == "BooleanTest") return true;
    if (kind == "A_Const") return body.contains("boolval");
    if (kind == "SubLink") return body.value("subLinkType", "") != "EXPR_SUBLINK";
    if (kind != "A_Expr") return false;
    std::string expression = body.value("kind", "");
    if (expression == "AEXPR_NULLIF") return false;
    if (expression != "AEXPR_OP") return true;  // IN, LIKE, BETWEEN, ANY, ...
    const json* names = parse_tree::list(body, "name");
    if (names == nullptr || names->size() != 1) return false;
    std::string op = string_field((*names)[0]);
    for (std::string_view comparison :
         {"=", "<>", "!=", "<", ">", "<=", ">=", "~", "~*", "!~", "!~*"}) {
      if (op == comparison) return true;
    }
    return false;
  }

  std::vector<sql_edit> function_rewrite_edits(const json& call, const mysql_function& row,
                                               std::uint64_t location) const {
    const sql_token_view& t = *tokens_;
    std::size_t n = argument_count(call);
    bool count_fits = row.arguments == -1 ? n <= 1
                      : row.arguments == -2
                          ? n >= 1
                          : row.arguments >= 0 && n == static_cast<std::size_t>(row.arguments);
    std::size_t name = t.starting_at(location);
    if (row.rewrite == function_rewrite::group_concat && ordered_or_distinct(call) &&
        name != sql_token_view::none)
      return group_concat_edits(t, name);
    if (row.rewrite == function_rewrite::none || !count_fits || !plain_call(call)) return {};
    if (name == sql_token_view::none || !t.is_char(name + 1, '(')) return {};
    std::size_t open = name + 1, close = t.closing_paren(open);
    if (close == sql_token_view::none) return {};
    std::vector<std::size_t> commas = t.commas_between(open, close);
    if (n == 0 ? close != open + 1 : commas.size() + 1 != n) return {};
    auto token = [&](std::size_t i, std::string text) {
      return sql_edit{t[i].begin, t[i].end, std::move(text)};
    };
    auto head = [&](std::string text) {
      return sql_edit{t[name].begin, t[open].end, std::move(text)};
    };
    // What stands between two arguments in place of their comma, and of
    // one space after it.
    auto separator = [&](std::size_t comma, std::string text) {
      std::uint64_t end = t[comma].end;
      if (end < sql_.size() && sql_[end] == ' ') ++end;
      return sql_edit{t[comma].begin, end, std::move(text)};
    };
    // A keyword put in place of a comma, spaced from what follows it.
    auto keyword = [&](std::size_t comma, std::string_view word) {
      std::uint64_t next = t[comma].end;
      bool spaced =
          next < sql_.size() && (sql_[next] == ' ' || sql_[next] == '\n' || sql_[next] == '\t');
      std::string replacement(" ");
      replacement.append(word).append(spaced ? "" : " ");
      return token(comma, std::move(replacement));
    };
    switch (row.rewrite) {
      case function_rewrite::rename: return {token(name, std::string(row.target))};
      case function_rewrite::if_to_case:
        if (!boolean_form(call.at("args")[0])) return {};
        return {head("CASE WHEN "), keyword(commas[0], "THEN"), keyword(commas[1], "ELSE"),
                token(close, " END")};
      case function_rewrite::unix_timestamp:
        if (n == 0)
          return {
              sql_edit{t[name].begin, t[close].end, "floor(EXTRACT(EPOCH FROM now()))::bigint"}};
        // A timestamp without time zone is read in the session's time
        // zone, as MySQL reads a DATETIME, not as UTC.
        return {head("floor(EXTRACT(EPOCH FROM ("), token(close, ")::timestamptz))::bigint")};
      case function_rewrite::from_unixtime: {
        if (n == 1) return {token(name, "to_timestamp"), token(close, ")::timestamp")};
        std::string format = n == 2 ? to_char_literal(call, commas[0] + 1, close) : "";
        if (format.empty()) return {};
        return {head("to_char(to_timestamp("), token(commas[0], ")::timestamp,"),
                token(commas[0] + 1, std::move(format))};
      }
      case function_rewrite::keyword:
        return {sql_edit{t[name].begin, t[close].end, std::string(row.target)}};
      case function_rewrite::locate: return {token(name, "position"), keyword(commas[0], "IN")};
      case function_rewrite::group_concat:
        return {head("string_agg(("), token(close, ")::text, ',')")};
      case function_rewrite::extract_field: {
        std::string start = std::string("EXTRACT(").append(row.target).append(" FROM ");
        // MySQL reads a string as a date or a time; EXTRACT cannot choose.
        if (!is_string_constant(call.at("args")[0])) return {head(std::move(start))};
        bool time = row.target == "HOUR" || row.target == "MINUTE";
        return {head(start + "("), token(close, time ? ")::time)" : ")::date)")};
      }
      case function_rewrite::sha1:
        return {head("encode(digest("), token(close, ", 'sha1'), 'hex')")};
      case function_rewrite::interval_sum:
        if (!interval_arguments(call)) return {};
        return {head("("), keyword(commas[0], row.target)};
      case function_rewrite::arguments_in: {
        std::vector<std::string> pieces = pieces_around_arguments(row.target, n);
        if (pieces.empty() || n == 0) return {};
        std::vector<sql_edit> edits{head(pieces[0])};
        for (std::size_t i = 0; i < commas.size(); ++i)
          edits.push_back(separator(commas[i], pieces[i + 1]));
        edits.push_back(token(close, pieces[n]));
        return edits;
      }
      case function_rewrite::concat: {
        std::vector<sql_edit> edits{head("((")};
        for (std::size_t comma : commas) edits.push_back(separator(comma, ")::text || ("));
        edits.push_back(token(close, ")::text)"));
        return edits;
      }
      case function_rewrite::field: {
        if (n < 2) return {};
        std::vector<sql_edit> edits{head("CASE ("), separator(commas[0], ") WHEN ")};
        for (std::size_t i = 1; i < commas.size(); ++i)
          edits.push_back(separator(commas[i], " THEN " + std::to_string(i) + " WHEN "));
        edits.push_back(token(close, " THEN " + std::to_string(n - 1) + " ELSE 0 END"));
        return edits;
      }
      case function_rewrite::timestampdiff: {
        // MySQL counts whole units of the seconds between (its times have
        // no fraction), toward zero. b - a is written -(a - b): the
        // arguments stay in their places.
        std::uint64_t seconds = unit_seconds(call.at("args")[0]);
        if (seconds == 0) return {};
        std::string divide = seconds == 1 ? "" : " / " + std::to_string(seconds);
        sql_edit unit = separator(commas[0], "trunc(-EXTRACT(EPOCH FROM date_trunc('second', (");
        unit.begin = t[name].begin;
        return {std::move(unit), separator(commas[1], ")::timestamp) - date_trunc('second', ("),
                token(close, ")::timestamp))" + divide + ")::bigint")};
      }
      case function_rewrite::date_format: {
        std::string format = to_char_literal(call, commas[0] + 1, close);
        if (format.empty()) return {};
        return {head("to_char(("), token(commas[0], ")::timestamp,"),
                token(commas[0] + 1, std::move(format))};
      }
      case function_rewrite::none: break;
    }
    return {};
  }

  // CAST(x AS type) with a MySQL type that PostgreSQL reads otherwise or
  // not at all: the type's word, and whether a length follows it.
  void type_cast(const json& node) {
    auto type = node.find("typeName");
    if (type == node.end() || !type->is_object()) return;
    // a = BINARY 'x', read by PostgreSQL as 'x' of a type binary it has not
    // (CAST(x AS BINARY) is the table's): 'x'::text, where the tokens are
    // known for the rewrite.
    const json* names = parse_tree::list(*type, "names");
    const json* arg = parse_tree::member(node, "arg");
    const json* value =
        arg != nullptr && arg->is_object() && !arg->empty() ? &arg->begin().value() : nullptr;
    if (names != nullptr && names->size() == 1 && string_field((*names)[0]) == "binary" &&
        value != nullptr && location_of(*type) < location_of(*value)) {
      add("BINARY 'x' compares byte for byte on MySQL, where PostgreSQL knows no type binary: "
          "write 'x'::text (a citext column then compares with regard to case)",
          location_of(*type), binary_literal_edits(location_of(*type)));
      return;
    }
    if (tokens_ == nullptr) return;
    const sql_token_view& t = *tokens_;
    std::size_t word = t.starting_at(location_of(*type));
    if (word == sql_token_view::none || word == 0 || !t.is(word - 1, "as")) return;
    const mysql_cast_type* row = find_mysql_cast_type(t.bytes(word), t.is_char(word + 1, '('));
    if (row == nullptr) return;
    std::vector<sql_edit> edits;
    if (!row->postgres.empty())
      edits.push_back(sql_edit{t[word].begin, t[word].end, std::string(row->postgres)});
    add("CAST(x AS " + ascii_uppered(std::string(t.bytes(word))) + ") " + std::string(row->advice),
        t[word].begin, std::move(edits));
  }

  // BINARY 'x' at `location` -> 'x'::text; none without the tokens.
  std::vector<sql_edit> binary_literal_edits(std::uint64_t location) const {
    if (tokens_ == nullptr) return {};
    const sql_token_view& t = *tokens_;
    std::size_t word = t.starting_at(location);
    if (word == sql_token_view::none || word + 1 >= t.size() ||
        t[word + 1].kind != sql_token_kind::sconst)
      return {};
    return {sql_edit{t[word].begin, t[word + 1].begin, ""},
            sql_edit{t[word + 1].end, t[word + 1].end, "::text"}};
  }

  // SELECT SQL_CALC_FOUND_ROWS id FROM t, read by PostgreSQL as the column
  // sql_calc_found_rows named id: the hint goes.
  void select(const json& node) {
    select_modifier(node);
    distinct_order(node);
    for (tree_issue& issue : having_issues(node, tokens_)) issues_.push_back(std::move(issue));
  }

  // SELECT DISTINCT a ... ORDER BY b: MySQL sorted by b of some row of
  // each distinct a; PostgreSQL orders only by what it selects.
  void distinct_order(const json& select) {
    const json* distinct = parse_tree::list(select, "distinctClause");
    const json* sorts = parse_tree::list(select, "sortClause");
    const json* targets = parse_tree::list(select, "targetList");
    if (distinct == nullptr || sorts == nullptr || targets == nullptr || distinct->size() != 1 ||
        !(*distinct)[0].empty())
      return;
    for (const json& item : *sorts) {
      const json* sort = parse_tree::member(item, "SortBy");
      const json* node = sort != nullptr ? parse_tree::member(*sort, "node") : nullptr;
      const json* ref = node != nullptr ? parse_tree::member(*node, "ColumnRef") : nullptr;
      if (ref == nullptr || selects(*targets, column_path(*ref))) continue;
      add("SELECT DISTINCT orders only by values it selects on PostgreSQL, MySQL sorted by a "
          "value of one row of each: select the column too, or write GROUP BY with ORDER BY "
          "min(column)",
          location_of(*ref));
    }
  }

  // The names of a column reference, such as "t.a"; empty for t.*.
  static std::string column_path(const json& ref) {
    const json* fields = parse_tree::list(ref, "fields");
    std::string path;
    if (fields == nullptr) return path;
    for (const json& f : *fields) {
      std::string name = string_field(f);
      if (name.empty()) return {};
      path += (path.empty() ? "" : ".") + name;
    }
    return path;
  }

  // True if the SELECT list has the column `path`, or an output named so.
  static bool selects(const json& targets, const std::string& path) {
    if (path.empty()) return true;
    for (const json& t : targets) {
      const json* target = parse_tree::member(t, "ResTarget");
      if (target == nullptr) continue;
      if (parse_tree::text_of(*target, "name") == path) return true;
      const json* value = parse_tree::member(*target, "val");
      const json* ref = value != nullptr ? parse_tree::member(*value, "ColumnRef") : nullptr;
      if (ref == nullptr) continue;
      std::string selected = column_path(*ref);
      // a.* selects every column of a; a named alone may be a's.
      if (selected.empty() || selected == path ||
          selected.substr(selected.rfind('.') + 1) == path.substr(path.rfind('.') + 1))
        return true;
    }
    return false;
  }

  void select_modifier(const json& select) {
    const json* targets = parse_tree::list(select, "targetList");
    const json* target = targets != nullptr && !targets->empty()
                             ? parse_tree::member((*targets)[0], "ResTarget")
                             : nullptr;
    const json* value = target != nullptr ? parse_tree::member(*target, "val") : nullptr;
    const json* ref = value != nullptr ? parse_tree::member(*value, "ColumnRef") : nullptr;
    const json* fields = ref != nullptr ? parse_tree::list(*ref, "fields") : nullptr;
    if (fields == nullptr || fields->size() != 1 || !target->contains("name") ||
        !is_select_modifier(string_field((*fields)[0])))
      return;
    std::uint64_t location = location_of(*ref);
    std::string word = ascii_uppered(string_field((*fields)[0]));
    std::vector<sql_edit> edits;
    std::size_t at = tokens_ != nullptr ? tokens_->starting_at(location) : sql_token_view::none;
    if (at != sql_token_view::none && at + 1 < tokens_->size())
      edits = {sql_edit{location, (*tokens_)[at + 1].begin, ""}};
    add(word + " is MySQL's: remove it (PostgreSQL reads it as a column)", location,
        std::move(edits));
  }

  // '2024-03-05' - INTERVAL '1 day': MySQL reads the string as a date,
  // PostgreSQL as an interval, which it then fails to read.
  void string_and_interval(const json& node) {
    const json* names = parse_tree::list(node, "name");
    const json* left = parse_tree::member(node, "lexpr");
    const json* right = parse_tree::member(node, "rexpr");
    if (names == nullptr || names->size() != 1 || left == nullptr || right == nullptr ||
        node.value("kind", "") != "AEXPR_OP")
      return;
    std::string op = string_field((*names)[0]);
    const json* constant = parse_tree::member(*left, "A_Const");
    const json* cast = parse_tree::member(*right, "TypeCast");
    const json* type = cast != nullptr ? parse_tree::member(*cast, "typeName") : nullptr;
    if ((op != "+" && op != "-") || constant == nullptr || !constant->contains("sval") ||
        type == nullptr || type->dump().find("\"interval\"") == std::string::npos)
      return;
    add("a string " + op +
            " INTERVAL is read as two intervals on PostgreSQL: write the string as a date, "
            "'...'::date (or ::timestamp)",
        location_of(*constant));
  }

  void value_function(const json& node) {
    auto op = node.find("op");
    if (op == node.end() || op->string_view() != "SVFOP_USER") return;
    std::uint64_t location = location_of(node);
    if (!word_at(sql_, location, "user")) return;
    std::string quoted = postgres_name("user");
    add("user here is PostgreSQL's current user, not a column or table: write " + quoted, location,
        {sql_edit{location, location + 4, quoted}});
  }

  void column_ref(const json& node) {
    auto fields = node.find("fields");
    if (fields == node.end() || !fields->is_array() || fields->size() != 1) return;
    std::uint64_t location = location_of(node);
    if (names_in_double_quotes_ || location >= sql_.size() || sql_[location] != '"') return;
    std::string value = string_field((*fields)[0]);
    std::string message = "\"" + shortened(value) +
                          "\" is a name on PostgreSQL, not a string: write '" + shortened(value) +
                          "'";
    std::vector<sql_edit> edits;
    std::uint64_t close = location + 1 + value.size();
    bool simple = value.find_first_of("'\"\\") == std::string::npos && close < sql_.size() &&
                  sql_[close] == '"' && sql_.substr(location + 1, value.size()) == value;
    if (tokens_ != nullptr && simple) {
      edits = {sql_edit{location, location + 1, "'"}, sql_edit{close, close + 1, "'"}};
    }
    add(std::move(message), location, std::move(edits));
  }

  void constant(const json& node) {
    auto sval = node.find("sval");
    if (sval == node.end() || !sval->is_object()) return;
    auto text = sval->find("sval");
    if (text == sval->end() || !text->is_string()) return;
    std::string_view value = text->string_view();
    if (value.rfind("0000-00-00", 0) != 0) return;
    add("PostgreSQL rejects the zero date '" + shortened(value) + "': write NULL",
        location_of(node));
  }

  void show(const json& node) {
    auto name = node.find("name");
    if (name == node.end() || !name->is_string()) return;
    std::string word = name->get<std::string>();
    for (std::string_view w : mysql_show_words) {
      if (w == word) {
        add("SHOW " + ascii_uppered(word) +
                " is MySQL's: query information_schema or pg_catalog instead",
            statement_location_);
        return;
      }
    }
  }

  // SET of a MySQL session variable, which PostgreSQL does not know: the
  // statement fails. SET time_zone has a PostgreSQL form for a zone's name
  // or an offset written in the text.
  void variable_set(const json& node) {
    std::string name = parse_tree::text_of(node, "name");
    const mysql_setting* row = find_mysql_setting(name);
    if (row == nullptr) return;
    add("SET " + ascii_uppered(name) + " " + std::string(row->advice), statement_location_,
        name == "time_zone" ? time_zone_edits() : std::vector<sql_edit>());
  }

  // SET [SESSION] time_zone = 'Europe/Berlin' -> SET TIME ZONE 'Europe/Berlin';
  // = '+02:00' -> SET TIME ZONE INTERVAL '+02:00' HOUR TO MINUTE, the sign
  // read as MySQL reads it.
  std::vector<sql_edit> time_zone_edits() const {
    if (tokens_ == nullptr) return {};
    const sql_token_view& t = *tokens_;
    std::size_t name = 0;
    while (name < t.size() && !t.is(name, "time_zone")) ++name;
    std::size_t value = name + 2;
    if (value >= t.size() || !(t.is_char(name + 1, '=') || t.is(name + 1, "to")) ||
        t[value].kind != sql_token_kind::sconst ||
        (value + 1 < t.size() && !t.is_char(value + 1, ';')))
      return {};
    std::string_view zone = t.bytes(value);
    zone = zone.substr(1, zone.size() - 2);
    sql_edit head{t[name].begin, t[value].begin, "TIME ZONE "};
    if (is_utc_offset(zone)) {
      head.replacement += "INTERVAL ";
      return {head, sql_edit{t[value].end, t[value].end, " HOUR TO MINUTE"}};
    }
    if (zone == "UTC" || zone.find('/') != std::string_view::npos) return {head};
    return {};
  }

  // "+02:00", "-5:30": MySQL's form of an offset from UTC.
  static bool is_utc_offset(std::string_view zone) {
    if (zone.size() < 5 || (zone[0] != '+' && zone[0] != '-')) return false;
    std::size_t colon = zone.find(':');
    if (colon != 2 && colon != 3) return false;
    for (std::size_t i = 1; i < zone.size(); ++i) {
      if (i != colon && (zone[i] < '0' || zone[i] > '9')) return false;
    }
    return zone.size() - colon == 3;
  }

  // "UPDATE IGNORE t SET ..." parses on PostgreSQL as an update of a table
  // named ignore, called t; LOW_PRIORITY likewise.
  void update(const json& node) {
    auto relation = node.find("relation");
    if (relation == node.end() || !relation->is_object() || !relation->contains("alias") ||
        relation->contains("schemaname")) {
      return;
    }
    std::string name = relation->value("relname", "");
    if (name != "ignore" && name != "low_priority") return;
    add("UPDATE " + ascii_uppered(name) +
            " is MySQL's: remove it (PostgreSQL reads it as the name of the table)",
        location_of(*relation));
  }

  // INSERT INTO t [(columns)] VALUES (NULL, ...) where the column is
  // auto-increment in the schema model.
  void insert(const json& node) {
    if (schema_ == nullptr) return;
    auto relation = node.find("relation");
    if (relation == node.end() || relation->contains("schemaname")) return;
    const table_model* table = schema_->table((*relation).value("relname", ""));
    if (table == nullptr) return;
    std::vector<const column_model*> columns;
    auto cols = node.find("cols");
    if (cols != node.end() && cols->is_array()) {
      for (const json& target : *cols) {
        const json* target_name = parse_tree::member(target, "ResTarget");
        columns.push_back(
            table->column(target_name != nullptr ? parse_tree::text_of(*target_name, "name") : ""));
      }
    } else {
      for (const column_model& c : table->columns) columns.push_back(&c);
    }
    const json* lists = find_values_lists(node);
    if (lists == nullptr) return;
    for (const json& row : *lists) {
      auto list = row.find("List");
      if (list == row.end() || !list->is_object()) continue;
      auto found = list->find("items");
      if (found == list->end() || !found->is_array()) continue;
      const json* items = &*found;
      for (std::size_t i = 0; i < items->size() && i < columns.size(); ++i) {
        null_into_auto_increment((*items)[i], columns[i]);
      }
    }
  }

  static const json* find_values_lists(const json& insert) {
    auto select = insert.find("selectStmt");
    if (select == insert.end()) return nullptr;
    auto stmt = select->find("SelectStmt");
    if (stmt == select->end()) return nullptr;
    auto lists = stmt->find("valuesLists");
    return lists != stmt->end() && lists->is_array() ? &*lists : nullptr;
  }

  // MySQL (unless NO_AUTO_VALUE_ON_ZERO) makes a new id for 0 and '',
  // which it reads as 0, as for NULL.
  void null_into_auto_increment(const json& item, const column_model* column) {
    if (column == nullptr || !column->auto_increment) return;
    auto constant = item.find("A_Const");
    if (constant == item.end()) return;
    std::uint64_t location = location_of(*constant);
    if (constant->value("isnull", false)) {
      if (!word_at(sql_, location, "null")) return;
      add("NULL into the auto-increment column " + column->name +
              " fails on PostgreSQL: write DEFAULT",
          location, {sql_edit{location, location + 4, "DEFAULT"}});
      return;
    }
    const json* number = parse_tree::member(*constant, "ival");
    const json* text = parse_tree::member(*constant, "sval");
    bool zero = number != nullptr && number->value("ival", 0) == 0;
    std::string value = text != nullptr ? text->value("sval", std::string("?")) : "?";
    if (!zero && value != "" && value != "0") return;
    std::vector<sql_edit> edits;
    std::size_t at = tokens_ != nullptr ? tokens_->starting_at(location) : sql_token_view::none;
    if (at != sql_token_view::none)
      edits = {sql_edit{(*tokens_)[at].begin, (*tokens_)[at].end, "DEFAULT"}};
    add("MySQL makes a new id for " + std::string(zero ? "0" : "'" + value + "'") +
            " in the auto-increment column " + column->name +
            ", PostgreSQL stores it: write DEFAULT",
        location, std::move(edits));
  }

  std::string_view sql_;
  const schema_model* schema_;
  const sql_token_view* tokens_;
  bool names_in_double_quotes_;
  std::uint64_t statement_location_ = 0;
  std::vector<tree_issue> issues_;
};

}  // namespace

std::vector<tree_issue> check_parse_tree(std::string_view sql, const parse_tree::node& tree,
                                         const schema_model* schema, const sql_token_view* tokens,
                                         bool names_in_double_quotes) {
  if (tree.is_discarded()) return {};
  std::vector<tree_issue> issues = tree_walk(sql, schema, tokens, names_in_double_quotes).run(tree);
  if (tokens == nullptr) {
    for (tree_issue& issue : issues) issue.rewrite.clear();
  }
  return issues;
}

bool may_need_tree_checks(std::string_view sql, const schema_model* schema) {
  if (sql.find('"') != std::string_view::npos || sql.find("0000-00-00") != std::string_view::npos) {
    return true;
  }
  std::string word;
  std::size_t first = sql.find_first_not_of(" \t\r\n");  // where a SET statement begins
  for (std::size_t i = 0; i < sql.size();) {
    if (!is_sql_word_byte(sql[i])) {
      ++i;
      continue;
    }
    std::size_t end = i;
    while (end < sql.size() && is_sql_word_byte(sql[end])) ++end;
    // A name of capitals and small letters may name an output column.
    std::string_view written = sql.substr(i, end - i);
    if (std::any_of(written.begin(), written.end(), [](char c) { return c >= 'a' && c <= 'z'; }) &&
        std::any_of(written.begin(), written.end(), [](char c) { return c >= 'A' && c <= 'Z'; }))
      return true;
    if (end - i <= 20) {  // the longest word asked for: sql_calc_found_rows
      word.assign(sql, i, end - i);
      for (char& c : word) c = ascii_lower(c);
      if (word == "user" || word == "show" || word == "having" || word == "group" ||
          word == "interval" || is_select_modifier(word) || word == "ignore" ||
          word == "low_priority" || word == "cast" || word == "binary" || word == "distinct" ||
          (word == "set" && i == first) ||
          (schema != nullptr && (word == "null" || word == "values"))) {
        return true;
      }
      std::size_t next = end;
      while (next < sql.size() && (sql[next] == ' ' || sql[next] == '\t' || sql[next] == '\n'))
        ++next;
      if (next < sql.size() && sql[next] == '(' && find_mysql_function(word) != nullptr)
        return true;
    }
    i = end;
  }
  return false;
}

}  // namespace corvexa::sql
