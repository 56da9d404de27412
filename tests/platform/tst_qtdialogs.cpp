#include "qtdialogs.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <functional>

namespace {

// Runs answer on the modal dialog once it shows, from inside its exec().
void whenModal(std::function<void(QWidget *)> answer)
{
    auto *poll = new QTimer;
    QObject::connect(poll, &QTimer::timeout, [poll, answer] {
        if (QWidget *modal = QApplication::activeModalWidget()) {
            poll->deleteLater();
            poll->stop();
            answer(modal);
        }
    });
    poll->start(10);
}

} // namespace

// The real Qt dialogs behind the seam, driven offscreen.
class TestQtDialogs : public QObject
{
    Q_OBJECT

private slots:
    void errorWithDiscard_data()
    {
        QTest::addColumn<int>("key"); // 0: a click on the discard button
        QTest::addColumn<bool>("discarded");
        QTest::newRow("Enter keeps") << int(Qt::Key_Return) << false;
        QTest::newRow("Escape keeps") << int(Qt::Key_Escape) << false;
        QTest::newRow("the second button discards") << 0 << true;
    }

    void errorWithDiscard()
    {
        QFETCH(int, key);
        QFETCH(bool, discarded);
        // Checked after the box is gone: a failed check inside would leave it open.
        QString shown;
        bool okIsDefault = false;
        whenModal([&](QWidget *modal) {
            auto *box = qobject_cast<QMessageBox *>(modal);
            shown = box->windowTitle() + u'|' + box->text();
            okIsDefault = box->defaultButton() == box->button(QMessageBox::Ok);
            const QList<QAbstractButton *> buttons = box->buttons();
            const auto discard = std::find_if(buttons.begin(), buttons.end(), [](QAbstractButton *button) {
                return button->text() == u"Close without saving";
            });
            if (key == 0 && discard != buttons.end())
                (*discard)->click();
            else
                QTest::keyClick(box, key == 0 ? Qt::Key_Escape : Qt::Key(key));
        });
        QtDialogs dialogs;
        QCOMPARE(dialogs.errorWithDiscard(nullptr, QStringLiteral("Unable to write"), QStringLiteral("Folivane"),
                                          QStringLiteral("Close without saving")),
                 discarded);
        QCOMPARE(shown, QStringLiteral("Folivane|Unable to write"));
        QVERIFY(okIsDefault);
    }
};

QTEST_MAIN(TestQtDialogs)
#include "tst_qtdialogs.moc"
