#pragma once

#include <QIcon>

// The 16 x 16 images of the commands and tabs, by their fixed index.
namespace ImageList {
enum Index : int {
    Open = 0,
    Paste = 1,
    Copy = 2,
    AddBookmark = 5,
    Find = 7,
    FindNext = 8,
    TileHorizontally = 10,
    TileVertically = 11,
    Cascade = 12,
    ActiveTab = 13,
    OtherTab = 14,
    Highlight = 15,
    CancelHighlight = 16,
    Back = 17,
    Forward = 18,
};

// The image for the application's palette: the images are drawn for light
// tool bars, so on a dark palette the colours that would not stand out
// from the window, such as dark outlines, are made light.
QIcon icon(int index);
} // namespace ImageList
