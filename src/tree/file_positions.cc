// One pass: the line, the offset where it began and the characters since
// then are carried from block to block.
#include "tree/file_positions.h"

#include <unistd.h>

#include <cerrno>

namespace corvexa {

std::vector<file_position> file_positions(int fd, std::span<const std::uint64_t> offsets) {
  std::vector<file_position> positions;
  if (::lseek(fd, 0, SEEK_SET) != 0) return positions;
  std::uint64_t line = 1, column = 1, characters = 1;  // of the byte at `at`
  std::uint64_t at = 0;
  std::size_t next = 0;
  char block[64 * 1024];
  while (next < offsets.size()) {
    ssize_t got = ::read(fd, block, sizeof block);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) return {};
    if (got == 0) break;
    for (ssize_t i = 0; i < got && next < offsets.size(); ++i, ++at) {
      while (next < offsets.size() && offsets[next] <= at) {
        positions.push_back({{line, column}, characters});
        ++next;
      }
      auto byte = static_cast<unsigned char>(block[i]);
      if (byte == '\n') {
        ++line;
        column = characters = 1;
      } else {
        ++column;
        if (byte < 0x80 || byte > 0xBF) ++characters;
      }
    }
  }
  while (next++ < offsets.size()) positions.push_back({{line, column}, characters});
  return positions;
}

}  // namespace corvexa
