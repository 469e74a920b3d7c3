// One walk over the tokens of code. Blocks ("{...}" and the alternative
// syntax "if (...): ... endif;") are numbered; each function body is a scope
// of its own. A variable's text is used only in the block it was assigned
// in, and when a block closes, what was assigned in it becomes unknown.
#include "sql/php_query_texts.h"

#include <algorithm>
#include <cstring>
#include <span>
#include <string>
#include <unordered_map>

#include "common/ascii.h"
#include "sql/php_code.h"
#include "sql/php_text_expression.h"
#include "sql/query_calls.h"
#include "sql/query_checks.h"

namespace corvexa::sql {
namespace {

// The longest keyword or call name the walk looks for.
constexpr std::size_t longest_word = 24;

bool is_any(std::string_view word, std::initializer_list<std::string_view> candidates) {
  for (std::string_view c : candidates) {
    if (word == c) return true;
  }
  return false;
}

struct known_variable {
  std::shared_ptr<const query_text> text;  // null: unknown
  std::size_t block = 0;
};

enum class block_kind : std::uint8_t { braces, function_body, alternative };

struct open_block {
  block_kind kind;
  std::size_t id;
  std::vector<known_variable*> assigned = {};  // variables given a text in it
};

class query_text_finder {
 public:
  query_text_finder(std::string_view php, std::uint64_t limit, const wrapper_table* wrappers)
      : code_(php),
        limit_(limit),
        budget_(text_bytes_per_file_byte * php.size() + limit),
        wrappers_(wrappers) {
    scopes_.emplace_back();
    blocks_.push_back({block_kind::function_body, next_block_++});
  }

  query_search run() {
    for (std::size_t i = 0; i < code_.tokens.size(); ++i) visit(i);
    return std::move(result_);
  }

 private:
  using variables = std::unordered_map<std::string, known_variable>;

  std::size_t current_block() const { return blocks_.back().id; }

  void visit(std::size_t i) {
    const php_token& token = code_.tokens[i];
    if (token.kind == php_token_kind::symbol) return visit_symbol(i);
    if (token.kind == php_token_kind::variable) {
      if (!assignment_at(i)) note_other_use(i);
      return;
    }
    if (token.kind != php_token_kind::word) return;
    if (wrappers_ != nullptr && wrapper_call(i)) return;
    if (is_label(i)) forget_scope();  // a goto may arrive here from anywhere in it
    if (token.length > longest_word) return;
    char buffer[longest_word];
    for (std::size_t k = 0; k < token.length; ++k) {
      char c = code_.text[token.offset + k];
      buffer[k] = c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
    }
    std::string_view word(buffer, token.length);
    if (word == "function") {
      function_pending_ = true;
    } else if (const query_call_shape* shape =
                   word.size() > 3 && word[2] == '_' ? postgres_query_call(word) : nullptr) {
      query_call(i, *shape);
    } else if (word == "case" || word == "default") {
      forget_current_block();  // another branch of a switch starts
    } else if (is_any(word,
                      {"endif", "endwhile", "endfor", "endforeach", "endswitch", "enddeclare"})) {
      close_alternative();
    } else if (is_any(word,
                      {"if", "elseif", "else", "while", "for", "foreach", "switch", "declare"})) {
      alternative_syntax(i, word);
    }
  }

  void visit_symbol(std::size_t i) {
    if (code_.is_symbol(i, ';')) {
      function_pending_ = false;
    } else if (code_.is_symbol(i, '{') && code_.partner[i] != php_code::no_partner) {
      if (function_pending_) {
        function_pending_ = false;
        scopes_.emplace_back();
        blocks_.push_back({block_kind::function_body, next_block_++});
      } else {
        blocks_.push_back({block_kind::braces, next_block_++});
      }
    } else if (code_.is_symbol(i, '}') && code_.partner[i] != php_code::no_partner) {
      while (blocks_.size() > 1 && blocks_.back().kind == block_kind::alternative) close_block();
      if (blocks_.size() > 1) close_block();
    }
  }

  void close_block() {
    open_block closing = blocks_.back();
    blocks_.pop_back();
    if (closing.kind == block_kind::function_body) {
      scopes_.pop_back();
      return;
    }
    for (known_variable* variable : closing.assigned) {
      if (variable->block == closing.id) *variable = known_variable{nullptr, current_block()};
    }
  }

  // "name:" as a statement of its own, other than "else:" and "default:".
  bool is_label(std::size_t i) const {
    if (!at_statement_start(i) || !code_.is_symbol(i + 1, ':')) return false;
    if (code_.adjacent(i + 1) && code_.is_symbol(i + 2, ':')) return false;  // "A::b"
    return !code_.is_word(i, "else") && !code_.is_word(i, "default");
  }

  void forget_scope() {
    for (auto& [name, variable] : scopes_.back()) variable.text = nullptr;
  }

  void forget_current_block() {
    for (known_variable* variable : blocks_.back().assigned) {
      if (variable->block == current_block()) variable->text = nullptr;
    }
  }

  // Gives `variable` its text (or none) in the current block.
  void set_variable(known_variable& variable, std::shared_ptr<const query_text> text) {
    variable = known_variable{std::move(text), current_block()};
    if (variable.text != nullptr) blocks_.back().assigned.push_back(&variable);
  }

  // "if (...):", "else:", "while (...):" ... open a block of the
  // alternative syntax; "else" and "elseif" also close the one before.
  void alternative_syntax(std::size_t i, std::string_view word) {
    std::size_t header_end = i;
    if (code_.is_symbol(i + 1, '(') && code_.partner[i + 1] != php_code::no_partner) {
      header_end = code_.partner[i + 1];
    }
    if (!code_.is_symbol(header_end + 1, ':')) return;
    if ((word == "else" || word == "elseif") && blocks_.back().kind == block_kind::alternative) {
      close_block();
    }
    blocks_.push_back({block_kind::alternative, next_block_++});
  }

  void close_alternative() {
    if (blocks_.size() > 1 && blocks_.back().kind == block_kind::alternative) close_block();
  }

  bool at_statement_start(std::size_t i) const {
    if (i == 0) return true;
    const php_token& before = code_.tokens[i - 1];
    if (before.kind == php_token_kind::open_tag || before.kind == php_token_kind::close_tag)
      return true;
    return code_.is_symbol(i - 1, ';') || code_.is_symbol(i - 1, '{') ||
           code_.is_symbol(i - 1, '}');
  }

  // The end of the statement whose expression starts at `first`: its ";"
  // or "?>" outside brackets, or the end of the file.
  std::size_t statement_end(std::size_t first) const {
    for (std::size_t i = first; i < code_.tokens.size(); ++i) {
      if (code_.partner[i] != php_code::no_partner) {
        if (code_.partner[i] < i) return i;  // a bracket closes around the statement
        i = code_.partner[i];
      } else if (code_.is_symbol(i, ';') || code_.tokens[i].kind == php_token_kind::close_tag) {
        return i;
      }
    }
    return code_.tokens.size();
  }

  // "$name = ...;" or "$name .= ...;" as a statement of its own: records the
  // text it assigns. False if token i starts no such statement.
  bool assignment_at(std::size_t i) {
    if (!at_statement_start(i)) return false;
    bool append =
        code_.is_symbol(i + 1, '.') && code_.adjacent(i + 1) && code_.is_symbol(i + 2, '=');
    bool assign =
        code_.is_symbol(i + 1, '=') &&
        !(code_.adjacent(i + 1) && (code_.is_symbol(i + 2, '=') || code_.is_symbol(i + 2, '>')));
    if (!append && !assign) return false;
    std::size_t first = append ? i + 3 : i + 2;
    std::size_t last = statement_end(first);
    std::string name(code_.token_text(i));
    if (!append && !may_make_text(first, last)) {
      auto found = scopes_.back().find(name);
      if (found != scopes_.back().end()) found->second = known_variable{nullptr, current_block()};
      return true;
    }
    known_variable& variable = scopes_.back()[name];
    bool known_before = variable.text != nullptr && variable.block == current_block();
    // Appended to in place where nothing else holds the text: copying it at
    // each ".=" made a long run of appends take time in the square of
    // their number.
    bool in_place =
        append && known_before && variable.text.use_count() == 1 && !mentions(first, last, name);
    auto text = in_place ? std::const_pointer_cast<query_text>(std::move(variable.text))
                         : std::make_shared<query_text>();
    std::uint64_t size_before = text->text.size() + text->placeholders.size();
    query_text_builder out(*text, room());
    bool known = true;
    if (append) {
      known = in_place || (known_before && out.add_text(*variable.text));
      if (known && first < last && !evaluate_text(code_, first, last, lookup_, out)) {
        known = add_expression_placeholder(code_, first, last, out);
      }
    } else {
      known =
          first < last && evaluate_text(code_, first, last, lookup_, out) && !text->runs.empty();
    }
    if (spend(*text, size_before) && out.overflowed()) ++result_.oversized;
    set_variable(variable, known && !out.overflowed() ? std::move(text) : nullptr);
    return true;
  }

  bool mentions(std::size_t first, std::size_t last, std::string_view variable) const {
    for (std::size_t i = first; i < last; ++i) {
      if (code_.tokens[i].kind == php_token_kind::variable && code_.token_text(i) == variable)
        return true;
    }
    return false;
  }

  // Only a literal or a variable can give an expression a text.
  bool may_make_text(std::size_t first, std::size_t last) const {
    for (std::size_t i = first; i < last; ++i) {
      php_token_kind kind = code_.tokens[i].kind;
      if (kind == php_token_kind::string || kind == php_token_kind::variable) return true;
    }
    return false;
  }

  // Any other write to a variable, or a reference to it, makes its text
  // unknown.
  void note_other_use(std::size_t i) {
    bool written = false;
    if (i >= 1 && (code_.is_symbol(i - 1, '&') || code_.is_word(i - 1, "global") ||
                   code_.is_word(i - 1, "static") || code_.is_word(i - 1, "as"))) {
      written = true;
    } else if (code_.is_symbol(i + 1, '=')) {
      written =
          !(code_.adjacent(i + 1) && (code_.is_symbol(i + 2, '=') || code_.is_symbol(i + 2, '>')));
    } else if (i + 2 < code_.tokens.size() && code_.adjacent(i + 1) &&
               code_.is_symbol(i + 2, '=') && code_.tokens[i + 1].kind == php_token_kind::symbol) {
      written = std::strchr(".+-*/%|&^?<>", code_.text[code_.tokens[i + 1].offset]) != nullptr;
    } else if (code_.is_symbol(i + 1, '[') || code_.is_symbol(i + 1, '+') ||
               code_.is_symbol(i + 1, '-')) {
      written = true;  // an element written, or "++" / "--"
    }
    if (!written) return;
    auto found = scopes_.back().find(std::string(code_.token_text(i)));
    if (found != scopes_.back().end()) found->second = known_variable{nullptr, current_block()};
  }

  bool is_call_name(std::size_t i) const {
    if (!code_.is_symbol(i + 1, '(') || code_.partner[i + 1] == php_code::no_partner) return false;
    if (i == 0) return true;
    if (code_.ends_member_arrow(i - 1) || code_.token_text(i - 1) == "::") return false;
    return !code_.is_word(i - 1, "function") && !code_.is_word(i - 1, "new") &&
           !code_.is_word(i - 1, "const");
  }

  void query_call(std::size_t i, const query_call_shape& shape) {
    if (!is_call_name(i)) return;
    ++result_.calls;
    auto arguments = split_arguments(code_, i + 1);
    take_query_argument(i, arguments, query_argument_index(shape, arguments.size()));
  }

  // A call of a query wrapper: true if token i is one, which has then been
  // taken.
  bool wrapper_call(std::size_t i) {
    if (!code_.is_symbol(i + 1, '(') || code_.partner[i + 1] == php_code::no_partner) return false;
    lower_word_.assign(code_.token_text(i));
    for (char& c : lower_word_) c = ascii_lower(c);
    std::span<const query_wrapper> named = wrappers_->named(lower_word_);
    if (named.empty()) return false;
    bool method = i >= 1 && (code_.ends_member_arrow(i - 1) || code_.token_text(i - 1) == "::");
    if (!method && !is_call_name(i)) return false;
    auto called = std::find_if(named.begin(), named.end(),
                               [&](const query_wrapper& w) { return w.method == method; });
    if (called == named.end()) return false;
    ++result_.calls;
    auto arguments = split_arguments(code_, i + 1);
    for (; called != named.end(); ++called) {
      if (called->method != method) continue;
      int index = called->parameter < arguments.size() ? static_cast<int>(called->parameter) : -1;
      take_query_argument(i, arguments, index);
    }
    return true;
  }

  // Finds the text of the query argument `index` (-1: none) of the call
  // named at token i.
  void take_query_argument(std::size_t i,
                           const std::vector<std::pair<std::size_t, std::size_t>>& arguments,
                           int index) {
    if (index < 0) return;
    auto [first, last] = arguments[static_cast<std::size_t>(index)];
    if (first >= last) return;
    auto text = std::make_shared<query_text>();
    query_text_builder out(*text, room());
    bool known = evaluate_text(code_, first, last, lookup_, out);
    if (!spend(*text, 0) && out.overflowed()) {  // reported as not checked
      result_.queries.push_back(found_query{code_.token_text(i), code_.tokens[i].offset, nullptr});
      return;
    }
    if (out.overflowed()) {
      ++result_.oversized;
      result_.oversized_calls.push_back(code_.tokens[i].offset);
    }
    if (!known || out.overflowed() || text->runs.empty()) return;
    text->expression_begin = code_.tokens[first].offset;
    text->expression_end = code_.end_of(last - 1);
    result_.queries.push_back(
        found_query{code_.token_text(i), code_.tokens[i].offset, std::move(text)});
  }

  // Room for a text: the limit of one, or what is left of the file's budget.
  std::uint64_t room() const { return std::min(limit_, budget_); }

  // Takes what `text` grew by since `size_before` from the budget; false if
  // the room it had was the rest of the budget, not the limit of one text.
  bool spend(const query_text& text, std::uint64_t size_before) {
    std::uint64_t grown = text.text.size() + text.placeholders.size() - size_before;
    bool within = budget_ >= limit_;
    budget_ -= std::min(budget_, grown);
    return within;
  }

  const query_text* lookup(std::string_view name) const {
    const variables& scope = scopes_.back();
    auto found = scope.find(std::string(name));
    if (found == scope.end() || found->second.block != current_block()) return nullptr;
    return found->second.text.get();
  }

  php_code code_;
  std::uint64_t limit_;
  std::uint64_t budget_;           // bytes the texts of the file may still take
  const wrapper_table* wrappers_;  // null: none
  std::string lower_word_;
  std::vector<variables> scopes_;
  std::vector<open_block> blocks_;
  std::size_t next_block_ = 0;
  bool function_pending_ = false;
  variable_texts lookup_ = [this](std::string_view name) { return lookup(name); };
  query_search result_;
};

}  // namespace

bool may_hold_query_calls(std::string_view php) {
  // Every call name starts with "pg_", in any letter case.
  for (std::size_t at = php.find('_', 2); at != std::string_view::npos;
       at = php.find('_', at + 1)) {
    char p = php[at - 2], g = php[at - 1];
    if ((p == 'p' || p == 'P') && (g == 'g' || g == 'G')) return true;
  }
  return false;
}

query_search find_query_texts(std::string_view php, std::uint64_t text_limit,
                              const wrapper_table* wrappers) {
  if (wrappers != nullptr && wrappers->empty()) wrappers = nullptr;
  if (!may_hold_query_calls(php) && (wrappers == nullptr || !wrappers->may_be_called_in(php)))
    return {};
  return query_text_finder(php, text_limit, wrappers).run();
}

}  // namespace corvexa::sql
