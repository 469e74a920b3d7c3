// Both checks run the PHP lexer once over one file, and only over files
// where they can find something.
#include "report/code_findings.h"

#include <algorithm>
#include <string>

#include "scan/php_lexer.h"
#include "report/rules.h"

namespace corvexa {
namespace {

constexpr std::string_view watched_prefix = "mysql_";

bool has_watched_prefix(std::string_view word) {
  if (word.size() < watched_prefix.size()) return false;
  for (std::size_t i = 0; i < watched_prefix.size(); ++i) {
    char c = word[i];
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    if (c != watched_prefix[i]) return false;
  }
  return true;
}

bool mentions_watched_prefix(std::string_view text) {
  for (std::size_t at = text.find_first_of("mM"); at != std::string_view::npos;
       at = text.find_first_of("mM", at + 1)) {
    if (has_watched_prefix(text.substr(at, watched_prefix.size()))) return true;
  }
  return false;
}

// Where the output byte at `offset` came from in the input. Text between
// calls is copied unchanged; a name inside a replacement came from the
// call's argument list.
std::uint64_t source_offset_of(std::uint64_t offset, const event_log& log) {
  const std::vector<replaced_call>& calls = log.calls();
  auto after = std::upper_bound(calls.begin(), calls.end(), offset,
                                [](std::uint64_t at, const replaced_call& call) {
                                  return at < call.output_begin;
                                });
  if (after == calls.begin()) return offset;
  const replaced_call& call = *(after - 1);
  if (offset >= call.output_end) return call.source_end + (offset - call.output_end);
  for (const moved_word& word : log.moved_words(static_cast<std::size_t>(after - 1 - calls.begin()))) {
    if (word.output_offset == offset) return word.source_offset;
  }
  return call.source_begin;  // a name the replacement itself made up
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

std::vector<finding> find_leftover_names(std::string_view output, const event_log& log) {
  std::vector<finding> findings;
  if (!mentions_watched_prefix(output)) return findings;
  lex_php(output, [&](const php_token& token) {
    if (token.kind != php_token_kind::word) return;
    std::string_view word = output.substr(token.offset, token.length);
    if (!has_watched_prefix(word)) return;
    finding f = make_finding("leftover-name", std::string(word),
                             std::string(word) + " is still in the converted code: "
                                                 "port it by hand");
    f.output_offset = token.offset;
    f.source_offset = source_offset_of(token.offset, log);
    findings.push_back(std::move(f));
  });
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
      finding f = make_finding("broken-expression", std::string(call.name),
                               std::string(call.name) +
                                   "() became a comment where PHP needs a value: rewrite "
                                   "this statement by hand");
      f.source_offset = call.source_begin;
      f.output_offset = call.replacement_begin;
      findings.push_back(std::move(f));
    }
    awaiting_follower = nullptr;
  };
  lex_php(input, [&](const php_token& token) {
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
  });
  if (awaiting_follower != nullptr) conclude(true);  // the end of the file ends it
  return findings;
}

}  // namespace corvexa
