#include "rangeset.h"
#include "rangetable.h"

#include <QTest>

#include <bitset>
#include <random>

enum class Edit { Add, Remove };
Q_DECLARE_METATYPE(Edit)

namespace {

RangeSet filled(const Table &table)
{
    RangeSet set;
    for (const TextRange &r : table)
        set.add(r.start, r.end);
    return set;
}

} // namespace

// The highlight ranges: merging on add, cutting and splitting on remove.
class TestRangeSet : public QObject
{
    Q_OBJECT

private slots:
    void editTable_data();
    void editTable();
    void randomEditsMatchModel();
    void fromRangesMatchesAdding();
    void descendingRangesLoadAsAscending();
};

void TestRangeSet::editTable_data()
{
    QTest::addColumn<Table>("initial");
    QTest::addColumn<Edit>("edit");
    QTest::addColumn<qint32>("s");
    QTest::addColumn<qint32>("e");
    QTest::addColumn<Table>("expected");

    const Edit add = Edit::Add;
    const Edit remove = Edit::Remove;
    const Table one{{10, 20}};
    const Table two{{10, 20}, {30, 40}};
    const Table wide{{10, 40}};

    QTest::newRow("add to empty") << Table{} << add << 3 << 7 << Table{{3, 7}};
    QTest::newRow("add touching after stays apart") << one << add << 20 << 30 << Table{{10, 20}, {20, 30}};
    QTest::newRow("add touching before stays apart") << one << add << 0 << 10 << Table{{0, 10}, {10, 20}};
    QTest::newRow("add over tail") << one << add << 15 << 25 << Table{{10, 25}};
    QTest::newRow("add over head") << one << add << 5 << 15 << Table{{5, 20}};
    QTest::newRow("add inside") << one << add << 12 << 18 << one;
    QTest::newRow("add equal") << one << add << 10 << 20 << one;
    QTest::newRow("add bridging two") << two << add << 15 << 35 << Table{{10, 40}};
    QTest::newRow("add covering two") << two << add << 5 << 45 << Table{{5, 45}};
    QTest::newRow("add in the gap") << two << add << 22 << 28 << Table{{10, 20}, {22, 28}, {30, 40}};
    QTest::newRow("add before all") << one << add << 0 << 5 << Table{{0, 5}, {10, 20}};
    QTest::newRow("add after all") << two << add << 50 << 60 << Table{{10, 20}, {30, 40}, {50, 60}};
    QTest::newRow("add over tail, touching next") << two << add << 15 << 30 << Table{{10, 30}, {30, 40}};
    QTest::newRow("add empty range") << one << add << 5 << 5 << one;
    QTest::newRow("add reversed range") << one << add << 25 << 5 << one;

    QTest::newRow("remove from empty") << Table{} << remove << 0 << 5 << Table{};
    QTest::newRow("remove middle splits") << wide << remove << 20 << 30 << Table{{10, 20}, {30, 40}};
    QTest::newRow("remove head part") << wide << remove << 10 << 20 << Table{{20, 40}};
    QTest::newRow("remove tail part") << wide << remove << 30 << 40 << Table{{10, 30}};
    QTest::newRow("remove all of it") << wide << remove << 10 << 40 << Table{};
    QTest::newRow("remove across two") << two << remove << 15 << 35 << Table{{10, 15}, {35, 40}};
    QTest::newRow("remove touching after") << one << remove << 20 << 30 << one;
    QTest::newRow("remove touching before") << one << remove << 0 << 10 << one;
    QTest::newRow("remove over head") << one << remove << 5 << 15 << Table{{15, 20}};
    QTest::newRow("remove over tail") << one << remove << 15 << 25 << Table{{10, 15}};
    QTest::newRow("remove covering first, cutting second")
        << Table{{10, 20}, {30, 40}, {50, 60}} << remove << 5 << 55 << Table{{55, 60}};
    QTest::newRow("remove empty range") << one << remove << 15 << 15 << one;
    QTest::newRow("remove reversed range") << one << remove << 18 << 12 << one;
}

void TestRangeSet::editTable()
{
    QFETCH(Table, initial);
    QFETCH(Edit, edit);
    QFETCH(qint32, s);
    QFETCH(qint32, e);
    QFETCH(Table, expected);

    RangeSet set = filled(initial);
    QCOMPARE(set.ranges(), initial);
    if (edit == Edit::Add)
        set.add(s, e);
    else
        set.remove(s, e);
    QCOMPARE(set.ranges(), expected);
}

void TestRangeSet::randomEditsMatchModel()
{
    constexpr int Width = 64;
    std::mt19937 random(20240601);
    std::uniform_int_distribution<int> position(0, Width);
    std::bernoulli_distribution adding(0.6);

    RangeSet link;
    std::bitset<Width> model;
    for (int step = 0; step < 20000; ++step) {
        int s = position(random);
        int e = position(random);
        if (s == e)
            continue;
        if (s > e)
            std::swap(s, e);
        const bool add = adding(random);
        if (add)
            link.add(s, e);
        else
            link.remove(s, e);
        for (int i = s; i < e; ++i)
            model[i] = add;

        const Table table = link.ranges();
        std::bitset<Width> covered;
        qint32 previousEnd = 0;
        for (const TextRange &r : table) {
            QVERIFY2(r.start < r.end && r.start >= previousEnd,
                     ("step " + QByteArray::number(step) + ": " + Describe(table)).constData());
            previousEnd = r.end;
            for (int i = r.start; i < r.end; ++i)
                covered[i] = true;
        }
        QVERIFY2(covered == model, ("step " + QByteArray::number(step) + ": " + Describe(table)).constData());
    }
}

void TestRangeSet::fromRangesMatchesAdding()
{
    // Small positions, so that ranges touch, nest, repeat and come reversed.
    std::mt19937 random(20240602);
    std::uniform_int_distribution<int> position(-2, 30);
    std::uniform_int_distribution<int> count(0, 12);
    for (int trial = 0; trial < 5000; ++trial) {
        Table table;
        for (int n = count(random); n > 0; --n)
            table.push_back({position(random), position(random)});
        QVERIFY2(RangeSet::fromRanges(table).ranges() == filled(table).ranges(), Describe(table).constData());
    }
}

// A highlight file of a million ranges in descending order took a minute to
// load, one insert at the front of the set after another.
void TestRangeSet::descendingRangesLoadAsAscending()
{
    constexpr int Count = 99'999; // whole threes
    Table ascending;
    for (qint32 n = 0; n < Count; ++n) {
        // In threes: overlapping, touching, apart.
        const qint32 at = 10 * (n / 3);
        ascending.push_back(n % 3 == 0 ? TextRange{at, at + 4} : n % 3 == 1 ? TextRange{at + 2, at + 6}
                                                                           : TextRange{at + 6, at + 8});
    }
    const Table descending(ascending.rbegin(), ascending.rend());
    const RangeSet expected = filled(ascending);
    QCOMPARE(expected.ranges().size(), size_t(2 * Count / 3));
    QCOMPARE(RangeSet::fromRanges(descending).ranges(), expected.ranges());
}

QTEST_GUILESS_MAIN(TestRangeSet)
#include "tst_rangeset.moc"
