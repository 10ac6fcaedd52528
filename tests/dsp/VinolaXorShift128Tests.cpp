// The shared xorshift128 generator behind the random tables and the amplifier noise.
#include <gtest/gtest.h>
#include "VinolaXorShift128.h"

TEST (VinolaXorShift128, StartsFromThePublishedSeedAndDrawsInPairsAsSingly)
{
    VinolaXorShift128 single, paired;
    EXPECT_EQ (single.next(), 3701687786u);   // the published generator's first output
    EXPECT_EQ (single.next(), 458299110u);

    single.restart();
    for (int i = 0; i < 1000; ++i)
    {
        std::uint32_t a = 0, b = 0;
        paired.nextPair (a, b);
        ASSERT_EQ (a, single.next()) << i;
        ASSERT_EQ (b, single.next()) << i;
    }
}

TEST (VinolaXorShift128, BipolarValuesSpanMinusOneToOneFromTheLow24Bits)
{
    EXPECT_EQ (VinolaXorShift128::toBipolar (0u), -1.0f);
    EXPECT_EQ (VinolaXorShift128::toBipolar (0xffffffu), 1.0f);
    EXPECT_EQ (VinolaXorShift128::toBipolar (0xff000000u), -1.0f);   // high bits ignored
    EXPECT_NEAR (VinolaXorShift128::toBipolar (0x800000u), 0.0f, 1e-6f);
}
