// A walk over libpg_query's JSON tree that keeps the scopes of FROM: each
// query level has the names it can see (its own FROM items, then those of
// the levels around it). Where SQL's rules are finer than this (a FROM
// subquery sees its siblings here even when not LATERAL) the walk sees
// more names, never fewer, so that it errs towards silence.
#include "sql/schema_checks.h"

#include <algorithm>
#include <optional>
#include <set>
#include <span>

#include "common/ascii.h"
#include "sql/boolean_values.h"
#include "sql/enum_order.h"
#include "sql/mysql_syntax_hints.h"
#include "sql/parse_tree_json.h"
#include "sql/postgres_names.h"
#include "sql/zero_dates.h"

namespace corvexa::sql {
namespace {

using json = parse_tree::json;
using parse_tree::list;
using parse_tree::location_of;
using parse_tree::member;
using parse_tree::string_field;
using parse_tree::text_of;

constexpr int max_depth = 1000;

constexpr std::string_view system_columns[] = {"ctid", "oid",  "xmin",    "xmax",
                                               "cmin", "cmax", "tableoid"};
constexpr std::string_view comparison_operators[] = {"=", "<>", "!=", "<", ">", "<=", ">="};
// The operators whose result on whole numbers is a whole number on both
// sides (MySQL's "/" is not).
constexpr std::string_view whole_number_operators[] = {"+", "-", "*"};
// The column types that hold integers, as the schema model writes them.
constexpr std::string_view integer_types[] = {"smallint", "integer", "bigint"};
// The string functions whose first argument MySQL turns into text where it
// is a number, which PostgreSQL has for text only.
constexpr std::string_view text_functions[] = {
    "lpad",      "rpad",   "left",    "right",   "length", "char_length", "character_length",
    "substring", "substr", "replace", "reverse", "repeat", "upper",       "lower",
    "md5",       "ucase",  "lcase"};

const std::string not_in_schema = " is not in the schema (the tree's .sql files and --schema)";

// The bytes [first, second) of the parsed text.
using byte_span = std::pair<std::uint64_t, std::uint64_t>;

bool is_one_of(std::string_view name, std::span<const std::string_view> names) {
  return std::find(names.begin(), names.end(), name) != names.end();
}

// The operator of an operator expression of one name ("+", "=", ...); empty
// for anything else.
std::string operator_of(const json& expr) {
  if (text_of(expr, "kind") != "AEXPR_OP") return {};
  const json* names = list(expr, "name");
  return names != nullptr && names->size() == 1 ? string_field((*names)[0]) : std::string();
}

struct range_entry {
  std::string name;                    // what the query calls it: alias or table name
  const table_model* table = nullptr;  // null: its columns are not known
  // On the side of an outer join that has NULL rows where nothing matched.
  bool null_extended = false;
};

struct scope {
  const scope* outer = nullptr;
  std::vector<range_entry> entries;
};

// Names the statement gives itself anywhere: CTE names and output column
// aliases. A table or column of such a name is never reported.
void collect_own_names(const json& node, std::set<std::string>& ctes,
                       std::set<std::string>& aliases, int depth) {
  if (depth > max_depth || !node.is_structured()) return;
  if (node.is_object()) {
    if (const json* cte = member(node, "CommonTableExpr")) ctes.insert(text_of(*cte, "ctename"));
    if (const json* select = member(node, "SelectStmt")) {
      if (const json* targets = list(*select, "targetList")) {
        for (const json& t : *targets) {
          if (const json* target = member(t, "ResTarget")) aliases.insert(text_of(*target, "name"));
        }
      }
    }
  }
  for (const json& child : node) collect_own_names(child, ctes, aliases, depth + 1);
}

class name_walk {
 public:
  name_walk(const sql_token_view& tokens, const schema_model& schema, const name_origin_of& origin,
            const number_value_at& number_value)
      : tokens_(tokens), schema_(schema), origin_(origin), number_value_(number_value) {}

  schema_reading run(const json& tree) {
    const json* stmts = list(tree, "stmts");
    if (stmts == nullptr) return {};
    for (const json& raw : *stmts) {
      const json* stmt = member(raw, "stmt");
      if (stmt == nullptr) continue;
      ctes_.clear();
      aliases_.clear();
      collect_own_names(*stmt, ctes_, aliases_, 0);
      statement(*stmt, nullptr, 0);
    }
    return std::move(reading_);
  }

 private:
  void statement(const json& node, const scope* outer, int depth) {
    if (depth > max_depth) return;
    if (const json* s = member(node, "SelectStmt")) select(*s, outer, depth);
    if (const json* s = member(node, "InsertStmt")) insert(*s, depth);
    if (const json* s = member(node, "UpdateStmt")) update(*s, depth);
    if (const json* s = member(node, "DeleteStmt")) remove(*s, depth);
    if (const json* s = member(node, "ViewStmt")) {
      if (const json* query = member(*s, "query")) statement(*query, outer, depth + 1);
    }
  }

  void with_clause(const json& stmt, const scope* outer, int depth) {
    const json* with = member(stmt, "withClause");
    const json* ctes = with != nullptr ? list(*with, "ctes") : nullptr;
    if (ctes == nullptr) return;
    for (const json& c : *ctes) {
      const json* cte = member(c, "CommonTableExpr");
      if (const json* query = cte != nullptr ? member(*cte, "ctequery") : nullptr)
        statement(*query, outer, depth + 1);
    }
  }

  void select(const json& stmt, const scope* outer, int depth) {
    if (depth > max_depth) return;  // a UNION of thousands nests as deep
    with_clause(stmt, outer, depth);
    if (text_of(stmt, "op") != "SETOP_NONE" && stmt.contains("op")) {
      // The ORDER BY of a UNION names output columns: only the branches are read.
      for (const char* side : {"larg", "rarg"}) {
        if (const json* branch = member(stmt, side)) select(*branch, outer, depth + 1);
      }
      return;
    }
    scope level{outer, {}};
    std::vector<const json*> join_conditions;
    if (const json* from = list(stmt, "fromClause")) {
      for (const json& item : *from) from_item(item, level, join_conditions, depth + 1);
    }
    for (const json* quals : join_conditions) {
      condition(*quals, level);
      expression(*quals, level, depth + 1);
    }
    ungrouped_columns(stmt, level);
    null_order(stmt, level);
    if (outer == nullptr && depth == 0) star_columns(stmt, level);
    if (outer == nullptr) boolean_outputs(stmt);
    for (const char* key : {"whereClause", "havingClause"}) {
      if (const json* part = member(stmt, key)) condition(*part, level);
    }
    for (const char* key :
         {"targetList", "whereClause", "groupClause", "havingClause", "sortClause",
          "distinctClause", "windowClause", "valuesLists", "limitOffset", "limitCount"}) {
      if (const json* part = member(stmt, key)) expression(*part, level, depth + 1);
    }
  }

  void from_item(const json& item, scope& level, std::vector<const json*>& join_conditions,
                 int depth) {
    if (depth > max_depth) return;
    if (const json* range = member(item, "RangeVar")) {
      level.entries.push_back(table_reference(*range));
    } else if (const json* join = member(item, "JoinExpr")) {
      // A column of an outer join's other side is NULL where no row
      // matched, which a zero date turned IS NULL would take for its own.
      std::string type = text_of(*join, "jointype");
      for (const char* side : {"larg", "rarg"}) {
        std::size_t before = level.entries.size();
        if (const json* part = member(*join, side))
          from_item(*part, level, join_conditions, depth + 1);
        bool left = side == std::string_view("larg");
        if (type == "JOIN_FULL" || type == (left ? "JOIN_RIGHT" : "JOIN_LEFT")) {
          for (std::size_t i = before; i < level.entries.size(); ++i)
            level.entries[i].null_extended = true;
        }
      }
      if (const json* quals = member(*join, "quals")) join_conditions.push_back(quals);
      if (const json* alias = member(*join, "alias"))
        level.entries.push_back({text_of(*alias, "aliasname"), nullptr});
    } else if (const json* sub = member(item, "RangeSubselect")) {
      if (const json* query = member(*sub, "subquery")) statement(*query, &level, depth + 1);
      const json* alias = member(*sub, "alias");
      level.entries.push_back({alias != nullptr ? text_of(*alias, "aliasname") : "", nullptr});
    } else {
      // A function, a table sample, XMLTABLE...: columns not known here.
      const json* node = item.is_object() && !item.empty() ? &item.begin().value() : nullptr;
      const json* alias = node != nullptr ? member(*node, "alias") : nullptr;
      std::string name = alias != nullptr ? text_of(*alias, "aliasname") : "";
      // FROM user, MySQL's table, which the tree checks quote.
      if (const json* range = member(item, "RangeFunction");
          range != nullptr && names_user(*range)) {
        const table_model* table = schema_.table("user");
        level.entries.push_back({name.empty() ? "user" : name,
                                 table != nullptr && table->columns_known ? table : nullptr});
        return;
      }
      level.entries.push_back({name, nullptr});
      if (node != nullptr) expression(*node, level, depth + 1);
    }
  }

  // A FROM item that is PostgreSQL's current user alone: FROM user.
  static bool names_user(const json& range) {
    const json* functions = list(range, "functions");
    if (functions == nullptr || functions->size() != 1) return false;
    const json* pair = member((*functions)[0], "List");
    const json* items = pair != nullptr ? list(*pair, "items") : nullptr;
    const json* call =
        items != nullptr && !items->empty() ? member((*items)[0], "SQLValueFunction") : nullptr;
    return call != nullptr && text_of(*call, "op") == "SVFOP_USER";
  }

  // The table a RangeVar names, reported when the schema does not have it.
  range_entry table_reference(const json& range) {
    std::string name = text_of(range, "relname");
    std::string schema_name = text_of(range, "schemaname");
    const json* alias = member(range, "alias");
    range_entry entry{alias != nullptr ? text_of(*alias, "aliasname") : name, nullptr};
    // Columns renamed by the alias are not the table's.
    bool renamed = alias != nullptr && member(*alias, "colnames") != nullptr;
    if (range.contains("catalogname") || (!schema_name.empty() && schema_name != "public") ||
        (schema_name.empty() && ctes_.count(name) > 0) || name.rfind("pg_", 0) == 0) {
      return entry;
    }
    std::size_t token = name_token(location_of(range), schema_name.empty() ? 0 : 1, name);
    if (token == sql_token_view::none || origin_of(token) == name_origin::placeholder) return entry;
    const table_model* table = schema_.table(name);
    if (table == nullptr) {
      report(token, "table \"" + name + "\"" + not_in_schema);
      return entry;
    }
    if (!renamed && table->columns_known) entry.table = table;
    return entry;
  }

  void insert(const json& stmt, int depth) {
    with_clause(stmt, nullptr, depth);
    const json* relation = member(stmt, "relation");
    if (relation == nullptr) return;
    range_entry target = table_reference(*relation);
    const json* cols = list(stmt, "cols");
    if (cols != nullptr) target_names(*cols, target.table);
    if (const json* query = member(stmt, "selectStmt")) {
      inserted_values(*query, cols, target.table);
      statement(*query, nullptr, depth + 1);
    }
    scope level{nullptr, {target}};
    if (const json* conflict = member(stmt, "onConflictClause")) {
      scope with_excluded{nullptr, {target, {"excluded", target.table}}};
      if (const json* targets = list(*conflict, "targetList")) {
        target_names(*targets, target.table);
        values(*targets, with_excluded, depth + 1);
      }
      if (const json* where = member(*conflict, "whereClause"))
        expression(*where, with_excluded, depth + 1);
    }
    if (const json* returning = member(stmt, "returningList"))
      expression(*returning, level, depth + 1);
  }

  void update(const json& stmt, int depth) {
    with_clause(stmt, nullptr, depth);
    const json* relation = member(stmt, "relation");
    if (relation == nullptr) return;
    scope level{nullptr, {table_reference(*relation)}};
    const table_model* table = level.entries.front().table;
    std::vector<const json*> join_conditions;
    if (const json* from = list(stmt, "fromClause")) {
      for (const json& item : *from) from_item(item, level, join_conditions, depth + 1);
    }
    for (const json* quals : join_conditions) {
      condition(*quals, level);
      expression(*quals, level, depth + 1);
    }
    if (const json* targets = list(stmt, "targetList")) {
      target_names(*targets, table, &level.entries.front());
      assigned_values(*targets, table);
      boolean_assignments(*targets);
      values(*targets, level, depth + 1);
    }
    if (const json* where = member(stmt, "whereClause")) condition(*where, level);
    for (const char* key : {"whereClause", "returningList"}) {
      if (const json* part = member(stmt, key)) expression(*part, level, depth + 1);
    }
  }

  void remove(const json& stmt, int depth) {
    with_clause(stmt, nullptr, depth);
    const json* relation = member(stmt, "relation");
    if (relation == nullptr) return;
    scope level{nullptr, {table_reference(*relation)}};
    std::vector<const json*> join_conditions;
    if (const json* using_list = list(stmt, "usingClause")) {
      for (const json& item : *using_list) from_item(item, level, join_conditions, depth + 1);
    }
    for (const json* quals : join_conditions) {
      condition(*quals, level);
      expression(*quals, level, depth + 1);
    }
    if (const json* where = member(stmt, "whereClause")) condition(*where, level);
    for (const char* key : {"whereClause", "returningList"}) {
      if (const json* part = member(stmt, key)) expression(*part, level, depth + 1);
    }
  }

  // The columns an INSERT or UPDATE assigns: ResTargets named after them.
  // `updated` is the table an UPDATE names, as its SET may qualify them.
  void target_names(const json& targets, const table_model* table,
                    const range_entry* updated = nullptr) {
    if (table == nullptr) return;
    for (const json& t : targets) {
      const json* target = member(t, "ResTarget");
      if (target == nullptr) continue;
      std::string name = text_of(*target, "name");
      if (name.empty() || table->column(name) != nullptr || is_one_of(name, system_columns))
        continue;
      if (updated != nullptr && qualified_assignment(*target, name, *updated)) continue;
      std::size_t token = name_token(location_of(*target), 0, name);
      if (token != sql_token_view::none)
        report(token, "column \"" + name + "\" is not in table \"" + table->name + "\"");
    }
  }

  // SET t.c = ... of the updated table t (or its alias) assigns MySQL's
  // column c; PostgreSQL reads a field c of a column t, which fails. The
  // qualifier goes. False when the target is no such assignment.
  bool qualified_assignment(const json& target, const std::string& name,
                            const range_entry& updated) {
    const json* fields = list(target, "indirection");
    if (name != updated.name || fields == nullptr || fields->size() != 1) return false;
    std::string column = string_field((*fields)[0]);
    if (column.empty() || updated.table->column(column) == nullptr) return false;
    std::size_t first = name_token(location_of(target), 0, name);
    if (first == sql_token_view::none || !tokens_.is_char(first + 1, '.') ||
        name_token(tokens_[first].begin, 1, column) == sql_token_view::none ||
        !written_span(first, first + 1))
      return false;
    reading_.rewrites.push_back(
        schema_rewrite{"SET " + name + "." + column + " is MySQL's column " + column +
                           ", a field of a column on PostgreSQL: write SET " + column,
                       tokens_[first].begin,
                       {sql_edit{tokens_[first].begin, tokens_[first + 2].begin, ""}}});
    return true;
  }

  // VALUES rows of an INSERT: each constant goes to the column of its place.
  void inserted_values(const json& query, const json* cols, const table_model* table) {
    const json* select = member(query, "SelectStmt");
    const json* rows = select != nullptr ? list(*select, "valuesLists") : nullptr;
    if (table == nullptr || rows == nullptr) return;
    std::vector<const column_model*> columns;
    if (cols != nullptr) {
      for (const json& t : *cols) {
        const json* target = member(t, "ResTarget");
        bool plain = target != nullptr && member(*target, "indirection") == nullptr;
        columns.push_back(plain ? table->column(text_of(*target, "name")) : nullptr);
      }
    } else {
      for (const column_model& c : table->columns) columns.push_back(&c);
    }
    for (const json& row : *rows) {
      const json* items = member(row, "List");
      items = items != nullptr ? list(*items, "items") : nullptr;
      if (items == nullptr) continue;
      for (std::size_t i = 0; i < items->size() && i < columns.size(); ++i) {
        string_value((*items)[i], table, columns[i], true);
        zero_date_value((*items)[i], columns[i]);
      }
    }
  }

  void assigned_values(const json& targets, const table_model* table) {
    if (table == nullptr) return;
    for (const json& t : targets) {
      const json* target = member(t, "ResTarget");
      if (target == nullptr || member(*target, "indirection") != nullptr) continue;
      if (const json* value = member(*target, "val")) {
        const column_model* column = table->column(text_of(*target, "name"));
        string_value(*value, table, column);
        zero_date_value(*value, column);
      }
    }
  }

  // `column = 'constant'` (or another comparison, either way round).
  void comparison(const json& node, const scope& level) {
    std::string op = operator_of(node);
    if (!is_one_of(op, comparison_operators)) return;
    const json* left = member(node, "lexpr");
    const json* right = member(node, "rexpr");
    if (left == nullptr || right == nullptr) return;
    for (int side = 0; side < 2; ++side) {
      const json* ref = member(side == 0 ? *left : *right, "ColumnRef");
      if (ref == nullptr) continue;
      const range_entry* entry = nullptr;
      auto [table, column] = resolved(*ref, level, &entry);
      if (column == nullptr) continue;
      const json& other = side == 0 ? *right : *left;
      string_value(other, table, column);
      zero_date_comparison(op, *ref, *column, other, side == 0,
                           entry == nullptr || entry->null_extended);
    }
  }

  // d LIKE '2010-03-%' of a date column: MySQL matched the date's text,
  // PostgreSQL has no LIKE of dates. Their texts are the same.
  void date_pattern(const json& node, const scope& level) {
    std::string kind = text_of(node, "kind");
    if (kind != "AEXPR_LIKE" && kind != "AEXPR_ILIKE") return;
    const json* left = member(node, "lexpr");
    const json* ref = left != nullptr ? member(*left, "ColumnRef") : nullptr;
    if (ref == nullptr) return;
    const column_model* column = resolved(*ref, level).second;
    if (column == nullptr || !(column->type == "date" || column->type.starts_with("timestamp")))
      return;
    auto span = reference_span(*ref);
    if (!span) return;
    reading_.rewrites.push_back(schema_rewrite{
        "LIKE matched the text of a date on MySQL; PostgreSQL has no LIKE of dates: write "
        "(column)::text LIKE",
        span->first,
        {sql_edit{span->first, span->first, "("},
         sql_edit{span->second, span->second, ")::text"}}});
  }

  // The written zero date ('0000-00-00', '0000-00-00 00:00:00') that `node`
  // is, given to or compared with a date column: PostgreSQL has no such
  // date. Its span, or none.
  std::optional<byte_span> zero_date(const json& node, const column_model& column) const {
    const json* constant = member(node, "A_Const");
    const json* sval = constant ? member(*constant, "sval") : nullptr;
    if (sval == nullptr || !(column.type == "date" || column.type.starts_with("timestamp"))) {
      return std::nullopt;
    }
    // MySQL took '' for a date as the zero date (with a warning).
    std::string value = text_of(*sval, "sval");
    if (!is_zero_date(value) && !value.empty()) return std::nullopt;
    std::size_t token = tokens_.starting_at(location_of(*constant));
    if (token == sql_token_view::none) return std::nullopt;
    return written_span(token, token);
  }

  void add_zero_date_rewrite(std::uint64_t location, std::vector<sql_edit> edits) {
    reading_.rewrites.push_back(schema_rewrite{
        "MySQL's zero date is NULL in the converted data ('-infinity' in a NOT NULL column), "
        "which PostgreSQL compares with IS NULL",
        location, std::move(edits), true});
  }

  // `d = '0000-00-00'` -> `d IS NULL`, `d <> '0000-00-00'` -> `d IS NOT
  // NULL`; in a NOT NULL column every comparison with '-infinity', which
  // stands below every date as the zero date did.
  void zero_date_comparison(const std::string& op, const json& ref, const column_model& column,
                            const json& other, bool column_first, bool null_extended) {
    auto name = reference_span(ref);
    if (!name) return;
    if (column.not_null) {
      zero_date_value(other, &column);
      return;
    }
    auto constant = zero_date(other, column);
    if (!constant) return;
    // The zero date stood below every other date, and NULL compares with
    // none: d > zero held for every other date, as d IS NOT NULL does,
    // and d <= zero for the zero date alone.
    bool above = column_first ? op == ">" : op == "<";
    bool at_most = column_first ? op == "<=" : op == ">=";
    if ((op == "=" || at_most) && null_extended) return;
    std::string_view test = op == "=" || at_most                ? " IS NULL)"
                            : op == "<>" || op == "!=" || above ? " IS NOT NULL)"
                                                                : "";
    if (test.empty()) return;
    std::vector<sql_edit> edits;
    if (column_first) {
      edits = {sql_edit{name->first, name->first, "("},
               sql_edit{name->second, constant->second, std::string(test)}};
    } else {
      edits = {sql_edit{constant->first, name->first, "("},
               sql_edit{name->second, name->second, std::string(test)}};
    }
    add_zero_date_rewrite(constant->first, std::move(edits));
  }

  // A zero date given to a date column: the value the converted data
  // holds for it.
  void zero_date_value(const json& node, const column_model* column) {
    if (column == nullptr) return;
    if (auto constant = zero_date(node, *column)) {
      add_zero_date_rewrite(constant->first,
                            {sql_edit{constant->first, constant->second,
                                      std::string(zero_date_stand_in(column->not_null))}});
    }
  }

  // `a / b` where each side is an integer written out (a number, an
  // integer column, COUNT(...)): MySQL divides into a decimal of four
  // places, and gives NULL for a division by zero; PostgreSQL into an
  // integer, and fails.
  void division(const json& node, const scope& level) {
    if (operator_of(node) != "/") return;
    const json* left = member(node, "lexpr");
    const json* right = member(node, "rexpr");
    if (left == nullptr || right == nullptr) return;
    auto l = integer_operand(*left, level);
    auto r = integer_operand(*right, level);
    if (!l || !r) return;
    reading_.rewrites.push_back(schema_rewrite{
        "a / b of integers gives a decimal on MySQL (5 / 2 is 2.5000, / 0 NULL) and an integer "
        "on PostgreSQL: write round(a::numeric / NULLIF(b, 0), 4)",
        l->first,
        {sql_edit{l->first, l->first, "round(("}, sql_edit{l->second, l->second, ")::numeric"},
         sql_edit{r->first, r->first, "NULLIF("}, sql_edit{r->second, r->second, ", 0), 4)"}}});
  }

  // SELECT a, b ... GROUP BY a: MySQL (before 5.7 made ONLY_FULL_GROUP_BY
  // its default) returns any value of b in each group, where PostgreSQL
  // refuses b unless it is grouped, aggregated or its table's primary key
  // is grouped. min(b) is one of the values MySQL may return, and keeps the
  // column's name. Only plain columns of the select list are rewritten.
  void ungrouped_columns(const json& stmt, const scope& level) {
    const json* groups = list(stmt, "groupClause");
    const json* targets = list(stmt, "targetList");
    if (groups == nullptr || groups->empty() || targets == nullptr) return;
    std::vector<std::pair<const table_model*, const column_model*>> grouped;
    for (const json& g : *groups) {
      const json* ref = member(g, "ColumnRef");
      auto found = ref != nullptr ? resolved(*ref, level)
                                  : std::pair<const table_model*, const column_model*>{};
      if (found.second == nullptr) return;  // by an expression or a position: not judged
      grouped.push_back(found);
    }
    auto is_grouped = [&grouped](const table_model* table, const std::string& column) {
      return std::any_of(grouped.begin(), grouped.end(), [&](const auto& g) {
        return g.first == table && g.second->name == column;
      });
    };
    for (const json& t : *targets) {
      const json* target = member(t, "ResTarget");
      const json* value = target != nullptr ? member(*target, "val") : nullptr;
      const json* ref = value != nullptr ? member(*value, "ColumnRef") : nullptr;
      if (ref == nullptr) continue;  // aggregates and expressions are not judged
      const column_model* column = ungrouped_column(*ref, level, is_grouped);
      if (column == nullptr) continue;
      auto span = reference_span(*ref);
      if (!span) continue;
      auto [begin, end] = *span;
      std::string name = postgres_name(column->name);
      // The name as the query writes it, which PHP reads as the key.
      std::string_view written =
          tokens_.text().substr(tokens_[tokens_.starting_at(begin)].begin, end - begin);
      written =
          written.substr(written.rfind('.') == std::string_view::npos ? 0 : written.rfind('.') + 1);
      std::string alias = std::any_of(written.begin(), written.end(),
                                      [](char c) { return c >= 'A' && c <= 'Z'; }) &&
                                  written.front() != '"'
                              ? "\"" + std::string(written) + "\""
                              : name;
      bool aliased = !text_of(*target, "name").empty();
      reading_.rewrites.push_back(
          schema_rewrite{"column " + name +
                             " is neither grouped nor aggregated: MySQL returns any value of "
                             "the group, PostgreSQL refuses the query: write min(" +
                             name + ") AS " + name,
                         begin,
                         {sql_edit{begin, begin, "min("},
                          sql_edit{end, end, aliased ? std::string(")") : ") AS " + alias}}});
    }
    ungrouped_order(stmt, level, is_grouped);
  }

  // The column `ref` means where GROUP BY neither groups it nor its table's
  // whole primary key, and min() can stand for it; null otherwise.
  template <typename grouped_test>
  const column_model* ungrouped_column(const json& ref, const scope& level,
                                       const grouped_test& is_grouped) const {
    // Named, not bound: the lambda below takes the table.
    const auto found = resolved(ref, level);
    const table_model* table = found.first;
    const column_model* column = found.second;
    if (column == nullptr || !has_min(column->type) || is_grouped(table, column->name) ||
        (!table->primary_key.empty() &&
         std::all_of(table->primary_key.begin(), table->primary_key.end(),
                     [&](const std::string& c) { return is_grouped(table, c); }))) {
      return nullptr;
    }
    return column;
  }

  // An ORDER BY item that sorts by a plain column: its SortBy node and the
  // column's reference.
  struct sorted_column {
    const json* sort;
    const json* ref;
  };

  static std::vector<sorted_column> sorted_columns(const json& stmt) {
    std::vector<sorted_column> found;
    const json* sorts = list(stmt, "sortClause");
    if (sorts == nullptr) return found;
    for (const json& item : *sorts) {
      const json* sort = member(item, "SortBy");
      const json* node = sort != nullptr ? member(*sort, "node") : nullptr;
      const json* ref = node != nullptr ? member(*node, "ColumnRef") : nullptr;
      if (ref != nullptr) found.push_back(sorted_column{sort, ref});
    }
    return found;
  }

  // ORDER BY a column neither grouped nor in the SELECT list (which names
  // the output column): MySQL sorted the groups by any value of theirs.
  template <typename grouped_test>
  void ungrouped_order(const json& stmt, const scope& level, const grouped_test& is_grouped) {
    for (const sorted_column& sorted : sorted_columns(stmt)) {
      const json* ref = sorted.ref;
      const json* fields = list(*ref, "fields");
      if (fields == nullptr ||
          (fields->size() == 1 && output_named(stmt, string_field((*fields)[0]))))
        continue;
      const column_model* column = ungrouped_column(*ref, level, is_grouped);
      if (column == nullptr) continue;
      auto span = reference_span(*ref);
      if (!span) continue;
      std::string written(tokens_.text().substr(span->first, span->second - span->first));
      reading_.rewrites.push_back(schema_rewrite{
          "ORDER BY column " + postgres_name(column->name) +
              " is neither grouped nor aggregated: MySQL sorted by any value of the group, "
              "PostgreSQL refuses the query: write min(" +
              postgres_name(column->name) + ")",
          span->first,
          {sql_edit{span->first, span->second, "min(" + written + ")"}}});
    }
  }

  // True if the SELECT list has an output column `name`: an alias, or a
  // column selected by that name.
  static bool output_named(const json& stmt, const std::string& name) {
    const json* targets = list(stmt, "targetList");
    if (targets == nullptr) return false;
    for (const json& t : *targets) {
      const json* target = member(t, "ResTarget");
      if (target == nullptr) continue;
      if (text_of(*target, "name") == name) return true;
      const json* value = member(*target, "val");
      const json* ref = value != nullptr ? member(*value, "ColumnRef") : nullptr;
      const json* fields = ref != nullptr ? list(*ref, "fields") : nullptr;
      if (fields != nullptr && !fields->empty() && string_field(fields->back()) == name)
        return true;
    }
    return false;
  }

  // SELECT * of one table whose MySQL columns had capitals: MySQL named
  // the output columns as its schema spelled them, and PHP reads those
  // names as keys; PostgreSQL's are in lower case. The columns are written
  // out, those with capitals under MySQL's names.
  void star_columns(const json& stmt, const scope& level) {
    const json* targets = list(stmt, "targetList");
    if (targets == nullptr || level.entries.size() != 1 || level.entries[0].table == nullptr)
      return;
    const table_model& table = *level.entries[0].table;
    if (std::none_of(table.columns.begin(), table.columns.end(),
                     [](const column_model& c) { return !c.mysql_name.empty(); }))
      return;
    for (const json& t : *targets) {
      const json* target = member(t, "ResTarget");
      const json* value = target != nullptr ? member(*target, "val") : nullptr;
      const json* ref = value != nullptr ? member(*value, "ColumnRef") : nullptr;
      const json* fields = ref != nullptr ? list(*ref, "fields") : nullptr;
      if (fields == nullptr || fields->size() != 1 || member((*fields)[0], "A_Star") == nullptr)
        continue;
      std::size_t star = tokens_.starting_at(location_of(*ref));
      if (star == sql_token_view::none || !tokens_.is_char(star, '*') ||
          origin_(tokens_[star].begin, tokens_[star].end) != name_origin::written)
        continue;
      std::string columns;
      for (const column_model& c : table.columns) {
        if (!columns.empty()) columns += ", ";
        columns += postgres_name(c.name);
        if (!c.mysql_name.empty()) columns += " AS \"" + c.mysql_name + "\"";
      }
      reading_.rewrites.push_back(schema_rewrite{
          "SELECT * names the columns of " + postgres_name(table.name) +
              " in lower case on PostgreSQL, as MySQL's schema spelled them on MySQL (which PHP "
              "reads as keys): write them out with their MySQL names in double quotes",
          tokens_[star].begin,
          {sql_edit{tokens_[star].begin, tokens_[star].end, std::move(columns)}}});
    }
  }

  // ORDER BY a column that may be NULL: MySQL sorts NULL below every
  // value (first going up, last going down), PostgreSQL above. A zero
  // date, which the converted data holds as NULL, sorted there too.
  void null_order(const json& stmt, const scope& level) {
    for (const sorted_column& sorted : sorted_columns(stmt)) {
      const json* sort = sorted.sort;
      const json* ref = sorted.ref;
      if (text_of(*sort, "sortby_nulls") != "SORTBY_NULLS_DEFAULT") continue;
      auto [table, column] = resolved(*ref, level);
      if (column != nullptr) enum_order(*ref, *column);
      if (column == nullptr || column->not_null ||
          std::find(table->primary_key.begin(), table->primary_key.end(), column->name) !=
              table->primary_key.end())
        continue;
      auto span = reference_span(*ref);
      if (!span) continue;
      std::size_t last = tokens_.starting_at(span->first);
      while (last != sql_token_view::none && tokens_[last].end < span->second) ++last;
      bool down = text_of(*sort, "sortby_dir") == "SORTBY_DESC";
      if (tokens_.is(last + 1, "asc") || tokens_.is(last + 1, "desc")) ++last;
      if (last >= tokens_.size() ||
          origin_(tokens_[last].begin, tokens_[last].end) == name_origin::placeholder)
        continue;
      std::string nulls = down ? " NULLS LAST" : " NULLS FIRST";
      reading_.rewrites.push_back(schema_rewrite{
          "column " + postgres_name(column->name) +
              " may be NULL, which MySQL sorts below every value and PostgreSQL above: write" +
              nulls,
          span->first,
          {sql_edit{tokens_[last].end, tokens_[last].end, nulls}}});
    }
  }

  // ORDER BY an ENUM column: MySQL sorted by the order of its values.
  void enum_order(const json& ref, const column_model& column) {
    if (column.enum_literals.empty()) return;
    auto span = reference_span(ref);
    if (!span) return;
    std::string_view written = tokens_.text().substr(span->first, span->second - span->first);
    reading_.rewrites.push_back(schema_rewrite{
        "column " + postgres_name(column.name) +
            " was an ENUM, which MySQL sorted by the order of its values, PostgreSQL sorts its "
            "text by letters: write array_position(ARRAY[values], (column)::text)",
        span->first,
        {sql_edit{span->first, span->second, enum_order_key(column, written)}}});
  }

  // status + 0 of an ENUM column: MySQL computes with the value's place in
  // the list (1 for the first), PostgreSQL refuses arithmetic on text.
  void enum_arithmetic(const json& node, const scope& level) {
    if (!is_one_of(operator_of(node), whole_number_operators)) return;
    for (const char* side : {"lexpr", "rexpr"}) {
      const json* operand = member(node, side);
      const json* ref = operand != nullptr ? member(*operand, "ColumnRef") : nullptr;
      const column_model* column = ref != nullptr ? resolved(*ref, level).second : nullptr;
      if (column == nullptr || column->enum_literals.empty()) continue;
      auto span = reference_span(*ref);
      if (!span) continue;
      std::string_view written = tokens_.text().substr(span->first, span->second - span->first);
      reading_.rewrites.push_back(schema_rewrite{
          "column " + postgres_name(column->name) +
              " was an ENUM, whose arithmetic MySQL did with the value's place in the list: "
              "write array_position(ARRAY[values], (column)::text)",
          span->first,
          {sql_edit{span->first, span->second, enum_order_key(*column, written)}}});
    }
  }

  // True if PostgreSQL has min() of a column of `type`.
  static bool has_min(std::string_view type) {
    constexpr std::string_view ordered[] = {
        "smallint", "integer",   "bigint", "numeric", "real", "double precision", "text", "varchar",
        "char",     "character", "citext", "date",    "time", "timestamp"};
    return std::any_of(std::begin(ordered), std::end(ordered),
                       [type](std::string_view t) { return type.starts_with(t); });
  }

  // AVG(c) of an integer column: a decimal of four places on MySQL (2.3333),
  // of sixteen or more on PostgreSQL.
  void average(const json& call, const scope& level) {
    const json* args = list(call, "args");
    if (!is_call_of(call, "avg") || args == nullptr || args->size() != 1 ||
        member(call, "agg_distinct") != nullptr ||
        !(integer_operand((*args)[0], level) || yields_boolean((*args)[0]))) {
      return;
    }
    auto span = call_span(call);
    if (!span) return;
    auto [begin, end] = *span;
    reading_.rewrites.push_back(schema_rewrite{
        "AVG() of integers gives four decimal places on MySQL (2.3333), more on PostgreSQL: "
        "write round(avg(x), 4)",
        begin,
        {sql_edit{begin, begin, "round("}, sql_edit{end, end, ", 4)"}}});
  }

  // IF(n, a, b) of an integer n, a flag column most often: MySQL tests
  // n <> 0, which CASE WHEN must write out.
  void if_of_number(const json& call, const scope& level) {
    const json* args = list(call, "args");
    if (!is_call_of(call, "if") || args == nullptr || args->size() != 3 ||
        !integer_expression((*args)[0], level, 0))
      return;
    std::size_t name = tokens_.starting_at(location_of(call));
    if (name == sql_token_view::none || !tokens_.is_char(name + 1, '(')) return;
    std::size_t open = name + 1, close = tokens_.closing_paren(open);
    if (close == sql_token_view::none) return;
    std::vector<std::size_t> commas = tokens_.commas_between(open, close);
    if (commas.size() != 2 || !written_span(open + 1, commas[0] - 1)) return;
    auto keyword = [&](std::size_t comma, std::string text) {
      std::uint64_t next = tokens_[comma].end;
      if (next < tokens_.text().size() && tokens_.text()[next] != ' ') text += ' ';
      return sql_edit{tokens_[comma].begin, tokens_[comma].end, std::move(text)};
    };
    reading_.rewrites.push_back(
        schema_rewrite{"IF() of a number is MySQL's: write CASE WHEN n <> 0 THEN a ELSE b END",
                       tokens_[name].begin,
                       {sql_edit{tokens_[name].begin, tokens_[open].end, "CASE WHEN ("},
                        keyword(commas[0], ") <> 0 THEN"), keyword(commas[1], " ELSE"),
                        sql_edit{tokens_[close].begin, tokens_[close].end, " END"}},
                       true});
  }

  // LPAD(id, 5, '0') and the other string functions of a number column:
  // MySQL reads the number as its text; PostgreSQL has the functions for
  // text only, and refuses the call.
  void text_function_of_number(const json& call, const scope& level) {
    const json* names = list(call, "funcname");
    const json* args = list(call, "args");
    if (names == nullptr || names->size() != 1 || args == nullptr || args->empty() ||
        !is_one_of(string_field((*names)[0]), text_functions)) {
      return;
    }
    const json* ref = member((*args)[0], "ColumnRef");
    if (ref == nullptr && !integer_expression((*args)[0], level, 0)) return;
    if (ref != nullptr) {
      const column_model* column = resolved(*ref, level).second;
      if (column == nullptr || !is_number_type(column->type)) return;
    }
    std::size_t name = tokens_.starting_at(location_of(call));
    if (name == sql_token_view::none || !tokens_.is_char(name + 1, '(')) return;
    std::size_t open = name + 1, close = tokens_.closing_paren(open);
    if (close == sql_token_view::none) return;
    std::vector<std::size_t> commas = tokens_.commas_between(open, close);
    std::size_t last = commas.empty() ? close - 1 : commas[0] - 1;
    if (ref != nullptr) {
      // The argument is the reference alone: "a" or "t . a".
      const json* fields = list(*ref, "fields");
      std::size_t ref_tokens = fields != nullptr ? 2 * fields->size() - 1 : 0;
      if (last + 1 != open + 1 + ref_tokens) return;
    }
    auto span = written_span(open + 1, last);
    if (!span) return;
    std::string function = ascii_uppered(string_field((*names)[0]));
    std::vector<sql_edit> edits{sql_edit{span->second, span->second, ref ? "::text" : ")::text"}};
    if (ref == nullptr) edits.insert(edits.begin(), sql_edit{span->first, span->first, "("});
    reading_.rewrites.push_back(
        schema_rewrite{function + "() of a number reads it as text on MySQL; PostgreSQL has " +
                           function + "() for text only: write " + function + "(x::text, ...)",
                       tokens_[name].begin, std::move(edits), true});
  }

  static bool is_number_type(std::string_view type) {
    constexpr std::string_view numbers[] = {"smallint", "integer", "bigint",
                                            "numeric",  "real",    "double precision"};
    return std::any_of(std::begin(numbers), std::end(numbers),
                       [type](std::string_view t) { return type.starts_with(t); });
  }

  // A number where a condition stands (WHERE flag, NOT flag, ... OR 0):
  // MySQL tests n <> 0, PostgreSQL refuses anything but a boolean. Written
  // 0 <> n, which binds before NOT, AND and OR; n <> 0 where a wrapped
  // value starts with n, whose "(" is inserted there.
  void condition(const json& node, const scope& level) {
    std::optional<byte_span> span = integer_operand(node, level);
    if (!span) span = number_value_operand(node);
    if (!span) return;
    sql_edit edit = boolean_value_starts_.count(span->first) > 0
                        ? sql_edit{span->second, span->second, " <> 0"}
                        : sql_edit{span->first, span->first, "0 <> "};
    reading_.rewrites.push_back(
        schema_rewrite{"MySQL takes a number n as the condition n <> 0; PostgreSQL takes only a "
                       "boolean there: write n <> 0",
                       span->first,
                       {std::move(edit)}});
  }

  // The stand-in of a PHP value that is a number for certain.
  std::optional<byte_span> number_value_operand(const json& node) const {
    const json* constant = member(node, "A_Const");
    if (constant == nullptr || member(*constant, "ival") == nullptr || !number_value_)
      return std::nullopt;
    std::size_t token = tokens_.starting_at(location_of(*constant));
    if (token == sql_token_view::none || !number_value_(tokens_[token].begin, tokens_[token].end))
      return std::nullopt;
    return byte_span{tokens_[token].begin, tokens_[token].end};
  }

  // The conditions of CASE WHEN c THEN ...; CASE x WHEN v compares values.
  void case_conditions(const json& expr, const scope& level) {
    const json* whens = list(expr, "args");
    if (member(expr, "arg") != nullptr || whens == nullptr) return;
    for (const json& w : *whens) {
      const json* when = member(w, "CaseWhen");
      if (const json* test = when != nullptr ? member(*when, "expr") : nullptr)
        condition(*test, level);
    }
  }

  // A comparison in the SELECT list of the statement: MySQL gives 1 or 0
  // (NULL stays NULL), PostgreSQL a boolean, which PHP reads as "t" or "f".
  void boolean_outputs(const json& stmt) {
    const json* targets = list(stmt, "targetList");
    if (targets == nullptr) return;
    for (const json& t : *targets) {
      const json* target = member(t, "ResTarget");
      const json* value = target != nullptr ? member(*target, "val") : nullptr;
      if (value == nullptr || !yields_boolean(*value)) continue;
      wrap_boolean(tokens_.starting_at(location_of(*target)),
                   std::span(select_list_ends, select_list_end_count), text_of(*target, "name"));
    }
  }

  // SET c = a comparison: MySQL stores 1 or 0, PostgreSQL refuses a
  // boolean for a number column (and MySQL's schema has no boolean one).
  void boolean_assignments(const json& targets) {
    for (const json& t : targets) {
      const json* target = member(t, "ResTarget");
      const json* value = target != nullptr ? member(*target, "val") : nullptr;
      if (value == nullptr || !yields_boolean(*value)) continue;
      std::size_t i = tokens_.starting_at(location_of(*target));
      while (i != sql_token_view::none && i < tokens_.size() && !tokens_.is_char(i, '=')) ++i;
      if (i == sql_token_view::none || i + 1 >= tokens_.size()) continue;
      wrap_boolean(i + 1, std::span(set_list_ends, set_list_end_count), "");
    }
  }

  // True if a PHP value may make token `i` longer: a quoted string's
  // quotes are the text's own, whatever the value inside.
  bool from_placeholder(std::size_t i) const {
    std::string_view bytes = tokens_.bytes(i);
    bool quoted = bytes.size() >= 2 && bytes.front() == '\'' && bytes.back() == '\'';
    return !quoted && origin_of(i) == name_origin::placeholder;
  }

  void wrap_boolean(std::size_t first, std::span<const std::string_view> ends,
                    const std::string& alias) {
    if (first == sql_token_view::none) return;
    wrap_tokens(first, value_last_token(tokens_, first, ends, alias));
  }

  // Tokens first to last, a comparison, in (...)::int.
  void wrap_tokens(std::size_t first, std::size_t last) {
    if (last == sql_token_view::none || last < first) return;
    std::uint64_t begin = tokens_[first].begin, end = tokens_[last].end;
    if (from_placeholder(first) || from_placeholder(last)) return;
    boolean_value_starts_.insert(begin);
    reading_.rewrites.push_back(schema_rewrite{
        "a comparison gives 1 or 0 on MySQL, a boolean on PostgreSQL (which PHP reads as t or "
        "f): write (...)::int",
        begin,
        {sql_edit{begin, begin, "("}, sql_edit{end, end, ")::int"}}});
  }

  // SUM(a > b) counts the rows where a > b holds on MySQL; PostgreSQL has
  // no sum, avg, min or max of booleans.
  void boolean_aggregated(const json& call) {
    const json* args = list(call, "args");
    if (args == nullptr || args->size() != 1 || member(call, "agg_distinct") != nullptr ||
        !yields_boolean((*args)[0]) ||
        !(is_call_of(call, "sum") || is_call_of(call, "avg") || is_call_of(call, "min") ||
          is_call_of(call, "max")))
      return;
    std::size_t name = tokens_.starting_at(location_of(call));
    if (name == sql_token_view::none || !tokens_.is_char(name + 1, '(')) return;
    std::size_t close = tokens_.closing_paren(name + 1);
    if (close == sql_token_view::none || close < name + 3) return;
    wrap_tokens(name + 2, close - 1);
  }

  // ROUND(x, d) of a FLOAT or DOUBLE x: PostgreSQL rounds numeric only to
  // d places. MySQL rounds rint(x * 10^d) / 10^d in doubles, as
  // PostgreSQL's round() of a double does rint(): that is written out for
  // a constant d.
  void round_of_float(const json& call, const scope& level) {
    const json* args = list(call, "args");
    if (!is_call_of(call, "round") || args == nullptr || args->size() != 2 ||
        !float_expression((*args)[0], level, 0))
      return;
    schema_rewrite rewrite{
        "ROUND(x, d) of a floating-point x fails on PostgreSQL, which rounds "
        "numeric only: write round(x::float8 * 10^d) / 10^d",
        location_of(call),
        {}};
    std::size_t name = tokens_.starting_at(location_of(call));
    std::size_t open = name != sql_token_view::none ? name + 1 : name;
    std::size_t close = open != sql_token_view::none && tokens_.is_char(open, '(')
                            ? tokens_.closing_paren(open)
                            : sql_token_view::none;
    std::vector<std::size_t> commas;
    if (close != sql_token_view::none) commas = tokens_.commas_between(open, close);
    const json* places = member((*args)[1], "A_Const");
    if (commas.size() == 1 && commas[0] + 2 == close && places != nullptr &&
        member(*places, "ival") != nullptr && written_span(open + 1, commas[0] - 1)) {
      int d = member(*places, "ival")->value("ival", 0);
      if (d >= 0 && d <= 15) {
        std::string scale = "1" + std::string(static_cast<std::size_t>(d), '0');
        rewrite.edits = {sql_edit{tokens_[name].begin, tokens_[open].end, "(round(("},
                         sql_edit{tokens_[commas[0]].begin, tokens_[close].end,
                                  ")::float8 * " + scale + ") / " + scale + ")"}};
      }
    }
    reading_.rewrites.push_back(std::move(rewrite));
  }

  // True if `node` is a FLOAT or DOUBLE column, or arithmetic on one.
  bool float_expression(const json& node, const scope& level, int depth) const {
    if (depth > max_depth) return false;
    if (const json* ref = member(node, "ColumnRef")) {
      const column_model* column = resolved(*ref, level).second;
      return column != nullptr && (column->type == "real" || column->type == "double precision");
    }
    const json* expr = member(node, "A_Expr");
    if (expr == nullptr || text_of(*expr, "kind") != "AEXPR_OP") return false;
    const json* left = member(*expr, "lexpr");
    const json* right = member(*expr, "rexpr");
    return (left != nullptr && float_expression(*left, level, depth + 1)) ||
           (right != nullptr && float_expression(*right, level, depth + 1));
  }

  // The bytes of `node` when it is an integer written out, and no PHP value
  // takes part in it.
  std::optional<byte_span> integer_operand(const json& node, const scope& level) const {
    if (const json* constant = member(node, "A_Const")) {
      if (member(*constant, "ival") == nullptr) return std::nullopt;
      std::size_t first = tokens_.starting_at(location_of(*constant)), last = first;
      if (first == sql_token_view::none) return std::nullopt;
      if (tokens_.is_char(first, '-')) ++last;  // -5
      return written_span(first, last);
    }
    if (const json* ref = member(node, "ColumnRef")) {
      const column_model* column = resolved(*ref, level).second;
      if (column == nullptr || !is_one_of(column->type, integer_types)) return std::nullopt;
      return reference_span(*ref);
    }
    if (const json* call = member(node, "FuncCall")) {
      // SUM() of integers is a DECIMAL on MySQL, a bigint on PostgreSQL.
      const json* args = list(*call, "args");
      bool integer_sum = is_call_of(*call, "sum") && args != nullptr && args->size() == 1 &&
                         member(*call, "over") == nullptr &&
                         integer_expression((*args)[0], level, 0);
      if (!is_call_of(*call, "count") && !integer_sum) return std::nullopt;
      return call_span(*call);
    }
    return std::nullopt;
  }

  // True if `node` is an integer by its form: an integer constant or
  // column, or a sum, difference or product of such.
  bool integer_expression(const json& node, const scope& level, int depth) const {
    if (depth > max_depth) return false;
    if (const json* constant = member(node, "A_Const")) return member(*constant, "ival") != nullptr;
    if (const json* ref = member(node, "ColumnRef")) {
      const column_model* column = resolved(*ref, level).second;
      return column != nullptr && is_one_of(column->type, integer_types);
    }
    const json* expr = member(node, "A_Expr");
    if (expr == nullptr || !is_one_of(operator_of(*expr), whole_number_operators)) return false;
    const json* left = member(*expr, "lexpr");
    const json* right = member(*expr, "rexpr");
    return right != nullptr && integer_expression(*right, level, depth + 1) &&
           (left == nullptr || integer_expression(*left, level, depth + 1));
  }

  // The bytes of a column reference (name, or qualifier and name).
  std::optional<byte_span> reference_span(const json& ref) const {
    std::size_t first = tokens_.starting_at(location_of(ref)), last = first;
    if (first == sql_token_view::none) return std::nullopt;
    while (tokens_.is_char(last + 1, '.')) last += 2;
    return written_span(first, last);
  }

  // The bytes of a function call, from its name to its ")".
  std::optional<byte_span> call_span(const json& call) const {
    std::size_t first = tokens_.starting_at(location_of(call));
    if (first == sql_token_view::none || !tokens_.is_char(first + 1, '(')) return std::nullopt;
    return written_span(first, tokens_.closing_paren(first + 1));
  }

  // The bytes of tokens first to last, when no PHP value takes part in them.
  std::optional<byte_span> written_span(std::size_t first, std::size_t last) const {
    if (last == sql_token_view::none || last >= tokens_.size()) return std::nullopt;
    std::uint64_t begin = tokens_[first].begin, end = tokens_[last].end;
    if (origin_(begin, end) == name_origin::placeholder) return std::nullopt;
    return byte_span{begin, end};
  }

  static bool is_call_of(const json& call, std::string_view name) {
    const json* names = list(call, "funcname");
    return names != nullptr && names->size() == 1 && string_field((*names)[0]) == name;
  }

  // The table and column a reference means, when certain.
  // `owner`, if given, is set to the FROM item the column is found in.
  std::pair<const table_model*, const column_model*> resolved(
      const json& ref, const scope& level, const range_entry** owner = nullptr) const {
    const json* fields = list(ref, "fields");
    if (fields == nullptr || fields->empty() || fields->size() > 2) return {};
    std::string column = string_field(fields->back());
    if (column.empty()) return {};
    if (fields->size() == 2) {
      const range_entry* entry = visible(string_field(fields->front()), level);
      if (entry == nullptr || entry->table == nullptr) return {};
      if (owner != nullptr) *owner = entry;
      return {entry->table, entry->table->column(column)};
    }
    std::pair<const table_model*, const column_model*> found{};
    for (const scope* s = &level; s != nullptr; s = s->outer) {
      for (const range_entry& entry : s->entries) {
        if (entry.name == column || entry.table == nullptr) return {};
        const column_model* c = entry.table->column(column);
        if (c == nullptr) continue;
        if (found.second != nullptr) return {};  // two tables have it
        found = {entry.table, c};
        if (owner != nullptr) *owner = &entry;
      }
    }
    return found;
  }

  void string_value(const json& node, const table_model* table, const column_model* column,
                    bool inserted = false) {
    const json* constant = member(node, "A_Const");
    if (column == nullptr || constant == nullptr || member(*constant, "sval") == nullptr) return;
    reading_.values.push_back(column_value{table, column, location_of(*constant), inserted});
  }

  void values(const json& targets, const scope& level, int depth) {
    for (const json& t : targets) {
      const json* target = member(t, "ResTarget");
      if (const json* value = target != nullptr ? member(*target, "val") : nullptr)
        expression(*value, level, depth);
    }
  }

  // Any expression: its column references, and the queries inside it.
  void expression(const json& node, const scope& level, int depth) {
    if (depth > max_depth) return;
    if (node.is_array()) {
      for (const json& child : node) expression(child, level, depth + 1);
      return;
    }
    if (!node.is_object()) return;
    for (auto it = node.begin(); it != node.end(); ++it) {
      if (it.key() == "ColumnRef") {
        column_reference(it.value(), level);
      } else if (it.key() == "A_Expr") {
        comparison(it.value(), level);
        date_pattern(it.value(), level);
        division(it.value(), level);
        enum_arithmetic(it.value(), level);
        expression(it.value(), level, depth + 1);
      } else if (it.key() == "BoolExpr") {
        if (const json* args = list(it.value(), "args")) {
          for (const json& arg : *args) condition(arg, level);
        }
        expression(it.value(), level, depth + 1);
      } else if (it.key() == "CaseExpr") {
        case_conditions(it.value(), level);
        expression(it.value(), level, depth + 1);
      } else if (it.key() == "FuncCall") {
        average(it.value(), level);
        if_of_number(it.value(), level);
        text_function_of_number(it.value(), level);
        round_of_float(it.value(), level);
        boolean_aggregated(it.value());
        call_arguments(it.value(), level, depth + 1);
      } else if (it.key() == "SelectStmt") {
        select(it.value(), &level, depth + 1);
      } else if (it.value().is_structured()) {
        expression(it.value(), level, depth + 1);
      }
    }
  }

  // A call's arguments; TIMESTAMPDIFF's and TIMESTAMPADD's first names a
  // unit (SECOND, DAY), no column.
  void call_arguments(const json& call, const scope& level, int depth) {
    const json* args = list(call, "args");
    if (args != nullptr && !args->empty() &&
        (is_call_of(call, "timestampdiff") || is_call_of(call, "timestampadd"))) {
      for (std::size_t i = 1; i < args->size(); ++i) expression((*args)[i], level, depth);
      return;
    }
    expression(call, level, depth);
  }

  void column_reference(const json& ref, const scope& level) {
    const json* fields = list(ref, "fields");
    if (fields == nullptr || fields->empty() || fields->size() > 2) return;
    std::vector<std::string> names;
    for (const json& f : *fields) names.push_back(string_field(f));
    const std::string& column = names.back();
    if (column.empty() || is_one_of(column, system_columns) || is_select_modifier(column)) return;
    std::uint64_t location = location_of(ref);
    if (names.size() == 2) {
      qualified_column(names[0], column, location, level);
    } else {
      unqualified_column(column, location, level);
    }
  }

  void qualified_column(const std::string& qualifier, const std::string& column,
                        std::uint64_t location, const scope& level) {
    const range_entry* entry = visible(qualifier, level);
    if (entry == nullptr || entry->table == nullptr || entry->table->column(column) != nullptr)
      return;
    std::size_t first = name_token(location, 0, qualifier);
    std::size_t token =
        first == sql_token_view::none ? first : name_token(tokens_[first].begin, 1, column);
    if (token == sql_token_view::none || origin_of(first) == name_origin::placeholder) return;
    report(token, "column \"" + column + "\" is not in table \"" + entry->table->name + "\"");
  }

  void unqualified_column(const std::string& column, std::uint64_t location, const scope& level) {
    if (aliases_.count(column) > 0) return;
    std::vector<std::string> tables;
    for (const scope* s = &level; s != nullptr; s = s->outer) {
      for (const range_entry& entry : s->entries) {
        // A whole-row reference, or a table whose columns are not known.
        if (entry.name == column || entry.table == nullptr) return;
        if (entry.table->column(column) != nullptr) return;
        if (std::find(tables.begin(), tables.end(), entry.table->name) == tables.end())
          tables.push_back(entry.table->name);
      }
    }
    if (tables.empty()) return;
    std::size_t token = name_token(location, 0, column);
    // "abc" alone is MySQL's string, which the other checks rewrite.
    if (token == sql_token_view::none || tokens_.bytes(token).front() == '"') return;
    std::string where = "table \"" + tables.front() + "\"";
    if (tables.size() > 1) {
      where = "any of the tables";
      for (const std::string& t : tables)
        where += (t == tables.front() ? " \"" : ", \"") + t + "\"";
    }
    report(token, "column \"" + column + "\" is not in " + where);
  }

  // The FROM item called `name` that `level` sees, innermost first.
  static const range_entry* visible(const std::string& name, const scope& level) {
    for (const scope* s = &level; s != nullptr; s = s->outer) {
      for (const range_entry& entry : s->entries) {
        if (entry.name == name) return &entry;
      }
    }
    return nullptr;
  }

  // The token of the `skip`th dotted part of the name that starts at
  // `location`, if it writes `name`; else none.
  std::size_t name_token(std::uint64_t location, int skip, const std::string& name) const {
    std::size_t i = tokens_.starting_at(location);
    for (int k = 0; k < skip && i != sql_token_view::none; ++k) {
      i = tokens_.is_char(i + 1, '.') && i + 2 < tokens_.size() ? i + 2 : sql_token_view::none;
    }
    if (i == sql_token_view::none) return i;
    std::string_view bytes = tokens_.bytes(i);
    bool same = !bytes.empty() && bytes.front() == '"' ? bytes == "\"" + name + "\""
                                                       : ascii_lowered(bytes) == name;
    return same ? i : sql_token_view::none;
  }

  name_origin origin_of(std::size_t token) const {
    return origin_(tokens_[token].begin, tokens_[token].end);
  }

  void report(std::size_t token, std::string message) {
    if (origin_of(token) != name_origin::written) return;
    reading_.issues.push_back(
        schema_issue{std::move(message), tokens_[token].begin, tokens_[token].end});
  }

  const sql_token_view& tokens_;
  const schema_model& schema_;
  const name_origin_of& origin_;
  const number_value_at& number_value_;
  std::set<std::string> ctes_, aliases_;
  std::set<std::uint64_t> boolean_value_starts_;  // of the values wrapped in (...)::int
  schema_reading reading_;
};

}  // namespace

schema_reading read_schema_names(const parse_tree::node& tree, const sql_token_view& tokens,
                                 const schema_model& schema, const name_origin_of& origin,
                                 const number_value_at& number_value) {
  if (schema.empty()) return {};
  if (tree.is_discarded()) return {};
  return name_walk(tokens, schema, origin, number_value).run(tree);
}

}  // namespace corvexa::sql
