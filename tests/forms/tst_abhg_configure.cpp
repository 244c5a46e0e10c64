// The arrangement form of configuration mode on a real configuration table
// in a temporary directory: loading a scope, the moves and orders, the save
// of 1..n and -1, the host-number check with the scope timer, the close
// question and the all-or-nothing save.
#include "support/TestSupport.h"
#include "data/CatalogueSchema.h"
#include "data/DBKON.h"
#include "forms/ABHG_configure.h"
#include "platform/FaultInjection.h"
#include "platform/Session.h"
#include "platform/Table.h"
#include "platform/TableFile.h"
#include "messages/MessageSeam.h"
#include "ui/MultiLang.h"
#include "ui/ZorbelGrid.h"

#include <QBuffer>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QHeaderView>
#include <QSignalSpy>
#include <QtTest>
#include <memory>

namespace {

struct Row {
    int nr;
    const char* mds;
    int order;
};

// Irregular on purpose: gaps in the numbers, rows at the scope's edges and
// just outside, reserved rows at -9999 and below, an empty host number, two
// rows sharing a host number.
const Row Rows[] = {
    {100, "0", 4},       // outside every scope
    {101, "1", 2},   {102, "2", 1},   {105, "", 0},     {107, "2", -1}, {108, "", -1},
    {110, "9", -9999},  // reserved
    {111, "9", -10000},
    {199, "3", 3},
    {200, "4", 5},       // outside every scope
    {201, "6", 1},
    {301, "7", 1},   {302, "7", -1}, {305, "8", -9998},
};

QByteArray Png(Qt::GlobalColor colour) {
    QImage image(20, 10, QImage::Format_RGB32);
    image.fill(colour);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

class Catalogue {
public:
    explicit Catalogue(bool orderIndex = true) {
        const CatalogueTableDef& def = CatalogueTable(QStringLiteral("ABHGNR.DB"));
        TIndexDefs indexes = def.indexDefs();
        if (!orderIndex)
            indexes.erase(std::remove_if(indexes.begin(), indexes.end(), [](const TIndexDef& i) { return !i.primary; }),
                          indexes.end());
        CreateTableFile(dir.path() + QStringLiteral("/ABHGNR.DB"), def.fieldDefs(), indexes);
        TTable t(dir.path(), QStringLiteral("ABHGNR.DB"));
        t.Open();
        for (const Row& r : Rows) {
            t.Append();
            t.FieldByName("A_NR").SetAsInteger(r.nr);
            t.FieldByName("A_NAME").SetAsString(QStringLiteral("SHHAESBS"));
            t.FieldByName("A_MDS_NO").SetAsString(QString::fromLatin1(r.mds));
            t.FieldByName("A_ORDERNO").SetAsInteger(r.order);
            if (r.nr == 102) t.FieldByName("BILD").SetValue(Png(Qt::red));
            if (r.nr == 105) t.FieldByName("BILD").SetValue(Png(Qt::blue));
            if (r.nr == 107) t.FieldByName("BILD").SetValue(Png(Qt::green));
            t.Post();
        }
        t.Close();
    }
    ~Catalogue() { Session().Close(); }

    QMap<int, int> Orders() const {
        QMap<int, int> out;
        TTable t(dir.path(), QStringLiteral("ABHGNR.DB"));
        t.Open();
        t.First();
        for (bool more = !t.IsEmpty(); more; more = t.Next())
            out.insert(t.FieldByName("A_NR").AsInteger(), t.FieldByName("A_ORDERNO").AsInteger());
        t.Close();
        return out;
    }
    static QMap<int, int> Initial() {
        QMap<int, int> out;
        for (const Row& r : Rows) out.insert(r.nr, r.order);
        return out;
    }
    QString path() const { return dir.path(); }

private:
    TestDir dir;
};

QStringList Column(const TZorbelGrid* g, int col) {
    QStringList out;
    for (int r = 1; r < g->RowCount(); ++r) out << g->Cells(col, r);
    return out;
}

QColor PictureColour(const QLabel* image) {
    return image->pixmap().isNull() ? QColor() : image->pixmap().toImage().pixelColor(5, 5);
}

// The widget's rectangle in the form's coordinates.
QRect InForm(const QWidget* w, const QWidget* form) { return QRect(w->mapTo(form, QPoint(0, 0)), w->size()); }

int RowOf(const TZorbelGrid* g, const QString& korvaNo) {
    for (int r = 1; r < g->RowCount(); ++r)
        if (g->Cells(1, r) == korvaNo) return r;
    return -1;
}

}  // namespace

class TstAbhgConfigure : public QObject {
    Q_OBJECT

    std::unique_ptr<TFABHG_configure> Open(const Catalogue& cat) {
        auto form = std::make_unique<TFABHG_configure>(cat.path(), QStringLiteral("ABHGNR.DB"));
        form->show();
        return form;
    }

private slots:
    void init() { ArmWriteFault(0); }
    void cleanup() { ArmWriteFault(0); }

    void loadsTheScopeAndHidesReservedRows_data() {
        QTest::addColumn<int>("scope");
        QTest::addColumn<int>("base");
        QTest::addColumn<QStringList>("used");
        QTest::addColumn<QStringList>("usedMds");
        QTest::addColumn<QStringList>("unused");
        QTest::addColumn<QStringList>("mdsNames");
        QTest::newRow("static") << 0 << 100 << QStringList{"5", "2", "1", "99"} << QStringList{"", "2", "1", "3"}
                                << QStringList{"7", "8"} << QStringList{"2", "", "", "2", "1", "3"};
        QTest::newRow("cold") << 2 << 200 << QStringList{"1"} << QStringList{"6"} << QStringList{""}
                              << QStringList{"6"};
        QTest::newRow("dynamic, -9998 listed") << 1 << 300 << QStringList{"1"} << QStringList{"7"}
                                               << QStringList{"5", "2"} << QStringList{"8", "7", "7"};
    }
    void loadsTheScopeAndHidesReservedRows() {
        QFETCH(int, scope);
        QFETCH(int, base);
        QFETCH(QStringList, used);
        QFETCH(QStringList, usedMds);
        QFETCH(QStringList, unused);
        QFETCH(QStringList, mdsNames);
        ScriptedMessageSeam seam;
        Catalogue cat;
        auto form = Open(cat);
        form->SetScopeIndex(scope);
        QCOMPARE(form->ScopeBase(), base);
        QCOMPARE(Column(form->LBused, 1), used);
        QCOMPARE(Column(form->LBused, 0), usedMds);
        QCOMPARE(Column(form->LBunused, 1), unused);
        QCOMPARE(form->MdsNames(), mdsNames);
        QCOMPARE(form->LBused->Cells(0, 0), QStringLiteral("MDS n°"));
        QCOMPARE(form->LBunused->Cells(1, 0), QStringLiteral("KORVA n°"));
        QVERIFY(!form->Modified());
        QVERIFY(seam.Requests().empty());
    }

    void loadsInOrderWithoutTheOrderIndex() {
        ScriptedMessageSeam seam;
        Catalogue cat(false);
        auto form = Open(cat);
        QVERIFY2(seam.Requests().empty(), qPrintable(seam.Texts().join("|")));
        QCOMPARE(Column(form->LBused, 1), (QStringList{"5", "2", "1", "99"}));
        QCOMPARE(Column(form->LBunused, 1), (QStringList{"7", "8"}));
    }

    void savesOneToNAndMinusOne() {
        ScriptedMessageSeam seam;
        Catalogue cat;
        auto form = Open(cat);
        form->BnormalOrderClick();  // 1 2 5 99
        form->LBunused->SetRow(2);  // 8
        form->BToLeftClick();       // available: 1 2 5 8 99 (sorted in? no sort column yet)
        QCOMPARE(Column(form->LBused, 1), (QStringList{"1", "2", "5", "99", "8"}));
        form->LBused->SetRow(2);
        form->BdownClick();  // 1 5 2 99 8
        QVERIFY(form->Modified());
        form->SetScopeIndex(2);  // saves the static scope
        QVERIFY2(seam.Requests().empty(), qPrintable(seam.Texts().join("|")));
        QCOMPARE(form->ScopeBase(), 200);
        QMap<int, int> expected = Catalogue::Initial();
        expected[101] = 1;
        expected[105] = 2;
        expected[102] = 3;
        expected[199] = 4;
        expected[108] = 5;
        expected[107] = -1;
        QCOMPARE(cat.Orders(), expected);
        // And back: the static scope shows the stored order.
        form->SetScopeIndex(0);
        QCOMPARE(Column(form->LBused, 1), (QStringList{"1", "5", "2", "99", "8"}));
    }

    void movingAllRightAndBackKeepsReservedRows() {
        ScriptedMessageSeam seam;
        Catalogue cat;
        auto form = Open(cat);
        form->SetScopeIndex(1);
        form->BToLeftAllClick();
        QCOMPARE(Column(form->LBused, 1), (QStringList{"1", "5", "2"}));
        QVERIFY(form->LBunused->IsGridEmpty());
        form->close();
        QVERIFY(!form->isVisible());
        QMap<int, int> expected = Catalogue::Initial();
        expected[301] = 1;
        expected[305] = 2;
        expected[302] = 3;  // -9998 is listed, so it is stored
        QCOMPARE(cat.Orders(), expected);
    }

    void refusesWhileAHostNumberIsUnavailable() {
        ScriptedMessageSeam seam;
        Catalogue cat;
        auto form = Open(cat);
        form->LBused->SetRow(RowOf(form->LBused, "1"));
        form->BToRightClick();
        QCOMPARE(Column(form->LBunused, 1), (QStringList{"7", "8", "1"}));
        // Closing is refused with the message.
        form->close();
        QVERIFY(form->isVisible());
        QCOMPARE(seam.Texts().size(), 1);
        QCOMPARE(seam.Texts().first(),
                 QStringLiteral("The MDS n° \"1\" is not in the list of\r available support configurations !"));
        QCOMPARE(seam.Requests().front().kind, MessageKind::Error);
        // A scope change is refused too; the timer puts the scope back once.
        seam.Clear();
        qobject_cast<QRadioButton*>(form->RGscope->findChild<QRadioButton*>("RGscope_2"))->click();
        QCOMPARE(seam.Texts().size(), 1);
        QVERIFY(form->ScopeChanging());
        QTRY_VERIFY_WITH_TIMEOUT(!form->ScopeChanging(), 2000);
        QCOMPARE(form->ScopeIndex(), 0);
        QVERIFY(form->RGscope->findChild<QRadioButton*>("RGscope_0")->isChecked());
        QTest::qWait(300);
        QCOMPARE(seam.Texts().size(), 1);  // no further attempt, no loop
        QCOMPARE(form->ScopeBase(), 100);
        QCOMPARE(Column(form->LBunused, 1), (QStringList{"7", "8", "1"}));
        QCOMPARE(cat.Orders(), Catalogue::Initial());
        // Moved back, the form closes and stores.
        form->LBunused->SetRow(3);
        form->BToLeftClick();
        form->close();
        QVERIFY(!form->isVisible());
        QCOMPARE(cat.Orders()[101], 4);
    }

    void emptyHostNumbersDoNotBlock() {
        ScriptedMessageSeam seam;
        Catalogue cat;
        auto form = Open(cat);
        form->LBused->SetRow(RowOf(form->LBused, "5"));  // host number empty
        form->BToRightClick();
        form->close();
        QVERIFY(seam.Requests().empty());
        QVERIFY(!form->isVisible());
        QCOMPARE(cat.Orders()[105], -1);
        QCOMPARE(cat.Orders()[102], 1);
    }

    void writesNothingWhenNothingChanged() {
        ScriptedMessageSeam seam;
        Catalogue cat;
        auto form = Open(cat);
        ArmWriteFault(1);  // any write would fail and say so
        form->SetScopeIndex(2);
        form->SetScopeIndex(0);
        form->close();
        QVERIFY(!form->isVisible());
        QCOMPARE(WriteFaultArmed(), 1);
        QVERIFY(seam.Requests().empty());
    }

    void failedSaveRollsBackAndOffersToClose() {
        ScriptedMessageSeam seam;
        Catalogue cat;
        auto form = Open(cat);
        form->BnormalOrderClick();
        ArmWriteFault(3);  // two rows written, the third fails
        seam.Answer(mr::OK);
        seam.Answer(mr::No);  // stay
        form->close();
        QVERIFY(form->isVisible());
        QCOMPARE(seam.Requests().size(), size_t(2));
        QCOMPARE(seam.Requests()[0].kind, MessageKind::Error);
        QVERIFY2(seam.Texts()[0].contains("Injected write failure"), qPrintable(seam.Texts()[0]));
        QCOMPARE(seam.Requests()[1].kind, MessageKind::Confirmation);
        QVERIFY(form->Modified());
        QCOMPARE(cat.Orders(), Catalogue::Initial());
        // Once the store works again the close stores everything.
        seam.Clear();
        form->close();
        QVERIFY(!form->isVisible());
        QCOMPARE(cat.Orders()[101], 1);
        QCOMPARE(cat.Orders()[199], 4);
    }

    void failedSaveCanCloseWithoutSaving() {
        ScriptedMessageSeam seam;
        Catalogue cat;
        auto form = Open(cat);
        form->BnormalOrderClick();
        ArmWriteFault(1);
        seam.Answer(mr::OK);
        seam.Answer(mr::Yes);
        form->close();
        QVERIFY(!form->isVisible());
        QCOMPARE(cat.Orders(), Catalogue::Initial());
    }

    void upOnFirstAndDownOnLastOnlyMarkChanged_data() {
        QTest::addColumn<bool>("up");
        QTest::addColumn<int>("row");
        QTest::addColumn<QStringList>("expected");
        QTest::addColumn<int>("currentAfter");
        QTest::newRow("up on row 1") << true << 1 << QStringList{"5", "2", "1", "99"} << 1;
        QTest::newRow("up on row 2") << true << 2 << QStringList{"2", "5", "1", "99"} << 1;
        QTest::newRow("down on the last") << false << 4 << QStringList{"5", "2", "1", "99"} << 4;
        QTest::newRow("down on the one before") << false << 3 << QStringList{"5", "2", "99", "1"} << 4;
    }
    void upOnFirstAndDownOnLastOnlyMarkChanged() {
        QFETCH(bool, up);
        QFETCH(int, row);
        QFETCH(QStringList, expected);
        QFETCH(int, currentAfter);
        ScriptedMessageSeam seam;
        Catalogue cat;
        auto form = Open(cat);
        form->LBused->SetRow(row);
        up ? form->BupClick() : form->BdownClick();
        QCOMPARE(Column(form->LBused, 1), expected);
        QCOMPARE(form->LBused->Row(), currentAfter);
        QVERIFY(form->Modified());
    }

    void normalOrderSortsAsNumbers() {
        ScriptedMessageSeam seam;
        Catalogue cat;
        auto form = Open(cat);
        TZorbelGrid::ClearGrid(*form->LBused);
        for (const char* n : {"5", "2", "10", "9"}) form->LBused->AddRow({"x", n});
        form->BnormalOrderClick();
        QCOMPARE(Column(form->LBused, 1), (QStringList{"2", "5", "9", "10"}));
    }

    void titleClickCountsAsAChange() {
        ScriptedMessageSeam seam;
        Catalogue cat;
        auto form = Open(cat);
        QVERIFY(form->LBused->TitleClick(1));
        QCOMPARE(Column(form->LBused, 1), (QStringList{"1", "2", "5", "99"}));
        QVERIFY(form->Modified());
        form->close();
        QCOMPARE(cat.Orders()[101], 1);
        QCOMPARE(cat.Orders()[199], 4);
    }

    // The form as the engineer sees it: scope choice on top; the two grids
    // side by side, equally wide, each over its picture (200 x 160, centred);
    // the move buttons between them, centred in height, in their order;
    // the order row below, its controls at their natural widths from the
    // left. Nothing overlaps.
    void layoutOfTheForm() {
        ScriptedMessageSeam seam;
        Catalogue cat;
        auto form = Open(cat);
        form->resize(900, 600);
        QVERIFY(QTest::qWaitForWindowExposed(form.get()));
        QApplication::processEvents();
        const QWidget* f = form.get();
        auto* used = form->findChild<QGroupBox*>("GBused");
        auto* unused = form->findChild<QGroupBox*>("GBunused");
        QVERIFY(used && unused);
        const QRect scope = InForm(form->RGscope, f), u = InForm(used, f), n = InForm(unused, f);
        QVERIFY(f->rect().contains(scope) && f->rect().contains(u) && f->rect().contains(n));
        QVERIFY(scope.bottom() < u.top() && scope.bottom() < n.top());
        QVERIFY(u.right() < n.left());
        QVERIFY(std::abs(u.width() - n.width()) <= 1);
        QCOMPARE(u.top(), n.top());
        for (const auto& [grid, image, box] : {std::tuple{form->LBused, form->DBImage1, u},
                                               std::tuple{form->LBunused, form->DBImage_Unused, n}}) {
            const QRect g = InForm(grid, f), i = InForm(image, f);
            QVERIFY(box.contains(g) && box.contains(i));
            QVERIFY(g.bottom() < i.top());
            // The picture right under its grid, at the bottom of the box.
            QVERIFY(i.top() - g.bottom() <= 12);
            QVERIFY(box.bottom() - i.bottom() <= 12);
            QVERIFY(g.height() > 100);
            QCOMPARE(image->size(), QSize(200, 160));
            QVERIFY(std::abs(i.center().x() - box.center().x()) <= 1);
        }
        // The radio buttons in item order, side by side.
        const QList<QRadioButton*> radios = form->RGscope->findChildren<QRadioButton*>();
        QCOMPARE(radios.size(), 3);
        for (int i = 0; i < 3; ++i) {
            const QRect r = InForm(radios[i], f);
            QVERIFY(scope.contains(r));
            if (i > 0) QVERIFY(InForm(radios[i - 1], f).right() < r.left());
        }
        // The move buttons between the grids, one under the other, centred.
        const QList<QPushButton*> moves{form->BToRightAll, form->BToRight, form->BToLeft, form->BToLeftAll};
        for (int i = 0; i < moves.size(); ++i) {
            const QRect r = InForm(moves[i], f);
            QVERIFY(r.left() > u.right() && r.right() < n.left());
            QCOMPARE(r.width(), 48);
            if (i > 0) QVERIFY(InForm(moves[i - 1], f).bottom() < r.top());
        }
        const int movesMiddle = (InForm(moves.first(), f).top() + InForm(moves.last(), f).bottom()) / 2;
        QVERIFY2(std::abs(movesMiddle - u.center().y()) <= 3,
                 qPrintable(QStringLiteral("%1 against %2").arg(movesMiddle).arg(u.center().y())));
        // The order row below the grids, from the left, at natural widths.
        const QList<QWidget*> order{form->Label1, form->Bup, form->Bdown, form->BnormalOrder};
        for (int i = 0; i < order.size(); ++i) {
            const QRect r = InForm(order[i], f);
            QVERIFY(r.top() > u.bottom());
            QCOMPARE(r.width(), order[i]->sizeHint().width());
            if (i > 0) QVERIFY(InForm(order[i - 1], f).right() < r.left());
        }
        QVERIFY(InForm(form->Label1, f).left() <= u.left());
    }

    // What the form is made of: the names of its components (the
    // translator's keys), two columns per grid, three scopes, the timer.
    void partsOfTheForm() {
        ScriptedMessageSeam seam;
        Catalogue cat;
        auto form = Open(cat);
        const QList<std::pair<const char*, QObject*>> named{
            {"RGscope", form->RGscope},         {"LBused", form->LBused},       {"LBunused", form->LBunused},
            {"BToRightAll", form->BToRightAll}, {"BToRight", form->BToRight},   {"BToLeft", form->BToLeft},
            {"BToLeftAll", form->BToLeftAll},   {"Bup", form->Bup},             {"Bdown", form->Bdown},
            {"BnormalOrder", form->BnormalOrder}, {"Label1", form->Label1},     {"DBImage1", form->DBImage1},
            {"DBImage_Unused", form->DBImage_Unused}};
        QCOMPARE(form->objectName(), QStringLiteral("FABHG_configure"));
        QVERIFY2(form->windowTitle().contains("Configure support configurations"), qPrintable(form->windowTitle()));
        for (QLabel* image : {form->DBImage1, form->DBImage_Unused})
            QCOMPARE(image->frameStyle(), int(QFrame::Panel | QFrame::Sunken));
        for (const auto& [name, object] : named) {
            QVERIFY2(object, name);
            QCOMPARE(object->objectName(), QString::fromLatin1(name));
        }
        for (TZorbelGrid* g : {form->LBused, form->LBunused}) {
            QCOMPARE(g->ColCount(), 2);
            QVERIFY(!g->EnableDrapDrop);
        }
        QStringList items;
        for (int i = 0; i < 3; ++i)
            items << form->RGscope->findChild<QRadioButton*>(QStringLiteral("RGscope_%1").arg(i))->text();
        QCOMPARE(items, (QStringList{"Static", "Dynamic", "Cold"}));
        QCOMPARE(form->Timer1.interval(), 100);
        QVERIFY(form->Timer1.isSingleShot());
        QVERIFY(!form->Timer1.isActive());
        QCOMPARE(form->LBused->Cells(0, 0), QStringLiteral("MDS n°"));
        QCOMPARE(form->LBunused->Cells(0, 0), QStringLiteral("MDS n°"));
        QVERIFY(!form->DBImage_Unused->isEnabled());
    }

    // A title click sorts by the column's type: whole numbers in column 1,
    // text in column 0; in both grids.
    void titleClickSortsByColumnType_data() {
        QTest::addColumn<bool>("available");
        QTest::newRow("available") << true;
        QTest::newRow("unavailable") << false;
    }
    void titleClickSortsByColumnType() {
        QFETCH(bool, available);
        ScriptedMessageSeam seam;
        Catalogue cat;
        auto form = Open(cat);
        TZorbelGrid* g = available ? form->LBused : form->LBunused;
        TZorbelGrid::ClearGrid(*g);
        g->AddRow({"10", "30"});
        g->AddRow({"9", "4"});
        g->AddRow({"100", "200"});
        QVERIFY(g->TitleClick(1));
        QCOMPARE(Column(g, 1), (QStringList{"4", "30", "200"}));
        QVERIFY(g->TitleClick(0));
        QCOMPARE(Column(g, 0), (QStringList{"10", "100", "9"}));
    }

    // Once sorted, rows moved in are sorted in.
    void movedRowsAreSortedIn() {
        ScriptedMessageSeam seam;
        Catalogue cat;
        auto form = Open(cat);
        QVERIFY(form->LBused->TitleClick(1));
        QCOMPARE(Column(form->LBused, 1), (QStringList{"1", "2", "5", "99"}));
        form->LBunused->SetRow(RowOf(form->LBunused, "8"));
        form->BToLeftClick();
        QCOMPARE(Column(form->LBused, 1), (QStringList{"1", "2", "5", "8", "99"}));
        QCOMPARE(Column(form->LBunused, 1), (QStringList{"7"}));
    }

    // "All to the right": every available row moves to the unavailable
    // grid; the pictures follow (none for the empty grid, the current
    // unavailable row's); the host numbers then hold the close.
    void allToTheRight() {
        ScriptedMessageSeam seam;
        Catalogue cat;
        auto form = Open(cat);
        form->BToRightAllClick();
        QVERIFY(form->LBused->IsGridEmpty());
        QCOMPARE(Column(form->LBunused, 1), (QStringList{"7", "8", "5", "2", "1", "99"}));
        QCOMPARE(Column(form->LBunused, 0), (QStringList{"2", "", "", "2", "1", "3"}));
        QVERIFY(form->Modified());
        QVERIFY(form->DBImage1->pixmap().isNull());
        QCOMPARE(PictureColour(form->DBImage_Unused), QColor(Qt::green));
        // The empty grid's picture table is closed; the other one shows
        // its row.
        QVERIFY(!form->Tab_Abhgnr_Used.Active());
        QVERIFY(form->Tab_Abhgnr_Unused.Active());
        form->close();
        QVERIFY(form->isVisible());
        QCOMPARE(seam.Texts(),
                 QStringList{"The MDS n° \"2\" is not in the list of\r available support configurations !"});
        QCOMPARE(cat.Orders(), Catalogue::Initial());
    }

    // After loading, the first row of each grid is the current one and its
    // picture is shown; a scope without pictures shows none.
    void picturesOfTheFirstRows() {
        ScriptedMessageSeam seam;
        Catalogue cat;
        auto form = Open(cat);
        QCOMPARE(form->LBused->Row(), 1);
        QCOMPARE(form->LBunused->Row(), 1);
        QCOMPARE(PictureColour(form->DBImage1), QColor(Qt::blue));
        QCOMPARE(PictureColour(form->DBImage_Unused), QColor(Qt::green));
        form->SetScopeIndex(1);
        QVERIFY(form->DBImage1->pixmap().isNull());
        QVERIFY(form->DBImage_Unused->pixmap().isNull());
    }

    // "Normal order" leaves rows of equal numbers as they stand, and the
    // grid shows the new order at once.
    void normalOrderKeepsEqualNumbers() {
        ScriptedMessageSeam seam;
        Catalogue cat;
        auto form = Open(cat);
        TZorbelGrid::ClearGrid(*form->LBused);
        form->LBused->AddRow({"x", "7"});
        form->LBused->AddRow({"a", "3"});
        form->LBused->AddRow({"y", "7"});
        QSignalSpy reset(form->LBused->model(), &QAbstractItemModel::modelReset);
        form->BnormalOrderClick();
        QCOMPARE(Column(form->LBused, 0), (QStringList{"a", "x", "y"}));
        QVERIFY(reset.count() >= 1);
        QCOMPARE(form->LBused->model()->data(form->LBused->model()->index(0, 0)).toString(), QStringLiteral("a"));
    }

    // A failed store is not remembered: a later refusal by the host numbers
    // shows its message only, without offering to close unsaved.
    void failedStoreThenRefusal() {
        ScriptedMessageSeam seam;
        Catalogue cat;
        auto form = Open(cat);
        form->BnormalOrderClick();
        ArmWriteFault(1);
        seam.Answer(mr::OK);
        seam.Answer(mr::No);
        form->close();
        QVERIFY(form->isVisible());
        QCOMPARE(seam.Requests().size(), size_t(2));
        seam.Clear();
        form->LBused->SetRow(RowOf(form->LBused, "1"));
        form->BToRightClick();
        seam.Answer(mr::Yes);  // were the close offered, it would be taken
        form->close();
        QVERIFY(form->isVisible());
        QCOMPARE(seam.Texts(),
                 QStringList{"The MDS n° \"1\" is not in the list of\r available support configurations !"});
    }

    // Scope numbers outside the three items change nothing.
    void unknownScopeIgnored() {
        ScriptedMessageSeam seam;
        Catalogue cat;
        auto form = Open(cat);
        form->SetScopeIndex(2);
        for (int index : {3, -1}) {
            form->SetScopeIndex(index);
            QCOMPARE(form->ScopeIndex(), 2);
            QCOMPARE(form->ScopeBase(), 200);
            QCOMPARE(Column(form->LBused, 1), QStringList{"1"});
        }
    }

    // Reserved configurations are never written, not even when a grid
    // lists one.
    void reservedRowsNeverWritten() {
        ScriptedMessageSeam seam;
        Catalogue cat;
        auto form = Open(cat);
        form->LBused->AddRow({"9", "10"});    // 110, -9999
        form->LBunused->AddRow({"9", "11"});  // 111, -10000
        form->BnormalOrderClick();
        QCOMPARE(Column(form->LBused, 1), (QStringList{"1", "2", "5", "10", "99"}));
        form->close();
        QVERIFY(!form->isVisible());
        QMap<int, int> expected = Catalogue::Initial();
        expected[101] = 1;
        expected[102] = 2;
        expected[105] = 3;
        expected[199] = 5;
        expected[107] = -1;
        expected[108] = -1;
        QCOMPARE(cat.Orders(), expected);
    }

    // A scope change refused by a failed store starts the timer; a close
    // that then stores stops it, so nothing runs on the closed form.
    void closeStopsTheScopeTimer() {
        ScriptedMessageSeam seam;
        Catalogue cat;
        auto form = Open(cat);
        form->BnormalOrderClick();
        ArmWriteFault(1);
        seam.Answer(mr::OK);
        form->RGscope->findChild<QRadioButton*>("RGscope_2")->click();
        QCOMPARE(seam.Requests().size(), size_t(1));
        QVERIFY(form->Timer1.isActive());
        form->close();
        QVERIFY(!form->isVisible());
        QVERIFY(!form->Timer1.isActive());
        QCOMPARE(cat.Orders()[101], 1);
        QCOMPARE(seam.Requests().size(), size_t(1));
    }

    // A save clears the change mark: going on to another scope and back
    // without a change writes nothing more.
    void saveClearsTheChangeMark() {
        ScriptedMessageSeam seam;
        Catalogue cat;
        auto form = Open(cat);
        form->BnormalOrderClick();
        form->SetScopeIndex(2);
        QVERIFY(!form->Modified());
        QCOMPARE(cat.Orders()[101], 1);
        ArmWriteFault(1);  // a write now would fail and say so
        form->SetScopeIndex(0);
        form->SetScopeIndex(2);
        QCOMPARE(WriteFaultArmed(), 1);
        QVERIFY(seam.Requests().empty());
    }

    // The grids show what was loaded: their views know every row.
    void gridsShowTheLoadedRows() {
        ScriptedMessageSeam seam;
        Catalogue cat;
        auto form = Open(cat);
        for (int scope : {0, 1, 0}) {
            form->SetScopeIndex(scope);
            for (TZorbelGrid* g : {form->LBused, form->LBunused}) {
                QCOMPARE(g->verticalHeader()->count(), g->model()->rowCount());
                QCOMPARE(g->model()->rowCount(), int(Column(g, 1).size()));
            }
        }
    }

    // A configuration table that cannot be read is reported when the scope
    // is loaded; the grids stay empty.
    void unreadableTableReported() {
        ScriptedMessageSeam seam;
        Catalogue cat;
        Session().Close();
        {
            QFile f(cat.path() + QStringLiteral("/ABHGNR.DB"));
            QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
            f.write(QByteArray(4096, 'x'));
        }
        auto form = Open(cat);
        QCOMPARE(seam.Requests().size(), size_t(1));
        QCOMPARE(seam.Requests().front().kind, MessageKind::Error);
        QVERIFY(!seam.Texts().first().isEmpty());
        QVERIFY(form->LBused->IsGridEmpty());
        QVERIFY(form->LBunused->IsGridEmpty());
    }

    // Configuration mode's forms on the catalogue module's configuration
    // table: the arrangement form opens on it, and closing it ends the
    // mode with 0.
    void configurationModeRuns() {
        ScriptedMessageSeam seam;
        Catalogue cat;
        TestDir aliases;
        const QString ini = aliases.file(QStringLiteral("aliases.ini"));
        {
            QSettings s(ini, QSettings::IniFormat);
            s.setValue(QStringLiteral("KORVA_9_0/PATH"), cat.path());
        }
        for (const CatalogueTableDef& def : CatalogueTables())
            if (!QFile::exists(cat.path() + u'/' + def.fileName))
                CreateTableFile(cat.path() + u'/' + def.fileName, def.fieldDefs(), def.indexDefs());
        const QByteArray oldAliases = qgetenv("KORVA_ALIAS_FILE");
        qputenv("KORVA_ALIAS_FILE", ini.toLocal8Bit());
        Session().ReloadAliases();
        int result = -1;
        QStringList shown;
        {
            TDBKONST kon;
            QTimer::singleShot(0, [&] {
                auto* form = qobject_cast<TFABHG_configure*>(QApplication::activeModalWidget());
                if (!form) {
                    for (QWidget* w : QApplication::topLevelWidgets())
                        if (auto* f = qobject_cast<TFABHG_configure*>(w); f && f->isVisible()) form = f;
                }
                if (!form) return;
                shown = Column(form->LBused, 1);
                form->close();
            });
            result = RunConfigurationForms();
        }
        qputenv("KORVA_ALIAS_FILE", oldAliases);
        Session().ReloadAliases();
        QCOMPARE(shown, (QStringList{"5", "2", "1", "99"}));
        QCOMPARE(result, 0);
    }

    // A move refreshes both pictures, also where the current row keeps its
    // number: configuration 7 (green) leaves the unavailable grid, whose
    // first row is then 8, without a picture.
    void movePicturesTheRowThatTakesThePlace() {
        ScriptedMessageSeam seam;
        Catalogue cat;
        auto form = Open(cat);
        form->LBunused->SetRow(RowOf(form->LBunused, "7"));
        form->LBunusedClick();
        QCOMPARE(PictureColour(form->DBImage_Unused), QColor(Qt::green));
        form->BToLeftClick();
        QCOMPARE(Column(form->LBunused, 1), QStringList{"8"});
        QCOMPARE(form->LBunused->Row(), 1);
        QVERIFY(form->DBImage_Unused->pixmap().isNull());
    }

    void picturesFollowTheCurrentRow() {
        ScriptedMessageSeam seam;
        Catalogue cat;
        auto form = Open(cat);
        form->LBused->SetRow(RowOf(form->LBused, "2"));
        form->LBusedClick();
        QVERIFY(!form->DBImage1->pixmap().isNull());
        QCOMPARE(form->DBImage1->pixmap().toImage().pixelColor(5, 5), QColor(Qt::red));
        form->LBused->SetRow(RowOf(form->LBused, "1"));  // no picture stored
        form->LBusedClick();
        QVERIFY(form->DBImage1->pixmap().isNull());
        form->BToLeftAllClick();  // the unavailable grid is now empty
        QVERIFY(form->DBImage_Unused->pixmap().isNull());
        QVERIFY(!form->DBImage1->isEnabled());
    }
};

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    DictionaryScope dictionaries;
    TstAbhgConfigure t;
    return QTest::qExec(&t, argc, argv);
}
#include "tst_abhg_configure.moc"
