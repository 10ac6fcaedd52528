// The crossover's AVX2+FMA kernel. This file alone is compiled for that instruction set: it is
// entered only after VinolaKernels has checked the CPU, and keeps its helpers to itself (see
// VinolaKernelsAvx2.cpp).
#include "VinolaCrossover.h"

#if VINOLA_AVX2_KERNELS
#include <immintrin.h>

// The band outputs are written as four packed floats.
static_assert (sizeof (VinolaFloat4) == 4 * sizeof (float), "VinolaFloat4 holds exactly four floats");

namespace
{
    /** The few operations a biquad needs, on four or eight lanes. */
    struct Lanes4
    {
        using V = __m128;
        static V fmadd (V a, V b, V c) noexcept { return _mm_fmadd_ps (a, b, c); }
        static V fnmadd (V a, V b, V c) noexcept { return _mm_fnmadd_ps (a, b, c); }
        static V add (V a, V b) noexcept { return _mm_add_ps (a, b); }
        static V sub (V a, V b) noexcept { return _mm_sub_ps (a, b); }
        static V guarded (V x, V gainGuard) noexcept { return _mm_and_ps (_mm_cmpeq_ps (x, _mm_setzero_ps()), gainGuard); }
    };

    struct Lanes8
    {
        using V = __m256;
        static V fmadd (V a, V b, V c) noexcept { return _mm256_fmadd_ps (a, b, c); }
        static V fnmadd (V a, V b, V c) noexcept { return _mm256_fnmadd_ps (a, b, c); }
        static V add (V a, V b) noexcept { return _mm256_add_ps (a, b); }
        static V sub (V a, V b) noexcept { return _mm256_sub_ps (a, b); }
        static V guarded (V x, V gainGuard) noexcept
        {
            return _mm256_and_ps (_mm256_cmp_ps (x, _mm256_setzero_ps(), _CMP_EQ_OQ), gainGuard);
        }
    };

    /** Two identical biquads in series on four or eight lanes. */
    template <typename L>
    struct WidePair
    {
        using V = typename L::V;
        V c, E, gain, p, gainGuard;
        V z1a, ua, z1b, ub;

        /** runBiquad with fused multiply-adds (the same terms, rounded fewer times). */
        static inline __attribute__ ((always_inline))
        V biquad (V x, V c, V E, V gain, V p, V gainGuard, V& z, V& v) noexcept
        {
            const V step = L::fnmadd (E, z, L::fmadd (c, v, L::fmadd (gain, x, L::guarded (x, gainGuard))));
            const V y = L::fmadd (p, z, L::sub (step, v));
            z = L::add (z, step);
            v = step;
            return y;
        }

        inline __attribute__ ((always_inline)) V run (V x) noexcept
        {
            const V y = biquad (x, c, E, gain, p, gainGuard, z1a, ua);
            return biquad (y, c, E, gain, p, gainGuard, z1b, ub);
        }
    };

    using Pair4 = WidePair<Lanes4>;
    using Pair8 = WidePair<Lanes8>;

    inline __m256 join (VinolaFloat4 low, VinolaFloat4 high) noexcept
    {
        return _mm256_insertf128_ps (_mm256_castps128_ps256 (low.v), high.v, 1);
    }

    inline void split (__m256 x, VinolaFloat4& low, VinolaFloat4& high) noexcept
    {
        low = _mm256_castps256_ps128 (x);
        high = _mm256_extractf128_ps (x, 1);
    }

    /** The frames of a run a pass handles at a time. */
    constexpr int passLength = 16;
}

template <bool stereo>
void VinolaCrossover::processBlockAvx2 (const float* left, const float* right, int count, VinolaFloat4* leftBands,
                                        VinolaFloat4* rightBands) noexcept
{
    // The section tree runs depth by depth over the frames of a pass: unit 0; then units 1 and 2
    // as one eight-lane pair; then units 3 and 4 as one. Unit 5 runs a pass behind, beside unit 0
    // of the next pass in one eight-lane pair, and alone after the last. Within a pass the only
    // dependence from frame to frame is each filter's own state, so the processor overlaps
    // consecutive frames, and each pass's states stay in registers.
    auto four = [this] (int u)
    {
        const PairUnit& p = units[u];
        return Pair4 { p.feedback.v, p.dcFeedback.v, p.gain.v, p.levelWeight.v, p.gainGuard.v, p.z1a.v, p.ua.v, p.z1b.v, p.ub.v };
    };
    auto eight = [this] (int lo, int hi)
    {
        const PairUnit& l = units[lo];
        const PairUnit& h = units[hi];
        return Pair8 { join (l.feedback, h.feedback), join (l.dcFeedback, h.dcFeedback), join (l.gain, h.gain),
                       join (l.levelWeight, h.levelWeight), join (l.gainGuard, h.gainGuard), join (l.z1a, h.z1a),
                       join (l.ua, h.ua), join (l.z1b, h.z1b), join (l.ub, h.ub) };
    };
    auto keepFour = [this] (int u, const Pair4& p)
    {
        PairUnit& unit = units[u];
        unit.z1a = p.z1a;
        unit.ua = p.ua;
        unit.z1b = p.z1b;
        unit.ub = p.ub;
    };
    auto keepEight = [this] (int lo, int hi, const Pair8& p)
    {
        split (p.z1a, units[lo].z1a, units[hi].z1a);
        split (p.ua, units[lo].ua, units[hi].ua);
        split (p.z1b, units[lo].z1b, units[hi].z1b);
        split (p.ub, units[lo].ub, units[hi].ub);
    };

    // { L, R, L, R } of a frame, unit 0's input.
    auto frameAt = [left, right] (int i)
    {
        const __m128 frame = _mm_unpacklo_ps (_mm_set_ss (left[i]), stereo ? _mm_set_ss (right[i]) : _mm_setzero_ps());
        return _mm_movelh_ps (frame, frame);
    };
    // Unit 5's input: unit 2's upper half twice.
    auto upperOf = [] (__m256 b)
    {
        const __m128 midAndUpper = _mm256_extractf128_ps (b, 1);
        return _mm_movehl_ps (midAndUpper, midAndUpper);
    };
    // Bands 3 and 4 of both channels { 3L, 3R, 4L, 4R } into the upper halves of a frame's bands.
    auto storeUpperBands = [leftBands, rightBands] (__m128 b34, int i)
    {
        const __m128 byChannel = _mm_shuffle_ps (b34, b34, _MM_SHUFFLE (3, 1, 2, 0));
        _mm_storel_pi (reinterpret_cast<__m64*> (reinterpret_cast<float*> (leftBands + i) + 2), byChannel);
        _mm_storeh_pi (reinterpret_cast<__m64*> (reinterpret_cast<float*> (rightBands + i) + 2), byChannel);
    };

    Pair8 units12 = eight (1, 2), units34 = eight (3, 4);
    __m128 lowAndHigh[passLength];            // unit 0 of this pass's frames
    __m256 allPassAndSplit[2][passLength];    // units 1 and 2 of this pass's and the previous pass's frames
    int previousStart = 0, previousLength = 0, current = 0;

    for (int start = 0; start < count; start += passLength)
    {
        const int n = count - start < passLength ? count - start : passLength;
        const __m256* previous = allPassAndSplit[current ^ 1];

        if (previousLength == 0)
        {
            Pair4 unit0 = four (0);
            for (int i = 0; i < n; ++i)
                lowAndHigh[i] = unit0.run (frameAt (start + i));
            keepFour (0, unit0);
        }
        else
        {
            // Only the last pass can be shorter than the one before it.
            Pair8 units05 = eight (0, 5);
            int i = 0;
            for (; i < n; ++i)
            {
                const __m256 y = units05.run (_mm256_insertf128_ps (_mm256_castps128_ps256 (frameAt (start + i)),
                                                                    upperOf (previous[i]), 1));
                lowAndHigh[i] = _mm256_castps256_ps128 (y);
                storeUpperBands (_mm256_extractf128_ps (y, 1), previousStart + i);
            }
            keepEight (0, 5, units05);

            Pair4 unit5 = four (5);
            for (; i < previousLength; ++i)
                storeUpperBands (unit5.run (upperOf (previous[i])), previousStart + i);
            keepFour (5, unit5);
        }

        // The low band twice | the upper path twice.
        __m256* split12 = allPassAndSplit[current];
        for (int i = 0; i < n; ++i)
        {
            const __m128 x = lowAndHigh[i];
            split12[i] = units12.run (_mm256_permutevar_ps (_mm256_insertf128_ps (_mm256_castps128_ps256 (x), x, 1),
                                                            _mm256_setr_epi32 (0, 1, 0, 1, 2, 3, 2, 3)));
        }

        // Units 3 and 4: the low band's two all-pass halves summed | unit 2's band 2 half twice;
        // bands 1 and 2 into the lower halves of the frame's bands.
        for (int i = 0; i < n; ++i)
        {
            const __m256 b = split12[i];
            const __m256 swapped = _mm256_permutevar_ps (b, _mm256_setr_epi32 (2, 3, 0, 1, 0, 1, 0, 1));
            const __m256 y = units34.run (_mm256_blend_ps (_mm256_add_ps (b, swapped), swapped, 0xf0));
            const __m256 bands12 = _mm256_add_ps (y, _mm256_permutevar_ps (y, _mm256_setr_epi32 (2, 3, 0, 1, 2, 3, 0, 1)));
            const __m128 b12 = _mm_unpacklo_ps (_mm256_castps256_ps128 (bands12), _mm256_extractf128_ps (bands12, 1));
            _mm_storel_pi (reinterpret_cast<__m64*> (leftBands + start + i), b12);
            _mm_storeh_pi (reinterpret_cast<__m64*> (rightBands + start + i), b12);
        }

        previousStart = start;
        previousLength = n;
        current ^= 1;
    }

    // Unit 5 of the last pass.
    {
        const __m256* previous = allPassAndSplit[current ^ 1];
        Pair4 unit5 = four (5);
        for (int i = 0; i < previousLength; ++i)
            storeUpperBands (unit5.run (upperOf (previous[i])), previousStart + i);
        keepFour (5, unit5);
    }

    keepEight (1, 2, units12);
    keepEight (3, 4, units34);
}

template void VinolaCrossover::processBlockAvx2<true> (const float*, const float*, int, VinolaFloat4*, VinolaFloat4*) noexcept;
template void VinolaCrossover::processBlockAvx2<false> (const float*, const float*, int, VinolaFloat4*, VinolaFloat4*) noexcept;
#endif
