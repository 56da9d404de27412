#include "findcontroller.h"

#include "commandset.h"
#include "documentmanager.h"
#include "findbar.h"
#include "finddialog.h"
#include "textview.h"

FindController::FindController(CommandSet &commands, DocumentManager &documents, QWidget &window)
    : QObject(&window)
    , m_documents(documents)
    , m_findBar(new FindBar)
    , m_findDialog(new FindDialog(&window))
{
    m_findBar->hide();
    connect(m_findDialog, &FindDialog::find, this, &FindController::findFromDialog);
    commands.onTriggered(Command::SearchFind, this, &FindController::showDialog);
    commands.onTriggered(Command::SearchFindNext, this, [this] { repeatSearch(true); });
    commands.onTriggered(Command::SearchFindPrevious, this, [this] { repeatSearch(false); });
    commands.onTriggered(Command::SearchFindAsYouType, this, &FindController::openFindBar);
    connect(m_findBar, &FindBar::searchChanged, this, &FindController::searchFromFindBar);
    connect(m_findBar, &FindBar::nextRequested, this, [this] { repeatSearch(true); });
    connect(m_findBar, &FindBar::previousRequested, this, [this] { repeatSearch(false); });
    connect(m_findBar, &FindBar::closed, this, &FindController::closeFindBar);
    connect(&documents, &DocumentManager::opened, this, [this](DocumentWindow *document) {
        connect(document->textView(), &TextView::findRequested, this, &FindController::openFindBar);
    });
}

void FindController::showDialog()
{
    if (!m_documents.activeText())
        return;
    m_findDialog->show();
    m_findDialog->raise();
    m_findDialog->activateWindow();
}

void FindController::findFromDialog()
{
    m_lastSearch = {SearchSource::Dialog, m_findDialog->text(),
                    {m_findDialog->matchCase(), m_findDialog->wholeWord()}};
    // The dialog can outlive the last document.
    if (SearchableText *text = m_documents.activeText())
        text->search(m_lastSearch.text, m_lastSearch.options);
}

void FindController::openFindBar()
{
    SearchableText *text = m_documents.activeText();
    if (!text)
        return;
    TextView *view = text->searchedView();
    view->prepareSearch();
    m_findAnchor = view->selectionStart();
    m_searchBeforeBar = m_lastSearch;
    const QString selected = view->selectedText();
    m_findBar->open(selected.contains(u'\n') ? QString() : selected);
    searchFromFindBar();
}

void FindController::searchFromFindBar()
{
    SearchableText *text = m_documents.activeText();
    if (!text || m_findBar->isHidden())
        return;
    const LastSearch typed{SearchSource::FindBar, m_findBar->text(), m_findBar->options()};
    m_lastSearch = typed.text.isEmpty() ? m_searchBeforeBar : typed;
    showMatch(text->findMatch(typed.text, typed.options, m_findAnchor, true), typed.text);
    text->markMatches(typed.text, typed.options);
}

void FindController::repeatSearch(bool forward)
{
    SearchableText *text = m_documents.activeText();
    if (!text)
        return;
    // The dialog's own way of going on: each document its own last search.
    if (forward && m_lastSearch.source == SearchSource::Dialog) {
        text->searchAgain();
        return;
    }
    if (m_lastSearch.text.isEmpty())
        return;
    const TextView *view = text->searchedView();
    const qint32 from = forward ? view->selectionStart() + 1 : view->selectionStart();
    showMatch(text->findMatch(m_lastSearch.text, m_lastSearch.options, from, forward), m_lastSearch.text);
}

void FindController::showMatch(const SearchableText::MatchResult &result, const QString &text)
{
    if (!m_findBar->isHidden())
        m_findBar->showResult(result.index, result.count, result.wrapped);
    if (result.index < 0 && !text.isEmpty())
        emit message(QStringLiteral("Not found: %1").arg(text), 5000);
    else if (result.wrapped)
        emit message(QStringLiteral("Search wrapped"), 3000);
    else
        emit message(QString(), 0);
}

void FindController::closeFindBar()
{
    if (SearchableText *text = m_documents.activeText()) {
        text->markMatches(QString(), {});
        text->searchedView()->setFocus();
    }
}
