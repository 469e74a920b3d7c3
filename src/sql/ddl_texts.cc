// The converter ends every statement with ";\n"; the text keeps its own
// ending: a final ';' only if it had one.
#include "sql/ddl_texts.h"

#include "common/ascii.h"
#include "sql/parse_tree_node.h"
#include "sql/sql_bytes.h"
#include "sql/sql_parser.h"

namespace corvexa::sql {
namespace {

constexpr std::size_t max_heading_bytes = 60;

// The words of `text` up to `count` of them, and where the last one ends.
std::vector<std::string_view> first_words(std::string_view text, std::size_t count) {
  std::vector<std::string_view> words;
  std::size_t at = 0;
  while (words.size() < count) {
    while (at < text.size() && is_sql_space(text[at])) ++at;
    std::size_t end = at;
    while (end < text.size() && !is_sql_space(text[end]) && text[end] != '(') ++end;
    if (end == at) break;
    words.push_back(text.substr(at, end - at));
    at = end;
  }
  return words;
}

bool is_word(std::string_view word, std::string_view lower_word) {
  return equal_ignoring_ascii_case(word, lower_word);
}

std::size_t statement_count(const std::string& sql) {
  parse_outcome parsed = parse_sql(sql, true);
  if (!parsed.parsed) return 0;
  parse_tree::document document(parsed.tree_json);
  const parse_tree::node& tree = document.root();
  auto stmts = tree.find("stmts");
  return !tree.is_discarded() && stmts != tree.end() && stmts->is_array() ? stmts->size() : 0;
}

bool ends_with_semicolon(std::string_view text) {
  while (!text.empty() && is_sql_space(text.back())) text.remove_suffix(1);
  return !text.empty() && text.back() == ';';
}

}  // namespace

std::string ddl_heading(std::string_view text) {
  std::vector<std::string_view> words = first_words(text, 6);
  std::size_t table = 0;
  if (words.size() >= 3 && is_word(words[0], "create") && is_word(words[1], "table")) table = 1;
  if (words.size() >= 4 && is_word(words[0], "create") && is_word(words[1], "temporary") &&
      is_word(words[2], "table"))
    table = 2;
  if (words.size() >= 3 && is_word(words[0], "alter") && is_word(words[1], "table")) table = 1;
  if (table == 0) return {};
  std::size_t name = table + 1;
  if (words.size() > name + 2 && is_word(words[name], "if") && is_word(words[name + 1], "not") &&
      is_word(words[name + 2], "exists"))
    name += 3;
  std::size_t last = std::min(name, words.size() - 1);
  std::size_t begin = static_cast<std::size_t>(words[0].data() - text.data());
  std::size_t end = static_cast<std::size_t>(words[last].data() - text.data()) + words[last].size();
  std::string heading(text.substr(begin, std::min(end - begin, max_heading_bytes)));
  for (char& c : heading) {
    if (is_sql_space(c)) c = ' ';
  }
  return heading;
}

ddl_text_outcome convert_ddl_text(std::string_view text, std::string_view heading,
                                  bool has_placeholders, bool several_statements,
                                  const ddl_converter& convert) {
  ddl_text_outcome out;
  std::string name(heading);
  if (has_placeholders) {
    out.messages.push_back(name +
                           " holds PHP values: not converted; convert it as a .sql file would be");
    return out;
  }
  ddl_conversion converted = convert(text);
  if (!converted.converted) {
    out.messages.push_back(name + " not converted: " + converted.problem);
    return out;
  }
  std::string result = std::move(converted.text);
  while (!result.empty() && is_sql_space(result.back())) result.pop_back();
  if (!ends_with_semicolon(text) && !result.empty() && result.back() == ';') result.pop_back();
  std::size_t statements = statement_count(result);
  if (statements == 0) {
    out.messages.push_back(name + " not converted: the converted text does not parse");
    return out;
  }
  if (statements > 1 && !several_statements) {
    out.messages.push_back(name + " not converted: it becomes " + std::to_string(statements) +
                           " statements, which this call cannot run in one text");
    return out;
  }
  out.replacement = std::move(result);
  for (const std::string& warning : converted.warnings)
    out.messages.push_back(name + ": " + warning);
  return out;
}

std::string on_one_line(const std::string& sql) {
  std::vector<sql_token> tokens;
  if (!scan_sql(sql, tokens)) return sql;
  std::string out = sql;
  std::size_t from = 0;
  auto blank_breaks = [&](std::size_t begin, std::size_t end) {
    for (std::size_t i = begin; i < end && i < out.size(); ++i) {
      if (out[i] == '\n' || out[i] == '\r') out[i] = ' ';
    }
  };
  for (const sql_token& t : tokens) {
    blank_breaks(from, t.begin);
    from = t.end;
  }
  blank_breaks(from, out.size());
  return out;
}

}  // namespace corvexa::sql
