// A fixed set of byte buffers that pass between two threads: the producer
// fills an empty chunk and hands it over, the consumer takes the filled
// chunks in order and gives each back once done with it. However many bytes
// pass, the memory is that of the chunks made at the start, and each side
// waits for the other only when all chunks are on the other side.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <memory>
#include <mutex>

namespace corvexa {

class chunk_pipe {
 public:
  struct chunk {
    std::unique_ptr<char[]> storage;
    std::size_t room = 0;  // bytes of storage before the chunk's own
    std::size_t size = 0;  // how many of its own bytes are filled
    char* bytes() const { return storage.get() + room; }
  };

  // Each chunk holds `chunk_capacity` bytes, with `room` more before them
  // that the consumer may use.
  chunk_pipe(std::size_t chunk_count, std::size_t chunk_capacity, std::size_t room = 0);
  chunk_pipe(const chunk_pipe&) = delete;
  chunk_pipe& operator=(const chunk_pipe&) = delete;

  std::size_t chunk_capacity() const { return chunk_capacity_; }

  // The producer's side. take_empty waits for an empty chunk; false once
  // the consumer has stopped taking. hand_over never waits.
  bool take_empty(chunk& empty);
  void hand_over(chunk filled);
  // Nothing more will be handed over.
  void finish_filling();

  // The consumer's side. take_filled waits for the next filled chunk; false
  // once the producer has finished and every chunk has been taken.
  bool take_filled(chunk& filled);
  void give_back(chunk emptied);
  // Nothing more will be taken: the producer's waits end.
  void stop_taking();

 private:
  std::size_t chunk_capacity_;
  std::mutex mutex_;
  std::condition_variable empty_ready_;
  std::condition_variable filled_ready_;
  std::deque<chunk> empty_;
  std::deque<chunk> filled_;
  bool filling_finished_ = false;
  bool taking_stopped_ = false;
};

}  // namespace corvexa
