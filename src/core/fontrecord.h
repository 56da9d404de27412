#pragma once

#include <QString>
#include <QtGlobal>

// One font setting as it is stored: face, size in points, colour as
// 0x00BBGGRR (or a system colour when the top bit is set) and styles.
struct FontRecord
{
    static inline const QString DefaultFaceName = QStringLiteral("Courier New");
    static constexpr qint32 DefaultSize = 9;

    QString name = DefaultFaceName;
    qint32 charset = 0;
    qint32 size = DefaultSize;
    qint32 color = 0;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;

    friend bool operator==(const FontRecord &, const FontRecord &) = default;
};
