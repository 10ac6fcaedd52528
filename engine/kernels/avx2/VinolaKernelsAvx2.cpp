// The AVX2+FMA builds of the signal kernels. This file alone is compiled for that instruction
// set (-mavx2 -mfma): nothing here may run before VinolaKernels has checked the CPU, and nothing
// here may be shared with the baseline code. So it holds only its own functions, in an unnamed
// namespace, over intrinsics and VinolaFloat8: an inline function of a shared header compiled
// here could be kept by the linker for the baseline callers too (the test
// Avx2ObjectsKeepTheirCodeToThemselves checks the objects' symbols).
//
// Each kernel does what the baseline version in its stage does, with eight lanes and fused
// multiply-adds: the two agree to single precision, not bit for bit, unless a kernel says so.
#include "VinolaKernels.h"

#if VINOLA_AVX2_KERNELS
#include "VinolaFloat8.h"

#include <cmath>
#include <immintrin.h>

namespace
{
namespace avx2
{
    void sineInPlace (float* x, int count) noexcept
    {
        int i = 0;
        for (; i + 8 <= count; i += 8)
            _mm256_storeu_ps (x + i, VinolaFloat8::sineOrCosine<false> (_mm256_loadu_ps (x + i)));
        if (i < count)
        {
            alignas (32) float tail[8] = {};
            for (int k = 0; k < count - i; ++k)
                tail[k] = x[i + k];
            _mm256_store_ps (tail, VinolaFloat8::sineOrCosine<false> (_mm256_load_ps (tail)));
            for (int k = 0; k < count - i; ++k)
                x[i + k] = tail[k];
        }
    }

    /** mixCrackles eight frames at a time, four per double vector, up to a multiple of eight;
        returns the frames done. A at 0.5 is exact in double, so a fused step rounds as the sum. */
    int mixCrackles (const float* a, const float* b, const float* c, const float* scratches, float run,
                     float* out, int n) noexcept
    {
        const __m256d half = _mm256_set1_pd (0.5);
        const __m256 weightB = _mm256_set1_ps (0.1f), weightC = _mm256_set1_ps (0.08f), runs = _mm256_set1_ps (run);
        int i = 0;
        for (; i + 8 <= n; i += 8)
        {
            const __m256 x = _mm256_loadu_ps (a + i);
            const __m256 y = _mm256_mul_ps (_mm256_loadu_ps (b + i), weightB);
            const __m256 z = _mm256_mul_ps (_mm256_loadu_ps (c + i), weightC);
            auto sum = [half] (__m128 p, __m128 q, __m128 r)
            {
                return _mm256_cvtpd_ps (_mm256_add_pd (_mm256_fmadd_pd (_mm256_cvtps_pd (p), half, _mm256_cvtps_pd (q)),
                                                       _mm256_cvtps_pd (r)));
            };
            const __m128 low = sum (_mm256_castps256_ps128 (x), _mm256_castps256_ps128 (y), _mm256_castps256_ps128 (z));
            const __m128 high = sum (_mm256_extractf128_ps (x, 1), _mm256_extractf128_ps (y, 1), _mm256_extractf128_ps (z, 1));
            const __m256 scale = _mm256_mul_ps (_mm256_loadu_ps (scratches + i), runs);
            _mm256_storeu_ps (out + i, _mm256_mul_ps (_mm256_setr_m128 (low, high), scale));
        }
        return i;
    }

    /** belowLimit eight values at a time. */
    bool belowLimit (const float* x, int count, float limit) noexcept
    {
        const __m256 bound = _mm256_set1_ps (limit);
        const __m256 magnitude = _mm256_castsi256_ps (_mm256_set1_epi32 (0x7fffffff));
        __m256 below = _mm256_cmp_ps (bound, bound, _CMP_EQ_OQ);
        int i = 0;
        for (; i + 8 <= count; i += 8)
            below = _mm256_and_ps (below, _mm256_cmp_ps (_mm256_and_ps (_mm256_loadu_ps (x + i), magnitude), bound, _CMP_LT_OQ));
        bool result = _mm256_movemask_ps (below) == 0xff;
        for (; i < count; ++i)
            result = result && std::fabs (x[i]) < limit;
        return result;
    }

    /** bentCosine of eight phases with the AVX2+FMA kernels. */
    inline __m256 bentCosine8 (__m256 phases, __m256 exponent) noexcept
    {
        const __m256 power = VinolaFloat8::exp (_mm256_mul_ps (exponent, VinolaFloat8::log (phases)));
        const __m256 angle = _mm256_and_ps (_mm256_cmp_ps (phases, _mm256_setzero_ps(), _CMP_GT_OQ),
                                            _mm256_mul_ps (power, _mm256_set1_ps (6.28318531f)));
        return VinolaFloat8::sineOrCosine<true> (angle);
    }

    /** cosines[i] = bentCosine (phases[i], exponents[i]) for i < count rounded up to a whole
        number of vectors (the arrays are that long). */
    void bentCosines (const float* phases, const float* exponents, float* cosines, int count) noexcept
    {
        for (int i = 0; i < count; i += 8)
            _mm256_storeu_ps (cosines + i, bentCosine8 (_mm256_loadu_ps (phases + i), _mm256_loadu_ps (exponents + i)));
    }

    void steadyBentCosines (const float* phases, float exponent, float* cosines, int count) noexcept
    {
        const __m256 e = _mm256_set1_ps (exponent);
        for (int i = 0; i < count; i += 8)
            _mm256_storeu_ps (cosines + i, bentCosine8 (_mm256_loadu_ps (phases + i), e));
    }

    /** Both delay lines (standing at the same position) over whole groups of eight frames, from
        the first frame on, while the groups' delays lie in [0, the line's length - 8) and their
        writes do not wrap; returns the frames done. Each group first stores its eight inputs,
        then gathers: a delay of at least 0 reads only what earlier frames or the frame itself
        wrote. The arithmetic is the frame formula's, rounding for rounding. */
    int linePairGroups (float* bufferL, float* bufferR, int bufferSize, int& write, int& read, float& lastDelay,
                        float* left, float* right, const float* delays, int numFrames) noexcept
    {
        const int mask = bufferSize - 1;
        const __m256 zero = _mm256_setzero_ps(), one = _mm256_set1_ps (1.0f);
        const __m256 longest = _mm256_set1_ps ((float) (mask - 8));
        const __m256i masks = _mm256_set1_epi32 (mask), steps = _mm256_setr_epi32 (0, 1, 2, 3, 4, 5, 6, 7);

        // A non-finite input sample is stored as silence, so it cannot linger in the line.
        auto finiteOrZero = [zero] (__m256 x)
        {
            return _mm256_and_ps (x, _mm256_cmp_ps (_mm256_sub_ps (x, x), zero, _CMP_EQ_OQ));
        };

        int i = 0;
        for (; i + 8 <= numFrames && write + 8 <= mask + 1; i += 8)
        {
            const __m256 delay = _mm256_loadu_ps (delays + i);
            const __m256 usable = _mm256_and_ps (_mm256_cmp_ps (delay, zero, _CMP_GE_OQ), _mm256_cmp_ps (delay, longest, _CMP_LT_OQ));
            if (_mm256_movemask_ps (usable) != 0xff)
                break;

            const __m256 xL = _mm256_loadu_ps (left + i), xR = _mm256_loadu_ps (right + i);
            _mm256_storeu_ps (bufferL + write, finiteOrZero (xL));
            _mm256_storeu_ps (bufferR + write, finiteOrZero (xR));

            const __m256i d = _mm256_cvttps_epi32 (delay);
            const __m256 f = _mm256_sub_ps (delay, _mm256_cvtepi32_ps (d));
            const __m256 keep = _mm256_sub_ps (one, f);
            const __m256i at = _mm256_and_si256 (_mm256_sub_epi32 (_mm256_add_epi32 (_mm256_set1_epi32 (write), steps), d), masks);
            const __m256i before = _mm256_and_si256 (_mm256_sub_epi32 (at, _mm256_set1_epi32 (1)), masks);
            const __m256 same = _mm256_cmp_ps (delay, one, _CMP_LT_OQ);   // a delay under 1 reads the frame's own input
            const __m256 bypass = _mm256_cmp_ps (delay, zero, _CMP_EQ_OQ);

            auto line = [&] (const float* buffer, __m256 x)
            {
                const __m256 current = _mm256_blendv_ps (_mm256_i32gather_ps (buffer, at, 4), x, same);
                __m256 a = _mm256_mul_ps (keep, current);
                __m256 b = _mm256_mul_ps (f, _mm256_i32gather_ps (buffer, before, 4));
                // Two products and a sum, as the frame formula: kept from fusing into one step.
                asm ("" : "+x" (a), "+x" (b));
                return _mm256_blendv_ps (_mm256_add_ps (a, b), x, bypass);
            };
            _mm256_storeu_ps (left + i, line (bufferL, xL));
            _mm256_storeu_ps (right + i, line (bufferR, xR));

            // The indices as the last frame of the group leaves them.
            const float last = delays[i + 7];
            const int lastWrite = write + 7;
            read = ((last != 0.0f ? ((lastWrite - (int) last) & mask) : lastWrite) + 1) & mask;
            write = (write + 8) & mask;
            lastDelay = last;
        }
        return i;
    }
}
}

const VinolaKernels::Avx2Kernels VinolaKernels::avx2Kernels {
    avx2::sineInPlace,
    avx2::mixCrackles,
    avx2::belowLimit,
    avx2::bentCosines,
    avx2::steadyBentCosines,
    avx2::linePairGroups,
};
#endif
