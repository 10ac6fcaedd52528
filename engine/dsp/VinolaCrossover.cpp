#include "VinolaCrossover.h"

#include <cmath>
#include <initializer_list>

#if VINOLA_AVX2_KERNELS
 #include <immintrin.h>
#endif

namespace
{
    // Which pair fills each half of each unit: { section, is high-pass } for lanes 0-1, then 2-3.
    struct UnitLayout { int lowSection; bool lowIsHighPass; int highSection; bool highIsHighPass; };
    constexpr UnitLayout layouts[6] = {
        { 0, false, 3, true },   // first split: low band | common path of the upper bands
        { 1, false, 1, true },   // all-pass on the low band
        { 4, false, 6, true },   // band 2 split | bands 3 and 4
        { 2, false, 2, true },   // all-pass on the low band -> band 1
        { 5, false, 5, true },   // all-pass on band 2 -> band 2
        { 7, false, 8, true },   // band 3 | band 4
    };

    constexpr float zeroGuard = 1.0e-6f;

    /** The amount the silence guard adds to a biquad input: 1e-6 where it is exactly zero. */
    inline VinolaFloat4 guardOf (VinolaFloat4 x) noexcept
    {
        return VinolaFloat4::bitAnd (VinolaFloat4::equal (x, VinolaFloat4::zero()), VinolaFloat4::broadcast (zeroGuard));
    }

    /** One biquad on a guarded input. The state terms are summed first, off the input's path, and
        the guard is added after them: x + 0 is x, and 0 + d + 1e-6 is the guarded 1e-6 + d. */
    inline VinolaFloat4 runBiquad (VinolaFloat4 x, VinolaFloat4 a1, VinolaFloat4 a2, VinolaFloat4 gain,
                                   VinolaFloat4 b1, VinolaFloat4& z1, VinolaFloat4& z2) noexcept
    {
        const VinolaFloat4 feedback = a1 * z1 + a2 * z2;
        const VinolaFloat4 feedforward = b1 * z1 + z2;
        const VinolaFloat4 w = (x + feedback) + guardOf (x);
        z2 = z1;
        z1 = w;
        return gain * (w + feedforward);
    }
}

VinolaCrossover::VinolaCrossover() noexcept
{
    for (int s = 0; s < numSections; ++s)
        frequencies[s] = defaultSplitFrequencies[s];

    setup();
    reset();
}

VinolaCrossover::PairCoefficients VinolaCrossover::designPair (float frequency, float rate, bool highPass) noexcept
{
    // Keep every split below the Nyquist frequency at unusually low host rates; at the usual
    // rates this never bites.
    frequency = std::fmin (frequency, 0.45f * rate);

    const float K = std::tan ((float) (((double) frequency * 3.141592653589793) / (double) rate));
    const float KK = K * K;
    const float s = (K + K) * 0.70710677f;
    const float D = KK + s + 1.0f;

    PairCoefficients c;
    c.a1 = 2.0f * (1.0f - KK) / D;
    c.a2 = -(KK - s + 1.0f) / D;
    c.gain = highPass ? 1.0f / D : KK / D;
    c.b1 = highPass ? -2.0f : 2.0f;
    return c;
}

void VinolaCrossover::designUnit (int u, int lowSection, bool lowIsHighPass, int highSection, bool highIsHighPass) noexcept
{
    const auto lo = designPair (frequencies[lowSection], sampleRate, lowIsHighPass);
    const auto hi = designPair (frequencies[highSection], sampleRate, highIsHighPass);
    auto& unit = units[u];
    unit.a1 = VinolaFloat4::set (lo.a1, lo.a1, hi.a1, hi.a1);
    unit.a2 = VinolaFloat4::set (lo.a2, lo.a2, hi.a2, hi.a2);
    unit.gain = VinolaFloat4::set (lo.gain, lo.gain, hi.gain, hi.gain);
    unit.b1 = VinolaFloat4::set (lo.b1, lo.b1, hi.b1, hi.b1);
}

void VinolaCrossover::designSection (int section) noexcept
{
    for (int u = 0; u < 6; ++u)
    {
        const auto& l = layouts[u];
        if (l.lowSection == section || l.highSection == section)
            designUnit (u, l.lowSection, l.lowIsHighPass, l.highSection, l.highIsHighPass);
    }
}

void VinolaCrossover::setup() noexcept
{
    for (int u = 0; u < 6; ++u)
    {
        const auto& l = layouts[u];
        designUnit (u, l.lowSection, l.lowIsHighPass, l.highSection, l.highIsHighPass);
    }
}

void VinolaCrossover::setSplitFrequency (int section, float frequency) noexcept
{
    if (section < 0 || section >= numSections || ! (frequency > 0.0f))
        return;

    frequencies[section] = frequency;
    designSection (section);
}

void VinolaCrossover::setSampleRate (double newRate) noexcept
{
    if (! (newRate > 0.0 && newRate < 1.0e7) || (float) newRate == sampleRate)
        return;

    sampleRate = (float) newRate;
    setup();
}

void VinolaCrossover::reset() noexcept
{
    for (auto& unit : units)
        unit.z1a = unit.z2a = unit.z1b = unit.z2b = VinolaFloat4::zero();
}

void VinolaCrossover::processFrame (float left, float right, VinolaFloat4& leftBands, VinolaFloat4& rightBands) noexcept
{
    processBlockBaseline<true> (&left, &right, 1, &leftBands, &rightBands);
}

template <bool stereo>
void VinolaCrossover::processBlockBaseline (const float* left, const float* right, int count,
                                            VinolaFloat4* leftBands, VinolaFloat4* rightBands) noexcept
{
    using F = VinolaFloat4;

    // Every pair input is a guarded value: the frame input, the first biquad's output inside a
    // pair, and the pair outputs and the sum that feed further sections. The band outputs are
    // not guarded.
    auto runPair = [] (PairUnit& u, F x) noexcept
    {
        const F y = runBiquad (x, u.a1, u.a2, u.gain, u.b1, u.z1a, u.z2a);
        return runBiquad (y, u.a1, u.a2, u.gain, u.b1, u.z1b, u.z2b);
    };

    // The tree depth by depth over the frames of a pass (lanes { ch0, ch1 } of a unit's first
    // pair, then { ch0, ch1 } of its second): from frame to frame only each filter's own state
    // carries over, so consecutive frames overlap. Each pass works on local copies of the
    // units, which stay in registers.
    constexpr int passLength = 16;
    F lowAndHigh[passLength], lowSum[passLength], midAndUpper[passLength];
    for (int offset = 0; offset < count; offset += passLength)
    {
        const int n = count - offset < passLength ? count - offset : passLength;

        PairUnit u0 = units[0];
        for (int i = 0; i < n; ++i)
        {
            const float l = left[offset + i], r = stereo ? right[offset + i] : 0.0f;
            lowAndHigh[i] = runPair (u0, F::set (l, r, l, r));                              // L | H
        }
        units[0] = u0;

        PairUnit u1 = units[1], u2 = units[2];
        for (int i = 0; i < n; ++i)
        {
            const F lowAllPass = runPair (u1, F::lowHalfTwice (lowAndHigh[i]));
            lowSum[i] = lowAllPass + F::swapHalves (lowAllPass);                           // L1 | L1
            midAndUpper[i] = runPair (u2, F::highHalfTwice (lowAndHigh[i]));               // M | H2
        }
        units[1] = u1;
        units[2] = u2;

        PairUnit u3 = units[3], u4 = units[4], u5 = units[5];
        for (int i = 0; i < n; ++i)
        {
            const F band1Parts = runPair (u3, lowSum[i]);
            const F band1 = band1Parts + F::swapHalves (band1Parts);
            const F band2Parts = runPair (u4, F::lowHalfTwice (midAndUpper[i]));
            const F band2 = band2Parts + F::swapHalves (band2Parts);
            const F bands34 = runPair (u5, F::highHalfTwice (midAndUpper[i]));

            const F band12 = F::unpackLow (band1, band2);                                   // b1 b2 of ch0, ch1
            leftBands[offset + i] = F::shuffle<0, 1, 0, 2> (band12, bands34);
            rightBands[offset + i] = F::shuffle<2, 3, 1, 3> (band12, bands34);
        }
        units[3] = u3;
        units[4] = u4;
        units[5] = u5;
    }
}

VinolaFloat4 VinolaCrossover::processSample (float x) noexcept
{
    VinolaFloat4 bands, unused;
    processFrame (x, 0.0f, bands, unused);
    return bands;
}

#if VINOLA_AVX2_KERNELS
// The band outputs are written as four packed floats.
static_assert (sizeof (VinolaFloat4) == 4 * sizeof (float), "VinolaFloat4 holds exactly four floats");

namespace
{
    /** The few operations a biquad needs, on four or eight lanes. */
    struct Lanes4
    {
        using V = __m128;
        static VINOLA_AVX2_TARGET V fmadd (V a, V b, V c) noexcept { return _mm_fmadd_ps (a, b, c); }
        static VINOLA_AVX2_TARGET V add (V a, V b) noexcept { return _mm_add_ps (a, b); }
        static VINOLA_AVX2_TARGET V mul (V a, V b) noexcept { return _mm_mul_ps (a, b); }
        static VINOLA_AVX2_TARGET V guard (V x) noexcept
        {
            return _mm_and_ps (_mm_cmpeq_ps (x, _mm_setzero_ps()), _mm_set1_ps (zeroGuard));
        }
    };

    struct Lanes8
    {
        using V = __m256;
        static VINOLA_AVX2_TARGET V fmadd (V a, V b, V c) noexcept { return _mm256_fmadd_ps (a, b, c); }
        static VINOLA_AVX2_TARGET V add (V a, V b) noexcept { return _mm256_add_ps (a, b); }
        static VINOLA_AVX2_TARGET V mul (V a, V b) noexcept { return _mm256_mul_ps (a, b); }
        static VINOLA_AVX2_TARGET V guard (V x) noexcept
        {
            return _mm256_and_ps (_mm256_cmp_ps (x, _mm256_setzero_ps(), _CMP_EQ_OQ), _mm256_set1_ps (zeroGuard));
        }
    };

    /** Two identical biquads in series on four or eight lanes. */
    template <typename L>
    struct WidePair
    {
        using V = typename L::V;
        V a1, a2, gain, b1;
        V z1a, z2a, z1b, z2b;

        /** runBiquad with fused multiply-adds (the same terms, rounded fewer times): the
            recursion through z1 is a single multiply-add and the guard's add. */
        static VINOLA_AVX2_TARGET inline __attribute__ ((always_inline))
        V biquad (V x, V a1, V a2, V gain, V b1, V& z1, V& z2) noexcept
        {
            const V feedforward = L::fmadd (b1, z1, z2);
            const V w = L::add (L::fmadd (a1, z1, L::fmadd (a2, z2, x)), L::guard (x));
            z2 = z1;
            z1 = w;
            return L::mul (gain, L::add (w, feedforward));
        }

        VINOLA_AVX2_TARGET inline __attribute__ ((always_inline)) V run (V x) noexcept
        {
            const V y = biquad (x, a1, a2, gain, b1, z1a, z2a);
            return biquad (y, a1, a2, gain, b1, z1b, z2b);
        }
    };

    using Pair4 = WidePair<Lanes4>;
    using Pair8 = WidePair<Lanes8>;

    VINOLA_AVX2_TARGET inline __m256 join (VinolaFloat4 low, VinolaFloat4 high) noexcept
    {
        return _mm256_insertf128_ps (_mm256_castps128_ps256 (low.v), high.v, 1);
    }

    VINOLA_AVX2_TARGET inline void split (__m256 x, VinolaFloat4& low, VinolaFloat4& high) noexcept
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
    auto four = [this] (int u) VINOLA_AVX2_TARGET
    {
        const PairUnit& p = units[u];
        return Pair4 { p.a1.v, p.a2.v, p.gain.v, p.b1.v, p.z1a.v, p.z2a.v, p.z1b.v, p.z2b.v };
    };
    auto eight = [this] (int lo, int hi) VINOLA_AVX2_TARGET
    {
        const PairUnit& l = units[lo];
        const PairUnit& h = units[hi];
        return Pair8 { join (l.a1, h.a1), join (l.a2, h.a2), join (l.gain, h.gain), join (l.b1, h.b1),
                       join (l.z1a, h.z1a), join (l.z2a, h.z2a), join (l.z1b, h.z1b), join (l.z2b, h.z2b) };
    };
    auto keepFour = [this] (int u, const Pair4& p) VINOLA_AVX2_TARGET
    {
        PairUnit& unit = units[u];
        unit.z1a = p.z1a;
        unit.z2a = p.z2a;
        unit.z1b = p.z1b;
        unit.z2b = p.z2b;
    };
    auto keepEight = [this] (int lo, int hi, const Pair8& p) VINOLA_AVX2_TARGET
    {
        split (p.z1a, units[lo].z1a, units[hi].z1a);
        split (p.z2a, units[lo].z2a, units[hi].z2a);
        split (p.z1b, units[lo].z1b, units[hi].z1b);
        split (p.z2b, units[lo].z2b, units[hi].z2b);
    };

    // { L, R, L, R } of a frame, unit 0's input.
    auto frameAt = [left, right] (int i) VINOLA_AVX2_TARGET
    {
        const __m128 frame = _mm_unpacklo_ps (_mm_set_ss (left[i]), stereo ? _mm_set_ss (right[i]) : _mm_setzero_ps());
        return _mm_movelh_ps (frame, frame);
    };
    // Unit 5's input: unit 2's upper half twice.
    auto upperOf = [] (__m256 b) VINOLA_AVX2_TARGET
    {
        const __m128 midAndUpper = _mm256_extractf128_ps (b, 1);
        return _mm_movehl_ps (midAndUpper, midAndUpper);
    };
    // Bands 3 and 4 of both channels { 3L, 3R, 4L, 4R } into the upper halves of a frame's bands.
    auto storeUpperBands = [leftBands, rightBands] (__m128 b34, int i) VINOLA_AVX2_TARGET
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
#endif

void VinolaCrossover::processBlock (const float* left, const float* right, int count, VinolaFloat4* leftBands,
                                    VinolaFloat4* rightBands) noexcept
{
#if VINOLA_AVX2_KERNELS
    if (count > 0 && VinolaKernels::useAvx2())
    {
        if (right != nullptr)
            processBlockAvx2<true> (left, right, count, leftBands, rightBands);
        else
            processBlockAvx2<false> (left, right, count, leftBands, rightBands);
        return;
    }
#endif
    if (right != nullptr)
        processBlockBaseline<true> (left, right, count, leftBands, rightBands);
    else
        processBlockBaseline<false> (left, right, count, leftBands, rightBands);
}

bool VinolaCrossover::stateIsBelow (float limit) const noexcept
{
    // NaN fails the comparison, infinity exceeds any finite limit.
    const VinolaFloat4 bound = VinolaFloat4::broadcast (limit);
    VinolaFloat4 within = VinolaFloat4::equal (bound, bound);
    for (const auto& u : units)
        for (auto z : { u.z1a, u.z2a, u.z1b, u.z2b })
            within = VinolaFloat4::bitAnd (within, VinolaFloat4::lessThan (VinolaFloat4::abs (z), bound));
    return VinolaFloat4::allTrue (within);
}
