#include "VinolaCrackleVoice.h"

#include <limits>

void VinolaCrackleVoice::init (const VinolaSampleBank* newBank, const float* durations) noexcept
{
    stageDurations = durations;
    level = 1.0f;
    sampleRate = 44100.0;
    timeStep = 1.0 / 44100.0;
    bank = newBank;
    position = 0.0;
    pan = 0.0f;
    gainLeft = gainRight = 1.0f;
    speed = 1.0f;
    for (int k = 0; k < 3; ++k)
        stageProgress[k] = stageIncrement[k] = 0.0f;
    sampleIndex = 0;
    stage = idleStage;
}

void VinolaCrackleVoice::start (float newLevel, int newSampleIndex, float newPan) noexcept
{
    level = newLevel;
    sampleIndex = newSampleIndex;
    stage = 0;

    // A stage of zero length lasts exactly one frame (its increment is infinite).
    const float rate = (float) sampleRate;
    for (int k = 0; k < 3; ++k)
    {
        stageProgress[k] = 0.0f;
        stageIncrement[k] = stageDurations[k] > 0.0f ? (1.0f / stageDurations[k]) / rate
                                                     : std::numeric_limits<float>::infinity();
    }

    if (newPan != pan)
    {
        pan = newPan;
        if (newPan < 0.0f)
        {
            gainLeft = 1.0f;
            gainRight = 1.0f + newPan;
        }
        else
        {
            gainLeft = 1.0f - newPan;
            gainRight = 1.0f;
        }
    }

    position = 0.0;
    speed = 1.0f;
}
