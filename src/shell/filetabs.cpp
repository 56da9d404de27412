#include "filetabs.h"

#include "documentmanager.h"
#include "documentwindow.h"
#include "menutext.h"
#include "imagelist.h"

#include <QSignalBlocker>
#include <QTabBar>
#include <QVBoxLayout>

namespace {

// The file-name part of a path: the text after its last separator.
QString fileNamePart(const QString &path)
{
    qsizetype cut = -1;
    for (const QChar separator : {u'\\', u'/'})
        cut = std::max(cut, path.lastIndexOf(separator));
    return path.mid(cut + 1);
}

} // namespace

FileTabs::FileTabs(DocumentManager &documents, QObject *parent)
    : QObject(parent)
    , m_documents(documents)
    , m_panel(new QWidget)
    , m_tabs(new QTabBar)
{
    auto *layout = new QVBoxLayout(m_panel);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_tabs);
    m_panel->setFixedHeight(29);
    m_panel->hide();
    m_tabs->setExpanding(false);
    m_tabs->setDocumentMode(true);
    connect(m_tabs, &QTabBar::tabBarClicked, this, &FileTabs::showDocument);
    // The wheel and the keys change the tab without a click; the program's
    // own changes block the signal.
    connect(m_tabs, &QTabBar::currentChanged, this, &FileTabs::showDocument);
    connect(&documents, &DocumentManager::opened, this, &FileTabs::add);
    connect(&documents, &DocumentManager::activeChanged, this, &FileTabs::follow);
    connect(&documents, &DocumentManager::closing, this, &FileTabs::remove);
}

void FileTabs::setWanted(bool wanted)
{
    m_wanted = wanted;
    if (m_documents.active())
        m_panel->setVisible(wanted);
}

void FileTabs::add(DocumentWindow *window)
{
    if (m_panel->isHidden() && m_wanted)
        m_panel->show();
    const QString name = literalMenuText(fileNamePart(window->documentPath()));
    const int index = m_tabs->addTab(ImageList::icon(ImageList::ActiveTab), name);
    m_tabs->setTabData(index, QVariant::fromValue(static_cast<QObject *>(window)));
    const QSignalBlocker programChange(m_tabs);
    m_tabs->setCurrentIndex(index);
    refreshImages();
}

int FileTabs::tabOf(const DocumentWindow *window) const
{
    for (int index = 0; index < m_tabs->count(); ++index)
        if (m_tabs->tabData(index).value<QObject *>() == window)
            return index;
    return -1;
}

DocumentWindow *FileTabs::windowAt(int tab) const
{
    return qobject_cast<DocumentWindow *>(m_tabs->tabData(tab).value<QObject *>());
}

void FileTabs::setToolTip(const DocumentWindow *window, const QString &text)
{
    if (const int tab = tabOf(window); tab >= 0)
        m_tabs->setTabToolTip(tab, text);
}

void FileTabs::refreshImages()
{
    for (int index = 0; index < m_tabs->count(); ++index)
        m_tabs->setTabIcon(index, ImageList::icon(index == m_tabs->currentIndex() ? ImageList::ActiveTab
                                                                                 : ImageList::OtherTab));
}

void FileTabs::showDocument(int tab)
{
    if (tab < 0)
        return;
    if (DocumentWindow *window = windowAt(tab))
        m_documents.activate(window);
}

void FileTabs::follow(DocumentWindow *window)
{
    const int index = tabOf(window);
    if (index < 0)
        return;
    const QSignalBlocker programChange(m_tabs);
    m_tabs->setCurrentIndex(index);
    refreshImages();
}

void FileTabs::remove(DocumentWindow *window)
{
    const int index = tabOf(window);
    if (index < 0)
        return;
    // The area picks the window to activate next, and the tab follows it.
    const QSignalBlocker programChange(m_tabs);
    m_tabs->removeTab(index);
    if (m_tabs->count() == 0)
        m_panel->hide();
    else
        refreshImages();
}
