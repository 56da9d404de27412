#include "findbar.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>

FindBar::FindBar(QWidget *parent)
    : QWidget(parent)
    , m_field(new QLineEdit)
    , m_matchCase(new QCheckBox(QStringLiteral("Match c&ase")))
    , m_wholeWord(new QCheckBox(QStringLiteral("Whole w&ord")))
    , m_count(new QLabel)
    , m_wrapped(new QLabel(QStringLiteral("wrapped")))
{
    auto *closeButton = new QToolButton;
    closeButton->setText(QStringLiteral("\u2715"));
    closeButton->setToolTip(QStringLiteral("Close the find bar (Escape)"));
    closeButton->setAutoRaise(true);
    m_field->setObjectName(QStringLiteral("FindBarField"));
    m_field->setClearButtonEnabled(true);
    m_field->setPlaceholderText(QStringLiteral("Find as you type"));
    m_field->installEventFilter(this);
    m_count->setMinimumWidth(m_count->fontMetrics().horizontalAdvance(QStringLiteral("99999 of 99999")));

    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(4, 2, 4, 2);
    layout->addWidget(closeButton);
    layout->addWidget(new QLabel(QStringLiteral("Find:")));
    layout->addWidget(m_field, 1);
    layout->addWidget(m_matchCase);
    layout->addWidget(m_wholeWord);
    layout->addWidget(m_count);
    layout->addWidget(m_wrapped);
    m_wrapped->hide();

    connect(m_field, &QLineEdit::textChanged, this, &FindBar::searchChanged);
    connect(m_matchCase, &QCheckBox::toggled, this, &FindBar::searchChanged);
    connect(m_wholeWord, &QCheckBox::toggled, this, &FindBar::searchChanged);
    connect(closeButton, &QToolButton::clicked, this, &FindBar::dismiss);
}

// Closed first, so that the focus goes back to the document the bar served:
// hiding the focused bar would hand it to the first document instead.
void FindBar::dismiss()
{
    emit closed();
    hide();
}

void FindBar::open(const QString &text)
{
    show();
    if (!text.isEmpty())
        m_field->setText(text);
    m_field->selectAll();
    m_field->setFocus();
}

QString FindBar::text() const
{
    return m_field->text();
}

SearchOptions FindBar::options() const
{
    return {m_matchCase->isChecked(), m_wholeWord->isChecked()};
}

void FindBar::showResult(int index, int count, bool wrapped)
{
    const bool notFound = index < 0 && !m_field->text().isEmpty();
    // Red for a text that is nowhere, as pagers and browsers show it.
    m_field->setStyleSheet(notFound ? QStringLiteral("QLineEdit { background: #f4b4b4; color: black; }")
                                    : QString());
    m_count->setText(index < 0 ? (notFound ? QStringLiteral("0 of 0") : QString())
                               : QStringLiteral("%1 of %2").arg(index + 1).arg(count));
    m_wrapped->setVisible(wrapped);
}

bool FindBar::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_field && event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            if (key->modifiers() & Qt::ShiftModifier)
                emit previousRequested();
            else
                emit nextRequested();
            return true;
        }
        if (key->key() == Qt::Key_Escape) {
            dismiss();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}
