#include "DraggableItem.h"

DraggableItem::DraggableItem() = default;

DraggableItem::~DraggableItem() = default;

juce::Point<float> DraggableItem::screenPositionOf (const juce::MouseEvent& e)
{
    const auto local = e.getPosition();   // to the nearest whole pixel
    auto* source = e.eventComponent;

    return (source != nullptr ? source->localPointToGlobal (local) : local).toFloat();
}

void DraggableItem::mouseDown (const juce::MouseEvent& e)
{
    const auto p = screenPositionOf (e);
    lastX = p.x;
    lastY = p.y;

    if (delegate != nullptr)
        delegate->dragStarted (p.x, p.y);
}

void DraggableItem::mouseDrag (const juce::MouseEvent& e)
{
    const auto p = screenPositionOf (e);
    const float dx = p.x - lastX, dy = p.y - lastY;
    lastX = p.x;
    lastY = p.y;

    if (delegate != nullptr)
        delegate->dragMoved (dx, dy);
}

void DraggableItem::mouseUp (const juce::MouseEvent&)
{
    if (delegate != nullptr)
        delegate->dragEnded();
}

void DraggableItem::paint (juce::Graphics&) {}
