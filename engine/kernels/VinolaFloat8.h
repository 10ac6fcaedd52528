#pragma once

// For the AVX2 source files only (the avx2/ folders, compiled with -mavx2 -mfma): elsewhere the
// class does not exist.
#if defined(__AVX2__) && defined(__FMA__)
 #include <immintrin.h>

/** Single-precision functions of eight AVX lanes for the AVX2+FMA kernels: the same methods as
    VinolaFloat4's (Cephes polynomials, the same ranges), with fused multiply-adds. Inline and
    allocation-free: used per sample on the render thread. */
class VinolaFloat8
{
public:
    static __m256 broadcast (float x) noexcept { return _mm256_set1_ps (x); }

    /** e^x, x clamped to -87.34 .. 88 (no denormals, no infinity). */
    static __m256 exp (__m256 x) noexcept
    {
        __m256 mantissa, scale;
        expParts (x, mantissa, scale);
        return _mm256_mul_ps (mantissa, scale);
    }

    /** e^x as mantissa x scale, the scale a power of two: a product with it is exact, so it can
        be fused into a following sum without changing the rounding. */
    static void expParts (__m256 x, __m256& mantissa, __m256& scale) noexcept
    {
        x = _mm256_min_ps (x, broadcast (88.0f));
        x = _mm256_max_ps (x, broadcast (-87.3365447505531f));

        const __m256 n = _mm256_round_ps (_mm256_mul_ps (x, broadcast (1.44269504088896341f)),
                                          _MM_FROUND_TO_NEAREST_INT | _MM_FROUND_NO_EXC);
        x = _mm256_fnmadd_ps (n, broadcast (0.693359375f), x);
        x = _mm256_fnmadd_ps (n, broadcast (-2.12194440e-4f), x);

        const __m256 x2 = _mm256_mul_ps (x, x);
        const __m256 x4 = _mm256_mul_ps (x2, x2);
        const __m256 p01 = _mm256_fmadd_ps (broadcast (1.9875691500e-4f), x, broadcast (1.3981999507e-3f));
        const __m256 p23 = _mm256_fmadd_ps (broadcast (8.3334519073e-3f), x, broadcast (4.1665795894e-2f));
        const __m256 p45 = _mm256_fmadd_ps (broadcast (1.6666665459e-1f), x, broadcast (5.0000001201e-1f));
        const __m256 p = _mm256_fmadd_ps (x4, p01, _mm256_fmadd_ps (x2, p23, p45));
        mantissa = _mm256_add_ps (_mm256_fmadd_ps (p, x2, x), broadcast (1.0f));
        const __m256i e = _mm256_slli_epi32 (_mm256_add_epi32 (_mm256_cvttps_epi32 (n), _mm256_set1_epi32 (127)), 23);
        scale = _mm256_castsi256_ps (e);
    }

    /** Natural logarithm of positive lanes; zero, negative and denormal lanes give the logarithm
        of the smallest normal float (about -87.3). */
    static __m256 log (__m256 x) noexcept
    {
        x = _mm256_max_ps (x, broadcast (1.17549435e-38f));
        const __m256i bits = _mm256_castps_si256 (x);
        __m256 e = _mm256_cvtepi32_ps (_mm256_sub_epi32 (_mm256_srli_epi32 (bits, 23), _mm256_set1_epi32 (126)));
        __m256 m = _mm256_castsi256_ps (_mm256_or_si256 (_mm256_and_si256 (bits, _mm256_set1_epi32 (0x007fffff)),
                                                         _mm256_set1_epi32 (0x3f000000)));

        // The mantissa into [sqrt(1/2), sqrt(2)), relative to 1.
        const __m256 small = _mm256_cmp_ps (m, broadcast (0.707106781186547524f), _CMP_LT_OQ);
        e = _mm256_sub_ps (e, _mm256_and_ps (small, broadcast (1.0f)));
        m = _mm256_sub_ps (_mm256_add_ps (m, _mm256_and_ps (small, m)), broadcast (1.0f));

        const __m256 z = _mm256_mul_ps (m, m);
        __m256 y = broadcast (7.0376836292e-2f);
        y = _mm256_fmadd_ps (y, m, broadcast (-1.1514610310e-1f));
        y = _mm256_fmadd_ps (y, m, broadcast (1.1676998740e-1f));
        y = _mm256_fmadd_ps (y, m, broadcast (-1.2420140846e-1f));
        y = _mm256_fmadd_ps (y, m, broadcast (1.4249322787e-1f));
        y = _mm256_fmadd_ps (y, m, broadcast (-1.6668057665e-1f));
        y = _mm256_fmadd_ps (y, m, broadcast (2.0000714765e-1f));
        y = _mm256_fmadd_ps (y, m, broadcast (-2.4999993993e-1f));
        y = _mm256_fmadd_ps (y, m, broadcast (3.3333331174e-1f));
        y = _mm256_mul_ps (_mm256_mul_ps (y, m), z);
        y = _mm256_fmadd_ps (e, broadcast (-2.12194440e-4f), y);
        y = _mm256_fnmadd_ps (broadcast (0.5f), z, y);
        return _mm256_fmadd_ps (e, broadcast (0.693359375f), _mm256_add_ps (m, y));
    }

    /** Sine (cosine false) or cosine (true) of every lane; best for |x| < 8192. */
    template <bool cosine>
    static __m256 sineOrCosine (__m256 x) noexcept
    {
        const __m256 signBit = broadcast (-0.0f);
        const __m256 ax = _mm256_andnot_ps (signBit, x);
        __m256i j = _mm256_cvttps_epi32 (_mm256_mul_ps (ax, broadcast (1.27323954473516f)));
        j = _mm256_and_si256 (_mm256_add_epi32 (j, _mm256_set1_epi32 (1)), _mm256_set1_epi32 (~1));   // odd -> next even
        const __m256 y = _mm256_cvtepi32_ps (j);

        __m256 r = _mm256_fnmadd_ps (y, broadcast (0.78515625f), ax);
        r = _mm256_fnmadd_ps (y, broadcast (2.4187564849853515625e-4f), r);
        r = _mm256_fnmadd_ps (y, broadcast (3.77489497744594108e-8f), r);
        const __m256 z = _mm256_mul_ps (r, r);

        __m256 c = _mm256_fmadd_ps (broadcast (2.443315711809948e-5f), z, broadcast (-1.388731625493765e-3f));
        c = _mm256_fmadd_ps (c, z, broadcast (4.166664568298827e-2f));
        c = _mm256_fmadd_ps (_mm256_mul_ps (z, z), c, _mm256_fnmadd_ps (broadcast (0.5f), z, broadcast (1.0f)));
        __m256 s = _mm256_fmadd_ps (broadcast (-1.9515295891e-4f), z, broadcast (8.3321608736e-3f));
        s = _mm256_fmadd_ps (s, z, broadcast (-1.6666654611e-1f));
        s = _mm256_fmadd_ps (_mm256_mul_ps (r, z), s, r);

        // Octants 2, 3 (mod 4) take the other polynomial.
        const __m256 swap = _mm256_castsi256_ps (_mm256_cmpeq_epi32 (_mm256_and_si256 (j, _mm256_set1_epi32 (2)),
                                                                     _mm256_set1_epi32 (2)));
        if (cosine)
        {
            const __m256i negative = _mm256_andnot_si256 (_mm256_sub_epi32 (j, _mm256_set1_epi32 (2)), _mm256_set1_epi32 (4));
            return _mm256_xor_ps (_mm256_blendv_ps (c, s, swap), _mm256_castsi256_ps (_mm256_slli_epi32 (negative, 29)));
        }
        const __m256 negative = _mm256_xor_ps (_mm256_castsi256_ps (_mm256_slli_epi32 (_mm256_and_si256 (j, _mm256_set1_epi32 (4)), 29)),
                                               _mm256_and_ps (x, signBit));
        return _mm256_xor_ps (_mm256_blendv_ps (s, c, swap), negative);
    }
};
#endif
