// Where a placeholder stands (code, quotes, comment) is read by PostgreSQL's
// lexical rules, plus MySQL's backquotes, which PostgreSQL has not.
#include "sql/placeholder_fill.h"

#include <algorithm>

namespace corvexa::sql {
namespace {

constexpr std::string_view code_stand_ins[] = {"1", "x", "1, 1", "x = 1", "SELECT x", ""};
constexpr std::string_view quoted_stand_in = "x";
constexpr std::size_t min_parses = 4, max_parses = 64;
constexpr std::uint64_t parse_budget_bytes = 8u << 20;

bool continues_word(char c) {
  auto b = static_cast<unsigned char>(c);
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' ||
         b >= 0x80;
}

// For each placeholder offset (sorted), whether it stands in code (outside
// strings, quoted names and comments).
std::vector<bool> placeholders_in_code(std::string_view text,
                                       const std::vector<std::uint64_t>& offsets) {
  enum class state {
    code,
    string,
    escape_string,
    quoted_name,
    backquoted,
    line_comment,
    block_comment
  };
  std::vector<bool> in_code(offsets.size(), true);
  state s = state::code;
  int comment_depth = 0;
  std::size_t next = 0;
  for (std::uint64_t i = 0; i <= text.size(); ++i) {
    while (next < offsets.size() && offsets[next] == i) in_code[next++] = s == state::code;
    if (i == text.size() || next == offsets.size()) break;
    char c = text[i];
    char after = i + 1 < text.size() ? text[i + 1] : '\0';
    switch (s) {
      case state::code:
        if (c == '\'') {
          bool escape = i > 0 && (text[i - 1] == 'e' || text[i - 1] == 'E') &&
                        (i < 2 || !continues_word(text[i - 2]));
          s = escape ? state::escape_string : state::string;
        } else if (c == '"') {
          s = state::quoted_name;
        } else if (c == '`') {
          s = state::backquoted;
        } else if (c == '-' && after == '-') {
          s = state::line_comment;
        } else if (c == '/' && after == '*') {
          s = state::block_comment;
          comment_depth = 1;
          ++i;
        }
        break;
      case state::string:
      case state::escape_string:
        if (s == state::escape_string && c == '\\') {
          ++i;
        } else if (c == '\'') {
          if (after == '\'') {
            ++i;
          } else {
            s = state::code;
          }
        }
        break;
      case state::quoted_name:
        if (c == '"') s = state::code;
        break;
      case state::backquoted:
        if (c == '`') s = state::code;
        break;
      case state::line_comment:
        if (c == '\n') s = state::code;
        break;
      case state::block_comment:
        if (c == '/' && after == '*') {
          ++comment_depth;
          ++i;
        } else if (c == '*' && after == '/') {
          ++i;
          if (--comment_depth == 0) s = state::code;
        }
        break;
    }
  }
  return in_code;
}

bool only_spaces(std::string_view s) {
  return std::all_of(s.begin(), s.end(),
                     [](char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; });
}

class filler {
 public:
  filler(std::string_view text, const std::vector<std::uint64_t>& offsets)
      : text_(text),
        offsets_(offsets),
        in_code_(placeholders_in_code(text, offsets)),
        choice_(offsets.size(), 0) {}

  // Parses with the first choices, then moves the stand-in to blame until
  // a choice parses. When none does, the outcome reported is the one the
  // search ended on; if it ended on a stand-in that had tried every choice,
  // that stand-in goes back to its first choice, whose error is the
  // plainest.
  filled_query run(bool want_tree) {
    std::uint64_t size = text_.size() + 1;
    std::size_t budget = std::clamp<std::size_t>(parse_budget_bytes / size, min_parses, max_parses);
    for (std::size_t parses = 0;; ++parses) {
      filled_query attempt = parse(want_tree);
      if (attempt.outcome.parsed || parses + 1 >= budget) return attempt;
      std::size_t exhausted = placeholder_none;
      if (!move_blamed(attempt, exhausted)) {
        if (exhausted == placeholder_none) return attempt;
        choice_[exhausted] = 0;
        return parse(want_tree);
      }
    }
  }

  // Parses with the stand-ins `choices` once.
  filled_query run_as(const std::vector<std::size_t>& choices, bool want_tree) {
    for (std::size_t p = 0; p < choice_.size() && p < choices.size(); ++p) {
      if (in_code_[p] && choices[p] < std::size(code_stand_ins)) choice_[p] = choices[p];
    }
    return parse(want_tree);
  }

  filled_query parse(bool want_tree) const {
    filled_query attempt;
    attempt.substituted = substitute();
    attempt.outcome = parse_sql(attempt.substituted.sql, want_tree);
    attempt.choices = choice_;
    return attempt;
  }

  substituted_sql substitute() const {
    substituted_sql out;
    out.sql.reserve(text_.size() + 2 * offsets_.size());
    std::uint64_t copied = 0;
    for (std::size_t p = 0; p < offsets_.size(); ++p) {
      out.sql.append(text_, copied, offsets_[p] - copied);
      copied = offsets_[p];
      std::string_view stand_in = in_code_[p] ? code_stand_ins[choice_[p]] : quoted_stand_in;
      std::uint64_t begin = out.sql.size();
      out.sql += stand_in;
      out.slots.push_back(substitution_slot{begin, out.sql.size(), offsets_[p], p});
    }
    out.sql.append(text_, copied);
    return out;
  }

  // Moves on the stand-in that the parser stopped at or right after; false
  // when there is none or it has no choice left (`exhausted` names it).
  static constexpr std::size_t placeholder_none = static_cast<std::size_t>(-1);

  bool move_blamed(const filled_query& attempt, std::size_t& exhausted) {
    const substituted_sql& s = attempt.substituted;
    std::uint64_t error = attempt.outcome.error_offset;
    auto after = std::upper_bound(
        s.slots.begin(), s.slots.end(), error,
        [](std::uint64_t at, const substitution_slot& slot) { return at < slot.begin; });
    while (after != s.slots.begin()) {
      const substitution_slot& slot = *(after - 1);
      bool near = error <= slot.end ||
                  only_spaces(std::string_view(s.sql).substr(slot.end, error - slot.end));
      if (!near) return false;
      if (in_code_[slot.placeholder] && choice_[slot.placeholder] + 1 < std::size(code_stand_ins)) {
        ++choice_[slot.placeholder];
        return true;
      }
      if (in_code_[slot.placeholder]) exhausted = slot.placeholder;
      // An empty stand-in right before: the one before it may be to blame.
      if (slot.begin != slot.end && error > slot.begin) return false;
      --after;
    }
    return false;
  }

  std::string_view text_;
  const std::vector<std::uint64_t>& offsets_;
  std::vector<bool> in_code_;
  std::vector<std::size_t> choice_;
};

}  // namespace

const substitution_slot* substituted_sql::slot_holding(std::uint64_t offset) const {
  auto after = std::upper_bound(
      slots.begin(), slots.end(), offset,
      [](std::uint64_t at, const substitution_slot& slot) { return at < slot.begin; });
  while (after != slots.begin()) {
    const substitution_slot& slot = *(after - 1);
    if (offset < slot.end) return &slot;
    if (slot.begin != slot.end) break;
    --after;
  }
  return nullptr;
}

const substitution_slot* substituted_sql::slot_spanning(std::uint64_t begin,
                                                        std::uint64_t end) const {
  const substitution_slot* slot = slot_holding(begin);
  return slot != nullptr && slot->begin == begin && slot->end == end ? slot : nullptr;
}

bool substituted_sql::touches_slot(std::uint64_t begin, std::uint64_t end) const {
  auto first = std::lower_bound(
      slots.begin(), slots.end(), begin,
      [](const substitution_slot& slot, std::uint64_t at) { return slot.end <= at; });
  for (auto it = first; it != slots.end() && it->begin < end; ++it) {
    if (it->begin < it->end && it->end > begin) return true;
  }
  return false;
}

std::uint64_t substituted_sql::text_offset(std::uint64_t offset) const {
  // Stand-in bytes before `offset` are not in the text.
  auto after = std::upper_bound(
      slots.begin(), slots.end(), offset,
      [](std::uint64_t at, const substitution_slot& slot) { return at < slot.begin; });
  if (after == slots.begin()) return offset;
  const substitution_slot& slot = *(after - 1);
  std::uint64_t end = std::min(offset, slot.end);
  return slot.text_offset + (offset - end);
}

std::optional<placeholder_text> edited_text(const substituted_sql& sql,
                                            const std::vector<sql_edit>& edits) {
  placeholder_text out;
  std::uint64_t copied = 0;
  auto edit = edits.begin();
  // An edit before a stand-in at its place inserts before it.
  auto apply_edits_before = [&](std::uint64_t end) {
    for (; edit != edits.end() && edit->begin < end + (edit->begin == edit->end ? 1 : 0) &&
           edit->end <= end;
         ++edit) {
      out.text.append(sql.sql, copied, edit->begin - copied);
      out.text += edit->replacement;
      copied = edit->end;
    }
  };
  for (const substitution_slot& slot : sql.slots) {
    apply_edits_before(slot.begin);
    if (edit != edits.end() && edit->begin < slot.end && edit->end > slot.begin)
      return std::nullopt;
    out.text.append(sql.sql, copied, slot.begin - copied);
    out.placeholders.push_back(out.text.size());
    copied = slot.end;
  }
  apply_edits_before(sql.sql.size());
  if (edit != edits.end()) return std::nullopt;
  out.text.append(sql.sql, copied);
  return out;
}

filled_query fill_and_parse(std::string_view text, const std::vector<std::uint64_t>& placeholders,
                            bool want_tree) {
  return filler(text, placeholders).run(want_tree);
}

filled_query fill_as(std::string_view text, const std::vector<std::uint64_t>& placeholders,
                     const std::vector<std::size_t>& choices, bool want_tree) {
  return filler(text, placeholders).run_as(choices, want_tree);
}

}  // namespace corvexa::sql
