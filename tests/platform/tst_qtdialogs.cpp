#include "qtdialogs.h"

#include <QApplication>
#include <QAbstractItemView>
#include <QCompleter>
#include <QDialogButtonBox>
#include <QFile>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QFontDatabase>
#include <QFontDialog>
#include <QFontInfo>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
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
    // One Return takes a completion chosen from the list, or what is typed
    // while the list shows none chosen.
    void oneReturnAnswersAPromptWithCompletions_data()
    {
        QTest::addColumn<bool>("choose");
        QTest::addColumn<QString>("answer");
        QTest::newRow("typed") << false << "3.2";
        QTest::newRow("chosen") << true << "3.2.  Terminology";
    }

    void oneReturnAnswersAPromptWithCompletions()
    {
        QFETCH(bool, choose);
        bool listShown = false;
        whenModal([&](QWidget *modal) {
            auto *field = modal->findChild<QLineEdit *>();
            QTest::keyClicks(field, QStringLiteral("3.2"));
            QWidget *list = field->completer()->popup();
            listShown = list->isVisible();
            if (choose)
                QTest::keyClick(list, Qt::Key_Down);
            QTest::keyClick(list, Qt::Key_Return);
            // A Return that did not answer must fail the test, not hang it.
            if (modal->isVisible())
                QTimer::singleShot(0, modal, [modal] { static_cast<QDialog *>(modal)->reject(); });
        });
        QtDialogs dialogs;
        const QString answer = dialogs.askWithCompletions(
            nullptr, {QStringLiteral("Go To"), QStringLiteral("&Place:"), QString(), QStringLiteral("&Go")},
            {QStringLiteral("3.2.  Terminology"), QStringLiteral("4.  Glossary")});
        QVERIFY(listShown);
        QTEST(answer, "answer");
    }

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

    // The open dialog starts in the given folder, lists names without a dot
    // under "RFC*", and gives back every file selected.
    void openDialogListsAndReturnsSeveralFiles()
    {
        QTemporaryDir dir;
        for (const char *name : {"rfc7777", "RFC1.TXT", "draft-x-00", "notes.txt"})
            QVERIFY(QFile(dir.filePath(QLatin1String(name))).open(QIODevice::WriteOnly));
        QString startedIn;
        QStringList listed;
        int polls = 0;
        // The model lists the folder in the background: look until it has.
        QTimer look;
        connect(&look, &QTimer::timeout, this, [&] {
            auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
            if (!dialog)
                return;
            auto *model = dialog->findChild<QFileSystemModel *>();
            const QModelIndex folder = model->index(dir.path());
            if (model->rowCount(folder) < 2 && ++polls < 500)
                return;
            look.stop();
            startedIn = dialog->directory().absolutePath();
            for (int row = 0; row < model->rowCount(folder); ++row)
                listed << model->index(row, 0, folder).data().toString();
            // Typed, as a user would: selectFile() leaves a focused name field alone.
            dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"))
                ->setText(QStringLiteral("\"rfc7777\" \"RFC1.TXT\""));
            dialog->findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Open)->click();
            // A selection the dialog refused must fail the test, not hang it.
            if (dialog->isVisible())
                dialog->reject();
        });
        look.start(10);
        QtDialogs dialogs;
        const QStringList chosen = dialogs.openFileNames(
            nullptr, QStringLiteral("RFC document (RFC*)|RFC*|Draft document (draft*)|draft*|All files (*)|*"),
            dir.path());
        QCOMPARE(startedIn, dir.path());
        listed.sort();
        QCOMPARE(listed, QStringList({"RFC1.TXT", "rfc7777"}));
        QCOMPARE(chosen, QStringList({dir.filePath("rfc7777"), dir.filePath("RFC1.TXT")}));
    }

    // A stored face that is missing opened the dialog on its first face, and
    // OK at once stored that one (a proportional face) in its place; on the
    // face shown, it picked an italic style for a regular font.
    void fontDialogKeepsAMissingFaceUntilAnotherIsPicked_data()
    {
        QTest::addColumn<bool>("bold");
        QTest::addColumn<bool>("pickAnother");
        QTest::newRow("OK at once") << false << false;
        QTest::newRow("OK at once, bold") << true << false;
        QTest::newRow("another face picked") << false << true;
    }

    void fontDialogKeepsAMissingFaceUntilAnotherIsPicked()
    {
        QFETCH(bool, bold);
        QFETCH(bool, pickAnother);
        QFont stored(QStringLiteral("No Such Face Mono"), 11);
        stored.setStyleHint(QFont::TypeWriter);
        stored.setBold(bold);
        const QString shownFamily = QFontInfo(stored).family();
        // A face with an upright regular style: an italic-only face (as some
        // machines have) cannot come back as a regular font.
        const auto hasRegularStyle = [](const QString &family) {
            const QStringList styles = QFontDatabase::styles(family);
            return std::any_of(styles.begin(), styles.end(), [&](const QString &style) {
                return !QFontDatabase::italic(family, style) && QFontDatabase::weight(family, style) == QFont::Normal;
            });
        };
        QString other;
        for (const QString &family : QFontDatabase::families())
            if (family != shownFamily && other.isEmpty() && hasRegularStyle(family))
                other = family;
        QVERIFY(!other.isEmpty());

        QString openedOn;
        whenModal([&](QWidget *modal) {
            auto *fonts = modal->findChild<QFontDialog *>();
            openedOn = fonts ? fonts->currentFont().family() : QString();
            if (fonts && pickAnother)
                fonts->setCurrentFont(QFont(other, 11, bold ? QFont::Bold : QFont::Normal));
            auto *ok = modal->findChild<QDialogButtonBox *>();
            if (ok && ok->button(QDialogButtonBox::Ok))
                ok->button(QDialogButtonBox::Ok)->click();
            else
                QTest::keyClick(modal, Qt::Key_Escape);
        });
        QtDialogs dialogs;
        QFont font = stored;
        QColor color(10, 20, 30);
        QVERIFY(dialogs.chooseFont(nullptr, font, color));
        QCOMPARE(openedOn, shownFamily);
        QCOMPARE(font.family(), pickAnother ? other : stored.family());
        QCOMPARE(font.pointSize(), 11);
        QCOMPARE(font.italic(), false);
        QCOMPARE(font.bold(), bold);
        QCOMPARE(color, QColor(10, 20, 30));
    }
};

QTEST_MAIN(TestQtDialogs)
#include "tst_qtdialogs.moc"
