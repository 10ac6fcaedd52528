#include "MvWindowZoom.h"
#include "MvAssetManager.h"
#include "MvGlobalSettings.h"
#include "MvLoadArchiveImage.h"
#include "VinolaEmbeddedFont.h"

#include <cmath>

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
}

MvWindowZoom::MvWindowZoom()
{
    for (size_t i = 0; i < labels.size(); ++i)
        labels[i] = zoomLabels[i];
}

// The list is declared after the button, so it goes first.
MvWindowZoom::~MvWindowZoom() = default;

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

juce::Image MvWindowZoom::loadImage (const char* name) const
{
    return assets != nullptr ? MvLoadArchiveImage (*assets, name) : juce::Image();
}

void MvWindowZoom::init (juce::Component* newParent, MvGlobalSettings* newSettings, MvAssetManager* newAssets)
{
    parent = newParent;
    settings = newSettings;
    assets = newAssets;

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

    zoomFactor = factor;
    applyGlobalScale (factor);

    list.dismiss();
}

void MvWindowZoom::applyGlobalScale (float factor)
{
    // A window already on screen keeps its size in physical pixels when the scale changes, so
    // its content would shrink in its own coordinates and lose its right and bottom parts.
    // Giving the window back its size in its own coordinates makes it grow with the zoom.
    auto* window = parent != nullptr ? parent->getTopLevelComponent() : nullptr;
    const auto size = window != nullptr ? window->getBounds().withZeroOrigin() : juce::Rectangle<int>();

    juce::Desktop::getInstance().setGlobalScaleFactor (factor);

    if (window != nullptr && window->isOnDesktop() && window->getBounds().withZeroOrigin() != size)
        window->setSize (size.getWidth(), size.getHeight());
}

void MvWindowZoom::listDismissed (MvList*) {}
