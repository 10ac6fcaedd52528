// Tests of MvList, MvListItem and MvScrollableListView.

#include "MvControlTestSupport.h"
#include "MvList.h"

using namespace mvtest;

namespace
{
    struct ListLog : public MvList::Delegate, public MvPopupView::Delegate
    {
        void listItemSelected (MvList*, MvListItem* item) override { calls.push_back ("selected " + std::to_string (item->id)); }
        void listDismissed (MvList*) override { calls.push_back ("list dismissed"); }
        void popupViewDismissed (MvPopupView*) override { calls.push_back ("popup dismissed"); }
        std::vector<std::string> calls;
    };

    MvCaptionedImage plainLook()
    {
        MvCaptionStyle style;
        style.captionColour = 0xff00ff00;
        style.fillColourNormal = 0xff000000;
        style.fillColourSelected = 0xff0000ff;
        style.fillColourPressed = 0xffff0000;
        style.cornerRadius = 0.0f;
        return MvCaptionedImage (style, {});
    }

    // A list of n items on a shown host, margin m, told to a log.
    struct ShownList
    {
        ShownList (int n, int width, int height, int m = 0)
        {
            host.setBounds (0, 0, 300, 300);
            host.setVisible (true);
            list.host = &host;
            list.showPlate = true;
            list.plate.delegate = &list;
            list.listDelegate = &log;
            list.delegate = &log;
            list.cornerSize = { (float) m, (float) m };
            list.itemHeight = 26.0f;
            list.addChildComponent (list.content);
            list.content.setVisible (true);
            for (int i = 0; i < n; ++i)
                list.addItem (plainLook(), "item " + juce::String (i));
            list.setBounds (0, 0, width, height);
            list.show();
        }

        juce::Component host;
        ListLog log;
        MvList list;
    };
}

TEST (MvList, GridLayouts)
{
    struct Case
    {
        const char* name;
        int items, columns, margin, width;
        float hGap, vGap;
        std::vector<juce::Rectangle<int>> expected;   // in the content component
    };
    const Case cases[] = {
        { "six rows of 26", 6, 1, 10, 130, 0, 0,
          { { 0, 0, 110, 26 }, { 0, 26, 110, 26 }, { 0, 52, 110, 26 }, { 0, 78, 110, 26 }, { 0, 104, 110, 26 }, { 0, 130, 110, 26 } } },
        { "two columns with a gap", 3, 2, 0, 100, 10, 4,
          { { 0, 0, 45, 26 }, { 55, 0, 45, 26 }, { 0, 30, 45, 26 } } },
        { "no columns lays out as one", 2, 0, 0, 50, 0, 0,
          { { 0, 0, 50, 26 }, { 0, 26, 50, 26 } } },
    };

    for (const auto& c : cases)
    {
        ShownList s (c.items, c.width, 200, c.margin);
        s.list.columns = c.columns;
        s.list.horizontalGap = c.hGap;
        s.list.verticalGap = c.vGap;
        s.list.resized();

        EXPECT_EQ (s.list.content.getBounds(), juce::Rectangle<int> (c.margin, c.margin, c.width - 2 * c.margin, 200 - 2 * c.margin)) << c.name;
        for (int i = 0; i < c.items; ++i)
            EXPECT_EQ (s.list.getItem (i)->getBounds(), c.expected[(size_t) i]) << c.name << " item " << i;
    }
}

TEST (MvList, ScrollModeReservesTheBarAndSizesTheContentToItsRows)
{
    ShownList s (8, 120, 100, 5);
    s.list.itemHeight = 20.0f;
    s.list.setScrollMode (true);

    EXPECT_EQ (s.list.scrollView.getBounds(), juce::Rectangle<int> (5, 5, 110, 90));
    EXPECT_EQ (s.list.scrollView.getViewedComponent(), &s.list.content);
    EXPECT_EQ (s.list.content.getBounds(), juce::Rectangle<int> (0, 0, 101, 160));   // 110 - (5 + 4); 8 rows of 20
    EXPECT_EQ (s.list.getItem (7)->getBounds(), juce::Rectangle<int> (0, 140, 101, 20));
    EXPECT_EQ (&s.list.scrollView.getVerticalScrollBar().getLookAndFeel(), &s.list.scrollView.laf);
}

TEST (MvList, ClickSelectsUnlessSelectedAlreadyOrOnTheFarEdge)
{
    ShownList s (3, 100, 100);
    s.list.setSelectedItem (1);

    clickAt (*s.list.getItem (1), 5, 5);        // already selected: nothing, the list stays open
    clickAt (*s.list.getItem (0), 100, 5);      // x = width is outside
    clickAt (*s.list.getItem (0), 5, 26);       // y = height is outside
    EXPECT_TRUE (s.log.calls.empty());
    EXPECT_EQ (s.list.getParentComponent(), &s.host);

    clickAt (*s.list.getItem (2), 99, 25);
    EXPECT_EQ (s.log.calls, (std::vector<std::string> { "selected 2" }));
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ (s.list.getItem (i)->selected, i == 2);

    s.list.setSelectedItem (42);               // an id nobody has
    for (int i = 0; i < 3; ++i)
        EXPECT_FALSE (s.list.getItem (i)->selected);
}

TEST (MvList, PressThatScrolledTheContentIsNoChoice)
{
    for (int shift : { 1, -1, 2, -2, 30 })
    {
        ShownList s (3, 100, 100);
        auto& item = *s.list.getItem (0);
        item.mouseDown (mouseAt (item, 5, 5, leftButton()));
        s.list.content.setTopLeftPosition (0, shift);
        item.mouseUp (mouseAt (item, 5, 5, leftButton()));
        EXPECT_EQ (s.log.calls.size(), std::abs (shift) <= 1 ? 1u : 0u) << shift;
        EXPECT_FALSE (item.isPressed());
    }
}

TEST (MvList, DismissTellsThePopupDelegateOnlyWhenShown)
{
    ShownList s (2, 100, 100);
    s.list.dismiss();
    EXPECT_EQ (s.list.getParentComponent(), nullptr);
    EXPECT_EQ (s.list.plate.getParentComponent(), nullptr);
    s.list.dismiss();
    EXPECT_EQ (s.log.calls, (std::vector<std::string> { "popup dismissed", "list dismissed", "list dismissed" }));

    // A button whose delegate is the list opens it.
    MvButton opener;
    opener.setBounds (0, 0, 10, 10);
    opener.delegate = &s.list;
    clickAt (opener, 5, 5);
    EXPECT_EQ (s.list.getParentComponent(), &s.host);
}

TEST (MvList, DisabledListFadesTheTextAndIgnoresClicks)
{
    ShownList s (2, 100, 100);
    auto& item = *s.list.getItem (0);
    const auto enabledInk = countPixels (render (item), item.getLocalBounds(), juce::Colour (0xff00ff00), 8);
    EXPECT_GT (enabledInk, 5);

    s.list.setEnabled (false);
    clickAt (item, 5, 5);
    EXPECT_TRUE (s.log.calls.empty());
    const auto faded = render (item);
    EXPECT_EQ (countPixels (faded, item.getLocalBounds(), juce::Colour (0xff00ff00), 8), 0);
    EXPECT_GT (countPixelsNot (faded, item.getLocalBounds(), juce::Colours::black, 8), 5);   // still ink, fainter
}
