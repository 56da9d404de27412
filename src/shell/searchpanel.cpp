#include "searchpanel.h"
#include "plaintooltip.h"

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QButtonGroup>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMainWindow>
#include <QPainter>
#include <QRadioButton>
#include <QStyledItemDelegate>
#include <QTextDocument>
#include <QVBoxLayout>

namespace {

// The hit's two lines as rich text, for the delegate.
constexpr int HtmlRole = Qt::UserRole + 1;

QString documentName(const SearchHit &hit)
{
    if (hit.document.rfc == 0)
        return QFileInfo(hit.path).fileName();
    const QString rfc = QStringLiteral("RFC %1").arg(hit.document.rfc);
    return hit.document.title.isEmpty() ? rfc : rfc + u' ' + hit.document.title;
}

QString placeOf(const SearchHit &hit)
{
    const QString line = QStringLiteral("line %1").arg(hit.line);
    if (hit.section.isEmpty())
        return line;
    return QStringLiteral("%1 %2, %3").arg(hit.section, hit.sectionTitle, line);
}

// Each hit in two lines of rich text: the document and the place, then the
// snippet with the matched words in bold.
class HitDelegate : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        QStyleOptionViewItem item = option;
        initStyleOption(&item, index);
        item.text.clear();
        const QWidget *widget = option.widget;
        QStyle *style = widget ? widget->style() : QApplication::style();
        style->drawControl(QStyle::CE_ItemViewItem, &item, painter, widget);

        QTextDocument text;
        text.setDocumentMargin(Margin);
        text.setDefaultFont(option.font);
        text.setHtml(index.data(HtmlRole).toString());
        QAbstractTextDocumentLayout::PaintContext context;
        const bool selected = option.state & QStyle::State_Selected;
        context.palette.setColor(QPalette::Text, option.palette.color(selected ? QPalette::HighlightedText
                                                                               : QPalette::Text));
        painter->save();
        painter->translate(option.rect.topLeft());
        painter->setClipRect(option.rect.translated(-option.rect.topLeft()));
        text.documentLayout()->draw(painter, context);
        painter->restore();
    }

    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &) const override
    {
        return {option.rect.width(), 2 * option.fontMetrics.lineSpacing() + 2 * Margin + 2};
    }

private:
    static constexpr int Margin = 3;
};

} // namespace

SearchPanel::SearchPanel(QWidget *parent)
    : QDockWidget(QStringLiteral("Search Library"), parent)
    , m_query(new QLineEdit)
    , m_library(new QRadioButton(QStringLiteral("&Library")))
    , m_openDocuments(new QRadioButton(QStringLiteral("Open &documents")))
    , m_summary(new QLabel)
    , m_hits(new QListWidget)
{
    setObjectName(QStringLiteral("SearchPanel"));
    m_query->setObjectName(QStringLiteral("SearchLibraryField"));
    m_query->setClearButtonEnabled(true);
    m_query->setPlaceholderText(QStringLiteral("words, \"a phrase\", prefix*, AND OR NOT"));
    m_query->setToolTip(QStringLiteral("Return searches; Down and Up choose a hit; Return again opens it"));
    m_query->installEventFilter(this);
    m_library->setChecked(true);
    auto *scopes = new QButtonGroup(this);
    scopes->addButton(m_library);
    scopes->addButton(m_openDocuments);
    m_summary->setWordWrap(true);
    m_hits->setItemDelegate(new HitDelegate(m_hits));
    m_hits->setUniformItemSizes(true);
    m_hits->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);

    auto *panel = new QWidget;
    auto *layout = new QVBoxLayout(panel);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(m_query);
    auto *scopeRow = new QHBoxLayout;
    scopeRow->addWidget(m_library);
    scopeRow->addWidget(m_openDocuments);
    scopeRow->addStretch();
    layout->addLayout(scopeRow);
    layout->addWidget(m_summary);
    layout->addWidget(m_hits, 1);
    setWidget(panel);

    connect(m_query, &QLineEdit::returnPressed, this, &SearchPanel::returnPressed);
    connect(m_hits, &QListWidget::itemActivated, this, &SearchPanel::openCurrent);
    connect(scopes, &QButtonGroup::buttonClicked, this, [this] {
        if (!m_ranQuery.isEmpty())
            run();
    });
}

void SearchPanel::activate()
{
    show();
    // A third of the window the first time, wide enough for a snippet.
    if (auto *window = qobject_cast<QMainWindow *>(parentWidget()); window && !std::exchange(m_placed, true))
        window->resizeDocks({this}, {std::max(window->width() / 3, 320)}, Qt::Horizontal);
    raise();
    m_query->setFocus();
    m_query->selectAll();
}

SearchPanel::Scope SearchPanel::scope() const
{
    return m_openDocuments->isChecked() ? Scope::OpenDocuments : Scope::Library;
}

void SearchPanel::setScope(Scope scope)
{
    (scope == Scope::Library ? m_library : m_openDocuments)->setChecked(true);
}

void SearchPanel::run()
{
    const QString query = m_query->text().trimmed();
    m_ranQuery = query;
    m_ranScope = scope();
    m_shown.clear();
    m_hits->clear();
    m_summary->setText(query.isEmpty() ? QString() : QStringLiteral("Searching\u2026"));
    m_waiting = !query.isEmpty();
    if (m_waiting)
        emit searchRequested(query, m_ranScope);
}

void SearchPanel::returnPressed()
{
    // With no hit to open, as after a refusal, Return asks again.
    if (m_query->text().trimmed() != m_ranQuery || scope() != m_ranScope || m_shown.isEmpty())
        run();
    else
        openCurrent();
}

void SearchPanel::openCurrent()
{
    const int row = m_hits->currentRow();
    if (row >= 0 && row < m_shown.size())
        emit hitChosen(m_shown[row]);
}

void SearchPanel::showHits(const QList<SearchHit> &hits, int total, bool complete)
{
    if (!m_waiting)
        return;
    m_waiting = !complete;
    // The hit chosen so far, if the user moved from the first.
    const int current = m_hits->currentRow();
    const bool moved = current > 0 && current < m_shown.size();
    const SearchHit chosen = moved ? m_shown[current] : SearchHit();

    m_shown = hits;
    m_hits->clear();
    int select = 0;
    for (int row = 0; row < hits.size(); ++row) {
        const SearchHit &hit = hits[row];
        const QString name = documentName(hit);
        const QString place = placeOf(hit);
        auto *item = new QListWidgetItem(name + QStringLiteral(" \u2014 ") + place, m_hits);
        item->setData(HtmlRole, QStringLiteral("<b>%1</b> \u2014 %2<br>%3")
                                    .arg(name.toHtmlEscaped(), place.toHtmlEscaped(), hit.snippet));
        item->setToolTip(plainToolTip(hit.path));
        if (moved && hit.path == chosen.path && hit.line == chosen.line && hit.column == chosen.column)
            select = row;
    }
    if (!hits.isEmpty())
        m_hits->setCurrentRow(select);

    if (total == 0)
        m_summary->setText(QStringLiteral("No passage matches"));
    else if (total > hits.size())
        m_summary->setText(QStringLiteral("%1 passages match; the best %2 are shown%3")
                               .arg(total)
                               .arg(hits.size())
                               .arg(complete ? QString() : QStringLiteral(", more are coming")));
    else
        m_summary->setText(total == 1 ? QStringLiteral("1 passage matches")
                                      : QStringLiteral("%1 passages match").arg(total));
}

void SearchPanel::showRejection(const QString &explanation)
{
    if (!m_waiting)
        return;
    m_waiting = false;
    m_summary->setText(explanation);
}

bool SearchPanel::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_query && event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        const int step = key->key() == Qt::Key_Down ? 1 : key->key() == Qt::Key_Up ? -1 : 0;
        if (step != 0 && m_hits->count() > 0) {
            m_hits->setCurrentRow(std::clamp(m_hits->currentRow() + step, 0, m_hits->count() - 1));
            return true;
        }
    }
    return QDockWidget::eventFilter(watched, event);
}
