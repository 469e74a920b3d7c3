// stripslashes() on a value that comes from the database: MySQL
// applications used it where magic quotes or double escaping stored
// backslashes, but PostgreSQL returns a value as it was stored, so the
// call now takes away backslashes that belong to the value. The pass looks
// in the converted text for stripslashes($row['x']), ($row[0]) and
// ($row->x) where $row, in the same function, was assigned the result of a
// pg_fetch_* or mysql_fetch_* call.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

namespace corvexa {

// The offsets of those stripslashes names in `php`, in order.
std::vector<std::uint64_t> stripslashes_of_fetched_values(std::string_view php);

}  // namespace corvexa
