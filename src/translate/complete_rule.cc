// The one rule of the complete rows: read the arguments as PHP does, look
// at what the row asks to be looked at, fill the template, and say how
// faithful the result is.
#include <array>
#include <optional>
#include <utility>

#include "scan/php_code.h"
#include "translate/advice.h"
#include "translate/complete_calls.h"
#include "translate/complete_template.h"
#include "translate/connection_string.h"
#include "translate/exact_arguments.h"
#include "translate/mysql_errors.h"
#include "translate/name_list.h"
#include "translate/php_literal.h"

namespace corvexa {
namespace {

// mysql_result() with a field's name: MySQL matched it in any letter case,
// and "table.name" by its name; PostgreSQL's field names keep the case
// the query gives them (an output name written with a capital is quoted),
// and pg_fetch_result() folds a name to lower case. The field is looked up
// here as MySQL did, each argument read once.
constexpr std::string_view field_by_name_replacement =
    "(static fn($r, $row, $f) => pg_fetch_result($r, $row, is_string($f) && ($i = "
    "array_search(strtolower(substr(strrchr('.' . $f, '.'), 1)), array_map(fn($n) => "
    "strtolower(pg_field_name($r, $n)), range(0, pg_num_fields($r) - 1)), true)) !== false ? $i "
    ": $f))({0}, {1}, {2})";

constexpr std::array<std::string_view, 10> ordinals = {
    "first", "second", "third", "fourth", "fifth", "sixth", "seventh", "eighth", "ninth", "tenth"};

constexpr std::string_view unknown_encoding_note =
    "the character set is passed on as written: name it as PostgreSQL does (UTF8, LATIN1, ...)";

void report_outcome(conversion_state& state, const complete_call& call) {
  switch (call.outcome) {
    case complete_outcome::exact: break;
    case complete_outcome::differs:
      report(state, event_kind::behaves_differently, call.note);
      break;
    case complete_outcome::no_equivalent:
      report(state, event_kind::no_equivalent, call.note);
      break;
  }
}

// Compares the database that argument 0 names with the run's own. Only a
// literal names one; an interpolated string or a variable is not known
// until PHP runs.
void advise_on_database(conversion_state& state, const exact_arguments& arguments,
                        std::string_view database_name) {
  std::optional<std::string> selected;
  if (!arguments.written.empty()) selected = literal_value(arguments.written[0]);
  if (!selected) {
    report_advice(state, advice::database_unknown);
  } else if (*selected != database_name) {
    report_advice(state, advice::database_differs, *selected, arguments.written[0]);
  }
}

// The operator of a comparison, made of the symbol tokens from `first`
// that touch each other: "==", "!=", "===", "!==" or "<>".
bool is_comparison(const php_code& code, std::size_t first, std::size_t end) {
  std::string op;
  for (std::size_t i = first; i < end; ++i) op += code.text_of(code.tokens()[i]);
  return op == "==" || op == "!=" || op == "===" || op == "!==" || op == "<>";
}

// The number that the call's result is compared with, on either side, if
// it is not 0 (which still means "no error").
std::optional<std::string_view> compared_number(const conversion_state& state) {
  const php_code& code = *state.code;
  const std::vector<php_token>& tokens = code.tokens();
  std::size_t after = code.first_token_from(state.input_stream.position());
  std::size_t i = after;
  while (i < tokens.size() && tokens[i].kind == php_token_kind::symbol && i - after < 3) ++i;
  std::optional<std::string_view> number;
  if (i < tokens.size() && i > after && tokens[i].kind == php_token_kind::number &&
      is_comparison(code, after, i)) {
    number = code.text_of(tokens[i]);
  }
  std::size_t name = code.name_at(state.current_call.source_begin);
  std::size_t j = name;
  while (j > 0 && tokens[j - 1].kind == php_token_kind::symbol && name - j < 3) --j;
  if (!number && j > 0 && j < name && tokens[j - 1].kind == php_token_kind::number &&
      is_comparison(code, j, name)) {
    number = code.text_of(tokens[j - 1]);
  }
  if (number && *number == "0") return std::nullopt;
  return number;
}

// A comparison with a number that the converted mysql_errno() does not
// give back can never be true.
void check_errno_comparison(conversion_state& state) {
  std::optional<std::string_view> number = compared_number(state);
  if (!number) return;
  const mysql_error_row* row = mysql_error_of(*number);
  if (row != nullptr && row->kept) return;
  report_advice(state, advice::errno_compared, *number,
                row != nullptr ? kept_number_for(row->sqlstate) : std::string_view{});
}

template_values values_for(std::string_view database_name, const complete_call& call,
                           const exact_arguments& arguments, bool& encoding_known) {
  template_values values{arguments, call.link_argument, {}, {}, {}, {}};
  encoding_known = true;
  if (call.replacement.find("{C}") != std::string_view::npos) {
    values.connection = connection_string(arguments, database_name);
    values.flags = connect_flags(arguments);
  }
  if (call.replacement.find("{E}") != std::string_view::npos) {
    values.encoding = client_encoding(arguments, encoding_known);
  }
  if (call.replacement.find("{M}") != std::string_view::npos)
    values.errno_arms = errno_match_arms();
  return values;
}

// Records where the arguments that no call inside them changed stand in the
// replacement about to be written, so that a place inside one (a query's
// text, say) is found again in the input.
void note_kept_arguments(conversion_state& state, const exact_arguments& arguments,
                         const filled_template& filled) {
  std::uint64_t begin = state.output_stream.position();
  for (const auto& [index, position] : filled.placed) {
    if (arguments.converted[index] != arguments.written[index]) continue;
    state.current_call.moved_words.push_back(
        {arguments.spans[index].begin, begin + position, arguments.written[index].size()});
  }
}

// Starts the replacement that begins with `text`: a "\" that qualified the
// call's name stays before a name ("\pg_ping()", "\true"), where PHP reads
// it, and nowhere else.
void begin_replacement(conversion_state& state, std::string_view text) {
  start_replacement(state);
  const php_code& code = *state.code;
  bool qualified = code.text()[state.current_call.source_begin] == '\\';
  char first = text.empty() ? '\0' : text.front();
  bool name = (first >= 'a' && first <= 'z') || (first >= 'A' && first <= 'Z') || first == '_';
  if (qualified && name) state.output_stream.write("\\");
}

// Writes the name back as it stood: the call could not be read.
void leave_as_it_was(conversion_state& state) {
  state.current_call.translated = false;
  const php_code& code = *state.code;
  const php_token& name = code.tokens()[code.name_at(state.current_call.source_begin)];
  begin_replacement(state, code.text_of(name));
  state.output_stream.write(code.text_of(name));
  report(state, event_kind::unreadable_call);
}

}  // namespace

void convert_completely(conversion_state& state, const complete_call& call,
                        const table_settings& settings) {
  state.current_call.name = usual_name(call.names);
  state.current_call.translated = call.outcome != complete_outcome::no_equivalent;
  if (call.form == call_form::constant) {
    begin_replacement(state, call.replacement);
    state.output_stream.write(call.replacement);
    report_outcome(state, call);
    return;
  }
  exact_arguments arguments = read_exact_arguments(state);
  if (!arguments.complete) return leave_as_it_was(state);
  const missing_argument_form& without = call.without;
  if (without.argument >= 0 &&
      arguments.converted.size() <= static_cast<std::size_t>(without.argument)) {
    state.current_call.translated = false;
    begin_replacement(state, without.replacement);
    state.output_stream.write(without.replacement);
    report(state, event_kind::no_equivalent, without.note);
    return;
  }
  if (call.check == complete_check::selected_database) {
    advise_on_database(state, arguments, settings.database_name);
  }
  if (call.check == complete_check::compared_errno) check_errno_comparison(state);

  bool encoding_known = true;
  std::string_view replacement = call.replacement;
  if (call.check == complete_check::field_by_name && arguments.converted.size() > 2)
    replacement = field_by_name_replacement;
  filled_template filled = fill_template(
      replacement, values_for(settings.database_name, call, arguments, encoding_known));
  begin_replacement(state, filled.text);
  note_kept_arguments(state, arguments, filled);
  state.output_stream.write(filled.text);
  for (std::size_t index : filled.missing) {
    report(state, event_kind::missing_argument, index < ordinals.size() ? ordinals[index] : "an");
  }
  if (!encoding_known) report(state, event_kind::behaves_differently, unknown_encoding_note);
  report_outcome(state, call);
}

}  // namespace corvexa
