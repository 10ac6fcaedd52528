#include "VinolaArtworkSet.h"
#include "VinolaKnobArt.h"
#include "VinolaPanelArt.h"
#include "VinolaTurntableArt.h"

using namespace juce;

namespace
{
    template <typename Fn>
    std::function<void (Graphics&, Image&, float, float)> plain (Fn fn)
    {
        return [fn] (Graphics& g, Image&, float w, float h) { fn (g, w, h); };
    }
}

const std::vector<VinolaArtworkSet::Picture>& VinolaArtworkSet::pictures()
{
    static const std::vector<Picture> all {
        { "vinola_bg_clean.png",                 1496, 700, VinolaPanelArt::paintBackground },
        { "vinola_record_and_arm.png",            764, 704, plain (VinolaTurntableArt::paintRecordAndArm) },
        { "vinola_knob_ampquality_hifi.png",      128, 128, plain (VinolaKnobArt::paintQualityKnob) },
        { "vinola_topknob_bg.png",                128, 128, plain (VinolaKnobArt::paintTopKnobPlate) },
        { "vinola_knob_scratches.png",            128, 128, plain (VinolaKnobArt::paintScratchesKnob) },
        { "vinola_knob_ducking_no_dot.png",       128, 128, plain (VinolaKnobArt::paintDuckingKnob) },
        { "vinola_slider_track.png",                4, 188, plain (VinolaPanelArt::paintSliderTrack) },
        { "vinola_slider_handle.png",             198, 100, plain (VinolaPanelArt::paintSliderHandle) },
        { "vinola_cablequality_white_bg.png",      50, 106, plain (VinolaPanelArt::paintCableBacking) },
        { "vinola_cablequality_window.png",        50, 106, plain (VinolaPanelArt::paintCableWindow) },
        { "vinola_cablequality_numbers.png",       27, 213, plain (VinolaPanelArt::paintCableNumbers) },
        { "vinola_knob_bottomrow.png",             88,  88, plain (VinolaKnobArt::paintBottomRowKnob) },
        { "vinola_btn_50Hz_off.png",              154,  34, plain ([] (Graphics& g, float w, float h) { VinolaPanelArt::paintHumButton (g, w, h, "50 Hz", false); }) },
        { "vinola_btn_50Hz_on.png",               154,  34, plain ([] (Graphics& g, float w, float h) { VinolaPanelArt::paintHumButton (g, w, h, "50 Hz", true); }) },
        { "vinola_btn_60Hz_off.png",              154,  34, plain ([] (Graphics& g, float w, float h) { VinolaPanelArt::paintHumButton (g, w, h, "60 Hz", false); }) },
        { "vinola_btn_60Hz_on.png",               154,  34, plain ([] (Graphics& g, float w, float h) { VinolaPanelArt::paintHumButton (g, w, h, "60 Hz", true); }) },
        { "vinola_recordlabel_noversion.png",     216, 216, plain (VinolaTurntableArt::paintRecordLabel) },
        { "vinola_record_center_peg.png",          60,  60, plain (VinolaTurntableArt::paintCentrePeg) },
        { "vinola_generatoricons_and_track.png",  208, 208, plain (VinolaTurntableArt::paintGeneratorTrack) },
        { "vinola_btn_generators_handle.png",     116, 112, plain (VinolaTurntableArt::paintGeneratorHandle) },
        { "vinola_btn_zoom.png",                   32,  32, plain ([] (Graphics& g, float w, float h) { VinolaPanelArt::paintZoomButton (g, w, h, false); }) },
        { "vinola_btn_zoom_click.png",             32,  32, plain ([] (Graphics& g, float w, float h) { VinolaPanelArt::paintZoomButton (g, w, h, true); }) },
        { "plate_dark.png",                        40,  40, plain (VinolaPanelArt::paintDarkPlate) },
    };
    return all;
}

Image VinolaArtworkSet::render (const Picture& picture)
{
    Image image (Image::ARGB, picture.pixelWidth, picture.pixelHeight, true, SoftwareImageType());
    {
        Graphics g (image);
        g.addTransform (AffineTransform::scale (2.0f));
        picture.paint (g, image, (float) picture.pixelWidth * 0.5f, (float) picture.pixelHeight * 0.5f);
    }
    return image;
}

bool VinolaArtworkSet::writeAll (const File& folder, String& error)
{
    if (! folder.createDirectory())
    {
        error = "cannot create " + folder.getFullPathName();
        return false;
    }

    StringArray entries;
    for (const auto& picture : pictures())
    {
        const auto file = folder.getChildFile (picture.name);
        MemoryOutputStream png;
        PNGImageFormat format;
        if (! format.writeImageToStream (render (picture), png) || ! file.replaceWithData (png.getData(), png.getDataSize()))
        {
            error = "cannot write " + file.getFullPathName();
            return false;
        }
        entries.add (String (picture.name) + "=" + file.getFullPathName());
    }

    const auto list = folder.getChildFile ("entries.txt");
    if (! list.replaceWithText (entries.joinIntoString ("\n") + "\n"))
    {
        error = "cannot write " + list.getFullPathName();
        return false;
    }
    return true;
}
