#pragma once

#include <juce_gui_basics/juce_gui_basics.h>
#include "MvScrollableListViewLAF.h"

/** The viewport of a scrolling MvList: a plain juce::Viewport whose vertical scroll bar is drawn
    by its own slim look-and-feel. */
class MvScrollableListView : public juce::Viewport
{
public:
    using LAF = MvScrollableListViewLAF;

    MvScrollableListView();
    ~MvScrollableListView() override;

    LAF laf;

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (MvScrollableListView)
};
