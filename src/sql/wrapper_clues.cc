// One walk over the tokens of code finds the definitions (a "function"
// directly in a class body is a method); the body of each is then walked
// once, nested function bodies skipped, counting every write to each
// variable and noting, at each closing ")", which variables stood alone as
// an argument of that call. A parameter is followed only while it and its
// copies are never written but by their one copy statement, which is as
// certain as reading the code gets without running it.
#include "sql/wrapper_clues.h"

#include <algorithm>
#include <string_view>
#include <unordered_map>
#include <utility>

#include "common/ascii.h"
#include "sql/php_code.h"
#include "sql/query_calls.h"

namespace corvexa::sql {
namespace {

constexpr std::size_t none = php_code::no_partner;

// The functions of PHP that take an argument by reference where a text
// could be passed: that argument, and with `onward` every one after it.
struct reference_argument {
  std::string_view function;
  std::uint32_t argument;
  bool onward;
};

constexpr reference_argument php_reference_arguments[] = {
    {"preg_match", 2, false},
    {"preg_match_all", 2, false},
    {"preg_replace", 4, false},
    {"preg_replace_callback", 4, false},
    {"str_replace", 3, false},
    {"str_ireplace", 3, false},
    {"settype", 0, false},
    {"parse_str", 1, false},
    {"mb_parse_str", 1, false},
    {"sscanf", 2, true},
    {"fscanf", 2, true},
    {"similar_text", 2, false},
    {"exec", 1, true},
    {"system", 1, false},
    {"passthru", 1, false},
    {"mb_convert_variables", 2, true},
    {"array_push", 0, false},
    {"array_unshift", 0, false},
    {"array_pop", 0, false},
    {"array_shift", 0, false},
    {"array_splice", 0, false},
    {"array_walk", 0, false},
    {"array_multisort", 0, true},
    {"sort", 0, false},
    {"rsort", 0, false},
    {"usort", 0, false},
    {"ksort", 0, false},
    {"krsort", 0, false},
    {"asort", 0, false},
    {"arsort", 0, false},
    {"uasort", 0, false},
    {"uksort", 0, false},
    {"natsort", 0, false},
    {"natcasesort", 0, false},
    {"shuffle", 0, false},
    {"end", 0, false},
    {"reset", 0, false},
    {"next", 0, false},
    {"prev", 0, false},
    {"each", 0, false},
    {"extract", 0, false},
    {"headers_sent", 0, true},
    {"is_callable", 2, false},
    {"getimagesize", 1, false},
    {"fsockopen", 2, true},
    {"pfsockopen", 2, true},
    {"stream_socket_client", 1, true},
    {"flock", 2, false},
    {"openssl_sign", 1, false},
    {"xml_parse_into_struct", 2, true},
    {"ereg", 2, false},
    {"eregi", 2, false},
    {"mb_ereg", 2, false},
    {"mb_eregi", 2, false},
    {"getmxrr", 1, true},
    {"dns_get_record", 2, true},
    {"proc_open", 2, false},
    {"stream_select", 0, true},
};

bool php_takes_by_reference(std::string_view function, std::uint32_t argument) {
  for (const reference_argument& r : php_reference_arguments) {
    if (r.function == function && (argument == r.argument || (r.onward && argument > r.argument)))
      return true;
  }
  return false;
}

bool is_any(std::string_view word, std::initializer_list<std::string_view> candidates) {
  for (std::string_view c : candidates) {
    if (word == c) return true;
  }
  return false;
}

// Words before "(" that only read what stands inside.
bool reads_only(std::string_view lower_word) {
  return is_any(lower_word,
                {"if",    "elseif", "while", "for",        "switch", "return",  "echo",  "print",
                 "and",   "or",     "xor",   "isset",      "empty",  "array",   "die",   "exit",
                 "match", "clone",  "use",   "function",   "fn",     "declare", "throw", "yield",
                 "case",  "else",   "do",    "instanceof", "new",    "compact"});
}

// Words before "(" that assign what stands inside.
bool writes_inside(std::string_view lower_word) {
  return is_any(lower_word, {"unset", "list", "catch"});
}

// Words that may change any variable of the function.
bool changes_any_variable(std::string_view lower_word) {
  return is_any(lower_word, {"extract", "parse_str", "mb_parse_str", "eval", "include",
                             "include_once", "require", "require_once"});
}

// What the "(" of a call is the argument list of.
enum class callee_kind : std::uint8_t {
  none,     // no call: a parenthesised expression
  reads,    // a construct that only reads its arguments
  writes,   // a construct that assigns them
  named,    // a function or method named in the code
  dynamic,  // a call of a variable or an expression: anything may happen
};

struct callee {
  callee_kind kind = callee_kind::none;
  callable_name name;
};

// Stands for a variable variable among whole arguments.
constexpr std::string_view variable_variable = "$";

struct whole_argument {
  std::string_view variable;  // with its "$"
  std::uint32_t index;
};

struct open_bracket {
  std::size_t token;
  std::uint32_t commas = 0;
  bool after_as = false;  // "foreach (... as": what follows is assigned
  std::vector<whole_argument> arguments = {};
};

struct function_header {
  std::size_t name = none;        // none for a closure
  std::size_t parameters = none;  // the "(" of the parameter list
  std::size_t body = none;        // its "{", none for an abstract declaration
};

class clue_gatherer {
 public:
  explicit clue_gatherer(const php_code& code) : code_(code) {}

  wrapper_clues run() {
    std::vector<bool> class_bodies;  // for each open "{": whether it holds a class's members
    bool class_pending = false;
    std::size_t function_body = none;
    for (std::size_t t = 0; t < code_.tokens.size(); ++t) {
      if (code_.tokens[t].kind == php_token_kind::word) {
        if (starts_class(t)) {
          class_pending = true;
        } else if (code_.is_word(t, "function") && !after_member_access(t)) {
          function_header header = read_header(t);
          if (header.body == none) continue;
          function_body = header.body;
          if (header.name != none) {
            define(header, !class_bodies.empty() && class_bodies.back());
          }
        }
      } else if (opens(t, '{')) {
        class_bodies.push_back(t != function_body && class_pending);
        if (t != function_body) class_pending = false;
      } else if (code_.is_symbol(t, '}') && code_.partner[t] != none && !class_bodies.empty()) {
        class_bodies.pop_back();
      }
    }
    return std::move(clues_);
  }

 private:
  bool opens(std::size_t t, char bracket) const {
    return code_.is_symbol(t, bracket) && code_.partner[t] != none && code_.partner[t] > t;
  }

  bool is_double_colon(std::size_t t) const {
    return t < code_.tokens.size() && code_.token_text(t) == "::";
  }

  bool after_member_access(std::size_t t) const {
    return t >= 1 && (code_.ends_member_arrow(t - 1) || is_double_colon(t - 1));
  }

  // "class", "trait", "interface", or "enum Name", as a declaration.
  bool starts_class(std::size_t t) const {
    if (after_member_access(t)) return false;
    if (code_.is_word(t, "class") || code_.is_word(t, "trait") || code_.is_word(t, "interface")) {
      return t == 0 || !code_.is_word(t - 1, "function");
    }
    return code_.is_word(t, "enum") && t + 1 < code_.tokens.size() &&
           code_.tokens[t + 1].kind == php_token_kind::word;
  }

  // "function [&] [name] (...) [use (...)] [: type] {" from token t.
  function_header read_header(std::size_t t) const {
    function_header header;
    std::size_t i = t + 1;
    if (code_.is_symbol(i, '&')) ++i;
    if (i < code_.tokens.size() && code_.tokens[i].kind == php_token_kind::word) header.name = i++;
    if (!opens(i, '(')) return header;
    header.parameters = i;
    i = code_.partner[i] + 1;
    if (code_.is_word(i, "use") && opens(i + 1, '(')) i = code_.partner[i + 1] + 1;
    if (code_.is_symbol(i, ':')) {
      // A return type: names, "?", "|", "&", "\" and the brackets of a
      // disjunctive normal form.
      constexpr std::size_t longest_type = 64;
      for (std::size_t end = i + longest_type; ++i < end && i < code_.tokens.size();) {
        const php_token& token = code_.tokens[i];
        bool type_symbol =
            token.kind == php_token_kind::symbol && token.length == 1 &&
            std::string_view("?|&\\()").find(code_.text[token.offset]) != std::string_view::npos;
        if (token.kind != php_token_kind::word && !type_symbol) break;
      }
    }
    if (opens(i, '{')) header.body = i;
    return header;
  }

  void define(const function_header& header, bool method) {
    callable_name name{ascii_lowered(code_.token_text(header.name)), method};
    ++clues_.definitions[name];
    body_walk walk(*this);
    walk.run(header.body);
    std::unordered_map<std::string_view, std::uint32_t> parameters = read_parameters(header, name);
    if (walk.changes_any) return;
    add_parameter_clues(name, parameters, walk);
  }

  // The parameters by name and index; records those taken by reference.
  std::unordered_map<std::string_view, std::uint32_t> read_parameters(
      const function_header& header, const callable_name& function) {
    std::unordered_map<std::string_view, std::uint32_t> parameters;
    auto list = split_arguments(code_, header.parameters);
    for (std::uint32_t index = 0; index < list.size(); ++index) {
      auto [first, last] = list[index];
      std::size_t variable = first;
      while (variable < last && code_.tokens[variable].kind != php_token_kind::variable) ++variable;
      if (variable == last) continue;
      bool variadic = variable >= first + 3 && code_.is_symbol(variable - 1, '.');
      std::size_t before = variadic ? variable - 3 : variable;
      if (before > first && code_.is_symbol(before - 1, '&')) {
        callable_argument reference{function, index};
        (variadic ? clues_.by_reference_onward : clues_.by_reference).insert(reference);
      }
      if (!variadic) parameters.emplace(code_.token_text(variable), index);
    }
    return parameters;
  }

  // The walk of one function body.
  struct body_walk {
    const clue_gatherer& outer;
    const php_code& code = outer.code_;
    std::unordered_map<std::string_view, std::uint32_t> writes;
    std::vector<std::pair<std::string_view, std::string_view>> copies;  // copy, original
    std::vector<std::string_view> sent;  // query arguments of query calls
    std::vector<std::pair<std::string_view, callable_argument>> passed;
    bool changes_any = false;
    std::vector<open_bracket> brackets;
    bool declaring = false;  // in "global ...;" or "static ...;"

    explicit body_walk(const clue_gatherer& gatherer) : outer(gatherer) {}

    void run(std::size_t open) {
      std::size_t close = code.partner[open];
      std::size_t nested_body = none;
      for (std::size_t t = open + 1; t < close; ++t) {
        if (t == nested_body) {
          t = code.partner[t];
          continue;
        }
        const php_token& token = code.tokens[t];
        switch (token.kind) {
          case php_token_kind::variable: t = visit_variable(t); break;
          case php_token_kind::word: visit_word(t, nested_body); break;
          case php_token_kind::symbol: visit_symbol(t); break;
          default: break;
        }
      }
    }

    void visit_word(std::size_t t, std::size_t& nested_body) {
      if (outer.after_member_access(t)) return;
      if (code.is_word(t, "function")) {
        nested_body = outer.read_header(t).body;
      } else if (code.is_word(t, "as") && !brackets.empty()) {
        brackets.back().after_as = true;
      } else if ((code.is_word(t, "global") || code.is_word(t, "static")) &&
                 at_statement_start(t) && !code.is_word(t + 1, "function") &&
                 !code.is_word(t + 1, "fn") && !outer.is_double_colon(t + 1)) {
        declaring = true;
      } else if (code.tokens[t].length <= 16 &&
                 changes_any_variable(ascii_lowered(code.token_text(t)))) {
        changes_any = true;
      }
    }

    void visit_symbol(std::size_t t) {
      char c = code.text[code.tokens[t].offset];
      if (code.tokens[t].length != 1) return;
      if (c == ';') {
        declaring = false;
      } else if (c == ',' && !brackets.empty()) {
        ++brackets.back().commas;
      } else if (c == '$' && !declaring &&
                 (code.is_symbol(t + 1, '{') ||
                  (t + 1 < code.tokens.size() &&
                   code.tokens[t + 1].kind == php_token_kind::variable))) {
        visit_variable_variable(t);
      } else if ((c == '(' || c == '[' || c == '{') && code.partner[t] != none &&
                 code.partner[t] > t) {
        brackets.push_back(open_bracket{t});
      } else if ((c == ')' || c == ']' || c == '}') && code.partner[t] != none) {
        while (!brackets.empty() && brackets.back().token > code.partner[t]) brackets.pop_back();
        if (brackets.empty() || brackets.back().token != code.partner[t]) return;
        if (c == ')') close_call(brackets.back());
        brackets.pop_back();
      }
    }

    // Returns the last token it read.
    std::size_t visit_variable(std::size_t t) {
      std::string_view name = code.token_text(t);
      if (name == "$this") return t;
      if (copy_statement_at(t)) {
        write(name);
        copies.emplace_back(name, code.token_text(t + 2));
        return t + 3;
      }
      if (declaring || written_at(t, t)) {
        write(name);
      } else if (whole_argument_at(t, t)) {
        brackets.back().arguments.push_back(whole_argument{name, brackets.back().commas});
      }
      return t;
    }

    // "$$name" or "${...}" at t: a write through one may change any
    // variable; "global $$name", which binds a global, does not.
    void visit_variable_variable(std::size_t t) {
      std::size_t last = code.is_symbol(t + 1, '{') ? code.partner[t + 1] : t + 1;
      if (last == none || written_at(t, last)) {
        changes_any = true;
      } else if (whole_argument_at(t, last)) {
        brackets.back().arguments.push_back(
            whole_argument{variable_variable, brackets.back().commas});
      }
    }

    // Counts a write to `variable`.
    void write(std::string_view variable) {
      if (variable == variable_variable) {
        changes_any = true;
      } else {
        ++writes[variable];
      }
    }

    // True if tokens [first, last] are an argument of a call by themselves.
    bool whole_argument_at(std::size_t first, std::size_t last) const {
      if (brackets.empty() || !code.is_symbol(brackets.back().token, '(')) return false;
      std::size_t open = brackets.back().token;
      return (first - 1 == open || code.is_symbol(first - 1, ',')) &&
             (code.is_symbol(last + 1, ',') || last + 1 == code.partner[open]);
    }

    bool at_statement_start(std::size_t t) const {
      if (t == 0) return true;
      const php_token& before = code.tokens[t - 1];
      if (before.kind == php_token_kind::open_tag || before.kind == php_token_kind::close_tag)
        return true;
      return code.is_symbol(t - 1, ';') || code.is_symbol(t - 1, '{') || code.is_symbol(t - 1, '}');
    }

    // "$copy = $original;" as a statement of its own.
    bool copy_statement_at(std::size_t t) const {
      return at_statement_start(t) && code.is_symbol(t + 1, '=') && t + 3 < code.tokens.size() &&
             code.tokens[t + 2].kind == php_token_kind::variable &&
             code.token_text(t + 2) != "$this" &&
             (code.is_symbol(t + 3, ';') || code.tokens[t + 3].kind == php_token_kind::close_tag);
    }

    // True if the variable of tokens [t, last] may be assigned, changed or
    // referred to there.
    bool written_at(std::size_t t, std::size_t last) const {
      if (t >= 1 && code.is_symbol(t - 1, '&')) return true;
      if (t >= 2 && code.adjacent(t - 2) && code.adjacent(t - 1) &&
          (code.is_symbol(t - 1, '+') || code.is_symbol(t - 1, '-')) &&
          code.token_text(t - 2) == code.token_text(t - 1)) {
        return true;  // "++$x", "--$x"
      }
      if (code.is_symbol(last + 1, '[') || code.is_symbol(last + 1, '{'))
        return true;  // an element
      if (assignment_follows(last)) return true;
      for (auto open = brackets.rbegin(); open != brackets.rend(); ++open) {
        if (code.is_symbol(open->token, '{')) break;
        if (open->after_as) return true;  // foreach (... as $x), (... as [$x, $y])
        if (code.is_symbol(open->token, '[') && assignment_follows(code.partner[open->token]))
          return true;  // [$x, $y] = ...
      }
      return false;
    }

    // True if an assignment or "++" / "--" follows token t.
    bool assignment_follows(std::size_t t) const {
      std::string op;
      for (std::size_t i = t + 1; i < code.tokens.size() && op.size() < 4; ++i) {
        if (code.tokens[i].kind != php_token_kind::symbol || code.tokens[i].length != 1) break;
        op += code.text[code.tokens[i].offset];
        if (!code.adjacent(i)) break;
      }
      if (op.starts_with("++") || op.starts_with("--")) return true;
      std::size_t equals = op.find('=');
      if (equals == std::string::npos) return false;
      if (equals + 1 < op.size() && (op[equals + 1] == '=' || op[equals + 1] == '>')) return false;
      std::string_view before = std::string_view(op).substr(0, equals);
      return is_any(before,
                    {"", ".", "+", "-", "*", "/", "%", "|", "&", "^", "<<", ">>", "**", "??"});
    }

    callee callee_of(std::size_t open) const {
      if (open == 0) return {};
      std::size_t name = open - 1;
      const php_token& token = code.tokens[name];
      if (token.kind == php_token_kind::variable || token.kind == php_token_kind::string ||
          code.is_symbol(name, ')') || code.is_symbol(name, ']') || code.is_symbol(name, '}')) {
        return {callee_kind::dynamic, {}};
      }
      if (token.kind != php_token_kind::word) return {};
      if (outer.after_member_access(name)) {
        return {callee_kind::named, {ascii_lowered(code.token_text(name)), true}};
      }
      if (name >= 1 && code.is_word(name - 1, "new")) {
        return {callee_kind::named, {"__construct", true}};
      }
      if (name >= 1 && code.is_word(name - 1, "function")) return {callee_kind::reads, {}};
      std::string lower = ascii_lowered(code.token_text(name));
      if (reads_only(lower)) return {callee_kind::reads, {}};
      if (writes_inside(lower)) return {callee_kind::writes, {}};
      return {callee_kind::named, {std::move(lower), false}};
    }

    void close_call(const open_bracket& call) {
      if (call.arguments.empty()) return;
      callee target = callee_of(call.token);
      std::size_t count = call.commas + 1;
      const query_call_shape* shape = nullptr;
      if (target.kind == callee_kind::named && !target.name.method) {
        shape = postgres_query_call(target.name.name);
        if (shape == nullptr) shape = mysql_query_call(target.name.name);
      }
      for (const whole_argument& argument : call.arguments) {
        switch (target.kind) {
          case callee_kind::none:
          case callee_kind::reads: break;
          case callee_kind::writes:
          case callee_kind::dynamic: write(argument.variable); break;
          case callee_kind::named:
            if (shape != nullptr) {
              if (query_argument_index(*shape, count) == static_cast<int>(argument.index))
                sent.push_back(argument.variable);
            } else if (argument.variable == variable_variable ||
                       (!target.name.method &&
                        php_takes_by_reference(target.name.name, argument.index))) {
              write(argument.variable);
            } else {
              passed.emplace_back(argument.variable,
                                  callable_argument{target.name, argument.index});
            }
            break;
        }
      }
    }
  };

  // The parameter each variable holds an unchanged copy of.
  static std::unordered_map<std::string_view, std::uint32_t> parameter_copies(
      const std::unordered_map<std::string_view, std::uint32_t>& parameters,
      const body_walk& walk) {
    auto written = [&](std::string_view v) {
      auto found = walk.writes.find(v);
      return found == walk.writes.end() ? 0u : found->second;
    };
    std::unordered_map<std::string_view, std::uint32_t> holds;
    for (const auto& [name, index] : parameters) {
      if (written(name) == 0) holds.emplace(name, index);
    }
    std::unordered_map<std::string_view, std::string_view> original;
    for (const auto& [copy, from] : walk.copies) {
      if (written(copy) == 1 && !parameters.contains(copy)) original.emplace(copy, from);
    }
    // Follows each chain of copies to its start once; a cycle holds nothing.
    std::unordered_map<std::string_view, bool> settled;
    for (const auto& [copy, from] : original) {
      std::vector<std::string_view> chain;
      std::string_view at = copy;
      while (!holds.contains(at) && !settled.contains(at) && original.contains(at)) {
        settled[at] = true;
        chain.push_back(at);
        at = original.at(at);
      }
      auto start = holds.find(at);
      if (start == holds.end()) continue;
      std::uint32_t index = start->second;
      for (std::string_view v : chain) holds.emplace(v, index);
    }
    return holds;
  }

  void add_parameter_clues(const callable_name& function,
                           const std::unordered_map<std::string_view, std::uint32_t>& parameters,
                           const body_walk& walk) {
    std::unordered_map<std::string_view, std::uint32_t> holds = parameter_copies(parameters, walk);
    if (holds.empty()) return;
    std::unordered_map<std::uint32_t, parameter_clue> by_index;
    for (std::string_view v : walk.sent) {
      auto held = holds.find(v);
      if (held != holds.end()) by_index[held->second].sent = true;
    }
    for (const auto& [v, call] : walk.passed) {
      auto held = holds.find(v);
      if (held != holds.end()) by_index[held->second].passed.push_back(call);
    }
    std::vector<std::uint32_t> indexes;
    for (const auto& entry : by_index) indexes.push_back(entry.first);
    std::sort(indexes.begin(), indexes.end());
    for (std::uint32_t index : indexes) {
      parameter_clue& clue = by_index[index];
      clue.parameter = callable_argument{function, index};
      std::sort(clue.passed.begin(), clue.passed.end());
      clue.passed.erase(std::unique(clue.passed.begin(), clue.passed.end()), clue.passed.end());
      ++clues_.parameters[std::move(clue)];
    }
  }

  const php_code& code_;
  wrapper_clues clues_;
};

}  // namespace

void wrapper_clues::merge(wrapper_clues&& other) {
  for (auto& [name, count] : other.definitions) definitions[name] += count;
  for (auto& [clue, count] : other.parameters) parameters[clue] += count;
  by_reference.merge(other.by_reference);
  by_reference_onward.merge(other.by_reference_onward);
}

bool may_define_functions(std::string_view php) {
  return contains_ignoring_ascii_case(php, "function");
}

wrapper_clues gather_wrapper_clues(std::string_view php) {
  if (!may_define_functions(php)) return {};
  return gather_wrapper_clues(php_code(php));
}

wrapper_clues gather_wrapper_clues(const php_code& code) { return clue_gatherer(code).run(); }

}  // namespace corvexa::sql
