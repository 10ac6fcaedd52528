#pragma once

/** Pitch wow of an off-centre record: a modulated fractional delay line per channel.

    A once-per-second phase drives a cosine (bent by WOBBLE so each turn runs faster at its
    start), which swings the delay between 0 and WOBBLE x 6 ms; the output interpolates
    linearly between the two nearest stored samples. Both channels share the delay. */
class VinolaWobbleStage
{
public:
    static constexpr int bufferSize = 65536;

    VinolaWobbleStage();
    ~VinolaWobbleStage();

    /** Takes a new sample rate (a positive finite one) into the delay and the phase step. */
    void setSampleRate (double newRate) noexcept { sampleRate = (float) newRate; }

    /** Silences the second channel's line and sets it in step with the first, for a channel
        that comes back after blocks without it. */
    void restartSecondLine() noexcept;

    /** Clears both delay lines (the phase keeps running). */
    void reset() noexcept;

    /** Runs one frame in place; wobble is this frame's smoothed WOBBLE value. */
    void process (float* frame, int numChannels, float wobble) noexcept;

    /** A run of frames in place, one WOBBLE value per frame; the same as process() frame by frame. */
    void processBlock (float* const* channels, int numChannels, int numFrames, const float* wobble) noexcept;

    /** The modulation cosine for a phase in (0, 1] and a WOBBLE value (single-precision vector
        approximations of the power and the cosine). */
    static float modulation (float phase, float wobble) noexcept;

    /** This frame's delay in samples and the modulation phase in (0, 1], for tests and tools. */
    float getDelay() const noexcept { return lines[0].delay; }
    float getPhase() const noexcept { return phase; }

    /** The sample a channel's line stored `age` frames before its latest one (age 0), for tests
        and tools. */
    float getStoredSample (int channel, int age) const noexcept
    {
        const DelayLine& line = lines[channel > 0 ? 1 : 0];
        return line.buffer != nullptr ? line.buffer[(line.writeIndex - 1 - age) & mask] : 0.0f;
    }

    VinolaWobbleStage (const VinolaWobbleStage&) = delete;
    VinolaWobbleStage& operator= (const VinolaWobbleStage&) = delete;

private:
    struct DelayLine
    {
        float* buffer = nullptr;
        int writeIndex = 0;
        int readIndex = 0;
        float delay = 0.0f;
    };

    static constexpr int mask = bufferSize - 1;

    /** The cosine of the bent phase for this frame and the next seven, computed in two vector
        passes; later frames reuse it while the phase follows on and WOBBLE stays the same. */
    void refillModulation (float wobble) noexcept;

    /** This frame's delay from its modulation cosine. */
    static float delayFor (float cosine, float wobble, float sampleRate) noexcept;

    /** Takes a new sample rate into the phase step. */
    void updatePhaseStep (float sampleRate) noexcept;

    /** Advances the phase by one frame. */
    void stepPhase (float sampleRate) noexcept;

    /** One channel's line for a run of frames with their delays. */
    static void runLine (DelayLine& line, float* samples, const float* delays, int numFrames) noexcept;

    /** Both lines at once, when they stand at the same position. */
    void runLinePair (float* left, float* right, const float* delays, int numFrames) noexcept;

    DelayLine lines[2];
    float sampleRate = 44100.0f;
    float phase = 0.0f;
    float phaseRate = 0.0f, phaseStep = 0.0f;

    static constexpr int cacheSize = 8;
    float cachedPhase[cacheSize] {}, cachedCosine[cacheSize] {};
    float cachedWobble = 0.0f;
    int cacheNext = cacheSize;
};
