// The product's folders and its settings file on disk.
#include <gtest/gtest.h>
#include "MvGlobalSettings.h"
#include "FolderSandbox.h"


TEST (MvGlobalSettings, CreatesTheUserFoldersAndNothingMachineWide)
{
    FolderSandbox sandbox ("settings-test");
    ASSERT_FALSE (sandbox.user().exists());

    MvGlobalSettings settings ("Vinola", 0);
    EXPECT_TRUE (sandbox.user().getChildFile ("Marvolund").isDirectory());
    EXPECT_TRUE (sandbox.user().getChildFile ("Marvolund/Vinola").isDirectory());
    EXPECT_EQ (settings.userDataFolder, sandbox.user().getChildFile ("Marvolund/Vinola").getFullPathName());

    // Without the maker's machine-wide folder the path stops at the maker's folder.
    EXPECT_EQ (settings.commonDataFolder, sandbox.common().getChildFile ("Marvolund").getFullPathName());
    EXPECT_FALSE (sandbox.common().exists());
    EXPECT_TRUE (settings.bundleResourcesFolder.endsWith ("Contents/Resources"));
}

TEST (MvGlobalSettings, MachineWideProductFolderStandsOnceTheMakerFolderExists)
{
    FolderSandbox sandbox ("settings-test");
    sandbox.common().getChildFile ("Marvolund").createDirectory();

    MvGlobalSettings settings ("Vinola", 0);
    EXPECT_EQ (settings.commonDataFolder, sandbox.common().getChildFile ("Marvolund/Vinola").getFullPathName());
    EXPECT_FALSE (sandbox.common().getChildFile ("Marvolund/Vinola").exists());  // tested, never created
}

TEST (MvGlobalSettings, SettingsFileIsCompressedAndReadBack)
{
    FolderSandbox sandbox ("settings-test");
    MvGlobalSettings settings ("Vinola", 0);
    const auto file = juce::File (settings.userDataFolder).getChildFile ("Vinola.settings");
    settings.settingsFile = std::make_unique<juce::PropertiesFile> (file, vinolaSettingsFileOptions());

    EXPECT_EQ (settings.settingsFile->getValue ("Zoom", "100"), "100");
    settings.settingsFile->setValue ("Zoom", "125");
    ASSERT_TRUE (settings.settingsFile->save());

    juce::MemoryBlock bytes;
    ASSERT_TRUE (file.loadFileAsData (bytes));
    ASSERT_GE (bytes.getSize(), 4u);
    EXPECT_EQ (juce::String::fromUTF8 (static_cast<const char*> (bytes.getData()), 4), "CPRP");
    EXPECT_FALSE (file.loadFileAsString().trimStart().startsWith ("<?xml"));

    juce::PropertiesFile reopened (file, vinolaSettingsFileOptions());
    EXPECT_EQ (reopened.getValue ("Zoom", "100"), "125");
}

TEST (MvGlobalSettings, XmlSettingsFileIsStillRead)
{
    FolderSandbox sandbox ("settings-test");
    MvGlobalSettings settings ("Vinola", 0);
    const auto file = juce::File (settings.userDataFolder).getChildFile ("Vinola.settings");
    {
        auto xml = vinolaSettingsFileOptions();
        xml.storageFormat = juce::PropertiesFile::storeAsXML;
        juce::PropertiesFile writer (file, xml);
        writer.setValue ("Zoom", "150");
        ASSERT_TRUE (writer.save());
    }
    ASSERT_TRUE (file.loadFileAsString().contains ("<?xml"));

    settings.settingsFile = std::make_unique<juce::PropertiesFile> (file, vinolaSettingsFileOptions());
    EXPECT_EQ (settings.settingsFile->getValue ("Zoom", "100"), "150");
}

TEST (MvGlobalSettings, PendingChangeIsWrittenWhenTheHolderGoes)
{
    FolderSandbox sandbox ("settings-test");
    juce::File file;
    {
        MvGlobalSettings settings ("Vinola", 0);
        file = juce::File (settings.userDataFolder).getChildFile ("Vinola.settings");
        settings.settingsFile = std::make_unique<juce::PropertiesFile> (file, vinolaSettingsFileOptions());
        settings.settingsFile->setValue ("Zoom", "75");
        EXPECT_FALSE (file.exists());  // the delayed save has not run yet
    }
    juce::PropertiesFile reopened (file, vinolaSettingsFileOptions());
    EXPECT_EQ (reopened.getValue ("Zoom", "100"), "75");
}

TEST (MvGlobalSettings, UnwritableUserFolderFallsBackSilently)
{
    FolderSandbox sandbox ("settings-test");
    // A plain file where the maker's folder should be: no folder can be made under it.
    sandbox.user().createDirectory();
    sandbox.user().getChildFile ("Marvolund").replaceWithText ("not a folder");

    MvGlobalSettings settings ("Vinola", 0);
    settings.settingsFile = std::make_unique<juce::PropertiesFile> (
        juce::File (settings.userDataFolder).getChildFile ("Vinola.settings"), vinolaSettingsFileOptions());
    settings.settingsFile->setValue ("Zoom", "200");
    EXPECT_FALSE (settings.settingsFile->save());
    EXPECT_EQ (settings.settingsFile->getValue ("Zoom", "100"), "200");
}

TEST (MvPlatform, RandIsLockFreeDeterministicAndInRange)
{
    EXPECT_TRUE (std::atomic<juce::uint32>().is_lock_free());
    MvPlatform::restartRandForTests();
    std::vector<int> first;
    for (int i = 0; i < 1000; ++i)
        first.push_back (MvPlatform::rand());
    MvPlatform::restartRandForTests();
    int highBitSeen = 0;
    long long sum = 0;
    for (int i = 0; i < 1000; ++i)
    {
        const int v = MvPlatform::rand();
        ASSERT_EQ (v, first[(size_t) i]);
        ASSERT_GE (v, 0);
        highBitSeen |= v;
        sum += v % 200;
    }
    EXPECT_EQ (highBitSeen & 0x40000000, 0x40000000);
    EXPECT_NEAR ((double) sum / 1000.0, 99.5, 8.0);  // uniform enough for "rand() mod n"
}
