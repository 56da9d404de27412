#pragma once

#include "errata.h"

#include <QFutureWatcher>
#include <QObject>
#include <QString>
#include <QUrl>

#include <optional>

class DailyDownload;

// The RFC Editor's errata list, kept in the library folder and fetched anew
// when a day old. The file is read on a worker thread; a fetched copy
// replaces the stored one only once it read as a list of errata.
class ErrataSource : public QObject
{
    Q_OBJECT

public:
    static constexpr QStringView DefaultUrl = u"https://www.rfc-editor.org/errata.json";
    static constexpr QStringView FileName = u"errata.json";

    explicit ErrataSource(QObject *parent = nullptr);
    // Waits for a parse still running.
    ~ErrataSource() override;

    void setUrl(const QUrl &url);
    // Where errata.json is kept (the library folder); before the first load.
    void setFolder(const QString &folder);
    // Loads the stored copy (parsed on a worker thread) once, and fetches a
    // new copy when a day old.
    void refresh();
    // Loads the stored copy once, fetching nothing.
    void loadStored();
    bool isLoaded() const { return m_loaded; }
    // The errata of one RFC, in id order; empty while nothing is loaded.
    QList<Erratum> errataOf(int rfc) const;

signals:
    // A new list is in use.
    void errataChanged();
    // A fetch failed or the stored file could not be read; the last good
    // list stays.
    void failed(const QString &message);

private:
    struct Parsed
    {
        ErrataList list;
        QString error;
        // Read, but not a list of errata; a file that could not be read at all may be fine.
        bool damaged = false;
    };
    struct Parse
    {
        QString path;
        bool fetched = false;
    };

    static Parsed parseFile(const QString &path);
    void parse(const Parse &job);
    void onParsed();

    DailyDownload *m_download;
    QString m_folder;
    ErrataList m_list;
    bool m_loaded = false;
    bool m_storedRequested = false;
    QFutureWatcher<Parsed> m_watcher;
    // One file is parsed at a time: a fetched copy arriving while the stored
    // one is read waits its turn, so neither result is lost.
    std::optional<Parse> m_running;
    std::optional<Parse> m_waiting;
};
