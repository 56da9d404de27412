#include "rfcindex.h"

#include <QBuffer>
#include <QFile>
#include <QFuture>
#include <QPromise>
#include <QXmlStreamReader>
#include <QtConcurrent/QtConcurrentRun>

#include <QSet>

#include <algorithm>
#include <functional>
#include <optional>

// Reads the index element by element; elements it does not know (abstracts,
// keywords, formats, other series) are skipped whole.
class RfcIndexReader
{
public:
    RfcIndexReader(QIODevice *device, std::function<bool()> cancelled)
        : m_xml(device), m_cancelled(std::move(cancelled))
    {
    }

    // Empty when cancelled.
    std::optional<RfcIndex> read()
    {
        RfcIndex index;
        if (m_xml.readNextStartElement() && m_xml.name() == u"rfc-index") {
            while (m_xml.readNextStartElement()) {
                if (m_cancelled())
                    return std::nullopt;
                const QStringView name = m_xml.name();
                if (name == u"rfc-entry")
                    appendComplete(index.m_entries, readRfc());
                else if (name == u"bcp-entry")
                    readSeries(index.m_bcps);
                else if (name == u"std-entry")
                    readSeries(index.m_stds);
                else
                    m_xml.skipCurrentElement();
            }
        } else if (!m_xml.hasError()) {
            m_xml.raiseError(QStringLiteral("not an RFC index"));
        }
        if (m_xml.hasError())
            index.m_error = QStringLiteral("line %1: %2").arg(m_xml.lineNumber()).arg(m_xml.errorString());

        auto &entries = index.m_entries;
        entries.removeIf([](const RfcEntry &entry) { return entry.number == 0; });
        const auto byNumber = [](const RfcEntry &a, const RfcEntry &b) { return a.number < b.number; };
        if (!std::is_sorted(entries.cbegin(), entries.cend(), byNumber))
            std::stable_sort(entries.begin(), entries.end(), byNumber);
        return index;
    }

private:
    // An entry cut short by an error could claim what the rest would deny.
    void appendComplete(QList<RfcEntry> &entries, RfcEntry &&entry)
    {
        if (!m_xml.hasError())
            entries.append(std::move(entry));
    }

    RfcEntry readRfc()
    {
        RfcEntry entry;
        while (m_xml.readNextStartElement()) {
            const QStringView name = m_xml.name();
            if (name == u"doc-id")
                entry.number = rfcNumber(m_xml.readElementText());
            else if (name == u"title")
                entry.title = m_xml.readElementText().simplified();
            else if (name == u"author")
                readAuthor(entry.authors);
            else if (name == u"date")
                readDate(entry);
            else if (name == u"current-status")
                entry.status = m_xml.readElementText().trimmed();
            else if (name == u"publication-status")
                entry.publicationStatus = m_xml.readElementText().trimmed();
            else if (name == u"obsoletes")
                entry.obsoletes = rfcNumbers(readDocIds());
            else if (name == u"obsoleted-by")
                entry.obsoletedBy = rfcNumbers(readDocIds());
            else if (name == u"updates")
                entry.updates = rfcNumbers(readDocIds());
            else if (name == u"updated-by")
                entry.updatedBy = rfcNumbers(readDocIds());
            else if (name == u"is-also")
                entry.isAlso = readDocIds();
            else if (name == u"errata-url")
                entry.errataUrl = m_xml.readElementText().trimmed();
            else if (name == u"draft")
                entry.draft = m_xml.readElementText().trimmed();
            else
                m_xml.skipCurrentElement();
        }
        return entry;
    }

    // An author's name; the author's own title ("Editor") is not the RFC's.
    void readAuthor(QStringList &authors)
    {
        while (m_xml.readNextStartElement()) {
            if (m_xml.name() == u"name")
                authors.append(m_xml.readElementText().simplified());
            else
                m_xml.skipCurrentElement();
        }
    }

    void readDate(RfcEntry &entry)
    {
        while (m_xml.readNextStartElement()) {
            if (m_xml.name() == u"month")
                entry.month = m_xml.readElementText().trimmed();
            else if (m_xml.name() == u"year")
                entry.year = m_xml.readElementText().trimmed().toInt();
            else
                m_xml.skipCurrentElement();
        }
    }

    void readSeries(QHash<int, QList<int>> &series)
    {
        int number = 0;
        QList<int> rfcs;
        while (m_xml.readNextStartElement()) {
            if (m_xml.name() == u"doc-id") {
                const std::optional<DocumentName> id = DocumentName::parse(m_xml.readElementText());
                number = id ? id->number() : 0;
            } else if (m_xml.name() == u"is-also") {
                rfcs = rfcNumbers(readDocIds());
            } else {
                m_xml.skipCurrentElement();
            }
        }
        if (number > 0)
            series.insert(number, rfcs);
    }

    QList<DocumentName> readDocIds()
    {
        QList<DocumentName> ids;
        while (m_xml.readNextStartElement()) {
            if (m_xml.name() != u"doc-id") {
                m_xml.skipCurrentElement();
                continue;
            }
            // Ids of other series ("FYI0036", "IEN0116") are no names of ours.
            if (const std::optional<DocumentName> id = DocumentName::parse(m_xml.readElementText()))
                ids.append(*id);
        }
        return ids;
    }

    static int rfcNumber(const QString &docId)
    {
        const std::optional<DocumentName> id = DocumentName::parse(docId);
        return id && id->kind() == DocumentName::Kind::Rfc ? id->number() : 0;
    }

    static QList<int> rfcNumbers(const QList<DocumentName> &ids)
    {
        QList<int> numbers;
        for (const DocumentName &id : ids) {
            if (id.kind() == DocumentName::Kind::Rfc)
                numbers.append(id.number());
        }
        return numbers;
    }

    QXmlStreamReader m_xml;
    std::function<bool()> m_cancelled;
};

namespace {

std::function<bool()> neverCancelled()
{
    return [] { return false; };
}

bool isWordCharacter(QChar c)
{
    return c.isLetterOrNumber();
}

QList<QStringView> splitWords(QStringView text)
{
    QList<QStringView> words;
    qsizetype start = -1;
    for (qsizetype i = 0; i <= text.size(); ++i) {
        const bool inWord = i < text.size() && isWordCharacter(text[i]);
        if (inWord && start < 0)
            start = i;
        else if (!inWord && start >= 0) {
            words.append(text.sliced(start, i - start));
            start = -1;
        }
    }
    return words;
}

bool hasWordStartingWith(QStringView title, QStringView word)
{
    for (qsizetype at = title.indexOf(word, 0, Qt::CaseInsensitive); at >= 0;
         at = title.indexOf(word, at + 1, Qt::CaseInsensitive)) {
        if (at == 0 || !isWordCharacter(title[at - 1]))
            return true;
    }
    return false;
}

} // namespace

RfcIndex RfcIndex::parse(QIODevice *device)
{
    return *RfcIndexReader(device, neverCancelled()).read();
}

RfcIndex RfcIndex::parse(const QByteArray &xml)
{
    QBuffer buffer;
    buffer.setData(xml);
    buffer.open(QIODevice::ReadOnly);
    return parse(&buffer);
}

RfcIndex RfcIndex::load(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        RfcIndex index;
        index.m_error = file.errorString();
        return index;
    }
    return parse(&file);
}

QFuture<RfcIndex> RfcIndex::loadAsync(const QString &path)
{
    return QtConcurrent::run(
        [](QPromise<RfcIndex> &promise, const QString &indexPath) {
            QFile file(indexPath);
            if (!file.open(QIODevice::ReadOnly)) {
                RfcIndex index;
                index.m_error = file.errorString();
                promise.addResult(std::move(index));
                return;
            }
            std::optional<RfcIndex> index = RfcIndexReader(&file, [&promise] { return promise.isCanceled(); }).read();
            if (index)
                promise.addResult(std::move(*index));
        },
        path);
}

const RfcEntry *RfcIndex::entry(int rfc) const
{
    const auto found = std::lower_bound(m_entries.cbegin(), m_entries.cend(), rfc,
                                        [](const RfcEntry &entry, int number) { return entry.number < number; });
    return found != m_entries.cend() && found->number == rfc ? &*found : nullptr;
}

QList<int> RfcIndex::rfcsOf(const DocumentName &name) const
{
    switch (name.kind()) {
    case DocumentName::Kind::Rfc:
        return {name.number()};
    case DocumentName::Kind::Bcp:
        return m_bcps.value(name.number());
    case DocumentName::Kind::Std:
        return m_stds.value(name.number());
    case DocumentName::Kind::Draft:
        break;
    }
    return {};
}

QList<int> RfcIndex::search(QStringView text, qsizetype limit) const
{
    const QList<QStringView> words = splitWords(text);
    if (words.isEmpty() || limit <= 0)
        return {};
    QList<int> current;
    QList<int> obsoleted;
    for (auto it = m_entries.crbegin(); it != m_entries.crend() && current.size() < limit; ++it) {
        const bool matches = std::all_of(words.cbegin(), words.cend(), [&](QStringView word) {
            return hasWordStartingWith(it->title, word);
        });
        if (matches)
            (it->obsoletedBy.isEmpty() ? current : obsoleted).append(it->number);
    }
    current += obsoleted;
    current.resize(std::min(current.size(), limit));
    return current;
}

QString RfcIndex::completionText(int rfc) const
{
    const RfcEntry *found = entry(rfc);
    return found ? QStringLiteral("RFC %1 %2").arg(QString::number(rfc), found->title) : QString();
}

QString RfcIndex::toolTip(int rfc) const
{
    const RfcEntry *found = entry(rfc);
    if (!found)
        return {};
    QStringList parts{QStringLiteral("RFC %1: %2").arg(QString::number(rfc), found->title)};
    if (!found->status.isEmpty())
        parts.append(statusInTitleCase(found->status));
    if (found->year > 0)
        parts.append(QStringLiteral("%1 %2").arg(found->month, QString::number(found->year)).trimmed());
    return parts.join(QStringLiteral(", "));
}

QString statusInTitleCase(QStringView status)
{
    QString text = status.toString().toLower();
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (i == 0 || text[i - 1] == u' ')
            text[i] = text[i].toUpper();
    }
    return text;
}

QList<QList<int>> RfcIndex::successors(int rfc) const
{
    QList<QList<int>> steps;
    QSet<int> seen{rfc};
    QList<int> current{rfc};
    // The index is data from afar: a cycle or a very long chain ends the walk.
    constexpr int MaxSteps = 20;
    while (steps.size() < MaxSteps) {
        QList<int> next;
        for (int number : std::as_const(current))
            if (const RfcEntry *found = entry(number))
                for (int by : found->obsoletedBy)
                    if (!seen.contains(by)) {
                        seen.insert(by);
                        next << by;
                    }
        if (next.isEmpty())
            break;
        std::sort(next.begin(), next.end());
        steps << next;
        current = next;
    }
    return steps;
}

QString rfcRanges(QList<int> rfcs)
{
    std::sort(rfcs.begin(), rfcs.end());
    QStringList parts;
    for (qsizetype at = 0; at < rfcs.size();) {
        qsizetype end = at;
        while (end + 1 < rfcs.size() && rfcs[end + 1] == rfcs[end] + 1)
            ++end;
        parts << (end > at ? QStringLiteral("RFC %1\u2013%2").arg(rfcs[at]).arg(rfcs[end])
                           : QStringLiteral("RFC %1").arg(rfcs[at]));
        at = end + 1;
    }
    return parts.join(QStringLiteral(", "));
}
