// Reads a large file on a thread of its own, a few chunks ahead of the
// conversion that reads it, so that the kernel's part of reading (copying
// out of the page cache, reading the disk) runs beside the conversion
// rather than between its buffers. Only for sources whose reads return
// (regular files): the thread is stopped between two reads.
//
//   corvexa::file_input input(fd);   // read ahead if worth_a_thread(fd)
//   convert(input.reader(), ...);
#pragma once

#include <cstddef>
#include <deque>
#include <optional>
#include <thread>

#include "common/byte_streams.h"
#include "common/chunk_pipe.h"

namespace corvexa {

// True if `fd` is a regular file large enough that reading or writing it
// on a thread of its own pays for the thread.
bool worth_a_thread(int fd);

class read_ahead_reader final : public byte_reader, public filled_buffer_lender {
 public:
  explicit read_ahead_reader(byte_reader& source);
  // Stops the thread after the read it is in, whatever is left unread.
  ~read_ahead_reader() override;
  read_ahead_reader(const read_ahead_reader&) = delete;
  read_ahead_reader& operator=(const read_ahead_reader&) = delete;

  // What the source gave, in order; once it is all taken, what ended the
  // source: 0 at its end, or -1 with errno as the failed read left it.
  long read_some(char* buffer, std::size_t capacity) override;

  // Its chunks lent in place of read_some, each with room before it.
  filled_buffer_lender* lender() override { return this; }
  bool lend(lent_bytes& filled) override;
  void give_back() override;
  bool failed() override;

 private:
  void read_on();
  // The source's ending, once every chunk has been taken.
  long ending();

  byte_reader& source_;
  chunk_pipe pipe_;
  chunk_pipe::chunk current_;  // taken from the pipe, partly handed out
  std::size_t handed_out_ = 0;
  bool holds_chunk_ = false;
  std::deque<chunk_pipe::chunk> lent_;  // in the order lent
  // Written by the thread before it finishes filling; read after.
  long ending_ = 0;
  int ending_errno_ = 0;
  std::thread thread_;  // last: it starts once everything above is built
};

// A file descriptor, read ahead if worth_a_thread says so.
class file_input {
 public:
  explicit file_input(int fd);
  byte_reader& reader();

 private:
  fd_reader file_;
  std::optional<read_ahead_reader> ahead_;
};

}  // namespace corvexa
