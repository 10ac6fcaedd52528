#include <gtest/gtest.h>

#include "VinolaCableStage.h"

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
