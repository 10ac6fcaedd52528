#include "VinolaDrawStretchedImage.h"
#include "MvReducedImageCache.h"

void VinolaDrawStretchedImage (juce::Graphics& g, const juce::Image& image, juce::Rectangle<float> target)
{
    // A zero or negative target would give a singular transform: nothing to draw anyway.
    if (image.isNull() || ! (target.getWidth() > 0.0f && target.getHeight() > 0.0f) || g.isClipEmpty())
        return;

    MvReducedImageCache::draw (g, image, juce::RectanglePlacement (juce::RectanglePlacement::stretchToFit)
                                             .getTransformToFit (image.getBounds().toFloat(), target));
}
