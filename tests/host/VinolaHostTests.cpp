// Loads the built plug-in through JUCE's own hosting code, as a host would.
#include <gtest/gtest.h>
#include <juce_audio_processors/juce_audio_processors.h>
#include <X11/Xlib.h>

#include "VinolaHostTestSupport.h"

#include <algorithm>
#include <cmath>
#include <iostream>
#include <limits>
#include <vector>

using namespace hosttest;

namespace
{
    int ignoreXErrors (Display*, XErrorEvent*) { return 0; }

    const char* const expectedNames[] = { "INPUT GAIN", "AMP NOISE", "VINYL NOISE", "HUM", "SCRATCHES",
                                          "SCRATCHES RATE", "HUM FREQ SW", "NEEDLE QUALITY", "AMP QUALITY",
                                          "CABLE QUALITY", "OUTPUT GAIN", "MIX", "DUCKING", "WOBBLE" };

    // Parameters of our own, in order, skipping what a wrapper adds (its bypass).
    juce::StringArray ownParameterNames (juce::AudioPluginInstance& plugin)
    {
        juce::StringArray names;
        for (auto* p : plugin.getParameters())
        {
            const auto name = p->getName (64);
            if (! name.equalsIgnoreCase ("Bypass"))
                names.add (name);
        }
        return names;
    }

    // LV2 hosts list parameters in their own order, so only VST3 is held to the table's order.
    void checkPlugin (juce::AudioPluginInstance& plugin, bool inTableOrder)
    {
        auto names = ownParameterNames (plugin);
        ASSERT_EQ (names.size(), 14);
        juce::StringArray expected (expectedNames, 14);
        if (! inTableOrder)
        {
            names.sort (false);
            expected.sort (false);
        }
        for (int i = 0; i < 14; ++i)
            EXPECT_EQ (names[i], expected[i]);

        plugin.setPlayConfigDetails (2, 2, 44100.0, 512);
        plugin.prepareToPlay (44100.0, 512);
        juce::AudioBuffer<float> buffer (2, 512);
        for (int i = 0; i < 512; ++i)
        {
            buffer.setSample (0, i, 0.25f * std::sin ((float) i * 0.05f));
            buffer.setSample (1, i, 0.25f * std::sin ((float) i * 0.07f));
        }
        juce::MidiBuffer midi;
        plugin.processBlock (buffer, midi);
        for (int ch = 0; ch < 2; ++ch)
            for (int i = 0; i < 512; ++i)
                ASSERT_TRUE (std::isfinite (buffer.getSample (ch, i)));
        plugin.releaseResources();
    }
}

TEST (HostedPlugin, Vst3LoadsProcessesAndRoundTripsState)
{
    juce::VST3PluginFormat format;
    auto plugin = loadPlugin (format, VINOLA_VST3_PATH);
    ASSERT_NE (plugin, nullptr) << "no VST3 at " << VINOLA_VST3_PATH;
    EXPECT_EQ (plugin->getName(), "Vinola");
    checkPlugin (*plugin, true);

    // Change two parameters, save through the wrapper, disturb them, restore.
    auto* wobble = plugin->getParameters()[13];
    auto* mix = plugin->getParameters()[11];
    ASSERT_EQ (wobble->getName (64), "WOBBLE");
    wobble->setValueNotifyingHost (0.75f);
    mix->setValueNotifyingHost (0.25f);

    juce::MemoryBlock state;
    plugin->getStateInformation (state);
    EXPECT_GT (state.getSize(), 0u);

    wobble->setValueNotifyingHost (0.0f);
    mix->setValueNotifyingHost (1.0f);
    plugin->setStateInformation (state.getData(), (int) state.getSize());

    EXPECT_NEAR (wobble->getValue(), 0.75f, 1e-6f);
    EXPECT_NEAR (mix->getValue(), 0.25f, 1e-6f);
}

TEST (HostedPlugin, Lv2LoadsAndProcesses)
{
    const juce::File bundle (VINOLA_LV2_PATH);
    juce::LV2PluginFormat scanner;
    const auto ids = scanner.searchPathsForPlugins (juce::FileSearchPath (bundle.getParentDirectory().getFullPathName()), true, false);
    juce::String uri;
    for (const auto& id : ids)
        if (id.contains ("vinola"))
            uri = id;
    ASSERT_TRUE (uri.isNotEmpty()) << ids.joinIntoString (", ").toStdString();
    auto plugin = loadPlugin (scanner, uri);
    ASSERT_NE (plugin, nullptr);
    checkPlugin (*plugin, false);
}

namespace
{
    /** Music-like stereo input at -6 dBFS peak (three partials per channel), continuing its
        phase from frame to frame across calls. */
    struct Music
    {
        double frame = 0.0;

        void fill (juce::AudioBuffer<float>& buffer, double rate)
        {
            for (int i = 0; i < buffer.getNumSamples(); ++i, frame += 1.0)
            {
                const double t = frame / rate;
                const double twoPi = juce::MathConstants<double>::twoPi;
                buffer.setSample (0, i, (float) (0.25 * std::sin (twoPi * 110.0 * t) + 0.15 * std::sin (twoPi * 880.0 * t)
                                                 + 0.1 * std::sin (twoPi * 3300.0 * t)));
                buffer.setSample (1, i, (float) (0.25 * std::sin (twoPi * 165.0 * t) + 0.15 * std::sin (twoPi * 1320.0 * t)
                                                 + 0.1 * std::sin (twoPi * 5100.0 * t)));
            }
        }
    };

    void prepare (juce::AudioPluginInstance& plugin, double rate, int blockSize)
    {
        plugin.setPlayConfigDetails (2, 2, rate, blockSize);
        plugin.prepareToPlay (rate, blockSize);
    }

    /** Plays `seconds` of music in blocks; returns every output sample, both channels interleaved. */
    std::vector<float> play (juce::AudioPluginInstance& plugin, Music& music, double rate, int blockSize, double seconds)
    {
        std::vector<float> out;
        juce::AudioBuffer<float> buffer (2, blockSize);
        juce::MidiBuffer midi;
        for (int done = 0; done < (int) (seconds * rate); done += blockSize)
        {
            music.fill (buffer, rate);
            plugin.processBlock (buffer, midi);
            for (int i = 0; i < blockSize; ++i)
                for (int ch = 0; ch < 2; ++ch)
                    out.push_back (buffer.getSample (ch, i));
        }
        return out;
    }

    float peakOf (const std::vector<float>& samples)
    {
        float peak = 0.0f;
        for (float v : samples)
            peak = std::isfinite (v) ? std::max (peak, std::fabs (v)) : std::numeric_limits<float>::infinity();
        return peak;
    }

    /** With the noise sources at zero the output depends on the input and the plug-in's state alone. */
    void silenceNoiseSources (juce::AudioPluginInstance& plugin)
    {
        for (int index : { 1, 2, 3, 4 })   // AMP NOISE, VINYL NOISE, HUM, SCRATCHES
            plugin.getParameters()[index]->setValueNotifyingHost (0.0f);
    }
}

// What a DAW does when the audio device changes rate: release, then prepare again at the new
// rate. The first 100 ms after the switch must be no louder than a new instance's first 100 ms
// at that rate (before, going down to 22.05 kHz peaked at +27 dBFS).
TEST (HostedPlugin, Vst3RateChangeStartsAsCleanlyAsANewInstance)
{
    // The hosted instance sees a stopped transport, so its generators are off; with the noise
    // sources at zero as well, both instances' output comes from the music and their state alone.
    struct Case { double from, to; };
    const Case cases[] = { { 96000.0, 22050.0 }, { 44100.0, 22050.0 }, { 192000.0, 32000.0 }, { 22050.0, 96000.0 },
                           { 48000.0, 44100.0 } };
    for (const auto& c : cases)
    {
        SCOPED_TRACE (juce::String (c.from) + " -> " + juce::String (c.to));
        auto fresh = loadVst3(), switched = loadVst3();
        ASSERT_NE (fresh, nullptr);
        ASSERT_NE (switched, nullptr);
        silenceNoiseSources (*fresh);
        silenceNoiseSources (*switched);

        Music musicBefore, musicFresh, musicAfter;
        prepare (*switched, c.from, 512);
        play (*switched, musicBefore, c.from, 512, 1.0);
        switched->releaseResources();
        prepare (*switched, c.to, 512);
        const float peakSwitched = peakOf (play (*switched, musicAfter, c.to, 512, 0.1));

        prepare (*fresh, c.to, 512);
        const float peakFresh = peakOf (play (*fresh, musicFresh, c.to, 512, 0.1));

        std::cout << "  first 100 ms at " << c.to << " Hz after " << c.from << " Hz: peak " << peakSwitched
                  << ", a new instance " << peakFresh << std::endl;
        EXPECT_LT (peakSwitched, 1.05f * peakFresh + 0.01f);
        switched->releaseResources();
        fresh->releaseResources();
    }
}

// A host may prepare again at the same rate at any time (here for a new block size): the sound
// carries on exactly as if nothing had happened.
TEST (HostedPlugin, Vst3PreparedAgainAtTheSameRateLosesNothing)
{
    auto steady = loadVst3(), reprepared = loadVst3();
    ASSERT_NE (steady, nullptr);
    ASSERT_NE (reprepared, nullptr);
    // WOBBLE at 1 keeps 6 ms of history in the delay lines, all of it audible.
    for (auto* plugin : { steady.get(), reprepared.get() })
    {
        silenceNoiseSources (*plugin);
        plugin->getParameters()[13]->setValueNotifyingHost (1.0f);
        prepare (*plugin, 48000.0, 512);
    }

    Music a, b;
    play (*steady, a, 48000.0, 512, 0.5);
    play (*reprepared, b, 48000.0, 512, 0.5);
    reprepared->releaseResources();
    prepare (*reprepared, 48000.0, 256);
    const auto expected = play (*steady, a, 48000.0, 512, 0.1);
    std::vector<float> got;
    for (int i = 0; i < 2; ++i)
    {
        const auto half = play (*reprepared, b, 48000.0, 256, 0.05);
        got.insert (got.end(), half.begin(), half.end());
    }
    ASSERT_EQ (got.size(), expected.size());
    float difference = 0.0f;
    for (size_t i = 0; i < got.size(); ++i)
        difference = std::max (difference, std::fabs (got[i] - expected[i]));
    EXPECT_LT (difference, 1.0e-4f);
    EXPECT_GT (peakOf (expected), 0.1f);
}

int main (int argc, char** argv)
{
    XSetErrorHandler (ignoreXErrors);
    ::testing::InitGoogleTest (&argc, argv);
    juce::ScopedJuceInitialiser_GUI juce;
    return RUN_ALL_TESTS();
}
