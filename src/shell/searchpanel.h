#pragma once

#include "searchhit.h"

#include <QDockWidget>

class QLabel;
class QLineEdit;
class QListWidget;
class QRadioButton;

// The Search Library panel beside the documents: one query field, where to
// look, and the best passages found. Return runs the query and selects the
// first hit; Down and Up move the selection while the field keeps the
// focus; Return again, with the query unchanged, or a double click opens it
// (with no hit shown, Return runs the query again).
class SearchPanel : public QDockWidget
{
    Q_OBJECT

public:
    enum class Scope { Library, OpenDocuments };

    explicit SearchPanel(QWidget *parent = nullptr);

    // Shows the panel with the focus in the field and its text selected.
    void activate();

    QLineEdit *queryField() const { return m_query; }
    QListWidget *hitList() const { return m_hits; }
    // How many passages match, or why the query was refused.
    QLabel *summary() const { return m_summary; }
    Scope scope() const;
    void setScope(Scope scope);

    // Hits of the query last asked for; the selection stays on the same hit
    // when more come.
    void showHits(const QList<SearchHit> &hits, int total, bool complete);
    void showRejection(const QString &explanation);

signals:
    void searchRequested(const QString &query, SearchPanel::Scope scope);
    void hitChosen(const SearchHit &hit);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void run();
    void returnPressed();
    void openCurrent();

    QLineEdit *m_query;
    QRadioButton *m_library;
    QRadioButton *m_openDocuments;
    QLabel *m_summary;
    QListWidget *m_hits;
    QList<SearchHit> m_shown;
    // What the hits are of: Return with the same query opens instead.
    QString m_ranQuery;
    Scope m_ranScope = Scope::Library;
    bool m_waiting = false;
    bool m_placed = false;
};
