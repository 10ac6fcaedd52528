// Event timing, voice allocation and voice stages of the crackle generators.
#include <gtest/gtest.h>
#include "MvPlatform.h"
#include "VinolaCrackleGenerator.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace
{
    // Entries whose every frame holds (k + 1, -(k + 1)), long enough to outlast a voice.
    struct ConstantBank
    {
        std::vector<std::vector<float>> data;
        VinolaSampleBank bank;

        explicit ConstantBank (int entries, int frames = 10000)
        {
            data.resize ((size_t) entries);
            for (int k = 0; k < entries; ++k)
            {
                for (int i = 0; i < frames; ++i)
                {
                    data[(size_t) k].push_back ((float) (k + 1));
                    data[(size_t) k].push_back ((float) -(k + 1));
                }
                VinolaSampleEntry e;
                e.data = data[(size_t) k].data();
                e.frames = frames;
                bank.addEntry (e);
            }
        }
    };

    // A generator in random order with the given spreads, on both sides of the field.
    void configure (VinolaCrackleGenerator& g, const VinolaSampleBank& bank, int voices, float intervalSpread,
                    float levelRandomness, float panSpread, float rate)
    {
        g.init (&bank, voices);
        g.randomOrder = true;
        g.intervalSpread = intervalSpread;
        g.levelRandomness = levelRandomness;
        g.panSpread = panSpread;
        g.alternateSides = false;
        g.setRate (rate);
    }

    int countEvents (VinolaCrackleGenerator& g, int ticks)
    {
        int events = 0;
        for (int i = 0; i < ticks; ++i)
        {
            const int before = g.nextVoice;
            g.tick();
            events += g.nextVoice != before ? 1 : 0;
        }
        return events;
    }
}

TEST (VinolaCrackleGenerator, TheFirstEventPlaysEntryZeroOnVoiceZero)
{
    ConstantBank b (5);
    VinolaCrackleGenerator g;
    g.init (&b.bank, 16);
    g.randomOrder = true;
    g.setRate (1.0f);

    const auto out = g.tick();
    EXPECT_FALSE (g.voices[0].isIdle());
    EXPECT_EQ (g.voices[0].sampleIndex, 0);
    EXPECT_EQ (g.nextVoice, 1);
    EXPECT_DOUBLE_EQ (g.voices[0].position, 1.0 / 44100.0);   // the first read is one step in
    EXPECT_FLOAT_EQ (out.left, g.voices[0].level);
    EXPECT_FLOAT_EQ (out.right, -g.voices[0].level);
}

TEST (VinolaCrackleGenerator, AnEventDrawsFromTheSharedSequenceInItsOrder)
{
    ConstantBank b (7);
    VinolaCrackleGenerator g;
    configure (g, b.bank, 16, 0.8f, 0.5f, 0.6f, 2.0f);

    MvPlatform::restartRandForTests();
    int r[6];
    for (auto& v : r)
        v = MvPlatform::rand();
    auto uniform = [] (int v) { return (float) (v % 2147483647) * 4.656612873077393e-10f; };
    MvPlatform::restartRandForTests();

    g.tick();
    const double interval = std::max ((double) 0.001f, 0.5 * (double) (1.0f + 0.8f * (uniform (r[0]) - 0.5f)));
    EXPECT_DOUBLE_EQ (g.countdown, interval);
    EXPECT_FLOAT_EQ (g.voices[0].pan, 2.0f * 0.6f * (uniform (r[1]) - 0.5f));
    EXPECT_FLOAT_EQ (g.voices[0].level, 1.0f - 0.5f * uniform (r[3]));   // r[2] is drawn and dropped
    EXPECT_EQ (g.nextSample, r[4] % 7);
    EXPECT_EQ (MvPlatform::rand(), r[5]) << "five draws per event";
}

TEST (VinolaCrackleGenerator, TheSeventeenthEventRestartsVoiceZero)
{
    ConstantBank b (3);
    VinolaCrackleGenerator g;
    g.init (&b.bank, 16);
    g.setRate (1000.0f);   // an event every 0.001 s, far quicker than a voice lasts

    int events = 0;
    while (events < 16)
        events += countEvents (g, 1);
    EXPECT_EQ (g.nextVoice, 0);
    EXPECT_GT (g.voices[0].position, 0.01);

    while (events < 17)
        events += countEvents (g, 1);
    EXPECT_DOUBLE_EQ (g.voices[0].position, 1.0 / 44100.0);
    EXPECT_EQ (g.nextVoice, 1);
    EXPECT_FALSE (g.voices[15].isIdle());
}

TEST (VinolaCrackleGenerator, AVoiceSoundsForItsThreeStagesAndThenStopsAbruptly)
{
    for (const auto& [rate, lifetime] : { std::pair { 44100.0, 3088 }, std::pair { 48000.0, 3362 } })
    {
        ConstantBank b (1);
        VinolaCrackleGenerator g;
        g.init (&b.bank, 16);
        g.setSampleRate (rate);
        g.setRate (0.001f);   // one event, then a thousand seconds of quiet

        for (int t = 1; t < lifetime; ++t)
            ASSERT_NE (g.tick().left, 0.0f) << "tick " << t;
        EXPECT_NE (g.tick().left, 0.0f);   // the last sounding tick
        EXPECT_TRUE (g.voices[0].isIdle()) << rate;
        EXPECT_EQ (g.tick().left, 0.0f);
    }
}

TEST (VinolaCrackleGenerator, RateZeroMutesAndALaterRateClampsTheCountdown)
{
    ConstantBank b (2);
    VinolaCrackleGenerator g;
    g.init (&b.bank, 16);
    g.setRate (0.01f);
    g.tick();   // the first event; the next is about 100 s away
    EXPECT_GT (g.countdown, 50.0);

    g.setRate (0.0f);
    EXPECT_TRUE (g.muted);
    const double waiting = g.countdown;
    EXPECT_EQ (countEvents (g, 20000), 0);
    EXPECT_EQ (g.countdown, waiting);   // stands still while muted

    g.setRate (0.005f);   // lowering never lengthens
    EXPECT_EQ (g.countdown, waiting);
    g.setRate (10.0f);
    EXPECT_FALSE (g.muted);
    EXPECT_LE (g.countdown, 0.1);
    EXPECT_EQ (countEvents (g, 4500), 1);
}

TEST (VinolaCrackleGenerator, BankOrderAndAlternatingSides)
{
    ConstantBank b (3);
    VinolaCrackleGenerator g;
    g.init (&b.bank, 16);
    g.panSpread = 1.0f;
    g.setRate (1000.0f);

    std::vector<int> played;
    std::vector<float> pans;
    for (int i = 0; i < 20000 && played.size() < 7; ++i)
    {
        const int voice = g.nextVoice;
        g.tick();
        if (g.nextVoice != voice)
        {
            played.push_back (g.voices[voice].sampleIndex);
            pans.push_back (g.voices[voice].pan);
        }
    }
    EXPECT_EQ (played, (std::vector<int> { 0, 1, 2, 0, 1, 2, 0 }));
    for (size_t i = 0; i < pans.size(); ++i)
        EXPECT_TRUE (i % 2 == 0 ? pans[i] >= 0.0f : pans[i] <= 0.0f) << i;
}

TEST (VinolaCrackleGenerator, IntervalsAndLevelsStayWithinTheirSpread)
{
    ConstantBank b (4);
    VinolaCrackleGenerator g;
    configure (g, b.bank, 24, 0.9f, 0.9f, 0.7f, 100.0f);

    int last = -1;
    for (int i = 0, events = 0; events < 300; ++i)
    {
        const int voice = g.nextVoice;
        g.tick();
        if (g.nextVoice == voice)
            continue;
        ++events;
        const auto& v = g.voices[voice];
        EXPECT_GT (v.level, 0.1f - 1e-6f);
        EXPECT_LE (v.level, 1.0f);
        EXPECT_LE (std::fabs (v.pan), 0.7f + 1e-6f);
        if (last >= 0)
        {
            EXPECT_GE (i - last, (int) (0.55 * 441.0));
            EXPECT_LE (i - last, (int) (1.45 * 441.0) + 1);
        }
        last = i;
    }
}

TEST (VinolaCrackleGenerator, RunsOfSeveralGeneratorsMatchTickingThemInTurn)
{
    // Short ramps of different lengths, so one-shot reads run off their ends while voices sound
    // and interpolation shows any difference in position.
    std::vector<std::vector<float>> data (5);
    VinolaSampleBank bank;
    for (int k = 0; k < 5; ++k)
    {
        const int frames = 40 + 37 * k;
        for (int i = 0; i < frames; ++i)
        {
            data[(size_t) k].push_back (0.01f * (float) (i * (k + 1)));
            data[(size_t) k].push_back (-0.003f * (float) (i + k));
        }
        VinolaSampleEntry e;
        e.data = data[(size_t) k].data();
        e.frames = frames;
        e.sampleRate = 3000.0 + 500.0 * k;
        bank.addEntry (e);
    }

    // At 2 kHz the shortest interval is two frames: several events per run, restarts of sounding
    // voices with two voices, one generator muted.
    struct Config { int voices; float rate; };
    const Config configs[3] = { { 2, 400.0f }, { 24, 60.0f }, { 5, 0.0f } };
    VinolaCrackleGenerator ticked[3], rendered[3];
    for (int g = 0; g < 3; ++g)
        for (auto* gen : { &ticked[g], &rendered[g] })
        {
            configure (*gen, bank, configs[g].voices, 0.9f, 0.9f, 0.8f, configs[g].rate);
            gen->setSampleRate (2000.0);
        }

    constexpr int total = 3000;
    std::vector<float> expected ((size_t) total * 6), actual ((size_t) total * 6);

    MvPlatform::restartRandForTests();
    for (int i = 0; i < total; ++i)
        for (int g = 0; g < 3; ++g)
        {
            const auto out = ticked[g].tick();
            expected[(size_t) (i * 6 + 2 * g)] = out.left;
            expected[(size_t) (i * 6 + 2 * g + 1)] = out.right;
        }
    const int nextDrawTicked = MvPlatform::rand();

    MvPlatform::restartRandForTests();
    VinolaCrackleGenerator* generators[3] = { &rendered[0], &rendered[1], &rendered[2] };
    const int lengths[] = { 1, 64, 7, 33, 2, 64, 17 };
    for (int start = 0, r = 0; start < total; ++r)
    {
        const int n = std::min (lengths[r % 7], total - start);
        float left[3][64], right[3][64];
        float* lefts[3] = { left[0], left[1], left[2] };
        float* rights[3] = { right[0], right[1], right[2] };
        VinolaCrackleGenerator::renderRuns (generators, 3, lefts, rights, n);
        for (int i = 0; i < n; ++i)
            for (int g = 0; g < 3; ++g)
            {
                actual[(size_t) ((start + i) * 6 + 2 * g)] = left[g][i];
                actual[(size_t) ((start + i) * 6 + 2 * g + 1)] = right[g][i];
            }
        start += n;
    }
    EXPECT_EQ (MvPlatform::rand(), nextDrawTicked) << "the same draws in the same order";

    int sounding = 0;
    for (size_t i = 0; i < expected.size(); ++i)
    {
        ASSERT_EQ (std::signbit (actual[i]), std::signbit (expected[i])) << "value " << i;
        ASSERT_EQ (actual[i], expected[i]) << "value " << i;
        sounding += expected[i] != 0.0f ? 1 : 0;
    }
    EXPECT_GT (sounding, total);

    for (int g = 0; g < 3; ++g)
    {
        EXPECT_EQ (rendered[g].countdown, ticked[g].countdown);
        EXPECT_EQ (rendered[g].nextVoice, ticked[g].nextVoice);
        EXPECT_EQ (rendered[g].nextSample, ticked[g].nextSample);
        EXPECT_EQ (rendered[g].activeVoices, ticked[g].activeVoices);
        EXPECT_EQ (rendered[g].output.left, ticked[g].output.left);
        for (int v = 0; v < configs[g].voices; ++v)
        {
            EXPECT_EQ (rendered[g].voices[v].position, ticked[g].voices[v].position);
            EXPECT_EQ (rendered[g].voices[v].stage, ticked[g].voices[v].stage);
            EXPECT_EQ (rendered[g].voices[v].stageProgress[1], ticked[g].voices[v].stageProgress[1]);
        }
    }
}
