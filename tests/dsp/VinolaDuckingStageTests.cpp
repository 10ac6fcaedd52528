#include <gtest/gtest.h>

#include "VinolaDuckingStage.h"

#include <cmath>

namespace
{
    constexpr float inverseRate = 1.0f / 44100.0f;

    // The gain for one crackle sample, worked out the long way with the logarithm and power.
    float fullGain (float crackle, float amount)
    {
        const float level = 20.0f * std::log10 (std::fabs (crackle));
        return std::pow (10.0f, VinolaDuckingStage::reductionDb (level, amount * -56.0f) / 20.0f);
    }
}

TEST (VinolaDuckingStage, SilentCrackleDucksNothingAndLeavesTheMeter)
{
    VinolaDuckingStage stage;
    std::atomic<float> meter { 0.25f };
    for (int n = 0; n < 100; ++n)
        for (int ch = 0; ch < 2; ++ch)
            stage.process (ch, 0.0f, 1.0f, meter);
    EXPECT_EQ (stage.gain (0), 1.0f);
    EXPECT_EQ (stage.gain (1), 1.0f);
    EXPECT_EQ (meter.load(), 0.25f);
}

TEST (VinolaDuckingStage, LoudCrackleHalvesTheMusicAtOnceAndRecoversLinearly)
{
    for (float amount : { 0.0f, 1.0f })
    {
        VinolaDuckingStage stage;
        std::atomic<float> meter { 0.0f };
        stage.process (0, 2.0f, amount, meter);

        const float g = stage.gain (0);
        if (amount == 0.0f)
            EXPECT_NEAR (g, 0.5035f, 1.0e-3f);          // about -5.96 dB
        else
            EXPECT_NEAR (g, std::pow (10.0f, (6.0206f + 56.0f) * -0.99f / 20.0f), 1.0e-6f);
        EXPECT_FLOAT_EQ (meter.load(), 1.0f - g);
        EXPECT_EQ (stage.gain (1), 1.0f);                   // the other channel is untouched

        // Recovery: 120 units per second at DUCKING 0, 70 at DUCKING 1, capped at 1.
        const float perFrame = (70.0f + 50.0f * (1.0f - amount)) * inverseRate;
        float expected = g;
        for (int n = 0; n < 100; ++n)
        {
            stage.process (0, 0.0f, amount, meter);
            expected = std::fmin (expected + perFrame, 1.0f);
        }
        EXPECT_NEAR (stage.gain (0), expected, 1.0e-5f);
        EXPECT_NEAR (stage.gain (0) - g, 100.0f * perFrame, 1.0e-4f);

        for (int n = 0; n < 44100; ++n)
            stage.process (0, 0.0f, amount, meter);
        EXPECT_EQ (stage.gain (0), 1.0f);
        EXPECT_FLOAT_EQ (meter.load(), 1.0f - g);           // only the editor lowers the meter
    }
}

TEST (VinolaDuckingStage, KneeEdges)
{
    const float threshold = -20.0f;
    EXPECT_EQ (VinolaDuckingStage::reductionDb (threshold - 0.06f, threshold), 0.0f);
    EXPECT_NEAR (VinolaDuckingStage::reductionDb (threshold - 0.05f, threshold), 0.0f, 1.0e-9f);
    EXPECT_NEAR (VinolaDuckingStage::reductionDb (threshold, threshold), 0.05f * 0.05f * -0.99f / 0.2f, 1.0e-7f);
    EXPECT_NEAR (VinolaDuckingStage::reductionDb (threshold + 0.05f, threshold), 0.05f * -0.99f, 1.0e-5f);
    EXPECT_NEAR (VinolaDuckingStage::reductionDb (threshold + 10.0f, threshold), -9.9f, 1.0e-4f);
}

TEST (VinolaDuckingStage, QuietShortcutGivesTheSameGainsAsTheFullFormula)
{
    for (float amount : { 0.0f, 0.1f, 0.37f, 0.5f, 1.0f })
    {
        const float edge = std::pow (10.0f, (amount * -56.0f - 0.05f) / 20.0f);
        for (float scale = 0.98f; scale < 1.02f; scale += 0.0005f)
        {
            for (float sign : { 1.0f, -1.0f })
            {
                VinolaDuckingStage stage;
                std::atomic<float> meter { 0.0f };
                const float crackle = sign * edge * scale;
                stage.process (1, crackle, amount, meter);
                ASSERT_EQ (stage.gain (1), std::fmin (fullGain (crackle, amount), 1.0f))
                    << "amount " << amount << " crackle " << crackle;
            }
        }
    }
}

TEST (VinolaDuckingStage, MeterKeepsTheLargestReductionAcrossChannels)
{
    VinolaDuckingStage stage;
    std::atomic<float> meter { 0.0f };
    stage.process (1, 2.0f, 0.0f, meter);
    const float big = meter.load();
    stage.process (0, 1.2f, 0.0f, meter);
    EXPECT_EQ (meter.load(), big);
    meter.store (0.0f);                                     // the editor read it
    stage.process (0, 1.2f, 0.0f, meter);
    EXPECT_GT (meter.load(), 0.0f);
    EXPECT_LT (meter.load(), big);

    // Odd input never corrupts the state.
    stage.process (5, 2.0f, 0.0f, meter);
    stage.process (0, std::nanf (""), 0.0f, meter);
    EXPECT_TRUE (std::isfinite (stage.gain (0)));
}
