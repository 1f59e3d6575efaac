// Single-producer, single-consumer ring of interleaved 16-bit frames between the decoding
// thread (producer) and the audio callback (consumer). Indices count frames since the last
// reset and never wrap.
#pragma once

#include <algorithm>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace vbmp3 {

class FrameRing {
 public:
  // `capacity` must be a power of two.
  FrameRing(size_t capacity, int channels)
      : capacity_(capacity), channels_(channels), samples_(capacity * channels) {}

  int channels() const { return channels_; }
  size_t capacity() const { return capacity_; }
  uint64_t writeIndex() const { return write_.load(std::memory_order_acquire); }
  uint64_t readIndex() const { return read_.load(std::memory_order_acquire); }
  size_t readable() const { return static_cast<size_t>(writeIndex() - readIndex()); }
  size_t writable() const { return capacity_ - readable(); }

  // Producer: the longest contiguous free span, then commit what was written into it.
  int16_t* writeSpan(size_t* frames) {
    const uint64_t w = writeIndex();
    const size_t offset = static_cast<size_t>(w & (capacity_ - 1));
    *frames = std::min(writable(), capacity_ - offset);
    return samples_.data() + offset * channels_;
  }
  void commit(size_t frames) { write_.fetch_add(frames, std::memory_order_release); }

  // Consumer: the longest contiguous readable span from `index` (at or after the read index),
  // then release what was used.
  const int16_t* readSpan(uint64_t index, size_t* frames) const {
    const size_t offset = static_cast<size_t>(index & (capacity_ - 1));
    *frames = std::min(static_cast<size_t>(writeIndex() - index), capacity_ - offset);
    return samples_.data() + offset * channels_;
  }
  void release(size_t frames) { read_.fetch_add(frames, std::memory_order_release); }
  // Consumer: drops everything before `index` (at most up to what was written).
  void skipTo(uint64_t index) { read_.store(std::min(index, writeIndex()), std::memory_order_release); }

  // Only while neither side runs.
  void reset() {
    write_.store(0);
    read_.store(0);
  }

 private:
  size_t capacity_;
  int channels_;
  std::vector<int16_t> samples_;
  std::atomic<uint64_t> write_{0};
  std::atomic<uint64_t> read_{0};
};

}  // namespace vbmp3
