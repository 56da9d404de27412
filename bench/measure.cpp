#include "measure.h"

#include <QFile>
#include <QTextStream>

#include <algorithm>
#include <cmath>

namespace bench {

Stats summarize(std::vector<qint64> nanoseconds)
{
    Stats stats;
    if (nanoseconds.empty())
        return stats;
    std::sort(nanoseconds.begin(), nanoseconds.end());
    const size_t n = nanoseconds.size();
    const double middle = n % 2 ? double(nanoseconds[n / 2])
                                : (double(nanoseconds[n / 2 - 1]) + double(nanoseconds[n / 2])) / 2;
    stats.median = middle / 1e6;
    stats.min = double(nanoseconds.front()) / 1e6;
    stats.max = double(nanoseconds.back()) / 1e6;
    stats.runs = int(n);
    return stats;
}

qint64 peakRssKb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly | QIODevice::Text))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toLongLong();
    }
    return -1;
}

namespace {

QString quoted(const QString &text)
{
    QString out = QStringLiteral("\"");
    for (const QChar c : text) {
        if (c == u'"' || c == u'\\')
            out += u'\\' + QString(c);
        else if (c.unicode() < 0x20)
            out += QStringLiteral("\\u%1").arg(c.unicode(), 4, 16, QLatin1Char('0'));
        else
            out += c;
    }
    return out + u'"';
}

QString number(double value)
{
    if (!std::isfinite(value))
        return QStringLiteral("null");
    return QString::number(value, 'g', 6);
}

QString cell(double value)
{
    return QString::number(value, 'f', value < 10 ? 3 : value < 1000 ? 2 : 1);
}

} // namespace

QString toJson(const Row &row)
{
    QStringList parts;
    parts << QStringLiteral("\"input\":") + quoted(row.input);
    parts << QStringLiteral("\"bytes\":") + QString::number(row.bytes);
    parts << QStringLiteral("\"measure\":") + quoted(row.measure);
    const QString null = QStringLiteral("null");
    parts << QStringLiteral("\"median_ms\":") + (row.stats ? number(row.stats->median) : null);
    parts << QStringLiteral("\"min_ms\":") + (row.stats ? number(row.stats->min) : null);
    parts << QStringLiteral("\"max_ms\":") + (row.stats ? number(row.stats->max) : null);
    if (row.stats)
        parts << QStringLiteral("\"runs\":") + QString::number(row.stats->runs);
    if (row.mbPerS)
        parts << QStringLiteral("\"mb_per_s\":") + number(*row.mbPerS);
    if (row.peakRssKb)
        parts << QStringLiteral("\"peak_rss_kb\":") + QString::number(*row.peakRssKb);
    for (const auto &[key, value] : row.extra)
        parts << quoted(key) + u':' + number(value);
    return u'{' + parts.join(u',') + u'}';
}

void printTable(QTextStream &out, const QList<Row> &rows)
{
    out << QStringLiteral("%1 %2 %3 %4  %5\n")
               .arg(QStringLiteral("measure"), -20)
               .arg(QStringLiteral("median ms"), 11)
               .arg(QStringLiteral("min ms"), 11)
               .arg(QStringLiteral("max ms"), 11)
               .arg(QStringLiteral("other"));
    for (const Row &row : rows) {
        QStringList other;
        if (row.mbPerS)
            other << QStringLiteral("%1 MB/s").arg(*row.mbPerS, 0, 'f', 1);
        if (row.peakRssKb)
            other << QStringLiteral("peak RSS %1 kB").arg(*row.peakRssKb);
        for (const auto &[key, value] : row.extra)
            other << QStringLiteral("%1 %2").arg(key).arg(value, 0, 'g', 6);
        const QString dash = QStringLiteral("-");
        out << QStringLiteral("%1 %2 %3 %4  %5\n")
                   .arg(row.measure, -20)
                   .arg(row.stats ? cell(row.stats->median) : dash, 11)
                   .arg(row.stats ? cell(row.stats->min) : dash, 11)
                   .arg(row.stats ? cell(row.stats->max) : dash, 11)
                   .arg(other.join(QStringLiteral(", ")));
    }
    out.flush();
}

} // namespace bench
