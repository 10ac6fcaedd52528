// The parameters as the host sees them, and the 60-byte saved state with its rules for short,
// long and damaged blobs.
#include <gtest/gtest.h>
#include "VinolaAudioProcessor.h"
#include "VinolaParameterTable.h"

#include <cmath>
#include <cstring>
#include <limits>
#include <vector>

namespace
{
    const char* const names[] = { "INPUT GAIN", "AMP NOISE", "VINYL NOISE", "HUM", "SCRATCHES", "SCRATCHES RATE",
                                  "HUM FREQ SW", "NEEDLE QUALITY", "AMP QUALITY", "CABLE QUALITY", "OUTPUT GAIN",
                                  "MIX", "DUCKING", "WOBBLE" };
    const float defaults[] = { 2.0f / 3.0f, 0.05f, 0.1f, 0.15f, 0.8f, 0.5f, 0.0f, 0.9f, 0.7f, 1.0f, 2.0f / 3.0f, 1.0f, 0.5f, 0.0f };

    float value (VinolaAudioProcessor& p, int index) { return p.getParameters()[index]->getValue(); }

    void putFloat (std::vector<char>& blob, size_t offset, float v) { std::memcpy (blob.data() + offset, &v, 4); }
    void putInt (std::vector<char>& blob, size_t offset, juce::int32 v) { std::memcpy (blob.data() + offset, &v, 4); }

    // A full blob with distinct values: parameter i = 0.05 * (i + 1), mode 0.
    std::vector<char> distinctBlob()
    {
        std::vector<char> blob (60);
        for (int i = 0; i < 13; ++i)
            putFloat (blob, (size_t) i * 4, 0.05f * (float) (i + 1));
        putInt (blob, 52, 0);
        putFloat (blob, 56, 0.7f);
        return blob;
    }

    void restore (VinolaAudioProcessor& p, const std::vector<char>& blob, size_t size)
    {
        p.setStateInformation (blob.data(), (int) size);
    }
}

TEST (VinolaParameters, IdsNamesHintsAndDefaults)
{
    VinolaAudioProcessor p;
    const auto& params = p.getParameters();
    ASSERT_EQ (params.size(), 14);
    for (int i = 0; i < 14; ++i)
    {
        auto* f = dynamic_cast<juce::AudioParameterFloat*> (params[i]);
        ASSERT_NE (f, nullptr);
        EXPECT_EQ (f->getParameterID(), juce::String (i) + names[i]);
        EXPECT_EQ (f->getName (100), juce::String (names[i]));
        EXPECT_EQ (f->getVersionHint(), i == 13 ? 2 : 1);
        EXPECT_FLOAT_EQ (params[i]->getDefaultValue(), defaults[i]) << names[i];
        EXPECT_FLOAT_EQ (params[i]->getValue(), defaults[i]) << names[i];
        EXPECT_EQ (f->range.start, 0.0f);
        EXPECT_EQ (f->range.end, 1.0f);
        EXPECT_TRUE (f->getLabel().isEmpty());
        EXPECT_EQ (p.parameterObjects[i], f);
    }
    EXPECT_EQ (juce::String (VinolaParameterTable::rows[1].longName), VinolaParameterTable::rows[2].longName);
}

TEST (VinolaState, LayoutIsThirteenValuesThenModeThenWobble)
{
    VinolaAudioProcessor p;
    restore (p, distinctBlob(), 60);
    p.generatorMode = 2;

    juce::MemoryBlock state;
    state.append ("ab", 2);  // the blob is appended to what the block already holds
    p.getStateInformation (state);
    ASSERT_EQ (state.getSize(), 62u);

    const char* bytes = static_cast<const char*> (state.getData()) + 2;
    for (int i = 0; i < 13; ++i)
    {
        float v;
        std::memcpy (&v, bytes + i * 4, 4);
        EXPECT_FLOAT_EQ (v, 0.05f * (float) (i + 1));
    }
    juce::int32 mode;
    std::memcpy (&mode, bytes + 52, 4);
    EXPECT_EQ (mode, 2);
    float wobble;
    std::memcpy (&wobble, bytes + 56, 4);
    EXPECT_FLOAT_EQ (wobble, 0.7f);
}

TEST (VinolaState, RoundTripRestoresEveryValueAndTheMode)
{
    VinolaAudioProcessor a;
    for (int i = 0; i < 14; ++i)
        a.getParameters()[i]->setValueNotifyingHost (0.03f * (float) (i + 2));
    a.generatorMode = 0;
    juce::MemoryBlock state;
    a.getStateInformation (state);
    ASSERT_EQ (state.getSize(), 60u);

    VinolaAudioProcessor b;
    b.setStateInformation (state.getData(), (int) state.getSize());
    for (int i = 0; i < 14; ++i)
        EXPECT_FLOAT_EQ (value (b, i), 0.03f * (float) (i + 2)) << i;
    EXPECT_EQ (b.generatorMode.load(), 0);
}

TEST (VinolaState, ShortBlobsFallBackValueByValue)
{
    const auto blob = distinctBlob();

    {   // empty: every value 0, mode follows the host, no wobble
        VinolaAudioProcessor p;
        p.generatorMode = 0;
        p.setStateInformation (nullptr, 0);
        for (int i = 0; i < 14; ++i)
            EXPECT_EQ (value (p, i), 0.0f) << i;
        EXPECT_EQ (p.generatorMode.load(), 1);
    }
    {   // 10 bytes: two values, the third eaten by a partial read
        VinolaAudioProcessor p;
        restore (p, blob, 10);
        EXPECT_FLOAT_EQ (value (p, 0), 0.05f);
        EXPECT_FLOAT_EQ (value (p, 1), 0.10f);
        for (int i = 2; i < 14; ++i)
            EXPECT_EQ (value (p, i), 0.0f) << i;
        EXPECT_EQ (p.generatorMode.load(), 1);
    }
    {   // 52 bytes: thirteen values, mode 1, WOBBLE 0
        VinolaAudioProcessor p;
        p.generatorMode = 2;
        restore (p, blob, 52);
        EXPECT_FLOAT_EQ (value (p, 12), 0.65f);
        EXPECT_EQ (p.generatorMode.load(), 1);
        EXPECT_EQ (value (p, 13), 0.0f);
    }
    for (size_t size : { 53u, 54u, 55u })
    {   // a partial mode reads as 0 (always on)
        VinolaAudioProcessor p;
        auto withMode2 = blob;
        putInt (withMode2, 52, 2);
        restore (p, withMode2, size);
        EXPECT_EQ (p.generatorMode.load(), 0) << size;
        EXPECT_EQ (value (p, 13), 0.0f) << size;
    }
    {   // 56 bytes: the mode is kept, WOBBLE 0
        VinolaAudioProcessor p;
        auto withMode2 = blob;
        putInt (withMode2, 52, 2);
        restore (p, withMode2, 56);
        EXPECT_EQ (p.generatorMode.load(), 2);
        EXPECT_EQ (value (p, 13), 0.0f);
    }
    {   // 60 and 100 bytes: everything, the tail ignored
        for (size_t size : { 60u, 100u })
        {
            auto longBlob = blob;
            longBlob.resize (100, 0x7f);
            VinolaAudioProcessor p;
            restore (p, longBlob, size);
            EXPECT_FLOAT_EQ (value (p, 0), 0.05f);
            EXPECT_EQ (p.generatorMode.load(), 0);
            EXPECT_FLOAT_EQ (value (p, 13), 0.7f);
        }
    }
}

TEST (VinolaState, OddButFiniteValuesAreKeptOrClamped)
{
    auto blob = distinctBlob();
    putInt (blob, 52, -5);        // no range check on the mode
    putFloat (blob, 4, 3.5f);     // out of range: clamped like any host value
    putFloat (blob, 8, -2.0f);
    VinolaAudioProcessor p;
    restore (p, blob, 60);
    EXPECT_EQ (p.generatorMode.load(), -5);
    EXPECT_EQ (value (p, 1), 1.0f);
    EXPECT_EQ (value (p, 2), 0.0f);
}

TEST (VinolaState, NonFiniteValuesRestoreTheDefault)
{
    auto blob = distinctBlob();
    putFloat (blob, 0, std::numeric_limits<float>::quiet_NaN());
    putFloat (blob, 12, std::numeric_limits<float>::infinity());
    putFloat (blob, 40, -std::numeric_limits<float>::infinity());
    putFloat (blob, 56, std::numeric_limits<float>::quiet_NaN());
    VinolaAudioProcessor p;
    restore (p, blob, 60);
    EXPECT_FLOAT_EQ (value (p, 0), 2.0f / 3.0f);
    EXPECT_FLOAT_EQ (value (p, 3), 0.15f);
    EXPECT_FLOAT_EQ (value (p, 10), 2.0f / 3.0f);
    EXPECT_FLOAT_EQ (value (p, 13), 0.0f);
    EXPECT_FLOAT_EQ (value (p, 1), 0.10f);  // neighbours untouched
    for (int i = 0; i < 14; ++i)
        EXPECT_TRUE (std::isfinite (value (p, i)));
}
