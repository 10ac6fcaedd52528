// The embedded sample material, its lookup by name, the banks' reads and the processor's loading.
#include <gtest/gtest.h>
#include "VinolaAudioProcessor.h"
#include "VinolaResources.h"
#include "VinolaSampleBank.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>
#include <vector>

namespace
{
    struct Found
    {
        const float* data = nullptr;
        int bytes = 0;
        int frames() const { return bytes / 8; }
    };

    Found find (const std::string& name)
    {
        Found f;
        f.data = static_cast<const float*> (VinolaResources::find (name.c_str(), f.bytes));
        return f;
    }

    float peakOf (const Found& f)
    {
        float p = 0.0f;
        for (int i = 0; i < f.bytes / 4; ++i)
            p = std::max (p, std::fabs (f.data[i]));
        return p;
    }

    VinolaSampleEntry entryOver (const std::vector<float>& data, int channels, double rate, bool looping)
    {
        VinolaSampleEntry e;
        e.data = data.data();
        e.channels = channels;
        e.frames = (int) data.size() / channels;
        e.sampleRate = rate;
        e.looping = looping;
        return e;
    }
}

TEST (VinolaResources, EveryRequestedNameExistsWithTheBuiltLengths)
{
    const auto loop = find ("noiseloop_flt");
    ASSERT_NE (loop.data, nullptr);
    EXPECT_EQ (loop.bytes, 4670528);
    EXPECT_EQ (loop.frames(), 583816);

    int repaBytes = 0, shortest = 1 << 30, longest = 0;
    for (int n = 1; n <= 19; ++n)
    {
        const auto r = find ("repa" + std::to_string (n) + "_flt");
        ASSERT_NE (r.data, nullptr) << n;
        repaBytes += r.bytes;
        shortest = std::min (shortest, r.frames());
        longest = std::max (longest, r.frames());
    }
    EXPECT_EQ (repaBytes, 368040);
    EXPECT_EQ (shortest, 55);
    EXPECT_EQ (longest, 7840);

    int knasterBytes = 0, softBytes = 0;
    for (int n = 1; n <= 43; ++n)
    {
        const auto k = find ("knaster" + std::to_string (n) + "_flt");
        const auto h = find ("h_knaster" + std::to_string (n) + "_flt");
        ASSERT_NE (k.data, nullptr) << n;
        ASSERT_NE (h.data, nullptr) << n;
        EXPECT_EQ (k.bytes, h.bytes) << n;
        EXPECT_GE (k.frames(), 11);
        EXPECT_LE (k.frames(), 148);
        EXPECT_LT (peakOf (h), peakOf (k)) << "the soft tick " << n << " must peak lower";
        EXPECT_NE (std::memcmp (k.data, h.data, (size_t) k.bytes), 0) << n;
        knasterBytes += k.bytes;
        softBytes += h.bytes;
    }
    EXPECT_EQ (knasterBytes, 15800);
    EXPECT_EQ (softBytes, 15800);
}

TEST (VinolaResources, UnknownEmptyAndNullNamesGiveNothing)
{
    for (const char* name : { "repa20_flt", "knaster44_flt", "h_knaster44_flt", "repa0_flt", "noiseloop", "" })
    {
        int size = 123;
        EXPECT_EQ (VinolaResources::find (name, size), nullptr) << name;
        EXPECT_EQ (size, 0) << name;
    }
    int size = 123;
    EXPECT_EQ (VinolaResources::find (nullptr, size), nullptr);
    EXPECT_EQ (size, 0);
}

TEST (VinolaResources, TheLookupKeyIsTheThirtyOneMultiplierHash)
{
    EXPECT_EQ (VinolaResources::hashName ("ab"), 97 * 31 + 98);
    EXPECT_EQ (VinolaResources::hashName ("\xff"), -1);   // bytes count as signed chars
    // Only the hash is compared: raising one byte by 1 and lowering the next by 31 keeps it.
    int a = 0, b = 0;
    EXPECT_EQ (VinolaResources::find ("repa1_gMt", a), VinolaResources::find ("repa1_flt", b));
    EXPECT_EQ (a, b);
}

TEST (VinolaResources, TheNoiseLoopIsASeamlessBedWithinFullScale)
{
    const auto loop = find ("noiseloop_flt");
    const int n = loop.frames();
    for (int ch = 0; ch < 2; ++ch)
    {
        std::vector<float> steps;
        double sum = 0.0, sumSq = 0.0;
        for (int i = 0; i < n; ++i)
        {
            const float v = loop.data[2 * i + ch];
            ASSERT_TRUE (std::isfinite (v));
            ASSERT_LE (std::fabs (v), 1.0f);
            sum += v;
            sumSq += (double) v * v;
            if (i > 0)
                steps.push_back (std::fabs (v - loop.data[2 * (i - 1) + ch]));
        }
        std::sort (steps.begin(), steps.end());
        const float seam = std::fabs (loop.data[ch] - loop.data[2 * (n - 1) + ch]);
        EXPECT_LT (seam, steps[steps.size() * 99 / 100]) << "the end must join the start without a click";
        EXPECT_LT (std::fabs (sum / n), 0.01) << "no DC offset";
        const double rms = std::sqrt (sumSq / n);
        EXPECT_GT (rms, 0.05);
        EXPECT_LT (rms, 0.3);
    }
}

TEST (VinolaSampleBank, LoopingReadsWrapAndOneShotReadsStopAtTheEdges)
{
    // Four stereo frames at 4 Hz: one second long.
    const std::vector<float> data { 0.0f, 10.0f, 1.0f, 11.0f, 2.0f, 12.0f, 3.0f, 13.0f };
    VinolaSampleBank bank;
    bank.addEntry (entryOver (data, 2, 4.0, true));
    bank.addEntry (entryOver (data, 2, 4.0, false));
    EXPECT_EQ (bank.entries[0].duration, 1.0);

    const auto atZero = bank.readFrame (0, 0.0);
    EXPECT_EQ (bank.readFrame (0, 1.0).left, atZero.left);
    EXPECT_EQ (bank.readFrame (0, 1.0).right, atZero.right);
    EXPECT_EQ (bank.readFrame (0, -0.25).left, bank.readFrame (0, 0.75).left);
    EXPECT_EQ (bank.readFrame (0, 0.125).left, 0.5f);
    EXPECT_EQ (bank.readFrame (0, 0.125).right, 10.5f);
    EXPECT_TRUE (std::isfinite (bank.readFrame (0, 1.0e300).left));   // far away, yet no endless wrap
    EXPECT_EQ (bank.readFrame (0, std::nan ("")).left, 0.0f);

    EXPECT_EQ (bank.readFrame (1, -0.001).left, 0.0f);
    EXPECT_EQ (bank.readFrame (1, 1.0).left, 0.0f);
    EXPECT_EQ (bank.readFrame (1, 1.0).right, 0.0f);
    // Within the last frame a one-shot interpolates toward frame 0.
    EXPECT_FLOAT_EQ (bank.readFrame (1, 0.875).left, 1.5f);
    EXPECT_FLOAT_EQ (bank.readFrame (1, 0.875).right, 11.5f);
}

TEST (VinolaSampleBank, MonoEmptyAndOverfullBanks)
{
    const std::vector<float> mono { 0.25f, -0.5f };
    VinolaSampleBank bank;
    bank.addEntry (entryOver (mono, 1, 2.0, false));
    const auto pair = bank.readFrame (0, 0.25);
    EXPECT_EQ (pair.left, pair.right);
    EXPECT_FLOAT_EQ (pair.left, -0.125f);

    VinolaSampleEntry empty;
    empty.frames = 100;
    empty.looping = true;
    bank.addEntry (empty);
    EXPECT_EQ (bank.entries[1].frames, 0);
    EXPECT_EQ (bank.entries[1].duration, 0.0);
    EXPECT_FALSE (bank.entries[1].looping);
    EXPECT_EQ (bank.readFrame (1, 0.0).left, 0.0f);
    EXPECT_EQ (bank.readFrame (7, 0.0).left, 0.0f);   // beyond the count

    VinolaSampleBank full;
    for (int i = 0; i < 65; ++i)
    {
        auto e = entryOver (mono, 1, 2.0, false);
        e.frames = i + 1 <= 2 ? i + 1 : 2;
        full.addEntry (e);
    }
    EXPECT_EQ (full.count, 64);
}

TEST (VinolaSampleBank, ReadsOfManyPositionsMatchSingleReadsEverywhere)
{
    // Looping and one-shot, stereo and mono, empty and missing entries; positions inside, on the
    // edges, outside and not finite.
    const std::vector<float> stereo { 0.0f, 10.0f, 1.0f, 11.0f, 2.0f, 12.0f, 3.0f, 13.0f, 4.0f, 9.0f };
    const std::vector<float> mono { 0.25f, -0.5f, 0.75f };
    VinolaSampleBank bank;
    bank.addEntry (entryOver (stereo, 2, 4.0, true));
    bank.addEntry (entryOver (stereo, 2, 4.0, false));
    bank.addEntry (entryOver (mono, 1, 3.0, true));
    bank.addEntry (VinolaSampleEntry {});

    const double positions[] = { 0.0, 0.1, 0.3333, 1.0, 1.1, 1.2499999, 1.25, 2.6, -0.001, -3.7, 1.0e300,
                                 std::nan (""), HUGE_VAL, -HUGE_VAL, 0.9999999999 };
    constexpr int count = (int) (sizeof (positions) / sizeof (positions[0]));
    for (int index = -1; index <= 5; ++index)
    {
        float left[count], right[count];
        bank.readFrames (index, positions, left, right, count);
        for (int i = 0; i < count; ++i)
        {
            const auto single = bank.readFrame (index, positions[i]);
            EXPECT_EQ (std::memcmp (&left[i], &single.left, sizeof (float)), 0) << index << " at " << positions[i];
            EXPECT_EQ (std::memcmp (&right[i], &single.right, sizeof (float)), 0) << index << " at " << positions[i];
        }
    }
}

TEST (VinolaSampleBank, TheProcessorHoldsHeapCopiesOfEverySample)
{
    VinolaAudioProcessor p;
    EXPECT_EQ (p.dsp.noiseLoop.bank.count, 1);
    EXPECT_TRUE (p.dsp.noiseLoop.bank.entries[0].looping);
    EXPECT_EQ (p.dsp.noiseLoop.bank.entries[0].frames, 583816);
    EXPECT_EQ (p.dsp.crackleBanks[0].count, 19);
    EXPECT_EQ (p.dsp.crackleBanks[1].count, 43);
    EXPECT_EQ (p.dsp.crackleBanks[2].count, 43);

    const auto repa7 = find ("repa7_flt");
    const auto& e = p.dsp.crackleBanks[0].entries[6];
    EXPECT_FALSE (e.looping);
    EXPECT_EQ (e.channels, 2);
    EXPECT_EQ (e.frames, repa7.frames());
    EXPECT_DOUBLE_EQ (e.duration, repa7.frames() / 44100.0);
    EXPECT_NE (e.data, repa7.data);
    EXPECT_EQ (std::memcmp (e.data, repa7.data, (size_t) repa7.bytes), 0);
    EXPECT_EQ (p.repaEntries[6].data, e.data);
}
