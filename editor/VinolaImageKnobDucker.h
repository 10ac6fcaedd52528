#pragma once

#include "MvImageKnob.h"

/** The DUCKING knob: the image knob with a dot at its centre that shrinks while the processor
    ducks. The owner's timer feeds it the ducking meter once per tick (followDuckingLevel): the
    dot shrinks at once to its target, 30 % of the full radius at a gain reduction of 1, and
    grows back by at most 0.6 pixels per tick, never beyond the full radius. */
class VinolaImageKnobDucker : public MvImageKnob
{
public:
    static constexpr juce::uint32 dotColour = 0xffdd8667;

    VinolaImageKnobDucker();
    ~VinolaImageKnobDucker() override;

    void paint (juce::Graphics&) override;

    /** One tick of the dot: the gain reduction since the last tick (0..1) gives the target
        radius; the dot shrinks to it at once or grows towards it by at most 0.6 pixels.
        Repaints. A level outside 0..1 is taken as its nearest end, a non-finite one as 0. */
    void followDuckingLevel (float level);

    float getFullDotRadius() const noexcept { return fullDotRadius; }
    /** A negative or non-finite radius is ignored; the dot is brought within the new radius. */
    void setFullDotRadius (float newRadius);
    float getDotRadius() const noexcept { return dotRadius; }
    /** Kept within 0..fullDotRadius; a non-finite radius is ignored. Repaints. */
    void setDotRadius (float newRadius);

private:
    float fullDotRadius = 5.0f;
    float dotRadius = 5.0f;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (VinolaImageKnobDucker)
};
