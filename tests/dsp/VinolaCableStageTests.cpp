#include <gtest/gtest.h>

#include "VinolaCableStage.h"

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <vector>

namespace
{
    struct Tables
    {
        std::vector<float> contact, dropout;
        Tables() : contact (65536), dropout (65536)
        {
            for (int i = 0; i < 65536; ++i)
            {
                contact[(size_t) i] = 0.4f + 0.05f * (float) (i % 9);
                dropout[(size_t) i] = 0.1f * (float) (i % 11);
            }
        }
    };
}

TEST (VinolaCableStage, PerfectCableLeavesTheSignalAndAdvancesTheIndex)
{
    Tables t;
    VinolaCableStage cable;
    cable.setTables (t.contact.data(), t.dropout.data());
    for (int n = 0; n < 100; ++n)
    {
        float frame[2] { 0.3f, -0.7f };
        cable.process (frame, 2, 1.0f);
        ASSERT_EQ (frame[0], 0.3f);
        ASSERT_EQ (frame[1], -0.7f);
    }
    EXPECT_EQ (cable.tableIndex, 200);
    float mono[1] { 0.1f };
    cable.process (mono, 1, 1.0f);
    EXPECT_EQ (cable.tableIndex, 201);
}

TEST (VinolaCableStage, DropoutsFollowTheTableAndTheLeftChannelHalvesBelowPointTwo)
{
    Tables t;
    VinolaCableStage cable;
    cable.setTables (t.contact.data(), t.dropout.data());
    cable.tableIndex = 65535;                       // wraps onto entry 0 for the right channel

    float frame[2] { 1.0f, 1.0f };
    cable.process (frame, 2, 0.15f);
    EXPECT_FLOAT_EQ (frame[0], (1.0f - 0.85f * t.dropout[65535]) * 0.5f);
    EXPECT_FLOAT_EQ (frame[1], 1.0f - 0.85f * t.dropout[0]);
    EXPECT_EQ (cable.tableIndex, 1);

    float above[2] { 1.0f, 1.0f };
    cable.process (above, 2, 0.2f);
    EXPECT_FLOAT_EQ (above[0], 1.0f - 0.8f * t.dropout[1]);     // no halving at 0.2
}

TEST (VinolaCableStage, BadContactRectifiesAndReadsTwoEntriesPerChannel)
{
    Tables t;
    VinolaCableStage cable;
    cable.setTables (t.contact.data(), t.dropout.data());
    cable.tableIndex = 10;

    // A negative sample becomes a positive offset; the left channel is also halved.
    float frame[2] { -0.8f, 0.9f };
    cable.process (frame, 2, 0.05f);
    EXPECT_FLOAT_EQ (frame[0], 0.01f * (1.0f - 0.95f * t.dropout[11]) * 0.5f);
    EXPECT_FLOAT_EQ (frame[1], t.contact[12] * 0.9f * (1.0f - 0.95f * t.dropout[13]));
    EXPECT_GT (frame[0], 0.0f);
    EXPECT_EQ (cable.tableIndex, 14);

    // Mono: contact at even offsets from the start, dropout at odd ones, two entries a frame.
    for (int n = 0; n < 3; ++n)
    {
        const int i = 14 + 2 * n;
        float mono[1] { 1.0f };
        cable.process (mono, 1, 0.0f);
        EXPECT_FLOAT_EQ (mono[0], t.contact[(size_t) i] * (1.0f - t.dropout[(size_t) i + 1]) * 0.5f);
    }
    EXPECT_EQ (cable.tableIndex, 20);
}

TEST (VinolaCableStage, WithoutTablesTheSignalPasses)
{
    VinolaCableStage cable;
    float frame[2] { 0.3f, -0.3f };
    cable.process (frame, 2, 0.0f);
    EXPECT_EQ (frame[0], 0.3f);
    EXPECT_EQ (frame[1], -0.3f);
}

// Stereo runs take two frames at a time where they can; the tables' wrap, a quality that
// crosses 0.1 or 0.2 between the two frames, NaN and odd run lengths must all give what the
// frame function gives, bit for bit, and leave the index in the same place; so must NaN samples.
TEST (VinolaCableStage, StereoRunsMatchFrameByFrameAcrossLimitsAndTheTableWrap)
{
    Tables t;
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float qualities[] = { 0.05f, 0.05f, 0.1f, 0.099999994f, 0.15f, 0.2f, 0.19999999f, 0.5f,
                                1.0f, nan, 0.0f, 0.3f, 0.05f, 0.12f, 0.08f };
    const int numQualities = (int) (sizeof (qualities) / sizeof (qualities[0]));

    for (const int start : { 0, 65520, 65529, 65530, 65531, 65532, 65533, 65535 })
        for (const int length : { 1, 2, 3, 7, 16, 33 })
            for (int offset = 0; offset < numQualities; ++offset)
            {
                std::vector<float> quality, runL, runR, frameL, frameR;
                for (int i = 0; i < length; ++i)
                {
                    // Mostly pairs on one side, with some pairs split across a limit.
                    quality.push_back (qualities[(offset + i / 2 + (i % 3 == 2 ? 1 : 0)) % numQualities]);
                    float x = 0.7f * std::sin (0.9f * (float) i) - (i % 5 == 0 ? 0.004f : 0.0f);
                    if (i % 7 == 3)
                        x = nan;   // a NaN sample must stay NaN under the contact's floor
                    runL.push_back (x);
                    runR.push_back (-0.5f * x);
                }
                frameL = runL;
                frameR = runR;

                VinolaCableStage runs, frames;
                runs.setTables (t.contact.data(), t.dropout.data());
                frames.setTables (t.contact.data(), t.dropout.data());
                runs.tableIndex = frames.tableIndex = (std::uint16_t) start;

                float* channels[2] = { runL.data(), runR.data() };
                runs.processBlock (channels, 2, length, quality.data());
                for (int i = 0; i < length; ++i)
                {
                    float frame[2] = { frameL[(size_t) i], frameR[(size_t) i] };
                    frames.process (frame, 2, quality[(size_t) i]);
                    frameL[(size_t) i] = frame[0];
                    frameR[(size_t) i] = frame[1];
                }

                ASSERT_EQ (runs.tableIndex, frames.tableIndex) << start << " " << length << " " << offset;
                for (int i = 0; i < length; ++i)
                {
                    // Bit patterns, so that NaN compares too.
                    std::uint32_t a[2], b[2];
                    std::memcpy (&a[0], &runL[(size_t) i], 4);
                    std::memcpy (&a[1], &runR[(size_t) i], 4);
                    std::memcpy (&b[0], &frameL[(size_t) i], 4);
                    std::memcpy (&b[1], &frameR[(size_t) i], 4);
                    ASSERT_EQ (a[0], b[0]) << "left, frame " << i << " of " << start << " " << length << " " << offset;
                    ASSERT_EQ (a[1], b[1]) << "right, frame " << i << " of " << start << " " << length << " " << offset;
                }
            }
}
