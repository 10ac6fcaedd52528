#include "VinolaNoiseLoopStage.h"

void VinolaNoiseLoopStage::setSampleRate (double sampleRate) noexcept
{
    step = (double) (1.0f / (float) sampleRate);
}

void VinolaNoiseLoopStage::processBlock (const float* level, float running, float speedFactor, float* left,
                                         float* right, int n) noexcept
{
    const double loopDuration = bank.count > 0 ? bank.entries[0].duration : 0.0;
    const double loopStep = step * (double) speedFactor;
    double p = position, positions[maxRunLength];
    for (int i = 0; i < n; ++i)
    {
        positions[i] = p;
        p += loopStep;
        if (p < 0.0)
            p = loopDuration;
        if (! (p < loopDuration))
            p = 0.0;
    }
    bank.readFrames (0, positions, left, right, n);
    for (int i = 0; i < n; ++i)
    {
        const float scale = (level[i] * running) * 0.1f;
        left[i] *= scale;
        right[i] *= scale;
    }
    position = p;
}
