#pragma once

#include <juce_graphics/juce_graphics.h>

/** The knob caps (turned by the controls, pointer up at the middle of the range) and the scale
    plate printed under the top-row knobs. Display units; each picture fills its own box. */
class VinolaKnobArt
{
public:
    VinolaKnobArt() = delete;

    /** Black bakelite cap with a cream pointer (AMP QUALITY, HI-FI); 64 x 64. */
    static void paintQualityKnob (juce::Graphics& g, float w, float h);
    /** The same cap with a copper top (SCRATCHES); 64 x 64. */
    static void paintScratchesKnob (juce::Graphics& g, float w, float h);
    /** Slate cap whose centre is left for the live ducking dot (DUCKING); 64 x 64. */
    static void paintDuckingKnob (juce::Graphics& g, float w, float h);
    /** Larger cream cap for the bottom row, drawn inset inside its value ring; 44 x 44. */
    static void paintBottomRowKnob (juce::Graphics& g, float w, float h);
    /** Tick scale and recess under a top-row knob; 64 x 64. */
    static void paintTopKnobPlate (juce::Graphics& g, float w, float h);
};
