#include "common/read_ahead.h"

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <utility>

namespace corvexa {
namespace {

// Four chunks of 256 KiB: enough that neither side waits on the other at
// the rates of a page cache, and little memory beside a conversion's.
constexpr std::size_t chunk_count = 4;
constexpr std::size_t chunk_capacity = std::size_t{256} * 1024;
// Room before a lent chunk for what its borrower keeps of the chunk before
// (the .sql source keeps the statement or row it is in): longer spans are
// copied into the borrower's own buffer instead.
constexpr std::size_t room_before_chunk = std::size_t{64} * 1024;
// Below this the thread's start costs more than it saves.
constexpr off_t smallest_threaded_file = off_t{8} << 20;

}  // namespace

bool worth_a_thread(int fd) {
  struct stat about {};
  return ::fstat(fd, &about) == 0 && S_ISREG(about.st_mode) &&
         about.st_size >= smallest_threaded_file;
}

read_ahead_reader::read_ahead_reader(byte_reader& source)
    : source_(source),
      pipe_(chunk_count, chunk_capacity, room_before_chunk),
      thread_([this] { read_on(); }) {}

read_ahead_reader::~read_ahead_reader() {
  pipe_.stop_taking();
  thread_.join();
}

void read_ahead_reader::read_on() {
  chunk_pipe::chunk chunk;
  while (pipe_.take_empty(chunk)) {
    long count = source_.read_some(chunk.bytes(), pipe_.chunk_capacity());
    if (count <= 0) {
      ending_ = count < 0 ? -1 : 0;
      ending_errno_ = errno;
      break;
    }
    chunk.size = static_cast<std::size_t>(count);
    pipe_.hand_over(std::move(chunk));
  }
  pipe_.finish_filling();
}

long read_ahead_reader::ending() {
  errno = ending_errno_;
  return ending_;
}

long read_ahead_reader::read_some(char* buffer, std::size_t capacity) {
  if (!holds_chunk_) {
    if (!pipe_.take_filled(current_)) return ending();
    holds_chunk_ = true;
    handed_out_ = 0;
  }
  std::size_t count = std::min(capacity, current_.size - handed_out_);
  std::memcpy(buffer, current_.bytes() + handed_out_, count);
  handed_out_ += count;
  if (handed_out_ == current_.size) {
    pipe_.give_back(std::move(current_));
    holds_chunk_ = false;
  }
  return static_cast<long>(count);
}

bool read_ahead_reader::lend(lent_bytes& filled) {
  chunk_pipe::chunk next;
  if (!pipe_.take_filled(next)) return false;
  filled = {next.bytes(), next.size, next.room};
  lent_.push_back(std::move(next));
  return true;
}

void read_ahead_reader::give_back() {
  pipe_.give_back(std::move(lent_.front()));
  lent_.pop_front();
}

bool read_ahead_reader::failed() { return ending() < 0; }

file_input::file_input(int fd) : file_(fd) {
  if (worth_a_thread(fd)) ahead_.emplace(file_);
}

byte_reader& file_input::reader() {
  if (ahead_) return *ahead_;
  return file_;
}

}  // namespace corvexa
