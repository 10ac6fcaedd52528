#pragma once

#include "MvSlider.h"

/** The look of the noise sliders: a track picture from y = 9 down the travel (h - 34), and the
    handle picture centred across it, its top at (1 - (0.98 v + 0.02)) of the travel. The track
    shows whenever it has a picture; without a handle picture no handle is drawn. Input is the
    vertical slider's. */
class VinolaSlider : public MvSlider
{
public:
    VinolaSlider();
    ~VinolaSlider() override;

    void paint (juce::Graphics&) override;

    /** The handle's box for the present value and size. */
    juce::Rectangle<float> getHandleBounds() const;
    /** The track's box for the present size. */
    juce::Rectangle<float> getTrackBounds() const;

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (VinolaSlider)
};
