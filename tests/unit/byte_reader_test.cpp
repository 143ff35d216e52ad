#include "platform/byte_reader.h"

#include <gtest/gtest.h>

#include <array>

namespace {

TEST(ByteReader, ReadsBothByteOrdersAndAFailedReadStaysFailed) {
  const std::array<std::uint8_t, 5> bytes{0x12, 0x34, 0x56, 0x78, 0x9A};
  platform::ByteReader read(bytes);
  EXPECT_EQ(read.be16(0), 0x1234);
  EXPECT_EQ(read.le16(0), 0x3412);
  EXPECT_EQ(read.be32(1), 0x3456789Au);
  EXPECT_EQ(read.u8(4), 0x9A);
  EXPECT_TRUE(read.ok());

  EXPECT_EQ(read.be32(2), 0u);  // one byte short
  EXPECT_FALSE(read.ok());
  EXPECT_EQ(read.u8(0), 0);  // in range, but the reader has failed
  EXPECT_FALSE(read.ok());

  platform::ByteReader far(bytes);
  EXPECT_EQ(far.le16(SIZE_MAX), 0);  // an offset whose end wraps around
  EXPECT_FALSE(far.ok());
}

}  // namespace
