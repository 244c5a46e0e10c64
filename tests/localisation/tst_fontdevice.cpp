// The font dialog's device: the screen's fonts, the printer's (those a
// print job can carry, the scalable ones), or both; on a machine without a
// printer (made in the test: the printing system's client reaches no
// server and reads its settings from the test's directory) the screen's
// fonts are listed and the dialog says so. A bitmap font of the test's own
// tells the lists apart.
#include "localisation/IvDialogs.h"
#include "support/TestSupport.h"

#include <QFontDatabase>
#include <QFontDialog>
#include <QLabel>
#include <QListView>
#include <QPrinterInfo>
#include <QtTest>

namespace {

const QString BitmapFamily = QStringLiteral("KorvaBitmapProbe");

// One glyph of an 8 x 8 bitmap font in the BDF format.
const char* const BitmapFont = R"(STARTFONT 2.1
FONT -korva-KorvaBitmapProbe-medium-r-normal--8-80-75-75-c-80-iso10646-1
SIZE 8 75 75
FONTBOUNDINGBOX 8 8 0 0
STARTPROPERTIES 4
FAMILY_NAME "KorvaBitmapProbe"
FONT_ASCENT 8
FONT_DESCENT 0
DEFAULT_CHAR 65
ENDPROPERTIES
CHARS 1
STARTCHAR A
ENCODING 65
SWIDTH 1000 0
DWIDTH 8 0
BBX 8 8 0 0
BITMAP
18
24
42
42
7E
42
42
00
ENDCHAR
ENDFONT
)";

// The families the dialog's family list shows.
QStringList ListedFamilies(QFontDialog& dialog) {
    for (QListView* view : dialog.findChildren<QListView*>()) {
        QStringList rows;
        for (int r = 0; r < view->model()->rowCount(); ++r) rows << view->model()->index(r, 0).data().toString();
        // The family list is the one that holds a family of the database.
        if (rows.contains(QFontDatabase::families().value(0)) || rows.contains(BitmapFamily)) return rows;
    }
    return {};
}

}  // namespace

class TstFontDevice : public QObject {
    Q_OBJECT
    TestDir home;

private slots:
    void initTestCase() {
        // No printer: the printing system's client finds no server and no
        // settings but the test's own.
        qputenv("CUPS_SERVER", QFile::encodeName(home.file("no-printing-server.sock")));
        qputenv("CUPS_SERVERROOT", QFile::encodeName(home.path()));
        qputenv("HOME", QFile::encodeName(home.path()));
        QFile font(home.file("probe.bdf"));
        QVERIFY(font.open(QIODevice::WriteOnly));
        font.write(BitmapFont);
        font.close();
        const int id = QFontDatabase::addApplicationFont(font.fileName());
        QVERIFY2(id >= 0, "the bitmap font does not load");
        QCOMPARE(QFontDatabase::applicationFontFamilies(id), QStringList{BitmapFamily});
        QVERIFY(!QFontDatabase::isSmoothlyScalable(BitmapFamily));
        QVERIFY(QFontDatabase::families().size() > 1);  // a scalable one beside it
    }

    void realMachineHasNoPrinter() {
        QVERIFY(QPrinterInfo::availablePrinterNames().isEmpty());
        TIvFontDialog dialog;
        QVERIFY(dialog.PrinterName().isEmpty());
    }

    void familiesByDevice_data() {
        QTest::addColumn<int>("device");
        QTest::addColumn<bool>("printer");
        QTest::addColumn<bool>("bitmapListed");
        QTest::addColumn<bool>("note");
        QTest::newRow("screen") << int(fdScreen) << false << true << false;
        QTest::newRow("screen, printer at hand") << int(fdScreen) << true << true << false;
        QTest::newRow("printer") << int(fdPrinter) << true << false << false;
        QTest::newRow("both") << int(fdBoth) << true << false << false;
        QTest::newRow("printer, none installed") << int(fdPrinter) << false << true << true;
        QTest::newRow("both, none installed") << int(fdBoth) << false << true << true;
    }
    void familiesByDevice() {
        QFETCH(int, device);
        QFETCH(bool, printer);
        QFETCH(bool, bitmapListed);
        QFETCH(bool, note);
        TIvFontDialog dialog;
        dialog.Device = TFontDialogDevice(device);
        // With a printer: one named as the system would; without: the real
        // look-up of this machine, which has none.
        if (printer) dialog.PrinterName = [] { return QStringLiteral("Office"); };
        const TFontDeviceFonts fonts = dialog.DeviceFonts();
        QCOMPARE(fonts.families.contains(BitmapFamily), bitmapListed);
        QCOMPARE(fonts.printerFound, printer && device != fdScreen);
        QCOMPARE(!fonts.note.isEmpty(), note);
        if (note) QCOMPARE(fonts.note, QStringLiteral("No printer is installed: the screen fonts are listed."));
        // Every screen font is there, or exactly the scalable ones.
        QStringList expected;
        for (const QString& f : QFontDatabase::families())
            if (!QFontDatabase::isPrivateFamily(f) && (bitmapListed || QFontDatabase::isSmoothlyScalable(f))) expected << f;
        QCOMPARE(fonts.families, expected);
        QVERIFY(!fonts.families.isEmpty());

        // The dialog lists the same and shows the note.
        std::unique_ptr<QFontDialog> shown = dialog.CreateDialog();
        const QStringList listed = ListedFamilies(*shown);
        QVERIFY(!listed.isEmpty());
        QCOMPARE(listed.contains(BitmapFamily), bitmapListed);
        for (const QString& f : listed) QVERIFY2(fonts.families.contains(f), qPrintable(f));
        auto* label = shown->findChild<QLabel*>(QStringLiteral("DeviceNote"));
        QCOMPARE(label != nullptr, note);
        if (label) QCOMPARE(label->text(), fonts.note);
    }
};

QTEST_MAIN(TstFontDevice)
#include "tst_fontdevice.moc"
