#pragma once

#include <QIcon>

// The 16 x 16 images of the commands and tabs, each file named after its use.
namespace ImageList {
enum Index : int {
    Open,
    Copy,
    AddBookmark,
    Find,
    FindNext,
    TileHorizontally,
    TileVertically,
    Cascade,
    ActiveTab,
    OtherTab,
    Highlight,
    CancelHighlight,
    Back,
    Forward,
};

// The image for the application's palette: the images are drawn for light
// tool bars, so on a dark palette the colours that would not stand out
// from the window, such as dark outlines, are made light.
QIcon icon(int index);
} // namespace ImageList
