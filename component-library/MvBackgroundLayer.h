#pragma once

/** Marker base without data or operations: a component deriving from it renders its own
    background, so MvBackground's walk of a component tree skips it and everything inside it.
    Detected with dynamic_cast from juce::Component. */
class MvBackgroundLayer
{
};
