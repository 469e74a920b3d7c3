// PostgreSQL's parser (libpg_query) as the judge of each statement the
// conversion writes: a statement it rejects is written as a comment with a
// finding instead, so that the output always loads.
#pragma once

#include <string>
#include <string_view>

namespace corvexa::schema {

// True if `statement` parses; otherwise `error` holds the parser's message.
bool postgres_parses(std::string_view statement, std::string& error);

}  // namespace corvexa::schema
