// The stages, in order: a NUL byte or an oversized text ends the check;
// the text is filled and parsed once; a rejected text gets its finding and,
// when rewriting, the syntax rewrites, kept only if the text then parses;
// a text that parses has its tree read (only if its words call for it),
// and its rewrites are kept only if the whole rewritten text parses again.
#include "sql/sql_text_check.h"

#include <algorithm>
#include <optional>
#include <set>

#include "sql/ddl_texts.h"
#include "sql/mysql_syntax_hints.h"
#include "sql/parse_tree_checks.h"
#include "sql/placeholder_fill.h"
#include "sql/prepared_form.h"
#include "sql/syntax_rewrites.h"
#include "sql/text_comparisons.h"

namespace corvexa::sql {
namespace {

std::string case_message(std::string_view column) {
  return "MySQL compared \"" + std::string(column) +
         "\" with this text without regard to case; PostgreSQL does not: make the column "
         "citext (corvexa-tree converts a MySQL schema given with --schema or in the tree that "
         "way) or compare lower() of both";
}

// The text as the checks after the syntax rewrites read it, and its
// tokens, scanned once on first use (the schema's names and the tree checks
// both read them).
class current_text {
 public:
  current_text(std::string_view original, const edit_list& edits)
      : sql_(original, edits.sorted()) {}
  current_text(const current_text&) = delete;
  current_text& operator=(const current_text&) = delete;

  const edited_sql& sql() const { return sql_; }
  // The tokens, or null when libpg_query cannot scan the text.
  const sql_token_view* tokens() {
    if (!scanned_) {
      scanned_ = true;
      if (scan_sql(sql_.text(), tokens_)) view_.emplace(sql_.text(), tokens_);
    }
    return view_ ? &*view_ : nullptr;
  }

 private:
  edited_sql sql_;
  std::vector<sql_token> tokens_;
  std::optional<sql_token_view> view_;
  bool scanned_ = false;
};

// The parse tree of the text, read from its JSON once, by the first check
// that asks for it; the checks after it share it.
class shared_tree {
 public:
  explicit shared_tree(const std::string& json) : json_(json) {}
  shared_tree(const shared_tree&) = delete;
  shared_tree& operator=(const shared_tree&) = delete;

  // No tree: the text was not parsed.
  bool empty() const { return json_.empty(); }
  const parse_tree::node& root() {
    if (!document_) document_.emplace(json_);
    return document_->root();
  }

 private:
  const std::string& json_;
  std::optional<parse_tree::document> document_;
};

class text_checker {
 public:
  text_checker(std::string_view text, const std::vector<std::uint64_t>& placeholders,
               const query_options& options, const edit_filter& writable, bool several_statements,
               const std::vector<bool>& number_values)
      : text_(text),
        placeholders_(placeholders),
        options_(options),
        writable_(writable),
        several_statements_(several_statements),
        number_values_(number_values) {}

  text_check run() {
    std::size_t nul = text_.find('\0');
    if (nul != std::string_view::npos) {
      result_.unchecked = true;
      add_finding(rule_sql_syntax,
                  "NUL byte in the query: PostgreSQL takes the query only up to it",
                  text_place{nul, false, 0});
      return std::move(result_);
    }
    if (text_.size() > max_query_text_bytes) {
      result_.unchecked = true;
      add_finding(rule_sql_unchecked,
                  "query text of " + std::to_string(text_.size()) + " bytes not checked: too long",
                  text_place{0, false, 0});
      return std::move(result_);
    }
    if (options_.rewrite && options_.convert_ddl && converted_ddl()) return std::move(result_);
    filled_ = fill_and_parse(text_, placeholders_, true);
    std::string tree = std::move(filled_.outcome.tree_json);
    edit_list edits;
    if (!filled_.outcome.parsed) {
      result_.rejected = true;
      if (options_.rewrite) tree = syntax_rewrites(edits);
      if (tree.empty()) {
        report_rejection();
        return std::move(result_);
      }
    }
    result_.parsed = true;
    current_text current(original().sql, edits);
    shared_tree parsed(tree);
    std::vector<text_finding> names = schema_names(parsed, current);
    std::vector<text_finding> comparisons = text_comparisons(parsed, current);
    tree_checks(parsed, current, edits);
    for (text_finding& f : names) result_.findings.push_back(std::move(f));
    // A text the checks above found fault with is not sent: they tell more.
    if (options_.against != nullptr && result_.findings.empty()) server_check(parsed, edits);
    // Notes, which yield to any other finding at their place.
    for (text_finding& f : comparisons) {
      if (!finding_at(f.place)) result_.findings.push_back(std::move(f));
    }
    finish_edits(edits);
    return std::move(result_);
  }

 private:
  const substituted_sql& original() const { return filled_.substituted; }

  text_place place_of(std::uint64_t sql_offset) const {
    if (const substitution_slot* slot = original().slot_holding(sql_offset)) {
      return text_place{slot->text_offset, true, slot->placeholder};
    }
    return text_place{original().text_offset(sql_offset), false, 0};
  }

  bool finding_at(const text_place& place) const {
    return std::any_of(result_.findings.begin(), result_.findings.end(),
                       [&](const text_finding& f) {
                         return f.place.on_placeholder == place.on_placeholder &&
                                (place.on_placeholder ? f.place.placeholder == place.placeholder
                                                      : f.place.offset == place.offset);
                       });
  }

  void add_finding(std::string_view rule, std::string message, text_place place) {
    result_.findings.push_back(text_finding{rule, std::move(message), place});
  }

  // A CREATE or ALTER TABLE text replaced whole by its conversion; false
  // when the text is none or was not converted (a finding says why) and the
  // other checks are to judge it.
  bool converted_ddl() {
    // The PHP values show as {...} in the heading.
    std::string shown(text_);
    for (auto at = placeholders_.rbegin(); at != placeholders_.rend(); ++at) {
      if (*at <= shown.size()) shown.insert(*at, "{...}");
    }
    std::string heading = ddl_heading(shown);
    if (heading.empty()) return false;
    ddl_text_outcome outcome = convert_ddl_text(text_, heading, !placeholders_.empty(),
                                                several_statements_, options_.convert_ddl);
    std::vector<text_level_edit> whole{text_level_edit{0, text_.size(), outcome.replacement}};
    if (!outcome.replacement.empty() && !writable_(whole)) {
      whole[0].replacement = on_one_line(outcome.replacement);
    }
    if (!outcome.replacement.empty() && !writable_(whole)) {
      outcome.replacement.clear();
      outcome.messages = {
          heading + " not converted: its PHP literals cannot take the converted text in place"};
    }
    std::string message;
    for (const std::string& m : outcome.messages) message += (message.empty() ? "" : "; ") + m;
    if (!message.empty()) add_finding(rule_sql_mysql, std::move(message), text_place{0, false, 0});
    if (outcome.replacement.empty()) return false;
    result_.parsed = true;
    result_.edits = std::move(whole);
    return true;
  }

  void report_rejection() {
    const parse_outcome& outcome = filled_.outcome;
    if (outcome.message.empty()) {  // the parse budget ran out before a parse
      result_.unchecked = true;
    }
    std::vector<sql_token> tokens;
    scan_sql(original().sql, tokens);
    std::string message = "PostgreSQL rejects this query: " + outcome.message;
    if (const syntax_hint* hint =
            mysql_construct_at(original().sql, tokens, outcome.error_offset, outcome.message)) {
      message += " (" + std::string(hint->construct) + ": " + std::string(hint->fix) + ")";
    }
    add_finding(rule_sql_syntax, std::move(message), place_of(outcome.error_offset));
  }

  // Rewrites what made the text rejected; the parse tree of the rewritten
  // text, or empty (and no edits) when it still does not parse.
  std::string syntax_rewrites(edit_list& edits) {
    edits = found_syntax_rewrites();
    if (edits.empty()) return {};
    parse_outcome reparsed = parse_sql(edited_sql(original().sql, edits.sorted()).text(), true);
    if (!reparsed.parsed) {
      filled_query first = filled_;
      if (refilled_for(edits)) {
        edits = found_syntax_rewrites();
        reparsed = parse_sql(edited_sql(original().sql, edits.sorted()).text(), true);
      }
      if (!reparsed.parsed) {
        filled_ = std::move(first);  // whose error is the one to report
        edits = edit_list();
        return {};
      }
    }
    return std::move(reparsed.tree_json);
  }

  // The stand-ins were chosen on the text as MySQL wrote it, where the
  // parser may have stopped before it reached them (SELECT
  // SQL_CALC_FOUND_ROWS a.b ... ORDER BY $sort $dir): they are chosen again
  // on the text that `edits` give, and the text filled with them. False
  // when none parses there or the choices are the same.
  bool refilled_for(const edit_list& edits) {
    std::optional<placeholder_text> rewritten = edited_text(original(), edits.sorted());
    if (!rewritten) return false;
    filled_query guide = fill_and_parse(rewritten->text, rewritten->placeholders, false);
    if (!guide.outcome.parsed || guide.choices == filled_.choices) return false;
    filled_ = fill_as(text_, placeholders_, guide.choices, false);
    return true;
  }

  edit_list found_syntax_rewrites() {
    edit_list edits;
    add_group(edits, insert_set_rewrite(original()));
    for (const edit_group& group : backquote_rewrites(original())) add_group(edits, group);
    edited_sql after_names(original().sql, edits.sorted());
    std::vector<sql_token> tokens;
    if (scan_sql(after_names.text(), tokens)) {
      sql_token_view view(after_names.text(), tokens);
      for (const edit_group& group :
           clause_rewrites(original(), after_names, view, options_.schema))
        add_group(edits, group);
    }
    return edits;
  }

  bool add_group(edit_list& edits, const edit_group& group) {
    if (group.empty() || !writable_(text_edits(group))) return false;
    return edits.add_group(group);
  }

  struct pending_rewrite {
    text_finding finding;
    edit_group edits;
    std::string_view extension;
  };

  // `scanned` is the text after `edits`, which the rewrites found here join.
  void tree_checks(shared_tree& tree, current_text& scanned, edit_list& edits) {
    const edited_sql& current = scanned.sql();
    if (tree.empty() ||
        (schema_rewrites_.empty() && !may_need_tree_checks(current.text(), options_.schema)))
      return;
    const sql_token_view* view = options_.rewrite ? scanned.tokens() : nullptr;
    std::vector<tree_issue> issues = check_parse_tree(current.text(), tree.root(), options_.schema,
                                                      view, options_.names_in_double_quotes);
    std::erase_if(issues, [&](const tree_issue& issue) {
      return issue.rewrite.empty() && answered_locations_.count(issue.location) > 0;
    });
    // The schema's findings that have a rewrite of their own, made on the
    // same text.
    for (tree_issue& issue : schema_rewrites_) {
      if (!options_.rewrite) issue.rewrite.clear();
      issues.push_back(std::move(issue));
    }
    std::stable_partition(issues.begin(), issues.end(),
                          [](const tree_issue& issue) { return !issue.yields; });
    std::vector<pending_rewrite> pending;
    edit_list with_rewrites = edits;
    for (tree_issue& issue : issues) {
      // What an earlier rewrite wrote is PostgreSQL's already.
      if (!current.original_range(issue.location, issue.location + 1)) continue;
      text_finding finding{rule_sql_mysql, std::move(issue.message),
                           place_of(current.report_offset(issue.location))};
      edit_group group = to_original_edits(original(), current, issue.rewrite);
      bool copies_own_text =
          std::all_of(issue.copied.begin(), issue.copied.end(),
                      [&](const std::pair<std::uint64_t, std::uint64_t>& c) {
                        return origin_in(current, c.first, c.second) != name_origin::placeholder;
                      });
      if (!issue.rewrite.empty() && copies_own_text && add_group(with_rewrites, group)) {
        pending.push_back(pending_rewrite{std::move(finding), std::move(group), issue.extension});
      } else if (!issue.yields) {
        result_.findings.push_back(std::move(finding));
      }
    }
    if (pending.empty()) return;
    if (parse_sql(edited_sql(original().sql, with_rewrites.sorted()).text(), false).parsed) {
      edits = std::move(with_rewrites);
      for (const pending_rewrite& p : pending) {
        if (!p.extension.empty()) result_.extensions.insert(std::string(p.extension));
      }
    } else {
      for (pending_rewrite& p : pending) result_.findings.push_back(std::move(p.finding));
    }
  }

  // How the bytes [begin, end) of `current` came to be there; a stand-in
  // that touches them makes them a placeholder's.
  name_origin origin_in(const edited_sql& current, std::uint64_t begin, std::uint64_t end) const {
    auto range = current.original_range(begin, end);
    std::uint64_t first = range ? range->first : current.report_offset(begin);
    std::uint64_t last = range ? range->second : current.report_offset(end - 1) + 1;
    for (const substitution_slot& slot : original().slots) {
      if (slot.end >= first && slot.begin <= last) return name_origin::placeholder;
    }
    return range ? name_origin::written : name_origin::rewritten;
  }

  // The tables and columns the text names that the schema model has not.
  // Sets the check's numeric values too.
  std::vector<text_finding> schema_names(shared_tree& tree, current_text& scanned) {
    if (options_.schema == nullptr || options_.schema->empty() || tree.empty()) return {};
    const sql_token_view* view = scanned.tokens();
    if (view == nullptr) return {};
    const edited_sql& current = scanned.sql();
    name_origin_of origin = [&](std::uint64_t begin, std::uint64_t end) {
      return origin_in(current, begin, end);
    };
    number_value_at number_value = [&](std::uint64_t begin, std::uint64_t end) {
      auto range = current.original_range(begin, end);
      const substitution_slot* slot =
          range ? original().slot_spanning(range->first, range->second) : nullptr;
      return slot != nullptr && slot->placeholder < number_values_.size() &&
             number_values_[slot->placeholder];
    };
    schema_reading reading =
        read_schema_names(tree.root(), *view, *options_.schema, origin, number_value);
    result_.numeric_values = quoted_numeric_values(original(), current, reading.values);
    for (schema_rewrite& r : reading.rewrites) {
      if (r.answers_finding_at_location) answered_locations_.insert(r.location);
      schema_rewrites_.push_back(
          tree_issue{std::move(r.message), r.location, std::move(r.edits), {}, {}});
    }
    std::vector<text_finding> found;
    for (schema_issue& issue : reading.issues) {
      found.push_back(text_finding{rule_sql_schema, std::move(issue.message),
                                   place_of(current.report_offset(issue.begin))});
    }
    return found;
  }

  // The columns the text compares with text, which MySQL did without regard
  // to case: asked only when no schema says which columns became citext.
  // The tree is that of the text before the tree checks' rewrites.
  std::vector<text_finding> text_comparisons(shared_tree& tree, const current_text& scanned) {
    if ((options_.schema != nullptr && !options_.schema->empty()) || tree.empty()) return {};
    const edited_sql& current = scanned.sql();
    if (current.text().find_first_of("'\"$") == std::string::npos) return {};
    std::vector<text_finding> found;
    for (const text_comparison& c : find_text_comparisons(current.text(), tree.root())) {
      // A name a PHP value takes part in is not known.
      if (origin_in(current, c.location, c.end) == name_origin::placeholder) continue;
      found.push_back(text_finding{rule_sql_case, case_message(c.column),
                                   place_of(current.report_offset(c.location))});
    }
    return found;
  }

  // Has the database prepare the text as it will be sent.
  void server_check(shared_tree& tree, const edit_list& edits) {
    std::optional<prepared_statement> statement =
        prepared_form(original(), edits.sorted(), tree.root());
    if (!statement) return;
    server_verdict verdict = (*options_.against)(statement->form.text());
    if (!refusal_about_the_statement(verdict.sqlstate)) return;
    std::optional<std::uint64_t> at = statement->checked_offset(verdict.position);
    add_finding(rule_sql_schema, "the database of --against refuses this query: " + verdict.message,
                at ? place_of(*at) : text_place{0, false, 0});
  }

  std::vector<text_level_edit> text_edits(const std::vector<sql_edit>& edits) const {
    std::vector<text_level_edit> out;
    out.reserve(edits.size());
    for (const sql_edit& e : edits) {
      text_level_edit t;
      t.length = e.end - e.begin;
      t.replacement = e.replacement;
      const substitution_slot* before = nullptr;
      if (e.begin == e.end) {
        const std::vector<substitution_slot>& slots = original().slots;
        auto it = std::lower_bound(
            slots.begin(), slots.end(), e.begin,
            [](const substitution_slot& s, std::uint64_t at) { return s.end < at; });
        for (; it != slots.end() && it->end == e.begin; ++it) {
          if (it->begin < it->end) before = &*it;
        }
      }
      t.after_placeholder = before != nullptr;
      t.offset = before != nullptr ? before->text_offset : original().text_offset(e.begin);
      out.push_back(std::move(t));
    }
    return out;
  }

  void finish_edits(const edit_list& edits) { result_.edits = text_edits(edits.sorted()); }

  std::string_view text_;
  const std::vector<std::uint64_t>& placeholders_;
  const query_options& options_;
  const edit_filter& writable_;
  bool several_statements_;
  const std::vector<bool>& number_values_;
  filled_query filled_;
  text_check result_;
  // What the schema shows gives another result, for the tree checks to
  // rewrite with their own.
  std::vector<tree_issue> schema_rewrites_;
  std::set<std::uint64_t> answered_locations_;  // of schema rewrites that answer a tree finding
};

}  // namespace

text_check check_query_text(std::string_view text, const std::vector<std::uint64_t>& placeholders,
                            const query_options& options, const edit_filter& writable,
                            bool several_statements, const std::vector<bool>& number_values) {
  return text_checker(text, placeholders, options, writable, several_statements, number_values)
      .run();
}

}  // namespace corvexa::sql
