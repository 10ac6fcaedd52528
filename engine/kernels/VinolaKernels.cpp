#include "VinolaKernels.h"
#include "VinolaFloat8.h"

#include <atomic>
#include <cmath>


namespace
{
    bool detectAvx2() noexcept
    {
#if VINOLA_AVX2_KERNELS
        __builtin_cpu_init();
        return __builtin_cpu_supports ("avx2") && __builtin_cpu_supports ("fma");
#else
        return false;
#endif
    }

#if VINOLA_AVX2_KERNELS
    VINOLA_AVX2_TARGET void sineInPlaceAvx2 (float* x, int count) noexcept
    {
        int i = 0;
        for (; i + 8 <= count; i += 8)
            _mm256_storeu_ps (x + i, VinolaFloat8::sineOrCosine<false> (_mm256_loadu_ps (x + i)));
        if (i < count)
        {
            alignas (32) float tail[8] = {};
            for (int k = 0; i + k < count; ++k)
                tail[k] = x[i + k];
            _mm256_store_ps (tail, VinolaFloat8::sineOrCosine<false> (_mm256_load_ps (tail)));
            for (int k = 0; i + k < count; ++k)
                x[i + k] = tail[k];
        }
    }
#endif

    // Read per run on the render thread; the CPU check itself runs once, at static initialisation.
    const bool cpuSupport = detectAvx2();
    std::atomic<bool> baselineForced { false };
}

bool VinolaKernels::avx2Compiled() noexcept
{
    return VINOLA_AVX2_KERNELS != 0;
}

bool VinolaKernels::cpuHasAvx2() noexcept
{
    return cpuSupport;
}

VinolaKernels::Path VinolaKernels::active() noexcept
{
    return (cpuSupport && ! baselineForced.load (std::memory_order_relaxed)) ? Path::avx2 : Path::baseline;
}

void VinolaKernels::forceBaseline (bool shouldForce) noexcept
{
    baselineForced.store (shouldForce, std::memory_order_relaxed);
}

void VinolaKernels::sineInPlace (float* x, int count) noexcept
{
#if VINOLA_AVX2_KERNELS
    if (useAvx2())
    {
        sineInPlaceAvx2 (x, count);
        return;
    }
#endif
    for (int i = 0; i < count; ++i)
        x[i] = std::sin (x[i]);
}

const char* VinolaKernels::name (Path path) noexcept
{
    if (path == Path::avx2)
        return "AVX2+FMA";
    return avx2Compiled() ? "SSE2" : "portable";
}
