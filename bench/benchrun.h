#pragma once

#include "measure.h"

#include <QList>
#include <QSize>
#include <QString>

namespace bench {

struct Options
{
    QList<double> sizesMb{0.1, 1, 2.5, 10, 50};
    int highlights = 2000;
    int repeat = 5;
    QStringList files;
    QString jsonPath;
    // Only the open and close series: for profiling the load.
    bool openOnly = false;
};

struct Input
{
    QString label;
    QString path;
    qint64 bytes = 0;
};

// Times every measure of one input and returns the rows. The runs of each
// series open the document afresh, with its state files reset first.
QList<Row> measureInput(const Input &input, const Options &options);

// The library's own costs: parsing a 10,000-entry RFC index (off the
// user-interface thread, as the program does) and finding a document in a
// library of 9,000 files, the only work opening from the library adds.
QList<Row> measureLibrary(const Options &options);

// Peak memory of the empty main window (path empty) or of one open
// document, measured in a child process so that peaks do not mix.
std::optional<qint64> peakRssInChild(const QString &path, int highlights);

// The child's side of peakRssInChild: prints "VmHWM_kb<TAB>n".
int rssChildMain(const QString &path, int highlights);

} // namespace bench
