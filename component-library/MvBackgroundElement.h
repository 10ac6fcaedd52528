#pragma once

#include <juce_gui_basics/juce_gui_basics.h>
#include "MvCaptionStyle.h"

class MvDynamicImage;

/** Mix-in base of every control that contributes static art to its window's cached background
    (MvBackground): one image and a caption with its style, drawn into the background image at
    the control's place, at twice the control's size.

    Caption positions (o = origin, A = area width, H = area height, tw = caption width,
    bh = captionFontHeight + 5), the box then moved by (captionOffsetX, captionOffsetY):
      0 above (o.x + (A - tw) / 2, o.y - bh)            centredBottom
      1 right of (o.x + A, o.y + (H - bh) / 2)          centredLeft
      2 below (o.x + (A - tw) / 2, o.y + H)             centredTop
      3 left of (o.x - tw, o.y + (H - bh) / 2)          centredRight
      4 above, left-aligned (o.x, o.y - bh)             bottomLeft
      5 above, right-aligned (o.x + A - tw, o.y - bh)   bottomRight
      6 below, left-aligned (o.x, o.y + H)              topLeft
      7 below, right-aligned (o.x + A - tw, o.y + H)    topRight
      8 centred on the element                           centred
      other: (captionOffsetX, captionOffsetY)            centred */
class MvBackgroundElement : public MvCaptionStyle
{
public:
    MvBackgroundElement();
    virtual ~MvBackgroundElement();

    /** Draws the image centred on the area (only its size is used) at origin, at drawWidth x
        drawHeight, moved by the image offset. */
    virtual void drawImage (juce::Graphics& g, juce::Rectangle<float> area, juce::Point<float> origin);
    /** Draws the caption into the box of getLabelPosition. */
    virtual void drawLabel (juce::Graphics& g, juce::Rectangle<float> area, juce::Point<float> origin);
    /** Does nothing; a hook for extra static art. */
    virtual void paintExtra (juce::Graphics& g, juce::Rectangle<float> area, juce::Point<float> origin);
    /** Draws this element of the given component into the dynamic image with its top-left
        corner at (x, y): the area is the component's bounds doubled; drawImage, paintExtra and
        drawLabel are called in this order. */
    virtual void renderInto (juce::Component* component, MvDynamicImage* target, float x, float y);
    /** The caption's box in the target image; empty (0, 0, 0, 0) for an empty caption. */
    virtual juce::Rectangle<float> getLabelPosition (juce::Rectangle<float> area, juce::Point<float> origin);
    /** setImage, keeps the caption text and copies every field of the style. */
    virtual void setImageAndLabel (const juce::Image& newImage, const juce::String& newCaption, const MvCaptionStyle& style);
    /** Keeps a shared reference; drawWidth and drawHeight become the image's pixel size. */
    virtual void setImage (const juce::Image& newImage);

    /** The element's caption style fields as one record. */
    MvCaptionStyle getCaptionStyle() const { return *this; }
    /** The justification that the label position implies (centred outside 0..8). */
    static juce::Justification justificationForLabelPosition (int position);

    // The caption style's fields (labelPosition, captionColour, ... captionFontHeight) are the
    // element's own, inherited from MvCaptionStyle.

    juce::Image image;
    juce::String caption;
    float imageOffsetX = 0.0f;
    float imageOffsetY = 0.0f;
    float drawWidth = 0.0f;
    float drawHeight = 0.0f;
};
