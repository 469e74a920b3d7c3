// The inline copy of short runs takes a different path for each band of
// sizes, with loads and stores that overlap: every size must copy exactly
// its bytes, read none before or after them and write none outside the
// target (the source is a buffer of exactly its size, so that the
// sanitizer build catches a read past it).
#include <gtest/gtest.h>

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "common/short_copy.h"

namespace corvexa {
namespace {

TEST(ShortCopy, EverySizeCopiesItsBytesAndNoOthers) {
  constexpr std::size_t guard = 40;
  for (std::size_t size = 0; size <= 80; ++size) {
    SCOPED_TRACE("size " + std::to_string(size));
    auto from = std::make_unique<char[]>(size == 0 ? 1 : size);
    for (std::size_t i = 0; i < size; ++i) from[i] = static_cast<char>('a' + i % 26 + i / 26);
    std::vector<char> to(guard + size + guard, '#');
    copy_bytes(to.data() + guard, from.get(), size);
    EXPECT_EQ(std::string(to.data() + guard, size), std::string(from.get(), size));
    EXPECT_EQ(std::string(to.data(), guard), std::string(guard, '#'));
    EXPECT_EQ(std::string(to.data() + guard + size, guard), std::string(guard, '#'));
  }
}

}  // namespace
}  // namespace corvexa
