// The byte-at-a-time UTF-8 check, and the choice of the widest form the
// processor has, made once.
#include "schema/utf8_validation.h"

#include "schema/text_encoding.h"

namespace corvexa::schema {

bool valid_utf8_bytewise(const char* p, std::size_t n) {
  const auto* s = reinterpret_cast<const unsigned char*>(p);
  std::size_t i = 0;
  while (i < n) {
    if (s[i] < 0x80) {
      ++i;
      continue;
    }
    std::size_t length = utf8_character_length(s + i, n - i);
    if (length == 0) return false;
    i += length;
  }
  return true;
}

std::vector<utf8_validator> utf8_validators() {
  std::vector<utf8_validator> forms = {valid_utf8_bytewise};
#if defined(CORVEXA_WIDE_UTF8)
  if (__builtin_cpu_supports("avx2")) forms.push_back(valid_utf8_avx2_in_room);
#endif
  return forms;
}

bool valid_utf8_in_room(const char* p, std::size_t n) {
  static const utf8_validator widest = utf8_validators().back();
  return widest(p, n);
}

}  // namespace corvexa::schema
