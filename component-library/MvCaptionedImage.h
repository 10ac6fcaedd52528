#pragma once

#include <juce_graphics/juce_graphics.h>
#include "MvCaptionStyle.h"

/** How a list item looks: an optional icon beside the text, and the caption style whose colours,
    corner radius, text inset (captionOffsetX), alignment (labelPosition) and font the item
    draws with. The owner builds one and hands a copy to each item. */
class MvCaptionedImage
{
public:
    MvCaptionedImage (const MvCaptionStyle& style, const juce::Image& icon);
    ~MvCaptionedImage();

    MvCaptionedImage (const MvCaptionedImage&) = default;
    MvCaptionedImage& operator= (const MvCaptionedImage&) = default;

    juce::Image icon;
    MvCaptionStyle style;
    /** Non-zero: the icon sits right of the text. */
    int iconOnRight = 1;
    float iconGap = 0.0f;
    float iconWidth = 10.0f;
    float iconHeight = 10.0f;
};
