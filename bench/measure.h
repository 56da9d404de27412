#pragma once

#include <QList>
#include <QString>
#include <QtGlobal>

#include <optional>
#include <utility>
#include <vector>

class QTextStream;

namespace bench {

// Summary of repeated timings, in milliseconds.
struct Stats
{
    double median = 0;
    double min = 0;
    double max = 0;
    int runs = 0;
};

Stats summarize(std::vector<qint64> nanoseconds);

// One measured quantity of one input, as printed in the table and as JSON.
struct Row
{
    QString input;
    qint64 bytes = 0;
    QString measure;
    std::optional<Stats> stats;      // absent for memory rows
    std::optional<double> mbPerS;    // from the median
    std::optional<qint64> peakRssKb;
    // Further numbers particular to the measure, such as a hit count.
    QList<std::pair<QString, double>> extra;
};

// Peak resident set of this process (VmHWM), in kB; -1 when unknown.
qint64 peakRssKb();

// One JSON object on one line; keys in a fixed order.
QString toJson(const Row &row);

void printTable(QTextStream &out, const QList<Row> &rows);

} // namespace bench
