#include <gtest/gtest.h>

#include "MvAssetArchive.h"
#include "MvAssetManager.h"
#include "MvPlatform.h"

#include <cstring>
#include <fstream>

namespace
{
    juce::MemoryBlock bytesOf (const juce::String& text)
    {
        return { text.toRawUTF8(), text.getNumBytesAsUTF8() };
    }

    juce::MemoryBlock pseudoRandomBytes (size_t size, juce::uint32 seed)
    {
        juce::MemoryBlock block (size);
        for (size_t i = 0; i < size; ++i)
        {
            seed = seed * 1664525u + 1013904223u;
            static_cast<char*> (block.getData())[i] = (char) (seed >> 24);
        }
        return block;
    }

    void putU32 (juce::MemoryBlock& block, size_t offset, juce::uint32 value)
    {
        for (int i = 0; i < 4; ++i)
            static_cast<char*> (block.getData())[offset + (size_t) i] = (char) ((value >> (8 * i)) & 0xff);
    }

    bool sameBytes (const void* data, juce::uint32 size, const juce::MemoryBlock& expected)
    {
        return data != nullptr && size == expected.getSize() && std::memcmp (data, expected.getData(), size) == 0;
    }

    // Points the machine-wide folder at a fresh sandbox for each test and puts it back after.
    class MvAssetManagerTest : public ::testing::Test
    {
    protected:
        void SetUp() override
        {
            previousUser = MvPlatform::userApplicationSupportFolder();
            previousCommon = MvPlatform::commonApplicationSupportFolder();
            sandbox = juce::File::createTempFile ("asset-manager");
            ASSERT_TRUE (sandbox.createDirectory());
            MvPlatform::setFolderOverridesForTests (previousUser, sandbox);
        }

        void TearDown() override
        {
            MvPlatform::setFolderOverridesForTests (previousUser, previousCommon);
            sandbox.deleteRecursively();
        }

        juce::File productFolder() const { return sandbox.getChildFile ("Marvolund").getChildFile ("Vinola"); }
        juce::File archiveFile() const   { return productFolder().getChildFile ("appdata").getChildFile ("Assets.mva"); }

        void install (const juce::MemoryBlock& bytes)
        {
            ASSERT_TRUE (archiveFile().getParentDirectory().createDirectory());
            ASSERT_TRUE (archiveFile().replaceWithData (bytes.getData(), bytes.getSize()));
        }

        juce::MemoryBlock serialise (const MvAssetArchive& archive)
        {
            juce::MemoryBlock bytes;
            juce::String error;
            EXPECT_TRUE (archive.serialise (bytes, error)) << error;
            return bytes;
        }

        // Two entries, "alpha.png" (40 bytes) and "beta.ttf" (100 bytes).
        juce::MemoryBlock twoEntryArchive()
        {
            MvAssetArchive archive;
            juce::String error;
            archive.addEntry ("alpha.png", pseudoRandomBytes (40, 1), error);
            archive.addEntry ("beta.ttf", pseudoRandomBytes (100, 2), error);
            return serialise (archive);
        }

        static std::unique_ptr<MvAssetManager> open()
        {
            return std::make_unique<MvAssetManager> ("Vinola", "appdata/Assets.mva");
        }

        static void expectEntry (MvAssetManager& assets, const char* name, const juce::MemoryBlock& expected)
        {
            juce::uint32 size = 0;
            const auto* data = assets.getAsset (name, size);
            EXPECT_TRUE (sameBytes (data, size, expected)) << name;
        }

        static void expectAbsent (MvAssetManager& assets, const char* name)
        {
            juce::uint32 size = 1234;
            EXPECT_EQ (assets.getAsset (name, size), nullptr) << name;
            EXPECT_EQ (size, 0u) << name;
        }

        juce::File previousUser, previousCommon, sandbox;
    };
}

TEST_F (MvAssetManagerTest, BuiltArchiveRoundTripsEveryEntryByteForByte)
{
    MvAssetArchive archive;
    juce::String error;
    const juce::String longestName = juce::String::repeatedString ("n", MvAssetArchive::maxNameBytes);
    std::vector<std::pair<juce::String, juce::MemoryBlock>> entries {
        { "vinola_bg_clean.png", pseudoRandomBytes (5000, 11) },
        { "Inter-Light-BETA.ttf", pseudoRandomBytes (777, 12) },
        { longestName, bytesOf ("longest name") },
        { "one", bytesOf ("x") },
    };
    for (const auto& e : entries)
        ASSERT_TRUE (archive.addEntry (e.first, e.second, error)) << error;
    install (serialise (archive));

    auto assets = open();
    for (const auto& e : entries)
    {
        juce::uint32 size = 0;
        const auto* data = assets->getAsset (e.first.toRawUTF8(), size);
        EXPECT_TRUE (sameBytes (data, size, e.second)) << e.first;
    }
}

TEST_F (MvAssetManagerTest, NamesMatchOnlyExactly)
{
    install (twoEntryArchive());
    auto assets = open();

    expectAbsent (*assets, "Alpha.png");
    expectAbsent (*assets, "alpha.PNG");
    expectAbsent (*assets, "alpha");
    expectAbsent (*assets, "alpha.png ");
    expectAbsent (*assets, "");
    expectAbsent (*assets, nullptr);
    expectAbsent (*assets, "\xff\xfe.png");   // not even UTF-8

    juce::uint32 size = 0;
    EXPECT_NE (assets->getAsset ("alpha.png", size), nullptr);
    EXPECT_EQ (size, 40u);
}

TEST_F (MvAssetManagerTest, NameOfSixtyFourBytesOrMoreIsNeverFound)
{
    // A damaged name field that uses all 64 bytes without a terminator must not match a
    // request for those same 64 bytes.
    auto bytes = twoEntryArchive();
    const std::string sixtyFour (64, 'q');
    std::memcpy (static_cast<char*> (bytes.getData()) + 32, sixtyFour.data(), 64);
    install (bytes);

    auto assets = open();
    expectAbsent (*assets, sixtyFour.c_str());
    expectAbsent (*assets, (sixtyFour + "q").c_str());

    juce::uint32 size = 0;
    EXPECT_NE (assets->getAsset ("beta.ttf", size), nullptr);
    EXPECT_EQ (size, 100u);
}

TEST_F (MvAssetManagerTest, DuplicateNamesServeTheFirstEntry)
{
    auto bytes = twoEntryArchive();
    // Rename entry 1 to entry 0's name.
    std::memset (static_cast<char*> (bytes.getData()) + 32 + 64, 0, 64);
    std::memcpy (static_cast<char*> (bytes.getData()) + 32 + 64, "alpha.png", 9);
    install (bytes);

    auto assets = open();
    juce::uint32 size = 0;
    const auto* data = assets->getAsset ("alpha.png", size);
    EXPECT_TRUE (sameBytes (data, size, pseudoRandomBytes (40, 1)));
}

TEST_F (MvAssetManagerTest, ArchivesWithoutEntriesGiveNothing)
{
    {
        MvAssetArchive empty;
        install (serialise (empty));
        auto assets = open();
        expectAbsent (*assets, "alpha.png");
    }
    {
        auto bytes = twoEntryArchive();
        static_cast<char*> (bytes.getData())[0] = 'R';   // wrong magic
        install (bytes);
        auto assets = open();
        expectAbsent (*assets, "alpha.png");
        expectAbsent (*assets, "beta.ttf");
    }
    {
        install (bytesOf ("rav"));   // shorter than the magic and count
        auto assets = open();
        expectAbsent (*assets, "alpha.png");
    }
    {
        install ({});   // empty file
        auto assets = open();
        expectAbsent (*assets, "alpha.png");
    }
}

TEST_F (MvAssetManagerTest, MissingFoldersOrFileMeanNoArchive)
{
    {
        auto assets = open();   // no product folder at all
        expectAbsent (*assets, "alpha.png");
    }

    // The product folder exists, the archive sits next to where "appdata" should be.
    const auto bytes = twoEntryArchive();
    ASSERT_TRUE (productFolder().createDirectory());
    ASSERT_TRUE (productFolder().getChildFile ("Assets.mva").replaceWithData (bytes.getData(), bytes.getSize()));
    {
        auto assets = open();
        expectAbsent (*assets, "alpha.png");
    }

    ASSERT_TRUE (archiveFile().getParentDirectory().createDirectory());   // "appdata" without the file
    {
        auto assets = open();
        expectAbsent (*assets, "alpha.png");
    }

    // The archive is a folder, not a file.
    ASSERT_TRUE (archiveFile().createDirectory());
    {
        auto assets = open();
        expectAbsent (*assets, "alpha.png");
    }
}

TEST_F (MvAssetManagerTest, RequestsAreCachedUntilReleased)
{
    install (twoEntryArchive());
    auto assets = open();

    juce::uint32 size1 = 0, size2 = 0;
    const auto* first = assets->getAsset ("alpha.png", size1);
    ASSERT_NE (first, nullptr);

    // Overwrite the payload on disk (same file, so the open stream sees it): a cached entry
    // must not change, and a fresh read after the release must show the new bytes.
    const auto payloadOffset = 32 + 72 * 2;
    {
        std::fstream f (archiveFile().getFullPathName().toStdString(), std::ios::in | std::ios::out | std::ios::binary);
        f.seekp (payloadOffset);
        f.write (std::string (40, 'Z').data(), 40);
    }

    const auto* second = assets->getAsset ("alpha.png", size2);
    EXPECT_EQ (first, second);
    EXPECT_TRUE (sameBytes (second, size2, pseudoRandomBytes (40, 1)));

    assets->releaseAsset ("beta.ttf");        // never requested: nothing happens
    assets->releaseAsset ("not-there.png");
    EXPECT_EQ (assets->getAsset ("alpha.png", size2), first);

    assets->releaseAsset ("alpha.png");
    juce::uint32 size3 = 0;
    const auto* third = assets->getAsset ("alpha.png", size3);
    const juce::MemoryBlock zeds (std::string (40, 'Z').data(), 40);
    EXPECT_TRUE (sameBytes (third, size3, zeds));

    assets->releaseAsset ("alpha.png");
    assets->releaseAsset ("alpha.png");      // a second release is harmless
}

TEST_F (MvAssetManagerTest, DamagedIndexGivesNoEntries)
{
    // An entry count far beyond the file: no huge allocation, no read past the end.
    for (juce::uint32 count : { 0xffffffffu, 0x10000000u, 5u })
    {
        auto bytes = twoEntryArchive();
        putU32 (bytes, 4, count);
        install (bytes);
        auto assets = open();
        expectAbsent (*assets, "alpha.png");
        expectAbsent (*assets, "beta.ttf");
    }

    // A file cut inside its index.
    {
        auto bytes = twoEntryArchive();
        bytes.setSize (32 + 72 * 2 - 1);
        install (bytes);
        auto assets = open();
        expectAbsent (*assets, "alpha.png");
    }
}

TEST_F (MvAssetManagerTest, EntriesReachingPastTheFileAreAbsent)
{
    const size_t sizes = 32 + 68 * 2, offsets = 32 + 64 * 2;

    {
        auto bytes = twoEntryArchive();
        putU32 (bytes, sizes + 4, 101);                  // beta one byte too long
        install (bytes);
        auto assets = open();
        expectAbsent (*assets, "beta.ttf");
        expectEntry (*assets, "alpha.png", pseudoRandomBytes (40, 1));
    }
    {
        auto bytes = twoEntryArchive();
        putU32 (bytes, sizes, 0xffffffffu);              // absurd size
        putU32 (bytes, offsets + 4, 0xfffffff0u);        // offset whose end wraps around 32 bits
        putU32 (bytes, sizes + 4, 0x20u);
        install (bytes);
        auto assets = open();
        expectAbsent (*assets, "alpha.png");
        expectAbsent (*assets, "beta.ttf");
    }
    {
        // A truncated file: the entry wholly inside is served, the cut one is absent.
        auto bytes = twoEntryArchive();
        bytes.setSize (32 + 72 * 2 + 40 + 50);
        install (bytes);
        auto assets = open();
        expectEntry (*assets, "alpha.png", pseudoRandomBytes (40, 1));
        expectAbsent (*assets, "beta.ttf");
        expectAbsent (*assets, "beta.ttf");              // and it stays absent
    }
}

TEST_F (MvAssetManagerTest, EmptyEntryHasSizeZero)
{
    MvAssetArchive archive;
    juce::String error;
    ASSERT_TRUE (archive.addEntry ("empty.png", {}, error));
    ASSERT_TRUE (archive.addEntry ("after.png", bytesOf ("after"), error));
    install (serialise (archive));

    auto assets = open();
    juce::uint32 size = 99;
    assets->getAsset ("empty.png", size);
    EXPECT_EQ (size, 0u);
    expectEntry (*assets, "after.png", bytesOf ("after"));
    assets->releaseAsset ("empty.png");
}

TEST_F (MvAssetManagerTest, NamesAreBytesEvenWhenTheyAreNotUtf8)
{
    // Stored names that are not valid UTF-8 (overlong forms, stray bytes, a cut sequence) are
    // found by exactly their own bytes, cached and released apart, and never stand in for one
    // another, however a text conversion would have read them.
    const std::string overlong = "\xc1\x81\xc1\x81.png", stray = "\xff\xfe.png", cut = "\xe2\x82";
    auto bytes = twoEntryArchive();
    auto putName = [&bytes] (int entry, const std::string& name)
    {
        auto* field = static_cast<char*> (bytes.getData()) + 32 + 64 * entry;
        std::memset (field, 0, 64);
        std::memcpy (field, name.data(), name.size());
    };
    putName (0, overlong);
    putName (1, stray);
    install (bytes);
    auto assets = open();

    std::string longOverlong;
    for (int i = 0; i < 200; ++i)
        longOverlong += "\xc1\x81";

    struct Case { std::string name; int size; juce::uint32 seed; };
    const Case cases[] = { { overlong, 40, 1 }, { stray, 100, 2 }, { cut, 0, 0 }, { longOverlong, 0, 0 },
                           { "\xc1\x81\xc1\x82.png", 0, 0 }, { "\xfe\xff.png", 0, 0 }, { "A.png", 0, 0 } };
    for (int round = 0; round < 2; ++round)
    {
        for (const auto& c : cases)
        {
            if (c.size > 0)
                expectEntry (*assets, c.name.c_str(), pseudoRandomBytes ((size_t) c.size, c.seed));
            else
                expectAbsent (*assets, c.name.c_str());
        }
        // Cached names and unknown ones alike are released without touching the others.
        for (const auto& c : cases)
            if (c.size == 0)
                assets->releaseAsset (c.name.c_str());
        expectEntry (*assets, overlong.c_str(), pseudoRandomBytes (40, 1));
        assets->releaseAsset (overlong.c_str());
        assets->releaseAsset (stray.c_str());
    }
}
