#pragma once

#include <juce_gui_basics/juce_gui_basics.h>
#include "MvBackground.h"
#include "MvBackgroundLayer.h"
#include "MvPlateView.h"

#include <array>

/** Base of the library's pop-up panels. `show` adds the popup on top of a host component (with
    the plate beneath it when showPlate is set, so that a click anywhere else on the host closes
    it) and `dismiss` takes it out again.

    Its face is rendered into a cached background: one flat colour, or with a plate image a
    nine-slice frame cut from that image (corners and two-pixel edge strips drawn at half their
    pixel size) around a centre filled with the image's middle pixel. The window's own
    background walk skips the popup (MvBackgroundLayer). */
class MvPopupView : public juce::Component,
                    public MvBackgroundLayer,
                    public MvPlateView::Delegate,
                    public MvBackground::Delegate
{
public:
    class Delegate
    {
    public:
        virtual ~Delegate();
        virtual void popupViewDismissed (MvPopupView* popup) = 0;
    };

    /** The nine-slice pieces, in the order they are kept. */
    enum Slice { topEdge = 0, leftEdge, rightEdge, bottomEdge, topLeft, topRight, bottomLeft, bottomRight, numSlices };

    MvPopupView();
    ~MvPopupView() override;

    /** Adds the plate (when showPlate is set) and the popup on top of the host, lays the popup
        out and repaints it. Does nothing without a host. */
    virtual void show();
    /** Removes the plate and the popup from their parent and tells the delegate; does nothing
        when the popup is not shown. */
    virtual void dismiss();
    /** Paints the face: the flat colour, or the nine-slice frame and its centre. */
    void paintBackground (juce::Graphics& g, float width, float height) override;
    /** A click on the plate dismisses the popup. */
    void plateViewClicked (MvPlateView* plate) override;

    void paint (juce::Graphics&) override;
    void resized() override;

    /** Cuts the eight pieces out of a w x h image (hw = w / 2, hh = h / 2): the four hw x hh
        quarters as corners, two-pixel strips beside the middle as edges; the corner size becomes
        (hw / 2, hh / 2), the background colour the pixel at (hw, hh), and usePlateImage is set. */
    void setPlateImage (const juce::Image& plateImage);

    juce::Component* host = nullptr;
    MvPlateView plate;
    MvBackground background;
    bool usePlateImage = false;
    Delegate* delegate = nullptr;
    juce::Colour backgroundColour;
    std::array<juce::Image, numSlices> sliceImages;
    /** Size of the corners and edge thickness; x is also a list's content margin. */
    juce::Point<float> cornerSize;
    bool showPlate = false;

protected:
    /** Removes the plate (when showPlate is set) and the popup from the popup's parent. */
    void removeFromParent();

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (MvPopupView)
};
