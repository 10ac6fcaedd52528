#include "VinolaCrossover.h"

#include <cmath>
#include <initializer_list>

#if VINOLA_AVX2_KERNELS
 #include <immintrin.h>
#endif

namespace
{
    constexpr float defaultFrequencies[VinolaCrossover::numSections] = {
        300.0f, 1300.0f, 5000.0f, 300.0f, 1300.0f, 5000.0f, 1300.0f, 5000.0f, 5000.0f
    };

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
        frequencies[s] = defaultFrequencies[s];

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
    using F = VinolaFloat4;

    // Every pair input is a guarded value: the frame input, the first biquad's output inside a
    // pair, and the pair outputs and the sum that feed further sections. The band outputs are
    // not guarded.
    auto runPair = [] (PairUnit& u, F x) noexcept
    {
        const F y = runBiquad (x, u.a1, u.a2, u.gain, u.b1, u.z1a, u.z2a);
        return runBiquad (y, u.a1, u.a2, u.gain, u.b1, u.z1b, u.z2b);
    };

    // Lanes { ch0, ch1 } of the first pair, then { ch0, ch1 } of the second.
    const F lowAndHigh = runPair (units[0], F::set (left, right, left, right));   // L | H

    const F lowAllPass = runPair (units[1], F::lowHalfTwice (lowAndHigh));
    const F lowSum = lowAllPass + F::swapHalves (lowAllPass);                      // L1 | L1

    const F midAndUpper = runPair (units[2], F::highHalfTwice (lowAndHigh));      // M | H2

    const F band1Parts = runPair (units[3], lowSum);
    const F band1 = band1Parts + F::swapHalves (band1Parts);
    const F band2Parts = runPair (units[4], F::lowHalfTwice (midAndUpper));
    const F band2 = band2Parts + F::swapHalves (band2Parts);
    const F bands34 = runPair (units[5], F::highHalfTwice (midAndUpper));

    const F band12 = F::unpackLow (band1, band2);                                         // b1 b2 of ch0, ch1
    leftBands = F::shuffle<0, 1, 0, 2> (band12, bands34);
    rightBands = F::shuffle<2, 3, 1, 3> (band12, bands34);
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
    /** Two identical biquads in series on eight lanes. */
    struct PairUnit8
    {
        __m256 a1, a2, gain, b1;
        __m256 z1a, z2a, z1b, z2b;
    };

    VINOLA_AVX2_TARGET inline __m256 join (VinolaFloat4 low, VinolaFloat4 high) noexcept
    {
        return _mm256_insertf128_ps (_mm256_castps128_ps256 (low.v), high.v, 1);
    }

    VINOLA_AVX2_TARGET inline void split (__m256 x, VinolaFloat4& low, VinolaFloat4& high) noexcept
    {
        low = _mm256_castps256_ps128 (x);
        high = _mm256_extractf128_ps (x, 1);
    }

    /** runBiquad on eight lanes with fused multiply-adds (the same terms, rounded fewer times). */
    VINOLA_AVX2_TARGET inline __m256 runBiquad8 (__m256 x, __m256 a1, __m256 a2, __m256 gain, __m256 b1,
                                                 __m256& z1, __m256& z2) noexcept
    {
        // x + a2 z2 + a1 z1 in two fused steps: one op fewer, and the recursion through z1 is a
        // single multiply-add and the guard's add.
        const __m256 feedforward = _mm256_fmadd_ps (b1, z1, z2);
        const __m256 guard = _mm256_and_ps (_mm256_cmp_ps (x, _mm256_setzero_ps(), _CMP_EQ_OQ),
                                            _mm256_set1_ps (zeroGuard));
        const __m256 w = _mm256_add_ps (_mm256_fmadd_ps (a1, z1, _mm256_fmadd_ps (a2, z2, x)), guard);
        z2 = z1;
        z1 = w;
        return _mm256_mul_ps (gain, _mm256_add_ps (w, feedforward));
    }

    /** One pair step; with a mask, only the set lanes' states move (the pipeline's first and
        last frames of a run leave some depths idle). */
    template <bool masked>
    VINOLA_AVX2_TARGET inline __m256 runPair8 (PairUnit8& u, __m256 x, __m256 active) noexcept
    {
        if (! masked)
        {
            const __m256 y = runBiquad8 (x, u.a1, u.a2, u.gain, u.b1, u.z1a, u.z2a);
            return runBiquad8 (y, u.a1, u.a2, u.gain, u.b1, u.z1b, u.z2b);
        }

        __m256 z1a = u.z1a, z2a = u.z2a, z1b = u.z1b, z2b = u.z2b;
        const __m256 y = runBiquad8 (x, u.a1, u.a2, u.gain, u.b1, z1a, z2a);
        const __m256 out = runBiquad8 (y, u.a1, u.a2, u.gain, u.b1, z1b, z2b);
        u.z1a = _mm256_blendv_ps (u.z1a, z1a, active);
        u.z2a = _mm256_blendv_ps (u.z2a, z2a, active);
        u.z1b = _mm256_blendv_ps (u.z1b, z1b, active);
        u.z2b = _mm256_blendv_ps (u.z2b, z2b, active);
        return out;
    }

    /** Step t of the crossover's frame pipeline (see processBlockAvx2); masked for the steps at
        either end of a run, where some depths have no frame. */
    template <bool stereo, bool masked>
    VINOLA_AVX2_TARGET inline __attribute__ ((always_inline))
    void pipelineStep (PairUnit8 (&g)[3], __m256& previousA, __m256& previousB, const float* left, const float* right,
                       int t, int count, VinolaFloat4* leftBands, VinolaFloat4* rightBands) noexcept
    {
        const __m256 none = _mm256_setzero_ps();
        const __m256 all = _mm256_castsi256_ps (_mm256_set1_epi32 (-1));

        // A: { L, R, L, R } of frame t | unit 2's upper half of frame t - 2, twice.
        __m128 frame = _mm_setzero_ps();
        if (! masked || t < count)
        {
            frame = _mm_unpacklo_ps (_mm_set_ss (left[t]), stereo ? _mm_set_ss (right[t]) : _mm_setzero_ps());
            frame = _mm_movelh_ps (frame, frame);
        }
        const __m128 midAndUpper = _mm256_extractf128_ps (previousB, 1);
        const __m256 xA = _mm256_insertf128_ps (_mm256_castps128_ps256 (frame), _mm_movehl_ps (midAndUpper, midAndUpper), 1);

        // B: unit 0's low band twice | its upper path twice, of frame t - 1.
        const __m128 lowAndHigh = _mm256_castps256_ps128 (previousA);
        const __m256 xB = _mm256_permutevar_ps (_mm256_insertf128_ps (_mm256_castps128_ps256 (lowAndHigh), lowAndHigh, 1),
                                                _mm256_setr_epi32 (0, 1, 0, 1, 2, 3, 2, 3));

        // C: the low band's two all-pass halves summed | unit 2's band 2 half twice, of frame t - 2.
        const __m256 swappedB = _mm256_permutevar_ps (previousB, _mm256_setr_epi32 (2, 3, 0, 1, 0, 1, 0, 1));
        const __m256 xC = _mm256_blend_ps (_mm256_add_ps (previousB, swappedB), swappedB, 0xf0);

        __m256 activeA = all, activeB = all, activeC = all;
        if (masked)
        {
            activeA = _mm256_blend_ps (t < count ? all : none, t >= 2 ? all : none, 0xf0);
            activeB = t >= 1 && t <= count ? all : none;
            activeC = t >= 2 ? all : none;
        }
        const __m256 yA = runPair8<masked> (g[0], xA, activeA);
        const __m256 yB = runPair8<masked> (g[1], xB, activeB);
        const __m256 yC = runPair8<masked> (g[2], xC, activeC);

        if (! masked || t >= 2)
        {
            const __m256 bands12 = _mm256_add_ps (yC, _mm256_permutevar_ps (yC, _mm256_setr_epi32 (2, 3, 0, 1, 2, 3, 0, 1)));
            const __m128 b12 = _mm_unpacklo_ps (_mm256_castps256_ps128 (bands12), _mm256_extractf128_ps (bands12, 1));
            const __m128 b34 = _mm256_extractf128_ps (yA, 1);
            _mm_storeu_ps (reinterpret_cast<float*> (leftBands + (t - 2)), _mm_shuffle_ps (b12, b34, _MM_SHUFFLE (2, 0, 1, 0)));
            _mm_storeu_ps (reinterpret_cast<float*> (rightBands + (t - 2)), _mm_shuffle_ps (b12, b34, _MM_SHUFFLE (3, 1, 3, 2)));
        }
        previousA = yA;
        previousB = yB;
    }
}

template <bool stereo>
void VinolaCrossover::processBlockAvx2 (const float* left, const float* right, int count, VinolaFloat4* leftBands,
                                        VinolaFloat4* rightBands) noexcept
{
    // Eight-lane units: A = { unit 0 | unit 5 }, B = { unit 1 | unit 2 }, C = { unit 3 | unit 4 }.
    // Step t runs unit 0 on frame t, units 1 and 2 on frame t - 1, and units 3, 4 and 5 on frame
    // t - 2, every input coming from step t - 1, so the three pair steps are independent.
    PairUnit8 g[3];
    const int members[3][2] = { { 0, 5 }, { 1, 2 }, { 3, 4 } };
    for (int k = 0; k < 3; ++k)
    {
        const PairUnit& lo = units[members[k][0]];
        const PairUnit& hi = units[members[k][1]];
        g[k] = { join (lo.a1, hi.a1), join (lo.a2, hi.a2), join (lo.gain, hi.gain), join (lo.b1, hi.b1),
                 join (lo.z1a, hi.z1a), join (lo.z2a, hi.z2a), join (lo.z1b, hi.z1b), join (lo.z2b, hi.z2b) };
    }

    __m256 previousA = _mm256_setzero_ps(), previousB = _mm256_setzero_ps();   // step t - 1's outputs of A and B

    // The first two and the last two steps have idle depths; the steps between run in full.
    const int fullStart = count < 2 ? count : 2;
    int t = 0;
    for (; t < fullStart; ++t)
        pipelineStep<stereo, true> (g, previousA, previousB, left, right, t, count, leftBands, rightBands);
    for (; t < count; ++t)
        pipelineStep<stereo, false> (g, previousA, previousB, left, right, t, count, leftBands, rightBands);
    for (; t < count + 2; ++t)
        pipelineStep<stereo, true> (g, previousA, previousB, left, right, t, count, leftBands, rightBands);

    for (int k = 0; k < 3; ++k)
    {
        PairUnit& lo = units[members[k][0]];
        PairUnit& hi = units[members[k][1]];
        split (g[k].z1a, lo.z1a, hi.z1a);
        split (g[k].z2a, lo.z2a, hi.z2a);
        split (g[k].z1b, lo.z1b, hi.z1b);
        split (g[k].z2b, lo.z2b, hi.z2b);
    }
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
    {
        for (int i = 0; i < count; ++i)
            processFrame (left[i], right[i], leftBands[i], rightBands[i]);
    }
    else
    {
        for (int i = 0; i < count; ++i)
            processFrame (left[i], 0.0f, leftBands[i], rightBands[i]);
    }
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
