#pragma once

#include "highlight_link.h"

#include <QByteArray>
#include <QMetaType>
#include <QtTest/qtestcase.h>

#include <vector>

// A highlight table as the tests write it, readable in QCOMPARE messages.
using Table = std::vector<Ctext_section>;
Q_DECLARE_METATYPE(Table)

inline QByteArray Describe(const Table &table)
{
    QByteArray text = "{";
    for (const Ctext_section &r : table)
        text += " [" + QByteArray::number(r.start) + "," + QByteArray::number(r.end) + ")";
    return text + " }";
}

// Found by QCOMPARE through argument-dependent lookup.
inline char *toString(const Table &table)
{
    return qstrdup(Describe(table).constData());
}
