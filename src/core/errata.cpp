#include "errata.h"

#include "documentname.h"
#include "textchars.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>
#include <array>
#include <optional>

namespace {

struct StatusWord
{
    QStringView word;
    Erratum::Status status;
};

constexpr std::array<StatusWord, 4> StatusWords = {{
    {u"Verified", Erratum::Status::Verified},
    {u"Held for Document Update", Erratum::Status::HeldForDocumentUpdate},
    {u"Reported", Erratum::Status::Reported},
    {u"Rejected", Erratum::Status::Rejected},
}};

// Reads the fields of one entry, noting whether any was missing.
class EntryReader
{
public:
    explicit EntryReader(const QJsonObject &entry) : m_entry(entry) {}

    bool ok() const { return m_ok; }

    // The list's text fields end their lines with CR LF.
    QString text(QStringView key)
    {
        const QJsonValue value = m_entry.value(key);
        if (!value.isString()) {
            m_ok = false;
            return {};
        }
        QString text = value.toString();
        text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        return text;
    }

    // A field that is null while nobody has filled it in.
    QString optionalText(QStringView key)
    {
        const QJsonValue value = m_entry.value(key);
        return value.isNull() || value.isUndefined() ? QString() : text(key);
    }

private:
    const QJsonObject &m_entry;
    bool m_ok = true;
};

int positiveNumber(QStringView digits)
{
    if (digits.isEmpty() || digits.size() > 9 || !std::all_of(digits.begin(), digits.end(), TextChars::isDigit))
        return 0;
    return digits.toInt();
}

std::optional<Erratum> readErratum(const QJsonObject &entry)
{
    EntryReader read(entry);
    Erratum erratum;
    erratum.id = positiveNumber(read.text(u"errata_id"));
    const std::optional<DocumentName> document = DocumentName::parse(read.text(u"doc-id"));
    const QString status = read.text(u"errata_status_code");
    erratum.type = read.text(u"errata_type_code");
    erratum.section = read.text(u"section");
    erratum.original = read.text(u"orig_text");
    erratum.corrected = read.text(u"correct_text");
    erratum.notes = read.text(u"notes");
    erratum.submitted = read.text(u"submit_date");
    erratum.submitter = read.text(u"submitter_name");
    erratum.verifier = read.optionalText(u"verifier_name");
    erratum.updated = read.optionalText(u"update_date");
    const auto statusWord = std::find_if(StatusWords.begin(), StatusWords.end(),
                                         [&status](const StatusWord &s) { return s.word == status; });
    if (!read.ok() || erratum.id == 0 || !document || document->kind() != DocumentName::Kind::Rfc
        || statusWord == StatusWords.end())
        return std::nullopt;
    erratum.rfc = document->number();
    erratum.status = statusWord->status;
    return erratum;
}

bool byRfcThenId(const Erratum &a, const Erratum &b)
{
    return a.rfc != b.rfc ? a.rfc < b.rfc : a.id < b.id;
}

} // namespace

QString statusName(Erratum::Status status)
{
    const auto found = std::find_if(StatusWords.begin(), StatusWords.end(),
                                    [status](const StatusWord &s) { return s.status == status; });
    return found->word.toString();
}

ErrataList ErrataList::parse(const QByteArray &json, QString *error)
{
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(json, &parseError);
    QString why;
    if (document.isNull())
        why = QStringLiteral("not valid JSON at byte %1: %2").arg(parseError.offset).arg(parseError.errorString());
    else if (!document.isArray())
        why = QStringLiteral("not a list of errata");
    if (error)
        *error = why;
    ErrataList list;
    if (!why.isEmpty())
        return list;

    const QJsonArray entries = document.array();
    list.m_errata.reserve(size_t(entries.size()));
    for (const QJsonValue &entry : entries) {
        if (std::optional<Erratum> erratum = readErratum(entry.toObject()))
            list.m_errata.push_back(std::move(*erratum));
    }
    std::sort(list.m_errata.begin(), list.m_errata.end(), byRfcThenId);
    return list;
}

QList<Erratum> ErrataList::errataOf(int rfc) const
{
    Erratum key;
    key.rfc = rfc;
    const auto [first, last] = std::equal_range(m_errata.begin(), m_errata.end(), key,
                                                [](const Erratum &a, const Erratum &b) { return a.rfc < b.rfc; });
    return QList<Erratum>(first, last);
}
