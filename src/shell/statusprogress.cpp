#include "statusprogress.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>

StatusProgress::StatusProgress(const QString &cancelTip, QWidget *parent)
    : QWidget(parent)
    , m_label(new QLabel)
    , m_bar(new QProgressBar)
{
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    m_bar->setMaximumWidth(160);
    m_bar->setMaximumHeight(14);
    m_bar->setTextVisible(false);
    layout->addWidget(m_label);
    layout->addWidget(m_bar);
    if (!cancelTip.isEmpty()) {
        auto *cancel = new QPushButton(QStringLiteral("Cancel"));
        cancel->setToolTip(cancelTip);
        layout->addWidget(cancel);
        connect(cancel, &QPushButton::clicked, this, &StatusProgress::cancelRequested);
    }
    hide();
}

void StatusProgress::show(const QString &what, qint64 done, qint64 total)
{
    m_label->setText(what);
    setProgress(done, total);
    QWidget::show();
}

void StatusProgress::setProgress(qint64 done, qint64 total)
{
    // In steps that fit an int: a fetch counts bytes up to 20 MB and more.
    const int scale = total > (1 << 30) || done > (1 << 30) ? 1024 : 1;
    m_bar->setRange(0, int(total / scale));
    m_bar->setValue(int(done / scale));
}
