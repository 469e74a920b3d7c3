// Puts a stand-in for each placeholder of a query text so that PostgreSQL's
// parser can judge the literal SQL around it. Inside a quoted string, a
// quoted name or a comment the stand-in is "x". Elsewhere it is chosen by
// what parses: a value ("1") first; when the parser stops at a stand-in (or
// right after it) that stand-in moves on to a name ("x"), a list ("1, 1"),
// a condition or assignment ("x = 1"), a query ("SELECT x"), then nothing. Each placeholder moves
// at most that far, one parse per move, within a budget of parses that
// shrinks as the text grows; so the work is linear in the placeholders,
// never one parse per combination.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "sql/sql_edits.h"
#include "sql/sql_parser.h"

namespace corvexa::sql {

struct substitution_slot {
  std::uint64_t begin = 0, end = 0;  // the stand-in's bytes in the substituted SQL
  std::uint64_t text_offset = 0;     // the placeholder's place in the text
  std::size_t placeholder = 0;       // its index
};

// The text with every placeholder replaced by its stand-in.
struct substituted_sql {
  std::string sql;
  std::vector<substitution_slot> slots;  // in order

  // The slot whose stand-in holds byte `offset` (begin <= offset < end), or null.
  const substitution_slot* slot_holding(std::uint64_t offset) const;
  // The slot whose stand-in is exactly [begin, end), or null.
  const substitution_slot* slot_spanning(std::uint64_t begin, std::uint64_t end) const;
  // True if [begin, end) holds a byte of any stand-in.
  bool touches_slot(std::uint64_t begin, std::uint64_t end) const;
  // The text offset of SQL offset `offset`, which is outside every stand-in
  // (or the end of one).
  std::uint64_t text_offset(std::uint64_t offset) const;
};

// A query text and the places of its placeholders.
struct placeholder_text {
  std::string text;
  std::vector<std::uint64_t> placeholders;
};

// The text that `edits` of the substituted SQL give, with the stand-ins
// taken out again; none when an edit changes a stand-in's bytes.
std::optional<placeholder_text> edited_text(const substituted_sql& sql,
                                            const std::vector<sql_edit>& edits);

struct filled_query {
  substituted_sql substituted;
  parse_outcome outcome;             // of the choice that parsed, or of the one that got furthest
  std::vector<std::size_t> choices;  // each placeholder's stand-in, as fill_as takes them
};

filled_query fill_and_parse(std::string_view text, const std::vector<std::uint64_t>& placeholders,
                            bool want_tree);

// The text with the stand-ins `choices` (those of another filled_query of
// a text with as many placeholders), parsed once.
filled_query fill_as(std::string_view text, const std::vector<std::uint64_t>& placeholders,
                     const std::vector<std::size_t>& choices, bool want_tree);

}  // namespace corvexa::sql
