#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

/** The click-catcher behind a popup: covers the whole host, paints one flat colour and tells
    its delegate of every mouse press on it, so a click outside the popup can close it. */
class MvPlateView : public juce::Component
{
public:
    class Delegate
    {
    public:
        virtual ~Delegate();
        virtual void plateViewClicked (MvPlateView* plate) = 0;
    };

    MvPlateView();
    ~MvPlateView() override;

    void mouseDown (const juce::MouseEvent&) override;
    void paint (juce::Graphics&) override;

    Delegate* delegate = nullptr;
    juce::Colour colour { 0x7f000000 };

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (MvPlateView)
};
