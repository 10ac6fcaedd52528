// Tests of MvWindowZoom against a sandboxed settings file and the archive the build made.

#include "MvControlTestSupport.h"
#include "MvWindowZoom.h"
#include "MvAssetManager.h"
#include "MvGlobalSettings.h"
#include "FolderSandbox.h"
#include "VinolaEmbeddedFont.h"

using namespace mvtest;

namespace
{
    // A window of the editor's size with its zoom, the settings file in a fresh user folder and
    // the built archive in a fresh machine-wide folder. The global scale is put back afterwards.
    class WindowZoom : public ::testing::Test
    {
    protected:
        void SetUp() override
        {
            ASSERT_TRUE (sandbox.installArchive (juce::File (VINOLA_ASSET_ARCHIVE)));

            settings = std::make_unique<MvGlobalSettings> ("Vinola", 0);
            settings->settingsFile = std::make_unique<juce::PropertiesFile> (settingsPath(), vinolaSettingsFileOptions());
            assets = std::make_unique<MvAssetManager> ("Vinola", "appdata/Assets.mva");

            window.setBounds (0, 0, 748, 350);
            window.setVisible (true);
        }

        void TearDown() override
        {
            MvWindowZoom::applyToEveryWindow (1.0f);
            juce::Desktop::getInstance().setGlobalScaleFactor (1.0f);
            zoom.reset();
            assets.reset();
            settings.reset();
        }

        juce::File settingsPath() const { return juce::File (settings->userDataFolder).getChildFile ("Vinola.settings"); }

        // Set up the way the editor does it: init, then the button and the list placed.
        void makeZoom (bool withSettings = true)
        {
            zoom = std::make_unique<MvWindowZoom>();
            zoom->init (&window, withSettings ? settings.get() : nullptr, assets.get());
            zoom->list.setSelectedItem (MvWindowZoom::itemForZoom (zoom->getStoredZoom()));
            window.addAndMakeVisible (zoom->button);
            zoom->button.setBounds (5, 5, 18, 18);
            const auto m = (int) zoom->list.cornerSize.x;
            zoom->list.setBounds (-10, 5, 130, 2 * m + (int) zoom->list.itemHeight * zoom->list.getNumItems());
        }

        FolderSandbox sandbox { "zoom-test" };
        std::unique_ptr<MvGlobalSettings> settings;
        std::unique_ptr<MvAssetManager> assets;
        juce::Component window;
        std::unique_ptr<MvWindowZoom> zoom;
    };
}

TEST_F (WindowZoom, ChoosingASizeStoresSavesScalesAndCloses)
{
    makeZoom();
    ASSERT_EQ (zoom->list.getNumItems(), 6);
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ (zoom->list.getItem (i)->text, juce::String (zoom->labels[(size_t) i]));
    EXPECT_TRUE (zoom->list.getItem (1)->selected);

    clickAt (zoom->button, 9, 9);
    ASSERT_EQ (zoom->list.getParentComponent(), &window);
    EXPECT_EQ (zoom->list.plate.getBounds(), window.getLocalBounds());

    clickAt (*zoom->list.getItem (2), 20, 10);   // "125%"
    EXPECT_EQ (zoom->list.getParentComponent(), nullptr);
    EXPECT_FLOAT_EQ (juce::Desktop::getInstance().getGlobalScaleFactor(), 1.25f);
    EXPECT_FLOAT_EQ (zoom->zoomFactor, 1.25f);
    EXPECT_TRUE (zoom->list.getItem (2)->selected);

    // Already on disk when the choice returns, in the compressed format.
    juce::PropertiesFile reread (settingsPath(), vinolaSettingsFileOptions());
    EXPECT_EQ (reread.getValue ("Zoom"), "125");
    juce::MemoryBlock bytes;
    ASSERT_TRUE (settingsPath().loadFileAsData (bytes));
    ASSERT_GE (bytes.getSize(), (size_t) 4);
    EXPECT_EQ (std::string (static_cast<const char*> (bytes.getData()), 4), "CPRP");   // the rest is binary
}

TEST_F (WindowZoom, WithoutASettingsFileTheChoiceStillTakesEffect)
{
    makeZoom (false);
    EXPECT_FLOAT_EQ (zoom->getStoredZoom(), 1.0f);
    zoom->list.show();
    clickAt (*zoom->list.getItem (3), 20, 10);
    EXPECT_FLOAT_EQ (juce::Desktop::getInstance().getGlobalScaleFactor(), 1.5f);
    EXPECT_EQ (zoom->list.getParentComponent(), nullptr);
}

// A host may destroy or rebuild the editor while it resizes the window: the list is closed first.
TEST_F (WindowZoom, TheListIsClosedBeforeAnyWindowResizes)
{
    makeZoom();
    bool listOpenAtResize = true;
    zoom->scaleWindow = [this, &listOpenAtResize] (float) { listOpenAtResize = zoom->list.getParentComponent() != nullptr; };
    // TearDown resizes every window again once listOpenAtResize is gone: the hook goes first.
    const juce::ScopeGuard removeHook { [this] { zoom->scaleWindow = nullptr; } };
    zoom->list.show();
    clickAt (*zoom->list.getItem (3), 20, 10);
    EXPECT_FALSE (listOpenAtResize);
}

TEST_F (WindowZoom, WithoutArchiveImagesFallsBackToTheBuiltInLooks)
{
    zoom = std::make_unique<MvWindowZoom>();
    zoom->init (&window, settings.get(), nullptr);
    EXPECT_TRUE (zoom->button.normalImage.isNull());
    EXPECT_FALSE (zoom->list.usePlateImage);
    EXPECT_EQ (zoom->list.backgroundColour, juce::Colour (0xff202020));
    EXPECT_EQ (zoom->list.cornerSize.x, 5.0f);
}

TEST_F (WindowZoom, OpenListRendersFromTheArchive)
{
    int fontSize = 0;
    ASSERT_NE (VinolaEmbeddedFont::robotoMonoRegular (fontSize), nullptr);
    EXPECT_GT (fontSize, 50000);

    makeZoom();
    EXPECT_TRUE (zoom->list.usePlateImage);
    EXPECT_EQ (zoom->list.cornerSize.x, 10.0f);     // the 40-pixel plate
    EXPECT_EQ (zoom->list.getHeight(), 176);
    EXPECT_EQ (zoom->list.getItem (0)->appearance.style.captionFont.getTypefaceName(), "Roboto Mono");

    // The corner at 200 %, the way a zoomed window shows it, for a closer look.
    auto writeCloseUp = [this] (const char* name)
    {
        juce::Image closeUp (juce::Image::ARGB, 280, 400, true, juce::SoftwareImageType());
        {
            juce::Graphics g (closeUp);
            g.fillAll (juce::Colour (0xffc8b89a));
            g.addTransform (juce::AffineTransform::scale (2.0f));
            window.paintEntireComponent (g, true);
        }
        const auto f = juce::File (VINOLA_BINARY_DIR).getChildFile (name);
        f.deleteFile();
        juce::FileOutputStream out (f);
        return juce::PNGImageFormat().writeImageToStream (closeUp, out);
    };

    zoom->list.setSelectedItem (3);
    clickAt (zoom->button, 9, 9);
    EXPECT_TRUE (writeCloseUp ("zoom-list-open-200.png"));
    const auto shot = render (window, juce::Colour (0xffc8b89a));
    const auto file = juce::File (VINOLA_BINARY_DIR).getChildFile ("zoom-list-open.png");
    file.deleteFile();
    juce::FileOutputStream out (file);
    ASSERT_TRUE (juce::PNGImageFormat().writeImageToStream (shot, out));

    // Item rows (x from 0 to 110 on the window, 26 high from y 15): fills of normal and selected.
    EXPECT_TRUE (near (shot.getPixelAt (3, 17), juce::Colour (0xff39464d), 6));
    EXPECT_TRUE (near (shot.getPixelAt (3, 15 + 3 * 26 + 2), juce::Colour (0xff687171), 6));
    // Each row carries light text in its middle.
    for (int i = 0; i < 6; ++i)
        EXPECT_GT (countPixels (shot, { 35, 15 + 26 * i + 6, 40, 14 }, juce::Colour (0xfff3f2dd), 60), 10) << i;
}
