#pragma once

#include "errata.h"
#include "erratumplacement.h"

#include <QWidget>

class QCheckBox;
class QPushButton;
class QTextBrowser;
class QTreeWidget;

// An erratum of the open document and the line it corrects.
struct PlacedErratum
{
    Erratum erratum;
    Placement placement;
};

// The Errata tab beside a document's index: its errata (id, status, type,
// section, date, line), the chosen one's original and corrected text as a
// word-level difference, its notes, and its corrected text to copy.
// Reported and rejected errata show only when the switch says so.
class ErrataPanel : public QWidget
{
    Q_OBJECT

public:
    explicit ErrataPanel(QWidget *parent = nullptr);

    // Whether an erratum of this status is listed without the switch.
    static bool isStanding(Erratum::Status status);

    void setErrata(QList<PlacedErratum> errata);
    void setShowAll(bool all);
    // Every erratum given, placed, whether listed or not.
    const QList<PlacedErratum> &errata() const { return m_errata; }
    // The errata listed now, in list order.
    QList<PlacedErratum> listed() const;
    // Chooses the listed erratum at row, as a click does.
    void choose(int row);

    QTreeWidget *list() const { return m_list; }
    QTextBrowser *details() const { return m_details; }

signals:
    // A placed erratum was chosen; line counted from 1.
    void lineChosen(int line);
    void showAllChanged(bool all);

private:
    void fill();
    void showDetails(const PlacedErratum &placed);

    QCheckBox *m_showAll;
    QTreeWidget *m_list;
    QTextBrowser *m_details;
    QPushButton *m_copy;
    QList<PlacedErratum> m_errata;
    QList<PlacedErratum> m_listed;
};
