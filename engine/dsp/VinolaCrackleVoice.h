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
    void renderFrame (float& left, float& right) noexcept { renderRun (&left, &right, 1); }

    /** Up to count frames, each added to left[i] and right[i], stopping after the frame on which
        the voice falls idle. Call only when not idle. */
    void renderRun (float* left, float* right, int count) noexcept
    {
        // Locals throughout: the output arrays could otherwise alias the voice's own floats.
        const double step = timeStep * (double) speed;
        const float gainL = gainLeft, gainR = gainRight, lvl = level;
        const VinolaSampleBank& b = *bank;
        double pos = position;
        int st = stage;
        float progress = stageProgress[st], increment = stageIncrement[st];
        for (int i = 0; i < count; ++i)
        {
            pos += step;

            progress += increment;
            bool last = false;
            if (progress >= 1.0f)
            {
                stageProgress[st] = 1.0f;
                if (++st >= idleStage)
                    last = true;
                else
                {
                    progress = stageProgress[st];
                    increment = stageIncrement[st];
                }
            }

            const auto pair = b.readFrame (sampleIndex, pos);
            left[i] += pair.left * gainL * lvl;
            right[i] += pair.right * gainR * lvl;
            if (last)
                break;
        }
        if (st < idleStage)
            stageProgress[st] = progress;
        position = pos;
        stage = st;
    }
};
