// Escapes of control bytes.
#include "report/printable.h"

namespace corvexa {

std::string printable(std::string_view bytes) {
  static constexpr char hex[] = "0123456789abcdef";
  std::string shown;
  shown.reserve(bytes.size());
  for (char c : bytes) {
    auto byte = static_cast<unsigned char>(c);
    if (byte >= 32 && byte != 127) {
      shown.push_back(c);
    } else if (c == '\n') {
      shown += "\\n";
    } else if (c == '\t') {
      shown += "\\t";
    } else if (c == '\r') {
      shown += "\\r";
    } else {
      shown += "\\x";
      shown.push_back(hex[byte >> 4]);
      shown.push_back(hex[byte & 15]);
    }
  }
  return shown;
}

}  // namespace corvexa
