// A recursive walk over the statements' JSON trees that looks at every
// A_Expr; the sides it compares are read as they stand, with no casts or
// functions looked through (lower(name) = 'bob' is what to write).
#include "sql/text_comparisons.h"

#include <algorithm>

#include "sql/parse_tree_json.h"

namespace corvexa::sql {
namespace {

using json = parse_tree::json;
using parse_tree::location_of;
using parse_tree::member;
using parse_tree::string_field;
using parse_tree::text_of;

constexpr int max_depth = 1000;

constexpr const char* dml_statements[] = {"SelectStmt", "InsertStmt", "UpdateStmt", "DeleteStmt"};

bool is_name_byte(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' ||
         c == '$' || c == '.' || static_cast<unsigned char>(c) >= 0x80;
}

// Where a column name written from `at` ends: its parts, plain or in
// double quotes, and the dots between them.
std::uint64_t name_end(std::string_view sql, std::uint64_t at) {
  while (at < sql.size()) {
    if (sql[at] == '"') {
      std::size_t close = sql.find('"', at + 1);
      at = close == std::string_view::npos ? sql.size() : close + 1;
    } else if (is_name_byte(sql[at])) {
      ++at;
    } else {
      break;
    }
  }
  return at;
}

// Numbers and dates written as strings compare the same in any case.
bool reads_as_text(std::string_view value) {
  return value.find_first_not_of("0123456789-:. ") != std::string_view::npos;
}

class comparison_walk {
 public:
  explicit comparison_walk(std::string_view sql) : sql_(sql) {}

  std::vector<text_comparison> run(const json& tree) {
    const json* stmts = member(tree, "stmts");
    if (stmts == nullptr || !stmts->is_array()) return {};
    for (const json& raw : *stmts) {
      const json* stmt = member(raw, "stmt");
      if (stmt == nullptr) continue;
      for (const char* kind : dml_statements) {
        if (const json* body = member(*stmt, kind)) visit(*body, 0);
      }
    }
    return std::move(found_);
  }

 private:
  void visit(const json& node, int depth) {
    if (depth > max_depth || !node.is_structured()) return;
    if (const json* expr = member(node, "A_Expr")) comparison(*expr);
    for (const json& child : node) visit(child, depth + 1);
  }

  void comparison(const json& expr) {
    std::string kind = text_of(expr, "kind");
    const json* names = member(expr, "name");
    std::string op = names != nullptr && names->is_array() && names->size() == 1
                         ? string_field((*names)[0])
                         : std::string();
    const json* left = member(expr, "lexpr");
    const json* right = member(expr, "rexpr");
    if (left == nullptr || right == nullptr) return;
    bool equality = kind == "AEXPR_OP" && (op == "=" || op == "<>");
    bool like = kind == "AEXPR_LIKE" && (op == "~~" || op == "!~~");
    if (like) right = &pattern_of(*right);
    if (equality || like) {
      if (is_text(*right)) add_column(*left);
      if (is_text(*left)) add_column(*right);
    } else if (kind == "AEXPR_IN" && in_list_holds_text(*right)) {
      add_column(*left);
    }
  }

  // The pattern of `LIKE pattern ESCAPE c`, which is like_escape(pattern, c).
  static const json& pattern_of(const json& node) {
    const json* call = member(node, "FuncCall");
    const json* names = call != nullptr ? member(*call, "funcname") : nullptr;
    const json* args = call != nullptr ? member(*call, "args") : nullptr;
    bool escape = names != nullptr && names->is_array() && !names->empty() &&
                  string_field(names->back()) == "like_escape";
    return escape && args != nullptr && args->is_array() && !args->empty() ? (*args)[0] : node;
  }

  bool in_list_holds_text(const json& node) const {
    const json* list = member(node, "List");
    const json* items = list != nullptr ? member(*list, "items") : nullptr;
    if (items == nullptr || !items->is_array()) return false;
    for (const json& item : *items) {
      if (is_text(item)) return true;
    }
    return false;
  }

  // A one-part name in double quotes, which MySQL reads as a string.
  const json* double_quoted_string(const json& node) const {
    const json* ref = member(node, "ColumnRef");
    const json* fields = ref != nullptr ? member(*ref, "fields") : nullptr;
    if (fields == nullptr || !fields->is_array() || fields->size() != 1) return nullptr;
    std::uint64_t at = location_of(*ref);
    return at < sql_.size() && sql_[at] == '"' ? &(*fields)[0] : nullptr;
  }

  bool is_text(const json& node) const {
    if (const json* constant = member(node, "A_Const")) {
      const json* sval = member(*constant, "sval");
      return sval != nullptr && reads_as_text(text_of(*sval, "sval"));
    }
    const json* quoted = double_quoted_string(node);
    return quoted != nullptr && reads_as_text(string_field(*quoted));
  }

  void add_column(const json& node) {
    const json* ref = member(node, "ColumnRef");
    const json* fields = ref != nullptr ? member(*ref, "fields") : nullptr;
    if (fields == nullptr || !fields->is_array() || fields->empty() ||
        double_quoted_string(node) != nullptr)
      return;
    std::string name = string_field(fields->back());
    if (name.empty()) return;
    std::uint64_t at = location_of(*ref);
    found_.push_back(text_comparison{std::move(name), at, std::max(name_end(sql_, at), at + 1)});
  }

  std::string_view sql_;
  std::vector<text_comparison> found_;
};

}  // namespace

std::vector<text_comparison> find_text_comparisons(std::string_view sql,
                                                   const parse_tree::node& tree) {
  if (tree.is_discarded()) return {};
  return comparison_walk(sql).run(tree);
}

}  // namespace corvexa::sql
