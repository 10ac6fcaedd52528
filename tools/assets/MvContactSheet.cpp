#include "MvContactSheet.h"
#include "MvAssetArchive.h"
#include "VinolaArtPreview.h"

using namespace juce;

namespace
{
    void checkerboard (Graphics& g, Rectangle<int> area)
    {
        g.setColour (Colour (0xffd0d0d0));
        g.fillRect (area);
        g.setColour (Colour (0xffb4b4b4));
        for (int y = area.getY(); y < area.getBottom(); y += 8)
            for (int x = area.getX() + (((y - area.getY()) / 8) % 2) * 8; x < area.getRight(); x += 16)
                g.fillRect (Rectangle<int> (x, y, 8, 8).getIntersection (area));
    }
}

Image MvContactSheet::render (const MvAssetArchive& archive, const Font& captionFont)
{
    struct Tile { String name; Image image; Rectangle<int> box; };
    std::vector<Tile> tiles;

    const int margin = 16, sheetWidth = 1600, captionHeight = 30;
    const auto mockUp = VinolaArtPreview::render (archive);
    int x = margin, y = 2 * margin + mockUp.getHeight(), rowHeight = 0;
    for (int i = 0; i < archive.getNumEntries(); ++i)
    {
        const auto& data = archive.getData (i);
        auto image = ImageFileFormat::loadFrom (data.getData(), data.getSize());
        if (! image.isValid())
            continue;

        const int w = std::max (image.getWidth(), 150), h = image.getHeight() + captionHeight;
        if (x + w + margin > sheetWidth && x > margin)
        {
            x = margin;
            y += rowHeight + margin;
            rowHeight = 0;
        }
        tiles.push_back ({ archive.getName (i), image, { x, y, w, h } });
        x += w + margin;
        rowHeight = std::max (rowHeight, h);
    }

    Image sheet (Image::RGB, sheetWidth, y + rowHeight + margin, true, SoftwareImageType());
    Graphics g (sheet);
    g.fillAll (Colour (0xff3a3a3a));
    g.drawImageAt (mockUp, margin, margin);
    for (const auto& t : tiles)
    {
        const auto picture = t.box.withHeight (t.image.getHeight()).withWidth (t.image.getWidth());
        checkerboard (g, picture);
        g.drawImageAt (t.image, picture.getX(), picture.getY());
        g.setColour (Colours::white);
        g.setFont (captionFont.withHeight (13.0f));
        g.drawText (t.name, t.box.getX(), picture.getBottom() + 2, t.box.getWidth(), 14, Justification::centredLeft, true);
        g.setColour (Colours::lightgrey);
        g.drawText (String (t.image.getWidth()) + " x " + String (t.image.getHeight()),
                    t.box.getX(), picture.getBottom() + 15, t.box.getWidth(), 14, Justification::centredLeft, true);
    }
    return sheet;
}
