// The block loop's reading walks the window on the pre-scan's marks
// (watched_bytes.h) and cuts only the tokens that begin at a watched byte;
// the argument reader's reading cuts every token. Both end a token where
// the token cutter says, and follow one that runs past the window the same
// way.
#include "scan/token_source.h"

#include "scan/input_runs.h"

namespace corvexa {
namespace {

// The bytes [begin, end) of the window, which the caller knows to lie in
// it: built in place, as substr() would check the bounds again at every
// token the block loop hands out.
std::string_view in_window(std::string_view window, std::size_t begin, std::size_t end) {
  return std::string_view(window.data() + begin, end - begin);
}

// True if the letter at window[at] begins a word rather than going on with
// a name that began before it. `boundary` (at most `at`) is a place where a
// token begins, and no watched byte lies between it and `at`.
bool begins_word(std::string_view window, std::size_t boundary, std::size_t at) {
  // Going back from `at` over bytes that continue names but cannot start
  // one ("_", "{", bytes from 128 up, ...): each of those is a token of its
  // own unless a name ("$" included) runs through it.
  std::size_t j = at;
  while (j > boundary && has_class(window[j - 1], continues_name) &&
         !has_class(window[j - 1], starts_name)) {
    --j;
  }
  return j == boundary || !has_class(window[j - 1], starts_name);
}

// Where the last token of the window begins if it is a name that may go on
// past the window's end, or the window's size. Names are the only tokens
// that can: every other long token begins at a watched byte and has been
// cut by then.
std::size_t start_of_open_name(std::string_view window, std::size_t boundary) {
  std::size_t j = window.size();
  while (j > boundary && has_class(window[j - 1], continues_name)) --j;
  // The bytes from j on continue names. After a "$" they are a variable;
  // otherwise the first that can start a name starts the one that runs to
  // the end, and those before it are tokens of their own.
  if (j > boundary && window[j - 1] == '$') return j - 1;
  for (; j < window.size(); ++j) {
    if (has_class(window[j], starts_name)) return j;
  }
  return window.size();
}

}  // namespace

token_source::token_source(input_buffer& input, const call_table& calls)
    : input_(input),
      calls_(calls),
      watched_(calls.name_starts()),
      outer_listener_(input.listen_to_refills(this)) {}

token_source::~token_source() { input_.listen_to_refills(outer_listener_); }

bool token_source::next_in_block(block_token& token) {
  if (in_parts_) {
    // A long string passes part by part.
    std::uint64_t offset = input_.position();
    std::string_view part = next_part();
    if (part.empty() && input_.window().empty()) return false;
    token = {token_role::passes, part, offset};
    return true;
  }
  std::string_view window = input_.window();
  if (window.empty()) return false;
  // The window's offset, worked out once: the buffer's fields are read
  // again after every store the loop makes.
  std::uint64_t offset = input_.position();
  watched_.look_at(window, offset);
  found_token found = find_in_window(window);
  // The code before `found` passes, whatever `found` is.
  take_last_variable(window, found.start);
  if (found.end != 0) {
    take_found(window, offset, found, token);
  } else if (found.start > 0) {
    pass_before(window, offset, found, token);
  } else {
    take_edge_token(token);
  }
  return true;
}

token_source::found_token token_source::find_in_window(std::string_view window) {
  std::size_t boundary = 0;  // a token begins here; all before it passes
  std::size_t from = 0;      // the watched bytes before this are done with
  for (;;) {
    std::size_t start = watched_.next(from);
    if (start == window.size()) return {start_of_open_name(window, boundary), 0, {}};
    char first = window[start];
    std::size_t end = 0;
    if (has_class(first, starts_word)) {
      // A letter right after a byte that starts names goes on with a name:
      // told from that byte alone, as most letters inside names are.
      if (start > boundary && has_class(window[start - 1], starts_name)) {
        from = start + 1;
        continue;
      }
      if (!begins_word(window, boundary, start)) {
        // A letter inside a longer name, after bytes that go on with names
        // but cannot start one: the look back went over bytes that will
        // not be looked at again only if the loop steps over the rest of
        // the name.
        end = watched_.name_end(start);
        if (end == 0) return {start_of_open_name(window, boundary), 0, {}};
        boundary = from = end;
        continue;
      }
      end = watched_.name_end(start);
      if (end == 0) return {start, 0, {}};
      if (const call_entry* call = calls_.find(in_window(window, start, end))) {
        return {start, end, {token_role::call, call}};
      }
    } else if (always_passes(first)) {
      end = watched_.string_end(start);
      if (end == 0) return {start, 0, {}};
    } else {
      // "/" or "?": a token of its own unless the next byte pairs with it.
      if (start + 1 == window.size()) return {start, 0, {}};
      token_role role = meaning_of_pair(first, window[start + 1]);
      if (role != token_role::passes) return {start, start + 2, {role}};
      end = start + 1;
    }
    boundary = from = end;
  }
}

void token_source::take_found(std::string_view window, std::uint64_t offset,
                              const found_token& found, block_token& token) {
  token = {found.meaning.role, in_window(window, found.start, found.end), offset + found.start,
           found.meaning.call, in_window(window, 0, found.start)};
  input_.consume(found.end);
}

void token_source::pass_before(std::string_view window, std::uint64_t offset,
                               const found_token& found, block_token& token) {
  token = {token_role::passes, in_window(window, 0, found.start), offset};
  input_.consume(found.start);
}

void token_source::take_edge_token(block_token& token) {
  std::uint64_t offset = input_.position();
  if (always_passes(input_.window()[0])) {
    token = {token_role::passes, begin_parts(), offset};
    return;
  }
  hold_whole_token();
  if (held_[0] == '$') {
    noted_variable_ = nullptr;  // this one comes after it
    last_variable_.take(std::move(held_));
    token = {token_role::passes, last_variable_.view(), offset};
    return;
  }
  token_meaning meaning = meaning_of(held_, calls_);
  token = {meaning.role, held_.view(), offset, meaning.call};
}

void token_source::take_last_variable(std::string_view window, std::size_t limit) {
  std::size_t dollar = watched_.last_dollar();
  // A variable that begins right at `limit` is the token read next.
  if (dollar == watched_byte_finder::none || dollar >= limit) return;
  noted_variable_ = window.data() + dollar;
  noted_limit_ = window.data() + limit;
  watched_.forget_last_dollar();
}

void token_source::keep_last_variable() {
  if (noted_variable_ == nullptr) return;
  // The variable ends where its name does, at `limit` at the latest.
  std::string_view after_dollar(noted_variable_ + 1,
                                static_cast<std::size_t>(noted_limit_ - noted_variable_ - 1));
  last_variable_.assign(std::string_view(noted_variable_, 1 + short_name_run_length(after_dollar)));
  noted_variable_ = nullptr;
}

token_piece token_source::next_token(long_tokens long_ones) {
  if (in_parts_) {
    std::string_view part = next_part();
    return {piece_kind::token_part, part, parts_offset_, false, !in_parts_};
  }
  std::string_view window = input_.window();
  if (window.empty()) return {};
  std::uint64_t offset = input_.position();
  if (has_class(window[0], whitespace)) {
    std::size_t size = 1;
    while (size < window.size() && has_class(window[size], whitespace)) ++size;
    input_.consume(size);
    return {piece_kind::whitespace, window.substr(0, size), offset};
  }
  watched_.look_at(window, offset);
  if (std::size_t end = watched_.token_end_at(0); end != 0) {
    input_.consume(end);
    return {piece_kind::token, window.substr(0, end), offset};
  }
  if (long_ones == long_tokens::whole) {
    hold_whole_token();
    return {piece_kind::token, held_.view(), offset};
  }
  std::string_view part = begin_parts();
  return {piece_kind::token_part, part, offset, true, false};
}

void token_source::hold_whole_token() {
  std::string_view window = input_.window();
  token_cutter cutter(window[0]);
  held_.assign(window.substr(0, 1));
  input_.consume(1);
  take_run(
      input_,
      [&cutter](std::string_view bytes) {
        std::size_t taken = cutter.take(bytes);
        return cutter.ended() ? taken : std::string_view::npos;
      },
      [this](std::string_view part) { held_.append(part); });
}

std::string_view token_source::begin_parts() {
  // The whole window belongs to the token: it may run past it.
  std::string_view window = input_.window();
  parts_cutter_ = token_cutter(window[0]);
  parts_cutter_.take(window.substr(1));
  parts_offset_ = input_.position();
  in_parts_ = true;
  input_.consume(window.size());
  return window;
}

std::string_view token_source::next_part() {
  std::string_view window = input_.window();
  // At the end of the input the token ends as read.
  std::size_t taken = window.empty() ? 0 : parts_cutter_.take(window);
  in_parts_ = !window.empty() && !parts_cutter_.ended();
  input_.consume(taken);
  return window.substr(0, taken);
}

}  // namespace corvexa
