// Writes a large file on a thread of its own, behind the conversion that
// produces it, so that the kernel's part of writing (copying into the page
// cache, allocating the file's blocks) runs beside the conversion rather
// than between its buffers. A write failure shows at the next write_all or
// at finish(), with errno as the failed write left it.
#pragma once

#include <atomic>
#include <cstddef>
#include <memory>
#include <optional>
#include <span>
#include <string_view>
#include <thread>

#include "common/byte_streams.h"
#include "common/chunk_pipe.h"

namespace corvexa {

class write_behind_writer final : public byte_writer, public buffer_lender {
 public:
  explicit write_behind_writer(byte_writer& target);
  // Finishes, if finish() has not been called.
  ~write_behind_writer() override;
  write_behind_writer(const write_behind_writer&) = delete;
  write_behind_writer& operator=(const write_behind_writer&) = delete;

  // Copies `bytes` to be written; false once a write has failed, after
  // finish(), and once a buffer has been lent: from then on every byte
  // goes through the lent buffers.
  bool write_all(std::string_view bytes) override;
  buffer_lender* lender() override { return this; }
  std::span<char> lend() override;
  bool take_back(std::size_t filled) override;
  // Waits until everything has been given to the target; false if any of
  // it could not be written.
  bool finish();

 private:
  void write_on();
  bool failed();

  byte_writer& target_;
  chunk_pipe pipe_;
  chunk_pipe::chunk current_;  // being filled by write_all
  bool holds_chunk_ = false;
  bool lending_ = false;
  std::unique_ptr<char[]> scrap_;  // lent once a write has failed
  bool finished_ = false;
  std::atomic<bool> failed_{false};
  int failed_errno_ = 0;  // written by the thread before failed_ is set
  std::thread thread_;    // last: it starts once everything above is built
};

// A file descriptor, written behind if `threaded`, as when the input of
// the conversion that writes it is worth_a_thread.
class file_output {
 public:
  file_output(int fd, bool threaded);
  byte_writer& writer();
  // Waits for what is written behind, as write_behind_writer::finish.
  bool finish();

 private:
  fd_writer file_;
  std::optional<write_behind_writer> behind_;
};

}  // namespace corvexa
