#pragma once

#include <juce_graphics/juce_graphics.h>

/** The caption and text style record of background elements (MvBackgroundElement) and list
    items. MvBackgroundElement::setImageAndLabel copies one into an element's caption fields. */
struct MvCaptionStyle
{
    MvCaptionStyle();

    /** Where the caption sits around the element, 0..8 (see MvBackgroundElement). */
    int labelPosition = 2;

    /** The six colour words (32-bit ARGB). A background element draws its caption in
        captionColour; a list item reads the six as text colour normal (= captionColour),
        selected and pressed, then fill colour normal, selected and pressed. */
    juce::uint32 captionColour = 0xFF020202;
    juce::uint32 textColourSelected = 0xFF020202;
    juce::uint32 textColourPressed = 0xFF020202;
    juce::uint32 fillColourNormal = 0;
    juce::uint32 fillColourSelected = 0;
    juce::uint32 fillColourPressed = 0;

    /** A list item's corner radius; no element operation reads it. */
    float cornerRadius = 3.0f;
    /** Added to the caption box's position (a list item's text inset). */
    float captionOffsetX = 0.0f;
    float captionOffsetY = 0.0f;
    /** JUCE's default font set to height 18. */
    juce::Font captionFont;
    /** The caption box is this height plus 5. */
    float captionFontHeight = 18.0f;
};
