#pragma once

#include "MvButton.h"
#include "MvList.h"

#include <array>
#include <functional>

class MvGlobalSettings;
class MvAssetManager;

/** Lets the user scale the whole plug-in window to one of six sizes: a small image button
    opens a drop-down list of "75%" to "200%"; a choice is stored under "Zoom" in the settings
    file (saved at once) and becomes the factor in force.

    The factor in force belongs to one plug-in binary (each format is a library of its own, with
    its own copy of JUCE): a choice, or a window opening with a stored size other than that
    factor, scales every open window of that binary, and a window that opens later shows the
    factor in force. Windows of another binary (the other format in the same host, the
    Standalone) share only the settings file: each window reads it afresh when it opens, and no
    instance ever writes into another instance's copy of it.

    A window shows the factor in one of two ways. By default through JUCE's global desktop
    scale (of that binary's JUCE), so the window keeps its design size in its own coordinates;
    the VST3 and Standalone wrappers pass that scale on. Or through scaleWindow, for a host whose
    plug-in wrapper does not pass the global scale on (JUCE's LV2 wrapper): the global scale is
    then left alone and the window scales itself.

    The owning window sets designSize (and scaleWindow where needed), calls init once, places
    `button` and `list` in its layout, selects the item of getStoredZoom and calls
    applyStoredZoom. */
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

    /** The stored "Zoom" percentage as a factor when it lies within 20..300, else zoomFactor
        (for a new zoom, the factor in force). */
    float getStoredZoom() const;

    /** When a window opens: a stored factor that differs from the factor in force is applied
        to every open window; otherwise a window with its own scaling still takes the factor in
        force. */
    void applyStoredZoom();

    /** Stores and saves the chosen percentage, closes the list and makes the choice the factor
        in force (applyToEveryWindow). */
    void listItemSelected (MvList* list, MvListItem* item) override;
    void listDismissed (MvList* list) override;

    /** The percentage of a list item, or 0 for an id outside the list. */
    static int percentForItem (int itemId) noexcept;
    /** The list item that shows a factor: its percentage rounded to the nearest integer (halves
        away from zero) when that is one of the six, else the item of "100%". */
    static int itemForZoom (float factor) noexcept;
    /** A design size zoomed by a factor, each side worked out from the design alone and rounded
        to the nearest pixel, halves to the even neighbour, as JUCE rounds the sizes it reports
        to a host. */
    static juce::Point<int> scaledSize (juce::Point<int> design, float factor) noexcept;

    /** The parent's size in its own coordinates at every zoom; after a change of the global
        scale the parent and its window take it again, so no size inherits the rounding of the
        one before. Left empty, the parent keeps whatever size it has. */
    juce::Point<int> designSize;
    /** When set, this window shows a factor on its own through this function (for example by a
        transform on the parent) instead of through the global desktop scale. */
    std::function<void (float factor)> scaleWindow;

    std::array<const char*, numSizes> labels;
    /** The factor this window shows: the factor in force when the zoom is made (1 in a fresh
        binary), then whatever it follows. */
    float zoomFactor;
    juce::Component* parent = nullptr;
    MvGlobalSettings* settings = nullptr;
    MvAssetManager* assets = nullptr;
    MvButton button;
    MvList list;

    /** Makes a factor the one in force in this binary and every open window of it follow,
        as a choice does (without storing it). */
    static void applyToEveryWindow (float factor);

private:
    /** Takes a factor applied elsewhere: marks it in the list and shows it, through scaleWindow,
        or, once the global scale is set, by giving the parent and its window back their sizes
        in their own coordinates (taken before the change) so they grow or shrink on screen. */
    void follow (float factor, juce::Point<int> parentBefore, juce::Point<int> windowBefore);

    juce::Image loadImage (const char* name) const;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (MvWindowZoom)
};
