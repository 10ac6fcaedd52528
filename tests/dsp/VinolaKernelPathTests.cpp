// Which kernels run, and the kernels shared by several stages.
#include <gtest/gtest.h>

#include "KernelChoice.h"

#include <algorithm>
#include <cmath>
#include <vector>

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
