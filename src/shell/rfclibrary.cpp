#include "rfclibrary.h"

#include "documentname.h"
#include "erratasource.h"
#include "settingnames.h"
#include "librarylocator.h"
#include "userfolders.h"
#include "usersettings.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>

namespace {

const QString FolderValue = QLatin1String(SettingNames::LibraryFolder);
const QString ExtraValue = QLatin1String(SettingNames::LibraryExtraFolders);
const QString RfcBaseValue = QLatin1String(SettingNames::RfcBaseUrl);
const QString DraftBaseValue = QLatin1String(SettingNames::DraftBaseUrl);
const QString IndexValue = QLatin1String(SettingNames::IndexUrl);
const QString ErrataValue = QLatin1String(SettingNames::ErrataUrl);
const QString FetchOnFollowValue = QLatin1String(SettingNames::FetchOnFollow);

// "RFC 7230, RFC 7231"
QString rfcList(const QList<int> &numbers)
{
    QStringList names;
    for (int number : numbers)
        names << QStringLiteral("RFC %1").arg(number);
    return names.join(QStringLiteral(", "));
}

QString defaultLibraryFolder()
{
    return folivaneFolder(UserFolder::Data) + QStringLiteral("/library/");
}

QUrl urlValue(const UserSettings &store, const QString &name, QStringView fallback)
{
    const QUrl url(store.readString(SettingsKeyPath, name).value_or(QString()));
    return url.isValid() && !url.isRelative() ? url : QUrl(fallback.toString());
}

} // namespace

LibrarySettings LibrarySettings::read(const UserSettings &store)
{
    LibrarySettings settings;
    settings.folder = store.readString(SettingsKeyPath, FolderValue).value_or(QString());
    if (settings.folder.isEmpty())
        settings.folder = defaultLibraryFolder();
    settings.extraFolders =
        store.readString(SettingsKeyPath, ExtraValue).value_or(QString()).split(u':', Qt::SkipEmptyParts);
    settings.rfcBaseUrl = urlValue(store, RfcBaseValue, DocumentFetcher::DefaultRfcBaseUrl);
    settings.draftBaseUrl = urlValue(store, DraftBaseValue, DocumentFetcher::DefaultDraftBaseUrl);
    settings.indexUrl = urlValue(store, IndexValue, RfcLibrary::DefaultIndexUrl);
    settings.errataUrl = urlValue(store, ErrataValue, ErrataSource::DefaultUrl);
    settings.fetchOnFollow =
        store.readInteger(SettingsKeyPath, FetchOnFollowValue).value_or(SettingNames::DefaultFetchOnFollow) != 0;
    return settings;
}

bool LibrarySettings::write(UserSettings &store) const
{
    return store.writeString(SettingsKeyPath, FolderValue, folder)
           && store.writeString(SettingsKeyPath, ExtraValue, extraFolders.join(u':'))
           && store.writeString(SettingsKeyPath, RfcBaseValue, rfcBaseUrl.toString())
           && store.writeString(SettingsKeyPath, DraftBaseValue, draftBaseUrl.toString())
           && store.writeString(SettingsKeyPath, IndexValue, indexUrl.toString())
           && store.writeString(SettingsKeyPath, ErrataValue, errataUrl.toString())
           && store.writeInteger(SettingsKeyPath, FetchOnFollowValue, fetchOnFollow ? 1 : 0);
}

RfcLibrary::RfcLibrary(LibrarySettings settings, QObject *parent)
    : QObject(parent)
    , m_settings(std::move(settings))
{
    m_fetcher.setRfcBaseUrl(m_settings.rfcBaseUrl);
    m_fetcher.setDraftBaseUrl(m_settings.draftBaseUrl);
    m_indexDownload.setUrl(m_settings.indexUrl);
    connect(&m_fetcher, &DocumentFetcher::progress, this, &RfcLibrary::fetchProgress);
    connect(&m_fetcher, &DocumentFetcher::finished, this, [this](const QString &path) {
        const QString section = m_fetching ? m_fetching->section : QString();
        const AfterFetch after = m_fetching ? m_fetching->after : AfterFetch::Open;
        m_fetching.reset();
        emit fetched(path, section, after);
        fetchNext();
    });
    connect(&m_fetcher, &DocumentFetcher::failed, this, [this](const QString &text) {
        m_fetching.reset();
        emit fetchFailed(text);
        fetchNext();
    });
    connect(&m_indexDownload, &DailyDownload::updated, this, &RfcLibrary::loadIndex);
    connect(&m_indexLoad, &QFutureWatcher<RfcIndex>::finished, this, [this] {
        if (m_indexLoad.isCanceled() || m_indexLoad.future().resultCount() == 0)
            return;
        m_index = m_indexLoad.result();
        emit indexChanged();
    });
}

RfcLibrary::~RfcLibrary()
{
    m_indexLoad.cancel();
    m_indexLoad.waitForFinished();
}

QString RfcLibrary::find(const DocumentName &name, const QString &citingFolder) const
{
    return LibraryLocator(QStringList{m_settings.folder} + m_settings.extraFolders + QStringList{citingFolder})
        .find(name);
}

void RfcLibrary::open(const QString &text)
{
    refreshIndex();
    if (const std::optional<DocumentName> name = DocumentName::parse(text)) {
        if (name->kind() == DocumentName::Kind::Bcp || name->kind() == DocumentName::Kind::Std) {
            const QList<int> rfcs = m_index.rfcsOf(*name);
            if (rfcs.isEmpty())
                emit message(m_index.isEmpty()
                                 ? QStringLiteral("%1 cannot be looked up: the RFC index is not here yet")
                                       .arg(name->displayName())
                                 : QStringLiteral("%1 is not in the RFC index").arg(name->displayName()));
            for (int rfc : rfcs)
                emit documentRequested(DocumentName::rfc(rfc));
            return;
        }
        emit documentRequested(*name);
        return;
    }
    // A completion ("RFC 9293 Transmission ..."), a number no RFC has ("0",
    // "RFC 0"), or words of a title.
    if (const QString digits = DocumentName::leadingRfcDigits(text); !digits.isEmpty()) {
        if (const std::optional<DocumentName> name = DocumentName::parse(QStringLiteral("RFC ") + digits))
            emit documentRequested(*name);
        else
            emit message(QStringLiteral("%1 is not an RFC number").arg(digits));
        return;
    }
    const QList<int> found = m_index.search(text, 1);
    if (found.isEmpty()) {
        emit message(QStringLiteral("No RFC is named \"%1\"").arg(text));
        return;
    }
    emit documentRequested(DocumentName::rfc(found.first()));
}

void RfcLibrary::fetch(const DocumentName &name, const QString &section, AfterFetch after)
{
    if (name.kind() == DocumentName::Kind::Draft && !name.hasRevision()) {
        emit message(QStringLiteral("%1 is not in the library: give its revision, as in %1-00")
                         .arg(name.displayName()));
        return;
    }
    // Asked again while it comes: it is fetched once.
    const auto isName = [&name](const FetchRequest &request) { return request.name == name; };
    if ((m_fetching && isName(*m_fetching)) || std::any_of(m_toFetch.cbegin(), m_toFetch.cend(), isName))
        return;
    m_toFetch.enqueue({name, section, after});
    if (!m_fetcher.isRunning())
        fetchNext();
}

void RfcLibrary::fetchNext()
{
    while (!m_toFetch.isEmpty()) {
        const FetchRequest request = m_toFetch.dequeue();
        if (m_fetcher.fetch(request.name, m_settings.folder)) {
            m_fetching = request;
            emit fetchStarted(request.name.displayName());
            return;
        }
    }
    emit fetchEnded();
}

void RfcLibrary::cancelFetch()
{
    m_toFetch.clear();
    m_fetching.reset();
    m_fetcher.cancel();
    emit fetchEnded();
    emit message(QStringLiteral("Fetching cancelled"));
}

void RfcLibrary::refreshIndex()
{
    loadStoredIndex();
    m_indexDownload.updateIfDue(m_settings.folder);
}

void RfcLibrary::loadStoredIndex()
{
    if (!m_indexLoaded) {
        m_indexLoaded = true;
        loadIndex();
    }
}

void RfcLibrary::loadIndex()
{
    const QString path = m_indexDownload.path(m_settings.folder);
    if (!QFileInfo(path).isFile())
        return;
    m_indexLoad.cancel();
    m_indexLoad.setFuture(RfcIndex::loadAsync(path));
}

QString RfcLibrary::card(const DocumentName &name, const QString &section, const QString &localCopy) const
{
    QStringList lines;
    if (!section.isEmpty())
        lines << QStringLiteral("%1 %2 of %3")
                     .arg(section.front().isLetter() ? QStringLiteral("Appendix") : QStringLiteral("Section"), section,
                          name.displayName());
    const RfcEntry *entry = name.kind() == DocumentName::Kind::Rfc ? m_index.entry(name.number()) : nullptr;
    if (entry) {
        lines << m_index.toolTip(name.number());
        if (!entry->obsoletedBy.isEmpty())
            lines << QStringLiteral("Obsoleted by %1").arg(rfcList(entry->obsoletedBy));
    } else if (section.isEmpty()) {
        lines << name.displayName();
    }
    if (!localCopy.isEmpty())
        lines << QStringLiteral("Here: %1").arg(QDir::toNativeSeparators(localCopy));
    else if (m_settings.fetchOnFollow)
        lines << QStringLiteral("Not on this machine: following the link fetches it");
    else
        lines << QStringLiteral("Not on this machine: Open RFC (Ctrl+Shift+O) fetches it");
    return lines.join(u'\n');
}

QStringList RfcLibrary::completions() const
{
    // Current RFCs first: an obsoleted one is rarely the one wanted.
    QStringList current;
    QStringList obsoleted;
    current.reserve(m_index.size());
    for (const RfcEntry &entry : m_index.entries()) {
        const QString text = m_index.completionText(entry.number);
        if (entry.obsoletedBy.isEmpty()) {
            current << text;
            continue;
        }
        obsoleted << QStringLiteral("%1 (obsoleted by %2)").arg(text, rfcList(entry.obsoletedBy));
    }
    return current + obsoleted;
}

int RfcLibrary::rfcNumberOf(const QString &path)
{
    const std::optional<DocumentName> name = DocumentName::parse(QFileInfo(path).fileName());
    return name && name->kind() == DocumentName::Kind::Rfc ? name->number() : 0;
}
