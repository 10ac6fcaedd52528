#include "VinolaDrawStretchedImage.h"

void VinolaDrawStretchedImage (juce::Graphics& g, const juce::Image& image, juce::Rectangle<float> target)
{
    // A zero or negative target would give a singular transform: nothing to draw anyway.
    if (image.isNull() || ! (target.getWidth() > 0.0f && target.getHeight() > 0.0f) || g.isClipEmpty())
        return;

    g.drawImage (image, target, juce::RectanglePlacement::stretchToFit);
}
