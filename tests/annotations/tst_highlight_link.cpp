#include "highlight_link.h"
#include "rangetable.h"

#include <QTest>

#include <bitset>
#include <random>

enum class Edit { Add, Remove };
Q_DECLARE_METATYPE(Edit)
Q_DECLARE_METATYPE(RangeRelationKind)

namespace {

// Fills the table directly, so the starting state does not depend on AddRange.
void Fill(Chighlight_link &link, const Table &table)
{
    for (const Ctext_section &r : table)
        QVERIFY(link.PushBack(std::make_unique<Chighlight_node>(r.start, r.end)));
}

// The nodes from the last to the first, read through the prev links.
std::vector<Cbcl_link_node *> Backwards(const Cbcl_link &link)
{
    std::vector<Cbcl_link_node *> nodes;
    for (Cbcl_link_node *p = link.Last(); p; p = p->prev())
        nodes.push_back(p);
    return nodes;
}

std::vector<Cbcl_link_node *> Forwards(const Cbcl_link &link)
{
    std::vector<Cbcl_link_node *> nodes;
    for (Cbcl_link_node *p = link.First(); p; p = link.Next(p))
        nodes.push_back(p);
    return nodes;
}

// Checks count, both directions and membership of every node.
void CheckLinks(const Cbcl_link &link, const std::vector<Cbcl_link_node *> &expected)
{
    QCOMPARE(link.Count(), qint32(expected.size()));
    QCOMPARE(Forwards(link), expected);
    QCOMPARE(Backwards(link), std::vector<Cbcl_link_node *>(expected.rbegin(), expected.rend()));
    for (Cbcl_link_node *node : expected)
        QCOMPARE(node->owner_tag(), std::optional<qint32>(link.tag));
}

class Counted_node : public Cbcl_link_node
{
public:
    explicit Counted_node(int &alive) : Cbcl_link_node(7), alive(alive) { ++alive; }
    ~Counted_node() override { --alive; }
    int &alive;
};

} // namespace

class TestHighlightLink : public QObject
{
    Q_OBJECT

private slots:
    void rangeRelation_data();
    void rangeRelation();
    void editTable_data();
    void editTable();
    void listLinking();
    void listRefusals();
    void listOwnership();
    void randomEditsMatchModel();
};

void TestHighlightLink::rangeRelation_data()
{
    QTest::addColumn<qint32>("s");
    QTest::addColumn<qint32>("e");
    QTest::addColumn<RangeRelationKind>("expected");

    // Against [10, 20).
    QTest::newRow("after, touching") << 20 << 30 << RANGE_AFTER;
    QTest::newRow("after") << 25 << 30 << RANGE_AFTER;
    QTest::newRow("before, touching") << 0 << 10 << RANGE_BEFORE;
    QTest::newRow("before") << 0 << 5 << RANGE_BEFORE;
    QTest::newRow("equal covers") << 10 << 20 << RANGE_COVERS;
    QTest::newRow("covers, same start") << 10 << 25 << RANGE_COVERS;
    QTest::newRow("covers, same end") << 5 << 20 << RANGE_COVERS;
    QTest::newRow("covers") << 5 << 25 << RANGE_COVERS;
    QTest::newRow("inside, same start") << 10 << 15 << RANGE_INSIDE;
    QTest::newRow("inside, same end") << 15 << 20 << RANGE_INSIDE;
    QTest::newRow("inside") << 12 << 18 << RANGE_INSIDE;
    QTest::newRow("overlaps tail") << 15 << 25 << RANGE_OVERLAPS_TAIL;
    QTest::newRow("overlaps tail by one") << 19 << 21 << RANGE_OVERLAPS_TAIL;
    QTest::newRow("overlaps head") << 5 << 15 << RANGE_OVERLAPS_HEAD;
    QTest::newRow("overlaps head by one") << 9 << 11 << RANGE_OVERLAPS_HEAD;
}

void TestHighlightLink::rangeRelation()
{
    QFETCH(qint32, s);
    QFETCH(qint32, e);
    QFETCH(RangeRelationKind, expected);
    QCOMPARE(Ctext_section({10, 20}).RangeRelation(s, e), expected);
}

void TestHighlightLink::editTable_data()
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

void TestHighlightLink::editTable()
{
    QFETCH(Table, initial);
    QFETCH(Edit, edit);
    QFETCH(qint32, s);
    QFETCH(qint32, e);
    QFETCH(Table, expected);

    Chighlight_link link;
    Fill(link, initial);
    if (edit == Edit::Add)
        link.AddRange(s, e);
    else
        link.RemoveRange(s, e);
    QCOMPARE(link.Ranges(), expected);
    CheckLinks(link, Forwards(link));
}

void TestHighlightLink::listLinking()
{
    Cbcl_link link(50);
    auto a = std::make_unique<Cbcl_link_node>(1);
    auto b = std::make_unique<Cbcl_link_node>(1);
    auto c = std::make_unique<Cbcl_link_node>(1);
    auto d = std::make_unique<Cbcl_link_node>(1);
    Cbcl_link_node *pa = a.get(), *pb = b.get(), *pc = c.get(), *pd = d.get();

    QCOMPARE(pa->owner_tag(), std::nullopt);
    QVERIFY(link.PushBack(std::move(b)));
    QVERIFY(!b);
    CheckLinks(link, {pb});
    QVERIFY(link.PushFront(std::move(a)));
    CheckLinks(link, {pa, pb});
    QVERIFY(link.PushBack(std::move(d)));
    CheckLinks(link, {pa, pb, pd});
    QVERIFY(link.InsertBefore(pd, std::move(c)));
    CheckLinks(link, {pa, pb, pc, pd});

    // Removing from the middle, the head and the tail.
    auto removed = link.Remove(pc);
    QCOMPARE(removed.get(), pc);
    QCOMPARE(pc->owner_tag(), std::nullopt);
    QCOMPARE(pc->next(), nullptr);
    QCOMPARE(pc->prev(), nullptr);
    CheckLinks(link, {pa, pb, pd});
    QCOMPARE(link.Remove(pa).get(), pa);
    CheckLinks(link, {pb, pd});
    QCOMPARE(link.Remove(pd).get(), pd);
    CheckLinks(link, {pb});

    // A removed node can be linked again, here before the new head.
    QVERIFY(link.InsertBefore(pb, std::move(removed)));
    CheckLinks(link, {pc, pb});
    QCOMPARE(link.PopFront().get(), pc);
    QCOMPARE(link.PopFront().get(), pb);
    CheckLinks(link, {});
    QCOMPARE(link.PopFront(), nullptr);
    QCOMPARE(link.First(), nullptr);
    QCOMPARE(link.Last(), nullptr);
}

void TestHighlightLink::listRefusals()
{
    // Two lists of the same kind share a tag; membership must still be told apart.
    Chighlight_link mine;
    Chighlight_link other;
    QVERIFY(mine.PushBack(std::make_unique<Chighlight_node>(10, 20)));
    QVERIFY(other.PushBack(std::make_unique<Chighlight_node>(30, 40)));
    Cbcl_link_node *ours = mine.First();
    Cbcl_link_node *theirs = other.First();

    QCOMPARE(mine.Remove(theirs), nullptr);
    QCOMPARE(mine.Remove(nullptr), nullptr);

    auto free = std::make_unique<Chighlight_node>(0, 5);
    Chighlight_node *pfree = free.get();
    QCOMPARE(mine.Remove(pfree), nullptr);
    // A refused node stays with the caller.
    QVERIFY(!mine.InsertBefore(theirs, std::move(free)));
    QCOMPARE(free.get(), pfree);
    QVERIFY(!mine.InsertBefore(pfree, std::move(free)));
    QVERIFY(!mine.InsertBefore(nullptr, std::move(free)));
    QCOMPARE(free.get(), pfree);
    QCOMPARE(pfree->owner_tag(), std::nullopt);

    // A node already in a list is refused by any list, its own included.
    std::unique_ptr<Cbcl_link_node> alias(theirs);
    QVERIFY(!mine.PushBack(std::move(alias)));
    QVERIFY(!mine.PushFront(std::move(alias)));
    QVERIFY(!mine.InsertBefore(ours, std::move(alias)));
    QVERIFY(!other.PushBack(std::move(alias)));
    QCOMPARE(alias.get(), theirs);
    (void)alias.release(); // still owned by `other`

    CheckLinks(mine, {ours});
    CheckLinks(other, {theirs});
    QCOMPARE(mine.Ranges(), Table({{10, 20}}));
    QCOMPARE(other.Ranges(), Table({{30, 40}}));
}

void TestHighlightLink::listOwnership()
{
    int alive = 0;
    {
        Cbcl_link link(50);
        for (int i = 0; i < 3; ++i)
            QVERIFY(link.PushBack(std::make_unique<Counted_node>(alive)));
        QCOMPARE(alive, 3);

        auto popped = link.PopFront();
        QVERIFY(popped);
        QCOMPARE(alive, 3);
        popped.reset();
        QCOMPARE(alive, 2);

        // A node that is not linked dies with the pointer that was handed back.
        QVERIFY(!link.InsertBefore(nullptr, std::make_unique<Counted_node>(alive)));
        QCOMPARE(alive, 2);
    }
    QCOMPARE(alive, 0);
}

// Many random edits against a bitset of highlighted positions: the table must
// keep its invariant and cover exactly the positions the model holds.
void TestHighlightLink::randomEditsMatchModel()
{
    constexpr int Width = 64;
    std::mt19937 random(20240601);
    std::uniform_int_distribution<int> position(0, Width);
    std::bernoulli_distribution adding(0.6);

    Chighlight_link link;
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
            link.AddRange(s, e);
        else
            link.RemoveRange(s, e);
        for (int i = s; i < e; ++i)
            model[i] = add;

        const Table table = link.Ranges();
        std::bitset<Width> covered;
        qint32 previousEnd = 0;
        for (const Ctext_section &r : table) {
            QVERIFY2(r.start < r.end && r.start >= previousEnd,
                     ("step " + QByteArray::number(step) + ": " + Describe(table)).constData());
            previousEnd = r.end;
            for (int i = r.start; i < r.end; ++i)
                covered[i] = true;
        }
        QVERIFY2(covered == model, ("step " + QByteArray::number(step) + ": " + Describe(table)).constData());
        QCOMPARE(link.Count(), qint32(table.size()));
        QCOMPARE(Backwards(link).size(), table.size());
    }
}

QTEST_GUILESS_MAIN(TestHighlightLink)
#include "tst_highlight_link.moc"
