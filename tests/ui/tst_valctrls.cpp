// Validated edits and the feet-inch height edit: conversions, error codes,
// bounds and the focus keeping.
#include "support/TestSupport.h"
#include "localisation/IvBinDic.h"
#include "localisation/IvLanguD.h"
#include "localisation/IvMLDWri.h"
#include "ui/Unctool.h"
#include "ui/ValCtrls.h"

#include <QApplication>
#include <QDialog>
#include <QSignalSpy>
#include <QVBoxLayout>
#include <QtTest>

namespace {

// An integer edit that counts its checks and beeps instead of sounding.
class CountingEdit : public TIntegerEdit {
public:
    using TIntegerEdit::TIntegerEdit;
    int checks = 0;
    int beeps = 0;
    bool IsValidText() override {
        ++checks;
        return TIntegerEdit::IsValidText();
    }

protected:
    void Beep() override { ++beeps; }
};

struct FocusWindow {
    QWidget window;
    CountingEdit* a = new CountingEdit(&window);
    CountingEdit* b = new CountingEdit(&window);
    QLineEdit* plain = new QLineEdit(&window);
    FocusWindow() {
        auto* layout = new QVBoxLayout(&window);
        layout->addWidget(a);
        layout->addWidget(b);
        layout->addWidget(plain);
        window.show();
        window.activateWindow();
    }
};

QString Dp() { return IvFormatSettings().DecimalSeparator; }

}  // namespace

class TestValidatedEdits : public QObject {
    Q_OBJECT
private slots:
    void feetAndInches_data();
    void feetAndInches();
    void millimetres_data();
    void millimetres();
    void heightEditModes();
    void integerText_data();
    void integerText();
    void integerBounds();
    void floatView_data();
    void floatView();
    void floatBoundsAndText();
    void programDecimalSeparator();
    void decimalSeparatorOfTheLocale_data();
    void decimalSeparatorOfTheLocale();
    void emptyText_data();
    void emptyText();
    void invalidEditKeepsFocus();
    void twoInvalidEditsDoNotPingPong();
    void ownerMayLetFocusGo();
    void otherWindowIsNoFocusMove();
};

void TestValidatedEdits::feetAndInches_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("value");
    QTest::addColumn<int>("error");
    QTest::newRow("10'-6.5\"") << "10'-6.5\"" << 3213 << 0;
    QTest::newRow("-1'-0,0\"") << "-1'-0,0\"" << -305 << 0;
    QTest::newRow("-0'-6.0\"") << "-0'-6.0\"" << -152 << 0;
    QTest::newRow("0'-11.99\"") << "0'-11.99\"" << 305 << 0;
    QTest::newRow("123456'-0.0\"") << "123456'-0.0\"" << 37629389 << 0;
    QTest::newRow("empty") << "" << -1 << 5201;
    QTest::newRow("blank") << "1 '-6.0\"" << -1 << 5202;
    QTest::newRow("letter") << "1'-6a\"" << -1 << 5202;
    QTest::newRow("plus") << "+1'-6.0\"" << -1 << 5202;
    QTest::newRow("double minus") << "1'--6.0\"" << -1 << 5202;
    QTest::newRow("non-integer feet") << "1.5'-3.0\"" << -1 << 5202;
    QTest::newRow("two separators in inches") << "1'-6.0.0\"" << -1 << 5202;
    QTest::newRow("no foot mark") << "10-6.0\"" << -1 << 5203;
    QTest::newRow("foot mark first") << "'-6.0\"" << -1 << 5203;
    QTest::newRow("foot mark too late") << "1234567'-6.0\"" << -1 << 5203;
    QTest::newRow("no minus") << "12'6.0\"" << -1 << 5204;
    QTest::newRow("no inch mark") << "1'-6.0" << -1 << 5205;
    QTest::newRow("inches too short") << "1'-6\"" << -1 << 5206;
    QTest::newRow("inches too long") << "1'-6.00000\"" << -1 << 5206;
    QTest::newRow("twelve inches") << "1'-12.0\"" << -1 << 5207;
}

void TestValidatedEdits::feetAndInches() {
    QFETCH(QString, text);
    QFETCH(int, value);
    QFETCH(int, error);
    const UncHeight h = ParseUncHeight(text, true);
    QCOMPARE(h.error, error);
    QCOMPARE(h.value, value);
}

void TestValidatedEdits::millimetres_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("value");
    QTest::addColumn<int>("error");
    QTest::newRow("1200") << "1200" << 1200 << 0;
    QTest::newRow("-50") << "-50" << -50 << 0;
    QTest::newRow("12.5") << "12.5" << -1 << 5208;
    QTest::newRow("12,5") << "12,5" << -1 << 5208;
    QTest::newRow("empty") << "" << -1 << 5201;
    QTest::newRow("blank") << "12 0" << -1 << 5202;
    QTest::newRow("foot mark") << "1'" << -1 << 5202;
    QTest::newRow("inch mark") << "12\"" << -1 << 5202;
    QTest::newRow("letter") << "12mm" << -1 << 5202;
}

void TestValidatedEdits::millimetres() {
    QFETCH(QString, text);
    QFETCH(int, value);
    QFETCH(int, error);
    const UncHeight h = ParseUncHeight(text, false);
    QCOMPARE(h.error, error);
    QCOMPARE(h.value, value);
}

void TestValidatedEdits::heightEditModes() {
    TUncHoehe edit;
    QVERIFY(edit.UNC());
    QCOMPARE(edit.text(), QStringLiteral("0'-0") + Dp() + QStringLiteral("0\""));
    QCOMPARE(edit.maxLength(), 12);
    QCOMPARE(edit.Value(), 0);
    QCOMPARE(edit.FehlerCode(), 0);
    edit.setText(QStringLiteral("1.5'-3.0\""));
    QCOMPARE(edit.Value(), -1);
    QCOMPARE(edit.FehlerCode(), 5202);
    edit.SetUNC(false);
    QCOMPARE(edit.text(), QStringLiteral("0"));
    QCOMPARE(edit.maxLength(), 6);
    QCOMPARE(edit.FehlerCode(), 5202);  // kept until the next read
    edit.setText(QStringLiteral("12.5"));
    QCOMPARE(edit.Value(), -1);
    QCOMPARE(edit.FehlerCode(), 5208);
    edit.setText(QStringLiteral("2500"));
    QCOMPARE(edit.Value(), 2500);
    QCOMPARE(edit.FehlerCode(), 0);
    QCOMPARE(edit.UNC_HOEHE(), QStringLiteral("2500"));
}

void TestValidatedEdits::integerText_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<QString>("shown");
    QTest::newRow("plain") << "42" << true << "42";
    QTest::newRow("leading zeros re-shown") << "007" << true << "7";
    QTest::newRow("negative") << "-3" << true << "-3";
    QTest::newRow("not a number") << "12a" << false << "12a";
    QTest::newRow("fraction") << "1.5" << false << "1.5";
    QTest::newRow("too large") << "99999999999" << false << "99999999999";
}

void TestValidatedEdits::integerText() {
    QFETCH(QString, text);
    QFETCH(bool, valid);
    QFETCH(QString, shown);
    CountingEdit edit;
    edit.setText(text);
    QCOMPARE(edit.IsValidText(), valid);
    QCOMPARE(edit.text(), shown);
    if (valid) {
        QCOMPARE(edit.Value(), shown.toInt());
    } else {
        QVERIFY_THROWS_EXCEPTION(EConvertError, edit.Value());
        QCOMPARE(edit.beeps, 1);
    }
}

void TestValidatedEdits::integerBounds() {
    CountingEdit edit;
    edit.SetMaxValue(10);
    edit.SetValue(5);
    edit.UseBounds = true;
    QVERIFY_THROWS_EXCEPTION(EValueOutOfBound, edit.SetMinValue(6));
    QVERIFY_THROWS_EXCEPTION(EValueOutOfBound, edit.SetMaxValue(4));
    QVERIFY_THROWS_EXCEPTION(EValueOutOfBound, edit.SetValue(11));
    QCOMPARE(edit.MinValue(), 0);
    QCOMPARE(edit.MaxValue(), 10);
    QCOMPARE(edit.Value(), 5);
    edit.SetValue(7);
    QCOMPARE(edit.text(), QStringLiteral("7"));
    edit.setText(QStringLiteral("11"));
    QVERIFY(!edit.ValidateText());
    edit.setText(QStringLiteral("10"));
    QVERIFY(edit.ValidateText());
    try {
        edit.SetValue(-1);
        QFAIL("no exception");
    } catch (const EValueOutOfBound& e) {
        QCOMPARE(QString::fromUtf8(e.what()), QStringLiteral("Value out of bound"));
    }
}

void TestValidatedEdits::floatView_data() {
    QTest::addColumn<double>("value");
    QTest::addColumn<int>("format");
    QTest::addColumn<int>("digits");
    QTest::addColumn<int>("precision");
    QTest::addColumn<QString>("shown");
    const int fixed = int(TFloatView::fvFixed), general = int(TFloatView::fvGeneral);
    const int exponent = int(TFloatView::fvExponent);
    QTest::newRow("fixed pi") << 3.14159 << fixed << 10 << 2 << "3#14";
    QTest::newRow("fixed rounds") << 2.675 << fixed << 10 << 1 << "2#7";
    QTest::newRow("fixed too wide") << 123456.0 << fixed << 3 << 2 << "1#23E+005";
    QTest::newRow("general") << 2.5 << general << 10 << 2 << "2#5";
    QTest::newRow("general whole") << 3.0 << general << 10 << 2 << "3";
    QTest::newRow("exponent") << 1500.0 << exponent << 3 << 2 << "1#50E+03";
}

void TestValidatedEdits::floatView() {
    QFETCH(double, value);
    QFETCH(int, format);
    QFETCH(int, digits);
    QFETCH(int, precision);
    QFETCH(QString, shown);
    shown.replace(u'#', Dp());
    QCOMPARE(FormatFloatView(value, TFloatView(format), digits, precision, IvFormatSettings().DecimalSeparator),
             shown);
    TFloatEdit edit;
    edit.SetDigits(digits);
    edit.SetPrecision(precision);
    edit.SetFormat(TFloatView(format));
    edit.SetValue(value);
    QCOMPARE(edit.text(), shown);
}

void TestValidatedEdits::floatBoundsAndText() {
    TFloatEdit edit;
    edit.SetFormat(TFloatView::fvFixed);
    edit.SetMaxValue(2.0);
    edit.UseBounds = true;
    QVERIFY_THROWS_EXCEPTION(EValueOutOfBound, edit.SetMinValue(0.5));
    QVERIFY_THROWS_EXCEPTION(EValueOutOfBound, edit.SetValue(2.5));
    edit.setText(QStringLiteral("1") + Dp() + QStringLiteral("255"));
    QVERIFY(edit.ValidateText());
    QCOMPARE(edit.text(), QStringLiteral("1") + Dp() + QStringLiteral("25"));
    // The value is read back from the shown text.
    QCOMPARE(double(edit.Value()), 1.25);
    edit.setText(QStringLiteral("abc"));
    QVERIFY(!edit.IsValidText());
    QVERIFY_THROWS_EXCEPTION(EConvertError, edit.Value());
    edit.setText(QStringLiteral("3"));
    QVERIFY(!edit.IsValidText());
}

void TestValidatedEdits::programDecimalSeparator() {
    const QChar saved = IvFormatSettings().DecimalSeparator;
    IvFormatSettings().DecimalSeparator = u',';
    TFloatEdit edit;
    edit.SetFormat(TFloatView::fvFixed);
    edit.SetValue(3.14159);
    QCOMPARE(edit.text(), QStringLiteral("3,14"));
    edit.setText(QStringLiteral("1,5"));
    QVERIFY(edit.ValidateText());
    QCOMPARE(double(edit.Value()), 1.5);
    edit.setText(QStringLiteral("1.5"));
    QVERIFY(!edit.IsValidText());
    TUncHoehe height;
    QCOMPARE(height.text(), QStringLiteral("0'-0,0\""));
    IvFormatSettings().DecimalSeparator = saved;
}

// The separator comes from the locale a language change makes current: the
// same value is typed "3,14" under German and "3.14" under English.
void TestValidatedEdits::decimalSeparatorOfTheLocale_data() {
    QTest::addColumn<int>("language");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("foreign");
    QTest::addColumn<QString>("shown");
    QTest::newRow("German") << 1 << "3,14" << "3.14" << "3,14";
    QTest::newRow("English") << 2 << "3.14" << "3,14" << "3.14";
}

void TestValidatedEdits::decimalSeparatorOfTheLocale() {
    QFETCH(int, language);
    QFETCH(QString, typed);
    QFETCH(QString, foreign);
    QFETCH(QString, shown);
    const TIvFormatSettings saved = IvFormatSettings();
    TestDir dir;
    TIvLanguage native;
    native.Complete();
    native.CodePage = 1252;
    std::vector<TIvLanguage> languages{native};
    for (int primary : {7, 9}) {
        TIvLanguage l;
        l.PrimaryId = primary;
        l.SubLanguage = 1;
        l.CodePage = 1252;
        l.Complete();
        languages.push_back(l);
    }
    QFile f(dir.file("edits.mld"));
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(WriteMLD(languages, {}, {}, {}));
    f.close();
    TIvBinaryDictionary d;
    d.SetFileName(f.fileName());
    d.SetLanguage(language);
    d.Open();
    TFloatEdit edit;
    edit.SetFormat(TFloatView::fvFixed);
    edit.setText(typed);
    const bool accepted = edit.ValidateText();
    const double value = accepted ? double(edit.Value()) : 0.0;
    const QString text = edit.text();
    edit.setText(foreign);
    const bool foreignAccepted = edit.IsValidText();
    IvFormatSettings() = saved;
    QVERIFY(accepted);
    QCOMPARE(value, 3.14);
    QCOMPARE(text, shown);
    QVERIFY(!foreignAccepted);
}

void TestValidatedEdits::emptyText_data() {
    QTest::addColumn<bool>("allowEmpty");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<int>("beeps");
    QTest::newRow("allowed") << true << true << 0;
    QTest::newRow("refused") << false << false << 1;
}

void TestValidatedEdits::emptyText() {
    QFETCH(bool, allowEmpty);
    QFETCH(bool, valid);
    QFETCH(int, beeps);
    FocusWindow w;
    QVERIFY(QTest::qWaitForWindowActive(&w.window));
    w.a->AllowEmpty = allowEmpty;
    w.a->setFocus();
    w.a->clear();
    w.plain->setFocus();
    QCOMPARE(w.a->IsEmpty(), true);
    QCOMPARE(w.a->hasFocus(), !valid);
    QCOMPARE(w.plain->hasFocus(), valid);
    QCOMPARE(w.a->beeps, beeps);
}

void TestValidatedEdits::invalidEditKeepsFocus() {
    FocusWindow w;
    QVERIFY(QTest::qWaitForWindowActive(&w.window));
    QSignalSpy exits(w.a, &TValidCustomEdit::Exited);
    w.a->setFocus();
    w.a->setText(QStringLiteral("x1"));
    QTest::keyClick(w.a, Qt::Key_Tab);
    QVERIFY(w.a->hasFocus());
    QCOMPARE(w.a->beeps, 1);
    QCOMPARE(exits.count(), 0);
    w.a->setText(QStringLiteral("12"));
    QTest::keyClick(w.a, Qt::Key_Tab);
    QVERIFY(!w.a->hasFocus());
    QCOMPARE(exits.count(), 1);
}

void TestValidatedEdits::twoInvalidEditsDoNotPingPong() {
    FocusWindow w;
    QVERIFY(QTest::qWaitForWindowActive(&w.window));
    w.a->setText(QStringLiteral("bad"));
    w.b->setText(QStringLiteral("worse"));
    w.a->setFocus();
    w.a->checks = w.b->checks = 0;
    w.b->setFocus();
    QApplication::processEvents();
    QVERIFY(w.a->hasFocus());
    QCOMPARE(w.a->checks, 1);
    QCOMPARE(w.b->checks, 0);
    QCOMPARE(w.b->beeps, 0);
}

void TestValidatedEdits::ownerMayLetFocusGo() {
    FocusWindow w;
    QVERIFY(QTest::qWaitForWindowActive(&w.window));
    int asked = 0;
    w.a->OnInvalid = [&asked](TValidCustomEdit*, bool& canLeave) {
        ++asked;
        QVERIFY(!canLeave);
        canLeave = true;
    };
    QSignalSpy exits(w.a, &TValidCustomEdit::Exited);
    w.a->setFocus();
    w.a->setText(QStringLiteral("bad"));
    w.plain->setFocus();
    QVERIFY(w.plain->hasFocus());
    QCOMPARE(asked, 1);
    QCOMPARE(exits.count(), 1);
    QVERIFY(!w.a->IsValid());
}

void TestValidatedEdits::otherWindowIsNoFocusMove() {
    FocusWindow w;
    QVERIFY(QTest::qWaitForWindowActive(&w.window));
    w.a->setFocus();
    w.a->setText(QStringLiteral("bad"));
    w.a->checks = 0;
    QDialog box;
    box.setModal(true);
    auto* field = new QLineEdit(&box);
    box.show();
    box.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&box));
    field->setFocus();
    QVERIFY(field->hasFocus());
    QCOMPARE(w.a->checks, 0);
    box.close();
    w.window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&w.window));
    QVERIFY(w.a->hasFocus());
    QCOMPARE(w.a->checks, 0);
}

QTEST_MAIN(TestValidatedEdits)
#include "tst_valctrls.moc"
