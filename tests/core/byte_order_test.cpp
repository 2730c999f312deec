#include <gtest/gtest.h>

#include <cstring>

#include "core/byte_order.hpp"

// Stored bytes, as a file or the embedded data holds them, come out as the
// same values on a host of either order.
TEST(ByteOrder, LittleEndianBytesBecomeTheirValuesOnThisHost) {
  const uint8_t stored[] = {0x01, 0x02, 0x03, 0x04, 0xFE, 0xFF, 0xFF, 0xFF, 0x00, 0x00, 0x00, 0x80};
  int32_t values[3];
  std::memcpy(values, stored, sizeof values);
  LittleEndianToHost(values, 3);
  EXPECT_EQ(values[0], 0x04030201);
  EXPECT_EQ(values[1], -2);
  EXPECT_EQ(values[2], INT32_MIN);
  EXPECT_EQ(ByteSwap32(0x11223344u), 0x44332211u);
}
