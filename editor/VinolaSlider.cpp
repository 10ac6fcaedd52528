#include "VinolaSlider.h"
#include "VinolaDrawStretchedImage.h"

VinolaSlider::VinolaSlider() = default;

VinolaSlider::~VinolaSlider() = default;

namespace
{
    // The handle picture's shadow and cap overhang the track: the travel leaves 16 pixels at
    // the bottom and 18 at the top, whatever the handle's drawn size.
    float travelFor (float h) { return (h - 16.0f) - 18.0f; }
}

juce::Rectangle<float> VinolaSlider::getTrackBounds() const
{
    const float w = (float) getWidth();
    return { w / 2.0f - trackThickness / 2.0f, 9.0f, trackThickness, travelFor ((float) getHeight()) };
}

juce::Rectangle<float> VinolaSlider::getHandleBounds() const
{
    const float w = (float) getWidth();
    const float travel = travelFor ((float) getHeight());
    return { w / 2.0f - handleWidth / 2.0f, (1.0f - (0.98f * getValue() + 0.02f)) * travel, handleWidth, handleHeight };
}

void VinolaSlider::paint (juce::Graphics& g)
{
    VinolaDrawStretchedImage (g, trackImage, getTrackBounds());
    VinolaDrawStretchedImage (g, handleImage, getHandleBounds());
}
