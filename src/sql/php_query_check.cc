// check_php_queries: finds the query texts of a PHP file, checks each, and
// turns the results into file offsets. A rewrite's edits are written into
// the literals the text came from, escaped for each literal's kind; a
// rewrite that cannot be written there safely is reported instead. Two
// texts that share a literal (one variable used by two calls) must agree on
// its edits; a text that does not is checked again without rewrites.
#include <algorithm>
#include <iterator>
#include <map>
#include <optional>
#include <set>

#include "common/ascii.h"
#include "sql/escaped_variables.h"
#include "sql/php_code.h"
#include "sql/php_number_values.h"
#include "sql/php_query_texts.h"
#include "sql/php_string_literal.h"
#include "sql/query_checks.h"
#include "sql/slash_escapes.h"
#include "sql/sql_text_check.h"
#include "sql/value_coercion.h"

namespace corvexa::sql {
namespace {

const std::string too_many_message =
    "query text not checked: the file's texts are too many or too long";
const std::string too_long_message =
    "query text not checked: longer than " + std::to_string(max_query_text_bytes) + " bytes";

bool interpolates(literal_kind kind) {
  return kind == literal_kind::double_quoted || kind == literal_kind::heredoc;
}

class php_query_checker {
 public:
  php_query_checker(std::string_view php, const query_options& options)
      : php_(php), options_(options) {}

  query_report run() {
    query_search search = find_query_texts(php_, max_query_text_bytes, options_.wrappers);
    report_.query_calls = search.calls;
    for (std::uint64_t call : search.oversized_calls) {
      ++report_.texts_unchecked;
      report_.findings.push_back(
          sql_finding{rule_sql_unchecked, too_long_message, call, call, call});
    }
    std::uint64_t budget = text_bytes_per_file_byte * php_.size() + max_query_text_bytes;
    for (const found_query& query : search.queries) {
      ++report_.texts_found;
      if (query.text == nullptr) {  // not read: past the file's budget
        ++report_.texts_unchecked;
        std::uint64_t call = query.call_offset;
        report_.findings.push_back(
            sql_finding{rule_sql_unchecked, too_many_message, call, call, call});
        continue;
      }
      const query_text& text = *query.text;
      std::uint64_t cost = text.text.size() + text.placeholders.size();
      if (cost > budget) {
        ++report_.texts_unchecked;
        add_finding(rule_sql_unchecked, too_many_message, text.expression_begin, text);
        continue;
      }
      budget -= cost;
      check_text(text, runs_several_statements(query.function));
    }
    finish();
    return std::move(report_);
  }

 private:
  using edit_key = std::pair<std::uint64_t, std::uint64_t>;  // offset, length
  using edit_map = std::map<edit_key, std::string>;
  using text_span = std::pair<std::uint64_t, std::uint64_t>;  // a text's PHP expression

  // The calls that prepare a text or send it with parameters run one
  // statement.
  static bool runs_several_statements(std::string_view function) {
    static constexpr std::string_view one_statement[] = {"pg_prepare", "pg_send_prepare",
                                                         "pg_query_params", "pg_send_query_params"};
    std::string name(function);
    for (char& c : name) c = c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
    return std::find(std::begin(one_statement), std::end(one_statement), name) ==
           std::end(one_statement);
  }

  void check_text(const query_text& text, bool several_statements) {
    edit_filter writable = [&](const std::vector<text_level_edit>& group) {
      for (const text_level_edit& e : group) {
        if (!file_edit(text, e)) return false;
      }
      return true;
    };
    std::vector<std::uint64_t> placeholders = text.placeholder_offsets();
    std::vector<bool> numbers;
    for (const text_placeholder& p : text.placeholders) {
      numbers.push_back(p.expression_end <= php_.size() &&
                        is_number_expression(php_.substr(p.expression_begin,
                                                         p.expression_end - p.expression_begin)));
    }
    text_check check =
        check_query_text(text.text, placeholders, options_, writable, several_statements, numbers);
    std::vector<text_edit> edits;
    for (const text_level_edit& e : check.edits) {
      std::optional<text_edit> edit = file_edit(text, e);
      if (edit) edits.push_back(std::move(*edit));
    }
    bool rewriting = options_.rewrite;
    if (edits.size() != check.edits.size() || !agrees_with_accepted(text, edits)) {
      query_options report_only = options_;
      report_only.rewrite = false;
      check = check_query_text(text.text, placeholders, report_only, writable, true, numbers);
      edits.clear();
      rewriting = false;
    }
    convert_values(text, check.numeric_values, rewriting, edits);
    escape_values(text, rewriting, edits);
    for (const text_placeholder& p : text.placeholders) {
      std::uint64_t begin = p.expression_begin;
      while (begin < p.expression_end && (php_[begin] == ' ' || php_[begin] == '\t' ||
                                          php_[begin] == '\n' || php_[begin] == '\r'))
        ++begin;
      query_values_.insert(begin);
    }
    std::sort(edits.begin(), edits.end(), [](const text_edit& a, const text_edit& b) {
      return std::pair(a.offset, a.length) < std::pair(b.offset, b.length);
    });
    accept(text, edits);
    if (check.parsed) ++report_.texts_parsed;
    if (check.rejected) ++report_.texts_rejected;
    if (check.unchecked) ++report_.texts_unchecked;
    if (!edits.empty()) {
      ++report_.texts_rewritten;
      rewritten_texts_.insert({text.expression_begin, text.expression_end});
    }
    report_.extensions.insert(check.extensions.begin(), check.extensions.end());
    for (text_finding& f : check.findings) {
      add_finding(f.rule, std::move(f.message), file_offset(text, f.place), text);
    }
  }

  // A PHP value that several texts share (one variable used by two calls)
  // is converted only while every text that holds it wants the same
  // conversion: a value quoted for a number column in one and for a text
  // column in another keeps its bytes and is reported.
  void convert_values(const query_text& text, const std::vector<numeric_value>& values,
                      bool rewriting, std::vector<text_edit>& edits) {
    std::map<edit_key, const numeric_value*> wanted;  // by the value's PHP expression
    for (const numeric_value& value : values) {
      if (value.placeholder >= text.placeholders.size()) continue;
      const text_placeholder& p = text.placeholders[value.placeholder];
      if (!converted_already(php_, text, p)) wanted.emplace(value_key(p), &value);
    }
    for (const text_placeholder& p : text.placeholders) {
      if (!wanted.contains(value_key(p))) keep_value(value_key(p));
    }
    for (const auto& [key, value] : wanted) {
      auto made = conversions_.find(key);
      if (made != conversions_.end() && made->second.conversion != value->conversion)
        keep_value(key);
      sql_finding finding{rule_sql_schema, value->message, key.first, text.expression_begin,
                          text.expression_end};
      std::size_t before = edits.size();
      if (!value->convertible) keep_value(key);
      if (!rewriting || kept_values_.contains(key) || !convert_value(text, *value, edits)) {
        report_.findings.push_back(std::move(finding));
        continue;
      }
      auto [it, added] = conversions_.try_emplace(key);
      if (!added) continue;
      it->second = made_conversion{value->conversion, std::move(finding),
                                   std::vector<text_edit>(edits.begin() + before, edits.end())};
    }
  }

  // The values an addslashes() call escapes for MySQL (slash_escapes.h).
  void escape_values(const query_text& text, bool rewriting, std::vector<text_edit>& edits) {
    for (const text_placeholder& p : text.placeholders) {
      std::optional<text_edit> edit = addslashes_edit(php_, text, p);
      if (!edit) {
        note_escaped_variable(text, p, rewriting);
        continue;
      }
      std::uint64_t begin = edit->offset, end = edit->offset + edit->length;
      auto touches = [&](const text_edit& e) {
        return e.offset < end && begin < e.offset + e.length;
      };
      auto accepted = accepted_.find({edit->offset, edit->length});
      bool made = accepted != accepted_.end() && accepted->second == edit->replacement;
      bool free = !overlaps_accepted(begin, end);
      if (rewriting && std::none_of(edits.begin(), edits.end(), touches) && (made || free)) {
        if (!made) edits.push_back(std::move(*edit));
        continue;
      }
      add_finding(rule_sql_mysql,
                  "addslashes() escapes for MySQL, whose strings read backslash escapes; "
                  "PostgreSQL's do not: write pg_escape_string($link, ...)",
                  p.expression_begin, text);
    }
  }

  // True if an accepted edit touches the bytes [begin, end).
  bool overlaps_accepted(std::uint64_t begin, std::uint64_t end) const {
    auto next = accepted_.lower_bound({begin, 0});
    if (next != accepted_.end() && next->first.first < end) return true;
    if (next == accepted_.begin()) return false;
    auto before = std::prev(next);
    return before->first.first + before->first.second > begin;
  }

  // A value quoted in a string constant that an addslashes() call was
  // assigned to earlier (escaped_variables.h): decided once every text has
  // been read.
  void note_escaped_variable(const query_text& text, const text_placeholder& p, bool rewriting) {
    // The file is searched for the word once, not at every value.
    if (!names_addslashes_) names_addslashes_ = contains_ignoring_ascii_case(php_, "addslashes");
    if (!*names_addslashes_) return;
    std::uint64_t at = plain_variable_at(php_, p.expression_begin, p.expression_end);
    if (at == std::string_view::npos || !in_string_constant(text.text, p.text_offset)) return;
    if (!escaped_) escaped_.emplace(code());
    const escaped_variable* variable = escaped_->holding(at);
    if (variable == nullptr) return;
    escaped_use& use = escaped_uses_[variable];
    use.quoted.insert(at);
    use.texts.insert({text.expression_begin, text.expression_end});
    use.rewriting = use.rewriting && rewriting;
  }

  // Rewrites each escape whose every read is a value quoted in a query
  // text; the others are reported at the call (code_outside_queries).
  void finish_escaped_variables() {
    for (auto& [variable, use] : escaped_uses_) {
      text_edit edit = escaped_variables::postgres_escape(*variable);
      if (use.rewriting && !variable->read_otherwise && use.quoted == variable->plain_reads &&
          !overlaps_accepted(edit.offset, edit.offset + edit.length)) {
        accepted_.emplace(edit_key{edit.offset, edit.length}, std::move(edit.replacement));
        for (const text_span& text : use.texts) {
          if (rewritten_texts_.insert(text).second) ++report_.texts_rewritten;
        }
      }
    }
  }

  static edit_key value_key(const text_placeholder& p) {
    return {p.expression_begin, p.expression_end};
  }

  // The value at `key` keeps its bytes: a conversion made for another text
  // is taken back and reported.
  void keep_value(const edit_key& key) {
    kept_values_.insert(key);
    auto made = conversions_.find(key);
    if (made == conversions_.end()) return;
    for (const text_edit& e : made->second.edits) {
      auto found = accepted_.find({e.offset, e.length});
      if (found != accepted_.end() && found->second == e.replacement) accepted_.erase(found);
    }
    report_.findings.push_back(std::move(made->second.finding));
    conversions_.erase(made);
  }

  // Adds the edits that convert a quoted value to the number MySQL stored;
  // false when they cannot be made, or would touch other edits.
  bool convert_value(const query_text& text, const numeric_value& value,
                     std::vector<text_edit>& edits) const {
    std::optional<std::vector<text_edit>> made =
        conversion_edits(php_, text, text.placeholders[value.placeholder], value.conversion);
    if (!made) return false;
    std::uint64_t begin = made->front().offset;
    std::uint64_t end = made->back().offset + made->back().length;
    auto touches = [&](const text_edit& e) {
      return e.offset <= end && e.offset + e.length >= begin;
    };
    if (std::any_of(edits.begin(), edits.end(), touches)) return false;
    bool already_made = true;
    for (const text_edit& e : *made) {
      auto found = accepted_.find({e.offset, e.length});
      already_made = already_made && found != accepted_.end() && found->second == e.replacement;
    }
    if (already_made) return true;  // by another text that shares the literal
    // Accepted edits do not overlap: only the one before `begin` can reach it.
    auto next = accepted_.lower_bound({begin, 0});
    if (next != accepted_.end() && next->first.first <= end) return false;
    if (next != accepted_.begin()) {
      auto before = std::prev(next);
      if (before->first.first + before->first.second >= begin) return false;
    }
    edits.insert(edits.end(), made->begin(), made->end());
    return true;
  }

  void add_finding(std::string_view rule, std::string message, std::uint64_t offset,
                   const query_text& text) {
    report_.findings.push_back(
        sql_finding{rule, std::move(message), offset, text.expression_begin, text.expression_end});
  }

  static std::uint64_t file_offset(const query_text& text, const text_place& place) {
    if (place.on_placeholder && place.placeholder < text.placeholders.size()) {
      return text.placeholders[place.placeholder].expression_begin;
    }
    if (place.offset < text.text.size()) return text.origins[place.offset];
    if (text.text.empty()) return text.expression_begin;
    return text.byte_file_end(text.text.size() - 1);
  }

  static const text_placeholder* last_placeholder_at(const query_text& text, std::uint64_t at) {
    auto after = std::upper_bound(
        text.placeholders.begin(), text.placeholders.end(), at,
        [](std::uint64_t a, const text_placeholder& p) { return a < p.text_offset; });
    if (after == text.placeholders.begin() || (after - 1)->text_offset != at) return nullptr;
    return &*(after - 1);
  }

  // Where an insertion at text offset `at` goes in the file, and the style
  // of the literal it goes into.
  std::optional<std::pair<std::uint64_t, literal_style>> insertion_point(
      const query_text& text, std::uint64_t at, bool after_placeholder) const {
    if (!after_placeholder) {
      const literal_run* run = at > 0 ? text.run_at(at - 1) : nullptr;
      if (run != nullptr && text.starts_source_byte(at)) {
        return std::make_pair(at < run->text_end ? text.origins[at] : run->file_end, run->style);
      }
      bool placeholder_here = last_placeholder_at(text, at) != nullptr;
      run = text.run_at(at);
      if (!placeholder_here && run != nullptr && run->text_begin == at) {
        return std::make_pair(run->file_begin, run->style);
      }
      return std::nullopt;
    }
    const text_placeholder* last = last_placeholder_at(text, at);
    const literal_run* run = text.run_at(at);
    if (run != nullptr && run->text_begin == at) return std::make_pair(run->file_begin, run->style);
    if (last != nullptr && last->interpolated)
      return std::make_pair(last->expression_end, last->style);
    return std::nullopt;
  }

  // The edit of the PHP text that makes text edit `e`, or none when it
  // cannot be written there safely.
  std::optional<text_edit> file_edit(const query_text& text, const text_level_edit& e) const {
    std::uint64_t begin, end;
    literal_style style;
    if (e.length > 0) {
      std::uint64_t last = e.offset + e.length;
      const literal_run* run = text.run_at(e.offset);
      if (run == nullptr || last > run->text_end || !text.starts_source_byte(e.offset) ||
          !text.starts_source_byte(last)) {
        return std::nullopt;
      }
      begin = text.origins[e.offset];
      end = text.byte_file_end(last - 1);
      style = run->style;
    } else {
      auto point = insertion_point(text, e.offset, e.after_placeholder);
      if (!point) return std::nullopt;
      begin = end = point->first;
      style = point->second;
    }
    std::string replacement = escape_for_literal(e.replacement, style);
    if (!safe_in_literal(text, begin, end, replacement, style)) return std::nullopt;
    return text_edit{begin, end - begin, std::move(replacement)};
  }

  // The bytes around the edit keep their meaning: no escape sequence is cut
  // and no interpolated variable grows into the new bytes. No line is
  // written into a heredoc or nowdoc, where it could end the literal or
  // miss the indentation of its closing line.
  bool safe_in_literal(const query_text& text, std::uint64_t begin, std::uint64_t end,
                       const std::string& replacement, literal_style style) const {
    if (end > php_.size() || begin > end) return false;
    bool heredoc_kind = style.kind == literal_kind::heredoc || style.kind == literal_kind::nowdoc;
    if (heredoc_kind && replacement.find_first_of("\r\n") != std::string::npos) return false;
    if (style.kind == literal_kind::nowdoc) return true;
    if (begin > 0 && php_[begin - 1] == '\\') return false;
    if (!interpolates(style.kind)) return true;
    char next = !replacement.empty() ? replacement.front() : end < php_.size() ? php_[end] : '\0';
    if (!continues_interpolation(next)) return true;
    return std::none_of(
        text.placeholders.begin(), text.placeholders.end(),
        [&](const text_placeholder& p) { return p.interpolated && p.expression_end == begin; });
  }

  // True if `edits` are, inside every literal run that an accepted text
  // shares with `text`, exactly the accepted edits there.
  bool agrees_with_accepted(const query_text& text, const std::vector<text_edit>& list) const {
    edit_map edits = as_map(list);
    for (const literal_run& run : text.runs) {
      auto it = covered_.upper_bound(run.file_begin);
      if (it != covered_.begin()) --it;
      for (; it != covered_.end() && it->first <= run.file_end; ++it) {
        std::uint64_t low = std::max(it->first, run.file_begin),
                      high = std::min(it->second, run.file_end);
        if (low > high) continue;
        if (edits_within(accepted_, low, high) != edits_within(edits, low, high)) return false;
      }
    }
    return true;
  }

  // The edits that lie in [low, high].
  static std::vector<std::pair<edit_key, std::string>> edits_within(const edit_map& edits,
                                                                    std::uint64_t low,
                                                                    std::uint64_t high) {
    std::vector<std::pair<edit_key, std::string>> inside;
    for (auto it = edits.lower_bound({low, 0}); it != edits.end() && it->first.first <= high;
         ++it) {
      if (it->first.first + it->first.second <= high) inside.emplace_back(it->first, it->second);
    }
    return inside;
  }

  static edit_map as_map(const std::vector<text_edit>& edits) {
    edit_map map;
    for (const text_edit& e : edits) map.emplace(edit_key{e.offset, e.length}, e.replacement);
    return map;
  }

  void accept(const query_text& text, const std::vector<text_edit>& edits) {
    for (const text_edit& e : edits) accepted_.emplace(edit_key{e.offset, e.length}, e.replacement);
    for (const literal_run& run : text.runs) {
      std::uint64_t begin = run.file_begin, end = run.file_end;
      auto it = covered_.upper_bound(begin);
      if (it != covered_.begin() && std::prev(it)->second >= begin) --it;
      while (it != covered_.end() && it->first <= end) {
        begin = std::min(begin, it->first);
        end = std::max(end, it->second);
        it = covered_.erase(it);
      }
      covered_[begin] = end;
    }
  }

  // What the PHP code outside the query texts writes for MySQL: read
  // only in a file that runs queries, and has such words. (A zero date in
  // the code is the tree's php-zero-date finding.)
  void code_outside_queries() {
    if (report_.query_calls == 0) return;
    if (!names_addslashes_) names_addslashes_ = contains_ignoring_ascii_case(php_, "addslashes");
    if (!*names_addslashes_) return;
    slashes_in_code(code());
  }

  // addslashes() outside the query texts, whose value the code puts in a
  // query later ($name = addslashes($_POST['name']), a condition kept in
  // an array): MySQL's strings read its backslashes, PostgreSQL's do not.
  // The calls the query texts quote are rewritten or reported there.
  void slashes_in_code(const php_code& code) {
    for (std::size_t i = 0; i + 1 < code.tokens.size(); ++i) {
      if (!code.is_word(i, "addslashes") || !code.is_symbol(i + 1, '(') ||
          query_values_.contains(code.tokens[i].offset) || edited_at(code.tokens[i].offset) ||
          (i > 0 && (code.ends_member_arrow(i - 1) || code.is_word(i - 1, "function") ||
                     code.token_text(i - 1) == "::")))
        continue;
      std::uint64_t at = code.tokens[i].offset;
      report_.findings.push_back(
          sql_finding{rule_sql_mysql,
                      "addslashes() escapes for MySQL, whose strings read backslash escapes; "
                      "PostgreSQL's do not: where the value goes into a query, write "
                      "pg_escape_string($link, ...)",
                      at, at, code.end_of(i)});
    }
  }

  // The tokens of the file, which the addslashes() checks walk: read at
  // the first that asks.
  const php_code& code() {
    if (!code_) code_.emplace(php_);
    return *code_;
  }

  // True if an accepted edit begins at file byte `offset` (an escape
  // rewritten for a variable, see escaped_variables.h).
  bool edited_at(std::uint64_t offset) const {
    auto it = accepted_.lower_bound({offset, 0});
    return it != accepted_.end() && it->first.first == offset;
  }

  void finish() {
    finish_escaped_variables();
    code_outside_queries();
    for (auto& [key, replacement] : accepted_) {
      report_.edits.push_back(text_edit{key.first, key.second, std::move(replacement)});
    }
    auto& findings = report_.findings;
    // At one offset the first stays: a text comparison's note yields to the rest.
    auto order = [](const sql_finding& f) { return std::pair(f.offset, f.rule == rule_sql_case); };
    std::stable_sort(
        findings.begin(), findings.end(),
        [&](const sql_finding& a, const sql_finding& b) { return order(a) < order(b); });
    findings.erase(std::unique(findings.begin(), findings.end(),
                               [](const sql_finding& a, const sql_finding& b) {
                                 return a.offset == b.offset;
                               }),
                   findings.end());
  }

  std::string_view php_;
  const query_options& options_;
  query_report report_;
  edit_map accepted_;
  std::set<std::uint64_t> query_values_;            // file offsets of the checked texts' PHP values
  std::map<std::uint64_t, std::uint64_t> covered_;  // file ranges of accepted texts' literals
  struct made_conversion {
    std::string_view conversion;
    sql_finding finding;  // reported if the conversion is taken back
    std::vector<text_edit> edits;
  };
  std::map<edit_key, made_conversion> conversions_;  // by the value's PHP expression
  std::set<edit_key> kept_values_;                   // values some text needs as they are
  std::optional<bool> names_addslashes_;             // the file holds the word
  std::optional<escaped_variables> escaped_;         // read when a text needs it
  std::optional<php_code> code_;                     // the file's tokens, read once if needed
  struct escaped_use {
    std::set<std::uint64_t> quoted;  // reads that are values quoted in query texts
    std::set<text_span> texts;       // the query texts that hold them
    bool rewriting = true;           // every text holding them may be rewritten
  };
  std::map<const escaped_variable*, escaped_use> escaped_uses_;
  std::set<text_span> rewritten_texts_;  // the query texts counted as rewritten
};

}  // namespace

query_report check_php_queries(std::string_view php_text, const query_options& options) {
  return php_query_checker(php_text, options).run();
}

std::string with_edits(std::string_view text, const std::vector<text_edit>& edits) {
  std::string result;
  result.reserve(text.size() + text.size() / 16);
  std::uint64_t done = 0;
  for (const text_edit& edit : edits) {
    result.append(text.substr(done, edit.offset - done));
    result.append(edit.replacement);
    done = edit.offset + edit.length;
  }
  result.append(text.substr(done));
  return result;
}

query_report check_sql_text(std::string_view sql, const query_options& options) {
  query_report report;
  report.texts_found = 1;
  edit_filter any = [](const std::vector<text_level_edit>&) { return true; };
  text_check check = check_query_text(sql, {}, options, any);
  report.texts_parsed = check.parsed;
  report.texts_rejected = check.rejected;
  report.texts_unchecked = check.unchecked;
  report.texts_rewritten = !check.edits.empty();
  report.extensions = std::move(check.extensions);
  for (text_finding& f : check.findings) {
    report.findings.push_back(
        sql_finding{f.rule, std::move(f.message), f.place.offset, 0, sql.size()});
  }
  for (text_level_edit& e : check.edits) {
    report.edits.push_back(text_edit{e.offset, e.length, std::move(e.replacement)});
  }
  return report;
}

}  // namespace corvexa::sql
