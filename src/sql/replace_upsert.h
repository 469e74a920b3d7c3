// MySQL's REPLACE as an upsert: on a collision of the key, MySQL deletes
// the old row and inserts the new one, whose columns left out take their
// defaults. PostgreSQL's ON CONFLICT ... DO UPDATE gives the same row. The
// .sql conversion and the query rewrites both write it here.
#pragma once

#include <string>
#include <vector>

namespace corvexa::sql {

// The clause "ON CONFLICT (key) DO UPDATE SET ..." for a row of the table
// whose columns are `columns` (lower case, in order) that gives values
// for `given`: each column but the key's from EXCLUDED where given and
// DEFAULT where not; "ON CONFLICT (key) DO NOTHING" where the key is all.
std::string replace_conflict_clause(const std::vector<std::string>& key,
                                    const std::vector<std::string>& columns,
                                    const std::vector<std::string>& given);

}  // namespace corvexa::sql
