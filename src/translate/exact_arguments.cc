// Each argument is converted by a conversion of its own over the
// argument's bytes, at their offsets in the file, so that its events point
// into the file. Its calls are described to nobody: the call around them
// is what the output shows as replaced.
#include "translate/exact_arguments.h"

#include "common/byte_streams.h"
#include "common/input_buffer.h"
#include "common/output_sink.h"
#include "scan/exact_conversion.h"
#include "scan/php_code.h"

namespace corvexa {
namespace {

// Deeper than any code written by hand; deep enough to keep the stack of
// nested conversions small whatever a file holds.
constexpr unsigned most_nesting = 64;

// Passes a nested conversion's events on, but not its replaced calls.
class nested_events final : public event_sink {
 public:
  explicit nested_events(event_sink& outer)
      : event_sink(replacements::ignored, outer.kinds_read()), outer_(outer) {}
  void report(const conversion_event& event) override { outer_.report(event); }

 private:
  event_sink& outer_;
};

bool is_space(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

code_span trimmed(std::string_view text, code_span span) {
  while (span.begin < span.end && is_space(text[span.begin])) ++span.begin;
  while (span.end > span.begin && is_space(text[span.end - 1])) --span.end;
  return span;
}

// An argument that ends in a line comment ("$q // why") keeps the line
// break after it: written before what the replacement puts after the
// argument (a ",", a ")"), the comment would take that in.
code_span with_line_comment_end(const php_code& code, code_span span) {
  std::string_view text = code.text();
  std::uint64_t from = span.begin;
  std::size_t next = code.first_token_from(span.end);
  if (next > 0) {
    const php_token& last = code.tokens()[next - 1];
    if (last.offset >= span.begin) from = last.offset + last.length;
  }
  bool line_comment = false;  // between the last token and the end: comments only
  for (std::uint64_t i = from; i < span.end; ++i) {
    if (line_comment) {
      line_comment = text[i] != '\n' && text[i] != '\r';
    } else if (text[i] == '/' && i + 1 < span.end && text[i + 1] == '*') {
      std::size_t close = text.find("*/", i + 2);
      i = close == std::string_view::npos ? span.end : close + 1;
    } else {
      line_comment = text[i] == '#' || (text[i] == '/' && i + 1 < span.end && text[i + 1] == '/');
    }
  }
  if (!line_comment) return span;
  if (span.end < text.size() && text[span.end] == '\r') ++span.end;
  if (span.end < text.size() && text[span.end] == '\n') ++span.end;
  return span;
}

std::string converted(conversion_state& state, code_span span) {
  std::string output;
  std::string_view text = state.code->text();
  input_buffer input(text.substr(span.begin, span.end - span.begin), span.begin);
  string_writer writer(output);
  output_sink sink(writer, 256);
  nested_events events(state.events);
  conversion_state nested(input, sink, events, state.call_names);
  nested.code = state.code;
  nested.nesting = state.nesting + 1;
  convert_code_span(nested, span);
  sink.flush();
  return output;
}

}  // namespace

exact_arguments read_exact_arguments(conversion_state& state) {
  exact_arguments result;
  const php_code& code = *state.code;
  input_buffer& input = state.input_stream;
  std::size_t name = code.name_at(state.current_call.source_begin);
  argument_list list = code.arguments_of(name);
  std::uint64_t input_end = input.position() + input.window().size();
  if (!list.closed || list.end > input_end || state.nesting >= most_nesting) return result;
  for (code_span argument : list.arguments) {
    code_span bare = with_line_comment_end(code, trimmed(code.text(), argument));
    result.written.push_back(code.text().substr(bare.begin, bare.end - bare.begin));
    result.spans.push_back(bare);
    result.converted.push_back(converted(state, bare));
  }
  input.consume(static_cast<std::size_t>(list.end - input.position()));
  result.complete = true;
  return result;
}

}  // namespace corvexa
