#pragma once

/** Pitch wow of an off-centre record: a modulated fractional delay line per channel. */
class VinolaWobbleStage
{
public:
    VinolaWobbleStage();
    ~VinolaWobbleStage();

    /** Clears both delay lines (the phase keeps running). */
    void reset() noexcept;

    /** Runs one frame in place; wobble is this frame's smoothed WOBBLE value. */
    void process (float* frame, int numChannels, float wobble, float sampleRate) noexcept;

    VinolaWobbleStage (const VinolaWobbleStage&) = delete;
    VinolaWobbleStage& operator= (const VinolaWobbleStage&) = delete;
};
