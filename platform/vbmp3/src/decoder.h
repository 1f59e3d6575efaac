// Sources of PCM: one per open audio file, MP3 through libmpg123, WAV through libsndfile.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace vbmp3 {

struct SourceInfo {
  int rate = 0;              // Hz
  int channels = 0;          // 1 or 2
  int64_t lengthFrames = 0;  // exact length in sample frames
  int bitRate = 0;           // average kbit/s
  std::string artist;        // UTF-8, from the file's tag when it has one
  // MPEG details (all 0 for WAV; frames then counts sample frames)
  int mpegVersion = 0;  // 1, 2, or 3 for 2.5
  int layer = 0;
  int64_t frames = 0;
};

class Source {
 public:
  virtual ~Source() = default;
  virtual const SourceInfo& info() const = 0;
  // Reads up to `frames` interleaved 16-bit frames at the file's own rate and channel count.
  // Returns the number of frames read; 0 at the end or on an error.
  virtual size_t read(int16_t* out, size_t frames) = 0;
  // Moves to a sample frame; the next read starts exactly there.
  virtual bool seek(int64_t frame) = 0;
};

// A scanned open reads an MP3 through once to learn its exact length (and rejects a file with no
// frames). Reading straight through needs only the format: a streaming open skips the scan, and
// leaves lengthFrames and frames as estimates (-1 when unknown).
enum class SourceOpen { Scanned, Streaming };

// Opens an MP3 or WAV file; nullptr for anything it cannot decode.
std::unique_ptr<Source> openSource(const std::string& path, SourceOpen mode = SourceOpen::Scanned);

// The path of the file the player has open, empty when none.
std::string openTrackPath();
void setOpenTrackPath(const std::string& path);

}  // namespace vbmp3
