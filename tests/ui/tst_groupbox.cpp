// The picture radio group: button and picture geometry, clamping, picture
// loading and clicks.
#include "support/TestSupport.h"
#include "ui/ZORBELGroupBox.h"

#include <QApplication>
#include <QImage>
#include <QLineEdit>
#include <QLabel>
#include <QSignalSpy>
#include <QtTest>

namespace {

QString WriteBitmap(const TestDir& dir, const QString& name, QSize size) {
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::darkCyan);
    const QString path = dir.file(name);
    return image.save(path, "BMP") ? path : QString();
}

// A radio button reacts only to clicks on its indicator and text.
void Click(QAbstractButton* button) {
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(8, button->height() / 2));
}

class LockedGroup : public TZORBELGroupBox {
public:
    using TZORBELGroupBox::TZORBELGroupBox;
    bool CanModify() const override { return false; }
};

}  // namespace

class TestPictureGroup : public QObject {
    Q_OBJECT
private slots:
    void buttonRects_data();
    void buttonRects();
    void pictureRect_data();
    void pictureRect();
    void columnsAndIndexClamp_data();
    void columnsAndIndexClamp();
    void pictureFollowsClick();
    void disabledGroupShowsNoPicture();
    void missingBitmapClearsPicture();
    void pictureReadOncePerChoice();
    void tinyGroupShowsNoPicture();
    void shrinkingItemsMovesIndex();
    void lockedGroupRefusesClicks();
    void buttonsStayLeftOfPicture();
    void arrowKeysMoveTheChoice_data();
    void arrowKeysMoveTheChoice();
    void lockedGroupIgnoresArrowKeys();
    void groupIsOneTabStop();
    void smallPictureIsCentred_data();
    void smallPictureIsCentred();
};

namespace {
TZORBELGroupBox* FourItems(QWidget* parent, int index) {
    auto* group = new TZORBELGroupBox(parent);
    group->resize(420, 160);
    group->SetItems({"Typ 75", "Typ 73", "Typ 78", "Typ 76"});
    group->SetEnabled(true);
    group->SetItemIndex(index);
    return group;
}
}  // namespace

void TestPictureGroup::arrowKeysMoveTheChoice_data() {
    QTest::addColumn<int>("start");
    QTest::addColumn<QList<int>>("keys");
    QTest::addColumn<QList<int>>("indexes");
    QTest::newRow("down, down") << 1 << QList<int>{Qt::Key_Down, Qt::Key_Down} << QList<int>{2, 3};
    QTest::newRow("right wraps to the first") << 3 << QList<int>{Qt::Key_Right} << QList<int>{0};
    QTest::newRow("up, left wraps to the last") << 1 << QList<int>{Qt::Key_Up, Qt::Key_Left} << QList<int>{0, 3};
    QTest::newRow("down and back up") << 0 << QList<int>{Qt::Key_Down, Qt::Key_Up} << QList<int>{1, 0};
}

void TestPictureGroup::arrowKeysMoveTheChoice() {
    QFETCH(int, start);
    QFETCH(QList<int>, keys);
    QFETCH(QList<int>, indexes);
    QWidget window;
    TZORBELGroupBox* group = FourItems(&window, start);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QSignalSpy clicks(group, &TCustomZORBELGroupBox::Clicked);
    group->Button(start)->setFocus();
    for (int k = 0; k < keys.size(); ++k) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key(keys[k]));
        QCOMPARE(group->ItemIndex(), indexes[k]);
        QCOMPARE(clicks.count(), k + 1);
        QCOMPARE(QApplication::focusWidget(), group->Button(indexes[k]));
        for (int i = 0; i < group->ButtonCount(); ++i) QCOMPARE(group->Button(i)->isChecked(), i == indexes[k]);
    }
}

void TestPictureGroup::lockedGroupIgnoresArrowKeys() {
    QWidget window;
    auto* group = new LockedGroup(&window);
    group->resize(420, 160);
    group->SetItems({"a", "b", "c"});
    group->SetEnabled(true);
    group->SetItemIndex(1);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QSignalSpy clicks(group, &TCustomZORBELGroupBox::Clicked);
    group->Button(1)->setFocus();
    QTest::keyClick(group->Button(1), Qt::Key_Down);
    QCOMPARE(group->ItemIndex(), 1);
    QCOMPARE(clicks.count(), 0);
    QVERIFY(group->Button(1)->isChecked());
    QVERIFY(!group->Button(2)->isChecked());
}

// Tab enters the group at its chosen button and leaves it with the next
// press; the other buttons are reached by the arrow keys only.
void TestPictureGroup::groupIsOneTabStop() {
    QWidget window;
    auto* before = new QLineEdit(&window);
    TZORBELGroupBox* group = FourItems(&window, 2);
    group->move(0, 30);
    auto* after = new QLineEdit(&window);
    after->move(0, 200);
    window.show();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    before->setFocus();
    QTest::keyClick(before, Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), group->Button(2));
    QTest::keyClick(group->Button(2), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), after);
    QTest::keyClick(after, Qt::Key_Backtab);
    QCOMPARE(QApplication::focusWidget(), group->Button(2));
    // The stop follows the choice.
    QTest::keyClick(group->Button(2), Qt::Key_Down);
    QTest::keyClick(group->Button(3), Qt::Key_Backtab);
    QCOMPARE(QApplication::focusWidget(), before);
    QTest::keyClick(before, Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), group->Button(3));
    // Without a choice the first button is the stop.
    group->SetItemIndex(-1);
    before->setFocus();
    QTest::keyClick(before, Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), group->Button(0));
}

void TestPictureGroup::smallPictureIsCentred_data() {
    QTest::addColumn<QSize>("picture");
    QTest::newRow("portrait") << QSize(20, 40);
    QTest::newRow("square") << QSize(30, 30);
    QTest::newRow("landscape") << QSize(60, 24);
}

// A picture smaller than its control stands in the middle of it, across
// and down.
void TestPictureGroup::smallPictureIsCentred() {
    QFETCH(QSize, picture);
    TestDir dir;
    QImage image(picture, QImage::Format_RGB32);
    image.fill(Qt::red);
    QVERIFY(image.save(dir.file("small.bmp"), "BMP"));
    QWidget window;
    auto* group = new TZORBELGroupBox(&window);
    group->resize(420, 200);
    group->SetItems({"one"});
    group->SetPictureFileNames({"small.bmp"});
    group->SetItemIndex(0);
    group->SetEnabled(true);
    group->SetPicturePath(dir.path());
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QVERIFY(group->HasPicture());
    QLabel* label = group->Picture();
    const QImage shown = label->grab().toImage();
    const QPoint centre(shown.width() / 2, shown.height() / 2);
    QCOMPARE(QColor(shown.pixel(centre)), QColor(Qt::red));
    // The picture's own extent around the centre, nothing beyond it.
    const QRect expected(QPoint((label->width() - picture.width()) / 2, (label->height() - picture.height()) / 2),
                         picture);
    int red = 0;
    for (int y = 0; y < shown.height(); ++y)
        for (int x = 0; x < shown.width(); ++x)
            if (QColor(shown.pixel(x, y)) == QColor(Qt::red)) {
                ++red;
                QVERIFY2(expected.adjusted(-1, -1, 1, 1).contains(x, y), qPrintable(QStringLiteral("%1,%2").arg(x).arg(y)));
            }
    QCOMPARE(red, picture.width() * picture.height());
}

void TestPictureGroup::buttonRects_data() {
    QTest::addColumn<int>("count");
    QTest::addColumn<int>("columns");
    QTest::addColumn<QList<QRect>>("expected");
    // Picture at x 210, group 100 high, text 15 high: column width 100,
    // inner height 80.
    QTest::newRow("five in two columns") << 5 << 2
                                         << QList<QRect>{{8, 17, 100, 26}, {8, 43, 100, 26}, {8, 69, 100, 26},
                                                         {108, 17, 100, 26}, {108, 43, 100, 26}};
    QTest::newRow("three in one column") << 3 << 1
                                         << QList<QRect>{{8, 17, 200, 26}, {8, 43, 200, 26}, {8, 69, 200, 26}};
    QTest::newRow("two in four columns") << 2 << 4 << QList<QRect>{{8, 16, 50, 80}, {58, 16, 50, 80}};
    QTest::newRow("none") << 0 << 2 << QList<QRect>{};
}

void TestPictureGroup::buttonRects() {
    QFETCH(int, count);
    QFETCH(int, columns);
    QFETCH(QList<QRect>, expected);
    const std::vector<QRect> rects = ArrangeButtonRects(count, columns, 210, 100, 15);
    QCOMPARE(QList<QRect>(rects.begin(), rects.end()), expected);
}

void TestPictureGroup::pictureRect_data() {
    QTest::addColumn<QSize>("group");
    QTest::addColumn<QSize>("picture");
    QTest::addColumn<int>("maxImageSize");
    QTest::addColumn<QRect>("expected");
    QTest::addColumn<bool>("stretch");
    QTest::newRow("limited to 70") << QSize(420, 120) << QSize(200, 100) << 70 << QRect(340, 44, 70, 35) << true;
    QTest::newRow("wide, group limits") << QSize(420, 120) << QSize(200, 100) << -1 << QRect(310, 37, 100, 50)
                                        << true;
    QTest::newRow("tall picture") << QSize(400, 120) << QSize(100, 200) << -1 << QRect(340, 12, 50, 100) << true;
    QTest::newRow("small picture kept") << QSize(400, 120) << QSize(40, 30) << -1 << QRect(350, 47, 40, 30)
                                        << false;
    QTest::newRow("no picture") << QSize(400, 120) << QSize() << -1 << QRect(390, 62, 0, 0) << false;
}

void TestPictureGroup::pictureRect() {
    QFETCH(QSize, group);
    QFETCH(QSize, picture);
    QFETCH(int, maxImageSize);
    QFETCH(QRect, expected);
    QFETCH(bool, stretch);
    const PicturePlacement p = ArrangePictureRect(group, picture, maxImageSize);
    QVERIFY(p.fits);
    QCOMPARE(p.rect, expected);
    QCOMPARE(p.stretch, stretch);
}

void TestPictureGroup::columnsAndIndexClamp_data() {
    QTest::addColumn<int>("columns");
    QTest::addColumn<int>("expectedColumns");
    QTest::addColumn<int>("index");
    QTest::addColumn<int>("expectedIndex");
    QTest::newRow("zero columns, index above") << 0 << 1 << 7 << 2;
    QTest::newRow("twenty columns, index below") << 20 << 16 << -5 << -1;
    QTest::newRow("in range") << 3 << 3 << 1 << 1;
}

void TestPictureGroup::columnsAndIndexClamp() {
    QFETCH(int, columns);
    QFETCH(int, expectedColumns);
    QFETCH(int, index);
    QFETCH(int, expectedIndex);
    TZORBELGroupBox group;
    group.resize(400, 120);
    group.SetItems({"a", "b", "c"});
    group.SetColumns(columns);
    group.SetItemIndex(index);
    QCOMPARE(group.Columns(), expectedColumns);
    QCOMPARE(group.ItemIndex(), expectedIndex);
    for (int i = 0; i < group.ButtonCount(); ++i) QCOMPARE(group.Button(i)->isChecked(), i == expectedIndex);
}

void TestPictureGroup::pictureFollowsClick() {
    TestDir dir;
    WriteBitmap(dir, "wide.bmp", QSize(200, 100));
    WriteBitmap(dir, "tall.bmp", QSize(60, 120));
    TZORBELGroupBox group;
    group.resize(420, 120);
    group.SetMaxImageSize(70);
    group.SetPictureFileNames({"wide.bmp", "tall.bmp"});
    group.SetItems({"Wide", "Tall"});
    group.SetEnabled(true);
    group.SetPicturePath(dir.path());
    group.show();
    QVERIFY(!group.HasPicture());  // no item chosen yet
    QSignalSpy clicks(&group, &TCustomZORBELGroupBox::Clicked);
    Click(group.Button(0));
    QCOMPARE(group.ItemIndex(), 0);
    QCOMPARE(clicks.count(), 1);
    QVERIFY(group.HasPicture());
    QCOMPARE(group.Picture()->geometry(), QRect(340, 44, 70, 35));
    Click(group.Button(1));
    QCOMPARE(group.ItemIndex(), 1);
    QVERIFY(group.Button(1)->isChecked());
    QVERIFY(!group.Button(0)->isChecked());
    QCOMPARE(group.Picture()->size(), QSize(35, 70));
    // Setting the index from code shows that item's picture as well (a
    // stored choice put back by the form).
    group.SetItemIndex(0);
    QCOMPARE(group.Picture()->size(), QSize(70, 35));
}

void TestPictureGroup::disabledGroupShowsNoPicture() {
    TestDir dir;
    WriteBitmap(dir, "p.bmp", QSize(50, 50));
    TZORBELGroupBox group;
    group.resize(300, 100);
    group.SetPictureFileNames({"p.bmp"});
    group.SetItems({"One"});
    group.SetItemIndex(0);
    group.SetPicturePath(dir.path() + "/");
    QVERIFY(!group.Enabled());
    QVERIFY(!group.HasPicture());  // a new group is not enabled
    group.SetEnabled(true);
    QVERIFY(group.HasPicture());
    QVERIFY(group.Button(0)->isEnabled());
    group.SetEnabled(false);
    QVERIFY(!group.HasPicture());
    QVERIFY(!group.Button(0)->isEnabled());
}

void TestPictureGroup::missingBitmapClearsPicture() {
    TestDir dir;
    WriteBitmap(dir, "there.bmp", QSize(50, 50));
    TZORBELGroupBox group;
    group.resize(300, 100);
    group.SetPictureFileNames({"there.bmp", "missing.bmp"});
    group.SetItems({"There", "Missing", "No name"});
    group.SetEnabled(true);
    group.SetPicturePath(dir.path());
    group.show();
    Click(group.Button(0));
    QVERIFY(group.HasPicture());
    Click(group.Button(1));
    QVERIFY(!group.HasPicture());
    QVERIFY(!group.Picture()->isVisible());
    Click(group.Button(2));
    QCOMPARE(group.ItemIndex(), 2);
    QVERIFY(!group.HasPicture());
}

// Every setting of a group asks for its picture (path, names, enabled,
// index, items); a picture already shown is not read again, a new choice is.
void TestPictureGroup::pictureReadOncePerChoice() {
    TestDir dir;
    WriteBitmap(dir, "a.bmp", QSize(40, 20));
    WriteBitmap(dir, "b.bmp", QSize(20, 40));
    TZORBELGroupBox group;
    group.resize(300, 100);
    group.SetPictureFileNames({"a.bmp", "b.bmp"});
    group.SetItems({"A", "B"});
    group.SetItemIndex(0);
    group.SetPicturePath(dir.path());
    group.SetEnabled(true);
    QVERIFY(group.HasPicture());
    const qint64 first = group.Picture()->pixmap().cacheKey();
    group.SetEnabled(true);
    group.SetItemIndex(0);
    group.SetPicturePath(dir.path());
    group.SetItems({"A", "B"});
    QCOMPARE(group.Picture()->pixmap().cacheKey(), first);
    group.SetItemIndex(1);
    QCOMPARE(group.Picture()->pixmap().size(), QSize(20, 40));
    group.SetItemIndex(0);
    QCOMPARE(group.Picture()->pixmap().size(), QSize(40, 20));
    QVERIFY(group.Picture()->pixmap().cacheKey() != first);
    // Disabled and enabled again, the picture is read again.
    group.SetEnabled(false);
    QVERIFY(!group.HasPicture());
    group.SetEnabled(true);
    QVERIFY(group.HasPicture());
    // A picture that went away is not shown from memory.
    QVERIFY(QFile::remove(dir.file("a.bmp")));
    group.SetPicturePath(dir.path());
    QVERIFY(!group.HasPicture());
}

void TestPictureGroup::tinyGroupShowsNoPicture() {
    QCOMPARE(ArrangePictureRect(QSize(40, 15), QSize(200, 100), -1).fits, false);
    QCOMPARE(ArrangePictureRect(QSize(300, 100), QSize(200, 100), 0).fits, false);
    TestDir dir;
    WriteBitmap(dir, "p.bmp", QSize(200, 100));
    TZORBELGroupBox group;
    group.resize(40, 15);
    group.SetPictureFileNames({"p.bmp"});
    group.SetItems({"One"});
    group.SetItemIndex(0);
    group.SetEnabled(true);
    group.SetPicturePath(dir.path());
    group.show();
    QVERIFY(!group.Picture()->isVisible());
    group.resize(420, 120);
    QVERIFY(group.Picture()->isVisible());
    QCOMPARE(group.Picture()->size(), QSize(100, 50));
}

void TestPictureGroup::shrinkingItemsMovesIndex() {
    TZORBELGroupBox group;
    group.resize(300, 100);
    group.SetItems({"a", "b", "c", "d"});
    group.SetItemIndex(3);
    group.SetItems({"a", "b"});
    QCOMPARE(group.ButtonCount(), 2);
    QCOMPARE(group.ItemIndex(), 1);
    QVERIFY(group.Button(1)->isChecked());
    QCOMPARE(group.Button(1)->text(), QStringLiteral("b"));
    group.SetItems({});
    QCOMPARE(group.ButtonCount(), 0);
    QCOMPARE(group.ItemIndex(), -1);
}

void TestPictureGroup::lockedGroupRefusesClicks() {
    LockedGroup group;
    group.resize(300, 100);
    group.SetItems({"a", "b"});
    group.SetEnabled(true);
    group.SetItemIndex(0);
    group.show();
    QSignalSpy clicks(&group, &TCustomZORBELGroupBox::Clicked);
    Click(group.Button(1));
    Click(group.Button(0));
    QCOMPARE(group.ItemIndex(), 0);
    QCOMPARE(clicks.count(), 0);
    QVERIFY(group.Button(0)->isChecked());
    QVERIFY(!group.Button(1)->isChecked());
}

void TestPictureGroup::buttonsStayLeftOfPicture() {
    TestDir dir;
    WriteBitmap(dir, "p.bmp", QSize(200, 100));
    TZORBELGroupBox group;
    group.resize(420, 120);
    group.SetPictureFileNames({"p.bmp", "p.bmp", "p.bmp"});
    group.SetItems({"a", "b", "c"});
    group.SetColumns(2);
    group.SetEnabled(true);
    group.SetPicturePath(dir.path());
    group.show();
    Click(group.Button(2));
    QVERIFY(group.HasPicture());
    for (int i = 0; i < group.ButtonCount(); ++i)
        QVERIFY(group.Button(i)->geometry().right() < group.Picture()->x());
    QCOMPARE(group.Button(2)->x(), group.Button(0)->x() + group.Button(0)->width());
}

QTEST_MAIN(TestPictureGroup)
#include "tst_groupbox.moc"
