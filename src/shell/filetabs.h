#pragma once

#include <QObject>

class DocumentManager;
class DocumentWindow;
class QTabBar;
class QWidget;

// The strip of open-files tabs above the documents: a tab for each open
// document, in opening order, the one in front marked.
class FileTabs : public QObject
{
    Q_OBJECT

public:
    explicit FileTabs(DocumentManager &documents, QObject *parent = nullptr);

    QWidget *panel() const { return m_panel; }
    QTabBar *tabs() const { return m_tabs; }
    // The strip shows while documents are open, unless the user turned it off.
    void setWanted(bool wanted);
    bool isWanted() const { return m_wanted; }

    // The tab of a document window, or -1.
    int tabOf(const DocumentWindow *window) const;
    DocumentWindow *windowAt(int tab) const;
    void setToolTip(const DocumentWindow *window, const QString &text);
    // The tabs' images drawn for the application's palette.
    void refreshImages();

private:
    void add(DocumentWindow *window);
    void follow(DocumentWindow *window);
    void remove(DocumentWindow *window);
    void showDocument(int tab);

    DocumentManager &m_documents;
    QWidget *m_panel;
    QTabBar *m_tabs;
    bool m_wanted = true;
};
