#pragma once

#include <juce_graphics/juce_graphics.h>

/** The amplifier panel: the window's background and the small panel parts (slider rail and
    cap, the cable-quality drum with its window, the mains-frequency buttons, the zoom button
    and the dark plate of the zoom list). Display units; each picture fills its own box. */
class VinolaPanelArt
{
public:
    VinolaPanelArt() = delete;

    /** 748 x 350: the cream panel with the slider slots, knob scales, section grooves, screws
        and the product's name; `image` receives the grain. */
    static void paintBackground (juce::Graphics& g, juce::Image& image, float w, float h);

    static void paintSliderTrack (juce::Graphics& g, float w, float h);
    /** 99 x 50: the fader cap sits near the top, centred on x, where the slider's travel puts it. */
    static void paintSliderHandle (juce::Graphics& g, float w, float h);

    static void paintCableBacking (juce::Graphics& g, float w, float h);
    /** The number strip: 0 near the bottom to 10 near the top, at the heights the drum shows them. */
    static void paintCableNumbers (juce::Graphics& g, float w, float h);
    static void paintCableWindow (juce::Graphics& g, float w, float h);

    static void paintHumButton (juce::Graphics& g, float w, float h, const juce::String& text, bool on);
    static void paintZoomButton (juce::Graphics& g, float w, float h, bool pressed);
    static void paintDarkPlate (juce::Graphics& g, float w, float h);

    /** Vertical centre of the fader cap inside the handle picture. */
    static constexpr float handleCapCentreY = 10.0f;
};
