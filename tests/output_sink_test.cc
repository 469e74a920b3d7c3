// The output sink: whatever mix of bytes and spans is written, the writer
// gets the same bytes in order, in writes of a whole buffer each but the
// last, so that every write starts at a multiple of the buffer's size.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/output_sink.h"

namespace corvexa {
namespace {

// Keeps every write it is given, as it was given.
class recording_writer final : public byte_writer {
 public:
  bool write_all(std::string_view bytes) override {
    writes.emplace_back(bytes);
    return true;
  }
  std::vector<std::string> writes;
};

TEST(OutputSink, HandsOverWholeBuffersInOrder) {
  constexpr std::size_t capacity = 8;
  // The sizes of the spans written one after another; 1 is written by put().
  const std::vector<std::size_t> cases[] = {
      {}, {8}, {3, 5}, {3, 6}, {7, 1, 1}, {3, 21}, {3, 16, 1}, {40}, {1, 9, 17, 2, 8},
  };
  for (const std::vector<std::size_t>& sizes : cases) {
    recording_writer writer;
    output_sink sink(writer, capacity);
    std::string written;
    for (std::size_t size : sizes) {
      std::string span;
      for (std::size_t i = 0; i < size; ++i) {
        span.push_back(static_cast<char>('a' + (written.size() + i) % 26));
      }
      if (size == 1) {
        sink.put(span[0]);
      } else {
        sink.write(span);
      }
      written += span;
      EXPECT_EQ(sink.position(), written.size());
    }
    EXPECT_TRUE(sink.flush());

    std::string handed_over;
    for (std::size_t i = 0; i < writer.writes.size(); ++i) {
      const std::string& write = writer.writes[i];
      EXPECT_FALSE(write.empty());
      bool last = i + 1 == writer.writes.size();
      EXPECT_TRUE(last || write.size() % capacity == 0) << write;
      handed_over += write;
    }
    EXPECT_EQ(handed_over, written) << sizes.size() << " spans";
  }
}

}  // namespace
}  // namespace corvexa
