#pragma once

#include "VinolaSampleBank.h"

/** The looped vinyl-noise bed: entry 0 of its bank, read at a position that advances one frame
    (times the engine's speed factor) per frame and restarts exactly at 0 at the loop's end (an
    overshoot is not carried), scaled by VINYL NOISE x 0.1. An empty bank gives silence. */
class VinolaNoiseLoopStage
{
public:
    static constexpr int maxRunLength = 128;

    /** Takes a new sample rate (a positive finite one) into the position's step. */
    void setSampleRate (double sampleRate) noexcept;

    /** Nothing to clear: the loop runs on through a reset. */
    void reset() noexcept {}

    /** A run of up to maxRunLength frames: the smoothed VINYL NOISE level per frame, running 0 or
        1, the engine's speed factor; left and right out. */
    void processBlock (const float* level, float running, float speedFactor, float* left, float* right,
                       int numFrames) noexcept;

    VinolaSampleBank bank;
    double position = 0.0;   // seconds
    double step = 1.0 / 44100.0;
};
