// The searches of each width, for byte_search.cc to choose from. Each wide
// width is built in a file of its own, with the compiler flags it needs,
// and only where the processor family has it.
#pragma once

#include "scan/byte_search.h"

namespace corvexa {

extern const byte_searches bytewise_searches;
extern const byte_searches sse2_searches;
extern const byte_searches avx2_searches;

}  // namespace corvexa
