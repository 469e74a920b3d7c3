// Builds the call table from the rows of translated and unsupported calls.
#include "translate/mysql_call_table.h"

#include <memory>

#include "translate/name_list.h"
#include "translate/translated_calls.h"
#include "translate/unsupported_calls.h"

namespace corvexa {

call_table make_mysql_call_table(const table_settings& settings) {
  call_table table;
  // Names of the MySQL extension left inside arguments are followed to
  // where the replacement puts them.
  table.watch_prefix(extension_prefix);
  auto shared = std::make_shared<const table_settings>(settings);
  for (const translated_call& call : translated_calls()) {
    for_each_name(call.names.all(), [&](std::string_view name) {
      table.add(name, call.remembers,
                [&call, shared](conversion_state& state) { translate_call(state, call, *shared); });
    });
  }
  for (const unsupported_call& call : unsupported_calls()) {
    for_each_name(call.names.all(), [&](std::string_view name) {
      table.add(name, /*remembers=*/false, [&call, shared](conversion_state& state) {
        mark_unsupported_call(state, call, *shared);
      });
    });
  }
  return table;
}

}  // namespace corvexa
