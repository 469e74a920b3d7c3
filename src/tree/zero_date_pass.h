// PHP code that compares a fetched date with MySQL's zero date, or holds
// one to write: PostgreSQL has no zero date, so the converted data holds
// NULL in its place (or -infinity in a NOT NULL column), PHP reads that,
// and a '0000-00-00' written in a query is refused. The pass finds the
// string constants of code that are exactly a zero date; those inside a
// query text are the SQL checks' to rewrite.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

namespace corvexa {

// The offsets of those constants in `php`, in order.
std::vector<std::uint64_t> zero_dates_in_code(std::string_view php);

}  // namespace corvexa
