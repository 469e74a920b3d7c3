// What corvexa-tree does with a .sql file of the tree (an install schema,
// an upgrade, a data dump). The complete rules convert it to PostgreSQL,
// streamed statement by statement into the output tree; the seed rules copy
// it as it is and report what converting it would take. Either way its
// tables join the schema model that the query checks judge the PHP files'
// queries against.
#pragma once

#include "sql/schema_model.h"
#include "tree/file_task.h"

namespace corvexa {

// Converts or copies the .sql file `entry`, knowing the tables of
// context.schema (those of every .sql file of the tree).
void process_sql_file(const task_context& context, const tree_entry& entry, task_result& result);

// Reads the tables the .sql file `entry` creates into result.model; a
// failure to read is left to the conversion to report.
void read_sql_tables(const task_context& context, const tree_entry& entry, task_result& result);

}  // namespace corvexa
