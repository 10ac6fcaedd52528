#include "VinolaDspEngine.h"
#include "VinolaKernels.h"
#include "VinolaFloat4.h"
#include "MvPlatform.h"
#include "VinolaXorShift128.h"

#if VINOLA_AVX2_KERNELS
 #include <immintrin.h>
#endif

#include <cmath>
#include <cstdint>
#include <cstring>

namespace
{
    constexpr double pi = 3.141592653589793;
    constexpr float twoPiFloat = 6.2831855f;

    // A table of values that hold for a random number of entries. A value changes where the
    // index is a multiple of the current hold, so after a change at i the next one comes at the
    // first multiple of the new hold above i.
    void fillHoldTable (float* table, int size, int firstHold, int holdRange, int holdMinimum,
                        double scale, double offset) noexcept
    {
        auto& random = VinolaXorShift128::shared();
        int hold = firstHold;
        float value = 0.0f;
        for (int i = 0; i < size; ++i)
        {
            if (i % hold == 0)
            {
                hold = MvPlatform::rand() % holdRange + holdMinimum;
                value = (float) ((double) random.nextBipolar() * scale + offset);
            }
            table[i] = value;
        }
    }

    /** The smoother's next count values; true when they are all its target (it was idle). */
    template <typename Run>
    bool fillSmoothed (VinolaParameterSmoother& smoother, Run& run, int count) noexcept
    {
        if (smoother.countdown <= 0)
        {
            // The whole array, so that later runs of any length find it filled. Compared as bits:
            // a NaN target is refilled every run rather than never.
            if (! (run.holdsTarget && std::memcmp (&run.target, &smoother.target, sizeof (float)) == 0))
            {
                const VinolaFloat4 target = VinolaFloat4::broadcast (smoother.target);
                for (int i = 0; i < (int) (sizeof (run.values) / sizeof (float)); i += 4)
                    target.store (run.values + i);
                run.holdsTarget = true;
                run.target = smoother.target;
            }
            return true;
        }
        run.holdsTarget = false;
        for (int i = 0; i < count; ++i)
            run.values[i] = smoother.tick();
        return false;
    }
}

namespace
{
#if VINOLA_AVX2_KERNELS
    /** mixCrackles eight frames at a time, four per double vector, up to a multiple of eight;
        returns the frames done. A at 0.5 is exact in double, so a fused step rounds as the sum. */
    VINOLA_AVX2_TARGET int mixCracklesAvx2 (const float* a, const float* b, const float* c, const float* scratches,
                                            float run, float* out, int n) noexcept
    {
        const __m256d half = _mm256_set1_pd (0.5);
        const __m256 weightB = _mm256_set1_ps (0.1f), weightC = _mm256_set1_ps (0.08f), runs = _mm256_set1_ps (run);
        int i = 0;
        for (; i + 8 <= n; i += 8)
        {
            const __m256 x = _mm256_loadu_ps (a + i);
            const __m256 y = _mm256_mul_ps (_mm256_loadu_ps (b + i), weightB);
            const __m256 z = _mm256_mul_ps (_mm256_loadu_ps (c + i), weightC);
            auto sum = [half] (__m128 p, __m128 q, __m128 r) VINOLA_AVX2_TARGET
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
#endif

    /** One channel of the three generators' mix: A at 0.5, B at 0.1 and C at 0.08, summed in
        double precision, scaled by SCRATCHES (times run). */
    void mixCrackles (const float (*generator)[VinolaCrackleGenerator::maxRunLength], const float* scratches, float run,
                      float* out, int n) noexcept
    {
        int i = 0;
#if VINOLA_AVX2_KERNELS
        if (VinolaKernels::useAvx2())
            i = mixCracklesAvx2 (generator[0], generator[1], generator[2], scratches, run, out, n);
#endif
#if VINOLA_FLOAT4_SSE
        // Four frames at a time, two per double vector: the same roundings as the frame formula.
        const __m128d half = _mm_set1_pd (0.5);
        const __m128 weightB = _mm_set1_ps (0.1f), weightC = _mm_set1_ps (0.08f), runs = _mm_set1_ps (run);
        for (; i + 4 <= n; i += 4)
        {
            const __m128 a = _mm_loadu_ps (generator[0] + i);
            const __m128 b = _mm_mul_ps (_mm_loadu_ps (generator[1] + i), weightB);
            const __m128 c = _mm_mul_ps (_mm_loadu_ps (generator[2] + i), weightC);
            auto sum = [&] (__m128 x, __m128 y, __m128 z)
            {
                return _mm_cvtpd_ps (_mm_add_pd (_mm_add_pd (_mm_mul_pd (_mm_cvtps_pd (x), half), _mm_cvtps_pd (y)),
                                                 _mm_cvtps_pd (z)));
            };
            const __m128 low = sum (a, b, c);
            const __m128 high = sum (_mm_movehl_ps (a, a), _mm_movehl_ps (b, b), _mm_movehl_ps (c, c));
            const __m128 scale = _mm_mul_ps (_mm_loadu_ps (scratches + i), runs);
            _mm_storeu_ps (out + i, _mm_mul_ps (_mm_movelh_ps (low, high), scale));
        }
#endif
        for (; i < n; ++i)
            out[i] = (float) ((double) generator[0][i] * 0.5 + (double) (generator[1][i] * 0.1f)
                              + (double) (generator[2][i] * 0.08f)) * (scratches[i] * run);
    }
}

VinolaDspEngine::VinolaDspEngine()
{
    buildRandomTables();
    cable.setTables (cableContactTable.get(), cableDropoutTable.get());
}

VinolaDspEngine::~VinolaDspEngine() = default;

void VinolaDspEngine::buildRandomTables()
{
    cableContactTable.reset (new float[randomTableSize]);
    cableDropoutTable.reset (new float[randomTableSize]);
    // Contact: 0.4 .. 0.8, holding 50 .. 249 entries. Dropout: 0 .. 1, holding 250 .. 1249.
    fillHoldTable (cableContactTable.get(), randomTableSize, 100, 200, 50, 0.2, 0.6);
    fillHoldTable (cableDropoutTable.get(), randomTableSize, 600, 1000, 250, 0.5, 0.5);
}

void VinolaDspEngine::initCrackleGenerators() noexcept
{
    struct Settings
    {
        VinolaCrackleGenerator* generator;
        const VinolaSampleBank* bank;
        int voices;
        float intervalSpread, levelRandomness, panSpread;
        bool alternateSides;
    };

    // A: the scratches, centred and alternating. B and C: ticks over the same bank, C the wider.
    const Settings settings[] = { { &crackleA, &crackleBanks[0], 16, 0.8f, 0.5f, 0.0f, true },
                                  { &crackleB, &crackleBanks[1], 24, 0.9f, 0.9f, 0.7f, false },
                                  { &crackleC, &crackleBanks[1], 24, 0.9f, 0.9f, 1.0f, false } };
    for (const auto& s : settings)
    {
        auto& g = *s.generator;
        g.init (s.bank, s.voices);
        g.randomOrder = true;
        g.intervalSpread = s.intervalSpread;
        g.levelRandomness = s.levelRandomness;
        g.panSpread = s.panSpread;
        g.alternateSides = s.alternateSides;
    }

    setScratchesRate (0.5f);
}

void VinolaDspEngine::setScratchesRate (float value) noexcept
{
    const float r = value * speedFactor;
    crackleA.setRate (r * 0.5f);
    crackleB.setRate (r * 5.0f);
    crackleC.setRate (r * 8.0f);
}

void VinolaDspEngine::setSampleRate (double newRate) noexcept
{
    // A zero, negative or non-finite rate from a confused host would turn every phase and
    // position into NaN for good; keep the rate we have instead.
    if (! (newRate > 0.0 && newRate < 1.0e7))
        return;

    sampleRate = (float) newRate;
    inverseSampleRate = 1.0f / sampleRate;

    humSampleRate = sampleRate;
    humInverseSampleRate = 1.0f / humSampleRate;
    humIncrement = (float) ((double) (humFrequency * humInverseSampleRate) * pi * 2.0);
    noiseLoopStep = (double) (1.0f / sampleRate);

    crackleA.setSampleRate (newRate);
    crackleB.setSampleRate (newRate);
    crackleC.setSampleRate (newRate);
    amp.setSampleRate (newRate);
}

void VinolaDspEngine::reset() noexcept
{
    for (auto* s : { &scratches, &ampNoise, &vinylNoise, &hum, &inputGain, &humFreq, &needleQuality,
                     &ampQuality, &cableQuality, &outputGain, &wobbleAmount, &mix })
        s->snap();

    amp.reset();
    wobble.reset();
}

void VinolaDspEngine::processFrame (float* frameA, float* frameB, int numChannels, bool running) noexcept
{
    numChannels = numChannels < 0 ? 0 : (numChannels > 2 ? 2 : numChannels);
    const float* input[2] = { &frameA[0], numChannels > 1 ? &frameA[1] : nullptr };
    float a[2] = { 0.0f, 0.0f }, b[2] = { 0.0f, 0.0f };
    float* outA[2] = { &a[0], &a[1] };
    float* outB[2] = { &b[0], &b[1] };
    renderChunk (input, outA, outB, numChannels, 1, running);
    for (int ch = 0; ch < numChannels; ++ch)
    {
        frameA[ch] = a[ch];
        frameB[ch] = b[ch];
    }
}

void VinolaDspEngine::processBlock (float* const* channels, int numChannels, int numSamples, bool running) noexcept
{
    numChannels = numChannels < 0 ? 0 : (numChannels > 2 ? 2 : numChannels);
    float a[2][chunkSize], b[2][chunkSize];
    float* outA[2] = { a[0], a[1] };
    float* outB[2] = { b[0], b[1] };

    for (int start = 0; start < numSamples; start += chunkSize)
    {
        const int n = numSamples - start < chunkSize ? numSamples - start : chunkSize;
        const float* input[2] = { numChannels > 0 ? channels[0] + start : nullptr,
                                  numChannels > 1 ? channels[1] + start : nullptr };
        renderChunk (input, outA, outB, numChannels, n, running);
        for (int ch = 0; ch < numChannels; ++ch)
        {
            float* out = channels[ch] + start;
            int i = 0;
            for (; i + 4 <= n; i += 4)
                (VinolaFloat4::load (b[ch] + i) + VinolaFloat4::load (a[ch] + i)).store (out + i);
            for (; i < n; ++i)
                out[i] = b[ch][i] + a[ch][i];
        }
    }
}

void VinolaDspEngine::renderChunk (const float* const* input, float* const* outA, float* const* outB, int numChannels,
                                   int n, bool running) noexcept
{
    const float run = running ? 1.0f : 0.0f;

    // Everything the wet chain needs per frame, gathered first.
    // Every array is a whole number of vectors long, so vector loops may run past n.
    static_assert (chunkSize % 4 == 0, "chunks are whole vectors");
    float* const needle = smoothedRuns[0].values;
    float* const quality = smoothedRuns[1].values;
    float* const mixValue = smoothedRuns[2].values;
    float* const outGain = smoothedRuns[3].values;
    float* const inGain = smoothedRuns[4].values;
    float* const scratchesValue = smoothedRuns[5].values;
    float* const humValue = smoothedRuns[6].values;
    float* const wobbleValue = smoothedRuns[7].values;
    float* const cableValue = smoothedRuns[8].values;
    float* const vinylValue = smoothedRuns[9].values;
    float* const ampNoiseValue = smoothedRuns[10].values;
    float* const frequencyValue = smoothedRuns[11].values;
    float humSample[chunkSize];
    float humNoise[2][chunkSize], vinyl[2][chunkSize], crackle[2][chunkSize], duckingGains[2][chunkSize];
    float in[2][chunkSize], wet[2][chunkSize], dry[2][chunkSize];
    std::uint32_t draws[2][chunkSize];

    for (int ch = 0; ch < numChannels; ++ch)
        if (n > 0)
            std::memcpy (in[ch], input[ch], sizeof (float) * (size_t) n);

    // 1. Smoothers of the amplifier, the output and the generators.
    fillSmoothed (needleQuality, smoothedRuns[0], n);
    const bool steadyQuality = fillSmoothed (ampQuality, smoothedRuns[1], n);
    fillSmoothed (mix, smoothedRuns[2], n);
    fillSmoothed (outputGain, smoothedRuns[3], n);
    fillSmoothed (inputGain, smoothedRuns[4], n);
    fillSmoothed (scratches, smoothedRuns[5], n);
    const bool steadyHum = fillSmoothed (hum, smoothedRuns[6], n);
    fillSmoothed (wobbleAmount, smoothedRuns[7], n);
    fillSmoothed (cableQuality, smoothedRuns[8], n);
    fillSmoothed (vinylNoise, smoothedRuns[9], n);
    fillSmoothed (ampNoise, smoothedRuns[10], n);
    fillSmoothed (humFreq, smoothedRuns[11], n);

    // 2, 4. The hum oscillator, sampled at the phase from before each frame, with the overdrive
    // that a poor amplifier puts on it (1 .. 3.4).
    for (int i = 0; i < n; ++i)
    {
        const float frequency = frequencyValue[i];
        if (frequency != humFrequency)   // the increment depends on nothing else that changes per frame
        {
            humFrequency = frequency;
            humIncrement = (float) ((double) (frequency * humInverseSampleRate) * pi * 2.0);
        }
        humSample[i] = humPhase;
        float nextPhase = humPhase + humIncrement;
        // Equal to fmodf for the usual case below two periods (the subtraction is exact there).
        if (nextPhase >= twoPiFloat)
            nextPhase = nextPhase < 2.0f * twoPiFloat ? nextPhase - twoPiFloat : std::fmod (nextPhase, twoPiFloat);
        humPhase = nextPhase;
    }
    auto humLevelOf = [run] (float value) { return (float) ((double) value * 0.2 * (double) run); };
    auto overdriveOf = [] (float q) { return 4.0f * (float) (0.6 * (1.0 - (double) q)) + 1.0f; };
    const float steadyLevel = humLevelOf (humValue[0]), steadyOverdrive = overdriveOf (quality[0]);
    VinolaKernels::sineInPlace (humSample, n);
    for (int i = 0; i < n; ++i)
    {
        const float humLevel = steadyHum ? steadyLevel : humLevelOf (humValue[i]);
        const float overdrive = steadyQuality ? steadyOverdrive : overdriveOf (quality[i]);
        float driven = overdrive * humSample[i];
        driven = driven < -1.0f ? -1.0f : (driven > 1.0f ? 1.0f : driven);
        humSample[i] = driven * humLevel;
    }

    // 3, 5. Amplifier noise: two draws every frame, left then right, whatever the channel count.
    // The bipolar mapping four frames at a time (the same arithmetic as toBipolar); the arrays
    // are padded to whole vectors.
    VinolaXorShift128::shared().nextPairs (draws[0], draws[1], n);
    {
        using F = VinolaFloat4;
        const int padded = (n + 3) & ~3;
        for (int i = n; i < padded; ++i)
        {
            // The smoothed arrays always hold finite values past n.
            draws[0][i] = draws[1][i] = 0;
            humSample[i] = 0.0f;
        }
        const F two = F::broadcast (2.0f), range = F::broadcast (16777215.0f), one = F::broadcast (1.0f);
        const F scale = F::broadcast (0.03f), runs = F::broadcast (run);
        for (int ch = 0; ch < 2; ++ch)
            for (int i = 0; i < padded; i += 4)
            {
                const F bipolar = (two * F::fromLow24Bits (draws[ch] + i)) / range - one;
                (F::load (humSample + i) + bipolar * scale * (F::load (ampNoiseValue + i) * runs)).store (humNoise[ch] + i);
            }
    }

    // 6. Vinyl-noise loop. The loop restarts exactly at 0: an overshoot is not carried.
    {
        const double loopDuration = noiseLoopBank.count > 0 ? noiseLoopBank.entries[0].duration : 0.0;
        const double loopStep = noiseLoopStep * (double) speedFactor;
        double position = noiseLoopPosition, positions[chunkSize];
        for (int i = 0; i < n; ++i)
        {
            positions[i] = position;
            position += loopStep;
            if (position < 0.0)
                position = loopDuration;
            if (! (position < loopDuration))
                position = 0.0;
        }
        noiseLoopBank.readFrames (0, positions, vinyl[0], vinyl[1], n);
        for (int i = 0; i < n; ++i)
        {
            const float vinylScale = (vinylValue[i] * run) * 0.1f;
            vinyl[0][i] *= vinylScale;
            vinyl[1][i] *= vinylScale;
        }
        noiseLoopPosition = position;
    }

    // 7. Crackles: the generators advance on every frame, running or not.
    {
        static_assert (chunkSize <= VinolaCrackleGenerator::maxRunLength, "a run fits the generators");
        float generatorLeft[3][VinolaCrackleGenerator::maxRunLength], generatorRight[3][VinolaCrackleGenerator::maxRunLength];
        VinolaCrackleGenerator* generators[3] = { &crackleA, &crackleB, &crackleC };
        float* lefts[3] = { generatorLeft[0], generatorLeft[1], generatorLeft[2] };
        float* rights[3] = { generatorRight[0], generatorRight[1], generatorRight[2] };
        VinolaCrackleGenerator::renderRuns (generators, 3, lefts, rights, n);

        mixCrackles (generatorLeft, scratchesValue, run, crackle[0], n);
        mixCrackles (generatorRight, scratchesValue, run, crackle[1], n);
    }

    if (n > 0)
    {
        humNoisePair[0] = humNoise[0][n - 1];
        humNoisePair[1] = humNoise[1][n - 1];
        cracklePair[0] = crackle[0][n - 1];
        cracklePair[1] = crackle[1][n - 1];
    }

    // 8, 9. Ducking per channel, then the amplifier (prepared per frame) for all channels.
    {
        const float* crackles[2] = { numChannels > 0 ? crackle[0] : nullptr, numChannels > 1 ? crackle[1] : nullptr };
        float* gains[2] = { duckingGains[0], duckingGains[1] };
        ducking.processBlock (crackles, gains, n, duckingAmount, inverseSampleRate, duckingMeterLevel);
    }

    const VinolaAmplifierModel::FrameControls controls { needle, quality, inGain, sampleRate };
    const float* inputs[2] = { in[0], in[1] };
    const float* gains[2] = { duckingGains[0], duckingGains[1] };
    const float* vinyls[2] = { vinyl[0], vinyl[1] };
    const float* crackles[2] = { crackle[0], crackle[1] };
    float* wets[2] = { wet[0], wet[1] };
    float* drys[2] = { dry[0], dry[1] };
    amp.processBlock (&controls, inputs, numChannels, n, gains, vinyls, crackles, wets, drys);

    // 10, 11. Wobble and cable work in place on the wet signal.
    wobble.processBlock (wets, numChannels, n, wobbleValue, sampleRate);
    cable.processBlock (wets, numChannels, n, cableValue);

    // 12. Output mix: OUTPUT GAIN acts on the wet part only.
    using F = VinolaFloat4;
    for (int ch = 0; ch < numChannels; ++ch)
    {
        int i = 0;
        for (; i + 4 <= n; i += 4)
        {
            const F gain = F::load (outGain + i), m = F::load (mixValue + i);
            (gain * (m * F::load (humNoise[ch] + i))).store (outB[ch] + i);
            (gain * (m * F::load (wet[ch] + i)) + (F::broadcast (1.0f) - m) * F::load (dry[ch] + i)).store (outA[ch] + i);
        }
        for (; i < n; ++i)
        {
            outB[ch][i] = outGain[i] * (mixValue[i] * humNoise[ch][i]);
            outA[ch][i] = outGain[i] * (mixValue[i] * wet[ch][i]) + (1.0f - mixValue[i]) * dry[ch][i];
        }
    }
}
