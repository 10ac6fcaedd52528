#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

/** An invisible grab area that reports a drag in screen coordinates: the press, then each
    movement relative to the previous mouse event, then the release. Screen coordinates stay put
    when the grab area itself moves under the mouse, so its owner can move it during the drag. */
class DraggableItem : public juce::Component
{
public:
    /** Receives the drag reports of a DraggableItem. */
    class Delegate
    {
    public:
        virtual ~Delegate() = default;

        /** The press, at (x, y) on the screen. */
        virtual void dragStarted (float x, float y) = 0;
        /** The movement since the previous mouse event of the drag, in screen pixels. */
        virtual void dragMoved (float dx, float dy) = 0;
        virtual void dragEnded() = 0;
    };

    DraggableItem();
    ~DraggableItem() override;

    void mouseDown (const juce::MouseEvent&) override;
    void mouseDrag (const juce::MouseEvent&) override;
    void mouseUp (const juce::MouseEvent&) override;
    /** Draws nothing: the owner draws the handle. */
    void paint (juce::Graphics&) override;

    /** Not owned; may be null, then the drag is reported to nobody. */
    void setDelegate (Delegate* newDelegate) noexcept { delegate = newDelegate; }
    Delegate* getDelegate() const noexcept { return delegate; }

private:
    /** The event's position, to the nearest pixel, in screen coordinates. */
    static juce::Point<float> screenPositionOf (const juce::MouseEvent& e);

    Delegate* delegate = nullptr;
    float lastX = 0.0f, lastY = 0.0f;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (DraggableItem)
};
