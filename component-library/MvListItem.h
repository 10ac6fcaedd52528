#pragma once

#include <juce_gui_basics/juce_gui_basics.h>
#include "MvCaptionedImage.h"

/** One selectable entry of an MvList: a filled rounded rectangle with a single line of text and
    an optional icon, coloured by its state (selected, pressed, normal).

    A click (a press and a release inside the item, the right and bottom edges excluded) on an
    item that is not selected is reported to the delegate, unless the list's content was
    scrolled by more than a pixel in between. A disabled item (or one inside a disabled
    component) ignores the mouse and draws its normal text faded. */
class MvListItem : public juce::Component
{
public:
    class Delegate
    {
    public:
        virtual ~Delegate();
        virtual void listItemClicked (MvListItem* item) = 0;
    };

    MvListItem (const MvCaptionedImage& appearance, const juce::String& text);
    ~MvListItem() override;

    void mouseDown (const juce::MouseEvent&) override;
    void mouseUp (const juce::MouseEvent&) override;
    void paint (juce::Graphics&) override;

    bool isPressed() const noexcept { return pressed; }

    MvCaptionedImage appearance;
    juce::String text;
    /** Shown by a list's title component instead of the text when not empty. */
    juce::String titleText;
    bool selected = false;
    int id = 0;
    Delegate* delegate = nullptr;

private:
    bool pressed = false;
    int parentYAtPress = 0;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (MvListItem)
};
