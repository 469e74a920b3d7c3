// Paths and source text are arbitrary bytes. In a line-oriented report a
// line feed or another control byte would break the line or the terminal,
// so those bytes are shown escaped; everything else is shown as it is.
#pragma once

#include <string>
#include <string_view>

namespace corvexa {

// `bytes` with every byte below 32 and 127 written as \n, \t, \r or \xHH.
std::string printable(std::string_view bytes);

}  // namespace corvexa
