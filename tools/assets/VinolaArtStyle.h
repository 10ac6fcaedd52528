#pragma once

#include <juce_graphics/juce_graphics.h>

/** The shared look of the generated artwork: the palette of a cream amplifier panel with
    slate and copper accents, the fonts, and the drawing steps that several pictures repeat
    (grain, engraving, screws, knob caps). Everything draws in display units; the pictures are
    rendered with a graphics context scaled by two. */
class VinolaArtStyle
{
public:
    VinolaArtStyle() = delete;

    static const juce::Colour panelTop, panelBottom, ink, slate, slateDark, copper, copperDark,
                              cream, chromeLight, chromeDark, vinyl, bakelite;

    /** Folder holding the Inter faces (Inter-Light.otf, Inter-Medium.otf, Inter-SemiBold.otf). */
    static bool setFontFolder (const juce::File& folder);

    enum class Weight { light, medium, semiBold };
    static juce::Font font (Weight weight, float height, float kerning = 0.0f);

    /** Adds a fine, deterministic speckle to the pixels of `area` (image pixels). */
    static void addGrain (juce::Image& image, juce::Rectangle<int> area, float amount, juce::uint32 seed);

    /** A groove cut into the panel: a dark line with a light edge below or to the right. */
    static void engravedLine (juce::Graphics& g, juce::Line<float> line, float width = 1.0f);

    /** A slotted chrome screw head. */
    static void screw (juce::Graphics& g, juce::Point<float> centre, float radius, float slotAngle);

    /** A chrome disc lit from the top left, with a dark outline of the given opacity. */
    static void chromeDisc (juce::Graphics& g, juce::Rectangle<float> bounds, float outlineAlpha, float outlineWidth);

    /** A soft shadow under a round object. */
    static void roundShadow (juce::Graphics& g, juce::Point<float> centre, float radius, float spread, float alpha);

    /** A knob cap seen from above, its pointer up. Lighting is rotationally symmetric, so the
        picture may be turned freely. `pointerStart` is the pointer's inner end as a fraction
        of the radius (leave the centre free for something drawn on top). Without `withShadow`
        the cap may fill its picture; the panel then carries the shadow. */
    static void knobCap (juce::Graphics& g, juce::Point<float> centre, float radius,
                         juce::Colour top, juce::Colour skirt, juce::Colour pointer, float pointerStart,
                         bool withShadow = true);

    /** Text centred on a point. */
    static void centredText (juce::Graphics& g, const juce::String& text, juce::Point<float> centre,
                             const juce::Font& font, juce::Colour colour);
};
