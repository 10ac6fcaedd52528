#include <gtest/gtest.h>

#include "KernelChoice.h"
#include "VinolaWobbleStage.h"

#include <cmath>
#include <cstring>
#include <limits>
#include <memory>
#include <vector>

TEST (VinolaWobbleStage, NoWobblePassesTheSignalButKeepsTheHistory)
{
    auto stage = std::make_unique<VinolaWobbleStage>();
    for (int n = 0; n < 1000; ++n)
    {
        float frame[2] { (float) n, -(float) n };
        stage->process (frame, 2, 0.0f);
        ASSERT_EQ (frame[0], (float) n);
        ASSERT_EQ (frame[1], -(float) n);
    }

    // Raising WOBBLE reads recent input, not silence.
    float frame[2] { 1000.0f, -1000.0f };
    stage->process (frame, 2, 1.0f);
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
        stage->process (frame, 1, 1.0f);
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
    half->setSampleRate (96000.0);
    highest = 0.0f;
    for (int n = 0; n < 96000; ++n)
    {
        float frame[1] { 0.0f };
        half->process (frame, 1, 0.5f);
        highest = std::fmax (highest, half->getDelay());
    }
    EXPECT_NEAR (highest, 288.0f, 0.05f);
}

TEST (VinolaWobbleStage, ModulationFollowsTheBentCosineFrameByFrame)
{
    for (float w : { 0.25f, 0.5f, 1.0f })
        for (float p = 0.0005f; p <= 1.0f; p += 0.00731f)
        {
            const double exact = std::cos (2.0 * 3.141592653589793 * std::pow ((double) p, 1.0 - 0.25 * w));
            ASSERT_NEAR (VinolaWobbleStage::modulation (p, w), exact, 2.0e-6) << "phase " << p << " wobble " << w;
        }

    // Whatever the reuse of earlier work, each frame's delay belongs to its own phase and WOBBLE:
    // steady stretches, a ramp, a rate change and a frame without channels in between.
    auto stage = std::make_unique<VinolaWobbleStage>();
    float rate = 44100.0f;
    for (int n = 0; n < 30000; ++n)
    {
        if (n == 20000)
        {
            rate = 48000.0f;
            stage->setSampleRate (rate);
        }
        const float w = n < 5000 ? 0.7f : (n < 9410 ? 0.7f - 0.3f * (float) (n - 5000) / 4410.0f : 0.4f);
        if (n == 15000)
            stage->process (nullptr, 0, w);
        float frame[2] { 0.0f, 0.0f };
        stage->process (frame, 2, w);
        const float k = (float) ((double) w * 0.003);
        const float expected = rate * (VinolaWobbleStage::modulation (stage->getPhase(), w) * k + k);
        ASSERT_NEAR (stage->getDelay(), expected, 1.0e-4f) << "frame " << n;
    }
}

TEST (VinolaWobbleStage, ResetClearsTheLinesAndNonFiniteInputDoesNotLinger)
{
    auto stage = std::make_unique<VinolaWobbleStage>();
    for (int n = 0; n < 2000; ++n)
    {
        float frame[2] { 1.0f, 1.0f };
        stage->process (frame, 2, 1.0f);
    }
    stage->reset();
    for (int n = 0; n < 100; ++n)
    {
        float frame[2] { 0.0f, 0.0f };
        stage->process (frame, 2, 1.0f);
        ASSERT_EQ (frame[0], 0.0f);
        ASSERT_EQ (frame[1], 0.0f);
    }

    for (int n = 0; n < 300; ++n)
    {
        float frame[2] { std::nanf (""), std::numeric_limits<float>::infinity() };
        stage->process (frame, 2, 1.0f);
    }
    for (int n = 0; n < 44100; ++n)
    {
        float frame[2] { 0.5f, 0.5f };
        stage->process (frame, 2, 1.0f);
        ASSERT_TRUE (std::isfinite (frame[0]) && std::isfinite (frame[1])) << "frame " << n;
    }

    // No channel: the phase still runs.
    const float p = stage->getPhase();
    stage->process (nullptr, 0, 1.0f);
    EXPECT_NE (stage->getPhase(), p);
}

// Stereo runs move both lines together, eight frames at a time on the AVX2 kernels. Over more
// than a whole line (so the write position wraps), with delays under one sample, exactly zero,
// ramps and steady stretches, and non-finite input, they must give the frame function's bits.
TEST (VinolaWobbleStage, StereoRunsMatchFramesOverTheLineWrapOnEveryKernel)
{
    onEveryKernel ([]
    {
        auto runs = std::make_unique<VinolaWobbleStage>();
        auto frames = std::make_unique<VinolaWobbleStage>();
        const int lengths[] = { 64, 61, 8, 3, 64, 17, 40 };
        const float levels[] = { 1.0f, 0.001f, 0.0f, 0.5f, 1.0e-6f, 0.25f, 1.0f };
        const float nan = std::numeric_limits<float>::quiet_NaN(), inf = std::numeric_limits<float>::infinity();

        int t = 0;
        for (int block = 0; t < VinolaWobbleStage::bufferSize + 3000; ++block)
        {
            const int n = lengths[block % 7];
            const float from = levels[block % 7], to = levels[(block / 3) % 7];
            std::vector<float> left, right, wobble;
            for (int i = 0; i < n; ++i, ++t)
            {
                wobble.push_back (block % 2 == 0 ? from : from + (to - from) * (float) i / (float) n);
                float x = std::sin (0.01f * (float) t);
                if (t % 4099 == 5)
                    x = (t % 2 == 0) ? nan : -inf;
                left.push_back (x);
                right.push_back (0.5f - x);
            }
            std::vector<float> frameLeft = left, frameRight = right;

            float* channels[2] = { left.data(), right.data() };
            runs->processBlock (channels, 2, n, wobble.data());
            for (int i = 0; i < n; ++i)
            {
                float frame[2] = { frameLeft[(size_t) i], frameRight[(size_t) i] };
                frames->process (frame, 2, wobble[(size_t) i]);
                frameLeft[(size_t) i] = frame[0];
                frameRight[(size_t) i] = frame[1];
            }

            for (int i = 0; i < n; ++i)
            {
                const float got[2] = { left[(size_t) i], right[(size_t) i] };
                const float want[2] = { frameLeft[(size_t) i], frameRight[(size_t) i] };
                ASSERT_EQ (std::memcmp (got, want, sizeof (got)), 0)
                    << "frame " << t - n + i << ": " << got[0] << " " << got[1] << " against " << want[0] << " " << want[1];
            }
            ASSERT_EQ (runs->getDelay(), frames->getDelay());
        }
    });
}
