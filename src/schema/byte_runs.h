// The searches that the .sql conversion spends its time in, 16 bytes at a
// time with SSE2 where the processor has it (every x86-64 does), a byte at
// a time elsewhere: the end of a run of plain bytes inside a string, and
// the next quote or backslash. Both forms give the same answers; the tests
// compare them on every offset.
#pragma once

#include <cstddef>

namespace corvexa::schema {

// The length of the prefix of [p, p + n) that holds no byte of 0x80 or
// above, no zero byte, no '\\' and no `quote` (pass '\\' to look for the
// others only).
std::size_t plain_run(const char* p, std::size_t n, char quote);
std::size_t plain_run_bytewise(const char* p, std::size_t n, char quote);

// The length of the prefix of [p, p + n) that holds no zero byte, no '\\'
// and no `quote` (bytes of 0x80 and above are plain here).
std::size_t special_run(const char* p, std::size_t n, char quote);
std::size_t special_run_bytewise(const char* p, std::size_t n, char quote);

// The length of the prefix of [p, p + n) below 0x80.
std::size_t ascii_run(const char* p, std::size_t n);
std::size_t ascii_run_bytewise(const char* p, std::size_t n);

// The length of the prefix of [p, p + n) made of hex digits.
std::size_t hex_run(const char* p, std::size_t n);
std::size_t hex_run_bytewise(const char* p, std::size_t n);

// The offset of the first `a` or `b` in [p, p + n), or n.
std::size_t find_either(const char* p, std::size_t n, char a, char b);
std::size_t find_either_bytewise(const char* p, std::size_t n, char a, char b);

}  // namespace corvexa::schema
