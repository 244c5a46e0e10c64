// The fixed-width field codec: overpunched signs, truncation, widths,
// pictures and comparisons.
#include "data/CblTools.h"

#include <QtTest>

namespace {
QByteArray Field(int width, char fill = '?') { return QByteArray(width, fill); }
}  // namespace

class TestCodec : public QObject {
    Q_OBJECT
private slots:
    void overpunch_data();
    void overpunch();
    void putIntField_data();
    void putIntField();
    void putFloatField_data();
    void putFloatField();
    void getIntField_data();
    void getIntField();
    void getIntFieldRefusesNonNumbers_data();
    void getIntFieldRefusesNonNumbers();
    void signedRoundTripInOneCharacter();
    void getNumField();
    void zonedToFloat_data();
    void zonedToFloat();
    void textFields_data();
    void textFields();
    void putStrField_data();
    void putStrField();
    void pictures_data();
    void pictures();
    void compare_data();
    void compare();
};

void TestCodec::overpunch_data() {
    QTest::addColumn<int>("digit");
    QTest::addColumn<char>("positive");
    QTest::addColumn<char>("negative");
    const char pos[] = "{ABCDEFGHI", neg[] = "}JKLMNOPQR";
    for (int d = 0; d <= 9; ++d) QTest::addRow("%d", d) << d << pos[d] << neg[d];
}

void TestCodec::overpunch() {
    QFETCH(int, digit);
    QFETCH(char, positive);
    QFETCH(char, negative);
    QCOMPARE(EncodeOverpunch(true, digit), positive);
    QCOMPARE(EncodeOverpunch(false, digit), negative);
    int d = -1;
    bool pos = false;
    QVERIFY(DecodeOverpunch(positive, d, pos));
    QCOMPARE(d, digit);
    QVERIFY(pos);
    QVERIFY(DecodeOverpunch(negative, d, pos));
    QCOMPARE(d, digit);
    QVERIFY(!pos);
    QVERIFY(DecodeOverpunch(char('0' + digit), d, pos));
    QCOMPARE(d, digit);
    QVERIFY(pos);
}

void TestCodec::putIntField_data() {
    QTest::addColumn<int>("value");
    QTest::addColumn<int>("width");
    QTest::addColumn<bool>("isSigned");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("high digits cut") << 123456789 << 3 << false << QByteArray("789");
    QTest::newRow("zero filled") << 42 << 5 << false << QByteArray("00042");
    QTest::newRow("signed positive") << 29 << 3 << true << QByteArray("{29");
    QTest::newRow("signed negative") << -29 << 3 << true << QByteArray("}29");
    QTest::newRow("signed zero") << 0 << 3 << true << QByteArray("}00");
    QTest::newRow("negative overpunch on digit") << -123 << 3 << true << QByteArray("J23");
    QTest::newRow("unsigned drops the sign") << -123 << 4 << false << QByteArray("0123");
    QTest::newRow("eight digit product number") << 21091500 << 8 << false << QByteArray("21091500");
    QTest::newRow("int32 minimum") << INT32_MIN << 10 << true << QByteArray("K147483648");
}

void TestCodec::putIntField() {
    QFETCH(int, value);
    QFETCH(int, width);
    QFETCH(bool, isSigned);
    QFETCH(QByteArray, expected);
    QByteArray f = Field(width);
    PutIntField(f.data(), width - 1, value, 0, 0, {}, isSigned);
    QCOMPARE(f, expected);
}

void TestCodec::putFloatField_data() {
    QTest::addColumn<double>("value");
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("point");
    QTest::addColumn<bool>("isSigned");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("truncated") << 12.7 << 8 << 0 << false << QByteArray("00000012");
    QTest::newRow("negative unsigned") << -12.7 << 8 << 0 << false << QByteArray("00000012");
    // The '-' is removed before the digits move: the sign is lost.
    QTest::newRow("negative signed") << -12.7 << 3 << 0 << true << QByteArray("{12");
    QTest::newRow("positive signed") << 12.7 << 3 << 0 << true << QByteArray("{12");
    QTest::newRow("negative above 9 signed") << -112.7 << 3 << 0 << true << QByteArray("A12");
    QTest::newRow("below one") << 0.999 << 3 << 0 << false << QByteArray("000");
    QTest::newRow("high digits cut") << 123456.9 << 3 << 0 << false << QByteArray("456");
    QTest::newRow("two decimals kept") << 12.345 << 5 << 4 << false << QByteArray("01234");
    QTest::newRow("no rounding up") << 2.99999 << 1 << 0 << false << QByteArray("2");
}

void TestCodec::putFloatField() {
    QFETCH(double, value);
    QFETCH(int, width);
    QFETCH(int, point);
    QFETCH(bool, isSigned);
    QFETCH(QByteArray, expected);
    QByteArray f = Field(width);
    PutFloatField(f.data(), width - 1, point, Extended(value), {}, isSigned);
    QCOMPARE(f, expected);
}

void TestCodec::getIntField_data() {
    QTest::addColumn<QByteArray>("field");
    QTest::addColumn<bool>("isSigned");
    QTest::addColumn<int>("expected");
    QTest::addColumn<int>("point");
    QTest::newRow("negative overpunch signed") << QByteArray("J23") << true << -123 << 0;
    QTest::newRow("negative overpunch unsigned") << QByteArray("J23") << false << 123 << 0;
    QTest::newRow("positive overpunch") << QByteArray("{29") << true << 29 << 0;
    QTest::newRow("negative zero") << QByteArray("}00") << true << 0 << 0;
    QTest::newRow("plain digits") << QByteArray("00042") << true << 42 << 0;
    QTest::newRow("16-bit maximum") << QByteArray("32767") << false << 32767 << 0;
    QTest::newRow("16-bit minimum") << QByteArray("}32768") << true << -32768 << 0;
    QTest::newRow("fraction not read") << QByteArray("12399") << false << 123 << 4;
    QTest::newRow("signed with fraction") << QByteArray("L0099") << true << -30 << 3;
}

void TestCodec::getIntField() {
    QFETCH(QByteArray, field);
    QFETCH(bool, isSigned);
    QFETCH(int, expected);
    QFETCH(int, point);
    int16_t v = 12345;
    GetIntField(v, field.constData(), int(field.size()) - 1, point, isSigned);
    QCOMPARE(int(v), expected);
}

void TestCodec::getIntFieldRefusesNonNumbers_data() {
    QTest::addColumn<QByteArray>("field");
    QTest::newRow("letters") << QByteArray("12a");
    QTest::newRow("blanks") << QByteArray("  12");
    QTest::newRow("empty text field") << QByteArray("    ");
    QTest::newRow("beyond 16 bits") << QByteArray("40000");
}

void TestCodec::getIntFieldRefusesNonNumbers() {
    QFETCH(QByteArray, field);
    int16_t v = 7;
    QVERIFY_THROWS_EXCEPTION(EConvertError, GetIntField(v, field.constData(), int(field.size()) - 1));
    QCOMPARE(int(v), 7);
}

void TestCodec::signedRoundTripInOneCharacter() {
    for (int value = -9; value <= 9; ++value) {
        char c = '?';
        PutIntField(&c, 0, value, 0, 0, {}, true);
        int16_t back = 99;
        GetIntField(back, &c, 0, 0, true);
        QCOMPARE(int(back), value);
        QCOMPARE(ZonedToInt(&c, 0), value);
    }
}

void TestCodec::getNumField() {
    const QByteArray f("L0000000001");  // overpunched 3, then 10 digits
    double d = 0;
    GetNumField(d, f.constData(), int(f.size()) - 1, 0, true);
    QCOMPARE(d, -30000000001.0);
    GetNumField(d, f.constData(), int(f.size()) - 1, 0, false);
    QCOMPARE(d, 30000000001.0);
}

// ZonedToFloat with its point, and ZonedToInt, which reads the whole field
// as an integer (0 when it is no number or beyond 32 bits).
void TestCodec::zonedToFloat_data() {
    QTest::addColumn<QByteArray>("field");
    QTest::addColumn<int>("point");
    QTest::addColumn<double>("expected");
    QTest::addColumn<int>("integer");
    QTest::newRow("implied decimals") << QByteArray("12345") << 4 << 123.45 << 12345;
    QTest::newRow("no point") << QByteArray("12345") << 0 << 12345.0 << 12345;
    QTest::newRow("negative overpunch") << QByteArray("J2") << 0 << -12.0 << -12;
    QTest::newRow("negative with fraction") << QByteArray("}05") << 2 << -0.05 << -5;
    QTest::newRow("not a number") << QByteArray("1 2") << 0 << 0.0 << 0;
    QTest::newRow("32-bit maximum") << QByteArray("2147483647") << 0 << 2147483647.0 << INT32_MAX;
    QTest::newRow("one beyond 32 bits") << QByteArray("2147483648") << 0 << 2147483648.0 << 0;
    QTest::newRow("32-bit minimum") << QByteArray("}2147483648") << 0 << -2147483648.0 << INT32_MIN;
    QTest::newRow("one below 32 bits") << QByteArray("}2147483649") << 0 << -2147483649.0 << 0;
}

void TestCodec::zonedToFloat() {
    QFETCH(QByteArray, field);
    QFETCH(int, point);
    QFETCH(double, expected);
    QFETCH(int, integer);
    QCOMPARE(double(ZonedToFloat(field.constData(), int(field.size()) - 1, point)), expected);
    QCOMPARE(ZonedToInt(field.constData(), int(field.size()) - 1), integer);
}

void TestCodec::textFields_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("width");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("cut on the right") << "ABCDE" << 2 << QByteArray("AB");
    QTest::newRow("blank padded") << "A" << 3 << QByteArray("A  ");
    QTest::newRow("empty") << "" << 2 << QByteArray("  ");
    QTest::newRow("umlaut one byte") << QString::fromUtf8("Ä") << 2 << QByteArray("\xC4 ");
}

void TestCodec::textFields() {
    QFETCH(QString, text);
    QFETCH(int, width);
    QFETCH(QByteArray, expected);
    QByteArray f = Field(width);
    PutTextField(f.data(), width - 1, text);
    QCOMPARE(f, expected);
    QByteArray m = Field(width);
    MoveStrField(m.data(), text, width);
    QCOMPARE(m, expected);
    QCOMPARE(FieldTextTrimmed(f.constData(), width), text.left(width).trimmed());
}

void TestCodec::putStrField_data() {
    QTest::addColumn<QByteArray>("source");
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("point");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("numeric, high digits cut") << QByteArray("12345") << 3 << 0 << QByteArray("345");
    QTest::newRow("numeric, zero filled") << QByteArray("7") << 3 << 0 << QByteArray("007");
    QTest::newRow("numeric, overpunch decoded") << QByteArray("J2") << 4 << 0 << QByteArray("0012");
    QTest::newRow("text move") << QByteArray("AB") << 4 << -1 << QByteArray("AB  ");
}

void TestCodec::putStrField() {
    QFETCH(QByteArray, source);
    QFETCH(int, width);
    QFETCH(int, point);
    QFETCH(QByteArray, expected);
    QByteArray f = Field(width);
    PutStrField(f.data(), width - 1, source.constData(), int(source.size()) - 1, point, 0);
    QCOMPARE(f, expected);
}

void TestCodec::pictures_data() {
    QTest::addColumn<int>("value");
    QTest::addColumn<QString>("text");  // a text field when not empty, else the number
    QTest::addColumn<QString>("picture");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("Z blanks zeros") << 5 << "" << "ZZZ9" << QByteArray("   5");
    QTest::newRow("* fills zeros") << 5 << "" << "***9" << QByteArray("***5");
    QTest::newRow("comma inserted") << 123 << "" << "9,99" << QByteArray("1,23");
    QTest::newRow("point inserted") << 123 << "" << "9.99" << QByteArray("1.23");
    QTest::newRow("slash inserted") << 123 << "" << "9/99" << QByteArray("1/23");
    QTest::newRow("plus for negative") << -12 << "" << "+99" << QByteArray("-12");
    QTest::newRow("plus for positive") << 12 << "" << "+99" << QByteArray("+12");
    QTest::newRow("minus blank for positive") << 12 << "" << "-99" << QByteArray(" 12");
    QTest::newRow("B inserts blank") << 12 << "" << "9B9" << QByteArray("1 2");
    // '0' turns a blank into '0' and keeps every other character; the
    // inserting characters take no source character from a text either.
    QTest::newRow("0 fills blanks") << 0 << "A C" << "00000" << QByteArray("A0C00");
    QTest::newRow("text, slash and point") << 0 << "ABC" << "X/X.X" << QByteArray("A/B.C");
}

void TestCodec::pictures() {
    QFETCH(int, value);
    QFETCH(QString, text);
    QFETCH(QString, picture);
    QFETCH(QByteArray, expected);
    QByteArray f = Field(int(expected.size()));
    if (text.isEmpty()) PutIntField(f.data(), int(f.size()) - 1, value, 0, 0, picture, false);
    else PutTextField(f.data(), int(f.size()) - 1, text, picture);
    QCOMPARE(f, expected);
}

void TestCodec::compare_data() {
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QByteArray>("a");
    QTest::addColumn<QByteArray>("b");
    QTest::addColumn<int>("point");
    QTest::addColumn<int>("expected");
    QTest::newRow("bytes, trailing blank equal") << "bytes" << QByteArray("AB") << QByteArray("AB ") << 0 << 0;
    QTest::newRow("bytes, smaller") << "bytes" << QByteArray("AB") << QByteArray("AC") << 0 << -1;
    QTest::newRow("bytes, greater") << "bytes" << QByteArray("B") << QByteArray("AB") << 0 << 1;
    QTest::newRow("bytes, high character") << "bytes" << QByteArray("\xC4") << QByteArray("Z") << 0 << 1;
    QTest::newRow("fields numeric") << "fields" << QByteArray("007") << QByteArray("7") << 0 << 0;
    QTest::newRow("fields as text") << "fields" << QByteArray("007") << QByteArray("7") << -1 << -1;
    QTest::newRow("fields signed") << "fields" << QByteArray("J2") << QByteArray("05") << 0 << -1;
    QTest::newRow("field value") << "fieldValue" << QByteArray("00012") << QByteArray("12") << 0 << 0;
    QTest::newRow("field value below") << "fieldValue" << QByteArray("00011") << QByteArray("12") << 0 << -1;
    QTest::newRow("field value as text") << "fieldValue" << QByteArray("12 ") << QByteArray("12") << -1 << 0;
    QTest::newRow("field value text zeros") << "fieldValue" << QByteArray("012") << QByteArray("12") << -1 << -1;
    QTest::newRow("value field") << "valueField" << QByteArray("00012") << QByteArray("13") << 0 << 1;
    QTest::newRow("field text") << "fieldText" << QByteArray("ABC") << QByteArray("ABD") << 0 << -1;
    QTest::newRow("field text padded") << "fieldText" << QByteArray("AB  ") << QByteArray("AB") << 0 << 0;
}

void TestCodec::compare() {
    QFETCH(QString, kind);
    QFETCH(QByteArray, a);
    QFETCH(QByteArray, b);
    QFETCH(int, point);
    QFETCH(int, expected);
    const int ha = int(a.size()) - 1, hb = int(b.size()) - 1;
    int result = 99;
    if (kind == "bytes") result = CompareBytes(a.constData(), ha + 1, b.constData(), hb + 1);
    else if (kind == "fields") result = CompareFields(a.constData(), ha, b.constData(), hb, point, point);
    else if (kind == "fieldValue") result = CompareFieldValue(a.constData(), ha, b.toInt(), point);
    else if (kind == "valueField") result = CompareValueField(b.toInt(), a.constData(), ha, point);
    else if (kind == "fieldText") result = CompareFieldText(a.constData(), ha, QString::fromLatin1(b));
    QCOMPARE(result, expected);
}

QTEST_GUILESS_MAIN(TestCodec)
#include "tst_codec.moc"
