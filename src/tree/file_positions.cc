// One pass: the line, the offset where it began and the characters since
// then are carried from block to block. The bytes between two offsets are
// counted a span at a time (line feeds, then the characters after the last
// of them), which the compiler and memrchr do many bytes at a time.
#include "tree/file_positions.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <string_view>

namespace corvexa {
namespace {

struct counts {
  std::uint64_t line = 1, column = 1, characters = 1;  // of the next byte
};

bool starts_character(char c) {
  auto byte = static_cast<unsigned char>(c);
  return byte < 0x80 || byte > 0xBF;  // not a continuation byte of UTF-8
}

void pass_over(std::string_view bytes, counts& at) {
  const void* feed = ::memrchr(bytes.data(), '\n', bytes.size());
  if (feed != nullptr) {
    at.line += static_cast<std::uint64_t>(std::count(bytes.begin(), bytes.end(), '\n'));
    bytes.remove_prefix(static_cast<std::size_t>(static_cast<const char*>(feed) - bytes.data()) +
                        1);
    at.column = at.characters = 1;
  }
  at.column += bytes.size();
  at.characters +=
      static_cast<std::uint64_t>(std::count_if(bytes.begin(), bytes.end(), starts_character));
}

}  // namespace

std::vector<file_position> file_positions(int fd, std::span<const std::uint64_t> offsets) {
  std::vector<file_position> positions;
  if (::lseek(fd, 0, SEEK_SET) != 0) return positions;
  counts here;
  std::uint64_t at = 0;  // the offset of the next byte
  std::size_t next = 0;
  auto place_reached = [&] {
    while (next < offsets.size() && offsets[next] <= at) {
      positions.push_back({{here.line, here.column}, here.characters});
      ++next;
    }
  };
  char block[64 * 1024];
  while (next < offsets.size()) {
    ssize_t got = ::read(fd, block, sizeof block);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) return {};
    if (got == 0) break;
    auto size = static_cast<std::size_t>(got);
    for (std::size_t i = 0; i < size;) {
      place_reached();
      if (next == offsets.size()) break;
      std::size_t take =
          static_cast<std::size_t>(std::min<std::uint64_t>(size - i, offsets[next] - at));
      pass_over(std::string_view(block + i, take), here);
      i += take;
      at += take;
    }
  }
  place_reached();
  while (next++ < offsets.size()) positions.push_back({{here.line, here.column}, here.characters});
  return positions;
}

}  // namespace corvexa
