#pragma once

/** Mains hum through a poor amplifier, and the amplifier's own noise: the part of the output
    that bypasses the wet chain.

    A sine at HUM FREQUENCY (50 or 60 Hz), sampled at the phase from before each frame, is
    overdriven by 1 to 3.4 (the more, the lower AMP QUALITY), clipped to -1 .. 1 and scaled by
    HUM x 0.2. Two draws of the shared random generator every frame, left then right, whatever the
    channel count, add white noise at AMP NOISE x 0.03 per channel. */
class VinolaHumStage
{
public:
    static constexpr int maxRunLength = 128;

    /** Takes a new sample rate (a positive finite one) into the phase increment. */
    void setSampleRate (double sampleRate) noexcept;

    /** Nothing to clear: the oscillator runs on through a reset. */
    void reset() noexcept {}

    /** Per-frame smoothed values of a run: HUM FREQUENCY in Hz, HUM level, AMP QUALITY and AMP
        NOISE level. A steady array holds one value throughout (the hum level and the overdrive
        are then worked out once). running is 0 or 1 and mutes both parts. */
    struct Controls
    {
        const float* frequency;
        const float* humLevel;
        bool humLevelSteady;
        const float* ampQuality;
        bool ampQualitySteady;
        const float* noiseLevel;
        float running;
    };

    /** A run of up to maxRunLength frames: hum plus noise out, left and right, each array padded
        with the padding's own values to a whole number of four-frame vectors. */
    void processBlock (const Controls& controls, float* left, float* right, int numFrames) noexcept;

    float sampleRate = 44100.0f;
    float inverseSampleRate = 1.0f / 44100.0f;
    float frequency = 50.0f;
    float increment = (float) ((double) (50.0f * (1.0f / 44100.0f)) * 3.141592653589793 * 2.0);   // radians per frame
    float phase = 0.0f;   // radians, [0, 2 pi)
};
