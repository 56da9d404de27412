#pragma once

#include "settingnames.h"

#include <QtGlobal>

#include <array>
#include <utility>

class UserSettings;

// How every document is shown, as picked in the View menu; kept as dwords
// in the program's settings key, each read on its own.
struct ViewSettings
{
    enum class Theme { System = 0, Light = 1, Dark = 2 };

    static constexpr int DefaultZoom = SettingNames::DefaultZoom;
    static constexpr int MinZoom = 50;
    static constexpr int MaxZoom = 300;
    static constexpr int ZoomStep = 10;

    Theme theme = Theme::System;
    // Percent of the stored font sizes, for body and headings alike.
    int zoom = DefaultZoom;
    bool hidePageBreaks = true;
    bool emphasiseRequirementWords = true;
    // References drawn with a dotted underline at all times.
    bool underlineLinks = true;
    // The index and bookmarks beside the text.
    bool showIndexPanel = true;

    // A missing or unusable value reads as its default, the others stay.
    static ViewSettings read(const UserSettings &store);
    // Name and dword of each value, in the order they are written.
    std::array<std::pair<const char *, qint32>, 6> storedValues() const;
    // The zoom steps further in (or out, when negative), within the limits.
    int zoomedBy(int steps) const;

    friend bool operator==(const ViewSettings &, const ViewSettings &) = default;
};
