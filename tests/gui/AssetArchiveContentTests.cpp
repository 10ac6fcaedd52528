#include <gtest/gtest.h>

#include "MvAssetManager.h"
#include "MvLoadArchiveImage.h"
#include "MvPlatform.h"

#include <juce_graphics/juce_graphics.h>

namespace
{
    struct Expected
    {
        const char* name;
        int width, height;   // pixels: twice the size at which the editor shows the picture
    };

    const Expected pictures[] = {
        { "vinola_bg_clean.png", 1496, 700 },
        { "vinola_record_and_arm.png", 764, 704 },
        { "vinola_knob_ampquality_hifi.png", 128, 128 },
        { "vinola_topknob_bg.png", 128, 128 },
        { "vinola_knob_scratches.png", 128, 128 },
        { "vinola_knob_ducking_no_dot.png", 128, 128 },
        { "vinola_slider_track.png", 4, 188 },
        { "vinola_slider_handle.png", 198, 100 },
        { "vinola_cablequality_white_bg.png", 50, 106 },
        { "vinola_cablequality_window.png", 50, 106 },
        { "vinola_cablequality_numbers.png", 27, 213 },
        { "vinola_knob_bottomrow.png", 88, 88 },
        { "vinola_btn_50Hz_off.png", 154, 34 },
        { "vinola_btn_50Hz_on.png", 154, 34 },
        { "vinola_btn_60Hz_off.png", 154, 34 },
        { "vinola_btn_60Hz_on.png", 154, 34 },
        { "vinola_recordlabel_noversion.png", 216, 216 },
        { "vinola_record_center_peg.png", 60, 60 },
        { "vinola_generatoricons_and_track.png", 208, 208 },
        { "vinola_btn_generators_handle.png", 116, 112 },
        { "vinola_btn_zoom.png", 32, 32 },
        { "vinola_btn_zoom_click.png", 32, 32 },
        { "plate_dark.png", 40, 40 },
    };

    // Installs the archive the build made into a sandboxed machine-wide folder, the way the
    // install script lays it out, and opens it the way the editor does.
    class AssetArchiveContent : public ::testing::Test
    {
    protected:
        void SetUp() override
        {
            previousUser = MvPlatform::userApplicationSupportFolder();
            previousCommon = MvPlatform::commonApplicationSupportFolder();
            sandbox = juce::File::createTempFile ("built-assets");
            const auto target = sandbox.getChildFile ("Marvolund/Vinola/appdata/Assets.mva");
            ASSERT_TRUE (target.getParentDirectory().createDirectory());
            ASSERT_TRUE (juce::File (VINOLA_ASSET_ARCHIVE).copyFileTo (target)) << VINOLA_ASSET_ARCHIVE;
            MvPlatform::setFolderOverridesForTests (previousUser, sandbox);
            assets = std::make_unique<MvAssetManager> ("Vinola", "appdata/Assets.mva");
        }

        void TearDown() override
        {
            assets.reset();
            MvPlatform::setFolderOverridesForTests (previousUser, previousCommon);
            sandbox.deleteRecursively();
        }

        // Loaded the way the editor loads every picture: decode, then release at once.
        juce::Image load (const char* name) { return MvLoadArchiveImage (*assets, name); }

        static float meanBrightness (const juce::Image& image, juce::Rectangle<int> area)
        {
            float sum = 0.0f;
            for (int y = area.getY(); y < area.getBottom(); ++y)
                for (int x = area.getX(); x < area.getRight(); ++x)
                    sum += image.getPixelAt (x, y).getPerceivedBrightness();
            return sum / (float) (area.getWidth() * area.getHeight());
        }

        juce::File previousUser, previousCommon, sandbox;
        std::unique_ptr<MvAssetManager> assets;
    };
}

TEST_F (AssetArchiveContent, EveryPictureTheEditorAsksForDecodesAtTwiceItsShownSize)
{
    for (const auto& p : pictures)
    {
        const auto image = load (p.name);
        ASSERT_TRUE (image.isValid()) << p.name;
        EXPECT_EQ (image.getWidth(), p.width) << p.name;
        EXPECT_EQ (image.getHeight(), p.height) << p.name;
    }
}

TEST_F (AssetArchiveContent, CaptionFontLoadsAsTheInterLightTypeface)
{
    juce::uint32 size = 0;
    const auto* data = assets->getAsset ("Inter-Light-BETA.ttf", size);
    ASSERT_NE (data, nullptr);
    ASSERT_GT (size, 1000u);

    auto face = juce::Typeface::createSystemTypefaceFor (data, size);
    ASSERT_NE (face, nullptr);
    EXPECT_EQ (face->getName(), "Inter");
    EXPECT_TRUE (face->getStyle().containsIgnoreCase ("Light")) << face->getStyle();

    // It really draws: a caption has width and ink.
    juce::Font font (face);
    font.setHeight (19.0f);
    EXPECT_GT (font.getStringWidthFloat ("AMP QUALITY"), 50.0f);
}

TEST_F (AssetArchiveContent, PicturesFitWhereTheEditorDrawsOnThem)
{
    // The version stamp is drawn in the label's default (black) colour into (150, 95, 50, 25):
    // that part of the label must be light.
    const auto label = load ("vinola_recordlabel_noversion.png");
    EXPECT_GT (meanBrightness (label, { 150, 95, 50, 25 }), 0.7f);

    // The record lies under the turning label: opaque at the label's centre (536, 173 in the
    // window, drawn at 366, -1 and doubled).
    const auto record = load ("vinola_record_and_arm.png");
    EXPECT_EQ (record.getPixelAt ((536 - 366) * 2, (173 + 1) * 2).getAlpha(), 255);

    // The zoom list's plate: its middle pixel fills the list, and must be opaque.
    const auto plate = load ("plate_dark.png");
    EXPECT_EQ (plate.getPixelAt (plate.getWidth() / 2, plate.getHeight() / 2).getAlpha(), 255);

    // Knob caps turn about their centre: the cap covers it.
    for (auto name : { "vinola_knob_ampquality_hifi.png", "vinola_knob_scratches.png", "vinola_knob_bottomrow.png" })
    {
        const auto knob = load (name);
        EXPECT_EQ (knob.getPixelAt (knob.getWidth() / 2, knob.getHeight() / 2).getAlpha(), 255) << name;
    }
}

TEST_F (AssetArchiveContent, BuildIsDeterministic)
{
    // Drawing and packing again gives the very same archive.
    const auto folder = juce::File::createTempFile ("assets-again");
    juce::ChildProcess draw, pack;
    ASSERT_TRUE (draw.start (juce::StringArray { VINOLA_ASSET_TOOL, "artwork", folder.getFullPathName(), VINOLA_INTER_FONT_DIR }));
    draw.waitForProcessToFinish (60000);
    ASSERT_EQ (draw.getExitCode(), 0u);

    const auto archive = folder.getChildFile ("Assets.mva");
    ASSERT_TRUE (pack.start (juce::StringArray { VINOLA_ASSET_TOOL, "pack", archive.getFullPathName(),
                                                 "Inter-Light-BETA.ttf=" VINOLA_INTER_FONT_DIR "/Inter-Light.otf",
                                                 "@" + folder.getChildFile ("entries.txt").getFullPathName() }));
    pack.waitForProcessToFinish (60000);
    ASSERT_EQ (pack.getExitCode(), 0u);

    juce::MemoryBlock again, built;
    ASSERT_TRUE (archive.loadFileAsData (again));
    ASSERT_TRUE (juce::File (VINOLA_ASSET_ARCHIVE).loadFileAsData (built));
    EXPECT_TRUE (again == built);
    folder.deleteRecursively();
}
