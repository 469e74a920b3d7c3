// Copies one PHP comment, opener included, from the input to the output.
// A "/*" comment ends after the first "*/" whose "*" is not the opener's own;
// a "//" comment ends after the first line feed or carriage return, so a
// "?>" inside it is comment text and does not end the block.
#pragma once

#include <string_view>

#include "common/conversion_state.h"

namespace corvexa {

// `opener` is "/*" or "//", already read. Returns when the comment or the
// input ends.
void copy_comment(conversion_state& state, std::string_view opener);

}  // namespace corvexa
