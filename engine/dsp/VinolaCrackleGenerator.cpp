#include "VinolaCrackleGenerator.h"
#include "MvPlatform.h"

#include <cmath>
#include <limits>

void VinolaCrackleGenerator::init (const VinolaSampleBank* newBank, int newVoiceCount) noexcept
{
    stageDurations[0] = 0.0f;
    stageDurations[1] = 0.02f;
    stageDurations[2] = 0.05f;
    countdown = 0.0;   // the first tick that runs the timing fires at once
    bank = newBank;
    voiceCount = newVoiceCount < 1 ? 1 : (newVoiceCount > maxVoices ? maxVoices : newVoiceCount);
    sampleRate = 44100.0;
    timeStep = 1.0 / 44100.0;
    nextVoice = 0;
    nextSample = 0;
    nextSideLeft = false;
    randomOrder = false;
    muted = false;
    alternateSides = true;
    rate = 2.0f;
    meanInterval = 0.5;
    panOffset = intervalSpread = panSpread = levelRandomness = 0.0f;
    output = {};
    activeVoices = 0;

    for (auto& v : voices)
        v.init (newBank, stageDurations);
}

void VinolaCrackleGenerator::setRate (float eventsPerSecond) noexcept
{
    rate = eventsPerSecond;
    muted = (eventsPerSecond == 0.0f);
    meanInterval = muted ? std::numeric_limits<double>::infinity() : 1.0 / (double) eventsPerSecond;

    if (std::isnan (countdown) || meanInterval < countdown)
        countdown = meanInterval;
}

void VinolaCrackleGenerator::setSampleRate (double newRate) noexcept
{
    if (newRate == sampleRate || ! (newRate > 0.0))
        return;

    sampleRate = newRate;
    timeStep = 1.0 / newRate;
    for (auto& v : voices)
    {
        v.sampleRate = sampleRate;
        v.timeStep = timeStep;
    }
}

float VinolaCrackleGenerator::uniformDraw() noexcept
{
    return (float) (MvPlatform::rand() % 2147483647) * 4.656612873077393e-10f;   // 2^-31
}

void VinolaCrackleGenerator::fireEvent (int frame) noexcept
{
    const float u1 = uniformDraw();
    countdown = meanInterval * (double) (1.0f + intervalSpread * (u1 - 0.5f));
    if (countdown < (double) 0.001f)
        countdown = (double) 0.001f;

    if (bank == nullptr || bank->count <= 0)
        return;

    const float u2 = uniformDraw();
    float p = 2.0f * panSpread * (u2 - 0.5f);
    if (alternateSides)
    {
        p = nextSideLeft ? -std::fabs (p) : std::fabs (p);
        nextSideLeft = ! nextSideLeft;
    }
    p += panOffset;
    p = p < -1.0f ? -1.0f : (p > 1.0f ? 1.0f : p);

    (void) MvPlatform::rand();   // drawn and discarded: keeps the sequence's rhythm per event

    const float u3 = uniformDraw();
    const float level = 1.0f - levelRandomness * u3;

    pendingStarts[numPendingStarts++] = { frame, nextVoice, nextSample, level, p };
    nextVoice = (nextVoice + 1) % voiceCount;
    nextSample = (randomOrder ? MvPlatform::rand() : nextSample + 1) % bank->count;
}

void VinolaCrackleGenerator::renderRuns (VinolaCrackleGenerator* const* generators, int numGenerators,
                                         float* const* left, float* const* right, int count) noexcept
{
    numGenerators = numGenerators < 0 ? 0 : (numGenerators > maxGenerators ? maxGenerators : numGenerators);
    count = count < 0 ? 0 : (count > maxRunLength ? maxRunLength : count);

    // The timing first, frame by frame across the generators, since their events share one
    // random sequence. The countdowns stay in registers and run side by side; an event reloads
    // its generator's. A muted or unused slot counts down from infinity by nothing, so it never
    // fires and needs no test of its own.
    static_assert (maxGenerators == 4, "one countdown per slot below");
    double countdowns[maxGenerators], steps[maxGenerators];
    for (int g = 0; g < maxGenerators; ++g)
    {
        const bool running = g < numGenerators && ! generators[g]->muted;
        countdowns[g] = running ? generators[g]->countdown : std::numeric_limits<double>::infinity();
        steps[g] = running ? generators[g]->timeStep : 0.0;
        if (g < numGenerators)
            generators[g]->numPendingStarts = 0;
    }
    double c0 = countdowns[0], c1 = countdowns[1], c2 = countdowns[2], c3 = countdowns[3];
    const double s0 = steps[0], s1 = steps[1], s2 = steps[2], s3 = steps[3];
    auto fire = [generators] (int g, double& c, int frame) noexcept
    {
        generators[g]->countdown = c;
        generators[g]->fireEvent (frame);
        c = generators[g]->countdown;
    };
    for (int i = 0; i < count; ++i)
    {
        c0 -= s0;
        if (! (c0 > 0.0))
            fire (0, c0, i);
        c1 -= s1;
        if (! (c1 > 0.0))
            fire (1, c1, i);
        c2 -= s2;
        if (! (c2 > 0.0))
            fire (2, c2, i);
        c3 -= s3;
        if (! (c3 > 0.0))
            fire (3, c3, i);
    }
    countdowns[0] = c0;
    countdowns[1] = c1;
    countdowns[2] = c2;
    countdowns[3] = c3;
    for (int g = 0; g < numGenerators; ++g)
        if (! generators[g]->muted)
            generators[g]->countdown = countdowns[g];

    for (int g = 0; g < numGenerators; ++g)
        generators[g]->renderVoices (left[g], right[g], count);
}

void VinolaCrackleGenerator::renderVoices (float* left, float* right, int count) noexcept
{
    for (int i = 0; i < count; ++i)
        left[i] = right[i] = 0.0f;

    // Stretches between voice starts: within one, the sounding voices only ever fall idle.
    int next = 0;
    for (int start = 0; start < count;)
    {
        for (; next < numPendingStarts && pendingStarts[next].frame == start; ++next)
        {
            const auto& e = pendingStarts[next];
            voices[e.voice].start (e.level, e.sampleIndex, e.pan);
            activeVoices |= std::uint64_t { 1 } << e.voice;
        }
        const int end = next < numPendingStarts ? pendingStarts[next].frame : count;

        // Only the sounding voices, in index order: idle ones would cost a cache line each.
        for (std::uint64_t pending = activeVoices; pending != 0; pending &= pending - 1)
        {
            const int v = __builtin_ctzll (pending);
            voices[v].renderRun (left + start, right + start, end - start);
            if (voices[v].isIdle())
                activeVoices &= ~(std::uint64_t { 1 } << v);
        }
        start = end;
    }
    numPendingStarts = 0;

    if (count > 0)
        output = { left[count - 1], right[count - 1] };
}
