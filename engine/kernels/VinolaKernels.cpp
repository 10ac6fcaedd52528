#include "VinolaKernels.h"

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

const VinolaKernels::Avx2Kernels* VinolaKernels::avx2() noexcept
{
#if VINOLA_AVX2_KERNELS
    if (useAvx2())
        return &avx2Kernels;
#endif
    return nullptr;
}

void VinolaKernels::sineInPlace (float* x, int count) noexcept
{
    if (const auto* kernels = avx2())
    {
        kernels->sineInPlace (x, count);
        return;
    }
    for (int i = 0; i < count; ++i)
        x[i] = std::sin (x[i]);
}

const char* VinolaKernels::name (Path path) noexcept
{
    if (path == Path::avx2)
        return "AVX2+FMA";
    return avx2Compiled() ? "SSE2" : "portable";
}
