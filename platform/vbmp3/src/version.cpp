#include "vbmp3.h"

int32_t vbmp3_getVersion(void) { return 100; }

void vbmp3_useAtMarkTag(int32_t) {}
