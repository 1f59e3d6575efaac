// Damaged and unusual audio files, made at test time from a short sox tone encoded with lame.
// The library's tests open them, and fuzz/write_seeds.cpp writes them as the fuzz targets' seeds.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "audio_fixtures.h"

namespace broken_files {

using Bytes = std::vector<char>;

// What decoding the file yields, against the intact stream it was made from.
enum class Audio {
  None,   // vbmp3_open refuses it
  Whole,  // all of the intact stream's audio
  Part,   // some of it, and no more
};

struct BrokenFile {
  std::string name;  // file name; its extension says which container it is
  Bytes bytes;
  Audio audio;
  std::string title;  // the tag's title as read back; empty when the file has no readable tag
};

// The intact material, small enough to make good fuzz seeds: a fifth of a second of mono WAV,
// and half a second of mono VBR MP3 (with an Xing header).
struct Sources {
  Bytes wav;
  Bytes mp3;
};

inline Sources makeSources(const fixtures::TempDir& scratch) {
  const std::string wav = scratch / "tone.wav", mp3Wav = scratch / "for-mp3.wav", mp3 = scratch / "tone.mp3";
  if (!fixtures::makeWav(wav, 0.2, 11025, 1) || !fixtures::makeWav(mp3Wav, 0.5, 22050, 1) ||
      !fixtures::makeMp3(mp3Wav, mp3, "-V 6"))
    return {};
  return {fixtures::readBytes(wav), fixtures::readBytes(mp3)};
}

inline uint8_t at(const Bytes& b, size_t i) { return static_cast<uint8_t>(b[i]); }

inline void putBigEndian(Bytes& b, size_t pos, uint32_t value, int width = 4) {
  for (int i = 0; i < width; ++i) b[pos + i] = static_cast<char>(value >> (8 * (width - 1 - i)));
}

inline void putLittleEndian(Bytes& b, size_t pos, uint32_t value) {
  for (int i = 0; i < 4; ++i) b[pos + i] = static_cast<char>(value >> (8 * i));
}

inline Bytes operator+(Bytes a, const Bytes& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

inline Bytes text(const std::string& s) { return Bytes(s.begin(), s.end()); }

// Size of the MPEG layer III frame whose header starts at `pos`; 0 when none does.
inline size_t frameSize(const Bytes& b, size_t pos) {
  if (pos + 4 > b.size() || at(b, pos) != 0xFF || (at(b, pos + 1) & 0xE0) != 0xE0) return 0;
  const int version = (at(b, pos + 1) >> 3) & 3;  // 3 MPEG-1, 2 MPEG-2, 0 MPEG-2.5
  const int layer = (at(b, pos + 1) >> 1) & 3;    // 1 is layer III
  const int bitrateIndex = at(b, pos + 2) >> 4, rateIndex = (at(b, pos + 2) >> 2) & 3;
  if (version == 1 || layer != 1 || bitrateIndex == 0 || bitrateIndex == 15 || rateIndex == 3) return 0;
  static const int kbpsMpeg1[] = {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320};
  static const int kbpsMpeg2[] = {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160};
  static const int ratesMpeg1[] = {44100, 48000, 32000};
  const bool mpeg1 = version == 3;
  const int rate = ratesMpeg1[rateIndex] >> (mpeg1 ? 0 : version == 2 ? 1 : 2);
  const int kbps = (mpeg1 ? kbpsMpeg1 : kbpsMpeg2)[bitrateIndex];
  return static_cast<size_t>((mpeg1 ? 144 : 72) * kbps * 1000 / rate + ((at(b, pos + 2) >> 1) & 1));
}

// Where each whole frame of a tagless MP3 starts; the first one holds the Xing header.
inline std::vector<size_t> frameStarts(const Bytes& mp3) {
  std::vector<size_t> starts;
  for (size_t pos = 0, size; (size = frameSize(mp3, pos)) != 0 && pos + size <= mp3.size(); pos += size)
    starts.push_back(pos);
  return starts;
}

inline Bytes cut(const Bytes& b, size_t size) { return Bytes(b.begin(), b.begin() + size); }

// The MP3 with its Xing header's frame count replaced.
inline Bytes withXingFrames(Bytes mp3, uint32_t frames) {
  const size_t end = frameSize(mp3, 0);
  for (size_t i = 0; i + 12 <= end; ++i)
    if ((std::memcmp(&mp3[i], "Xing", 4) == 0 || std::memcmp(&mp3[i], "Info", 4) == 0) &&
        (at(mp3, i + 7) & 1)) {
      putBigEndian(mp3, i + 8, frames);
      return mp3;
    }
  return {};
}

inline uint32_t xingFrames(const Bytes& mp3) {
  const size_t end = frameSize(mp3, 0);
  for (size_t i = 0; i + 12 <= end; ++i)
    if (std::memcmp(&mp3[i], "Xing", 4) == 0 || std::memcmp(&mp3[i], "Info", 4) == 0)
      return static_cast<uint32_t>(at(mp3, i + 8)) << 24 | at(mp3, i + 9) << 16 | at(mp3, i + 10) << 8 |
             at(mp3, i + 11);
  return 0;
}

// An ID3v2 tag of `major` version 2 or 3 holding `frames`; `declaredSize` overrides the body size.
inline Bytes id3Tag(int major, const Bytes& frames, uint8_t flags = 0, size_t declaredSize = 0) {
  Bytes tag = text("ID3") + Bytes{static_cast<char>(major), 0, static_cast<char>(flags), 0, 0, 0, 0};
  const size_t size = declaredSize ? declaredSize : frames.size();
  for (int i = 0; i < 4; ++i) tag[6 + i] = static_cast<char>((size >> (7 * (3 - i))) & 0x7F);
  return tag + frames;
}

// A text frame (v2.2 ids have three letters, v2.3 four); `body` starts with the encoding byte.
inline Bytes id3Frame(const std::string& id, const Bytes& body) {
  const bool v22 = id.size() == 3;
  Bytes frame = text(id) + Bytes(v22 ? 3 : 6, 0);
  putBigEndian(frame, id.size(), static_cast<uint32_t>(body.size()), v22 ? 3 : 4);
  return frame + body;
}

inline Bytes latin1(const std::string& s) { return Bytes{0} + text(s); }

// UTF-16 with a little-endian byte order mark, from UTF-16 code units.
inline Bytes utf16(const std::u16string& s) {
  Bytes body{1, static_cast<char>(0xFF), static_cast<char>(0xFE)};
  for (char16_t c : s) body.insert(body.end(), {static_cast<char>(c & 0xFF), static_cast<char>(c >> 8)});
  return body;
}

// ID3v2.3 unsynchronisation: a zero byte after every 0xFF, so no false frame sync remains.
inline Bytes unsynchronised(const Bytes& b) {
  Bytes out;
  for (char c : b) {
    out.push_back(c);
    if (static_cast<uint8_t>(c) == 0xFF) out.push_back(0);
  }
  return out;
}

// Offset of the RIFF chunk `id` in a WAV, 0 when there is none.
inline size_t chunkOffset(const Bytes& wav, const char* id) {
  for (size_t pos = 12; pos + 8 <= wav.size();) {
    if (std::memcmp(&wav[pos], id, 4) == 0) return pos;
    const uint32_t size = at(wav, pos + 4) | at(wav, pos + 5) << 8 | at(wav, pos + 6) << 16 |
                          static_cast<uint32_t>(at(wav, pos + 7)) << 24;
    pos += 8 + size + (size & 1);
  }
  return 0;
}

inline Bytes withDataSize(Bytes wav, uint32_t size) {
  putLittleEndian(wav, chunkOffset(wav, "data") + 4, size);
  return wav;
}

inline Bytes withChunk(Bytes wav, const char* id, Bytes body) {
  Bytes header = text(id) + Bytes(4, 0);
  putLittleEndian(header, 4, static_cast<uint32_t>(body.size()));
  if (body.size() & 1) body.push_back(0);
  wav = wav + header + body;
  putLittleEndian(wav, 4, static_cast<uint32_t>(wav.size() - 8));
  return wav;
}

// Every broken file, made from `sources`; empty when they could not be made.
inline std::vector<BrokenFile> makeBrokenFiles(const Sources& s) {
  const std::vector<size_t> frames = frameStarts(s.mp3);
  if (frames.size() < 8 || s.wav.size() < 44 || !chunkOffset(s.wav, "data")) return {};
  const size_t middle = frames[frames.size() / 2];
  const uint32_t xing = xingFrames(s.mp3);
  const Bytes v23Title = id3Frame("TIT2", latin1("Three")) + id3Frame("TPE1", latin1("Someone"));
  // 0xFF bytes in both the byte order mark and the text, so unsynchronisation changes them.
  const Bytes unsyncBody = id3Frame("TIT2", utf16(u"\u00FFnsync \u00FF\u2606"));
  const Bytes wavHeader = cut(s.wav, chunkOffset(s.wav, "data") + 8);
  return {
      {"cut_at_frame.mp3", cut(s.mp3, middle), Audio::Part, ""},
      {"cut_inside_frame.mp3", cut(s.mp3, middle + 50), Audio::Part, ""},
      {"cut_inside_header.mp3", cut(s.mp3, middle + 2), Audio::Part, ""},
      {"cut_after_xing_frame.mp3", cut(s.mp3, frames[1]), Audio::None, ""},
      {"cut_inside_first_audio_frame.mp3", cut(s.mp3, frames[1] + 20), Audio::None, ""},
      {"xing_count_too_big.mp3", withXingFrames(s.mp3, xing * 10), Audio::Whole, ""},
      {"xing_count_too_small.mp3", withXingFrames(s.mp3, xing / 4), Audio::Whole, ""},
      {"id3v2_size_past_end.mp3", id3Tag(3, v23Title, 0, 4 * s.mp3.size()) + s.mp3, Audio::Whole, ""},
      {"id3v2_second_tag_past_end.mp3",
       id3Tag(3, id3Frame("TIT2", latin1("First"))) + id3Tag(3, v23Title, 0, 4 * s.mp3.size()) + s.mp3,
       Audio::Whole, "First"},
      {"id3v23_unsynchronised.mp3", id3Tag(3, unsynchronised(unsyncBody), 0x80) + s.mp3, Audio::Whole,
       "\u00FFnsync \u00FF\u2606"},
      {"id3v22.mp3",
       id3Tag(2, id3Frame("TT2", latin1("Two point two")) + id3Frame("TP1", latin1("Someone"))) + s.mp3,
       Audio::Whole, "Two point two"},
      {"wav_data_past_end.wav", withDataSize(s.wav, 0x7FFFF000), Audio::Whole, ""},
      {"wav_id3_chunk.wav", withChunk(s.wav, "id3 ", id3Tag(3, v23Title)), Audio::Whole, ""},
      {"wav_no_samples.wav", withDataSize(wavHeader, 0), Audio::None, ""},
  };
}

}  // namespace broken_files
