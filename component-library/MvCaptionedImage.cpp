#include "MvCaptionedImage.h"

MvCaptionedImage::MvCaptionedImage (const MvCaptionStyle& s, const juce::Image& i)
    : icon (i), style (s)
{
}

MvCaptionedImage::~MvCaptionedImage() = default;
