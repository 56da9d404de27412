#pragma once

#include <QString>

// The user's own folders of the program, after the XDG base directories.
enum class UserFolder {
    Config, // $XDG_CONFIG_HOME, ~/.config by default
    Data,   // $XDG_DATA_HOME, ~/.local/share by default
    Cache,  // $XDG_CACHE_HOME, ~/.cache by default
};

// "<base>/Tessary software/Folivane", without a trailing '/'. A relative
// $XDG_CONFIG_HOME or $XDG_CACHE_HOME is ignored, as the XDG rules say; a
// relative $XDG_DATA_HOME has always been taken as it is.
QString folivaneFolder(UserFolder kind);
