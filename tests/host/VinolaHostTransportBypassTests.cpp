// The built plug-in's audio as hosts drive it: an LV2 host that sends the transport only when it
// changes (as LV2 hosts do), and bypass through each format's own switch (the VST3's bypass
// parameter, the LV2's `enabled` port) in a latency-compensated session.
#include <gtest/gtest.h>
#include <juce_audio_processors/juce_audio_processors.h>

#include "VinolaHostTestSupport.h"

#include <cmath>
#include <iostream>
#include <vector>

using namespace hosttest;

namespace
{
    /** A host's transport that is reported in the first `reports` blocks only. JUCE's LV2 hosting
        writes a time:Position to the plug-in exactly when its play head gives a position. */
    struct ReportedOnChange : juce::AudioPlayHead
    {
        bool playing = false;
        mutable int reports = 0;

        juce::Optional<PositionInfo> getPosition() const override
        {
            if (reports <= 0)
                return {};
            --reports;
            PositionInfo info;
            info.setIsPlaying (playing);
            info.setTimeInSamples (0);
            return info;
        }
    };

    double decibels (float peak) { return peak > 0.0f ? 20.0 * std::log10 ((double) peak) : -999.0; }
}

// Default state: the generators follow the host's transport. Silence in, so whatever comes out
// is the generators' noise.
TEST (HostedPlugin, Lv2FollowsATransportSentOnlyWhenItChanges)
{
    struct Case { const char* what; int reports; bool playing; bool sounds; };
    const Case cases[] = {
        { "stopped once, then nothing", 1, false, false },
        { "rolling once, then nothing", 1, true, true },
        { "never a position", 0, false, true },
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.what);
        auto plugin = loadLv2();
        ASSERT_NE (plugin, nullptr);
        plugin->setPlayConfigDetails (2, 2, 48000.0, 256);
        plugin->prepareToPlay (48000.0, 256);
        ReportedOnChange transport;
        transport.reports = c.reports;
        transport.playing = c.playing;
        plugin->setPlayHead (&transport);

        // Half a second in 256-frame blocks, as jalv's JACK server runs; the first block, which
        // carries the position, is measured too.
        juce::AudioBuffer<float> buffer (2, 256);
        juce::MidiBuffer midi;
        float peak = 0.0f, lastPeak = 0.0f;
        for (int block = 0; block < 94; ++block)
        {
            buffer.clear();
            plugin->processBlock (buffer, midi);
            lastPeak = std::max (buffer.getMagnitude (0, 0, 256), buffer.getMagnitude (1, 0, 256));
            peak = std::max (peak, lastPeak);
        }
        std::cout << "  LV2, " << c.what << ": peak " << decibels (peak) << " dBFS, last block "
                  << decibels (lastPeak) << " dBFS" << std::endl;
        if (c.sounds)
        {
            EXPECT_GT (lastPeak, 0.001f);   // the record's noise, well above -60 dBFS
        }
        else
        {
            // Silence: the chain's start from rest stays below -100 dBFS and dies away.
            EXPECT_LT (peak, 1.0e-5f);
            EXPECT_LT (lastPeak, 1.0e-7f);
        }
        plugin->setPlayHead (nullptr);
        plugin->releaseResources();
    }
}

// Bypassed blocks give the input exactly 4 frames late, continuing across block edges, and
// across each switch once its 5 ms crossfade (221 frames here) has run.
TEST (HostedPlugin, BypassDelaysTheInputByTheReportedLatency)
{
    struct Case { const char* format; int numChannels; };
    const Case cases[] = { { "VST3", 1 }, { "VST3", 2 }, { "LV2", 2 } };   // LV2 ports are stereo
    const int blockSize = 512, numBlocks = 6;
    const bool bypassedBlocks[numBlocks] = { true, true, false, true, false, true };
    const int impulses[] = { 0, 3, 100, 510, 511, 512, 1020, 1535, 1536 + 509, 1536 + 511, 2048 + 2, 2560 - 1, 2560, 2560 + 511 };
    for (const auto& c : cases)
    {
        SCOPED_TRACE (juce::String (c.format) + ", " + juce::String (c.numChannels) + " channel(s)");
        auto plugin = juce::String (c.format) == "VST3" ? loadVst3() : loadLv2();
        ASSERT_NE (plugin, nullptr);
        const auto set = c.numChannels == 1 ? juce::AudioChannelSet::mono() : juce::AudioChannelSet::stereo();
        juce::AudioProcessor::BusesLayout layout;
        layout.inputBuses.add (set);
        layout.outputBuses.add (set);
        ASSERT_TRUE (plugin->setBusesLayout (layout));
        plugin->prepareToPlay (44100.0, blockSize);
        auto* bypass = plugin->getBypassParameter();
        ASSERT_NE (bypass, nullptr);

        std::vector<std::vector<float>> input ((size_t) c.numChannels, std::vector<float> (blockSize * numBlocks, 0.0f));
        for (int ch = 0; ch < c.numChannels; ++ch)
            for (size_t k = 0; k < std::size (impulses); ++k)
                input[(size_t) ch][(size_t) impulses[k]] = (ch == 0 ? 0.5f : -0.25f) * (float) (k + 1) / (float) std::size (impulses);

        juce::AudioBuffer<float> buffer (c.numChannels, blockSize);
        juce::MidiBuffer midi;
        for (int block = 0; block < numBlocks; ++block)
        {
            const int start = block * blockSize;
            for (int ch = 0; ch < c.numChannels; ++ch)
                buffer.copyFrom (ch, 0, input[(size_t) ch].data() + start, blockSize);
            bypass->setValueNotifyingHost (bypassedBlocks[block] ? 1.0f : 0.0f);
            plugin->processBlock (buffer, midi);
            if (! bypassedBlocks[block])
                continue;
            for (int ch = 0; ch < c.numChannels; ++ch)
                for (int i = block > 0 && ! bypassedBlocks[block - 1] ? 221 : 0; i < blockSize; ++i)
                {
                    const int frame = start + i;
                    ASSERT_EQ (buffer.getSample (ch, i), frame < 4 ? 0.0f : input[(size_t) ch][(size_t) (frame - 4)])
                        << "channel " << ch << ", frame " << frame;
                }
        }
        // What the host compensates: the VST3 reports its latency once active, the LV2 through
        // its latency port after a run; JUCE's hosting takes either on the message thread.
        for (int wait = 0; wait < 100 && plugin->getLatencySamples() != 4; ++wait)
            pump (10);
        EXPECT_EQ (plugin->getLatencySamples(), 4);
        plugin->releaseResources();
    }
}

// A -6 dBFS 1 kHz sine at 48 kHz, the transport stopped (no generated noise), bypass switched on
// and off every 10 blocks: the largest step from frame to frame in the 10 ms after a switch
// stays within 1.5 times the largest step elsewhere. The chain is not phase-true, so a hard
// switch to or from the delayed input stepped 10 to 12 times as far.
TEST (HostedPlugin, BypassSwitchesStepNoFurtherThanTheSignalElsewhere)
{
    for (const juce::String format : { "VST3", "LV2" })
        for (float mix : { 0.0f, 1.0f })
        {
            ReportedOnChange stopped;
            stopped.reports = 1;
            auto plugin = format == "VST3" ? loadVst3() : loadLv2();
            ASSERT_NE (plugin, nullptr);
            plugin->prepareToPlay (48000.0, 256);
            plugin->setPlayHead (&stopped);
            for (auto* p : plugin->getParameters())
                if (p->getName (64) == "MIX")
                    p->setValueNotifyingHost (mix);

            juce::AudioBuffer<float> buffer (2, 256);
            juce::MidiBuffer midi;
            float largest[2] = {}, last = 0.0f;   // near a switch, elsewhere
            for (int block = 0; block < 100; ++block)
            {
                plugin->getBypassParameter()->setValueNotifyingHost (block / 10 % 2 == 1 ? 1.0f : 0.0f);
                for (int i = 0; i < 256; ++i)
                    for (int ch = 0; ch < 2; ++ch)
                        buffer.setSample (ch, i, 0.5f * std::sin (juce::MathConstants<float>::twoPi * (float) ((block * 256 + i) % 48) / 48.0f));
                plugin->processBlock (buffer, midi);
                for (int i = 0; i < 256; last = buffer.getSample (0, i++))
                {
                    auto& step = largest[block % 10 * 256 + i < 480 ? 0 : 1];
                    step = std::max (step, block >= 10 ? std::abs (buffer.getSample (0, i) - last) : 0.0f);
                }
            }
            EXPECT_LE (largest[0], 1.5f * largest[1]) << format << ", MIX " << mix;
        }
}
