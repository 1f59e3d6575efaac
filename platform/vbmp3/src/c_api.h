// Every function of the C interface runs its body through guarded(): a C++ exception must not
// leave the library, where the caller cannot catch it and the process would end. A call that
// fails inside (no memory, a thread that cannot start) returns its failure value instead.
#pragma once

#include <cstdint>

namespace vbmp3 {

template <typename Result, typename Body>
Result guarded(Result onFailure, Body&& body) noexcept {
  try {
    return body();
  } catch (...) {
    return onFailure;
  }
}

// The usual case: a flag result, 0 when the body fails or throws.
template <typename Body>
int16_t guardedFlag(Body&& body) noexcept {
  return guarded<int16_t>(0, [&]() -> int16_t { return body() ? 1 : 0; });
}

}  // namespace vbmp3
