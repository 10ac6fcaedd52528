// The frame chain's own sources and hand-offs: hum, amplifier noise, the noise loop, the crackle
// mix, the running flag, channel counts, the random tables, reset and the rate hand-off. The
// later wet stages belong to their own tests; nothing here depends on their insides.
#include <gtest/gtest.h>
#include "VinolaDspEngine.h"
#include "VinolaXorShift128.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <memory>
#include <vector>

namespace
{
    struct Levels
    {
        float hum = 0.0f, ampNoise = 0.0f, vinyl = 0.0f, scratches = 0.0f;
        float ampQuality = 0.7f, humFrequency = 50.0f;
    };

    void setLevels (VinolaDspEngine& d, const Levels& l)
    {
        d.hum.target = l.hum;
        d.ampNoise.target = l.ampNoise;
        d.vinylNoise.target = l.vinyl;
        d.scratches.target = l.scratches;
        d.ampQuality.target = l.ampQuality;
        d.humFreq.target = l.humFrequency;
        d.needleQuality.target = 0.81f;
        d.inputGain.target = 1.0f;
        d.outputGain.target = 1.0f;
        d.mix.target = 1.0f;
        d.cableQuality.target = 1.0f;
        d.wobbleAmount.target = 0.0f;
        d.reset();
    }

    // An engine with a loud loop and loud crackle banks, every generator firing often.
    struct LoudEngine
    {
        std::vector<float> loop, crackle;
        std::unique_ptr<VinolaDspEngine> dsp = std::make_unique<VinolaDspEngine>();

        LoudEngine()
        {
            for (int i = 0; i < 4410; ++i)
            {
                loop.push_back (0.5f);
                loop.push_back (-0.5f);
            }
            crackle = std::vector<float> (2 * 8000, 0.9f);
            dsp->noiseLoop.bank.addEntry (VinolaSampleEntry::fromStereoBytes (loop.data(), (int) loop.size() * 4, true));
            for (auto& bank : dsp->crackleBanks)
                bank.addEntry (VinolaSampleEntry::fromStereoBytes (crackle.data(), (int) crackle.size() * 4, false));
            dsp->initCrackleGenerators();
            dsp->setScratchesRate (1.0f);
        }
    };

    int upwardZeroCrossings (const std::vector<float>& x)
    {
        int n = 0;
        for (size_t i = 1; i < x.size(); ++i)
            n += (x[i - 1] < 0.0f && x[i] >= 0.0f) ? 1 : 0;
        return n;
    }

    // Whether the shared generator moved on by exactly `draws` since restart().
    bool sharedAdvancedBy (int draws)
    {
        VinolaXorShift128 reference;
        for (int i = 0; i < draws; ++i)
            reference.next();
        return sharedXorShift128.next() == reference.next();
    }
}

TEST (VinolaDspEngine, WhenNotRunningNoGeneratorReachesTheOutputYetEveryOneAdvances)
{
    LoudEngine loud;
    VinolaDspEngine quiet;
    quiet.initCrackleGenerators();
    const Levels all { 1.0f, 1.0f, 1.0f, 1.0f };
    setLevels (*loud.dsp, all);
    setLevels (quiet, all);

    sharedXorShift128.restart();
    const int frames = 20000;
    for (int i = 0; i < frames; ++i)
    {
        float a[2] = { 0.0f, 0.0f }, b[2] = { 1.0f, 1.0f };
        float qa[2] = { 0.0f, 0.0f }, qb[2] = { 1.0f, 1.0f };
        loud.dsp->processFrame (a, b, 2, false);
        quiet.processFrame (qa, qb, 2, false);
        ASSERT_EQ (b[0], 0.0f);
        ASSERT_EQ (b[1], 0.0f);
        ASSERT_EQ (loud.dsp->cracklePair[0], 0.0f);
        ASSERT_EQ (a[0], qa[0]) << "only the silent input's chain residue may reach the output";
        ASSERT_EQ (a[1], qa[1]);
    }
    EXPECT_TRUE (sharedAdvancedBy (4 * frames));   // two draws per frame in each engine

    auto& d = *loud.dsp;
    EXPECT_NE (d.humStage.phase, 0.0f);
    EXPECT_GT (d.noiseLoop.position, 0.0);
    EXPECT_LT (d.noiseLoop.position, 0.1);
    EXPECT_GT (d.crackleA.nextVoice, 0);
    EXPECT_GT (d.crackleB.nextVoice, 0);
    EXPECT_GT (d.crackleC.nextVoice, 0);

    // Switched on, the same engine carries hum and noise past the chain and crackles into it.
    bool humSeen = false, crackleSeen = false;
    for (int i = 0; i < 4410; ++i)
    {
        float a[2] = { 0.0f, 0.0f }, b[2] = { 0.0f, 0.0f };
        d.processFrame (a, b, 2, true);
        humSeen = humSeen || b[0] != 0.0f;
        crackleSeen = crackleSeen || d.cracklePair[0] != 0.0f;
    }
    EXPECT_TRUE (humSeen);
    EXPECT_TRUE (crackleSeen);
}

TEST (VinolaDspEngine, FullHumThroughAPoorAmplifierIsAClippedWaveOfPeakPointTwo)
{
    for (const float frequency : { 50.0f, 60.0f })
    {
        VinolaDspEngine d;
        setLevels (d, { 1.0f, 0.0f, 0.0f, 0.0f, 0.0f, frequency });
        std::vector<float> left;
        for (int i = 0; i < 44100; ++i)
        {
            float a[2] = { 0.0f, 0.0f }, b[2] = { 0.0f, 0.0f };
            d.processFrame (a, b, 2, true);
            ASSERT_EQ (b[0], b[1]);
            left.push_back (b[0]);
        }
        int atPeak = 0;
        float peak = 0.0f;
        for (float v : left)
        {
            peak = std::max (peak, std::fabs (v));
            atPeak += std::fabs (v) == 0.2f ? 1 : 0;
        }
        EXPECT_EQ (peak, 0.2f);
        // Driven by 3.4, the sine sits on the clip for 1 - (2 / pi) asin (1 / 3.4) of the time.
        EXPECT_NEAR (atPeak / 44100.0, 1.0 - 2.0 / 3.141592653589793 * std::asin (1.0 / 3.4), 0.01);
        EXPECT_NEAR (upwardZeroCrossings (left), (int) frequency, 1);
    }

    VinolaDspEngine clean;
    setLevels (clean, { 1.0f, 0.0f, 0.0f, 0.0f, 1.0f });
    int clipped = 0;
    for (int i = 0; i < 44100; ++i)
    {
        float a[2] = { 0.0f, 0.0f }, b[2] = { 0.0f, 0.0f };
        clean.processFrame (a, b, 2, true);
        EXPECT_LE (std::fabs (b[0]), 0.2f);
        clipped += std::fabs (b[0]) == 0.2f ? 1 : 0;
    }
    EXPECT_LT (clipped, 100) << "a good amplifier leaves the hum a sine";
}

TEST (VinolaDspEngine, AmplifierNoiseIsSmallAndIndependentPerChannel)
{
    VinolaDspEngine d;
    setLevels (d, { 0.0f, 1.0f });
    double sumSq = 0.0;
    int equal = 0;
    for (int i = 0; i < 10000; ++i)
    {
        float a[2] = { 0.0f, 0.0f }, b[2] = { 0.0f, 0.0f };
        d.processFrame (a, b, 2, true);
        ASSERT_LE (std::fabs (b[0]), 0.03f);
        sumSq += (double) b[0] * b[0];
        equal += b[0] == b[1] ? 1 : 0;
    }
    EXPECT_NEAR (std::sqrt (sumSq / 10000.0), 0.03 / std::sqrt (3.0), 0.002);   // uniform in +-0.03
    EXPECT_LT (equal, 10);
}

TEST (VinolaDspEngine, MonoAndChannellessFramesWriteOnlyWhatTheyCarryButAdvanceEverything)
{
    LoudEngine loud;
    auto& d = *loud.dsp;
    setLevels (d, { 1.0f, 1.0f, 1.0f, 1.0f });

    sharedXorShift128.restart();
    for (int i = 0; i < 100; ++i)
    {
        float a[2] = { 0.25f, 7.0f }, b[2] = { 0.0f, 7.0f };
        d.processFrame (a, b, 1, true);
        ASSERT_EQ (a[1], 7.0f);
        ASSERT_EQ (b[1], 7.0f);
    }
    EXPECT_TRUE (sharedAdvancedBy (200)) << "the right-hand draw happens in mono too";

    d.hum.setTarget (0.5f, 1000);
    const float phase = d.humStage.phase;
    const double position = d.noiseLoop.position;
    const double countdown = d.crackleC.countdown;
    sharedXorShift128.restart();
    for (int i = 0; i < 1000; ++i)
    {
        float a[2] = { 3.0f, 3.0f }, b[2] = { 3.0f, 3.0f };
        d.processFrame (a, b, 0, true);
        ASSERT_EQ (a[0], 3.0f);
        ASSERT_EQ (b[0], 3.0f);
    }
    EXPECT_TRUE (sharedAdvancedBy (2000));
    EXPECT_EQ (d.hum.countdown, 0);
    EXPECT_NE (d.humStage.phase, phase);
    EXPECT_NE (d.noiseLoop.position, position);
    EXPECT_NE (d.crackleC.countdown, countdown);
}

TEST (VinolaDspEngine, TheLoopRestartsExactlyAtZero)
{
    const std::vector<float> data { 0.1f, 0.1f, 0.2f, 0.2f, 0.3f, 0.3f, 0.4f, 0.4f };
    VinolaDspEngine d;
    VinolaSampleEntry e;
    e.data = data.data();
    e.frames = 4;
    e.sampleRate = 8.0;   // half a second
    e.looping = true;
    d.noiseLoop.bank.addEntry (e);

    auto run = [&d] (int frames)
    {
        for (int i = 0; i < frames; ++i)
        {
            float a[2] = {}, b[2] = {};
            d.processFrame (a, b, 2, true);
        }
    };

    d.noiseLoop.step = 0.125;   // lands exactly on the duration
    run (3);
    EXPECT_EQ (d.noiseLoop.position, 0.375);
    run (1);
    EXPECT_EQ (d.noiseLoop.position, 0.0);

    d.noiseLoop.step = 0.2;   // overshoots: no carry
    run (3);
    EXPECT_EQ (d.noiseLoop.position, 0.0);
}

TEST (VinolaDspEngine, RandomTablesHoldValuesInTheirRangesAndDifferBetweenInstances)
{
    VinolaDspEngine first, second;
    struct TableShape { const float* table; float lo, hi; int longestHold; };
    for (const auto& s : { TableShape { first.cableContactTable.get(), 0.4f, 0.8f, 249 },
                           TableShape { first.cableDropoutTable.get(), 0.0f, 1.0f, 1249 } })
    {
        int run = 1, changes = 0;
        for (int i = 0; i < VinolaDspEngine::randomTableSize; ++i)
        {
            ASSERT_GE (s.table[i], s.lo);
            ASSERT_LE (s.table[i], s.hi);
            if (i > 0 && s.table[i] != s.table[i - 1])
            {
                ASSERT_LE (run, s.longestHold);
                run = 1;
                ++changes;
            }
            else if (i > 0)
                ++run;
        }
        EXPECT_GT (changes, VinolaDspEngine::randomTableSize / s.longestHold / 2);
    }
    EXPECT_NE (first.cableContactTable[0], second.cableContactTable[0]);
}

TEST (VinolaDspEngine, ResetSnapsTheRampsAndLeavesTheRunningStateAlone)
{
    LoudEngine loud;
    auto& d = *loud.dsp;
    setLevels (d, { 1.0f, 0.0f, 1.0f, 1.0f });
    for (int i = 0; i < 500; ++i)
    {
        float a[2] = {}, b[2] = {};
        d.processFrame (a, b, 2, true);
    }
    d.mix.setTarget (0.3f, 1000);
    const float phase = d.humStage.phase;
    const double position = d.noiseLoop.position;
    const int voice = d.crackleB.nextVoice;
    const auto index = d.cable.tableIndex;

    d.reset();
    EXPECT_EQ (d.mix.current, 0.3f);
    EXPECT_EQ (d.mix.countdown, 0);
    EXPECT_EQ (d.humStage.phase, phase);
    EXPECT_EQ (d.noiseLoop.position, position);
    EXPECT_EQ (d.crackleB.nextVoice, voice);
    EXPECT_EQ (d.cable.tableIndex, index);
}

TEST (VinolaDspEngine, ANewRateReachesEveryStageWithoutRestartingAnything)
{
    LoudEngine loud;
    auto& d = *loud.dsp;
    for (int i = 0; i < 300; ++i)
    {
        float a[2] = {}, b[2] = {};
        d.processFrame (a, b, 2, true);
    }
    const double position = d.noiseLoop.position;

    d.setSampleRate (48000.0);
    EXPECT_EQ (d.sampleRate, 48000.0f);
    EXPECT_EQ (d.inverseSampleRate, 1.0f / 48000.0f);
    EXPECT_EQ (d.humStage.sampleRate, 48000.0f);
    EXPECT_EQ (d.noiseLoop.step, (double) (1.0f / 48000.0f));
    EXPECT_EQ (d.crackleA.sampleRate, 48000.0);
    EXPECT_EQ (d.crackleC.voices[23].timeStep, 1.0 / 48000.0);
    EXPECT_EQ (d.noiseLoop.position, position);

    for (const double bad : { 0.0, -44100.0, std::numeric_limits<double>::quiet_NaN(),
                              std::numeric_limits<double>::infinity() })
    {
        d.setSampleRate (bad);
        EXPECT_EQ (d.sampleRate, 48000.0f);
        EXPECT_EQ (d.crackleB.timeStep, 1.0 / 48000.0);
    }
}

TEST (VinolaDspEngine, SettledValuesThatJumpBetweenRunsTakeEffectAtOnce)
{
    // Steady smoothers keep their run arrays from run to run; a new target must still reach the
    // very next frame, for single frames and for runs alike.
    auto engine = std::make_unique<VinolaDspEngine>();
    Levels levels;
    levels.ampNoise = 1.0f;
    setLevels (*engine, levels);

    std::vector<float> left (100, 0.25f), right (100, -0.25f);
    float* channels[2] = { left.data(), right.data() };
    auto renderBlock = [&]
    {
        std::fill (left.begin(), left.end(), 0.25f);
        std::fill (right.begin(), right.end(), -0.25f);
        engine->processBlock (channels, 2, 100, true);
    };
    auto silent = [&] { return std::all_of (left.begin(), left.end(), [] (float x) { return x == 0.0f; }); };

    renderBlock();
    ASSERT_FALSE (silent());

    engine->outputGain.setTarget (0.0f, 0);   // with MIX 1 nothing but the wet part remains
    renderBlock();
    EXPECT_TRUE (silent());

    engine->outputGain.setTarget (1.0f, 0);
    float a[2] = { 0.25f, -0.25f }, b[2] = { 0.0f, 0.0f };
    engine->processFrame (a, b, 2, true);
    EXPECT_NE (a[0] + b[0], 0.0f);

    engine->outputGain.setTarget (0.0f, 0);
    a[0] = 0.25f;
    a[1] = -0.25f;
    engine->processFrame (a, b, 2, true);
    EXPECT_EQ (a[0] + b[0], 0.0f);
    renderBlock();
    EXPECT_TRUE (silent());

    // After a ramp the settled value fills the whole run again.
    engine->outputGain.setTarget (1.0f, 30);
    renderBlock();
    engine->outputGain.setTarget (0.0f, 0);
    renderBlock();
    EXPECT_TRUE (silent());
}
