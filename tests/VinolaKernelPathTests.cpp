// Which kernels run, and the crossover's eight-lane pipeline against the plain filter formulas.
#include <gtest/gtest.h>

#include "VinolaCrossover.h"
#include "VinolaKernels.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace
{
    /** VINOLA_BASELINE_KERNELS=1 in the environment runs the whole suite on the baseline kernels. */
    struct BaselineFromEnvironment : ::testing::Environment
    {
        void SetUp() override
        {
            const char* value = std::getenv ("VINOLA_BASELINE_KERNELS");
            VinolaKernels::forceBaseline (value != nullptr && value[0] == '1');
        }
    };

    const auto* const baselineFromEnvironment = ::testing::AddGlobalTestEnvironment (new BaselineFromEnvironment);

    /** Restores the kernel choice the suite runs with. */
    struct KernelChoiceGuard
    {
        const bool wasForced = VinolaKernels::cpuHasAvx2() && ! VinolaKernels::useAvx2();
        ~KernelChoiceGuard() { VinolaKernels::forceBaseline (wasForced); }
    };

    /** One channel of the crossover in double precision, straight from the filter description. */
    struct ExactCrossover
    {
        struct Biquad
        {
            double a1, a2, gain, b1, z1 = 0, z2 = 0;
            double run (double x)
            {
                const double w = x + a1 * z1 + a2 * z2;
                const double y = gain * (w + b1 * z1 + z2);
                z2 = z1;
                z1 = w;
                return y;
            }
        };
        struct Pair
        {
            Biquad a, b;
            double run (double x) { return b.run (guard (a.run (x))); }
        };

        static double guard (double x) { return x == 0.0 ? 1.0e-6 : x; }

        Pair lp[9], hp[9];

        ExactCrossover()
        {
            const float f[9] = { 300, 1300, 5000, 300, 1300, 5000, 1300, 5000, 5000 };
            for (int s = 0; s < 9; ++s)
            {
                for (bool high : { false, true })
                {
                    const auto c = VinolaCrossover::designPair (f[s], 44100.0f, high);
                    auto& pair = high ? hp[s] : lp[s];
                    pair.a = pair.b = { c.a1, c.a2, c.gain, c.b1 };
                }
            }
        }

        void run (double x, double* bands)
        {
            x = guard (x);
            const double L = guard (lp[0].run (x));
            const double L1 = guard (lp[1].run (L) + hp[1].run (L));
            bands[0] = lp[2].run (L1) + hp[2].run (L1);
            const double H = guard (hp[3].run (x));
            const double H2 = guard (hp[6].run (H));
            bands[3] = hp[8].run (H2);
            const double M = guard (lp[4].run (H));
            bands[1] = lp[5].run (M) + hp[5].run (M);
            bands[2] = lp[7].run (H2);
        }
    };

    /** Largest band error against exact arithmetic over a second of music-like input with
        stretches of digital silence, in runs whose lengths cycle through the given ones. */
    double largestCrossoverError (bool stereo, std::initializer_list<int> runLengths)
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
        ExactCrossover exact[2];
        std::vector<VinolaFloat4> bands0 (frames), bands1 (frames);
        std::vector<int> lengths (runLengths);
        for (int start = 0, r = 0; start < frames; ++r)
        {
            const int n = std::min (lengths[(size_t) r % lengths.size()], frames - start);
            crossover.processBlock (left.data() + start, stereo ? right.data() + start : nullptr, n,
                                    bands0.data() + start, bands1.data() + start);
            start += n;
        }

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
}

TEST (VinolaKernelPath, DispatchPicksAvx2WhereTheCpuHasItAndTheBaselineOnDemand)
{
    KernelChoiceGuard guard;

    bool cpuHas = false;
#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
    cpuHas = __builtin_cpu_supports ("avx2") && __builtin_cpu_supports ("fma");
#endif
    EXPECT_EQ (VinolaKernels::cpuHasAvx2(), cpuHas && VinolaKernels::avx2Compiled());

    VinolaKernels::forceBaseline (false);
    EXPECT_EQ (VinolaKernels::active(), VinolaKernels::cpuHasAvx2() ? VinolaKernels::Path::avx2 : VinolaKernels::Path::baseline);
    EXPECT_STREQ (VinolaKernels::name (VinolaKernels::active()), VinolaKernels::cpuHasAvx2() ? "AVX2+FMA" : "SSE2");

    VinolaKernels::forceBaseline (true);
    EXPECT_EQ (VinolaKernels::active(), VinolaKernels::Path::baseline);
    EXPECT_FALSE (VinolaKernels::useAvx2());
}

// The pipelined crossover runs three frames deep, so the first two and last two frames of a run
// are special: runs of every short length, mono and stereo, with silence (the zero guard) in
// between, must agree with the formulas as closely as the baseline does. Either build strays up
// to 1e-4 from exact arithmetic (the 300 Hz sections' poles sit 0.04 from 1); a frame or lane
// out of place gives errors of 1e-2 and more.
TEST (VinolaKernelPath, CrossoverAgreesWithTheFormulasOnBothKernelsForEveryRunLength)
{
    KernelChoiceGuard guard;
    for (bool baseline : { true, false })
    {
        if (! baseline && ! VinolaKernels::cpuHasAvx2())
            continue;
        VinolaKernels::forceBaseline (baseline);
        for (bool stereo : { true, false })
        {
            SCOPED_TRACE (testing::Message() << (baseline ? "baseline" : "AVX2") << (stereo ? ", stereo" : ", mono"));
            EXPECT_LT (largestCrossoverError (stereo, { 64 }), 2.0e-4);
            EXPECT_LT (largestCrossoverError (stereo, { 1, 2, 3, 4, 5, 63 }), 2.0e-4);
        }
    }
}

TEST (VinolaKernelPath, CrossoverRunsLeaveTheSameStateForTheOtherKernels)
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

// The hum's sine: the phase runs over [0, 2 pi), and a run may end anywhere in a vector.
TEST (VinolaKernelPath, SineAgreesWithTheLibraryToSinglePrecisionOnBothKernels)
{
    KernelChoiceGuard guard;
    for (bool baseline : { true, false })
    {
        VinolaKernels::forceBaseline (baseline);
        for (int count : { 1, 7, 8, 13, 64 })
        {
            std::vector<float> x ((size_t) count + 1);
            double largest = 0.0;
            for (int start = 0; start < 20000; start += count)
            {
                for (int i = 0; i < count; ++i)
                    x[(size_t) i] = (float) (start + i) * 3.2e-4f - 0.1f;   // -0.1 .. 6.3
                x[(size_t) count] = 123.0f;                                 // beyond the run: untouched
                std::vector<float> phases (x);
                VinolaKernels::sineInPlace (x.data(), count);
                for (int i = 0; i < count; ++i)
                    largest = std::max (largest, std::fabs (x[(size_t) i] - std::sin ((double) phases[(size_t) i])));
                ASSERT_EQ (x[(size_t) count], 123.0f);
            }
            // Two float steps at the largest magnitude, 1.
            EXPECT_LT (largest, 1.2e-7) << (baseline ? "baseline" : "AVX2") << ", runs of " << count;
        }
    }
}
