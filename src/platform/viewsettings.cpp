#include "viewsettings.h"

#include "fontsettings.h"
#include "usersettings.h"

#include <algorithm>

namespace {

const char *const ThemeName = "theme";
const char *const ZoomName = "zoom";
const char *const HidePageBreaksName = "hide_page_breaks";
const char *const EmphasiseName = "emphasise_bcp14";

bool isZoom(qint32 value)
{
    return value >= ViewSettings::MinZoom && value <= ViewSettings::MaxZoom && value % ViewSettings::ZoomStep == 0;
}

} // namespace

ViewSettings ViewSettings::read(const UserSettings &store)
{
    const auto value = [&](const char *name) { return store.readInteger(SettingsKeyPath, QLatin1String(name)); };
    ViewSettings settings;
    if (const auto theme = value(ThemeName); theme && *theme >= 0 && *theme <= int(Theme::Dark))
        settings.theme = Theme(*theme);
    if (const auto zoom = value(ZoomName); zoom && isZoom(*zoom))
        settings.zoom = *zoom;
    settings.hidePageBreaks = value(HidePageBreaksName).value_or(1) != 0;
    settings.emphasiseRequirementWords = value(EmphasiseName).value_or(1) != 0;
    return settings;
}

std::array<std::pair<const char *, qint32>, 4> ViewSettings::storedValues() const
{
    return {{{ThemeName, qint32(theme)},
             {ZoomName, zoom},
             {HidePageBreaksName, hidePageBreaks},
             {EmphasiseName, emphasiseRequirementWords}}};
}

int ViewSettings::zoomedBy(int steps) const
{
    return std::clamp(zoom + steps * ZoomStep, MinZoom, MaxZoom);
}
