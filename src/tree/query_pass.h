// The SQL checks of one converted PHP file, run after its calls are
// converted: every query text the converted code sends is judged by
// PostgreSQL's parser, and with the complete rules the safe MySQL dialect
// is rewritten in place. The rewrites change the converted text after the
// fact, so every output offset the conversion's log holds is moved along,
// and the findings point where they did.
#pragma once

#include <string_view>
#include <vector>

#include "common/conversion_events.h"
#include "report/finding.h"
#include "report/tree_report.h"
#include "sql/query_checks.h"
#include "sql/query_wrappers.h"
#include "sql/schema_model.h"
#include "tree/php_conversion.h"

namespace corvexa {

struct query_pass {
  // The findings, with offsets in the input and in the edited output.
  std::vector<finding> findings;
  // What changed from the input to the output, in order: the replaced
  // calls and the rewritten spans outside them, for a diff.
  std::vector<replaced_call> changes;
  query_counts counts;
  std::set<std::string> extensions;
};

// Checks the queries of `converted` and, with `rewrite`, edits
// converted.output and moves its log's offsets along. `schema` and
// `wrappers` may be null.
query_pass check_queries(converted_text& converted, bool rewrite, const sql::schema_model* schema,
                         const sql::wrapper_table* wrappers,
                         const sql::statement_judge* against = nullptr);

}  // namespace corvexa
