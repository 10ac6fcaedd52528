#include "VinolaKernels.h"

#include <atomic>
#include <cmath>

#if VINOLA_AVX2_KERNELS
 #include <immintrin.h>
#endif

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
    /** Sine of eight lanes (the single-precision Cephes method: reduction by pi/4 in three parts,
        then the sine or cosine polynomial of the octant); best for |x| < 8192. */
    VINOLA_AVX2_TARGET inline __m256 sine8 (__m256 x) noexcept
    {
        const __m256 signBit = _mm256_set1_ps (-0.0f);
        const __m256 ax = _mm256_andnot_ps (signBit, x);
        __m256i j = _mm256_cvttps_epi32 (_mm256_mul_ps (ax, _mm256_set1_ps (1.27323954473516f)));
        j = _mm256_and_si256 (_mm256_add_epi32 (j, _mm256_set1_epi32 (1)), _mm256_set1_epi32 (~1));   // odd -> next even
        const __m256 y = _mm256_cvtepi32_ps (j);

        __m256 r = _mm256_fnmadd_ps (y, _mm256_set1_ps (0.78515625f), ax);
        r = _mm256_fnmadd_ps (y, _mm256_set1_ps (2.4187564849853515625e-4f), r);
        r = _mm256_fnmadd_ps (y, _mm256_set1_ps (3.77489497744594108e-8f), r);
        const __m256 z = _mm256_mul_ps (r, r);

        __m256 c = _mm256_fmadd_ps (_mm256_set1_ps (2.443315711809948e-5f), z, _mm256_set1_ps (-1.388731625493765e-3f));
        c = _mm256_fmadd_ps (c, z, _mm256_set1_ps (4.166664568298827e-2f));
        c = _mm256_fmadd_ps (_mm256_mul_ps (z, z), c, _mm256_fnmadd_ps (_mm256_set1_ps (0.5f), z, _mm256_set1_ps (1.0f)));
        __m256 s = _mm256_fmadd_ps (_mm256_set1_ps (-1.9515295891e-4f), z, _mm256_set1_ps (8.3321608736e-3f));
        s = _mm256_fmadd_ps (s, z, _mm256_set1_ps (-1.6666654611e-1f));
        s = _mm256_fmadd_ps (_mm256_mul_ps (r, z), s, r);

        const __m256 useCosine = _mm256_castsi256_ps (_mm256_cmpeq_epi32 (_mm256_and_si256 (j, _mm256_set1_epi32 (2)),
                                                                          _mm256_set1_epi32 (2)));
        const __m256 poly = _mm256_blendv_ps (s, c, useCosine);
        const __m256 negate = _mm256_xor_ps (_mm256_castsi256_ps (_mm256_slli_epi32 (_mm256_and_si256 (j, _mm256_set1_epi32 (4)), 29)),
                                             _mm256_and_ps (x, signBit));
        return _mm256_xor_ps (poly, negate);
    }

    VINOLA_AVX2_TARGET void sineInPlaceAvx2 (float* x, int count) noexcept
    {
        int i = 0;
        for (; i + 8 <= count; i += 8)
            _mm256_storeu_ps (x + i, sine8 (_mm256_loadu_ps (x + i)));
        if (i < count)
        {
            alignas (32) float tail[8] = {};
            for (int k = 0; i + k < count; ++k)
                tail[k] = x[i + k];
            _mm256_store_ps (tail, sine8 (_mm256_load_ps (tail)));
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
