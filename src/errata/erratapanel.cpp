#include "erratapanel.h"

#include "worddiff.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QHeaderView>
#include <QPushButton>
#include <QTextBrowser>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

// The pieces of one side of the difference: what both share, plus what is
// only on this side, marked.
QString sideHtml(const std::vector<DiffPiece> &pieces, DiffPiece::Kind own, const QString &style)
{
    QString html;
    for (const DiffPiece &piece : pieces) {
        if (piece.kind != DiffPiece::Kind::Same && piece.kind != own)
            continue;
        const QString text = piece.text.toHtmlEscaped();
        html += piece.kind == own ? QStringLiteral("<span style=\"%1\">%2</span>").arg(style, text) : text;
    }
    return QStringLiteral("<pre style=\"white-space: pre-wrap\">%1</pre>").arg(html);
}

QString lineText(const Placement &placement)
{
    switch (placement.kind) {
    case Placement::Kind::Text:
        return QString::number(placement.line);
    case Placement::Kind::SectionHeading:
        return QStringLiteral("%1 (section)").arg(placement.line);
    case Placement::Kind::NotPlaced:
        break;
    }
    return QStringLiteral("not placed");
}

} // namespace

ErrataPanel::ErrataPanel(QWidget *parent)
    : QWidget(parent)
    , m_showAll(new QCheckBox(QStringLiteral("Show &reported and rejected")))
    , m_list(new QTreeWidget)
    , m_details(new QTextBrowser)
    , m_copy(new QPushButton(QStringLiteral("Copy Corrected Te&xt")))
{
    m_list->setRootIsDecorated(false);
    m_list->setHeaderLabels({QStringLiteral("Id"), QStringLiteral("Status"), QStringLiteral("Type"),
                             QStringLiteral("Section"), QStringLiteral("Date"), QStringLiteral("Line")});
    m_list->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    m_details->setOpenExternalLinks(true);
    m_copy->setEnabled(false);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->addWidget(m_showAll);
    layout->addWidget(m_list, 1);
    layout->addWidget(m_details, 2);
    layout->addWidget(m_copy);

    connect(m_showAll, &QCheckBox::toggled, this, [this](bool all) {
        fill();
        emit showAllChanged(all);
    });
    connect(m_list, &QTreeWidget::currentItemChanged, this, [this] {
        const int row = m_list->currentIndex().row();
        if (row < 0 || row >= m_listed.size())
            return;
        showDetails(m_listed[row]);
        if (m_listed[row].placement.kind != Placement::Kind::NotPlaced)
            emit lineChosen(m_listed[row].placement.line);
    });
    connect(m_copy, &QPushButton::clicked, this, [this] {
        const int row = m_list->currentIndex().row();
        if (row >= 0 && row < m_listed.size())
            QApplication::clipboard()->setText(m_listed[row].erratum.corrected);
    });
}

bool ErrataPanel::isStanding(Erratum::Status status)
{
    return status == Erratum::Status::Verified || status == Erratum::Status::HeldForDocumentUpdate;
}

void ErrataPanel::setErrata(QList<PlacedErratum> errata)
{
    m_errata = std::move(errata);
    fill();
}

void ErrataPanel::setShowAll(bool all)
{
    m_showAll->setChecked(all);
}

QList<PlacedErratum> ErrataPanel::listed() const
{
    return m_listed;
}

void ErrataPanel::choose(int row)
{
    m_list->setCurrentItem(m_list->topLevelItem(row));
}

void ErrataPanel::fill()
{
    m_list->clear();
    m_listed.clear();
    m_details->clear();
    m_copy->setEnabled(false);
    QList<QTreeWidgetItem *> items;
    for (const PlacedErratum &placed : std::as_const(m_errata)) {
        const Erratum &erratum = placed.erratum;
        if (!m_showAll->isChecked() && !isStanding(erratum.status))
            continue;
        m_listed.append(placed);
        items << new QTreeWidgetItem(QStringList{QString::number(erratum.id), statusName(erratum.status),
                                                 erratum.type, erratum.section.simplified(), erratum.submitted,
                                                 lineText(placed.placement)});
    }
    m_list->addTopLevelItems(items);
}

void ErrataPanel::showDetails(const PlacedErratum &placed)
{
    const Erratum &erratum = placed.erratum;
    const std::vector<DiffPiece> pieces = wordDiff(erratum.original, erratum.corrected);
    QString html = QStringLiteral("<p><b>Erratum %1</b> &middot; %2 &middot; %3 &middot; Section %4 &middot; "
                                  "<a href=\"https://www.rfc-editor.org/errata/eid%1\">on the web</a></p>")
                       .arg(erratum.id)
                       .arg(statusName(erratum.status).toHtmlEscaped(), erratum.type.toHtmlEscaped(),
                            erratum.section.simplified().toHtmlEscaped());
    if (placed.placement.kind == Placement::Kind::NotPlaced)
        html += QStringLiteral("<p><i>Not placed: its original text is not in this copy of the document.</i></p>");
    html += QStringLiteral("<p><b>Original</b></p>")
            + sideHtml(pieces, DiffPiece::Kind::Removed, QStringLiteral("color:#000; background:#f8c0c0; text-decoration: line-through"));
    html += QStringLiteral("<p><b>Corrected</b></p>")
            + sideHtml(pieces, DiffPiece::Kind::Added, QStringLiteral("color:#000; background:#b8e8b8; font-weight: bold"));
    if (!erratum.notes.trimmed().isEmpty())
        html += QStringLiteral("<p><b>Notes</b></p><pre style=\"white-space: pre-wrap\">%1</pre>")
                    .arg(erratum.notes.trimmed().toHtmlEscaped());
    html += QStringLiteral("<p>Reported %1 by %2%3</p>")
                .arg(erratum.submitted.toHtmlEscaped(), erratum.submitter.toHtmlEscaped(),
                     erratum.verifier.isEmpty() ? QString()
                                                : QStringLiteral("; verified by ") + erratum.verifier.toHtmlEscaped());
    m_details->setHtml(html);
    m_copy->setEnabled(!erratum.corrected.isEmpty());
}
