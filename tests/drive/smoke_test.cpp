#include <gtest/gtest.h>

#include "media/property_block.h"

TEST(Smoke, PropertyBlockIsPacked) { EXPECT_EQ(sizeof(kv::PropertyBlock), 62716u); }
