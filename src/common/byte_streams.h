// Byte streams: where the converter's input comes from and where its output
// goes. The scanner never calls these per byte; it works on the large buffers
// of input_buffer and output_sink, which call a stream only to refill or to
// flush. That is what lets a conversion run on files, on memory (tests and
// fuzzers) or on any other pair of streams without a second copy of the code.
#pragma once

#include <cstddef>
#include <span>
#include <string>
#include <string_view>

namespace corvexa {

class filled_buffer_lender;

// A source of bytes, read in large blocks.
class byte_reader {
 public:
  virtual ~byte_reader() = default;
  // Reads up to `capacity` bytes into `buffer`. Returns the count read,
  // 0 at the end of the stream, or -1 on a read error.
  virtual long read_some(char* buffer, std::size_t capacity) = 0;
  // The reader's own buffers, if its reader may read them in place.
  virtual filled_buffer_lender* lender() { return nullptr; }
};

// A buffer of a reader's own, filled and lent.
struct lent_bytes {
  char* bytes = nullptr;  // the bytes read
  std::size_t size = 0;
  std::size_t room = 0;  // how many bytes before `bytes` the borrower may write
};

// A reader that reads into buffers of its own (ahead, on another thread)
// lends them to a reader that keeps a window over its input, which then
// parses them in place rather than copying them into the window; the room
// before the bytes takes what the window keeps from the buffer before.
class filled_buffer_lender {
 public:
  virtual ~filled_buffer_lender() = default;
  // The next buffer, good until given back; false once the input has ended.
  virtual bool lend(lent_bytes& filled) = 0;
  // Gives back the oldest buffer lent and not yet given back.
  virtual void give_back() = 0;
  // After lend() has returned false: true if the input ended by a failed
  // read, with errno as the read left it.
  virtual bool failed() = 0;
};

class buffer_lender;

// A destination of bytes, written in large blocks.
class byte_writer {
 public:
  virtual ~byte_writer() = default;
  // Writes all of `bytes`; returns false if any of it could not be written.
  virtual bool write_all(std::string_view bytes) = 0;
  // The writer's own buffers, if an output_sink may fill them in place.
  virtual buffer_lender* lender() { return nullptr; }
};

// A writer that keeps bytes in buffers of its own (to write them later, on
// another thread) lends them to the output_sink in front of it, which then
// fills them in place rather than copying its own buffer into them.
class buffer_lender {
 public:
  virtual ~buffer_lender() = default;
  // An empty buffer to fill; never empty itself.
  virtual std::span<char> lend() = 0;
  // Takes back the buffer lent last, whose first `filled` bytes are to be
  // written. False once any write has failed.
  virtual bool take_back(std::size_t filled) = 0;
};

// Reads an open file descriptor; does not own or close it.
class fd_reader final : public byte_reader {
 public:
  explicit fd_reader(int fd) : fd_(fd) {}
  long read_some(char* buffer, std::size_t capacity) override;
  // How many bytes all reads together have delivered.
  unsigned long long bytes_read() const { return bytes_read_; }

 private:
  int fd_;
  unsigned long long bytes_read_ = 0;
};

// Writes an open file descriptor; does not own or close it. A descriptor
// that would block (a non-blocking pipe that is read slowly) is waited for
// rather than given up on. After a failed write, errno says why (ENOSPC
// for a device that takes nothing more).
class fd_writer final : public byte_writer {
 public:
  explicit fd_writer(int fd) : fd_(fd) {}
  bool write_all(std::string_view bytes) override;

 private:
  int fd_;
};

// Reads bytes held in memory by the caller. With `largest_read` above zero
// it hands them out in reads of 1, 2, ... `largest_read` bytes in turn, the
// way a pipe or a slow device might, so that tests can make the input buffer
// refill at every possible place.
class memory_reader final : public byte_reader {
 public:
  explicit memory_reader(std::string_view data, std::size_t largest_read = 0)
      : rest_(data), largest_read_(largest_read) {}
  long read_some(char* buffer, std::size_t capacity) override;

 private:
  std::string_view rest_;
  std::size_t largest_read_;
  std::size_t reads_ = 0;
};

// Takes every byte and keeps none: for a conversion whose output nobody
// reads, only what it reports.
class discarding_writer final : public byte_writer {
 public:
  bool write_all(std::string_view) override { return true; }
};

// Appends everything written to a string held by the caller.
class string_writer final : public byte_writer {
 public:
  explicit string_writer(std::string& target) : target_(target) {}
  bool write_all(std::string_view bytes) override;

 private:
  std::string& target_;
};

}  // namespace corvexa
