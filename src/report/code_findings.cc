// Both checks run the PHP lexer once over one file, and only over files
// where they can find something.
#include "report/code_findings.h"

#include <algorithm>
#include <string>

#include "report/rules.h"
#include "scan/php_code.h"
#include "translate/complete_calls.h"

namespace corvexa {
namespace {

// The value of a quoted string token without escapes or interpolation.
std::string_view plain_string_value(std::string_view token) {
  if (token.size() < 2 || (token[0] != '\'' && token[0] != '"') || token.back() != token[0]) {
    return {};
  }
  std::string_view value = token.substr(1, token.size() - 2);
  return value.find_first_of("\\$") == std::string_view::npos ? value : std::string_view{};
}

// A token that ends a statement, so that a statement may follow it.
bool ends_statement(const php_token& token, std::string_view text) {
  if (token.kind == php_token_kind::open_tag) return true;
  if (token.kind != php_token_kind::symbol || token.length != 1) return false;
  char c = text[token.offset];
  return c == ';' || c == '{' || c == '}' || c == ':';
}

// What may follow a call that stands as a statement of its own.
bool may_follow_statement(const php_token& token, std::string_view text) {
  if (token.kind == php_token_kind::close_tag) return true;
  return token.kind == php_token_kind::symbol && text[token.offset] == ';';
}

}  // namespace

std::vector<finding> find_leftover_names(std::string_view output, const event_log& log,
                                         const call_table& extension) {
  std::vector<finding> findings;
  if (!extension.may_name_a_call_in(output)) return findings;
  php_code code(output);
  const std::vector<php_token>& tokens = code.tokens();
  auto add = [&](rule_id id, std::uint64_t offset, std::string_view name, std::string message) {
    finding f = make_finding(id, std::string(name), std::move(message));
    f.output_offset = offset;
    f.source_offset = log.source_offset_of(offset);
    findings.push_back(std::move(f));
  };
  for (std::size_t i = 0; i < tokens.size(); ++i) {
    std::string_view text = code.text_of(tokens[i]);
    if (tokens[i].kind == php_token_kind::string) {
      std::string_view value = plain_string_value(text);
      const call_entry* named = value.empty() ? nullptr : extension.find(value);
      if (named != nullptr && named->form == call_form::function) {
        add(rule_id::name_in_string, tokens[i].offset, value,
            std::string(text) + " names " + std::string(value) +
                "(), which PHP 7 and later do not have: name its PostgreSQL counterpart, " +
                counterpart_of(named->name));
      }
      continue;
    }
    if (tokens[i].kind != php_token_kind::word || code.use_of(i) == name_use::other) continue;
    const call_entry* left = extension.find(text);
    if (left == nullptr) continue;
    add(rule_id::leftover_name, tokens[i].offset, text,
        std::string(text) +
            " is still in the converted code, and PHP 7 and later do not have "
            "it: --rules complete writes " +
            counterpart_of(left->name));
  }
  return findings;
}

std::vector<finding> find_broken_expressions(std::string_view input, const event_log& log) {
  std::vector<const replaced_call*> unsupported;
  for (const replaced_call& call : log.calls()) {
    if (!call.translated) unsupported.push_back(&call);
  }
  std::vector<finding> findings;
  if (unsupported.empty()) return findings;
  std::size_t next = 0;  // the first call not yet checked
  const replaced_call* awaiting_follower = nullptr;
  bool broken = false;
  php_token previous{php_token_kind::open_tag, 0, 0};
  auto conclude = [&](bool follower_fits) {
    if (broken || !follower_fits) {
      const replaced_call& call = *awaiting_follower;
      finding f = make_finding(rule_id::broken_expression, std::string(call.name),
                               std::string(call.name) +
                                   "() became a comment where PHP needs a value: rewrite "
                                   "this statement by hand");
      f.source_offset = call.source_begin;
      f.output_offset = call.replacement_begin;
      findings.push_back(std::move(f));
    }
    awaiting_follower = nullptr;
  };
  for (const php_token& token : php_tokens(input)) {
    if (awaiting_follower != nullptr && token.offset >= awaiting_follower->source_end) {
      conclude(may_follow_statement(token, input));
    }
    while (next < unsupported.size() && unsupported[next]->source_begin < token.offset) ++next;
    if (next < unsupported.size() && unsupported[next]->source_begin == token.offset &&
        token.kind == php_token_kind::word && awaiting_follower == nullptr) {
      awaiting_follower = unsupported[next++];
      broken = !ends_statement(previous, input);
    }
    previous = token;
  }
  if (awaiting_follower != nullptr) conclude(true);  // the end of the file ends it
  return findings;
}

}  // namespace corvexa
