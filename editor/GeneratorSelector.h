#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include "DraggableItem.h"
#include "MvTooltip.h"
#include "MvTooltipParent.h"

/** The three-position generator lever: a track with three icons and a slightly tilted handle
    that the user drags along a curved path. While dragging, the lever's tooltip names the stop
    the handle is closest to; on release the handle snaps to a stop and the lever reports the
    matching generator mode (2 - position) to its delegate.

    Stops: position 0 "Always off" (travel 0, mode 2), 1 "Follow Host" (travel 0.5, mode 1),
    2 "Always on" (travel 1, mode 0).

    The owner styles the tooltip, sets the delegate and the two images, sets the handle's
    delegate to the lever and adds the handle as the lever's child (on top); then it lays the
    lever out and places it with setPosition. */
class GeneratorSelector : public juce::Component,
                          public DraggableItem::Delegate,
                          public MvTooltipParent
{
public:
    /** Told the generator mode (0..2) on every release of the handle. */
    class Delegate
    {
    public:
        virtual ~Delegate() = default;
        virtual void generatorModeChanged (int mode) = 0;
    };

    static constexpr int handleWidth = 58;
    static constexpr int handleHeight = 56;
    /** The background is drawn into a square of this size at the lever's origin. */
    static constexpr float backgroundSize = 104.0f;

    GeneratorSelector();
    ~GeneratorSelector() override;

    void paint (juce::Graphics&) override;
    /** Places the handle from the present travel value. */
    void resized() override;

    // DraggableItem::Delegate: the handle's drag.
    /** Shows the tooltip above the lever with the present stop's name. */
    void dragStarted (float x, float y) override;
    /** Moves the handle: one pixel right adds 0.01 of travel, one pixel up 0.02; kept in 0..1. */
    void dragMoved (float dx, float dy) override;
    /** Hides the tooltip, snaps to the nearest stop and reports its mode to the delegate. */
    void dragEnded() override;

    /** Places the lever at a stop (0..2) without telling the delegate. A position outside 0..2
        is brought to the nearest stop; the present position does nothing. */
    void setPosition (int newPosition);
    /** The tooltip's text from the travel value, then a repaint of the tooltip. */
    void setModeTooltip();

    /** Not owned; may be null. */
    void setDelegate (Delegate* newDelegate) noexcept { delegate = newDelegate; }
    Delegate* getDelegate() const noexcept { return delegate; }

    void setBackgroundImage (const juce::Image& newImage) { background = newImage; repaint(); }
    const juce::Image& getBackgroundImage() const noexcept { return background; }
    void setHandleImage (const juce::Image& newImage) { handleImage = newImage; repaint(); }
    const juce::Image& getHandleImage() const noexcept { return handleImage; }

    MvTooltip& getTooltip() noexcept { return tooltip; }
    DraggableItem& getHandle() noexcept { return handle; }

    int getPosition() const noexcept { return position; }
    /** True from the press on the handle to its release. */
    bool isBeingDragged() const noexcept { return dragging; }
    float getTravelValue() const noexcept { return travelValue; }

    /** The handle's top-left corner on the lever's path for a travel value v in 0..1:
        x = 29 v + 15 + 2 sin (pi v), y = 48 - 40 v. */
    static juce::Point<float> pathPoint (float v);
    /** The tilt of the handle picture, radians clockwise: +0.05 at travel 0, -0.05 at travel 1. */
    static float handleAngle (float v);
    /** The stop's name for a travel value: "Always off" below 0.25, "Always on" above 0.75,
        else "Follow Host". */
    static juce::String stopName (float v);

private:
    void placeHandle();

    float travelValue = 0.0f;
    MvTooltip tooltip;
    DraggableItem handle;
    juce::Image background;
    juce::Image handleImage;
    int position = 0;
    bool dragging = false;
    Delegate* delegate = nullptr;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (GeneratorSelector)
};
