#include "viewsettings.h"

#include "settingnames.h"
#include "usersettings.h"

#include <algorithm>

namespace {

using namespace SettingNames;

bool isZoom(qint32 value)
{
    return value >= ViewSettings::MinZoom && value <= ViewSettings::MaxZoom && value % ViewSettings::ZoomStep == 0;
}

} // namespace

ViewSettings ViewSettings::read(const UserSettings &store)
{
    const auto value = [&](const char *name) { return store.readInteger(SettingsKeyPath, QLatin1String(name)); };
    ViewSettings settings;
    if (const auto theme = value(SettingNames::Theme); theme && *theme >= 0 && *theme <= int(Theme::Dark))
        settings.theme = Theme(*theme);
    if (const auto zoom = value(Zoom); zoom && isZoom(*zoom))
        settings.zoom = *zoom;
    settings.hidePageBreaks = value(HidePageBreaks).value_or(DefaultHidePageBreaks) != 0;
    settings.emphasiseRequirementWords = value(EmphasiseRequirementWords).value_or(DefaultEmphasiseRequirementWords) != 0;
    settings.underlineLinks = value(UnderlineLinks).value_or(DefaultUnderlineLinks) != 0;
    settings.showIndexPanel = value(ShowIndexPanel).value_or(DefaultShowIndexPanel) != 0;
    return settings;
}

std::array<std::pair<const char *, qint32>, 6> ViewSettings::storedValues() const
{
    return {{{SettingNames::Theme, qint32(theme)},
             {Zoom, zoom},
             {HidePageBreaks, hidePageBreaks},
             {EmphasiseRequirementWords, emphasiseRequirementWords},
             {UnderlineLinks, underlineLinks},
             {ShowIndexPanel, showIndexPanel}}};
}

int ViewSettings::zoomedBy(int steps) const
{
    return std::clamp(zoom + steps * ZoomStep, MinZoom, MaxZoom);
}
