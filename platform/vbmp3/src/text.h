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

bool isValidUtf8(const std::string& bytes);

// CP932 (Windows Shift_JIS) bytes to UTF-8; nullopt when the bytes are not valid CP932.
std::optional<std::string> cp932ToUtf8(const std::string& bytes);

// UTF-8 to CP932; nullopt when some character has no CP932 form.
std::optional<std::string> utf8ToCp932(const std::string& utf8);

}  // namespace vbmp3
