#include "documentcitations.h"

#include "linkfinder.h"

#include <QHash>

#include <algorithm>

namespace {

using Kind = DocumentCitation::Kind;

Kind kindOf(ReferenceEntry::Group group)
{
    switch (group) {
    case ReferenceEntry::Group::Normative:
        return Kind::Normative;
    case ReferenceEntry::Group::Informative:
        return Kind::Informative;
    case ReferenceEntry::Group::Unknown:
        break;
    }
    return Kind::Unknown;
}

// What a link cites, as stored: "RFC793", "draft-ietf-x-y"; empty when it
// cites no other document.
QString citedBy(const Link &link, const QHash<QString, const ReferenceEntry *> &entries, Kind *kind,
                const QHash<QString, Kind> &listed)
{
    const LinkTarget &target = link.target;
    switch (target.kind) {
    case LinkTarget::Kind::Reference: {
        const ReferenceEntry *entry = entries.value(target.reference);
        if (!entry || entry->document.isEmpty())
            return {};
        *kind = kindOf(entry->group);
        return entry->document;
    }
    case LinkTarget::Kind::Rfc:
    case LinkTarget::Kind::RfcSection:
        *kind = listed.value(target.document, Kind::Unknown);
        return target.document;
    case LinkTarget::Kind::Draft: {
        const std::optional<DocumentName> name = DocumentName::parse(target.document);
        *kind = Kind::Unknown;
        return name ? name->draftName() : QString();
    }
    case LinkTarget::Kind::Section:
    case LinkTarget::Kind::Url:
        break;
    }
    return {};
}

} // namespace

std::vector<DocumentCitation> documentCitations(QStringView text, const Outline &outline,
                                                const std::optional<DocumentName> &self)
{
    const DocumentLinks found = findDocumentLinks(text);
    QHash<QString, const ReferenceEntry *> entries;
    // An RFC's kind where its own entry lists it; the first entry wins.
    QHash<QString, Kind> listed;
    for (const ReferenceEntry &entry : found.references) {
        entries.insert(entry.tag, &entry);
        if (!entry.document.isEmpty() && !listed.contains(entry.document))
            listed.insert(entry.document, kindOf(entry.group));
    }
    const QString own = self ? citationKey(*self) : QString();
    std::vector<qint32> lineStarts{0};
    for (qsizetype at = text.indexOf(u'\n'); at >= 0; at = text.indexOf(u'\n', at + 1))
        lineStarts.push_back(qint32(at + 1));

    std::vector<DocumentCitation> citations;
    for (const Link &link : found.links) {
        Kind kind = Kind::Unknown;
        const QString cited = citedBy(link, entries, &kind, listed);
        if (cited.isEmpty() || cited == own)
            continue;
        const int line = int(std::upper_bound(lineStarts.begin(), lineStarts.end(), link.start) - lineStarts.begin());
        // A line that names the document twice cites it once.
        if (!citations.empty() && citations.back().cited == cited && citations.back().line == line)
            continue;
        const int heading = outline.headingAtLine(line);
        citations.push_back({cited, line, heading >= 0 ? outline.headings[size_t(heading)].number : QString(), kind});
    }
    return citations;
}

QString citationKey(const DocumentName &name)
{
    return name.kind() == DocumentName::Kind::Draft ? name.draftName() : QStringLiteral("RFC%1").arg(name.number());
}

QString kindName(DocumentCitation::Kind kind)
{
    switch (kind) {
    case Kind::Normative:
        return QStringLiteral("normative");
    case Kind::Informative:
        return QStringLiteral("informative");
    case Kind::Unknown:
        break;
    }
    return QStringLiteral("unknown");
}
