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

// Whether [p, p + n) is UTF-8, with the widest form the processor has.
// The bytes have room after them: [p, p + n + utf8_check_room) may be
// read, and what lies past p + n does not count. That saves copying a
// short text's last bytes into a block of their own.
constexpr std::size_t utf8_check_room = 31;
bool valid_utf8_in_room(const char* p, std::size_t n);

using utf8_validator = bool (*)(const char* p, std::size_t n);
// Every form of the check this build and this processor have, the
// byte-at-a-time one first and the one valid_utf8_in_room uses last.
std::vector<utf8_validator> utf8_validators();

bool valid_utf8_bytewise(const char* p, std::size_t n);
// Defined in x86-64 builds only, and run only where the processor has AVX2.
bool valid_utf8_avx2_in_room(const char* p, std::size_t n);

}  // namespace corvexa::schema
