// Whether bytes are well-formed UTF-8, as PostgreSQL takes it: no overlong
// forms, no surrogates, nothing past U+10FFFF. The string values of a dump
// are copied in blocks that pass over their non-ASCII bytes and are
// checked here afterwards, 32 bytes at a time with AVX2 where the
// processor has it, where stopping at each such byte cost more than the
// copy. Both forms give the same answers; the tests compare them.
#pragma once

#include <cstddef>
#include <vector>

namespace corvexa::schema {

// Reads only [p, p + n); the widest form the processor has.
bool valid_utf8(const char* p, std::size_t n);
// The same for bytes with room after them: [p, p + n + 31) may be read,
// and what lies past p + n does not count. Saves the copy of a short
// text's last bytes into a block of their own.
constexpr std::size_t utf8_check_room = 31;
bool valid_utf8_in_room(const char* p, std::size_t n);

// A form of the check: one that reads only the bytes, and one that may
// read the room after them.
struct utf8_check_form {
  bool (*bytes_only)(const char* p, std::size_t n);
  bool (*in_room)(const char* p, std::size_t n);
};
// Every form this build and this processor have, the byte-at-a-time one
// first and the one valid_utf8 and valid_utf8_in_room use last.
std::vector<utf8_check_form> utf8_check_forms();

bool valid_utf8_bytewise(const char* p, std::size_t n);
// Defined in x86-64 builds only, and run only where the processor has AVX2.
bool valid_utf8_avx2(const char* p, std::size_t n);
bool valid_utf8_avx2_in_room(const char* p, std::size_t n);

}  // namespace corvexa::schema
