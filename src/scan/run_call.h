// Hands a call to its rule and reports what replaced it: the one way every
// loop of the scanner runs a call, so that a replaced call is described
// alike whichever loop found it.
#pragma once

#include <cstdint>

#include "common/conversion_state.h"
#include "common/shared_text.h"
#include "scan/call_table.h"

namespace corvexa {

// Runs the rule of `call`, whose name has just been consumed and started at
// input offset `name_offset`; `last_variable` becomes the remembered
// variable if the call remembers.
void run_call(conversion_state& state, const call_entry& call, const shared_text& last_variable,
              std::uint64_t name_offset);

}  // namespace corvexa
