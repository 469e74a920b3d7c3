// One pass over the tokens of code, in order. An assignment of an
// addslashes() call opens its variable; a read of an open variable is
// noted; its next assignment, or a function's beginning, closes it. The
// strings that interpolate are read as the query texts are, so that a
// read inside one stands where a query's placeholder does.
#include "sql/escaped_variables.h"

#include <string>
#include <unordered_map>

#include "sql/php_bytes.h"
#include "sql/php_code.h"
#include "sql/php_string_literal.h"

namespace corvexa::sql {
namespace {

// "$name" at `at` of `php`.
std::string_view variable_at(std::string_view php, std::uint64_t at) {
  std::uint64_t end = at + 1;
  while (end < php.size() && continues_php_name(php[end])) ++end;
  return php.substr(at, end - at);
}

class assignment_reader {
 public:
  assignment_reader(const php_code& code, std::vector<escaped_variable>& variables,
                    std::map<std::uint64_t, std::size_t>& plain_read_at)
      : php_(code.text), code_(code), variables_(variables), plain_read_at_(plain_read_at) {}

  void run() {
    for (std::size_t i = 0; i < code_.tokens.size(); ++i) {
      if (i == opens_at_) open_.insert_or_assign(opening_name_, variables_.size() - 1);
      const php_token& token = code_.tokens[i];
      if (code_.is_word(i, "function") || code_.is_word(i, "fn")) {
        open_.clear();
      } else if (token.kind == php_token_kind::variable) {
        variable(i);
      } else if (token.kind == php_token_kind::string) {
        string(token);
      }
    }
  }

 private:
  bool is_assignment(std::size_t i) const {
    if (!code_.is_symbol(i + 1, '=')) return false;
    bool pairs =
        code_.adjacent(i + 1) && (code_.is_symbol(i + 2, '=') || code_.is_symbol(i + 2, '>'));
    bool variable_variable = i > 0 && code_.is_symbol(i - 1, '$');
    return !pairs && !variable_variable;
  }

  void variable(std::size_t i) {
    std::string_view name = code_.token_text(i);
    if (!is_assignment(i)) {
      if (auto found = open_.find(name); found != open_.end()) {
        note_plain_read(found->second, code_.tokens[i].offset);
      }
      return;
    }
    open_.erase(name);
    // $name = addslashes( ... );
    std::size_t call = i + 2, open = i + 3;
    if (!code_.is_word(call, "addslashes") || !code_.is_symbol(open, '(')) return;
    std::size_t close = code_.partner[open];
    if (close == php_code::no_partner || !code_.is_symbol(close + 1, ';')) return;
    escaped_variable assigned;
    assigned.call_begin = code_.tokens[call].offset;
    assigned.call_open = code_.tokens[open].offset;
    variables_.push_back(std::move(assigned));
    // Open after the call: the argument may read the variable's old value.
    opens_at_ = close + 1;
    opening_name_ = name;
  }

  void string(const php_token& token) {
    char first = php_[token.offset];
    if (first != '"' && first != '<') return;  // no interpolation in '...' or a nowdoc
    if (open_.empty()) return;
    query_text text;
    query_text_builder builder(text, token.length + 1);
    if (!read_php_string(php_, token.offset, token.offset + token.length, builder)) return;
    for (const text_placeholder& p : text.placeholders) {
      std::uint64_t at = plain_variable_at(php_, p.expression_begin, p.expression_end);
      if (at != std::string_view::npos) {
        auto found = open_.find(variable_at(php_, at));
        if (found != open_.end()) note_plain_read(found->second, at);
        continue;
      }
      // Every variable the expression names is read otherwise.
      for (std::uint64_t i = p.expression_begin; i < p.expression_end; ++i) {
        if (php_[i] != '$') continue;
        auto found = open_.find(variable_at(php_, i));
        if (found != open_.end()) variables_[found->second].read_otherwise = true;
      }
    }
  }

  void note_plain_read(std::size_t index, std::uint64_t at) {
    variables_[index].plain_reads.insert(at);
    plain_read_at_.emplace(at, index);
  }

  std::string_view php_;
  const php_code& code_;
  std::vector<escaped_variable>& variables_;
  std::map<std::uint64_t, std::size_t>& plain_read_at_;
  std::unordered_map<std::string_view, std::size_t> open_;  // name -> index in variables_
  std::size_t opens_at_ = static_cast<std::size_t>(-1);
  std::string_view opening_name_;
};

}  // namespace

escaped_variables::escaped_variables(const php_code& code) {
  assignment_reader(code, variables_, plain_read_at_).run();
}

const escaped_variable* escaped_variables::holding(std::uint64_t offset) const {
  auto found = plain_read_at_.find(offset);
  return found != plain_read_at_.end() ? &variables_[found->second] : nullptr;
}

text_edit escaped_variables::postgres_escape(const escaped_variable& variable) {
  return text_edit{variable.call_begin, variable.call_open + 1 - variable.call_begin,
                   "str_replace(\"'\", \"''\", "};
}

std::uint64_t plain_variable_at(std::string_view php, std::uint64_t begin, std::uint64_t end) {
  if (end > php.size()) return std::string_view::npos;
  while (begin < end && is_php_space(php[begin])) ++begin;
  while (end > begin && is_php_space(php[end - 1])) --end;
  if (end - begin >= 2 && php[begin] == '{' && php[end - 1] == '}') {
    ++begin;
    --end;
  }
  if (begin >= end || php[begin] != '$') return std::string_view::npos;
  std::uint64_t at = begin + 1;
  if (at == end || (php[at] >= '0' && php[at] <= '9')) return std::string_view::npos;
  while (at < end && continues_php_name(php[at])) ++at;
  return at == end ? begin : std::string_view::npos;
}

}  // namespace corvexa::sql
