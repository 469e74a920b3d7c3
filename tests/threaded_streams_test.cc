// Reading ahead and writing behind on threads: the bytes arrive whole and
// in order whatever the sizes of the reads and writes, an error arrives
// after the bytes before it with its errno, a stream dropped early stops
// its thread, and a large dump converts on threads exactly as in memory.
#include <fcntl.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "common/output_sink.h"
#include "common/read_ahead.h"
#include "common/write_behind.h"
#include "schema/mysql_sql_conversion.h"
#include "support/memory_lender.h"

namespace corvexa {
namespace {

// Bytes that differ from place to place, so that a chunk out of order or
// handed out twice shows.
std::string numbered_bytes(std::size_t size) {
  std::string bytes(size, '\0');
  for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>((i * 7 + i / 251) % 256);
  return bytes;
}

std::string read_all(byte_reader& reader, std::size_t capacity, long& last) {
  std::string read;
  std::vector<char> buffer(capacity);
  while ((last = reader.read_some(buffer.data(), capacity)) > 0) {
    read.append(buffer.data(), static_cast<std::size_t>(last));
  }
  return read;
}

// Gives its bytes, then fails with `error` (or ends, if 0).
class failing_reader final : public byte_reader {
 public:
  failing_reader(std::string_view bytes, int error) : bytes_(bytes, 4096), error_(error) {}
  long read_some(char* buffer, std::size_t capacity) override {
    if (long count = bytes_.read_some(buffer, capacity); count > 0 || error_ == 0) return count;
    errno = error_;
    return -1;
  }

 private:
  memory_reader bytes_;
  int error_;
};

TEST(ReadAhead, HandsOutTheSourceInOrderThenItsEnding) {
  struct case_ {
    std::size_t size, largest_source_read, capacity;
    int error;
  };
  const case_ cases[] = {
      {0, 0, 64, 0},         {1, 0, 64, 0},          {262143, 0, 65536, 0},
      {262144, 0, 65536, 0}, {262145, 0, 1, 0},      {3 << 20, 0, 65536, 0},
      {3 << 20, 0, 3000, 0}, {100000, 777, 4096, 0}, {1 << 20, 0, 65536, EIO},
      {0, 0, 16, EIO},
  };
  for (const case_& c : cases) {
    SCOPED_TRACE(testing::Message() << c.size << " bytes, reads of " << c.capacity);
    std::string bytes = numbered_bytes(c.size);
    memory_reader plain(bytes, c.largest_source_read);
    failing_reader failing(bytes, c.error);
    byte_reader& source = c.largest_source_read > 0 ? static_cast<byte_reader&>(plain) : failing;
    read_ahead_reader ahead(source);
    long last = 0;
    std::string read = read_all(ahead, c.capacity, last);
    int error = errno;
    EXPECT_TRUE(read == bytes);
    EXPECT_EQ(last, c.error == 0 ? 0 : -1);
    if (c.error != 0) {
      EXPECT_EQ(error, c.error);
    }
    char byte;
    EXPECT_EQ(ahead.read_some(&byte, 1), last) << "the ending is kept";
  }
}

// Never ends: a reader dropped before the end must stop the thread.
class endless_reader final : public byte_reader {
 public:
  long read_some(char* buffer, std::size_t capacity) override {
    for (std::size_t i = 0; i < capacity; ++i) buffer[i] = static_cast<char>(i % 199);
    return static_cast<long>(capacity);
  }
};

TEST(ReadAhead, StopsItsThreadWhenDroppedBeforeTheEnd) {
  for (std::size_t taken : {0, 1, 300000}) {
    endless_reader endless;
    read_ahead_reader ahead(endless);
    std::vector<char> buffer(taken + 1);
    std::size_t read = 0;
    while (read < taken) {
      long count = ahead.read_some(buffer.data() + read, taken - read);
      ASSERT_GT(count, 0);
      read += static_cast<std::size_t>(count);
    }
    if (taken > 0) {
      EXPECT_EQ(buffer[taken - 1], static_cast<char>((taken - 1) % 262144 % 199));
    }
  }  // each destructor returns: the test would hang otherwise
}

// Keeps what it is given until `accepted` writes, then fails with ENOSPC.
class filling_writer final : public byte_writer {
 public:
  explicit filling_writer(std::size_t accepted) : accepted_(accepted) {}
  bool write_all(std::string_view bytes) override {
    if (writes == accepted_) {
      errno = ENOSPC;
      return false;
    }
    ++writes;
    largest = std::max(largest, bytes.size());
    kept.append(bytes);
    return true;
  }
  std::string kept;
  std::size_t writes = 0, largest = 0;

 private:
  std::size_t accepted_;
};

TEST(WriteBehind, WritesEverythingInOrder) {
  const std::vector<std::size_t> cases[] = {
      {}, {1}, {262144}, {262143, 2}, {65536, 65536, 65536, 65536, 1}, {5 << 20}, {3, 0, 70000},
  };
  // Written by write_all, or by an output sink that fills the lent chunks.
  for (bool through_sink : {false, true}) {
    for (const std::vector<std::size_t>& sizes : cases) {
      SCOPED_TRACE(testing::Message() << sizes.size() << " spans, sink " << through_sink);
      filling_writer target(SIZE_MAX);
      std::string written;
      {
        write_behind_writer behind(target);
        // A sink borrows at once, and from then on write_all refuses.
        std::optional<output_sink> sink;
        if (through_sink) sink.emplace(behind);
        for (std::size_t size : sizes) {
          std::string span = numbered_bytes(written.size() + size).substr(written.size());
          if (through_sink) {
            sink->write(span);
          } else {
            EXPECT_TRUE(behind.write_all(span));
          }
          written += span;
        }
        if (through_sink) {
          EXPECT_TRUE(sink->flush());
          EXPECT_FALSE(behind.write_all("x")) << "every byte goes through the lent buffers";
        }
        if (sizes.size() % 2 == 0) {
          EXPECT_TRUE(behind.finish());  // else the destructor finishes
        }
      }
      EXPECT_TRUE(target.kept == written);
      EXPECT_LE(target.largest, std::size_t{65536}) << "written as a plain copy writes";
    }
  }
}

TEST(WriteBehind, ReportsAFailedWriteWithItsErrno) {
  for (bool through_sink : {false, true}) {
    for (std::size_t accepted : {0, 1, 5}) {
      SCOPED_TRACE(testing::Message() << accepted << " accepted, sink " << through_sink);
      filling_writer target(accepted);
      write_behind_writer behind(target);
      std::optional<output_sink> sink;
      if (through_sink) sink.emplace(behind);
      std::string block(65536, 'x');
      for (int i = 0; i < 400; ++i) {
        if (through_sink) {
          sink->write(block);
        } else if (!behind.write_all(block)) {
          break;
        }
      }
      EXPECT_FALSE(through_sink && sink->flush());
      errno = 0;
      EXPECT_FALSE(behind.finish());
      EXPECT_EQ(errno, ENOSPC);
      EXPECT_EQ(target.kept.size(), accepted * 65536) << "only whole writes before the failure";
      EXPECT_FALSE(behind.write_all("more"));
    }
  }
}

// A file in the test's temporary folder, removed at the end.
struct temporary_path {
  std::string path = testing::TempDir() + "threaded_streams_" + std::to_string(::getpid());
  ~temporary_path() { std::remove(path.c_str()); }
};

TEST(ThreadedFiles, OnlyLargeRegularFilesGetAThread) {
  temporary_path file;
  int fd = ::open(file.path.c_str(), O_RDWR | O_CREAT | O_TRUNC, 0600);
  ASSERT_GE(fd, 0);
  EXPECT_FALSE(worth_a_thread(fd)) << "empty";
  ASSERT_EQ(::ftruncate(fd, (8 << 20) - 1), 0);
  EXPECT_FALSE(worth_a_thread(fd)) << "just below 8 MiB";
  ASSERT_EQ(::ftruncate(fd, 8 << 20), 0);
  EXPECT_TRUE(worth_a_thread(fd));
  ::close(fd);
  int pipe_ends[2];
  ASSERT_EQ(::pipe(pipe_ends), 0);
  EXPECT_FALSE(worth_a_thread(pipe_ends[0])) << "a pipe's reads may never return";
  ::close(pipe_ends[0]);
  ::close(pipe_ends[1]);
  EXPECT_FALSE(worth_a_thread(-1));
}

// A dump of `size` bytes or more whose rows hold strings of every length
// up to past a chunk: the spans kept across buffers range from none to
// several buffers long.
std::string dump_of(std::size_t size) {
  std::string dump =
      "CREATE TABLE `t` (`id` int NOT NULL AUTO_INCREMENT, `name` longtext,"
      " PRIMARY KEY (`id`)) ENGINE=InnoDB;\n";
  const std::size_t long_values[] = {70000, 300000, 1200000, 20};
  for (int statement = 0; dump.size() < size; ++statement) {
    dump += "INSERT INTO `t` VALUES ";
    for (int row = 0; row < 500; ++row) {
      int id = statement * 500 + row + 1;
      std::string name = "it\\'s row " + std::to_string(id);
      if (row == 250 && statement % 3 == 1) name += std::string(long_values[statement % 4], 'y');
      dump += (row ? ",(" : "(") + std::to_string(id) + ",'" + name + "')";
    }
    dump += ";\n";
  }
  return dump;
}

std::string converted_in_memory(const std::string& dump) {
  memory_reader in_memory(dump);
  std::string converted;
  string_writer to_string(converted);
  schema::convert_mysql_sql(in_memory, to_string);
  return converted;
}

TEST(ThreadedFiles, LentBuffersConvertAsReadOnes) {
  std::string dump = dump_of(3 << 20);
  std::string expected = converted_in_memory(dump);
  struct case_ {
    std::vector<std::size_t> sizes;
    std::size_t room;
  };
  const case_ cases[] = {
      {{262144}, 65536}, {{262144}, 0}, {{1000, 77}, 16}, {{1 << 20, 5}, 300000}, {{65536}, 1},
  };
  for (const case_& c : cases) {
    SCOPED_TRACE(testing::Message() << c.sizes[0] << " bytes a buffer, room " << c.room);
    memory_lender lender(dump, c.sizes, c.room);
    std::string converted;
    string_writer to_string(converted);
    schema::convert_mysql_sql(lender, to_string);
    EXPECT_TRUE(converted == expected);
    EXPECT_LE(lender.held(), 1u) << "at most the window is kept";
    EXPECT_FALSE(lender.given_back_too_often);
  }
}

TEST(ThreadedFiles, ALargeDumpConvertsAsInMemory) {
  std::string dump = dump_of(9 << 20);
  std::string expected = converted_in_memory(dump);
  temporary_path input, output;
  FILE* file = std::fopen(input.path.c_str(), "wb");
  ASSERT_NE(file, nullptr);
  ASSERT_EQ(std::fwrite(dump.data(), 1, dump.size(), file), dump.size());
  std::fclose(file);
  output.path += ".out";
  int in = ::open(input.path.c_str(), O_RDONLY);
  int out = ::open(output.path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  ASSERT_TRUE(in >= 0 && out >= 0);
  ASSERT_TRUE(worth_a_thread(in));
  {
    file_input reading(in);
    file_output writing(out, true);
    schema::convert_mysql_sql(reading.reader(), writing.writer());
    EXPECT_TRUE(writing.finish());
  }
  ::close(in);
  ::close(out);
  std::string converted;
  file = std::fopen(output.path.c_str(), "rb");
  ASSERT_NE(file, nullptr);
  char block[65536];
  for (std::size_t n; (n = std::fread(block, 1, sizeof block, file)) > 0;)
    converted.append(block, n);
  std::fclose(file);
  EXPECT_EQ(converted.size(), expected.size());
  EXPECT_TRUE(converted == expected);
}

}  // namespace
}  // namespace corvexa
