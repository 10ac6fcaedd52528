// The amplifier's AVX2+FMA kernels. This file alone is compiled for that instruction set: it is
// entered only after VinolaKernels has checked the CPU, and keeps its helpers to itself (see
// VinolaKernelsAvx2.cpp).
#include "VinolaAmplifierModel.h"

#if VINOLA_AVX2_KERNELS
#include "VinolaFloat8.h"

#include <immintrin.h>

namespace
{
    using F = VinolaFloat4;

    /** 1 - e^-|u| with the sign of u on eight lanes. The exponential's last product, by a power
        of two, is exact, so it is fused into the subtraction. */
    inline __m256 saturate8 (__m256 u) noexcept
    {
        const __m256 signBit = _mm256_set1_ps (-0.0f);
        __m256 mantissa, scale;
        VinolaFloat8::expParts (_mm256_or_ps (u, signBit), mantissa, scale);
        const __m256 magnitude = _mm256_fnmadd_ps (mantissa, scale, _mm256_set1_ps (1.0f));
        return _mm256_xor_ps (magnitude, _mm256_and_ps (u, signBit));
    }

    /** cascadeInput with both channels' bands in one eight-lane vector. */
    template <bool mono>
    inline F cascadeInput8 (F band0, F band1, F pre, F weightedPost, float drive,
                                                  const float* const* duckingGain, const float* const* vinyl,
                                                  const float* const* crackle, int i) noexcept
    {
        const __m256 bands = _mm256_insertf128_ps (_mm256_castps128_ps256 (band0.v), band1.v, 1);
        const __m256 pre8 = _mm256_insertf128_ps (_mm256_castps128_ps256 (pre.v), pre.v, 1);
        const __m256 post8 = _mm256_insertf128_ps (_mm256_castps128_ps256 (weightedPost.v), weightedPost.v, 1);
        __m256 y;
        if (mono)
        {
            const __m256 gain = _mm256_set1_ps (drive * duckingGain[0][i]);
            const __m256 offset = _mm256_set1_ps (vinyl[0][i] + crackle[0][i]);
            const __m256 u = _mm256_fmadd_ps (bands, _mm256_mul_ps (gain, pre8), _mm256_mul_ps (offset, pre8));
            // The second channel's lanes stay zero: a mono frame puts nothing into that cascade.
            y = _mm256_blend_ps (_mm256_mul_ps (saturate8 (u), post8), _mm256_setzero_ps(), 0xf0);
        }
        else
        {
            const __m256 gain = _mm256_setr_m128 (_mm_set1_ps (drive * duckingGain[0][i]), _mm_set1_ps (drive * duckingGain[1][i]));
            const __m256 offset = _mm256_setr_m128 (_mm_set1_ps (vinyl[0][i] + crackle[0][i]),
                                                    _mm_set1_ps (vinyl[1][i] + crackle[1][i]));
            y = _mm256_mul_ps (saturate8 (_mm256_fmadd_ps (bands, _mm256_mul_ps (gain, pre8), _mm256_mul_ps (offset, pre8))), post8);
        }

        // (a0 + a2) + (a1 + a3) of y per channel and of the bands per channel, as pairSums.
        const __m256i swap = _mm256_setr_epi32 (2, 3, 0, 1, 2, 3, 0, 1);
        const __m256 ty = _mm256_add_ps (y, _mm256_permutevar_ps (y, swap));
        const __m256 tb = _mm256_add_ps (bands, _mm256_permutevar_ps (bands, swap));
        const __m256 sums = _mm256_hadd_ps (ty, tb);   // { y0 y0 b0 b0 | y1 y1 b1 b1 }
        return _mm_blend_ps (_mm256_castps256_ps128 (sums), _mm256_extractf128_ps (sums, 1), 0xa);
    }

    /** The filters' steps with fused multiply-adds (see Cascades), z1 and the form's own
        combination in s1 and s2: near DC u' = x + a2 u - E z1, near Nyquist v' = x + F z1 - a2 v. */
    inline __m128 nearDcStep (F in, F a2, F feedback, F s1, F s2) noexcept
    {
        return _mm_fnmadd_ps (feedback.v, s1.v, _mm_fmadd_ps (a2.v, s2.v, in.v));
    }

    inline __m128 nearNyquistStep (F in, F a2, F feedback, F s1, F s2) noexcept
    {
        return _mm_fmadd_ps (feedback.v, s1.v, _mm_fnmadd_ps (a2.v, s2.v, in.v));
    }
}

inline VinolaFloat4 VinolaAmplifierModel::stepCascadesAvx2 (Cascades& c, const CascadeDesign& d, VinolaFloat4 x) noexcept
{
    const F in0 = c.out[1], in1 = c.out[2], in2 = c.out[3];

    const __m128 fromState0 = _mm_fnmadd_ps (d.b2[0].v, c.s2[0].v, _mm_mul_ps (d.forward[0].v, c.s1[0].v));
    const __m128 step0 = nearDcStep (in0, d.a2[0], d.feedback[0], c.s1[0], c.s2[0]);
    c.out[0] = _mm_fmadd_ps (d.b0[0].v, step0, fromState0);
    c.s1[0] = _mm_add_ps (c.s1[0].v, step0);
    c.s2[0] = step0;

    const __m128 fromState1 = _mm_fnmadd_ps (d.forward[1].v, c.s1[1].v, _mm_mul_ps (d.b2[1].v, c.s2[1].v));
    const __m128 sum1 = nearNyquistStep (in1, d.a2[1], d.feedback[1], c.s1[1], c.s2[1]);
    c.out[1] = _mm_fmadd_ps (d.b0[1].v, sum1, fromState1);
    c.s1[1] = _mm_sub_ps (sum1, c.s1[1].v);
    c.s2[1] = sum1;

    const __m128 step2 = nearDcStep (in2, d.a2[2], d.feedback[2], c.s1[2], c.s2[2]);
    c.out[2] = _mm_mul_ps (d.b0[2].v, _mm_sub_ps (step2, c.s2[2].v));
    c.s1[2] = _mm_add_ps (c.s1[2].v, step2);
    c.s2[2] = step2;

    const __m128 sum3 = nearNyquistStep (x, d.a2[3], d.feedback[3], c.s1[3], c.s2[3]);
    c.out[3] = _mm_mul_ps (d.b0[3].v, _mm_add_ps (sum3, c.s2[3].v));
    c.s1[3] = _mm_sub_ps (sum3, c.s1[3].v);
    c.s2[3] = sum3;
    c.dc = _mm_fmadd_ps (d.dcRate.v, _mm_sub_ps (x.v, c.dc.v), c.dc.v);
    return c.out[0];
}

void VinolaAmplifierModel::runFramesAvx2 (bool mono, bool moderate, const FrameControls* controls, int count,
                                          const float* const* input, const float* const* duckingGain,
                                          const float* const* vinyl, const float* const* crackle, F* bands0,
                                          F* bands1, F* outputs) noexcept
{
    runFramesOfLayout (mono, moderate, controls, count, input, bands0, bands1, outputs,
        [&] (auto monoTag)
        {
            return [&] (F band0, F band1, int i)
            {
                return cascadeInput8<decltype (monoTag)::value> (band0, band1, preGain, weightedPostGain, drive,
                                                                  duckingGain, vinyl, crackle, i);
            };
        },
        [this] (Cascades& c, F x) { stepCascadesAvx2 (c, cascadeDesign, x); });
}

template <bool mono>
void VinolaAmplifierModel::runSteadyFramesAvx2 (int count, const float* const* duckingGain, const float* const* vinyl,
                                               const float* const* crackle, const F* bands0, const F* bands1,
                                               F* outputs) noexcept
{
    // The cascade inputs of every frame first: no frame depends on another here.
    const F pre = preGain, post = weightedPostGain;
    const float frameDrive = drive;
    for (int i = 0; i < count; ++i)
        outputs[i] = cascadeInput8<mono> (bands0[i], bands1[i], pre, post, frameDrive, duckingGain, vinyl, crackle, i);

    // Then the four recursions side by side.
    Cascades c = cascades;
    const CascadeDesign& d = cascadeDesign;
    for (int i = 0; i < count; ++i)
        outputs[i] = stepCascadesAvx2 (c, d, outputs[i]);

    if (mono)
        keepSecondChannel (c, cascades);   // mono leaves the second channel's lanes as they were
    cascades = c;
}

template void VinolaAmplifierModel::runSteadyFramesAvx2<true> (int, const float* const*, const float* const*,
                                                               const float* const*, const F*, const F*, F*) noexcept;
template void VinolaAmplifierModel::runSteadyFramesAvx2<false> (int, const float* const*, const float* const*,
                                                                const float* const*, const F*, const F*, F*) noexcept;
#endif
