#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>

#include <optional>

// A document of the RFC series as a user names it: an RFC, a BCP or an STD
// by number, or an Internet-Draft by name with or without its revision.
// Only names that pass parse() are ever turned into file names or addresses,
// so none of them can hold a path separator, "..", or anything non-ASCII.
class DocumentName
{
public:
    enum class Kind { Rfc, Bcp, Std, Draft };

    static constexpr int MaxNumberDigits = 5;
    static constexpr qsizetype MaxDraftNameLength = 100;
    static constexpr int NoRevision = -1;

    // Accepts "9293", "RFC 9293", "rfc9293", "RFC9293.txt", "BCP 14", "bcp14",
    // "STD 7", "std7", "draft-ietf-quic-transport-34" and
    // "draft-ietf-quic-transport" (any letter case, surrounding blanks and a
    // trailing ".txt" ignored); nothing else.
    static std::optional<DocumentName> parse(QStringView text);
    // The digits of an RFC number that text begins with where parse() may
    // refuse the whole: "RFC 9293 Transmission Control Protocol (TCP)" (a
    // completion), "RFC 0", "123456 "; empty when text begins otherwise.
    // What the digits name is still for parse() to say.
    static QString leadingRfcDigits(QStringView text);

    // The document a file holds: the name its file name gives ("rfc9293.txt",
    // "draft-ietf-quic-transport-34.txt"; a bare number is no name here),
    // else the one its first page states ("Request for Comments: 9293",
    // "RFC 768" opening the text, or a draft's name on a line of its own).
    static std::optional<DocumentName> ofFile(QStringView fileName, QStringView text);

    // An RFC by number (1 to 99999), as the RFC index names them.
    static DocumentName rfc(int number);

    Kind kind() const { return m_kind; }
    // The RFC, BCP or STD number; 0 for a draft.
    int number() const { return m_number; }
    // The draft's name without revision, in lower case ("draft-ietf-quic-transport").
    QString draftName() const { return m_draftName; }
    // The draft's two-digit revision, or NoRevision.
    int revision() const { return m_revision; }
    bool hasRevision() const { return m_revision != NoRevision; }
    DocumentName withRevision(int revision) const;

    // "RFC 9293", "BCP 14", "STD 7", "draft-ietf-quic-transport-34".
    QString displayName() const;
    // The names a local copy may have, preferred first ("rfc793.txt",
    // "rfc0793.txt"); empty for a BCP, an STD or a draft without revision.
    QStringList localFileNames() const;
    // The file name on the server and in the library; empty when the
    // document cannot be fetched as such (a BCP, an STD, a draft without revision).
    QString downloadFileName() const;

    // Whether a link to this name reaches the document named other: the
    // same name, or a draft without revision and any revision of that draft.
    bool reaches(const DocumentName &other) const;

    friend bool operator==(const DocumentName &, const DocumentName &) = default;

private:
    DocumentName(Kind kind, int number, QString draftName, int revision);

    Kind m_kind = Kind::Rfc;
    int m_number = 0;
    QString m_draftName;
    int m_revision = NoRevision;
};
