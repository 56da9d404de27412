#pragma once

#include "rangeset.h"

#include <QByteArray>
#include <QMetaType>
#include <QtTest/qtestcase.h>

#include <vector>

// A highlight table as the tests write it, readable in QCOMPARE messages.
using Table = std::vector<TextRange>;
Q_DECLARE_METATYPE(Table)

inline QByteArray Describe(const Table &table)
{
    QByteArray text = "{";
    for (const TextRange &r : table)
        text += " [" + QByteArray::number(r.start) + "," + QByteArray::number(r.end) + ")";
    return text + " }";
}

// Found by QCOMPARE through argument-dependent lookup.
inline char *toString(const Table &table)
{
    return qstrdup(Describe(table).constData());
}
