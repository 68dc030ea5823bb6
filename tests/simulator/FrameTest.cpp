#include "Kwp2000Frame.h"

#include <gtest/gtest.h>

using namespace TavrinKwp;

TEST(Kwp2000Frame, shouldPutLengthInFormatByteAndAddChecksum)
{
    const Bytes frame = encodeFrame(Frame{0x11, 0xF1, {0x3E, 0x01}});
    EXPECT_EQ(hexText(frame), "82 11 F1 3E 01 C3");
    auto decoded = decodeFrame(frame);
    ASSERT_TRUE(decoded);
    EXPECT_EQ(decoded->target, 0x11);
    EXPECT_EQ(decoded->source, 0xF1);
    EXPECT_EQ(decoded->data, (Bytes{0x3E, 0x01}));
}

TEST(Kwp2000Frame, shouldUseLengthByteBeyondSixtyThreeBytes)
{
    Bytes data(64, 0xAA);
    const Bytes frame = encodeFrame(Frame{0x11, 0xF1, data});
    EXPECT_EQ(frame[0], 0x80);
    EXPECT_EQ(frame[3], 64);
    EXPECT_EQ(frame.size(), 4u + 64u + 1u);
    ASSERT_TRUE(decodeFrame(frame));
    EXPECT_EQ(decodeFrame(frame)->data, data);
}

TEST(Kwp2000Frame, shouldRefuseBadChecksumAndWrongLength)
{
    Bytes frame = encodeFrame(Frame{0x11, 0xF1, {0x21, 0x01}});
    Bytes corrupted = frame;
    corrupted.back() ^= 0x01;
    EXPECT_FALSE(decodeFrame(corrupted));
    Bytes truncated(frame.begin(), frame.end() - 2);
    EXPECT_FALSE(decodeFrame(truncated));
    EXPECT_FALSE(decodeFrame(Bytes{0x01, 0x02}));
}

TEST(Kwp2000Frame, shouldReadHexWithOrWithoutBlanks)
{
    EXPECT_EQ(parseHex("30 01 0a"), (Bytes{0x30, 0x01, 0x0A}));
    EXPECT_EQ(parseHex("3001"), (Bytes{0x30, 0x01}));
    EXPECT_FALSE(parseHex("30 1"));
    EXPECT_FALSE(parseHex("zz"));
}
