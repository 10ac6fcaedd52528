#include "MvAssetManager.h"
#include "MvAssetArchiveLayout.h"
#include "MvPlatform.h"

#include <cstdlib>
#include <cstring>
#include <limits>
#include <unistd.h>

namespace
{
    using Layout = MvAssetArchiveLayout;

    bool exists (const juce::File& f)
    {
        const auto path = f.getFullPathName();
        return path.isNotEmpty() && ::access (path.toRawUTF8(), F_OK) == 0;
    }
}

MvAssetManager::MvAssetManager (const juce::String& productFolderName, const juce::String& relativeArchivePath)
{
    const auto archive = findArchive (productFolderName, relativeArchivePath);
    if (archive != juce::File())
        openArchive (archive);
}

MvAssetManager::~MvAssetManager()
{
    for (auto& cached : cache)
        std::free (cached.second.data);
    cache.clear();
    header.free();
    stream.reset();
}

juce::File MvAssetManager::findArchive (const juce::String& productFolderName, const juce::String& relativeArchivePath)
{
    // Each step is tested on its own, so a missing "appdata" folder is noticed before the file.
    auto current = MvPlatform::commonApplicationSupportFolder()
                       .getChildFile ("Marvolund")
                       .getChildFile (productFolderName);
    if (! exists (current))
        return {};

    juce::StringArray steps;
    steps.addTokens (relativeArchivePath, "/", "");
    for (const auto& step : steps)
    {
        current = current.getChildFile (step);
        if (! exists (current))
            return {};
    }

    return exists (current) ? current : juce::File();
}

void MvAssetManager::openArchive (const juce::File& archive)
{
    auto fileStream = std::make_unique<juce::FileInputStream> (archive);
    if (fileStream->failedToOpen())
        return;

    stream = std::move (fileStream);
    isOpen = true;
    fileLength = stream->getTotalLength();

    char start[8] = {};
    if (stream->read (start, (int) sizeof (start)) != (int) sizeof (start))
        return;
    if (juce::ByteOrder::littleEndianInt (start) != Layout::magic)
        return;

    const auto count = juce::ByteOrder::littleEndianInt (start + 4);
    const auto indexEnd = Layout::indexEnd (count);

    // An entry count whose index runs past the end of the file is damage, not an archive:
    // trusting it would mean allocating and reading gigabytes for a file of a few bytes.
    if (fileLength < 0 || indexEnd > (juce::uint64) fileLength || indexEnd > (juce::uint64) std::numeric_limits<int>::max())
        return;

    juce::HeapBlock<char> index;
    index.allocate ((size_t) indexEnd, false);
    if (index == nullptr || ! stream->setPosition (0) || stream->read (index, (int) indexEnd) != (int) indexEnd)
        return;

    header.swapWith (index);
    numEntries = count;
}

juce::uint32 MvAssetManager::indexValue (juce::uint64 byteOffset) const noexcept
{
    return juce::ByteOrder::littleEndianInt (header.get() + byteOffset);
}

int MvAssetManager::findEntry (const char* name) const noexcept
{
    if (header == nullptr || numEntries == 0 || name == nullptr)
        return -1;

    // A stored name holds at most 63 bytes before its terminator, so a longer request can never match.
    const auto length = std::strlen (name);
    if (length >= Layout::nameBytes)
        return -1;

    for (juce::uint32 i = 0; i < numEntries; ++i)
    {
        const char* field = header.get() + Layout::nameAt ((juce::uint64) i);
        if (std::memcmp (field, name, length + 1) == 0)
            return (int) i;
    }
    return -1;
}

bool MvAssetManager::readEntry (int entry, CachedEntry& result)
{
    const auto n = (juce::uint64) numEntries;
    const auto offset = (juce::uint64) indexValue (Layout::offsetAt ((juce::uint64) entry, n));
    const auto size = indexValue (Layout::sizeAt ((juce::uint64) entry, n));

    // The index is untrusted: an entry reaching past the end of the file is treated as absent.
    if (offset + size > (juce::uint64) fileLength || size > (juce::uint32) std::numeric_limits<int>::max())
        return false;

    // One byte more than asked for, so an entry of size 0 still gets its own block.
    auto* block = std::malloc ((size_t) size + 1);
    if (block == nullptr)
        return false;

    if (! stream->setPosition ((juce::int64) offset) || stream->read (block, (int) size) != (int) size)
    {
        std::free (block);
        return false;
    }

    result.data = block;
    result.size = size;
    return true;
}

const void* MvAssetManager::getAsset (const char* name, juce::uint32& size)
{
    size = 0;
    if (name == nullptr)
        return nullptr;

    const std::string key (name);
    const auto found = cache.find (key);
    if (found != cache.end())
    {
        size = found->second.size;
        return found->second.data;
    }

    const auto entry = findEntry (name);
    if (entry < 0)
        return nullptr;

    CachedEntry loaded;
    if (! readEntry (entry, loaded))
        return nullptr;

    cache.emplace (key, loaded);
    size = loaded.size;
    return loaded.data;
}

void MvAssetManager::releaseAsset (const char* name)
{
    if (name == nullptr)
        return;

    const auto found = cache.find (std::string (name));
    if (found == cache.end())
        return;

    std::free (found->second.data);
    cache.erase (found);
}
