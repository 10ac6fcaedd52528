#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

/** The slim scroll bar of MvScrollableListView: a rounded track centred across the bar and a
    rounded thumb over the full bar width, always drawn as a vertical bar. */
class MvScrollableListViewLAF : public juce::LookAndFeel_V4
{
public:
    MvScrollableListViewLAF();
    ~MvScrollableListViewLAF() override;

    void drawScrollbar (juce::Graphics&, juce::ScrollBar&, int x, int y, int width, int height,
                        bool isScrollbarVertical, int thumbStartPosition, int thumbSize,
                        bool isMouseOver, bool isMouseDown) override;

    float cornerRadius = 2.0f;
    juce::Colour thumbColour;
    juce::Colour trackColour;
    /** The track's share of the bar's width, centred. */
    float trackWidthRatio = 1.0f;
};
