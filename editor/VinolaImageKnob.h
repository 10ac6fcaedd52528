#pragma once

#include "MvImageKnob.h"

/** The look of the bottom-row knobs: the knob picture inset by 10 pixels on every side, and a
    thin value arc around it running clockwise from the knob's minimum to its present angle.
    Without a picture the arc is still drawn. Input is the image knob's. */
class VinolaImageKnob : public MvImageKnob
{
public:
    static constexpr juce::uint32 arcColour = 0xffdd9073;

    VinolaImageKnob();
    ~VinolaImageKnob() override;

    void paint (juce::Graphics&) override;

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (VinolaImageKnob)
};
