#pragma once

#include "citationindex.h"

#include <QWidget>

class QTreeWidget;

// The "Referenced by" tab of an RFC: the library documents that cite it,
// grouped normative, informative and other, each with the places it cites
// from ("Section 3.2, line 120"). A document cites normatively when any of
// its citations does.
class CitedByPanel : public QWidget
{
    Q_OBJECT

public:
    explicit CitedByPanel(QWidget *parent = nullptr);

    void setPlaces(const std::vector<CitingPlace> &places);
    QTreeWidget *tree() const { return m_tree; }

    // How many documents cite, and how many of them normatively.
    int citingDocuments() const { return m_documents; }
    int normativeDocuments() const { return m_normative; }

signals:
    // A citing place was chosen; line counted from 1.
    void placeChosen(const QString &path, int line);

private:
    QTreeWidget *m_tree;
    int m_documents = 0;
    int m_normative = 0;
};
