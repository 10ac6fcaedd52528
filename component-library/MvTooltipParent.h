#pragma once

/** Marker base without data or operations: a component deriving from it hosts MvTooltips shown
    for components inside it. Detected with dynamic_cast from juce::Component. */
class MvTooltipParent
{
};
