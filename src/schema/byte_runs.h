// The searches that the .sql conversion spends its time in, 16 bytes at a
// time with SSE2 where the processor has it (every x86-64 does), a byte at
// a time elsewhere: the end of a run of plain bytes inside a string, and
// the next quote or backslash (and the end of a number's digits, a word at
// a time). Both forms give the same answers; the tests compare them on
// every offset.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>

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

// The length of the prefix of [p, p + n) made of ASCII digits. Most
// numbers of a dump are shorter than a word, and a call would cost more
// than the search: this one is inline, and reads 8 bytes at a time.
std::size_t digit_run_bytewise(const char* p, std::size_t n);
inline std::size_t digit_run(const char* p, std::size_t n) {
  std::size_t i = 0;
  if constexpr (std::endian::native == std::endian::little) {
    constexpr std::uint64_t high_nibbles = 0xF0F0F0F0F0F0F0F0;
    constexpr std::uint64_t threes = 0x3030303030303030;
    for (; i + 8 <= n; i += 8) {
      std::uint64_t word;
      std::memcpy(&word, p + i, 8);
      // A digit is 0x3_, and stays 0x3_ when 6 is added. A byte that
      // carries into the next is no digit, so the first byte marked is
      // right even where the bytes after it are not.
      std::uint64_t marks = ((word & high_nibbles) ^ threes) |
                            (((word + 0x0606060606060606) & high_nibbles) ^ threes);
      if (marks != 0) return i + static_cast<std::size_t>(std::countr_zero(marks)) / 8;
    }
  }
  return i + digit_run_bytewise(p + i, n - i);
}

// The offset of the first `a` or `b` in [p, p + n), or n.
std::size_t find_either(const char* p, std::size_t n, char a, char b);
std::size_t find_either_bytewise(const char* p, std::size_t n, char a, char b);

}  // namespace corvexa::schema
