// The PHP block loop: passes the tokens of one block to the output, copies
// comments whole, remembers the block's latest variable, and hands every
// token that names a call of the table to that call's rule. The block ends
// after its "?>" has been written, or at the end of the input.
#pragma once

#include "common/conversion_state.h"

namespace corvexa {

// Converts one block; starts right after the "<?" that opened it.
void convert_php_block(conversion_state& state);

}  // namespace corvexa
