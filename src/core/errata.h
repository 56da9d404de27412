#pragma once

#include <QList>
#include <QString>

#include <vector>

class QByteArray;

// One report of an error in a published RFC, as the RFC Editor lists it.
// Text fields have "\n" line ends.
struct Erratum
{
    enum class Status { Verified, HeldForDocumentUpdate, Reported, Rejected };

    int id = 0;
    int rfc = 0;
    Status status = Status::Reported;
    QString type;      // "Technical", "Editorial"
    QString section;   // as the submitter wrote it: "5.2", "Appendix B", "GLOBAL", "3.2 and 4.1"
    QString original;  // the text the erratum corrects, copied from the RFC
    QString corrected;
    QString notes;
    QString submitted; // "2007-07-19"
    QString submitter;
    QString verifier;  // empty when nobody has verified it
    QString updated;   // "2019-09-10 16:09:03", or empty
};

// "Verified", "Held for Document Update", "Reported", "Rejected": the RFC
// Editor's words.
QString statusName(Erratum::Status status);

// All errata of the RFC Editor's list (errata.json), indexed by RFC. Built
// once, then only read: safe to share between threads.
class ErrataList
{
public:
    // An entry lacking a field, or with an id, document or status that does
    // not read, is left out. Invalid JSON, or JSON other than an array, gives
    // an empty list and says why in *error (which may be null); *error is
    // cleared otherwise.
    static ErrataList parse(const QByteArray &json, QString *error);

    // The errata of RFC rfc, by id.
    QList<Erratum> errataOf(int rfc) const;

    qsizetype size() const { return qsizetype(m_errata.size()); }
    bool isEmpty() const { return m_errata.empty(); }

private:
    std::vector<Erratum> m_errata; // by RFC, then id
};
