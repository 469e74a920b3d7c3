// The full table of the fifty MySQL call names: the translated calls and the
// unsupported ones, every name of a row leading to that row's rule.
#pragma once

#include "scan/call_table.h"
#include "translate/table_settings.h"

namespace corvexa {

call_table make_mysql_call_table(const table_settings& settings = {});

}  // namespace corvexa
