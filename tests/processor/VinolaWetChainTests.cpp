// The wet chain (ducking, amplifier, wobble, cable) inside the whole processor: recovery from
// non-finite host input, bounded output at extreme settings, and the host rate reaching the
// crossover.
#include <gtest/gtest.h>

#include "VinolaAudioProcessor.h"
#include "VinolaParameterTable.h"

#include <cmath>
#include <limits>
#include <memory>

namespace
{
    using T = VinolaParameterTable;

    std::unique_ptr<VinolaAudioProcessor> everythingOn (double rate)
    {
        auto p = std::make_unique<VinolaAudioProcessor>();
        p->generatorMode.store (0);
        for (auto [index, value] : { std::pair<int, float> { T::ampNoise, 1.0f }, { T::vinylNoise, 1.0f }, { T::hum, 1.0f },
                                     { T::scratches, 1.0f }, { T::scratchesRate, 1.0f }, { T::ducking, 1.0f },
                                     { T::wobble, 1.0f }, { T::cableQuality, 0.05f }, { T::ampQuality, 0.3f },
                                     { T::needleQuality, 0.5f }, { T::mix, 0.7f } })
            p->parameterObjects[index]->setValueNotifyingHost (value);
        p->prepareToPlay (rate, 512);
        return p;
    }

    /** Runs one block of a sine (or of the given bad value at every 7th sample); returns the
        largest output magnitude, or NaN when any output sample is not finite. */
    float runBlock (VinolaAudioProcessor& p, int& phase, float bad = 0.0f, bool withBad = false)
    {
        juce::AudioBuffer<float> buffer (2, 512);
        for (int i = 0; i < 512; ++i, ++phase)
            for (int ch = 0; ch < 2; ++ch)
                buffer.setSample (ch, i, withBad && i % 7 == 0 ? bad : 0.5f * std::sin (0.02f * (float) phase));
        juce::MidiBuffer midi;
        p.processBlock (buffer, midi);

        float peak = 0.0f;
        for (int ch = 0; ch < 2; ++ch)
            for (int i = 0; i < 512; ++i)
            {
                const float v = buffer.getSample (ch, i);
                if (! std::isfinite (v))
                    return std::numeric_limits<float>::quiet_NaN();
                peak = std::fmax (peak, std::fabs (v));
            }
        return peak;
    }
}

TEST (VinolaWetChain, NonFiniteHostInputIsFollowedByFiniteOutputWithinOneBlock)
{
    const float bad[] = { std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity(),
                          -std::numeric_limits<float>::infinity() };
    for (float b : bad)
    {
        auto p = everythingOn (44100.0);
        int phase = 0;
        for (int n = 0; n < 20; ++n)
            ASSERT_TRUE (std::isfinite (runBlock (*p, phase)));

        runBlock (*p, phase, b, true);
        for (int n = 0; n < 20; ++n)
        {
            const float peak = runBlock (*p, phase);
            ASSERT_TRUE (std::isfinite (peak)) << "block " << n << " after " << b;
            ASSERT_GT (peak, 0.01f) << "block " << n << " after " << b;   // still carrying the music
        }
    }
}

TEST (VinolaWetChain, ExtremeSettingsStayBoundedAtEveryRate)
{
    for (double rate : { 22050.0, 44100.0, 48000.0, 96000.0, 192000.0 })
    {
        auto p = everythingOn (rate);
        p->parameterObjects[T::inputGain]->setValueNotifyingHost (1.0f);     // +24 dB
        p->parameterObjects[T::outputGain]->setValueNotifyingHost (1.0f);
        p->parameterObjects[T::ampQuality]->setValueNotifyingHost (1.0f);    // widest tone filters
        int phase = 0;
        float peak = 0.0f;
        for (int n = 0; n < 200; ++n)
            peak = std::fmax (peak, runBlock (*p, phase));
        EXPECT_TRUE (std::isfinite (peak)) << rate;
        EXPECT_LT (peak, 100.0f) << rate;     // saturated, weighted, +24 dB out, plus dry and noise

        EXPECT_EQ (p->dsp.amp.getCrossover().getSampleRate(), (float) rate);
    }
}
