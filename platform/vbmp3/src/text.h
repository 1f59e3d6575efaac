// Text helpers for the library's records: UTF-8 inside, CP932 for legacy single-byte tags.
#pragma once

#include <cstddef>
#include <optional>
#include <string>

namespace vbmp3 {

// Copies UTF-8 text into a fixed NUL-padded field of `size` bytes, cutting only at a
// character boundary so the field always holds valid UTF-8 and a terminating NUL.
void copyField(char* field, size_t size, const std::string& utf8);

// Reads a fixed field up to its first NUL (or its end).
std::string readField(const char* field, size_t size);

// CP932 (Windows Shift_JIS) bytes to UTF-8; nullopt when the bytes are not valid CP932.
std::optional<std::string> cp932ToUtf8(const std::string& bytes);

// UTF-8 to CP932; nullopt when some character has no CP932 form.
std::optional<std::string> utf8ToCp932(const std::string& utf8);

std::string latin1ToUtf8(const std::string& bytes);

// Text of unknown single-byte origin (ID3v1, ID3v2 Latin-1 frames, RIFF INFO) as UTF-8:
// kept when it is ASCII or valid UTF-8, read as CP932 when it is valid CP932 without
// user-defined characters, else read as Latin-1.
std::string legacyToUtf8(const std::string& bytes);

// The bytes of a frame that calls itself Latin-1, read by what they hold: after a UTF-16
// byte-order mark as UTF-16 up to its first NUL character, after a UTF-8 one as UTF-8,
// anything else as legacy text with NULs (between values) read as blanks.
std::string declaredLatin1ToUtf8(const std::string& bytes);

// UTF-8 as CP932 of at most `maxBytes` bytes, never cut inside a character; characters
// without a CP932 form become '?'.
std::string toCp932Lossy(const std::string& utf8, size_t maxBytes);

// A caller's fixed field as UTF-8 without trailing blanks. A character cut at the field's
// end is dropped; bytes that are not UTF-8 at all are read as legacy text.
std::string textFromField(const char* field, size_t size);

}  // namespace vbmp3
