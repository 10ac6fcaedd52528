#pragma once

/** The plain delay that stands in for the chain while the plug-in is bypassed: the input comes
    out exactly as many frames late as the processor's reported latency, so a bypassed track
    stays aligned with the rest of a latency-compensated session.

    It keeps the last `length` input frames of each channel at all times: the processed road
    hands it every block's input too (remember), so switching into bypass continues the input
    without a gap or a repeat, and switching back hands over to the chain at the same instant.
    A channel that a block leaves out loses its history, so that when it comes back (stereo,
    mono, then stereo again) it starts from silence rather than from frames of long ago.
    Fixed-size state: nothing is allocated, ever. */
class VinolaLatencyDelay
{
public:
    static constexpr int length = 4;
    static constexpr int maxChannels = 2;

    /** Takes note of a block's input that the chain is about to process (not changed here). */
    void remember (const float* const* channels, int numChannels, int numFrames) noexcept;

    /** Delays a block in place by `length` frames, continuing from the frames remembered or
        delayed before. */
    void process (float* const* channels, int numChannels, int numFrames) noexcept;

private:
    /** Silences the history of the channels from `numChannels` on. */
    void forgetChannelsFrom (int numChannels) noexcept;

    float history[maxChannels][length] = {};   // oldest first
};
