#pragma once

#include "VinolaSampleBank.h"

/** One sounding crackle: plays a bank entry at a fixed level and stereo position through three
    timed stages, then falls idle. The stage progress only times the voice; it never shapes the
    sound, so a sample is cut off abruptly when the last stage completes. */
struct VinolaCrackleVoice
{
    static constexpr int idleStage = 3;

    const float* stageDurations = nullptr;   // the generator's three stage lengths in seconds
    float level = 1.0f;
    double sampleRate = 44100.0;
    const VinolaSampleBank* bank = nullptr;
    double position = 0.0;                   // seconds into the sample
    float pan = 0.0f;
    float gainLeft = 1.0f, gainRight = 1.0f;
    float speed = 1.0f;
    double timeStep = 1.0 / 44100.0;
    float stageProgress[3] = { 0.0f, 0.0f, 0.0f };
    float stageIncrement[3] = { 0.0f, 0.0f, 0.0f };
    int sampleIndex = 0;
    int stage = idleStage;

    /** Back to the idle defaults, reading `newBank`, timed by `durations`. */
    void init (const VinolaSampleBank* newBank, const float* durations) noexcept;

    /** Restarts at once, whatever the voice was doing. */
    void start (float newLevel, int newSampleIndex, float newPan) noexcept;

    bool isIdle() const noexcept { return stage >= idleStage; }

    /** Advances one frame and adds this frame's sound to left and right. Call only when not idle. */
    void renderFrame (float& left, float& right) noexcept
    {
        position += timeStep * (double) speed;

        float& progress = stageProgress[stage];
        progress += stageIncrement[stage];
        if (progress >= 1.0f)
        {
            progress = 1.0f;
            ++stage;
        }

        const auto pair = bank->readFrame (sampleIndex, position);
        left += pair.left * gainLeft * level;
        right += pair.right * gainRight * level;
    }
};
