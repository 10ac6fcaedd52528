#include "VinolaDspEngine.h"
#include "VinolaKernels.h"
#include "VinolaFloat4.h"
#include "MvPlatform.h"
#include "VinolaXorShift128.h"

#include <cmath>
#include <cstdint>
#include <cstring>

namespace
{
    // A table of values that hold for a random number of entries. A value changes where the
    // index is a multiple of the current hold, so after a change at i the next one comes at the
    // first multiple of the new hold above i.
    void fillHoldTable (float* table, int size, int firstHold, int holdRange, int holdMinimum,
                        double scale, double offset) noexcept
    {
        int hold = firstHold;
        float value = 0.0f;
        for (int i = 0; i < size; ++i)
        {
            if (i % hold == 0)
            {
                hold = MvPlatform::rand() % holdRange + holdMinimum;
                value = (float) ((double) sharedXorShift128.nextBipolar() * scale + offset);
            }
            table[i] = value;
        }
    }
}

namespace
{
    /** One channel of the three generators' mix: A at 0.5, B at 0.1 and C at 0.08, summed in
        double precision, scaled by SCRATCHES (times run). */
    void mixCrackles (const float (*generator)[VinolaCrackleGenerator::maxRunLength], const float* scratches, float run,
                      float* out, int n) noexcept
    {
        int i = 0;
        if (const auto* kernels = VinolaKernels::avx2())
            i = kernels->mixCrackles (generator[0], generator[1], generator[2], scratches, run, out, n);
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

    humStage.setSampleRate (newRate);
    noiseLoop.setSampleRate (newRate);
    crackleA.setSampleRate (newRate);
    crackleB.setSampleRate (newRate);
    crackleC.setSampleRate (newRate);
    ducking.setSampleRate (newRate);
    amp.setSampleRate (newRate);
    wobble.setSampleRate (newRate);
}

void VinolaDspEngine::reset() noexcept
{
    for (const auto& s : smoothedValues)
        s.smoother->snap();

    humStage.reset();
    noiseLoop.reset();
    ducking.reset();
    amp.reset();
    wobble.reset();
    cable.reset();
}

void VinolaDspEngine::clearFilterState() noexcept
{
    amp.reset();
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

void VinolaDspEngine::SmoothedRun::fill (VinolaParameterSmoother& smoother, int count) noexcept
{
    steady = smoother.countdown <= 0;
    if (steady)
    {
        // The whole array, so that later runs of any length find it filled. Compared as bits:
        // a NaN target is refilled every run rather than never.
        if (! (holdsTarget && std::memcmp (&target, &smoother.target, sizeof (float)) == 0))
        {
            const VinolaFloat4 t = VinolaFloat4::broadcast (smoother.target);
            for (int i = 0; i < chunkSize; i += 4)
                t.store (values + i);
            holdsTarget = true;
            target = smoother.target;
        }
        return;
    }
    holdsTarget = false;
    for (int i = 0; i < count; ++i)
        values[i] = smoother.tick();
}

void VinolaDspEngine::fillSmoothedRuns (int count) noexcept
{
    for (const auto& s : smoothedValues)
        s.run->fill (*s.smoother, count);
}

void VinolaDspEngine::renderCrackles (float running, float* left, float* right, int n) noexcept
{
    // The generators advance on every frame, running or not.
    static_assert (chunkSize <= VinolaCrackleGenerator::maxRunLength, "a run fits the generators");
    float generatorLeft[3][VinolaCrackleGenerator::maxRunLength], generatorRight[3][VinolaCrackleGenerator::maxRunLength];
    VinolaCrackleGenerator* generators[3] = { &crackleA, &crackleB, &crackleC };
    float* lefts[3] = { generatorLeft[0], generatorLeft[1], generatorLeft[2] };
    float* rights[3] = { generatorRight[0], generatorRight[1], generatorRight[2] };
    VinolaCrackleGenerator::renderRuns (generators, 3, lefts, rights, n);

    mixCrackles (generatorLeft, scratchesRun.values, running, left, n);
    mixCrackles (generatorRight, scratchesRun.values, running, right, n);
}

void VinolaDspEngine::mixOutput (const float* const* humNoise, const float* const* wet, const float* const* dry,
                                 float* const* outA, float* const* outB, int numChannels, int n) noexcept
{
    using F = VinolaFloat4;
    const float* const outGain = outputGainRun.values;
    const float* const mixValue = mixRun.values;
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

void VinolaDspEngine::renderChunk (const float* const* input, float* const* outA, float* const* outB, int numChannels,
                                   int n, bool running) noexcept
{
    // Every array is a whole number of vectors long, so vector loops may run past n.
    static_assert (chunkSize % 4 == 0, "chunks are whole vectors");
    const float run = running ? 1.0f : 0.0f;
    float humNoise[2][chunkSize], vinyl[2][chunkSize], crackle[2][chunkSize], duckingGains[2][chunkSize];
    float in[2][chunkSize], wet[2][chunkSize], dry[2][chunkSize];

    for (int ch = 0; ch < numChannels; ++ch)
        if (n > 0)
            std::memcpy (in[ch], input[ch], sizeof (float) * (size_t) n);

    if (numChannels > 1 && channelsLastRun < 2)
    {
        amp.resetSecondChannel();
        wobble.restartSecondLine();
    }
    channelsLastRun = numChannels;

    fillSmoothedRuns (n);

    const VinolaHumStage::Controls humControls { humFreqRun.values, humRun.values, humRun.steady, ampQualityRun.values,
                                                 ampQualityRun.steady, ampNoiseRun.values, run };
    humStage.processBlock (humControls, humNoise[0], humNoise[1], n);

    noiseLoop.processBlock (vinylNoiseRun.values, run, speedFactor, vinyl[0], vinyl[1], n);

    renderCrackles (run, crackle[0], crackle[1], n);

    if (n > 0)
    {
        humNoisePair[0] = humNoise[0][n - 1];
        humNoisePair[1] = humNoise[1][n - 1];
        cracklePair[0] = crackle[0][n - 1];
        cracklePair[1] = crackle[1][n - 1];
    }

    const float* crackles[2] = { crackle[0], crackle[1] };
    const float* duckingKeys[2] = { numChannels > 0 ? crackle[0] : nullptr, numChannels > 1 ? crackle[1] : nullptr };
    float* gains[2] = { duckingGains[0], duckingGains[1] };
    ducking.processBlock (duckingKeys, gains, n, duckingAmount, duckingMeterLevel);

    const VinolaAmplifierModel::FrameControls ampControls { needleQualityRun.values, ampQualityRun.values,
                                                            inputGainRun.values };
    const float* inputs[2] = { in[0], in[1] };
    const float* vinyls[2] = { vinyl[0], vinyl[1] };
    float* wets[2] = { wet[0], wet[1] };
    float* drys[2] = { dry[0], dry[1] };
    amp.processBlock (&ampControls, inputs, numChannels, n, gains, vinyls, crackles, wets, drys);

    // Wobble and cable work in place on the wet signal.
    wobble.processBlock (wets, numChannels, n, wobbleAmountRun.values);
    cable.processBlock (wets, numChannels, n, cableQualityRun.values);

    const float* humNoises[2] = { humNoise[0], humNoise[1] };
    mixOutput (humNoises, wets, drys, outA, outB, numChannels, n);
}
