#pragma once

#include "documentname.h"

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

class QByteArray;
class QIODevice;
template <typename T>
class QFuture;

// One RFC as the RFC index describes it. Relations name RFCs only; the
// index's references to other series are left out.
struct RfcEntry
{
    int number = 0;
    QString title;
    QStringList authors;
    QString month;
    int year = 0;
    // Now: "INTERNET STANDARD", "PROPOSED STANDARD", "UNKNOWN".
    QString status;
    // When it was published; empty when the index does not say.
    QString publicationStatus;
    QList<int> obsoletes;
    QList<int> obsoletedBy;
    QList<int> updates;
    QList<int> updatedBy;
    // The BCPs and STDs the RFC is part of.
    QList<DocumentName> isAlso;
    QString errataUrl;
    // The Internet-Draft it was published from, with its revision
    // ("draft-ietf-httpbis-semantics-19"); empty when the index names none.
    QString draft;
};

// The published RFC index (rfc-index.xml) with the lookups the reader needs.
// Cheap to copy: the tables are shared.
class RfcIndex
{
public:
    // What could be read; errorString() says why reading stopped early.
    static RfcIndex parse(QIODevice *device);
    static RfcIndex parse(const QByteArray &xml);
    static RfcIndex load(const QString &path);
    // Loads on a pool thread: never call load() on the user-interface
    // thread. Cancelling the future stops the parse and gives no result.
    static QFuture<RfcIndex> loadAsync(const QString &path);

    bool isEmpty() const { return m_entries.isEmpty(); }
    qsizetype size() const { return m_entries.size(); }
    // Empty when the whole document was read.
    QString errorString() const { return m_error; }

    // Every entry, by number.
    const QList<RfcEntry> &entries() const { return m_entries; }
    // Null when the index has no entry for the RFC.
    const RfcEntry *entry(int rfc) const;
    // The RFCs a BCP or STD is made of, in the index's order; an RFC is
    // itself; empty for a draft or an unknown BCP or STD.
    QList<int> rfcsOf(const DocumentName &name) const;
    // RFCs whose title has a word starting with each word of text, in any
    // order and letter case: those not obsoleted first, then newest first.
    QList<int> search(QStringView text, qsizetype limit) const;

    // The RFCs that replaced the RFC, step by step to those that stand now:
    // for RFC 2616, {7230, ..., 7235}, then {9110, 9111, 9112}. Empty when
    // nothing obsoletes it.
    QList<QList<int>> successors(int rfc) const;

    // "RFC 9293 Transmission Control Protocol (TCP)"; empty for an unknown RFC.
    QString completionText(int rfc) const;
    // "RFC 9293: Transmission Control Protocol (TCP), Internet Standard,
    // August 2022"; empty for an unknown RFC.
    QString toolTip(int rfc) const;

private:
    friend class RfcIndexReader;

    // Sorted by number.
    QList<RfcEntry> m_entries;
    QHash<int, QList<int>> m_bcps;
    QHash<int, QList<int>> m_stds;
    QString m_error;
};

// "INTERNET STANDARD" as "Internet Standard".
QString statusInTitleCase(QStringView status);

// "RFC 7230–7235, RFC 7240": runs of consecutive numbers joined.
QString rfcRanges(QList<int> rfcs);
