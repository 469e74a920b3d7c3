// Rewrites of MySQL syntax that PostgreSQL's parser rejects, each into an
// exact PostgreSQL equivalent:
//   `name`                   -> name, or "name" where PostgreSQL needs quotes
//   LIMIT a, b               -> LIMIT b OFFSET a (or OFFSET a LIMIT b where a or b
//                               is a placeholder)
//   UPDATE/DELETE ... LIMIT n -> ... WHERE ctid IN (SELECT ctid FROM t WHERE ... LIMIT n)
//   INTERVAL n DAY           -> INTERVAL 'n day'
//   UPDATE a JOIN b ON c SET ... -> UPDATE a SET ... FROM b WHERE c, and DELETE
//                               likewise with USING (multi_table_rewrite.h)
//   INSERT INTO t SET a = x  -> INSERT INTO t (a) VALUES (x)
//   INSERT IGNORE            -> INSERT ... ON CONFLICT DO NOTHING
//   ON DUPLICATE KEY UPDATE  -> ON CONFLICT (key) DO UPDATE SET, where the
//                               schema says which one key the row can
//                               collide on
// Every rewrite is a group of edits of the substituted SQL that touch no
// placeholder's stand-in: the placeholders stay where they are.
#pragma once

#include <vector>

#include "sql/placeholder_fill.h"
#include "sql/schema_model.h"
#include "sql/sql_edits.h"
#include "sql/sql_token_view.h"

namespace corvexa::sql {

using edit_group = std::vector<sql_edit>;

// One group per backquoted name.
std::vector<edit_group> backquote_rewrites(const substituted_sql& original);

// INSERT [INTO] t SET a = x, b = y -> INSERT [INTO] t (a, b) VALUES (x, y),
// as edits of the original, whose names may still be backquoted: the edits
// take the column names away whole, so this group goes before the
// backquote rewrites, and the rewrite of a name it took away clashes with
// it and is left out. Empty for any other text, and where a column name
// holds a placeholder or the statement goes on after its values (ON
// DUPLICATE KEY UPDATE).
edit_group insert_set_rewrite(const substituted_sql& original);

// The other rewrites, found on `current` (the original after the backquote
// rewrites) through its `tokens`, as edits of the original.
std::vector<edit_group> clause_rewrites(const substituted_sql& original, const edited_sql& current,
                                        const sql_token_view& tokens, const schema_model* schema);

// `group`, made on `current`, as edits of the original; empty when an edit
// falls on bytes an earlier rewrite changed or on a placeholder's stand-in.
edit_group to_original_edits(const substituted_sql& original, const edited_sql& current,
                             const edit_group& group);

}  // namespace corvexa::sql
