// Validated edits and the feet-inch height edit: conversions, error codes,
// bounds and the focus keeping.
#include "support/TestSupport.h"
#include "localisation/IvBinDic.h"
#include "localisation/IvDictio.h"
#include "localisation/IvLanguD.h"
#include "localisation/IvMLDWri.h"
#include "ui/Unctool.h"
#include "ui/ValCtrls.h"

#include <QApplication>
#include <QDialog>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QVBoxLayout>
#include <QtTest>
#include <cstdio>
#include <memory>

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
    QStringList m_boxes;  // the error boxes shown

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
    void separatorChangedAfterShowing();
    void decimalSeparatorOfTheLocale_data();
    void decimalSeparatorOfTheLocale();
    void emptyText_data();
    void emptyText();
    void init();
    void cleanup();
    void invalidEditKeepsFocus();
    void conversionErrorShown_data();
    void conversionErrorShown();
    void twoInvalidEditsDoNotPingPong();
    void ownerMayLetFocusGo();
    void otherWindowIsNoFocusMove();
};

// The error boxes of exceptions are recorded, not shown.
void TestValidatedEdits::init() {
    m_boxes.clear();
    IvErrorBox() = [this](const QString& text) { m_boxes << text; };
}

void TestValidatedEdits::cleanup() {
    IvErrorBox() = [](const QString& text) { std::fprintf(stderr, "%s\n", qPrintable(text)); };
}

void TestValidatedEdits::feetAndInches_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("value");
    QTest::addColumn<int>("error");
    QTest::addColumn<QString>("conversion");  // the conversion error, "" for none
    QTest::newRow("10'-6.5\"") << "10'-6.5\"" << 3213 << 0 << "";
    QTest::newRow("-1'-0,0\"") << "-1'-0,0\"" << -305 << 0 << "";
    QTest::newRow("-0'-6.0\"") << "-0'-6.0\"" << -152 << 0 << "";
    QTest::newRow("0'-11.99\"") << "0'-11.99\"" << 305 << 0 << "";
    QTest::newRow("123456'-0.0\"") << "123456'-0.0\"" << 37629389 << 0 << "";
    QTest::newRow("empty") << "" << -1 << 5201 << "";
    QTest::newRow("blank") << "1 '-6.0\"" << -1 << 5202 << "";
    QTest::newRow("letter") << "1'-6a\"" << -1 << 5202 << "";
    QTest::newRow("letter Z") << "1'-6Z\"" << -1 << 5202 << "";
    QTest::newRow("plus") << "+1'-6.0\"" << -1 << 5202 << "";
    QTest::newRow("double minus") << "1'--6.0\"" << -1 << 5202 << "";
    // A part that is no number: the conversion error, naming the part as
    // typed (the code stays 5202 for callers that report by number).
    QTest::newRow("non-integer feet") << "1.5'-3.0\"" << -1 << 5202 << "'1.5' is not a valid integer value";
    QTest::newRow("negative non-integer feet") << "-1.5'-3.0\"" << -1 << 5202
                                               << "'-1.5' is not a valid integer value";
    QTest::newRow("two separators in inches") << "1'-6.0.0\"" << -1 << 5202
                                              << "'6.0.0' is not a valid floating point value";
    QTest::newRow("two commas in inches") << "1'-6,0,0\"" << -1 << 5202
                                          << "'6,0,0' is not a valid floating point value";
    QTest::newRow("no foot mark") << "10-6.0\"" << -1 << 5203 << "";
    QTest::newRow("foot mark first") << "'-6.0\"" << -1 << 5203 << "";
    QTest::newRow("foot mark too late") << "1234567'-6.0\"" << -1 << 5203 << "";
    QTest::newRow("no minus") << "12'6.0\"" << -1 << 5204 << "";
    QTest::newRow("no inch mark") << "1'-6.0" << -1 << 5205 << "";
    // From the minus to the inch mark: 3 to 7 characters.
    QTest::newRow("inches too short (2)") << "1'-6\"" << -1 << 5206 << "";
    QTest::newRow("shortest inches (3): 23 in") << "1'-11\"" << 584 << 0 << "";
    QTest::newRow("shortest inches (3), twelve or more") << "1'-65\"" << -1 << 5207 << "";
    QTest::newRow("longest inches (7): 35.5 in") << "2'-11.500\"" << 902 << 0 << "";
    QTest::newRow("inches too long (8)") << "1'-6.00000\"" << -1 << 5206 << "";
    QTest::newRow("twelve inches") << "1'-12.0\"" << -1 << 5207 << "";
}

// The rule, and the edit that reads its own text by it.
void TestValidatedEdits::feetAndInches() {
    QFETCH(QString, text);
    QFETCH(int, value);
    QFETCH(int, error);
    QFETCH(QString, conversion);
    const UncHeight h = ParseUncHeight(text, true);
    QCOMPARE(h.error, error);
    QCOMPARE(h.value, value);
    QCOMPARE(h.conversion, conversion);
    TUncHoehe edit;
    edit.setText(text);
    QCOMPARE(edit.Value(), value);
    QCOMPARE(edit.FehlerCode(), error);
    QCOMPARE(edit.ConversionError(), conversion);
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

// A text that is no whole number raises the conversion error, naming the
// text; no beep: the error is the message.
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
        QCOMPARE(edit.ConversionError(), QString());
        return;
    }
    try {
        edit.Value();
        QFAIL("no exception");
    } catch (const EConvertError& e) {
        QCOMPARE(QString::fromUtf8(e.what()), QStringLiteral("'%1' is not a valid integer value").arg(text));
    }
    QVERIFY(!edit.IsValid());
    QCOMPARE(edit.beeps, 0);
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
    edit.setText(QStringLiteral("0"));  // the minimum itself
    QVERIFY(edit.ValidateText());
    edit.setText(QStringLiteral("-1"));
    QVERIFY(!edit.ValidateText());
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

// A language change between showing a value and reading it: the edit's own
// text keeps its value; a text typed with the old separator is refused.
void TestValidatedEdits::separatorChangedAfterShowing() {
    const QChar saved = IvFormatSettings().DecimalSeparator;
    IvFormatSettings().DecimalSeparator = u'.';
    TFloatEdit edit;
    edit.SetFormat(TFloatView::fvFixed);
    edit.SetValue(2.5);
    QCOMPARE(edit.text(), QStringLiteral("2.50"));
    IvFormatSettings().DecimalSeparator = u',';
    QVERIFY(edit.ValidateText());
    QCOMPARE(double(edit.Value()), 2.5);
    QCOMPARE(edit.text(), QStringLiteral("2,50"));
    edit.setText(QStringLiteral("7.25"));
    QVERIFY(!edit.IsValidText());
    // Back to the point: the comma text the edit showed is its own again.
    edit.setText(QStringLiteral("7,25"));
    QVERIFY(edit.IsValidText());
    IvFormatSettings().DecimalSeparator = u'.';
    QCOMPARE(double(edit.Value()), 7.25);
    QCOMPARE(edit.text(), QStringLiteral("7.25"));
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
    w.a->SetMaxValue(12);
    w.a->UseBounds = true;
    w.a->setFocus();
    w.a->setText(QStringLiteral("13"));
    QTest::keyClick(w.a, Qt::Key_Tab);
    QVERIFY(w.a->hasFocus());
    QCOMPARE(w.a->beeps, 1);
    QCOMPARE(exits.count(), 0);
    QVERIFY(m_boxes.isEmpty());
    w.a->setText(QStringLiteral("12"));
    QTest::keyClick(w.a, Qt::Key_Tab);
    QVERIFY(!w.a->hasFocus());
    QCOMPARE(exits.count(), 1);
}

// Leaving a field whose text is no number shows the conversion error (the
// text named, a full stop added, in the menu language) and keeps the focus
// there; no beep, no question to the owner, no exit.
void TestValidatedEdits::conversionErrorShown_data() {
    QTest::addColumn<bool>("floatEdit");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("language");  // of the menu dictionary; 0 none
    QTest::addColumn<QString>("message");
    QTest::newRow("integer abc") << false << "abc" << 0 << "'abc' is not a valid integer value.";
    QTest::newRow("integer fraction") << false << "2.5" << 0 << "'2.5' is not a valid integer value.";
    QTest::newRow("float 1x") << true << "1x" << 0 << "'1x' is not a valid floating point value.";
    QTest::newRow("integer abc, German") << false << "abc" << 1 << "'abc' ist kein gültiger ganzzahliger Wert.";
    QTest::newRow("float 1x, German") << true << "1x" << 1 << "'1x' ist kein gültiger Gleitkommawert.";
}

void TestValidatedEdits::conversionErrorShown() {
    QFETCH(bool, floatEdit);
    QFETCH(QString, text);
    QFETCH(int, language);
    QFETCH(QString, message);
    const TIvFormatSettings saved = IvFormatSettings();
    TestDir dir;
    std::unique_ptr<TIvBinaryDictionary> d;
    if (language != 0) {
        TIvLanguage native;
        native.Complete();
        native.CodePage = 1252;
        TIvLanguage german;
        german.PrimaryId = 7;
        german.SubLanguage = 1;
        german.CodePage = 1252;
        german.Complete();
        const std::vector<TIvMLDEntry> entries{
            {QStringLiteral("'%s' is not a valid integer value"), {}, {}, {QStringLiteral("'%s' ist kein gültiger ganzzahliger Wert")}},
            {QStringLiteral("'%s' is not a valid floating point value"), {}, {}, {QStringLiteral("'%s' ist kein gültiger Gleitkommawert")}}};
        QFile f(dir.file("menu.mld"));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(WriteMLD({native, german}, {}, entries, {}));
        f.close();
        d = std::make_unique<TIvBinaryDictionary>();
        d->SetFileName(f.fileName());
        d->SetLanguage(language);
        d->Open();
    }
    const auto restore = qScopeGuard([&] { IvFormatSettings() = saved; });
    QWidget window;
    auto* layout = new QVBoxLayout(&window);
    TValidCustomEdit* edit = floatEdit ? static_cast<TValidCustomEdit*>(new TFloatEdit(&window))
                                       : static_cast<TValidCustomEdit*>(new CountingEdit(&window));
    auto* other = new QLineEdit(&window);
    layout->addWidget(edit);
    layout->addWidget(other);
    window.show();
    window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    int asked = 0;
    edit->OnInvalid = [&asked](TValidCustomEdit*, bool& canLeave) {
        ++asked;
        canLeave = true;
    };
    QSignalSpy exits(edit, &TValidCustomEdit::Exited);
    edit->setFocus();
    edit->setText(text);
    QTest::keyClick(edit, Qt::Key_Tab);
    QVERIFY(edit->hasFocus());
    QCOMPARE(m_boxes, QStringList{message});
    QCOMPARE(edit->text(), text);
    QCOMPARE(asked, 0);
    QCOMPARE(exits.count(), 0);
    if (auto* counting = dynamic_cast<CountingEdit*>(edit)) QCOMPARE(counting->beeps, 0);
    // Corrected, the field lets the focus go.
    edit->setText(QStringLiteral("7"));
    QTest::keyClick(edit, Qt::Key_Tab);
    QVERIFY(other->hasFocus());
    QCOMPARE(m_boxes.size(), 1);
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
    QCOMPARE(m_boxes, QStringList{QStringLiteral("'bad' is not a valid integer value.")});
}

void TestValidatedEdits::ownerMayLetFocusGo() {
    FocusWindow w;
    QVERIFY(QTest::qWaitForWindowActive(&w.window));
    w.a->SetMaxValue(5);
    w.a->UseBounds = true;
    int asked = 0;
    w.a->OnInvalid = [&asked](TValidCustomEdit*, bool& canLeave) {
        ++asked;
        QVERIFY(!canLeave);
        canLeave = true;
    };
    QSignalSpy exits(w.a, &TValidCustomEdit::Exited);
    w.a->setFocus();
    w.a->setText(QStringLiteral("6"));
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
