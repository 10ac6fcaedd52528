#include "MvWindowZoom.h"
#include "MvAssetManager.h"
#include "MvGlobalSettings.h"
#include "MvLoadArchiveImage.h"
#include "VinolaEmbeddedFont.h"

#include <cmath>
#include <vector>

namespace
{
    constexpr const char* zoomLabels[MvWindowZoom::numSizes] = { "75%", "100%", "125%", "150%", "175%", "200%" };
    constexpr int zoomPercents[MvWindowZoom::numSizes] = { 75, 100, 125, 150, 175, 200 };
    constexpr int itemOf100 = 1;

    juce::Font listFont()
    {
        int size = 0;
        const auto* data = VinolaEmbeddedFont::robotoMonoRegular (size);
        juce::Font font;

        if (data != nullptr && size > 0)
            if (auto face = juce::Typeface::createSystemTypefaceFor (data, (size_t) size))
                font = juce::Font (face);

        font.setHeight (13.5f);
        return font;
    }

    // Every zoom alive in this plug-in binary, in the order they were made (message thread only).
    juce::Array<MvWindowZoom*>& liveZooms()
    {
        static juce::Array<MvWindowZoom*> zooms;
        return zooms;
    }

    // The factor in force, like the global scale, which it mirrors for windows that scale
    // themselves. Each plug-in binary (each format's library, with its own JUCE) has its own,
    // kept after its last window closes; binaries share only the settings file.
    float factorInForce = 1.0f;
}

// A new zoom starts from the factor in force, so a window that finds nothing usable stored
// marks and keeps the size every other window of this binary shows.
MvWindowZoom::MvWindowZoom() : zoomFactor (factorInForce)
{
    for (size_t i = 0; i < labels.size(); ++i)
        labels[i] = zoomLabels[i];

    liveZooms().add (this);
}

// The list is declared after the button, so it goes first.
MvWindowZoom::~MvWindowZoom()
{
    liveZooms().removeFirstMatchingValue (this);
}

int MvWindowZoom::percentForItem (int itemId) noexcept
{
    return itemId >= 0 && itemId < numSizes ? zoomPercents[itemId] : 0;
}

int MvWindowZoom::itemForZoom (float factor) noexcept
{
    const double percent = std::round ((double) (factor * 100.0f));

    for (int i = 0; i < numSizes; ++i)
        if (percent == (double) zoomPercents[i])
            return i;

    return itemOf100;
}

juce::Point<int> MvWindowZoom::scaledSize (juce::Point<int> design, float factor) noexcept
{
    return { juce::roundToInt ((float) design.x * factor), juce::roundToInt ((float) design.y * factor) };
}

juce::Image MvWindowZoom::loadImage (const char* name) const
{
    return assets != nullptr ? MvLoadArchiveImage (*assets, name) : juce::Image();
}

void MvWindowZoom::init (juce::Component* newParent, MvGlobalSettings* newSettings, MvAssetManager* newAssets)
{
    parent = newParent;
    settings = newSettings;
    assets = newAssets;

    // Another instance, or the plug-in's other format (a library of its own), may have stored a
    // size since this instance read the file: a window opens with what is stored now, not with
    // a stale copy that would pull every open window back to an older size. A change of this
    // instance's that is not saved yet is kept.
    if (settings != nullptr && settings->settingsFile != nullptr && ! settings->settingsFile->needsToBeSaved()
        && settings->settingsFile->getFile().existsAsFile())
        settings->settingsFile->reload();

    // The button toggles the list.
    button.setNormalImage (loadImage ("vinola_btn_zoom.png"), 16.0f, 16.0f);
    button.delegate = nullptr;
    button.setPressedImage (loadImage ("vinola_btn_zoom_click.png"));
    button.onClick = [this] (juce::Component*)
    {
        if (! list.isShowing())
            list.show();
        else
            list.dismiss();
    };

    // Every item looks the same: centred text on a flat dark fill, lighter when selected.
    MvCaptionStyle style;
    style.captionFont = listFont();
    style.captionFontHeight = 13.5f;
    style.labelPosition = 2;
    style.captionColour = 0xfff3f2dd;
    style.textColourSelected = 0xffffffff;
    style.textColourPressed = 0xfff3f2dd;
    style.fillColourNormal = 0xff39464d;
    style.fillColourSelected = 0xff687171;
    style.fillColourPressed = 0xff687171;
    style.cornerRadius = 0.0f;
    style.captionOffsetX = 0.0f;

    MvCaptionedImage appearance (style, {});
    appearance.iconOnRight = 1;
    appearance.iconGap = 0.0f;
    appearance.iconWidth = 10.0f;
    appearance.iconHeight = 10.0f;

    list.plateImage = loadImage ("plate_dark.png");

    list.columns = 1;
    list.itemHeight = 26.0f;
    list.horizontalGap = 0.0f;
    list.verticalGap = 0.0f;
    list.titleComponent = nullptr;
    list.host = parent;
    list.delegate = nullptr;
    list.background.fillColour = 0;
    list.background.delegate = &list;

    if (list.plateImage.isValid())
    {
        list.setPlateImage (list.plateImage);
    }
    else
    {
        list.backgroundColour = juce::Colour (0xff202020);
        list.cornerSize = { 5.0f, 5.0f };
        list.usePlateImage = false;
    }

    list.showPlate = true;
    list.plate.colour = juce::Colours::transparentBlack;
    list.plate.delegate = &list;
    list.listDelegate = this;

    list.content.setVisible (true);
    list.addChildComponent (list.content);

    for (auto* label : labels)
        list.addItem (appearance, label);
}

float MvWindowZoom::getStoredZoom() const
{
    if (settings == nullptr || settings->settingsFile == nullptr)
        return zoomFactor;

    const auto v = (float) settings->settingsFile->getValue ("Zoom", "100").getDoubleValue();

    if (v >= 20.0f && v <= 300.0f)
        return v * 0.01f;

    return zoomFactor;
}

void MvWindowZoom::listItemSelected (MvList*, MvListItem* item)
{
    if (item == nullptr)
        return;

    const int percent = percentForItem (item->id);

    if (percent == 0)
        return;

    const float factor = (float) percent * 0.01f;

    if (settings != nullptr && settings->settingsFile != nullptr)
    {
        settings->settingsFile->setValue ("Zoom", juce::String (percent));
        settings->settingsFile->save();
    }

    // Only this instance's copy of the settings is written: another instance's, once changed,
    // would be saved by it seconds later, over a newer choice stored meanwhile by another writer
    // (the Standalone, the other format, another host). Other instances' next windows read the
    // file afresh (init); their open windows follow below.

    // Closed before any window is resized: a host may destroy or rebuild the editor, and this
    // zoom with it, while it resizes the window. Nothing of this zoom is touched afterwards.
    list.dismiss();
    applyToEveryWindow (factor);
}

void MvWindowZoom::applyStoredZoom()
{
    // The stored size is compared with the factor in force in this binary, not with this new
    // window's own: a size stored by another writer since that factor was chosen brings every
    // open window to it. Otherwise the factor in force stays, which a window with its own
    // scaling has to take on by itself.
    if (const auto stored = getStoredZoom(); stored != factorInForce)
        applyToEveryWindow (stored);
    else if (scaleWindow != nullptr)
        scaleWindow (factorInForce);
}

void MvWindowZoom::applyToEveryWindow (float factor)
{
    factorInForce = factor;

    // A window on screen keeps its size in physical pixels when the global scale changes:
    // note every window's sizes in its own coordinates first.
    struct Before { MvWindowZoom* zoom; juce::Point<int> parent, window; };
    std::vector<Before> before;
    bool anyGlobal = false;

    for (auto* zoom : liveZooms())
    {
        Before b { zoom, {}, {} };

        if (zoom->scaleWindow == nullptr && zoom->parent != nullptr)
        {
            anyGlobal = true;
            b.parent = zoom->parent->getBounds().getBottomRight() - zoom->parent->getPosition();
            const auto* window = zoom->parent->getTopLevelComponent();
            b.window = window->getBounds().getBottomRight() - window->getPosition();
        }

        before.push_back (b);
    }

    // Windows that scale themselves never touch the global scale: their host would not learn
    // of it.
    if (anyGlobal)
        juce::Desktop::getInstance().setGlobalScaleFactor (factor);

    for (const auto& b : before)
        if (liveZooms().contains (b.zoom))
            b.zoom->follow (factor, b.parent, b.window);
}

void MvWindowZoom::follow (float factor, juce::Point<int> parentBefore, juce::Point<int> windowBefore)
{
    zoomFactor = factor;
    list.setSelectedItem (itemForZoom (factor));

    if (scaleWindow != nullptr)
    {
        scaleWindow (factor);
        return;
    }

    // Only a window on screen has a size to keep; one still being built takes its size later.
    if (parent == nullptr || parent->getPeer() == nullptr)
        return;

    // The parent takes its design size again, whatever a host's rounding left it at; a window
    // around it (a host's or the Standalone's frame) keeps the margin it had around it.
    const auto size = designSize.isOrigin() ? parentBefore : designSize;
    auto* window = parent->getTopLevelComponent();
    parent->setSize (size.x, size.y);

    if (window != parent && window->isOnDesktop())
    {
        const auto windowSize = size + (windowBefore - parentBefore);

        if (window->getWidth() != windowSize.x || window->getHeight() != windowSize.y)
            window->setSize (windowSize.x, windowSize.y);
    }
}

void MvWindowZoom::listDismissed (MvList*) {}
