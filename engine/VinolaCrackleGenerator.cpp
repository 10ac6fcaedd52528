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

void VinolaCrackleGenerator::fireEvent() noexcept
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

    voices[nextVoice].start (level, nextSample, p);
    activeVoices |= std::uint64_t { 1 } << nextVoice;
    nextVoice = (nextVoice + 1) % voiceCount;
    nextSample = (randomOrder ? MvPlatform::rand() : nextSample + 1) % bank->count;
}
