#include "gototarget.h"

#include <QTest>

Q_DECLARE_METATYPE(GoToTarget::Kind)

// What the one field of Go To understands.
class TestGoToTarget : public QObject
{
    Q_OBJECT

private slots:
    void readings_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("understood");
        QTest::addColumn<GoToTarget::Kind>("kind");
        QTest::addColumn<int>("number");
        QTest::addColumn<QString>("section");
        using Kind = GoToTarget::Kind;

        QTest::newRow("line") << " 120 " << true << Kind::Line << 120 << "";
        QTest::newRow("section") << "3.8.1" << true << Kind::Section << 0 << "3.8.1";
        QTest::newRow("top section with its dot") << "3." << true << Kind::Section << 0 << "3";
        QTest::newRow("appendix part") << "a.2" << true << Kind::Section << 0 << "A.2";
        QTest::newRow("appendix alone") << "B" << true << Kind::Section << 0 << "B";
        QTest::newRow("worded section") << "Section 4" << true << Kind::Section << 0 << "4";
        QTest::newRow("worded appendix") << "appendix C.1" << true << Kind::Section << 0 << "C.1";
        QTest::newRow("index entry") << "3.8.1.  Closing a Connection" << true << Kind::Section << 0 << "3.8.1";
        QTest::newRow("appendix entry") << "Appendix A.  Other Notes" << true << Kind::Section << 0 << "A";
        QTest::newRow("page") << "p 20" << true << Kind::Page << 20 << "";
        QTest::newRow("page worded") << "Page20" << true << Kind::Page << 20 << "";
        QTest::newRow("bookmark beats a number") << "12" << true << Kind::Bookmark << 1 << "";
        QTest::newRow("bookmark any case") << "TODO " << true << Kind::Bookmark << 0 << "";

        QTest::newRow("empty") << "  " << false << Kind::Line << 0 << "";
        QTest::newRow("words") << "closing" << false << Kind::Line << 0 << "";
        QTest::newRow("letter and words") << "A note" << false << Kind::Line << 0 << "";
        QTest::newRow("number and words") << "3 things" << false << Kind::Line << 0 << "";
        QTest::newRow("page without number") << "p" << true << Kind::Section << 0 << "P";
        QTest::newRow("too many digits") << "12345678901" << false << Kind::Line << 0 << "";
    }

    void readings()
    {
        QFETCH(QString, typed);
        QFETCH(bool, understood);
        const std::optional<GoToTarget> target = parseGoToTarget(typed, {QStringLiteral("todo"), QStringLiteral("12")});
        QCOMPARE(target.has_value(), understood);
        if (!target)
            return;
        QTEST(target->kind, "kind");
        QTEST(target->number, "number");
        QTEST(target->section, "section");
    }
};

QTEST_APPLESS_MAIN(TestGoToTarget)
#include "tst_gototarget.moc"
