#include "MvDrawRotatedImage.h"
#include "MvReducedImageCache.h"

void MvDrawRotatedImage (juce::Graphics& g, const juce::Image& image,
                         float x, float y, float width, float /*height*/, float angle)
{
    g.setOpacity (1.0f);

    if (image.isNull() || g.isClipEmpty())
        return;

    const float k = width / (float) image.getWidth();
    const auto transform = juce::AffineTransform::rotation (angle, (float) image.getWidth() / 2.0f, (float) image.getHeight() / 2.0f)
                               .scaled (k)
                               .translated (x, y);

    MvReducedImageCache::draw (g, image, transform);
}
