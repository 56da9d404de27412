#include "finddialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

TFindDialog::TFindDialog(QWidget *owner)
    : QDialog(owner)
    , FindText(new QLineEdit)
    , MatchCase(new QCheckBox(QStringLiteral("Match &case")))
    , WholeWord(new QCheckBox(QStringLiteral("&Whole word")))
{
    setWindowTitle(QStringLiteral("Find"));
    setModal(false);
    FindText->setObjectName(QStringLiteral("FindText"));
    MatchCase->setObjectName(QStringLiteral("MatchCase"));
    WholeWord->setObjectName(QStringLiteral("WholeWord"));

    auto *buttons = new QDialogButtonBox;
    FindButton = buttons->addButton(QStringLiteral("&Find Next"), QDialogButtonBox::ActionRole);
    FindButton->setObjectName(QStringLiteral("FindButton"));
    // Enter in the text field presses it, wherever the focus was before.
    FindButton->setDefault(true);
    QPushButton *closeButton = buttons->addButton(QDialogButtonBox::Close);
    closeButton->setAutoDefault(false);
    connect(FindButton, &QPushButton::clicked, this, &TFindDialog::find);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto *form = new QFormLayout;
    form->addRow(QStringLiteral("Fi&nd what:"), FindText);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(MatchCase);
    layout->addWidget(WholeWord);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

QString TFindDialog::text() const
{
    return FindText->text();
}

bool TFindDialog::matchCase() const
{
    return MatchCase->isChecked();
}

bool TFindDialog::wholeWord() const
{
    return WholeWord->isChecked();
}
