#include "finddialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

FindDialog::FindDialog(QWidget *owner)
    : QDialog(owner)
    , m_textField(new QLineEdit)
    , m_matchCase(new QCheckBox(QStringLiteral("Match &case")))
    , m_wholeWord(new QCheckBox(QStringLiteral("&Whole word")))
{
    setWindowTitle(QStringLiteral("Find"));
    setModal(false);
    m_textField->setObjectName(QStringLiteral("FindText"));
    m_matchCase->setObjectName(QStringLiteral("MatchCase"));
    m_wholeWord->setObjectName(QStringLiteral("WholeWord"));

    auto *buttons = new QDialogButtonBox;
    m_findButton = buttons->addButton(QStringLiteral("&Find Next"), QDialogButtonBox::ActionRole);
    m_findButton->setObjectName(QStringLiteral("FindButton"));
    // Enter in the text field presses it, wherever the focus was before.
    m_findButton->setDefault(true);
    QPushButton *closeButton = buttons->addButton(QDialogButtonBox::Close);
    closeButton->setAutoDefault(false);
    connect(m_findButton, &QPushButton::clicked, this, &FindDialog::find);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto *form = new QFormLayout;
    form->addRow(QStringLiteral("Fi&nd what:"), m_textField);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(m_matchCase);
    layout->addWidget(m_wholeWord);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

QString FindDialog::text() const
{
    return m_textField->text();
}

bool FindDialog::matchCase() const
{
    return m_matchCase->isChecked();
}

bool FindDialog::wholeWord() const
{
    return m_wholeWord->isChecked();
}
