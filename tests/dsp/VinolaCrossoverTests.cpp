#include <gtest/gtest.h>

#include "VinolaCrossover.h"
#include "KernelChoice.h"

#include <algorithm>
#include <cmath>
#include <complex>
#include <limits>
#include <vector>

namespace
{
    constexpr double pi = 3.141592653589793;

    /** A plain one-channel crossover written straight from the filter description, biquad by
        biquad, to check the vectorised two-channel layout against; in float, or in double for
        exact arithmetic. */
    template <typename Real>
    struct ReferenceCrossoverOf
    {
        struct Biquad { Real z1 = 0, u = 0, c = 0, E = 0, gain = 0, p = 0;
            Real run (Real x)
            {
                const Real step = (x + c * u) - E * z1;
                const Real y = gain * (p * z1 + (step - u));
                z1 = z1 + step;
                u = step;
                return y;
            }
        };
        struct Pair { Biquad a, b;
            Real run (Real x) { return b.run (guard (a.run (x))); } };

        static Real guard (Real x) { return x == 0 ? (Real) 1.0e-6f : x; }

        Pair lp[9], hp[9];

        explicit ReferenceCrossoverOf (float rate)
        {
            const float f[9] = { 300, 1300, 5000, 300, 1300, 5000, 1300, 5000, 5000 };
            for (int s = 0; s < 9; ++s)
            {
                for (bool high : { false, true })
                {
                    const auto c = VinolaCrossover::designPair (f[s], rate, high);
                    auto& pair = high ? hp[s] : lp[s];
                    pair.a.c = pair.b.c = c.feedback;
                    pair.a.E = pair.b.E = c.dcFeedback;
                    pair.a.gain = pair.b.gain = c.gain;
                    pair.a.p = pair.b.p = c.levelWeight;
                }
            }
        }

        void run (Real x, Real* bands)
        {
            x = guard (x);
            const Real L = guard (lp[0].run (x));
            const Real L1 = guard (lp[1].run (L) + hp[1].run (L));
            bands[0] = lp[2].run (L1) + hp[2].run (L1);
            const Real H = guard (hp[3].run (x));
            const Real H2 = guard (hp[6].run (H));
            bands[3] = hp[8].run (H2);
            const Real M = guard (lp[4].run (H));
            bands[1] = lp[5].run (M) + hp[5].run (M);
            bands[2] = lp[7].run (H2);
        }
    };
    using ReferenceCrossover = ReferenceCrossoverOf<float>;

    /** body (stereo) on the baseline kernels and, where the CPU has them, the AVX2 ones, each
        with two channels and with one. */
    template <typename Body>
    void onEveryKernelAndLayout (Body&& body)
    {
        onEveryKernel ([&]
        {
            for (bool stereo : { true, false })
            {
                SCOPED_TRACE (stereo ? "stereo" : "mono");
                body (stereo);
            }
        });
    }

    /** Largest band error against exact arithmetic over a second of music-like input with
        stretches of digital silence, in runs whose lengths cycle through the given ones. */
    double largestRunError (bool stereo, std::initializer_list<int> runLengths)
    {
        constexpr int frames = 44100;
        std::vector<float> left (frames), right (frames);
        unsigned seed = 7;
        for (int i = 0; i < frames; ++i)
        {
            seed = seed * 1664525u + 1013904223u;
            const bool silent = (i / 3000) % 4 == 3;
            left[(size_t) i] = silent ? 0.0f : 0.8f * std::sin (0.031f * (float) i) + 0.1f * ((float) (seed >> 8) / 8388608.0f - 1.0f);
            right[(size_t) i] = silent ? 0.0f : 0.5f * std::sin (0.27f * (float) i);
        }

        VinolaCrossover crossover;
        std::vector<VinolaFloat4> bands0 (frames), bands1 (frames);
        const std::vector<int> lengths (runLengths);
        for (int start = 0, r = 0; start < frames; ++r)
        {
            const int n = std::min (lengths[(size_t) r % lengths.size()], frames - start);
            crossover.processBlock (left.data() + start, stereo ? right.data() + start : nullptr, n,
                                    bands0.data() + start, bands1.data() + start);
            start += n;
        }

        ReferenceCrossoverOf<double> exact[2] { ReferenceCrossoverOf<double> (44100.0f), ReferenceCrossoverOf<double> (44100.0f) };
        double largest = 0.0;
        for (int i = 0; i < frames; ++i)
        {
            double b[2][4];
            exact[0].run (left[(size_t) i], b[0]);
            exact[1].run (stereo ? right[(size_t) i] : 0.0f, b[1]);
            for (int k = 0; k < 4; ++k)
            {
                largest = std::max (largest, std::fabs (bands0[(size_t) i].get (k) - b[0][k]));
                largest = std::max (largest, std::fabs (bands1[(size_t) i].get (k) - b[1][k]));
            }
        }
        return largest;
    }

    /** Steady-state amplitude of each band for a sine at the given frequency. */
    std::vector<double> bandAmplitudes (VinolaCrossover& xo, double frequency, double rate)
    {
        const int settle = (int) rate / 2, measure = (int) rate;
        std::vector<double> sumSquares (4, 0.0);
        for (int n = 0; n < settle + measure; ++n)
        {
            const auto bands = xo.processSample ((float) std::sin (2.0 * pi * frequency * n / rate));
            if (n >= settle)
                for (int k = 0; k < 4; ++k)
                    sumSquares[(size_t) k] += (double) bands.get (k) * bands.get (k);
        }
        for (auto& s : sumSquares)
            s = std::sqrt (2.0 * s / measure);
        return sumSquares;
    }
}

TEST (VinolaCrossover, TwoChannelLayoutMatchesThePlainBiquadChain)
{
    VinolaCrossover xo;
    ReferenceCrossover left (44100.0f), right (44100.0f);

    // Different signals per channel, with runs of exact zeros to exercise the guards.
    unsigned seed = 1;
    auto noise = [&seed] { seed = seed * 1664525u + 1013904223u; return (float) ((seed >> 8) & 0xffff) / 32768.0f - 1.0f; };

    for (int n = 0; n < 20000; ++n)
    {
        const float l = (n / 1000) % 3 == 1 ? 0.0f : noise();
        const float r = (n / 700) % 2 == 1 ? 0.0f : 0.5f * std::sin (0.01f * (float) n);

        VinolaFloat4 lb, rb;
        xo.processFrame (l, r, lb, rb);
        float el[4], er[4];
        left.run (l, el);
        right.run (r, er);

        for (int k = 0; k < 4; ++k)
        {
            // The vector biquads sum their state terms first, so rounding differs. The internal
            // states of the low sections run hundreds of times larger than the signal, and in
            // silence a high-pass output that settles to exactly 0 fires the guard at a moment
            // that depends on rounding; together that allows differences up to about 1e-4.
            ASSERT_NEAR (lb.get (k), el[k], 1.0e-3f) << "frame " << n << " band " << k;
            ASSERT_NEAR (rb.get (k), er[k], 1.0e-3f) << "frame " << n << " band " << k;
        }
    }
}

TEST (VinolaCrossover, BandsOfAnImpulseSumToAFlatMagnitude)
{
    VinolaCrossover xo;
    const int length = 16384;
    std::vector<double> sum ((size_t) length);
    for (int n = 0; n < length; ++n)
    {
        const auto b = xo.processSample (n == 0 ? 1.0f : 0.0f);
        sum[(size_t) n] = (double) b.get (0) + b.get (1) + b.get (2) + b.get (3);
    }

    for (double f = 20.0; f < 20000.0; f *= 1.25)
    {
        std::complex<double> h = 0.0;
        for (int n = 0; n < length; ++n)
            h += sum[(size_t) n] * std::polar (1.0, -2.0 * pi * f * n / 44100.0);
        EXPECT_NEAR (std::abs (h), 1.0, 2.0e-3) << f << " Hz";
    }
}

TEST (VinolaCrossover, SinesLandInTheirBands)
{
    auto energyShare = [] (const std::vector<double>& a, size_t band)
    {
        return a[band] * a[band] / (a[0] * a[0] + a[1] * a[1] + a[2] * a[2] + a[3] * a[3]);
    };

    VinolaCrossover low, high;
    EXPECT_GT (energyShare (bandAmplitudes (low, 100.0, 44100.0), 0), 0.99);
    EXPECT_GT (energyShare (bandAmplitudes (high, 10000.0, 44100.0), 3), 0.99);
}

TEST (VinolaCrossover, SilenceGivesSmallBandsThatNeverTurnDenormal)
{
    VinolaCrossover xo;
    VinolaFloat4 lb, rb;
    for (int n = 0; n < 200000; ++n)
        xo.processFrame (0.0f, -0.0f, lb, rb);     // both signed zeros are guarded

    EXPECT_NE (lb.get (0), 0.0f);                  // the low band carries the guard's residue
    for (int k = 0; k < 4; ++k)
    {
        EXPECT_TRUE (lb.get (k) == 0.0f || std::fabs (lb.get (k)) >= std::numeric_limits<float>::min()) << "band " << k;
        EXPECT_LT (std::fabs (lb.get (k)), 1.0e-4f);
        EXPECT_EQ (lb.get (k), rb.get (k));
    }
}

TEST (VinolaCrossover, SplitsStayPutAtOtherHostRates)
{
    // Linkwitz-Riley neighbours meet at half amplitude each at their split frequency.
    for (double rate : { 48000.0, 96000.0 })
    {
        const double splits[3] = { 300.0, 1300.0, 5000.0 };
        for (int s = 0; s < 3; ++s)
        {
            VinolaCrossover xo;
            xo.setSampleRate (rate);
            const auto a = bandAmplitudes (xo, splits[s], rate);
            EXPECT_NEAR (a[(size_t) s], 0.5, 0.03) << rate << " Hz, split " << splits[s];
            EXPECT_NEAR (a[(size_t) s + 1], 0.5, 0.03) << rate << " Hz, split " << splits[s];
        }
    }
}

TEST (VinolaCrossover, UnusuallyLowRatesStayStable)
{
    // At 8 kHz the 5 kHz split would lie above Nyquist; the output must stay bounded.
    VinolaCrossover low;
    low.setSampleRate (8000.0);
    low.setSampleRate (-1.0);                    // ignored
    float peak = 0.0f;
    for (int n = 0; n < 50000; ++n)
    {
        const auto b = low.processSample (std::sin (0.3f * (float) n));
        for (int k = 0; k < 4; ++k)
            peak = std::fmax (peak, std::fabs (b.get (k)));
    }
    EXPECT_TRUE (std::isfinite (peak));
    EXPECT_LT (peak, 4.0f);
}

TEST (VinolaCrossover, ChannelsAreIndependentAndResetClears)
{
    VinolaCrossover xo, mono;
    VinolaFloat4 lb, rb;
    for (int n = 0; n < 500; ++n)
    {
        const float x = std::sin (0.05f * (float) n);
        xo.processFrame (x, 0.0f, lb, rb);
        const auto m = mono.processSample (x);
        for (int k = 0; k < 4; ++k)
        {
            ASSERT_EQ (lb.get (k), m.get (k));
            ASSERT_LT (std::fabs (rb.get (k)), 1.0e-4f);
        }
    }

    xo.reset();
    VinolaCrossover fresh;
    VinolaFloat4 fl, fr;
    xo.processFrame (0.25f, -0.5f, lb, rb);
    fresh.processFrame (0.25f, -0.5f, fl, fr);
    for (int k = 0; k < 4; ++k)
    {
        EXPECT_EQ (lb.get (k), fl.get (k));
        EXPECT_EQ (rb.get (k), fr.get (k));
    }
}

// The pipelined crossover runs three frames deep, so the first two and last two frames of a run
// are special: runs of every short length, mono and stereo, with silence (the zero guard) in
// between, must agree with the formulas as closely as the baseline does. Either build strays up
// to 1e-4 from exact arithmetic (the 300 Hz sections' poles sit 0.04 from 1); a frame or lane
// out of place gives errors of 1e-2 and more.
TEST (VinolaCrossover, RunsAgreeWithTheFormulasOnBothKernelsForEveryRunLength)
{
    onEveryKernelAndLayout ([] (bool stereo)
    {
        EXPECT_LT (largestRunError (stereo, { 64 }), 2.0e-4);
        EXPECT_LT (largestRunError (stereo, { 1, 2, 3, 4, 5, 63 }), 2.0e-4);
    });
}

TEST (VinolaCrossover, RunsLeaveTheSameStateForTheOtherKernels)
{
    if (! VinolaKernels::cpuHasAvx2())
        GTEST_SKIP() << "no AVX2+FMA on this CPU";
    KernelChoiceGuard guard;

    // Switching kernels between runs continues the same filters: the state is shared.
    VinolaCrossover switching, steady;
    VinolaFloat4 a[16], b[16], c[16], d[16];
    float left[16], right[16];
    for (int run = 0; run < 40; ++run)
    {
        for (int i = 0; i < 16; ++i)
        {
            left[i] = std::sin (0.05f * (float) (run * 16 + i));
            right[i] = -0.5f * left[i];
        }
        VinolaKernels::forceBaseline (run % 2 == 0);
        switching.processBlock (left, right, 16, a, b);
        VinolaKernels::forceBaseline (true);
        steady.processBlock (left, right, 16, c, d);
    }
    for (int i = 0; i < 16; ++i)
        for (int k = 0; k < 4; ++k)
        {
            EXPECT_NEAR (a[i].get (k), c[i].get (k), 2.0e-4) << "frame " << i << " band " << k;
            EXPECT_NEAR (b[i].get (k), d[i].get (k), 2.0e-4) << "frame " << i << " band " << k;
        }
}

TEST (VinolaCrossover, RunsGiveTheSameBitsHoweverTheFramesAreSplit)
{
    onEveryKernelAndLayout ([] (bool stereo)
    {
        constexpr int total = 200;
        std::vector<float> left (total), right (total);
        for (int i = 0; i < total; ++i)
        {
            left[(size_t) i] = i % 37 == 0 ? 0.0f : std::sin (0.07f * (float) i) + 0.3f * std::sin (1.9f * (float) i);
            right[(size_t) i] = std::cos (0.11f * (float) i);
        }
        std::vector<VinolaFloat4> wholeL (total), wholeR (total), splitL (total), splitR (total);
        VinolaCrossover whole, pieces;
        whole.processBlock (left.data(), stereo ? right.data() : nullptr, total, wholeL.data(), wholeR.data());
        const int lengths[] = { 1, 15, 16, 17, 33, 64, 2, 31, 21 };
        for (int start = 0, k = 0; start < total; ++k)
        {
            const int n = std::min (lengths[k % 9], total - start);
            pieces.processBlock (left.data() + start, stereo ? right.data() + start : nullptr, n,
                                 splitL.data() + start, splitR.data() + start);
            start += n;
        }
        for (int i = 0; i < total; ++i)
            for (int b = 0; b < 4; ++b)
            {
                ASSERT_EQ (wholeL[(size_t) i].get (b), splitL[(size_t) i].get (b)) << "frame " << i << " band " << b;
                ASSERT_EQ (wholeR[(size_t) i].get (b), splitR[(size_t) i].get (b)) << "frame " << i << " band " << b;
            }

        // And the same state afterwards.
        VinolaFloat4 a, b, c, d;
        whole.processFrame (0.25f, -0.5f, a, b);
        pieces.processFrame (0.25f, -0.5f, c, d);
        for (int k = 0; k < 4; ++k)
        {
            EXPECT_EQ (a.get (k), c.get (k));
            EXPECT_EQ (b.get (k), d.get (k));
        }
    });
}
