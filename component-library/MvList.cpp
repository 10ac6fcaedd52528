#include "MvList.h"

MvList::Delegate::~Delegate() = default;
MvList::Title::~Title() = default;

MvList::MvList()
{
    scrollView.setScrollBarsShown (true, false);
}

MvList::~MvList()
{
    items.clear (true);
    scrollView.setViewedComponent (nullptr, false);
    plateImage = {};
}

MvListItem* MvList::addItem (const MvCaptionedImage& appearance, const juce::String& text)
{
    auto* item = items.add (new MvListItem (appearance, text));
    item->id = items.size() - 1;
    item->delegate = this;
    item->setVisible (true);
    content.addChildComponent (item);
    return item;
}

void MvList::setScrollMode (bool shouldScroll)
{
    scrollMode = shouldScroll;

    if (scrollMode)
    {
        removeChildComponent (&content);
        scrollView.setScrollBarThickness (juce::jmax (1, (int) scrollBarWidth));
        scrollView.setViewedComponent (&content, false);
        addAndMakeVisible (scrollView);
    }
    else
    {
        scrollView.setViewedComponent (nullptr, false);
        removeChildComponent (&scrollView);
        addAndMakeVisible (content);
    }

    resized();
}

void MvList::resized()
{
    const int m = (int) cornerSize.x;
    float W = (float) (getWidth() - 2 * m);

    if (scrollMode)
    {
        scrollView.setBounds (m, m, (int) W, getHeight() - 2 * m);
        W = (float) (int) (W - (scrollBarWidth + 4.0f));
    }
    else
    {
        content.setBounds (m, m, (int) W, getHeight() - 2 * m);
    }

    // A column count below one would divide by zero; such a list lays out as one column.
    const int cols = juce::jmax (1, columns);
    float y = 0.0f;

    if (! items.isEmpty())
    {
        const float itemWidth = (W - horizontalGap * (float) (cols - 1)) / (float) cols;
        const int rowHeight = (int) itemHeight;
        float x = 0.0f;

        for (auto* item : items)
        {
            item->setBounds ((int) x, (int) y, (int) itemWidth, rowHeight);
            x += itemWidth + horizontalGap;

            if (x >= W)
            {
                y += verticalGap + (float) rowHeight;
                x = 0.0f;
            }
        }
    }

    if (scrollMode)
        content.setBounds (0, 0, (int) W, (int) (y - verticalGap));

    MvPopupView::resized();
}

void MvList::setSelectedItem (int id)
{
    for (auto* item : items)
    {
        item->selected = (item->id == id);
        item->repaint();

        if (titleComponent != nullptr && item->selected)
        {
            const auto& icon = item->appearance.icon;
            titleComponent->showSelectedItem (item->titleText.isNotEmpty() ? item->titleText : item->text,
                                              icon, (int) item->appearance.iconWidth, (int) item->appearance.iconHeight);

            if (auto* titleView = dynamic_cast<juce::Component*> (titleComponent))
                if (titleView->isShowing())
                    titleView->repaint();
        }
    }
}

void MvList::listItemClicked (MvListItem* item)
{
    if (item == nullptr)
        return;

    setSelectedItem (item->id);

    if (listDelegate != nullptr)
        listDelegate->listItemSelected (this, item);
}

void MvList::buttonClicked (MvButton*)
{
    show();
}

void MvList::dismiss()
{
    if (getParentComponent() == nullptr)
    {
        if (listDelegate != nullptr)
            listDelegate->listDismissed (this);
        return;
    }

    removeFromParent();

    if (delegate != nullptr)
        delegate->popupViewDismissed (this);

    if (listDelegate != nullptr)
        listDelegate->listDismissed (this);
}
