// An expression is split at the "." operators outside brackets; each
// operand is a literal, a variable, a sprintf call, a parenthesised
// expression, or a placeholder. Operators that bind more loosely than "."
// make the whole expression unknown, since splitting at "." would then
// misread it.
#include "sql/php_text_expression.h"

#include <utility>
#include <vector>

#include "sql/php_string_literal.h"

namespace corvexa::sql {
namespace {

constexpr int max_nesting = 32;

class evaluator {
 public:
  evaluator(const php_code& code, const variable_texts& variables)
      : code_(code), variables_(variables) {}

  bool expression(std::size_t first, std::size_t last, query_text_builder& out, int depth) {
    if (depth > max_nesting) return add_expression_placeholder(code_, first, last, out);
    while (first < last && code_.is_symbol(first, '@')) ++first;
    while (first < last && code_.is_symbol(first, '(') && code_.partner[first] == last - 1) {
      ++first;
      --last;
      while (first < last && code_.is_symbol(first, '@')) ++first;
    }
    if (first >= last) return false;
    std::vector<std::pair<std::size_t, std::size_t>> operands;
    if (!split_concatenation(first, last, operands)) return false;
    for (auto [a, b] : operands) {
      if (!operand(a, b, out, depth)) return false;
    }
    return true;
  }

 private:
  // Splits [first, last) at its top-level "." operators; false if an
  // operator that binds more loosely than "." stands at the top level.
  bool split_concatenation(std::size_t first, std::size_t last,
                           std::vector<std::pair<std::size_t, std::size_t>>& operands) const {
    std::size_t start = first;
    for (std::size_t i = first; i < last; ++i) {
      const php_token& token = code_.tokens[i];
      if (code_.partner[i] != php_code::no_partner) {
        if (code_.partner[i] < i || code_.partner[i] >= last) return false;
        i = code_.partner[i];
        continue;
      }
      if (token.kind == php_token_kind::word) {
        for (std::string_view loose :
             {"and", "or", "xor", "instanceof", "print", "yield", "throw", "include",
              "include_once", "require", "require_once", "fn"}) {
          if (code_.is_word(i, loose)) return false;  // "print $a . 'b'" prints "$a" . 'b'
        }
        continue;
      }
      if (token.kind != php_token_kind::symbol) continue;
      if (code_.is_symbol(i, '.')) {
        if (is_decimal_point(i)) continue;
        if (code_.adjacent(i) && (code_.is_symbol(i + 1, '=') || code_.is_symbol(i + 1, '.')))
          return false;
        if (i == start || i + 1 == last) return false;
        operands.emplace_back(start, i);
        start = i + 1;
        continue;
      }
      if (!binds_tighter_than_dot(i)) return false;
    }
    operands.emplace_back(start, last);
    return true;
  }

  // "1.5" is read as number, ".", number.
  bool is_decimal_point(std::size_t i) const {
    return i >= 1 && code_.tokens[i - 1].kind == php_token_kind::number && code_.adjacent(i - 1) &&
           (i + 1 >= code_.tokens.size() || code_.tokens[i + 1].kind != php_token_kind::variable);
  }

  bool binds_tighter_than_dot(std::size_t i) const {
    std::string_view s = code_.token_text(i);
    if (s == "::") return true;
    switch (s[0]) {
      case '@':
      case '+':
      case '*':
      case '/':
      case '%':
      case '\\':
      case '$': return true;
      case '-': return true;
      case '>': return code_.ends_member_arrow(i);
      case '?':  // "?->" only
        return code_.adjacent(i) && code_.is_symbol(i + 1, '-');
      default: return false;
    }
  }

  bool operand(std::size_t first, std::size_t last, query_text_builder& out, int depth) {
    const php_token& token = code_.tokens[first];
    if (first + 1 == last && token.kind == php_token_kind::string) {
      std::uint64_t end = token.offset + token.length;
      query_text literal;
      query_text_builder literal_out(literal, out.limit());
      if (read_php_string(code_.text, token.offset, end, literal_out)) return out.add_text(literal);
      if (!out.take_overflow(literal_out)) return false;
      return add_expression_placeholder(code_, first, last, out);
    }
    if (first + 1 == last && token.kind == php_token_kind::variable) {
      const query_text* known = variables_(code_.token_text(first));
      if (known != nullptr) return out.add_text(*known);
      return add_expression_placeholder(code_, first, last, out);
    }
    std::size_t name = code_.is_symbol(first, '\\') ? first + 1 : first;
    if ((code_.is_word(name, "sprintf") || code_.is_word(name, "vsprintf")) &&
        code_.is_symbol(name + 1, '(') && code_.partner[name + 1] == last - 1) {
      return format_call(first, name, last, out, depth);
    }
    if (code_.is_symbol(first, '(') && code_.partner[first] == last - 1) {
      query_text inner;
      query_text_builder inner_out(inner, out.limit());
      if (expression(first, last, inner_out, depth + 1)) return out.add_text(inner);
      if (!out.take_overflow(inner_out)) return false;
    }
    return add_expression_placeholder(code_, first, last, out);
  }

  bool format_call(std::size_t first, std::size_t name, std::size_t last, query_text_builder& out,
                   int depth) {
    auto arguments = split_arguments(code_, name + 1);
    query_text format;
    query_text_builder format_out(format, out.limit());
    if (arguments.empty() ||
        !expression(arguments[0].first, arguments[0].second, format_out, depth + 1) ||
        format.runs.empty()) {
      if (!out.take_overflow(format_out)) return false;
      return add_expression_placeholder(code_, first, last, out);
    }
    bool spread = code_.is_word(name, "vsprintf");
    return apply_format(format, arguments, spread, first, last, out);
  }

  // The bytes of `format` with each conversion a placeholder for the
  // argument it takes ("%%" is one "%"); every literal byte is marked as
  // written in a format.
  bool apply_format(const query_text& format,
                    const std::vector<std::pair<std::size_t, std::size_t>>& arguments, bool spread,
                    std::size_t first, std::size_t last, query_text_builder& out) {
    std::size_t next_placeholder = 0;
    std::size_t next_argument = 1;
    const std::string& text = format.text;
    for (std::size_t i = 0; i <= text.size(); ++i) {
      while (next_placeholder < format.placeholders.size() &&
             format.placeholders[next_placeholder].text_offset == i) {
        if (!out.add_placeholder(format.placeholders[next_placeholder++])) return false;
      }
      if (i == text.size()) break;
      const literal_run* run = format.run_at(i);
      literal_style style = run->style;
      style.format = true;
      std::size_t spec_end = conversion_end(format, i);
      if (spec_end == i) {
        if (!out.add_byte(text[i], format.origins[i], format.byte_file_end(i), style)) return false;
        continue;
      }
      if (spec_end == i + 2 && text[i + 1] == '%') {
        if (!out.add_byte('%', format.origins[i], format.byte_file_end(i + 1), style)) return false;
      } else {
        std::size_t argument = argument_number(text, i, spec_end);
        if (argument == 0) argument = next_argument++;
        text_placeholder p;
        if (!spread && argument < arguments.size()) {
          p.expression_begin = code_.tokens[arguments[argument].first].offset;
          p.expression_end = code_.end_of(arguments[argument].second - 1);
        } else {
          p.expression_begin = code_.tokens[first].offset;
          p.expression_end = code_.end_of(last - 1);
        }
        if (!out.add_placeholder(p)) return false;
      }
      i = spec_end - 1;
    }
    return true;
  }

  // The end of the conversion that the "%" at `at` starts, all of it in one
  // run; `at` itself when there is none.
  static std::size_t conversion_end(const query_text& format, std::size_t at) {
    const std::string& text = format.text;
    if (text[at] != '%') return at;
    const literal_run* run = format.run_at(at);
    std::size_t end = run->text_end;
    std::size_t i = at + 1;
    if (i < end && text[i] == '%') return i + 1;
    std::size_t digits = i;
    while (digits < end && text[digits] >= '0' && text[digits] <= '9') ++digits;
    if (digits > i && digits < end && text[digits] == '$') i = digits + 1;
    while (i < end) {
      char c = text[i];
      if (c == '-' || c == '+' || c == ' ' || c == '0') {
        ++i;
      } else if (c == '\'' && i + 1 < end) {
        i += 2;
      } else {
        break;
      }
    }
    while (i < end && text[i] >= '0' && text[i] <= '9') ++i;
    if (i < end && text[i] == '.') {
      ++i;
      while (i < end && text[i] >= '0' && text[i] <= '9') ++i;
    }
    if (i < end && std::string_view("bcdeEfFgGhHosuxX").find(text[i]) != std::string_view::npos) {
      return i + 1;
    }
    return at;
  }

  // The n of "%n$s", or 0.
  static std::size_t argument_number(const std::string& text, std::size_t at, std::size_t end) {
    std::size_t n = 0;
    for (std::size_t i = at + 1; i < end && text[i] >= '0' && text[i] <= '9'; ++i) {
      if (n > 1000000) return 0;
      n = n * 10 + static_cast<std::size_t>(text[i] - '0');
      if (i + 1 < end && text[i + 1] == '$') return n;
    }
    return 0;
  }

  const php_code& code_;
  const variable_texts& variables_;
};

}  // namespace

bool evaluate_text(const php_code& code, std::size_t first, std::size_t last,
                   const variable_texts& variables, query_text_builder& out) {
  return evaluator(code, variables).expression(first, last, out, 0);
}

bool add_expression_placeholder(const php_code& code, std::size_t first, std::size_t last,
                                query_text_builder& out) {
  text_placeholder p;
  p.expression_begin = code.tokens[first].offset;
  p.expression_end = code.end_of(last - 1);
  return out.add_placeholder(p);
}

}  // namespace corvexa::sql
