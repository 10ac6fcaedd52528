#pragma once

#include "MvSlider.h"

/** CABLE QUALITY as a number drum seen through a window: a white backing, the number strip
    (the slider's handle image) moving behind the window picture (the slider's track image).
    Input is the vertical slider's: dragging up raises the value and turns the drum. */
class CableComponent : public MvSlider
{
public:
    CableComponent();
    ~CableComponent() override;

    void paint (juce::Graphics&) override;

    void setWhiteBackground (const juce::Image& newImage) { whiteBackground = newImage; repaint(); }
    const juce::Image& getWhiteBackground() const noexcept { return whiteBackground; }

    /** Where the number strip is drawn for a value v on a component h pixels high: the point at
        1 - (0.92 v + 0.04) of the strip's height lies on the component's centre line. */
    static juce::Rectangle<float> stripBounds (float v, float h);

private:
    juce::Image whiteBackground;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (CableComponent)
};
