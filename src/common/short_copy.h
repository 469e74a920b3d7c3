// Copies a run of bytes whose length is known only at run time. Most runs
// the conversion writes are a few bytes long (a parenthesis, a variable, a
// piece of a replacement), for which a call to memcpy costs more than the
// copy: those are copied here inline, in at most two overlapping loads and
// stores, and only longer runs go to memcpy.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace corvexa {

// Copies `size` bytes from `from` to `to`; the two do not overlap. Reads
// and writes no byte outside either run.
[[gnu::always_inline]] inline void copy_bytes(char* to, const char* from, std::size_t size) {
  if (size >= 8) {
    if (size > 16) {
      if (size > 32) {
        std::memcpy(to, from, size);
        return;
      }
      // The first sixteen bytes and the last sixteen: a call name, a
      // message or the code between two calls is often this long.
      char head[16], tail[16];
      std::memcpy(head, from, 16);
      std::memcpy(tail, from + size - 16, 16);
      std::memcpy(to, head, 16);
      std::memcpy(to + size - 16, tail, 16);
      return;
    }
    // The first eight bytes and the last eight, which overlap below 16.
    std::uint64_t head, tail;
    std::memcpy(&head, from, 8);
    std::memcpy(&tail, from + size - 8, 8);
    std::memcpy(to, &head, 8);
    std::memcpy(to + size - 8, &tail, 8);
  } else if (size >= 4) {
    std::uint32_t head, tail;
    std::memcpy(&head, from, 4);
    std::memcpy(&tail, from + size - 4, 4);
    std::memcpy(to, &head, 4);
    std::memcpy(to + size - 4, &tail, 4);
  } else if (size > 0) {
    // One to three bytes: the first, the middle and the last.
    char first = from[0], middle = from[size / 2], last = from[size - 1];
    to[0] = first;
    to[size / 2] = middle;
    to[size - 1] = last;
  }
}

}  // namespace corvexa
