#pragma once

#include <cmath>
#include <cstdint>
#include <cstring>

// VINOLA_FLOAT4_SSE=0 on the command line selects the portable lanes on x86-64 too (to test them).
#ifndef VINOLA_FLOAT4_SSE
 #if defined(__SSE2__) || defined(_M_X64)
  #define VINOLA_FLOAT4_SSE 1
 #else
  #define VINOLA_FLOAT4_SSE 0
 #endif
#endif
#if VINOLA_FLOAT4_SSE
 #include <emmintrin.h>
#endif

/** Four single-precision lanes. On x86-64 it is one SSE2 register; elsewhere a plain array with
    the same operations, lane by lane, so both builds compute bit-identical results (the maths
    below is written once in terms of these operations).

    Comparisons return lane masks (all bits set or clear) for select() and the bitwise helpers.
    Everything is inline and allocation-free: it is used per sample on the render thread. */
class VinolaFloat4
{
public:
#if VINOLA_FLOAT4_SSE
    __m128 v;
    VinolaFloat4() noexcept = default;
    VinolaFloat4 (__m128 x) noexcept : v (x) {}

    static VinolaFloat4 broadcast (float x) noexcept              { return _mm_set1_ps (x); }
    static VinolaFloat4 set (float a, float b, float c, float d) noexcept { return _mm_setr_ps (a, b, c, d); }
    static VinolaFloat4 zero() noexcept                           { return _mm_setzero_ps(); }
    static VinolaFloat4 load (const float* p) noexcept            { return _mm_loadu_ps (p); }
    void store (float* p) const noexcept                          { _mm_storeu_ps (p, v); }
    float lane0() const noexcept                                  { return _mm_cvtss_f32 (v); }

    friend VinolaFloat4 operator+ (VinolaFloat4 a, VinolaFloat4 b) noexcept { return _mm_add_ps (a.v, b.v); }
    friend VinolaFloat4 operator- (VinolaFloat4 a, VinolaFloat4 b) noexcept { return _mm_sub_ps (a.v, b.v); }
    friend VinolaFloat4 operator* (VinolaFloat4 a, VinolaFloat4 b) noexcept { return _mm_mul_ps (a.v, b.v); }
    friend VinolaFloat4 operator/ (VinolaFloat4 a, VinolaFloat4 b) noexcept { return _mm_div_ps (a.v, b.v); }

    static VinolaFloat4 min (VinolaFloat4 a, VinolaFloat4 b) noexcept { return _mm_min_ps (a.v, b.v); }
    static VinolaFloat4 max (VinolaFloat4 a, VinolaFloat4 b) noexcept { return _mm_max_ps (a.v, b.v); }
    static VinolaFloat4 sqrt (VinolaFloat4 a) noexcept                { return _mm_sqrt_ps (a.v); }

    static VinolaFloat4 equal (VinolaFloat4 a, VinolaFloat4 b) noexcept       { return _mm_cmpeq_ps (a.v, b.v); }
    static VinolaFloat4 greaterThan (VinolaFloat4 a, VinolaFloat4 b) noexcept { return _mm_cmpgt_ps (a.v, b.v); }
    static VinolaFloat4 lessThan (VinolaFloat4 a, VinolaFloat4 b) noexcept    { return _mm_cmplt_ps (a.v, b.v); }

    static VinolaFloat4 bitAnd (VinolaFloat4 a, VinolaFloat4 b) noexcept    { return _mm_and_ps (a.v, b.v); }
    static VinolaFloat4 bitAndNot (VinolaFloat4 mask, VinolaFloat4 b) noexcept { return _mm_andnot_ps (mask.v, b.v); }
    static VinolaFloat4 bitOr (VinolaFloat4 a, VinolaFloat4 b) noexcept     { return _mm_or_ps (a.v, b.v); }
    static VinolaFloat4 bitXor (VinolaFloat4 a, VinolaFloat4 b) noexcept    { return _mm_xor_ps (a.v, b.v); }

    /** Lanes of a where the mask is set, else lanes of b. */
    static VinolaFloat4 select (VinolaFloat4 mask, VinolaFloat4 a, VinolaFloat4 b) noexcept
    {
        return _mm_or_ps (_mm_and_ps (mask.v, a.v), _mm_andnot_ps (mask.v, b.v));
    }

    /** { a0, a1, a0, a1 } */
    static VinolaFloat4 lowHalfTwice (VinolaFloat4 a) noexcept  { return _mm_movelh_ps (a.v, a.v); }
    /** { a2, a3, a2, a3 } */
    static VinolaFloat4 highHalfTwice (VinolaFloat4 a) noexcept { return _mm_movehl_ps (a.v, a.v); }
    /** { a2, a3, a0, a1 } */
    static VinolaFloat4 swapHalves (VinolaFloat4 a) noexcept    { return _mm_shuffle_ps (a.v, a.v, _MM_SHUFFLE (1, 0, 3, 2)); }
    /** { a0, b0, a1, b1 } */
    static VinolaFloat4 unpackLow (VinolaFloat4 a, VinolaFloat4 b) noexcept { return _mm_unpacklo_ps (a.v, b.v); }
    /** { a[i0], a[i1], b[i2], b[i3] } */
    template <int i0, int i1, int i2, int i3>
    static VinolaFloat4 shuffle (VinolaFloat4 a, VinolaFloat4 b) noexcept
    {
        return _mm_shuffle_ps (a.v, b.v, _MM_SHUFFLE (i3, i2, i1, i0));
    }
    /** Truncation toward zero, as integral floats (|a| < 2^31). */
    static VinolaFloat4 truncate (VinolaFloat4 a) noexcept { return _mm_cvtepi32_ps (_mm_cvttps_epi32 (a.v)); }

    /** Rounding to the nearest integer, ties to even (the default rounding mode; |a| < 2^31). */
    static VinolaFloat4 roundToIntegral (VinolaFloat4 a) noexcept { return _mm_cvtepi32_ps (_mm_cvtps_epi32 (a.v)); }

    /** Mask of the lanes whose integral value has the given bit set (|a| < 2^31). */
    static VinolaFloat4 bitSetMask (VinolaFloat4 integral, int bit) noexcept
    {
        const __m128i b = _mm_set1_epi32 (1 << bit);
        const __m128i i = _mm_and_si128 (_mm_cvttps_epi32 (integral.v), b);
        return _mm_castsi128_ps (_mm_cmpeq_epi32 (i, b));
    }

    /** 2^n for integral lanes n in -126 .. 127. */
    static VinolaFloat4 exp2Integral (VinolaFloat4 n) noexcept
    {
        __m128i e = _mm_add_epi32 (_mm_cvttps_epi32 (n.v), _mm_set1_epi32 (127));
        return _mm_castsi128_ps (_mm_slli_epi32 (e, 23));
    }

    /** For positive normal lanes: a = mantissa * 2^exponent with the mantissa in [0.5, 1). */
    static void splitExponent (VinolaFloat4 a, VinolaFloat4& mantissa, VinolaFloat4& exponent) noexcept
    {
        const __m128i bits = _mm_castps_si128 (a.v);
        exponent = _mm_cvtepi32_ps (_mm_sub_epi32 (_mm_srli_epi32 (bits, 23), _mm_set1_epi32 (126)));
        mantissa = _mm_castsi128_ps (_mm_or_si128 (_mm_and_si128 (bits, _mm_set1_epi32 (0x007fffff)),
                                                   _mm_set1_epi32 (0x3f000000)));
    }

    /** True when every lane of a mask is set. */
    static bool allTrue (VinolaFloat4 mask) noexcept { return _mm_movemask_ps (mask.v) == 0xf; }

    /** The low 24 bits of four unsigned integers, as exact floats. */
    static VinolaFloat4 fromLow24Bits (const std::uint32_t* p) noexcept
    {
        const __m128i i = _mm_loadu_si128 (reinterpret_cast<const __m128i*> (p));
        return _mm_cvtepi32_ps (_mm_and_si128 (i, _mm_set1_epi32 (0xffffff)));
    }

    /** True when every lane is finite (no NaN, no infinity). */
    static bool allFinite (VinolaFloat4 a) noexcept
    {
        const __m128 z = _mm_sub_ps (a.v, a.v);
        return _mm_movemask_ps (_mm_cmpeq_ps (z, _mm_setzero_ps())) == 0xf;
    }
#else
    float v[4];
    VinolaFloat4() noexcept = default;

    static VinolaFloat4 broadcast (float x) noexcept               { return set (x, x, x, x); }
    static VinolaFloat4 set (float a, float b, float c, float d) noexcept { VinolaFloat4 r; r.v[0] = a; r.v[1] = b; r.v[2] = c; r.v[3] = d; return r; }
    static VinolaFloat4 zero() noexcept                            { return broadcast (0.0f); }
    static VinolaFloat4 load (const float* p) noexcept             { return set (p[0], p[1], p[2], p[3]); }
    void store (float* p) const noexcept                           { for (int i = 0; i < 4; ++i) p[i] = v[i]; }
    float lane0() const noexcept                                   { return v[0]; }

    template <typename Op>
    static VinolaFloat4 map2 (VinolaFloat4 a, VinolaFloat4 b, Op op) noexcept
    {
        VinolaFloat4 r;
        for (int i = 0; i < 4; ++i)
            r.v[i] = op (a.v[i], b.v[i]);
        return r;
    }
    static std::uint32_t bits (float x) noexcept  { std::uint32_t u; std::memcpy (&u, &x, 4); return u; }
    static float fromBits (std::uint32_t u) noexcept { float x; std::memcpy (&x, &u, 4); return x; }
    static float maskOf (bool b) noexcept { return fromBits (b ? 0xffffffffu : 0u); }

    friend VinolaFloat4 operator+ (VinolaFloat4 a, VinolaFloat4 b) noexcept { return map2 (a, b, [] (float x, float y) { return x + y; }); }
    friend VinolaFloat4 operator- (VinolaFloat4 a, VinolaFloat4 b) noexcept { return map2 (a, b, [] (float x, float y) { return x - y; }); }
    friend VinolaFloat4 operator* (VinolaFloat4 a, VinolaFloat4 b) noexcept { return map2 (a, b, [] (float x, float y) { return x * y; }); }
    friend VinolaFloat4 operator/ (VinolaFloat4 a, VinolaFloat4 b) noexcept { return map2 (a, b, [] (float x, float y) { return x / y; }); }

    // Same NaN behaviour as the SSE instructions: the second operand wins unless the comparison holds.
    static VinolaFloat4 min (VinolaFloat4 a, VinolaFloat4 b) noexcept { return map2 (a, b, [] (float x, float y) { return x < y ? x : y; }); }
    static VinolaFloat4 max (VinolaFloat4 a, VinolaFloat4 b) noexcept { return map2 (a, b, [] (float x, float y) { return x > y ? x : y; }); }
    static VinolaFloat4 sqrt (VinolaFloat4 a) noexcept { return set (std::sqrt (a.v[0]), std::sqrt (a.v[1]), std::sqrt (a.v[2]), std::sqrt (a.v[3])); }

    static VinolaFloat4 equal (VinolaFloat4 a, VinolaFloat4 b) noexcept       { return map2 (a, b, [] (float x, float y) { return maskOf (x == y); }); }
    static VinolaFloat4 greaterThan (VinolaFloat4 a, VinolaFloat4 b) noexcept { return map2 (a, b, [] (float x, float y) { return maskOf (x > y); }); }
    static VinolaFloat4 lessThan (VinolaFloat4 a, VinolaFloat4 b) noexcept    { return map2 (a, b, [] (float x, float y) { return maskOf (x < y); }); }

    static VinolaFloat4 bitAnd (VinolaFloat4 a, VinolaFloat4 b) noexcept    { return map2 (a, b, [] (float x, float y) { return fromBits (bits (x) & bits (y)); }); }
    static VinolaFloat4 bitAndNot (VinolaFloat4 m, VinolaFloat4 b) noexcept { return map2 (m, b, [] (float x, float y) { return fromBits (~bits (x) & bits (y)); }); }
    static VinolaFloat4 bitOr (VinolaFloat4 a, VinolaFloat4 b) noexcept     { return map2 (a, b, [] (float x, float y) { return fromBits (bits (x) | bits (y)); }); }
    static VinolaFloat4 bitXor (VinolaFloat4 a, VinolaFloat4 b) noexcept    { return map2 (a, b, [] (float x, float y) { return fromBits (bits (x) ^ bits (y)); }); }

    static VinolaFloat4 select (VinolaFloat4 mask, VinolaFloat4 a, VinolaFloat4 b) noexcept
    {
        return bitOr (bitAnd (mask, a), bitAndNot (mask, b));
    }

    static VinolaFloat4 lowHalfTwice (VinolaFloat4 a) noexcept  { return set (a.v[0], a.v[1], a.v[0], a.v[1]); }
    static VinolaFloat4 highHalfTwice (VinolaFloat4 a) noexcept { return set (a.v[2], a.v[3], a.v[2], a.v[3]); }
    static VinolaFloat4 swapHalves (VinolaFloat4 a) noexcept    { return set (a.v[2], a.v[3], a.v[0], a.v[1]); }
    static VinolaFloat4 unpackLow (VinolaFloat4 a, VinolaFloat4 b) noexcept { return set (a.v[0], b.v[0], a.v[1], b.v[1]); }
    template <int i0, int i1, int i2, int i3>
    static VinolaFloat4 shuffle (VinolaFloat4 a, VinolaFloat4 b) noexcept { return set (a.v[i0], a.v[i1], b.v[i2], b.v[i3]); }

    static VinolaFloat4 truncate (VinolaFloat4 a) noexcept
    {
        VinolaFloat4 r;
        for (int i = 0; i < 4; ++i)
            r.v[i] = (float) (std::int32_t) a.v[i];
        return r;
    }
    static VinolaFloat4 roundToIntegral (VinolaFloat4 a) noexcept
    {
        VinolaFloat4 r;
        for (int i = 0; i < 4; ++i)
            r.v[i] = std::nearbyint (a.v[i]);
        return r;
    }
    static VinolaFloat4 bitSetMask (VinolaFloat4 integral, int bit) noexcept
    {
        VinolaFloat4 r;
        for (int i = 0; i < 4; ++i)
            r.v[i] = maskOf ((((std::int32_t) integral.v[i]) & (1 << bit)) != 0);
        return r;
    }
    static VinolaFloat4 exp2Integral (VinolaFloat4 n) noexcept
    {
        VinolaFloat4 r;
        for (int i = 0; i < 4; ++i)
            r.v[i] = fromBits ((std::uint32_t) ((std::int32_t) n.v[i] + 127) << 23);
        return r;
    }
    static void splitExponent (VinolaFloat4 a, VinolaFloat4& mantissa, VinolaFloat4& exponent) noexcept
    {
        for (int i = 0; i < 4; ++i)
        {
            int e = 0;
            mantissa.v[i] = std::frexp (a.v[i], &e);
            exponent.v[i] = (float) e;
        }
    }
    static VinolaFloat4 fromLow24Bits (const std::uint32_t* p) noexcept
    {
        return set ((float) (p[0] & 0xffffffu), (float) (p[1] & 0xffffffu), (float) (p[2] & 0xffffffu), (float) (p[3] & 0xffffffu));
    }
    static bool allTrue (VinolaFloat4 mask) noexcept
    {
        return (bits (mask.v[0]) & bits (mask.v[1]) & bits (mask.v[2]) & bits (mask.v[3])) >> 31 != 0;
    }
    static bool allFinite (VinolaFloat4 a) noexcept
    {
        return std::isfinite (a.v[0]) && std::isfinite (a.v[1]) && std::isfinite (a.v[2]) && std::isfinite (a.v[3]);
    }
#endif

    /** Lane i, for tests and set-up code (not for per-sample use). */
    float get (int i) const noexcept
    {
        float f[4];
        store (f);
        return f[i & 3];
    }

    static VinolaFloat4 abs (VinolaFloat4 a) noexcept
    {
        return bitAndNot (broadcast (-0.0f), a);
    }

    /** (a0 + a2) + (a1 + a3). */
    static float sumPairs (VinolaFloat4 a) noexcept
    {
        const VinolaFloat4 t = a + swapHalves (a);
        return t.lane0() + shuffle<1, 1, 1, 1> (t, t).lane0();
    }

    /** e^x to single-precision accuracy (the classic Cephes polynomial, evaluated in Estrin's
        scheme for a short dependency chain). x is clamped to -87.33 .. 88: the results stay
        normal numbers (no denormals, no infinity). */
    static VinolaFloat4 exp (VinolaFloat4 x) noexcept
    {
        x = min (x, broadcast (88.0f));
        x = max (x, broadcast (-87.3365447505531f));

        const VinolaFloat4 n = roundToIntegral (x * broadcast (1.44269504088896341f));
        x = (x - n * broadcast (0.693359375f)) - n * broadcast (-2.12194440e-4f);

        const VinolaFloat4 x2 = x * x;
        const VinolaFloat4 x4 = x2 * x2;
        const VinolaFloat4 p01 = broadcast (1.9875691500e-4f) * x + broadcast (1.3981999507e-3f);
        const VinolaFloat4 p23 = broadcast (8.3334519073e-3f) * x + broadcast (4.1665795894e-2f);
        const VinolaFloat4 p45 = broadcast (1.6666665459e-1f) * x + broadcast (5.0000001201e-1f);
        const VinolaFloat4 p = (p45 + x2 * p23) + x4 * p01;
        return ((p * x2 + x) + broadcast (1.0f)) * exp2Integral (n);
    }

    /** Natural logarithm to single-precision accuracy (the classic Cephes polynomial) for
        positive lanes; zero, negative and denormal lanes give the logarithm of the smallest
        normal float (about -87.3). */
    static VinolaFloat4 log (VinolaFloat4 x) noexcept
    {
        x = max (x, broadcast (1.17549435e-38f));
        VinolaFloat4 m, e;
        splitExponent (x, m, e);

        // Move the mantissa into [sqrt(1/2), sqrt(2)) and take it relative to 1.
        const VinolaFloat4 small = lessThan (m, broadcast (0.707106781186547524f));
        e = e - bitAnd (small, broadcast (1.0f));
        m = (m + bitAnd (small, m)) - broadcast (1.0f);

        const VinolaFloat4 z = m * m;
        VinolaFloat4 y = broadcast (7.0376836292e-2f);
        y = y * m + broadcast (-1.1514610310e-1f);
        y = y * m + broadcast (1.1676998740e-1f);
        y = y * m + broadcast (-1.2420140846e-1f);
        y = y * m + broadcast (1.4249322787e-1f);
        y = y * m + broadcast (-1.6668057665e-1f);
        y = y * m + broadcast (2.0000714765e-1f);
        y = y * m + broadcast (-2.4999993993e-1f);
        y = y * m + broadcast (3.3333331174e-1f);
        y = y * m * z;
        y = y + e * broadcast (-2.12194440e-4f);
        y = y - broadcast (0.5f) * z;
        return (m + y) + e * broadcast (0.693359375f);
    }

    /** Sine and cosine of every lane at once (single-precision Cephes method; best for |x| < 8192). */
    static void sinCos (VinolaFloat4 x, VinolaFloat4& sine, VinolaFloat4& cosine) noexcept
    {
        const VinolaFloat4 ax = abs (x);
        VinolaFloat4 j = truncate (ax * broadcast (1.27323949f));
        j = j + bitAnd (bitSetMask (j, 0), broadcast (1.0f));   // odd -> next even

        const VinolaFloat4 r = ((ax - j * broadcast (0.78515625f)) - j * broadcast (2.41875648e-4f))
                               - j * broadcast (3.77489506e-8f);
        const VinolaFloat4 z = r * r;

        VinolaFloat4 c = (broadcast (2.44331568e-5f) * z - broadcast (1.38873165e-3f)) * z + broadcast (4.16666456e-2f);
        c = broadcast (1.0f) - broadcast (0.5f) * z + z * z * c;
        VinolaFloat4 s = (broadcast (-1.95152956e-4f) * z + broadcast (8.33335333e-3f)) * z - broadcast (1.66666552e-1f);
        s = r + r * z * s;

        const VinolaFloat4 swap = bitSetMask (j, 1);
        const VinolaFloat4 sinPoly = select (swap, c, s);
        const VinolaFloat4 cosPoly = select (swap, s, c);

        const VinolaFloat4 signBit = broadcast (-0.0f);
        const VinolaFloat4 negateSine = bitXor (bitSetMask (j, 2), lessThan (x, zero()));
        const VinolaFloat4 negateCosine = bitAndNot (bitSetMask (j - broadcast (2.0f), 2), equal (j, j));

        sine = bitXor (sinPoly, bitAnd (negateSine, signBit));
        cosine = bitXor (cosPoly, bitAnd (negateCosine, signBit));
    }
};
