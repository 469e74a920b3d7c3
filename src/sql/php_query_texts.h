// Finds the query text of every query call of PHP's PostgreSQL extension
// in a PHP file: pg_query, pg_send_query, pg_prepare, pg_send_prepare,
// pg_query_params and pg_send_query_params, by name anywhere in code (not
// in strings or comments, not a method or a function of that name being
// declared); and of every call of a query wrapper given (query_wrappers.h):
// "name(...)" for a function, "->name(...)", "?->name(...)" and
// "::name(...)" for a method, with the wrapper's parameter as the query.
// The query argument is read as a text (see php_text_expression.h); a
// variable stands for the text last assigned to it in straight-line code
// of the same block of the same function (or of the file's top level). An
// assignment in a branch, a loop or another block, or any other change to
// the variable, makes its text unknown, and then the call's text is not
// found rather than guessed.
#pragma once

#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

#include "sql/query_text.h"
#include "sql/query_wrappers.h"

namespace corvexa::sql {

struct found_query {
  std::string_view function;      // the name as written in the file
  std::uint64_t call_offset = 0;  // of the name
  std::shared_ptr<const query_text> text;
};

struct query_search {
  std::vector<found_query> queries;            // in file order
  std::uint64_t calls = 0;                     // query calls seen, with a text found or not
  std::uint64_t oversized = 0;                 // texts given up on for growing past the limit
  std::vector<std::uint64_t> oversized_calls;  // offsets of calls whose text did
};

// Texts grow by at most `text_limit` bytes and placeholders each.
// `wrappers` may be null.
query_search find_query_texts(std::string_view php, std::uint64_t text_limit,
                              const wrapper_table* wrappers = nullptr);

// True if `php` may hold a query call: a quick test before lexing it.
bool may_hold_query_calls(std::string_view php);

}  // namespace corvexa::sql
