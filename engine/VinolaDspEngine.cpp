#include "VinolaDspEngine.h"

VinolaDspEngine::VinolaDspEngine() = default;
VinolaDspEngine::~VinolaDspEngine() = default;

void VinolaDspEngine::setSampleRate (double newRate) noexcept
{
    sampleRate = (float) newRate;
    inverseSampleRate = 1.0f / sampleRate;
}

void VinolaDspEngine::processFrame (float* frameA, float* frameB, int numChannels, bool running) noexcept
{
    (void) frameA;
    (void) running;
    for (int ch = 0; ch < numChannels; ++ch)
        frameB[ch] = 0.0f;
}

void VinolaDspEngine::reset() noexcept {}
