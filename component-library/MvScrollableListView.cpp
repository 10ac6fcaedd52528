#include "MvScrollableListView.h"

MvScrollableListView::MvScrollableListView()
{
    getVerticalScrollBar().setLookAndFeel (&laf);
}

MvScrollableListView::~MvScrollableListView()
{
    // The scroll bar outlives the member look-and-feel (it belongs to the viewport base).
    getVerticalScrollBar().setLookAndFeel (nullptr);
}
