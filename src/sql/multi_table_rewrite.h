// MySQL's multi-table UPDATE and DELETE, which PostgreSQL's parser rejects,
// in PostgreSQL's forms, the other tables named in FROM or USING:
//
//   UPDATE a x JOIN b y ON c SET x.f = v WHERE w
//     -> UPDATE a x SET f = v FROM b y WHERE (c) AND (w)
//   UPDATE a, b SET a.f = b.g WHERE w   -> UPDATE a SET f = b.g FROM b WHERE w
//   DELETE x FROM a x JOIN b y ON c WHERE w
//     -> DELETE FROM a x USING b y WHERE (c) AND (w)
//   DELETE x FROM a x WHERE w           -> DELETE FROM a x WHERE w
//
// Those are for inner joins, whose ON conditions mean the same in WHERE.
// A DELETE with an outer join, or whose moved parts would hold a PHP
// value, or whose table is not the first, deletes by row ids instead:
//   DELETE y FROM a x LEFT JOIN b y ON c WHERE w
//     -> DELETE FROM b y WHERE ctid IN (SELECT y.ctid FROM a x LEFT JOIN b y ON c WHERE w)
// An UPDATE stays as it is where the table updated is not the first, where
// SET writes another table's column (MySQL updates several tables at
// once), for outer, NATURAL and USING (...) joins, and where a moved part
// holds a PHP value; so does a DELETE of several tables. Those keep the
// parser's rejection and its hint.
#pragma once

#include <cstddef>
#include <functional>
#include <vector>

#include "sql/sql_edits.h"
#include "sql/sql_token_view.h"

namespace corvexa::sql {

// The edits of the statement `t` (empty when it is none of the forms
// above). `is_stand_in(i)` says that token i stands for a PHP value: such a
// token is never edited or moved.
std::vector<sql_edit> multi_table_edits(const sql_token_view& t,
                                        const std::function<bool(std::size_t)>& is_stand_in);

}  // namespace corvexa::sql
