// The table list is read as names with their aliases, joined by "," or an
// inner JOIN with its ON condition; any other word ends the list, and the
// statement is rewritten only if the list ends where its form says (at SET
// for UPDATE, at WHERE or the end for DELETE). The tables after the first
// and the ON conditions are the parts that move: they are copied, and the
// copies quote a reserved word that the other rewrites would have quoted in
// place.
#include "sql/multi_table_rewrite.h"

#include <algorithm>
#include <string>
#include <string_view>

#include "common/ascii.h"
#include "sql/postgres_names.h"

namespace corvexa::sql {
namespace {

constexpr std::size_t none = sql_token_view::none;

struct table_ref {
  std::size_t name = 0;      // the table's name (schema "." table is three tokens)
  std::size_t end = 0;       // one past the name and its alias
  std::size_t alias = none;  // the alias, if any
  std::size_t on_begin = none, on_end = none;  // the ON condition, if any
};

class multi_table_reader {
 public:
  multi_table_reader(const sql_token_view& t, const std::function<bool(std::size_t)>& is_stand_in)
      : t_(t), is_stand_in_(is_stand_in) {}

  std::vector<sql_edit> update() {
    std::size_t set = read_table_list(1);
    if (set == none || !t_.is(set, "set") || refs_.size() < 2) return {};
    std::vector<sql_edit> edits;
    if (!unqualify_assignments(set, edits)) return {};
    std::size_t where = clause_end(set);
    if (where == none) return {};
    bool made = outer_join_ ? update_by_row_ids(set, where, edits)
                            : move_joined_tables(" FROM ", where, /*before_where=*/true, edits);
    return made ? edits : std::vector<sql_edit>();
  }

  std::vector<sql_edit> remove() {
    std::size_t from = 1;
    while (from < t_.size() && !t_.is(from, "from")) ++from;
    // DELETE x FROM ... or DELETE x.* FROM ...
    bool one_target = from == 2 || (from == 4 && t_.is_char(2, '.') && t_.is_char(3, '*'));
    if (!one_target || t_[1].kind != sql_token_kind::ident || any_stand_in(1, from)) return {};
    std::size_t after = read_table_list(from + 1);
    if (after == none || !(t_.is(after, "where") || ends(after))) return {};
    std::vector<sql_edit> edits{sql_edit{t_[1].begin, t_[from].begin, ""}};
    if (!outer_join_ && names(refs_.front(), 1)) {
      if (refs_.size() == 1) return edits;
      std::vector<sql_edit> moved = edits;
      if (move_joined_tables(" USING ", after, /*before_where=*/false, moved)) return moved;
    }
    return delete_by_row_ids(from, edits);
  }

 private:
  bool ends(std::size_t i) const { return i >= t_.size() || t_.is_char(i, ';'); }

  // A word that may name a table (keywords included: many table names
  // are unreserved keywords), but none that the table list is built of.
  bool is_name(std::size_t i) const {
    if (i >= t_.size()) return false;
    int kind = t_[i].kind;
    if (kind == sql_token_kind::op || kind == sql_token_kind::iconst ||
        kind == sql_token_kind::fconst || kind == sql_token_kind::sconst ||
        kind == sql_token_kind::param) {
      return false;
    }
    // Punctuation ("(", ",", ".", "*", ...) has kinds of its own.
    char first = t_.bytes(i).front();
    bool starts_name = (first >= 'a' && first <= 'z') || (first >= 'A' && first <= 'Z') ||
                       first == '_' || first == '"' || static_cast<unsigned char>(first) >= 0x80;
    return starts_name &&
           !t_.is_any(i, {"join", "inner", "cross", "left", "right", "full", "outer", "natural",
                          "straight_join", "on", "using", "set", "where", "as", "order", "limit"});
  }

  // Reads the list that begins at token `i` into refs_; the token after
  // it, or none when the list is not one this rewrite reads.
  std::size_t read_table_list(std::size_t i) {
    for (;;) {
      table_ref ref;
      if (!is_name(i)) return none;
      ref.name = i;
      ref.end = t_.is_char(i + 1, '.') && is_name(i + 2) ? i + 3 : i + 1;
      if (t_.is(ref.end, "as") && is_name(ref.end + 1)) {
        ref.alias = ref.end + 1;
        ref.end += 2;
      } else if (ref.end < t_.size() && t_[ref.end].kind == sql_token_kind::ident) {
        ref.alias = ref.end++;
      }
      std::size_t next = ref.end;
      if (t_.is(next, "on") && !refs_.empty()) {
        ref.on_begin = next + 1;
        ref.on_end = condition_end(ref.on_begin);
        if (ref.on_end == ref.on_begin) return none;
        next = ref.on_end;
      }
      refs_.push_back(ref);
      if (t_.is_char(next, ',')) {
        i = next + 1;
      } else if (t_.is(next, "join")) {
        i = next + 1;
      } else if (t_.is_any(next, {"inner", "cross"}) && t_.is(next + 1, "join")) {
        i = next + 2;
      } else if (t_.is_any(next, {"left", "right"})) {
        std::size_t join = t_.is(next + 1, "outer") ? next + 2 : next + 1;
        if (!t_.is(join, "join")) return next;
        outer_join_ = true;
        i = join + 1;
      } else {
        return next;
      }
    }
  }

  // DELETE x FROM list WHERE w -> DELETE FROM t x WHERE ctid IN (SELECT
  // x.ctid FROM list WHERE w): the list and its conditions stay where they
  // are, whatever joins and PHP values they hold; the table deleted from
  // may stand anywhere in it.
  std::vector<sql_edit> delete_by_row_ids(std::size_t from, std::vector<sql_edit>& edits) const {
    auto target = std::find_if(refs_.begin(), refs_.end(),
                               [&](const table_ref& ref) { return names(ref, 1); });
    std::size_t end = statement_end();
    if (target == refs_.end() || any_stand_in(target->name, target->end) || end == none ||
        end == 0) {
      return {};
    }
    std::size_t own_name = target->alias != none ? target->alias : target->end - 1;
    std::string head = "FROM " + copied(target->name, target->end);
    head += " WHERE ctid IN (SELECT " + copied_token(own_name);
    head += ".ctid FROM";
    edits.push_back(sql_edit{t_[from].begin, t_[from].end, head});
    edits.push_back(sql_edit{t_[end - 1].end, t_[end - 1].end, ")"});
    return edits;
  }

  // UPDATE a x LEFT JOIN b y ON c SET f = v WHERE w -> UPDATE a x SET f = v
  // WHERE ctid IN (SELECT x.ctid FROM a x LEFT JOIN b y ON c WHERE w): an
  // outer join's condition cannot move to WHERE. The values SET writes may
  // name no other table of the list, which only the subquery sees.
  bool update_by_row_ids(std::size_t set, std::size_t where, std::vector<sql_edit>& edits) const {
    const table_ref& first = refs_.front();
    const table_ref& last = refs_.back();
    std::size_t list_end = last.on_end != none ? last.on_end : last.end;
    std::size_t end = statement_end();
    if (any_stand_in(first.name, list_end) || names_other_table(set + 1, where) || end == none ||
        end == 0) {
      return false;
    }
    std::size_t own_name = first.alias != none ? first.alias : first.end - 1;
    std::string rows = "ctid IN (SELECT " + copied_token(own_name) + ".ctid FROM ";
    rows += copied(first.name, list_end);
    edits.push_back(sql_edit{t_[first.end - 1].end, t_[list_end - 1].end, ""});
    if (where < t_.size() && t_.is(where, "where")) {
      edits.push_back(sql_edit{t_[where].begin, t_[where].end, "WHERE " + rows + " WHERE"});
    } else {
      rows.insert(0, " WHERE ");
    }
    bool closes_subquery = where < t_.size() && t_.is(where, "where");
    edits.push_back(sql_edit{t_[end - 1].end, t_[end - 1].end,
                             closes_subquery ? std::string(")") : rows + ")"});
    return true;
  }

  // True if a token in [begin, end) qualifies a name by a table of the
  // list other than the first.
  bool names_other_table(std::size_t begin, std::size_t end) const {
    for (std::size_t i = begin; i < end && i < t_.size(); ++i) {
      if (!t_.is_char(i + 1, '.')) continue;
      for (std::size_t r = 1; r < refs_.size(); ++r) {
        if (names(refs_[r], i)) return true;
      }
    }
    return false;
  }

  // One past the ON condition that begins at `i`.
  std::size_t condition_end(std::size_t i) const {
    int depth = 0;
    for (; i < t_.size(); ++i) {
      if (t_.is_char(i, '(')) {
        ++depth;
      } else if (t_.is_char(i, ')')) {
        if (--depth < 0) return i;
      } else if (depth == 0 &&
                 (t_.is_char(i, ',') || t_.is_char(i, ';') ||
                  t_.is_any(i, {"join", "inner", "cross", "left", "right", "full", "natural",
                                "straight_join", "set", "where", "order", "limit"}))) {
        return i;
      }
    }
    return i;
  }

  // True if token `target` names `ref`: its alias, or its name where it
  // has none.
  bool names(const table_ref& ref, std::size_t target) const {
    std::size_t own = ref.alias != none ? ref.alias : ref.end - 1;
    return equal_ignoring_ascii_case(t_.bytes(own), t_.bytes(target));
  }

  static bool is_space_only(std::string_view text) {
    return text.find_first_not_of(" \t\r\n") == std::string_view::npos;
  }

  bool any_stand_in(std::size_t begin, std::size_t end) const {
    for (std::size_t i = begin; i < end; ++i) {
      if (is_stand_in_(i)) return true;
    }
    return false;
  }

  // SET x.f = ... takes the qualifier away (PostgreSQL names the column of
  // the updated table alone); false where an assignment writes a column of
  // another table.
  bool unqualify_assignments(std::size_t set, std::vector<sql_edit>& edits) const {
    std::size_t target = set + 1;
    int depth = 0;
    for (std::size_t i = set + 1; i < t_.size() && !ends(i); ++i) {
      if (depth == 0 && t_.is(i, "where")) break;
      if (t_.is_char(i, '(')) ++depth;
      if (t_.is_char(i, ')')) --depth;
      if (depth == 0 && t_.is_char(i, ',')) target = i + 1;
      if (i != target || !t_.is_char(i + 1, '.')) continue;
      if (!t_.is_char(i + 3, '=')) return false;  // schema.table.column or worse
      if (!names(refs_.front(), i)) return false;
      if (is_stand_in_(i)) return false;
      edits.push_back(sql_edit{t_[i].begin, t_[i + 1].end, ""});
    }
    return true;
  }

  // The WHERE of the clause that goes on from token `from`, or the end of
  // the statement where there is none; none where the statement goes on
  // with anything a multi-table statement cannot have.
  std::size_t clause_end(std::size_t from) const {
    int depth = 0;
    for (std::size_t i = from + 1; i < t_.size(); ++i) {
      if (t_.is_char(i, '(')) ++depth;
      if (t_.is_char(i, ')') && --depth < 0) return none;
      if (depth != 0) continue;
      if (t_.is(i, "where") || t_.is_char(i, ';')) return i;
      if (t_.is_any(i, {"order", "limit", "returning"})) return none;
    }
    return t_.size();
  }

  // One past the last token of the statement, or none where another
  // statement follows it.
  std::size_t statement_end() const {
    std::size_t end = t_.size();
    while (end > 0 && t_.is_char(end - 1, ';')) --end;
    int depth = 0;
    for (std::size_t i = 0; i < end; ++i) {
      if (t_.is_char(i, '(')) ++depth;
      if (t_.is_char(i, ')')) --depth;
      if (depth == 0 && t_.is_char(i, ';')) return none;
    }
    return end;
  }

  // Token i as its copy reads it.
  std::string copied_token(std::size_t i) const {
    std::string_view bytes = t_.bytes(i);
    bool table_name = std::any_of(refs_.begin(), refs_.end(),
                                  [&](const table_ref& ref) { return ref.name == i; });
    bool named = table_name || t_.is_char(i + 1, '.') || t_.is(i, "user");
    if (t_[i].kind != sql_token_kind::ident && named && is_reserved_name(bytes)) {
      return postgres_name(bytes);
    }
    return std::string(bytes);
  }

  // The tokens [begin, end) with the text between them.
  std::string copied(std::size_t begin, std::size_t end) const {
    std::string out;
    for (std::size_t i = begin; i < end; ++i) {
      if (i > begin) out += t_.text().substr(t_[i - 1].end, t_[i].begin - t_[i - 1].end);
      out += copied_token(i);
    }
    return out;
  }

  // Takes the tables after the first and their ON conditions out of the
  // list, and writes them `introducer` (" FROM " or " USING ") and in
  // WHERE: right before `where` (a WHERE token or the statement's end) or
  // in the list's place.
  bool move_joined_tables(std::string_view introducer, std::size_t where, bool before_where,
                          std::vector<sql_edit>& edits) const {
    const table_ref& first = refs_.front();
    const table_ref& last = refs_.back();
    std::size_t end = statement_end();
    if (end == none || end == 0) return false;
    std::size_t list_end = last.on_end != none ? last.on_end : last.end;
    if (any_stand_in(first.end, list_end)) return false;
    std::string tables, conditions;
    for (std::size_t r = 1; r < refs_.size(); ++r) {
      const table_ref& ref = refs_[r];
      if (r > 1) tables += ", ";
      tables += copied(ref.name, ref.end);
      if (ref.on_begin != none) {
        conditions += conditions.empty() ? "(" : " AND (";
        conditions += copied(ref.on_begin, ref.on_end);
        conditions += ')';
      }
    }
    // " FROM b y": DELETE writes it in the list's place, UPDATE before WHERE.
    std::string moved(introducer);
    moved += tables;
    edits.push_back(sql_edit{t_[first.end - 1].end, t_[list_end - 1].end,
                             before_where ? std::string() : moved});
    if (!before_where) moved.clear();
    if (where < t_.size() && t_.is(where, "where")) {
      if (moved.empty() && conditions.empty()) return true;
      std::string opened = moved.empty() ? std::string() : moved.substr(1) + ' ';
      opened += "WHERE";
      if (!conditions.empty()) opened.append(" ").append(conditions).append(" AND (");
      // The space after WHERE goes with it, so that "(" meets the condition.
      std::uint64_t where_end = t_[where].end;
      if (!conditions.empty() && where + 1 < t_.size() &&
          is_space_only(t_.text().substr(where_end, t_[where + 1].begin - where_end))) {
        where_end = t_[where + 1].begin;
      }
      edits.push_back(sql_edit{t_[where].begin, where_end, opened});
      if (!conditions.empty()) edits.push_back(sql_edit{t_[end - 1].end, t_[end - 1].end, ")"});
      return true;
    }
    if (!conditions.empty()) moved.append(" WHERE ").append(conditions);
    if (!moved.empty()) edits.push_back(sql_edit{t_[end - 1].end, t_[end - 1].end, moved});
    return true;
  }

  const sql_token_view& t_;
  const std::function<bool(std::size_t)>& is_stand_in_;
  std::vector<table_ref> refs_;
  bool outer_join_ = false;  // the list joins with LEFT or RIGHT
};

}  // namespace

std::vector<sql_edit> multi_table_edits(const sql_token_view& t,
                                        const std::function<bool(std::size_t)>& is_stand_in) {
  multi_table_reader reader(t, is_stand_in);
  if (t.is(0, "update")) return reader.update();
  if (t.is(0, "delete") && !t.is(1, "from")) return reader.remove();
  return {};
}

}  // namespace corvexa::sql
