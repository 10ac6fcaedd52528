// The processor's block rendering against the engine run one frame at a time: every output
// sample, the meter, the random sequences and the engine's running state must come out the same
// whatever the host's block size, with parameters ramping, generators switching, crackles
// sounding, mono and stereo, and a burst of non-finite input.
#include <gtest/gtest.h>

#include "MvPlatform.h"
#include "VinolaAmplifierModel.h"
#include "VinolaCableStage.h"
#include "VinolaWobbleStage.h"
#include "VinolaAudioProcessor.h"
#include "KernelChoice.h"
#include "VinolaParameterTable.h"
#include "VinolaXorShift128.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <memory>
#include <vector>

namespace
{
    using T = VinolaParameterTable;

    constexpr int sceneFrames = 44100 * 3;

    struct Change
    {
        int frame;      // applied at the first block that starts at or after it
        int parameter;  // -1: the generator mode
        float value;
    };

    // Every parameter moves at some point, most of them more than once and at different moments;
    // AMP QUALITY, NEEDLE QUALITY and WOBBLE ramp while the crackles sound.
    const Change script[] = {
        { 0, T::ampNoise, 1.0f }, { 0, T::vinylNoise, 1.0f }, { 0, T::hum, 1.0f }, { 0, T::scratches, 1.0f },
        { 0, T::scratchesRate, 1.0f }, { 0, T::ducking, 1.0f }, { 0, T::wobble, 1.0f }, { 0, T::cableQuality, 0.05f },
        { 0, T::ampQuality, 0.3f }, { 0, T::needleQuality, 0.5f }, { 0, T::mix, 0.7f }, { 0, -1, 0.0f },
        { 13000, T::ampQuality, 0.8f }, { 13500, T::needleQuality, 1.0f },
        { 22000, T::cableQuality, 0.15f }, { 23000, T::mix, 0.5f },
        { 31000, -1, 2.0f }, { 31500, T::wobble, 0.3f },
        { 40000, -1, 1.0f }, { 40200, T::ducking, 0.0f },
        { 48500, T::cableQuality, 0.95f }, { 49000, T::inputGain, 0.8f }, { 49500, T::outputGain, 0.6f },
        { 50000, T::humFreqSw, 1.0f },
        { 66000, T::wobble, 0.0f }, { 66100, T::ampQuality, 0.0f }, { 66200, T::needleQuality, 0.0f },
        { 79000, T::ducking, 0.6f }, { 79100, T::scratchesRate, 0.3f }, { 79200, T::mix, 1.0f },
        { 79300, T::cableQuality, 0.08f },
        { 97000, T::ampQuality, 1.0f }, { 97300, T::wobble, 0.7f }, { 97600, T::mix, 0.0f },
        { 104000, T::humFreqSw, 0.0f }, { 104100, T::inputGain, 0.5f },
        { 115000, T::mix, 0.4f }, { 115100, T::cableQuality, 1.0f }, { 115200, -1, 0.0f },
        { 120000, T::scratches, 0.2f }, { 120100, T::ampNoise, 0.0f }, { 120200, T::vinylNoise, 0.3f },
    };

    float inputSample (int channel, int frame)
    {
        if (frame >= 57300 && frame < 57340)   // a burst of garbage from the host
            return frame % 3 == 0 ? std::numeric_limits<float>::quiet_NaN()
                                  : (frame % 3 == 1 ? std::numeric_limits<float>::infinity() : 1.0e30f);
        const float t = (float) frame * (channel == 0 ? 0.031f : 0.047f);
        return 0.4f * std::sin (t) + 0.1f * std::sin (7.3f * t);
    }

    struct Outcome
    {
        std::vector<float> samples;   // channel-interleaved
        float meterTotal = 0.0f;
        int randAfter = 0;
        std::uint32_t xorShiftAfter = 0;
        double loopPosition = 0.0;
        float humPhase = 0.0f;
        std::uint16_t cableIndex = 0;
        float wobblePhase = 0.0f;
    };

    /** The scene in host blocks of blockSize frames, through processBlock or, with framewise,
        through the engine's frame function the way processBlock would drive it. */
    Outcome renderScene (int blockSize, int numChannels, bool framewise)
    {
        MvPlatform::restartRandForTests();
        sharedXorShift128.restart();
        auto p = std::make_unique<VinolaAudioProcessor>();
        p->prepareToPlay (44100.0, blockSize);

        Outcome out;
        out.samples.reserve ((size_t) (sceneFrames * numChannels));
        juce::AudioBuffer<float> buffer (numChannels, blockSize);
        juce::MidiBuffer midi;
        size_t next = 0;
        int mode = 1;

        for (int start = 0; start < sceneFrames; start += blockSize)
        {
            for (; next < std::size (script) && script[next].frame <= start; ++next)
            {
                if (script[next].parameter < 0)
                    p->generatorMode.store ((int) script[next].value);
                else
                    p->parameterObjects[script[next].parameter]->setValueNotifyingHost (script[next].value);
            }
            mode = p->generatorMode.load();

            const int n = std::min (blockSize, sceneFrames - start);
            buffer.setSize (numChannels, n, false, false, true);
            for (int ch = 0; ch < numChannels; ++ch)
                for (int i = 0; i < n; ++i)
                    buffer.setSample (ch, i, inputSample (ch, start + i));

            if (framewise)
            {
                const juce::ScopedNoDenormals noDenormals;
                p->updateParameters (n);
                float a[2] = {}, b[2] = {};
                for (int i = 0; i < n; ++i)
                {
                    for (int ch = 0; ch < numChannels; ++ch)
                        a[ch] = buffer.getSample (ch, i);
                    p->dsp.processFrame (a, b, numChannels, mode != 2);
                    for (int ch = 0; ch < numChannels; ++ch)
                        buffer.setSample (ch, i, b[ch] + a[ch]);
                }
            }
            else
            {
                p->processBlock (buffer, midi);
            }

            for (int i = 0; i < n; ++i)
                for (int ch = 0; ch < numChannels; ++ch)
                    out.samples.push_back (buffer.getSample (ch, i));
            out.meterTotal += p->takeDuckingMeterLevel();
        }

        out.randAfter = MvPlatform::rand();
        out.xorShiftAfter = sharedXorShift128.next();
        out.loopPosition = p->dsp.noiseLoop.position;
        out.humPhase = p->dsp.humStage.phase;
        out.cableIndex = p->dsp.cable.tableIndex;
        out.wobblePhase = p->dsp.wobble.getPhase();
        return out;
    }

    /** Index of the first sample whose bits differ, or -1. */
    long firstDifference (const std::vector<float>& a, const std::vector<float>& b)
    {
        if (a.size() != b.size())
            return 0;
        for (size_t i = 0; i < a.size(); ++i)
            if (std::memcmp (&a[i], &b[i], sizeof (float)) != 0)
                return (long) i;
        return -1;
    }
}

TEST (VinolaBlockProcessing, EveryBlockSizeMatchesTheFrameByFrameEngineBitForBit)
{
    for (int numChannels : { 2, 1 })
    {
        for (int blockSize : { 1, 7, 64, 333, 512 })
        {
            SCOPED_TRACE (testing::Message() << numChannels << " channel(s), blocks of " << blockSize);
            const auto block = renderScene (blockSize, numChannels, false);
            const auto frame = renderScene (blockSize, numChannels, true);

            EXPECT_EQ (firstDifference (block.samples, frame.samples), -1);
            EXPECT_EQ (block.meterTotal, frame.meterTotal);
            EXPECT_EQ (block.randAfter, frame.randAfter);
            EXPECT_EQ (block.xorShiftAfter, frame.xorShiftAfter);
            EXPECT_EQ (block.loopPosition, frame.loopPosition);
            EXPECT_EQ (block.humPhase, frame.humPhase);
            EXPECT_EQ (block.cableIndex, frame.cableIndex);
            EXPECT_EQ (block.wobblePhase, frame.wobblePhase);

            // The scene is only a fair test if the output lives: the crackles, the burst and the
            // recovery from it all leave their marks.
            int nonFinite = 0;
            for (float v : block.samples)
                nonFinite += std::isfinite (v) ? 0 : 1;
            EXPECT_LT (nonFinite, 200 * numChannels);
            EXPECT_GT (block.meterTotal, 0.0f);
            EXPECT_TRUE (std::isfinite (block.samples.back()));
        }
    }
}

// The AVX2+FMA kernels round differently from the baseline ones, never decide differently: the
// same scene gives the same random draws, meter and running state on both, and samples that agree
// to single precision. The bound: the tone cascades' lowest filters (a 10 Hz high-pass, and at
// AMP QUALITY 1 a 5 Hz shelf and a 10 Hz low-pass) have poles within 1.5e-3 of 1 and carry a
// rounding of one float step (6e-8) a few ten thousand times over: in the amplifier alone, each
// build strays up to 1e-3 from exact arithmetic at AMP QUALITY 1, not the same way, and the two
// stand up to 2.5e-3 apart in this scene. 4e-3 plus 1e-3 relative keeps a margin while a wrong
// lane, frame or coefficient (errors of 1e-2 and more) still fails.
TEST (VinolaBlockProcessing, AvxAndBaselineKernelsAgreeToSinglePrecision)
{
    if (! VinolaKernels::cpuHasAvx2())
        GTEST_SKIP() << "no AVX2+FMA on this CPU";

    KernelChoiceGuard guard;
    for (int numChannels : { 2, 1 })
    {
        for (int blockSize : { 512, 7 })
        {
            SCOPED_TRACE (testing::Message() << numChannels << " channel(s), blocks of " << blockSize);
            VinolaKernels::forceBaseline (true);
            const auto baseline = renderScene (blockSize, numChannels, false);
            VinolaKernels::forceBaseline (false);
            const auto avx2 = renderScene (blockSize, numChannels, false);

            EXPECT_EQ (baseline.meterTotal, avx2.meterTotal);
            EXPECT_EQ (baseline.randAfter, avx2.randAfter);
            EXPECT_EQ (baseline.xorShiftAfter, avx2.xorShiftAfter);
            EXPECT_EQ (baseline.cableIndex, avx2.cableIndex);
            EXPECT_EQ (baseline.wobblePhase, avx2.wobblePhase);

            ASSERT_EQ (baseline.samples.size(), avx2.samples.size());
            int outside = 0, finite = 0;
            double largest = 0.0;
            for (size_t i = 0; i < baseline.samples.size(); ++i)
            {
                const float a = baseline.samples[i], b = avx2.samples[i];
                if (! std::isfinite (a) || ! std::isfinite (b))
                {
                    outside += std::isfinite (a) != std::isfinite (b) ? 1 : 0;
                    continue;
                }
                ++finite;
                const double difference = std::fabs ((double) a - (double) b);
                largest = std::max (largest, difference);
                if (difference > 4.0e-3 + 1.0e-3 * std::max (std::fabs (a), std::fabs (b)))
                {
                    if (outside++ < 5)
                        ADD_FAILURE() << "sample " << i << ": " << a << " against " << b;
                }
            }
            EXPECT_EQ (outside, 0) << "largest difference " << largest;
            EXPECT_GT (finite, (int) baseline.samples.size() - 200 * numChannels);

            // Both kernel builds ran: the samples are not all identical.
            EXPECT_NE (firstDifference (baseline.samples, avx2.samples), -1);
        }
    }
}

// A run skips the per-frame finiteness check only when nothing in it can overflow. A NaN crackle,
// an infinite ducking gain, an infinite input gain or a NaN AMP QUALITY (hence drive) in one
// frame drives the cascades past the float range (at NEEDLE QUALITY 1 the weighted bands sum
// beyond it); the run must reset exactly where single frames do, and recover.
TEST (VinolaBlockProcessing, AmplifierRunsCatchNonFiniteSideInputsLikeSingleFrames)
{
    constexpr int frames = 320, badFrame = 75;
    const float inf = std::numeric_limits<float>::infinity();

    for (int kind = 0; kind < 4; ++kind)
    {
        SCOPED_TRACE (kind);
        std::vector<float> input[2], gain[2], vinyl[2], crackle[2], needle (frames, 1.0f), quality (frames, 0.3f),
            inputGain (frames, 1.0f);
        for (int ch = 0; ch < 2; ++ch)
        {
            for (int i = 0; i < frames; ++i)
                input[ch].push_back (0.5f * std::sin (0.05f * (float) (i + 17 * ch)));
            gain[ch].assign (frames, 0.9f);
            vinyl[ch].assign (frames, 0.001f);
            crackle[ch].assign (frames, 0.0f);
        }
        if (kind == 0)
            crackle[1][badFrame] = std::numeric_limits<float>::quiet_NaN();
        else if (kind == 1)
            gain[0][badFrame] = inf;
        else if (kind == 2)
            inputGain[badFrame] = inf;
        else
            quality[badFrame] = std::numeric_limits<float>::quiet_NaN();

        auto runs = std::make_unique<VinolaAmplifierModel>();
        auto single = std::make_unique<VinolaAmplifierModel>();
        std::vector<float> wet[2], dry[2], wetSingle[2], drySingle[2];
        for (int ch = 0; ch < 2; ++ch)
            wet[ch] = dry[ch] = wetSingle[ch] = drySingle[ch] = std::vector<float> (frames);

        for (int start = 0; start < frames; start += 64)
        {
            const VinolaAmplifierModel::FrameControls controls { needle.data() + start, quality.data() + start,
                                                                 inputGain.data() + start };
            const float* in[2] = { input[0].data() + start, input[1].data() + start };
            const float* g[2] = { gain[0].data() + start, gain[1].data() + start };
            const float* v[2] = { vinyl[0].data() + start, vinyl[1].data() + start };
            const float* c[2] = { crackle[0].data() + start, crackle[1].data() + start };
            float* w[2] = { wet[0].data() + start, wet[1].data() + start };
            float* d[2] = { dry[0].data() + start, dry[1].data() + start };
            runs->processBlock (&controls, in, 2, 64, g, v, c, w, d);
        }

        for (int i = 0; i < frames; ++i)
        {
            single->prepareFrame (needle[(size_t) i], quality[(size_t) i], inputGain[(size_t) i]);
            const float in[2] = { input[0][(size_t) i], input[1][(size_t) i] };
            const float g[2] = { gain[0][(size_t) i], gain[1][(size_t) i] };
            const float v[2] = { vinyl[0][(size_t) i], vinyl[1][(size_t) i] };
            const float c[2] = { crackle[0][(size_t) i], crackle[1][(size_t) i] };
            float w[2], d[2];
            single->processFrame (in, 2, g, v, c, w, d);
            for (int ch = 0; ch < 2; ++ch)
            {
                wetSingle[ch][(size_t) i] = w[ch];
                drySingle[ch][(size_t) i] = d[ch];
            }
        }

        for (int ch = 0; ch < 2; ++ch)
        {
            EXPECT_EQ (firstDifference (wet[ch], wetSingle[ch]), -1);
            EXPECT_EQ (firstDifference (dry[ch], drySingle[ch]), -1);
            for (int i = badFrame + 8; i < frames; ++i)
                ASSERT_TRUE (std::isfinite (wet[ch][(size_t) i]) && std::isfinite (dry[ch][(size_t) i])) << "frame " << i;
        }
    }
}

// The wobble's two lines share their index arithmetic only while they stand together; a mono
// stretch moves the first line on alone. The cable reads its tables at a rate that depends on
// the channel count and the quality. Both must match their frame functions across such switches.
TEST (VinolaBlockProcessing, WobbleAndCableRunsMatchFramesAcrossChannelSwitches)
{
    std::vector<float> contact (65536), dropout (65536);
    for (size_t k = 0; k < contact.size(); ++k)
    {
        contact[k] = 0.4f + 0.0001f * (float) (k % 4000);
        dropout[k] = (float) ((k / 300) % 10) / 10.0f;
    }

    auto runs = std::make_unique<VinolaWobbleStage>();
    auto frames = std::make_unique<VinolaWobbleStage>();
    VinolaCableStage cableRuns, cableFrames;
    cableRuns.setTables (contact.data(), dropout.data());
    cableFrames.setTables (contact.data(), dropout.data());

    // { channels, length, wobble from, wobble to, cable quality from, to }
    const struct { int channels, length; float w0, w1, c0, c1; } stretches[] = {
        { 2, 150, 0.0f, 0.8f, 1.0f, 0.05f }, { 1, 97, 0.8f, 0.8f, 0.05f, 0.15f }, { 2, 200, 0.8f, 0.0f, 0.15f, 0.5f },
        { 0, 13, 0.3f, 0.3f, 0.3f, 0.3f }, { 2, 64, 1.0f, 1.0f, 0.09f, 0.09f }, { 1, 5, 0.0f, 0.0f, 0.19f, 0.21f },
    };

    int t = 0;
    for (const auto& st : stretches)
    {
        std::vector<float> a[2], b[2], wobble, quality;
        for (int i = 0; i < st.length; ++i, ++t)
        {
            const float f = (float) i / (float) st.length;
            wobble.push_back (st.w0 + (st.w1 - st.w0) * f);
            quality.push_back (st.c0 + (st.c1 - st.c0) * f);
            for (int ch = 0; ch < 2; ++ch)
            {
                const float x = std::sin (0.013f * (float) t * (float) (ch + 1)) - (t % 50 == 0 ? 1.5f : 0.0f);
                a[ch].push_back (x);
                b[ch].push_back (x);
            }
        }

        float* channels[2] = { a[0].data(), a[1].data() };
        runs->processBlock (channels, st.channels, st.length, wobble.data());
        cableRuns.processBlock (channels, st.channels, st.length, quality.data());
        for (int i = 0; i < st.length; ++i)
        {
            float frame[2] = { b[0][(size_t) i], b[1][(size_t) i] };
            frames->process (frame, st.channels, wobble[(size_t) i]);
            cableFrames.process (frame, st.channels, quality[(size_t) i]);
            b[0][(size_t) i] = frame[0];
            b[1][(size_t) i] = frame[1];
        }

        for (int ch = 0; ch < 2; ++ch)
            EXPECT_EQ (firstDifference (a[ch], b[ch]), -1) << "stretch of " << st.length << ", channel " << ch;
        EXPECT_EQ (runs->getDelay(), frames->getDelay());
        EXPECT_EQ (runs->getPhase(), frames->getPhase());
        EXPECT_EQ (cableRuns.tableIndex, cableFrames.tableIndex);
    }
}
