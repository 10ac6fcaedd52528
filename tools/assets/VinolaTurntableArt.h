#pragma once

#include <juce_graphics/juce_graphics.h>

/** The record player: platter, record and tone arm, the turning label with its centre peg, and
    the generator lever (its track with the three mode icons, and the lever's handle).
    Display units; each picture fills its own box. */
class VinolaTurntableArt
{
public:
    VinolaTurntableArt() = delete;

    /** 382 x 352, drawn at x 366, y -1 of the window; the record's centre lies on the turning
        label's centre (536, 173 in the window). */
    static void paintRecordAndArm (juce::Graphics& g, float w, float h);
    /** 108 x 108 label, with the right-hand middle left clear for the version stamp. */
    static void paintRecordLabel (juce::Graphics& g, float w, float h);
    static void paintCentrePeg (juce::Graphics& g, float w, float h);
    /** 104 x 104 lever plate: the slot along the lever's path and the off, follow-host and
        on icons beside its three stops. */
    static void paintGeneratorTrack (juce::Graphics& g, float w, float h);
    static void paintGeneratorHandle (juce::Graphics& g, float w, float h);

    /** The record's centre inside the record-and-arm picture. */
    static constexpr float recordCentreX = 536.0f - 366.0f, recordCentreY = 173.0f + 1.0f;
    static constexpr float platterRadius = 145.0f, recordRadius = 139.0f, labelRadius = 54.0f;

    /** Centre of the lever's handle for a travel value 0..1, in the lever's coordinates. */
    static juce::Point<float> leverCentre (float travel);
};
