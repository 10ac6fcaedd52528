#pragma once

#include "MvButton.h"
#include "MvList.h"

#include <array>

class MvGlobalSettings;
class MvAssetManager;

/** Lets the user scale the whole plug-in window to one of six sizes: a small image button
    opens a drop-down list of "75%" to "200%"; a choice is stored under "Zoom" in the settings
    file (saved at once) and becomes JUCE's process-wide desktop scale factor, so the window keeps
    its design size in its own coordinates.

    The owning window calls init once, places `button` and `list` in its layout, selects the
    item of getStoredZoom and applies that factor when it differs from zoomFactor. */
class MvWindowZoom : public MvList::Delegate
{
public:
    static constexpr int numSizes = 6;

    MvWindowZoom();
    ~MvWindowZoom() override;

    /** Builds the button (images "vinola_btn_zoom.png" and "vinola_btn_zoom_click.png"), the
        list (plate "plate_dark.png", hosted by the parent) and its six items. Any of the three
        may be null: the zoom then does without images or without the settings file. */
    void init (juce::Component* parent, MvGlobalSettings* settings, MvAssetManager* assets);

    /** The stored "Zoom" percentage as a factor when it lies within 20..300, else zoomFactor. */
    float getStoredZoom() const;

    /** Stores and saves the chosen percentage, applies it as the global scale factor and closes
        the list. */
    void listItemSelected (MvList* list, MvListItem* item) override;
    void listDismissed (MvList* list) override;

    /** The percentage of a list item, or 0 for an id outside the list. */
    static int percentForItem (int itemId) noexcept;
    /** The list item that shows a factor: its percentage rounded to the nearest integer (halves
        away from zero) when that is one of the six, else the item of "100%". */
    static int itemForZoom (float factor) noexcept;

    std::array<const char*, numSizes> labels;
    float zoomFactor = 1.0f;
    juce::Component* parent = nullptr;
    MvGlobalSettings* settings = nullptr;
    MvAssetManager* assets = nullptr;
    MvButton button;
    MvList list;

private:
    /** Sets the global scale factor; a parent window already on screen keeps its size in its own
        coordinates, so it grows or shrinks on the screen with the zoom. */
    void applyGlobalScale (float factor);

    juce::Image loadImage (const char* name) const;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (MvWindowZoom)
};
