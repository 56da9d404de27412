// folivane-library: the library from a terminal. It brings the library's
// index up to date, then searches it, says who cites what, lists it or
// fetches documents into it, with the reader's own library code.

#include "citation.h"
#include "citationindex.h"
#include "documentfetcher.h"
#include "documentname.h"
#include "librarysearch.h"
#include "regfilesettings.h"
#include "rfclibrary.h"
#include "userfolders.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QEventLoop>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTextStream>

#include <unistd.h>

namespace {

enum Exit { Found = 0, NothingFound = 1, Failed = 2 };

const char Usage[] =
    "usage: folivane-library [--library DIR]... COMMAND\n"
    "  search QUERY     passages that match, best first: file:line: citation: snippet\n"
    "  cited-by N       where the library cites RFC N (or a draft): file, section, line, kind\n"
    "  cites N          what RFC N (or a draft) of the library cites: document, section, line, kind\n"
    "  list             the documents of the library: file and name\n"
    "  fetch N...       fetches RFCs or drafts into the library folder\n"
    "--library DIR replaces the configured library folders (repeatable).\n";

struct Library
{
    QStringList folders;
    QString fetchFolder;
    QString indexPath;
    LibrarySettings settings;
};

Library libraryOf(const QStringList &given)
{
    RegFileSettings store(RegFileSettings::defaultFilePath());
    Library library;
    library.settings = LibrarySettings::read(store);
    if (given.isEmpty()) {
        library.folders = QStringList{library.settings.folder} + library.settings.extraFolders;
        library.indexPath = LibrarySearch::defaultPath();
    } else {
        for (const QString &folder : given)
            library.folders << QFileInfo(folder).absoluteFilePath();
        // An index of its own: the reader's keeps the configured folders.
        const QByteArray key = QCryptographicHash::hash(library.folders.join(u'\n').toUtf8(), QCryptographicHash::Sha1);
        library.indexPath = folivaneFolder(UserFolder::Cache) + QStringLiteral("/library-%1.sqlite")
                                                                    .arg(QString::fromLatin1(key.toHex().left(16)));
    }
    library.fetchFolder = library.folders.value(0);
    return library;
}

// Brings the index up to date, with a progress line on a terminal.
void updateIndex(LibrarySearch &search, const QStringList &folders)
{
    QEventLoop loop;
    const bool terminal = isatty(STDERR_FILENO) && isatty(STDOUT_FILENO);
    QTextStream err(stderr);
    QObject::connect(&search, &LibrarySearch::indexProgress, &loop, [&](int done, int total) {
        if (terminal)
            err << "\rindexing " << done << " of " << total << Qt::flush;
    });
    QObject::connect(&search, &LibrarySearch::indexIdle, &loop, &QEventLoop::quit);
    search.updateFolders(folders);
    loop.exec();
    if (terminal)
        err << "\r\033[K" << Qt::flush;
}

QString plainSnippet(QString html)
{
    static const QRegularExpression tag(QStringLiteral("<[^>]*>"));
    html.remove(tag);
    return html.replace(QLatin1String("&lt;"), QLatin1String("<"))
        .replace(QLatin1String("&gt;"), QLatin1String(">"))
        .replace(QLatin1String("&quot;"), QLatin1String("\""))
        .replace(QLatin1String("&#39;"), QLatin1String("'"))
        .replace(QLatin1String("&amp;"), QLatin1String("&"));
}

int search(LibrarySearch &search, const QString &query, QTextStream &out, QTextStream &err)
{
    QEventLoop loop;
    QList<SearchHit> found;
    QString rejected;
    QObject::connect(&search, &LibrarySearch::hitsFound, &loop,
                     [&](const QList<SearchHit> &hits, int, bool complete) {
                         if (complete) {
                             found = hits;
                             loop.quit();
                         }
                     });
    QObject::connect(&search, &LibrarySearch::searchRejected, &loop, [&](const QString &why) {
        rejected = why;
        loop.quit();
    });
    search.search({query, std::nullopt, {}});
    loop.exec();
    if (!rejected.isEmpty()) {
        err << "folivane-library: " << rejected << '\n';
        return Failed;
    }
    for (const SearchHit &hit : found)
        out << hit.path << ':' << hit.line << ": " << citation(hit.path, hit.section) << ": "
            << plainSnippet(hit.snippet) << '\n';
    return found.isEmpty() ? NothingFound : Found;
}

std::optional<DocumentName> documentNamed(const QString &text)
{
    std::optional<DocumentName> name = DocumentName::parse(text);
    if (name && name->kind() != DocumentName::Kind::Rfc && name->kind() != DocumentName::Kind::Draft)
        return std::nullopt;
    return name;
}

void printPlaces(QTextStream &out, const std::vector<CitingPlace> &places, bool citing)
{
    for (const CitingPlace &place : places) {
        const std::optional<DocumentName> cited = DocumentName::parse(place.cited);
        out << (citing ? place.path : cited ? cited->displayName() : place.cited) << '\t' << place.section << '\t' << place.line << '\t'
            << kindName(place.kind) << '\n';
    }
}

// The library's file of a document, or empty.
QString fileOf(const DocumentName &name, const Library &library)
{
    for (const QString &folder : library.folders)
        for (const QString &fileName : name.localFileNames())
            if (const QFileInfo file(QDir(folder), fileName); file.isFile())
                return file.absoluteFilePath();
    return {};
}

int fetch(const QStringList &names, const Library &library, QTextStream &out, QTextStream &err)
{
    DocumentFetcher fetcher;
    fetcher.setRfcBaseUrl(library.settings.rfcBaseUrl);
    fetcher.setDraftBaseUrl(library.settings.draftBaseUrl);
    QDir().mkpath(library.fetchFolder);
    int result = Found;
    for (const QString &text : names) {
        const std::optional<DocumentName> name = documentNamed(text);
        if (!name || !fetcher.fetch(*name, library.fetchFolder)) {
            err << "folivane-library: " << text << " cannot be fetched: give an RFC number or a draft with its revision\n";
            result = Failed;
            continue;
        }
        QEventLoop loop;
        QObject::connect(&fetcher, &DocumentFetcher::finished, &loop, [&](const QString &path) {
            out << path << '\n';
            loop.quit();
        });
        QObject::connect(&fetcher, &DocumentFetcher::failed, &loop, [&](const QString &why) {
            err << "folivane-library: " << why << '\n';
            result = Failed;
            loop.quit();
        });
        loop.exec();
        fetcher.disconnect(&loop);
    }
    return result;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);
    QStringList args = QCoreApplication::arguments().mid(1);
    QStringList folders;
    for (qsizetype at = args.indexOf(QStringLiteral("--library")); at >= 0; at = args.indexOf(QStringLiteral("--library"))) {
        if (at + 1 >= args.size()) {
            err << Usage;
            return Failed;
        }
        folders << args.takeAt(at + 1);
        args.removeAt(at);
    }
    if (args.contains(QStringLiteral("--help")) || args.contains(QStringLiteral("-h"))) {
        out << Usage;
        return Found;
    }
    const QString command = args.value(0);
    const QStringList operands = args.mid(1);
    const bool known = (command == u"search" && operands.size() == 1) || (command == u"list" && operands.isEmpty())
                       || ((command == u"cited-by" || command == u"cites") && operands.size() == 1)
                       || (command == u"fetch" && !operands.isEmpty());
    if (!known) {
        err << Usage;
        return Failed;
    }
    for (const QString &folder : std::as_const(folders))
        if (!QFileInfo(folder).isDir()) {
            err << "folivane-library: " << folder << " is no folder\n";
            return Failed;
        }

    const Library library = libraryOf(folders);
    if (command == u"fetch")
        return fetch(operands, library, out, err);

    QDir().mkpath(QFileInfo(library.indexPath).absolutePath());
    LibrarySearch librarySearch(library.indexPath);
    QObject::connect(&librarySearch, &LibrarySearch::message, &app,
                     [&err](const QString &text) { err << "folivane-library: " << text << '\n'; });
    updateIndex(librarySearch, library.folders);
    if (command == u"search")
        return search(librarySearch, operands.first(), out, err);

    const CitationIndex citations(library.indexPath, nullptr, 5000);
    if (!citations.isOpen()) {
        err << "folivane-library: the library's index cannot be read: " << citations.errorString() << '\n';
        return Failed;
    }
    if (command == u"list") {
        const QStringList documents = citations.documents();
        for (const QString &path : documents) {
            const std::optional<DocumentName> name = DocumentName::ofFile(QFileInfo(path).fileName(), QString());
            out << path << '\t' << (name ? name->displayName() : QString()) << '\n';
        }
        return documents.isEmpty() ? NothingFound : Found;
    }
    const std::optional<DocumentName> name = documentNamed(operands.first());
    if (!name) {
        err << "folivane-library: " << operands.first() << " names no RFC or draft\n";
        return Failed;
    }
    std::vector<CitingPlace> places;
    if (command == u"cited-by") {
        places = citations.citedBy(citationKey(*name));
    } else {
        const QString file = fileOf(*name, library);
        if (file.isEmpty()) {
            err << "folivane-library: " << name->displayName() << " is not in the library\n";
            return Failed;
        }
        places = citations.citationsIn(file);
    }
    printPlaces(out, places, command == u"cited-by");
    return places.empty() ? NothingFound : Found;
}
