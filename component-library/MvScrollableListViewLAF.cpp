#include "MvScrollableListViewLAF.h"

MvScrollableListViewLAF::MvScrollableListViewLAF() = default;
MvScrollableListViewLAF::~MvScrollableListViewLAF() = default;

void MvScrollableListViewLAF::drawScrollbar (juce::Graphics& g, juce::ScrollBar&, int, int, int width, int height,
                                             bool, int thumbStartPosition, int thumbSize, bool, bool)
{
    const auto bw = (float) width, bh = (float) height;

    g.setColour (trackColour);
    g.fillRoundedRectangle (bw / 2.0f - trackWidthRatio * bw / 2.0f, 0.0f, trackWidthRatio * bw, bh - 2.0f, cornerRadius);

    g.setColour (thumbColour);
    g.fillRoundedRectangle (0.0f, (float) thumbStartPosition, bw, (float) thumbSize - 2.0f, cornerRadius);
}
