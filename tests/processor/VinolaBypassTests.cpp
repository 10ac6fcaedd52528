// Bypass as a latency-compensating host relies on it: the input comes out exactly as late as the
// reported latency, mono and stereo, whatever the block sizes, and once the crossfade after a
// switch has run, neither road has dropped, repeated or staled a sample.
#include <gtest/gtest.h>
#include "VinolaAudioProcessor.h"
#include "VinolaParameterTable.h"

#include <cmath>
#include <vector>

namespace
{
    // Block splits a host may use: single frames, shorter than, equal to and just over the
    // latency, a common size, and an irregular mixture.
    const std::vector<std::vector<int>> blockSplits = { { 1 }, { 3 }, { 4 }, { 5 }, { 512 }, { 7, 1, 300, 2, 4, 64, 3 } };

    /** Which bypass state the block starting in the n-th stretch of 100 frames gets: `pattern`
        repeats over the stretches. 100 frames are shorter than the crossfade, 200 too. */
    struct Schedule
    {
        const char* what;
        std::vector<bool> pattern;
    };

    /** Renders `input` (per channel) in the split's block sizes, bypassing blocks as the schedule
        says; returns the output and, per frame, whether it was rendered bypassed. */
    std::vector<std::vector<float>> render (VinolaAudioProcessor& p, const std::vector<std::vector<float>>& input,
                                            const std::vector<int>& split, const std::vector<bool>& pattern,
                                            std::vector<bool>* bypassedFrames = nullptr)
    {
        const int numChannels = (int) input.size(), total = (int) input[0].size();
        auto output = input;
        juce::AudioBuffer<float> buffer (numChannels, 2048);
        juce::MidiBuffer midi;
        for (int start = 0, block = 0; start < total; ++block)
        {
            const int n = std::min (split[(size_t) block % split.size()], total - start);
            const bool bypassed = pattern[(size_t) (start / 100) % pattern.size()];
            buffer.setSize (numChannels, n, false, false, true);
            for (int ch = 0; ch < numChannels; ++ch)
                buffer.copyFrom (ch, 0, input[(size_t) ch].data() + start, n);
            if (bypassed)
                p.processBlockBypassed (buffer, midi);
            else
                p.processBlock (buffer, midi);
            for (int ch = 0; ch < numChannels; ++ch)
                std::copy (buffer.getReadPointer (ch), buffer.getReadPointer (ch) + n, output[(size_t) ch].begin() + start);
            if (bypassedFrames != nullptr)
                bypassedFrames->insert (bypassedFrames->end(), (size_t) n, bypassed);
            start += n;
        }
        return output;
    }

    void prepare (VinolaAudioProcessor& p, int numChannels, double sampleRate = 44100.0)
    {
        const auto set = numChannels == 1 ? juce::AudioChannelSet::mono() : juce::AudioChannelSet::stereo();
        juce::AudioProcessor::BusesLayout layout;
        layout.inputBuses.add (set);
        layout.outputBuses.add (set);
        ASSERT_TRUE (p.setBusesLayout (layout));
        p.prepareToPlay (sampleRate, 512);
    }
}

TEST (VinolaBypass, BypassedOutputIsTheInputDelayedByTheReportedLatency)
{
    // Impulses at the edges of every split's blocks, each channel its own, with its own heights.
    const int positions[] = { 0, 1, 2, 3, 4, 5, 8, 11, 511, 512, 513, 515, 1000, 1023, 2047 };
    const int total = 2400;
    for (int numChannels : { 1, 2 })
    {
        for (const auto& split : blockSplits)
        {
            SCOPED_TRACE (juce::String (numChannels) + " channel(s), first block " + juce::String (split[0]));
            VinolaAudioProcessor p;
            prepare (p, numChannels);
            ASSERT_EQ (p.getLatencySamples(), VinolaAudioProcessor::latencySamples);
            ASSERT_EQ (p.getLatencySamples(), 4);

            std::vector<std::vector<float>> input ((size_t) numChannels, std::vector<float> ((size_t) total, 0.0f));
            for (int ch = 0; ch < numChannels; ++ch)
                for (size_t k = 0; k < std::size (positions); ++k)
                    input[(size_t) ch][(size_t) (positions[k] + 7 * ch)] = (ch == 0 ? 1.0f : -0.5f) * (float) (k + 1) / 16.0f;

            const auto output = render (p, input, split, { true });
            for (int ch = 0; ch < numChannels; ++ch)
                for (int i = 0; i < total; ++i)
                    ASSERT_EQ (output[(size_t) ch][(size_t) i], i < 4 ? 0.0f : input[(size_t) ch][(size_t) (i - 4)])
                        << "channel " << ch << ", frame " << i;
        }
    }
}

// While bypassed the host hears the input 4 frames late; once the crossfade after a switch ends it
// hears the chain exactly as an instance that never was bypassed plays it (the chain heard the
// input all along, so neither its delay lines nor its filters hold stale sound). A switch back
// during a fade settles as exactly. Each fade mixes the two linearly over 5 ms at every rate, and a
// switch back turns it round where it stands, so the output never steps.
TEST (VinolaBypass, AfterEachCrossfadeBypassedOutputIsTheDelayedInputAndProcessedOutputTheUnbrokenChain)
{
    const Schedule schedules[] = {
        { "every other stretch", { true, false } },
        { "two on, three off", { true, true, false, false, false } },
        { "off first, then on for a while", { false, false, true, true, true, true, false } },
        { "longer than a fade at 96 kHz", { true, true, true, true, true, true, false, false, false, false, false, false } },
    };
    const int total = 6000;
    for (int numChannels : { 1, 2 })
    for (double rate : { 44100.0, 48000.0, 96000.0 })
    {
        std::vector<std::vector<float>> input ((size_t) numChannels, std::vector<float> ((size_t) total));
        for (int ch = 0; ch < numChannels; ++ch)
            for (int i = 0; i < total; ++i)
                input[(size_t) ch][(size_t) i] = 0.4f * std::sin ((float) i * (ch == 0 ? 0.031f : 0.047f))
                                                 + 0.1f * std::sin ((float) i * 0.9f + (float) ch);

        for (const auto& split : blockSplits)
        {
            for (const auto& schedule : schedules)
            {
                SCOPED_TRACE (juce::String (numChannels) + " channel(s), " + juce::String (rate) + " Hz, first block "
                              + juce::String (split[0]) + ", " + schedule.what);
                // No generated noise: both instances' output comes from the input and their state
                // alone. WOBBLE keeps several milliseconds of input in the chain's delay lines.
                VinolaAudioProcessor switched, reference;
                for (auto* p : { &switched, &reference })
                {
                    prepare (*p, numChannels, rate);
                    p->generatorMode = 2;
                    p->parameterObjects[VinolaParameterTable::wobble]->setValueNotifyingHost (0.8f);
                }

                std::vector<bool> bypassedFrames;
                const auto got = render (switched, input, split, schedule.pattern, &bypassedFrames);
                const auto expected = render (reference, input, split, { false });
                // 5 ms, worked out here and not asked of the processor, so that a wrong length shows.
                // `place` is where the fade stands after each frame: 0 the chain alone, `fade` the delayed input.
                const int fade = (int) std::lround (rate * 0.005);
                for (int ch = 0; ch < numChannels; ++ch)
                    for (int i = 0, place = bypassedFrames[0] ? fade : 0; i < total; ++i)
                    {
                        place += bypassedFrames[(size_t) i] ? (place < fade ? 1 : 0) : (place > 0 ? -1 : 0);
                        const float toDelayed = (float) place / (float) fade;
                        const float want = (1.0f - toDelayed) * expected[(size_t) ch][(size_t) i]
                                           + toDelayed * (i < 4 ? 0.0f : input[(size_t) ch][(size_t) (i - 4)]);
                        ASSERT_NEAR (got[(size_t) ch][(size_t) i], want, place % fade == 0 ? 0.0f : 1.0e-6f)
                            << "channel " << ch << ", frame " << i << (bypassedFrames[(size_t) i] ? " (bypassed)" : "");
                    }
            }
        }
    }
}

// Stereo, mono, then stereo again: the right channel starts from silence, not from the frames it
// held before the mono blocks, and the left one runs on. Bypassed, that is the latency delay's
// history; processed, the filters' and the wobble line's (which replayed half the level), and the
// DC that the tone filters track, which a sudden AMP QUALITY change would carry back in.
TEST (VinolaBypass, AChannelThatComesBackStartsFromSilence)
{
    for (bool bypassed : { true, false })
    {
        VinolaAudioProcessor p;
        p.generatorMode.store (2);
        p.parameterObjects[VinolaParameterTable::wobble]->setValueNotifyingHost (1.0f);
        p.parameterObjects[VinolaParameterTable::ampQuality]->setValueNotifyingHost (0.0f);
        std::vector<std::vector<float>> output;
        for (float right : { 0.9f, -1.0f, 0.0f })   // -1: mono
        {
            std::vector<std::vector<float>> input (right < 0.0f ? 1 : 2, std::vector<float> (2048, 0.9f));
            for (int i = 0; right >= 0.0f && i < 2048; ++i)   // 1 kHz: a constant would not pass the wet high-pass
                input[1][(size_t) i] = right * std::sin (0.142475f * (float) i) + (right > 0.0f ? 0.5f : 0.0f);
            if (right == 0.0f)
                p.parameterObjects[VinolaParameterTable::ampQuality]->setValueNotifyingHost (1.0f);
            prepare (p, (int) input.size());
            output = render (p, input, { 64 }, { bypassed });
        }
        for (int i = 0; i < 2048; ++i)
        {
            ASSERT_LT (std::fabs (output[1][(size_t) i]), 1.0e-3f) << (bypassed ? "bypassed" : "processed") << ", frame " << i;
            ASSERT_TRUE (! bypassed || output[0][(size_t) i] == 0.9f) << "frame " << i;
        }
    }
}
