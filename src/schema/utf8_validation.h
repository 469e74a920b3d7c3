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

using utf8_validator = bool (*)(const char* p, std::size_t n);
// Every form of valid_utf8 this build and this processor have, the
// byte-at-a-time one first and the one valid_utf8 uses last.
std::vector<utf8_validator> utf8_validators();

bool valid_utf8_bytewise(const char* p, std::size_t n);
// Defined in x86-64 builds only, and run only where the processor has AVX2.
bool valid_utf8_avx2(const char* p, std::size_t n);

}  // namespace corvexa::schema
