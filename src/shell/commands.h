#pragma once

#include <cstddef>

// Every command of the main window; the index into its one command table.
enum class Command {
    FileOpen,
    FileOpenRfc,
    FileClearRecent,
    FileClose,
    FileExit,
    EditCopy,
    EditPaste,
    EditAddBookmark,
    EditDeleteBookmark,
    EditHighlight,
    EditCancelHighlight,
    SearchFind,
    SearchFindNext,
    SearchFindPrevious,
    SearchFindAsYouType,
    SearchLibrary,
    GoBack,
    GoForward,
    ConfigTextFont,
    ConfigHeaderFont,
    ViewToolbar,
    ViewStatusBar,
    ViewFileTabs,
    ViewRestoreSession,
    WindowCascade,
    WindowTileHorizontally,
    WindowTileVertically,
    WindowMinimizeAll,
    WindowArrangeAll,
    HelpVisitWebsite,
    HelpSendMail,
    HelpAbout,
};

inline constexpr std::size_t CommandCount = std::size_t(Command::HelpAbout) + 1;
