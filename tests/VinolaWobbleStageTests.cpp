#include <gtest/gtest.h>

#include "VinolaWobbleStage.h"

#include <cmath>
#include <limits>
#include <memory>

TEST (VinolaWobbleStage, NoWobblePassesTheSignalButKeepsTheHistory)
{
    auto stage = std::make_unique<VinolaWobbleStage>();
    for (int n = 0; n < 1000; ++n)
    {
        float frame[2] { (float) n, -(float) n };
        stage->process (frame, 2, 0.0f, 44100.0f);
        ASSERT_EQ (frame[0], (float) n);
        ASSERT_EQ (frame[1], -(float) n);
    }

    // Raising WOBBLE reads recent input, not silence.
    float frame[2] { 1000.0f, -1000.0f };
    stage->process (frame, 2, 1.0f, 44100.0f);
    const float d = stage->getDelay();
    ASSERT_GT (d, 1.0f);
    EXPECT_NEAR (frame[0], 1000.0f - d, 1.0e-2f);
    EXPECT_NEAR (frame[1], -(1000.0f - d), 1.0e-2f);
}

TEST (VinolaWobbleStage, FullWobbleSwingsTheDelayOncePerSecondWithExactInterpolation)
{
    auto stage = std::make_unique<VinolaWobbleStage>();
    float lowest = 1.0e9f, highest = -1.0f;
    const float startPhase = stage->getPhase();

    // A ramp input: the linearly interpolated output is exactly the input D samples ago.
    for (int n = 0; n < 3 * 44100; ++n)
    {
        float frame[1] { (float) n };
        stage->process (frame, 1, 1.0f, 44100.0f);
        const float d = stage->getDelay();
        if (n > 300)
        {
            ASSERT_NEAR (frame[0], (float) n - d, 2.0e-2f) << "frame " << n;
        }
        lowest = std::fmin (lowest, d);
        highest = std::fmax (highest, d);
    }
    EXPECT_NEAR (lowest, 0.0f, 0.01f);
    EXPECT_NEAR (highest, 264.6f, 0.01f);
    const float turn = std::fabs (stage->getPhase() - startPhase);
    EXPECT_LT (std::fmin (turn, 1.0f - turn), 2.0e-3f);    // whole turns, give or take rounding

    // Half the wobble, half the swing; at 96 kHz the swing scales with the rate.
    auto half = std::make_unique<VinolaWobbleStage>();
    highest = 0.0f;
    for (int n = 0; n < 96000; ++n)
    {
        float frame[1] { 0.0f };
        half->process (frame, 1, 0.5f, 96000.0f);
        highest = std::fmax (highest, half->getDelay());
    }
    EXPECT_NEAR (highest, 288.0f, 0.05f);
}

TEST (VinolaWobbleStage, ResetClearsTheLinesAndNonFiniteInputDoesNotLinger)
{
    auto stage = std::make_unique<VinolaWobbleStage>();
    for (int n = 0; n < 2000; ++n)
    {
        float frame[2] { 1.0f, 1.0f };
        stage->process (frame, 2, 1.0f, 44100.0f);
    }
    stage->reset();
    for (int n = 0; n < 100; ++n)
    {
        float frame[2] { 0.0f, 0.0f };
        stage->process (frame, 2, 1.0f, 44100.0f);
        ASSERT_EQ (frame[0], 0.0f);
        ASSERT_EQ (frame[1], 0.0f);
    }

    for (int n = 0; n < 300; ++n)
    {
        float frame[2] { std::nanf (""), std::numeric_limits<float>::infinity() };
        stage->process (frame, 2, 1.0f, 44100.0f);
    }
    for (int n = 0; n < 44100; ++n)
    {
        float frame[2] { 0.5f, 0.5f };
        stage->process (frame, 2, 1.0f, 44100.0f);
        ASSERT_TRUE (std::isfinite (frame[0]) && std::isfinite (frame[1])) << "frame " << n;
    }

    // No channel: the phase still runs.
    const float p = stage->getPhase();
    stage->process (nullptr, 0, 1.0f, 44100.0f);
    EXPECT_NE (stage->getPhase(), p);
}
