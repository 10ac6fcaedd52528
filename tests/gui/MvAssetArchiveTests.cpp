#include <gtest/gtest.h>

#include "MvAssetArchive.h"

namespace
{
    juce::uint32 u32At (const juce::MemoryBlock& block, size_t offset)
    {
        return juce::ByteOrder::littleEndianInt (static_cast<const char*> (block.getData()) + offset);
    }

    juce::MemoryBlock bytesOf (const char* text)
    {
        return { text, std::strlen (text) };
    }

    struct ToolRun
    {
        int exitCode = -1;
        juce::String output;
    };

    ToolRun runTool (const juce::StringArray& args)
    {
        juce::ChildProcess process;
        juce::StringArray command { VINOLA_ASSET_TOOL };
        command.addArray (args);
        ToolRun result;
        if (! process.start (command, juce::ChildProcess::wantStdOut | juce::ChildProcess::wantStdErr))
            return result;
        result.output = process.readAllProcessOutput();
        process.waitForProcessToFinish (30000);
        result.exitCode = (int) process.getExitCode();
        return result;
    }
}

TEST (MvAssetArchive, WritesTheHeaderIndexAndPayloadsInOrder)
{
    MvAssetArchive archive;
    juce::String error;
    ASSERT_TRUE (archive.addEntry ("a.png", bytesOf ("AAAA"), error));
    ASSERT_TRUE (archive.addEntry ("b.ttf", bytesOf ("BB"), error));

    juce::MemoryBlock bytes;
    ASSERT_TRUE (archive.serialise (bytes, error));
    const auto* raw = static_cast<const char*> (bytes.getData());

    ASSERT_EQ (bytes.getSize(), 32u + 72u * 2u + 6u);
    EXPECT_EQ (std::memcmp (raw, "ravm", 4), 0);
    EXPECT_EQ (u32At (bytes, 4), 2u);
    for (int i = 8; i < 32; ++i)
        EXPECT_EQ (raw[i], 0) << "reserved byte " << i;

    // Names are zero-padded to the full 64 bytes.
    EXPECT_STREQ (raw + 32, "a.png");
    EXPECT_STREQ (raw + 96, "b.ttf");
    for (int i = 5; i < 64; ++i)
        EXPECT_EQ (raw[32 + i], 0);

    EXPECT_EQ (u32At (bytes, 32 + 128), 176u);
    EXPECT_EQ (u32At (bytes, 32 + 132), 180u);
    EXPECT_EQ (u32At (bytes, 32 + 136), 4u);
    EXPECT_EQ (u32At (bytes, 32 + 140), 2u);
    EXPECT_EQ (std::memcmp (raw + 176, "AAAABB", 6), 0);
}

TEST (MvAssetArchive, RefusesNamesThatDoNotFitOrRepeat)
{
    MvAssetArchive archive;
    juce::String error;
    EXPECT_TRUE (archive.addEntry (juce::String::repeatedString ("x", 63), bytesOf ("ok"), error));

    EXPECT_FALSE (archive.addEntry (juce::String::repeatedString ("y", 64), bytesOf ("no"), error));
    EXPECT_TRUE (error.contains ("63")) << error;

    // The limit is in bytes, not characters: 32 two-byte characters do not fit.
    EXPECT_FALSE (archive.addEntry (juce::String::repeatedString (juce::String::fromUTF8 ("\xc3\xa9"), 32), {}, error));
    EXPECT_FALSE (archive.addEntry ({}, bytesOf ("no"), error));
    EXPECT_FALSE (archive.addEntry (juce::String::repeatedString ("x", 63), bytesOf ("again"), error));
    EXPECT_EQ (archive.getNumEntries(), 1);
}

TEST (MvAssetArchive, ReadsBackWhatItWroteAndRejectsDamage)
{
    const auto folder = juce::File::createTempFile ("archive-rw");
    ASSERT_TRUE (folder.createDirectory());
    const auto file = folder.getChildFile ("sub").getChildFile ("A.mva");

    MvAssetArchive written;
    juce::String error;
    ASSERT_TRUE (written.addEntry ("one", bytesOf ("first"), error));
    ASSERT_TRUE (written.addEntry ("two", {}, error));
    ASSERT_TRUE (written.writeTo (file, error)) << error;

    MvAssetArchive read;
    ASSERT_TRUE (read.readFrom (file, error)) << error;
    ASSERT_EQ (read.getNumEntries(), 2);
    EXPECT_EQ (read.getName (0), "one");
    EXPECT_EQ (read.getData (0), bytesOf ("first"));
    EXPECT_EQ (read.getName (1), "two");
    EXPECT_EQ (read.getData (1).getSize(), 0u);

    juce::MemoryBlock cut;
    file.loadFileAsData (cut);
    cut.setSize (cut.getSize() - 1);
    file.replaceWithData (cut.getData(), cut.getSize());
    EXPECT_FALSE (read.readFrom (file, error));
    EXPECT_EQ (read.getNumEntries(), 2);   // unchanged after a failed read

    folder.deleteRecursively();
}

TEST (MvAssetArchiveTool, PacksNamedFilesAndRefusesLongNames)
{
    const auto folder = juce::File::createTempFile ("archive-tool");
    ASSERT_TRUE (folder.createDirectory());
    const auto payload = folder.getChildFile ("p.bin");
    ASSERT_TRUE (payload.replaceWithText ("payload"));
    const auto list = folder.getChildFile ("list.txt");
    ASSERT_TRUE (list.replaceWithText ("listed.png=" + payload.getFullPathName() + "\n"));
    const auto out = folder.getChildFile ("Out.mva");

    auto run = runTool ({ "pack", out.getFullPathName(), "first.ttf=" + payload.getFullPathName(), "@" + list.getFullPathName() });
    ASSERT_EQ (run.exitCode, 0) << run.output;

    MvAssetArchive archive;
    juce::String error;
    ASSERT_TRUE (archive.readFrom (out, error)) << error;
    ASSERT_EQ (archive.getNumEntries(), 2);
    EXPECT_EQ (archive.getName (0), "first.ttf");
    EXPECT_EQ (archive.getName (1), "listed.png");
    EXPECT_EQ (archive.getData (1), bytesOf ("payload"));

    const auto refused = folder.getChildFile ("Refused.mva");
    run = runTool ({ "pack", refused.getFullPathName(), juce::String::repeatedString ("z", 64) + "=" + payload.getFullPathName() });
    EXPECT_NE (run.exitCode, 0);
    EXPECT_TRUE (run.output.contains ("at most 63")) << run.output;
    EXPECT_FALSE (refused.exists());

    run = runTool ({ "pack", refused.getFullPathName(), "missing.png=" + folder.getChildFile ("nope").getFullPathName() });
    EXPECT_NE (run.exitCode, 0);
    EXPECT_FALSE (refused.exists());

    folder.deleteRecursively();
}
