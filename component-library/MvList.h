#pragma once

#include "MvPopupView.h"
#include "MvButton.h"
#include "MvListItem.h"
#include "MvScrollableListView.h"

/** The library's drop-down list: a popup that lays out its MvListItems in a grid of `columns`
    per row inside a margin of the popup's corner size, marks one selected, and tells its list
    delegate when the user picks an item or the list closes. A button whose delegate is the list
    opens it. In scroll mode the items' content component sits in a viewport with a slim scroll
    bar instead of directly in the list.

    Layout, with m = trunc (cornerSize.x) and W = width - 2 m (less the scroll bar's room in
    scroll mode): items are (W - horizontalGap * (columns - 1)) / columns wide and
    trunc (itemHeight) high; each goes right of the last, and a row ends once x reaches W. */
class MvList : public MvPopupView,
               public MvButton::Delegate,
               public MvListItem::Delegate
{
public:
    class Delegate
    {
    public:
        virtual ~Delegate();
        virtual void listItemSelected (MvList* list, MvListItem* item) = 0;
        virtual void listDismissed (MvList* list) = 0;
    };

    /** Mirrors the selected item somewhere else (a caption showing the current choice). */
    class Title
    {
    public:
        virtual ~Title();
        virtual void showSelectedItem (const juce::String& text, const juce::Image& icon, int iconWidth, int iconHeight) = 0;
    };

    MvList();
    ~MvList() override;

    void resized() override;
    /** Closes the list like a popup (when shown), then tells the list delegate in any case. */
    void dismiss() override;
    /** Opens the list. */
    virtual void buttonClicked (MvButton* button) override;
    /** Selects the item and reports it to the list delegate. */
    virtual void listItemClicked (MvListItem* item) override;

    /** Appends an item with the next id and this list as its delegate, visible, to the content. */
    MvListItem* addItem (const MvCaptionedImage& appearance, const juce::String& text);
    /** Selects exactly the items with this id (none for an unknown id). */
    void setSelectedItem (int id);

    /** Moves the content component into the viewport (on) or directly into the list (off). */
    void setScrollMode (bool shouldScroll);
    bool isScrollMode() const noexcept { return scrollMode; }

    int getNumItems() const noexcept { return items.size(); }
    MvListItem* getItem (int index) const noexcept { return items[index]; }

    juce::Image plateImage;
    int columns = 1;
    float itemHeight = 20.0f;
    float horizontalGap = 0.0f;
    float verticalGap = 0.0f;
    Title* titleComponent = nullptr;
    /** Room kept for the scroll bar in scroll mode, plus 4 pixels. */
    float scrollBarWidth = 5.0f;
    Delegate* listDelegate = nullptr;
    juce::Component content;
    MvScrollableListView scrollView;

private:
    bool scrollMode = false;
    juce::OwnedArray<MvListItem> items;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (MvList)
};
