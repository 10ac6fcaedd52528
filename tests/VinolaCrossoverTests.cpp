#include <gtest/gtest.h>

#include "VinolaCrossover.h"

#include <cmath>
#include <complex>
#include <vector>

namespace
{
    constexpr double pi = 3.141592653589793;

    /** A plain one-channel crossover written straight from the filter description, biquad by
        biquad, to check the vectorised two-channel layout against. */
    struct ReferenceCrossover
    {
        struct Biquad { float z1 = 0, z2 = 0; VinolaCrossover::PairCoefficients c {};
            float run (float x)
            {
                const float w = x + c.a1 * z1 + c.a2 * z2;
                const float y = c.gain * (w + c.b1 * z1 + z2);
                z2 = z1;
                z1 = w;
                return y;
            }
        };
        struct Pair { Biquad a, b;
            float run (float x) { return b.run (guard (a.run (x))); } };

        static float guard (float x) { return x == 0.0f ? 1.0e-6f : x; }

        Pair lp[9], hp[9];

        explicit ReferenceCrossover (float rate)
        {
            const float f[9] = { 300, 1300, 5000, 300, 1300, 5000, 1300, 5000, 5000 };
            for (int s = 0; s < 9; ++s)
            {
                lp[s].a.c = lp[s].b.c = VinolaCrossover::designPair (f[s], rate, false);
                hp[s].a.c = hp[s].b.c = VinolaCrossover::designPair (f[s], rate, true);
            }
        }

        void run (float x, float* bands)
        {
            x = guard (x);
            const float L = guard (lp[0].run (x));
            const float L1 = guard (lp[1].run (L) + hp[1].run (L));
            bands[0] = lp[2].run (L1) + hp[2].run (L1);
            const float H = guard (hp[3].run (x));
            const float H2 = guard (hp[6].run (H));
            bands[3] = hp[8].run (H2);
            const float M = guard (lp[4].run (H));
            bands[1] = lp[5].run (M) + hp[5].run (M);
            bands[2] = lp[7].run (H2);
        }
    };

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

TEST (VinolaCrossover, SilenceGivesSmallNonZeroBands)
{
    VinolaCrossover xo;
    VinolaFloat4 lb, rb;
    for (int n = 0; n < 200000; ++n)
        xo.processFrame (0.0f, -0.0f, lb, rb);     // both signed zeros are guarded

    for (int k = 0; k < 4; ++k)
    {
        EXPECT_NE (lb.get (k), 0.0f);
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
