#include <gtest/gtest.h>

#include "vbmp3.h"

TEST(Version, IsPositive) { EXPECT_GT(vbmp3_getVersion(), 0); }
