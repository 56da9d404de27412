#include "startpage.h"

#include <QCompleter>
#include <QEvent>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QStringListModel>
#include <QStyle>
#include <QVBoxLayout>

#include <algorithm>

namespace {

const QString GuideLink = QStringLiteral("guide");

QLabel *heading(const QString &text)
{
    auto *label = new QLabel(text);
    QFont font = label->font();
    font.setBold(true);
    label->setFont(font);
    return label;
}

} // namespace

StartPage::StartPage(QWidget &parent)
    : QWidget(&parent)
    , m_field(new QLineEdit)
    , m_completions(new QStringListModel(this))
    , m_recent(new QListWidget)
    , m_noRecent(new QLabel(QStringLiteral("No document was opened yet.")))
{
    setAutoFillBackground(true);
    setBackgroundRole(QPalette::Base);

    m_field->setObjectName(QStringLiteral("StartOpenField"));
    m_field->setPlaceholderText(QStringLiteral("A number or name: 9293, BCP 14, a draft"));
    m_field->setClearButtonEnabled(true);
    auto *completer = new QCompleter(m_completions, this);
    completer->setCaseSensitivity(Qt::CaseInsensitive);
    completer->setFilterMode(Qt::MatchContains);
    m_field->setCompleter(completer);
    // Exactly what was typed: a completion chosen from the list is typed by then.
    connect(m_field, &QLineEdit::returnPressed, this, [this] {
        const QString text = m_field->text().trimmed();
        if (!text.isEmpty())
            emit openRequested(text);
    });

    m_recent->setObjectName(QStringLiteral("StartRecentList"));
    m_recent->setFrameShape(QFrame::NoFrame);
    const auto choose = [this](QListWidgetItem *item) { emit recentChosen(item->data(Qt::UserRole).toString()); };
    connect(m_recent, &QListWidget::itemClicked, this, choose);
    // Return too; where a click activates as well it would ask twice.
    if (!style()->styleHint(QStyle::SH_ItemView_ActivateItemOnSingleClick, nullptr, m_recent))
        connect(m_recent, &QListWidget::itemActivated, this, choose);

    auto *guide = new QLabel(QStringLiteral("<a href=\"%1\">Read the user guide</a> (F1)").arg(GuideLink));
    guide->setObjectName(QStringLiteral("StartGuideLink"));
    connect(guide, &QLabel::linkActivated, this, [this] { emit userGuideRequested(); });

    auto *keys = new QFormLayout;
    keys->addRow(heading(QStringLiteral("/")), new QLabel(QStringLiteral("Find as you type in the document")));
    keys->addRow(heading(QStringLiteral("Ctrl+Shift+F")), new QLabel(QStringLiteral("Search the whole library")));
    keys->addRow(heading(QStringLiteral("Ctrl+click")), new QLabel(QStringLiteral("Follow a reference")));

    auto *column = new QWidget;
    column->setMinimumWidth(std::min(460, m_field->fontMetrics().averageCharWidth() * 60));
    column->setMaximumWidth(560);
    auto *layout = new QVBoxLayout(column);
    layout->addWidget(heading(QStringLiteral("Open RFC")));
    layout->addWidget(m_field);
    layout->addSpacing(12);
    layout->addWidget(heading(QStringLiteral("Recent documents")));
    layout->addWidget(m_recent);
    layout->addWidget(m_noRecent);
    layout->addSpacing(12);
    layout->addLayout(keys);
    layout->addSpacing(12);
    layout->addWidget(guide);

    auto *outer = new QVBoxLayout(this);
    outer->addWidget(column, 0, Qt::AlignHCenter);
    outer->addStretch(1);
    setRecentDocuments({});
    setGeometry(parent.rect());
    parent.installEventFilter(this);
}

bool StartPage::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == parentWidget() && event->type() == QEvent::Resize) {
        setGeometry(parentWidget()->rect());
        raise();
    }
    return QWidget::eventFilter(watched, event);
}

void StartPage::setCompletions(const QStringList &completions)
{
    if (m_completions->stringList() != completions)
        m_completions->setStringList(completions);
}

void StartPage::setRecentDocuments(const QStringList &paths)
{
    m_recent->clear();
    for (const QString &path : paths) {
        auto *item = new QListWidgetItem(path, m_recent);
        item->setData(Qt::UserRole, path);
        item->setToolTip(path);
    }
    // As tall as its entries, up to ten of them, so that the keys sit close below.
    const int rows = int(std::min<qsizetype>(paths.size(), 10));
    m_recent->setFixedHeight(rows * m_recent->sizeHintForRow(0) + 2 * m_recent->frameWidth());
    m_recent->setVisible(!paths.isEmpty());
    m_noRecent->setVisible(paths.isEmpty());
}
