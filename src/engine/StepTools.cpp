#include "engine/StepTools.h"

#include "data/ABHGNR.h"
#include "data/GlobalFuncs.h"
#include "engine/EngineState.h"
#include "engine/FindHalterung.h"
#include "engine/SelectionUi.h"

#include <cmath>

namespace {

void CheckRange(int first, int count) {
    if (first < 1 || count < 1 || first + count - 1 > 8)
        throw EngineStepError(MsgTableIndexOutOfRange);
}

QString Place(const QVariant& v, QChar kind, int decimals) {
    if (kind == QLatin1Char('f')) {
        return FormatFixed(Extended(v.toDouble()), decimals < 0 ? 6 : decimals);
    }
    if (kind == QLatin1Char('d') && v.typeId() == QMetaType::Double)
        return QString::number(qint64(std::trunc(v.toDouble())));
    return v.toString();
}

}  // namespace

void SetKeyDigits(int first, int count, int64_t value) {
    CheckRange(first, count);
    const QByteArray d = QString::number(std::abs(value)).rightJustified(count, QLatin1Char('0')).right(count).toLatin1();
    std::copy(d.begin(), d.end(), CalcGlobals.SearchKey + first - 1);
}

int KeyDigits(int first, int count) {
    CheckRange(first, count);
    int v = 0;
    for (int i = first - 1; i < first - 1 + count; ++i) {
        const char c = CalcGlobals.SearchKey[i];
        v = v * 10 + (c >= '0' && c <= '9' ? c - '0' : 0);
    }
    return v;
}

void SetKeyText(const QString& digits) {
    const QByteArray d = digits.leftJustified(8, QLatin1Char('0')).left(8).toLatin1();
    std::copy(d.begin(), d.end(), CalcGlobals.SearchKey);
}

QString NumberDigits(double number) {
    return QString::number(qint64(std::trunc(number))).rightJustified(8, QLatin1Char('0')).right(8);
}

int DigitsOf(double number, int first, int count) {
    CheckRange(first, count);
    return NumberDigits(number).mid(first - 1, count).toInt();
}

double WithDigits(double number, int first, int count, int64_t value) {
    CheckRange(first, count);
    QString d = NumberDigits(number);
    d.replace(first - 1, count, QString::number(value).rightJustified(count, QLatin1Char('0')).right(count));
    return d.toDouble();
}

QString PositionType(int i) {
    if (i < 1 || i > 16)
        throw EngineStepError(MsgTableIndexOutOfRange);
    return QString::fromLatin1(ArrangementRecord.A_LFD_BT[i - 1], 3);
}

void SetPositionType(int i, const QString& type) {
    if (i < 1 || i > 16)
        throw EngineStepError(MsgTableIndexOutOfRange);
    const QByteArray d = type.leftJustified(3, QLatin1Char('0')).left(3).toLatin1();
    std::copy(d.begin(), d.end(), ArrangementRecord.A_LFD_BT[i - 1]);
}

QString FormatMessage(const QString& text, const QVariantList& values) {
    QString out;
    int next = 0;
    for (int i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c != QLatin1Char('%') || i + 1 >= text.size()) {
            out += c;
            continue;
        }
        if (text.at(i + 1) == QLatin1Char('%')) {
            out += c;
            ++i;
            continue;
        }
        int j = i + 1;
        int decimals = -1;
        if (text.at(j) == QLatin1Char('.')) {
            int k = j + 1;
            while (k < text.size() && text.at(k).isDigit())
                ++k;
            decimals = text.mid(j + 1, k - j - 1).toInt();
            j = k;
        }
        if (j < text.size() && QStringLiteral("dsfi").contains(text.at(j)) && next < values.size()) {
            out += Place(values.at(next++), text.at(j) == QLatin1Char('i') ? QLatin1Char('d') : text.at(j), decimals);
            i = j;
            continue;
        }
        out += c;
    }
    for (; next < values.size(); ++next)
        out += QLatin1Char(' ') + values.at(next).toString();
    return out;
}

QString MessageWithValues(int number, const QVariantList& values) {
    return FormatMessage(MessageText(number), values);
}

void InformationBox(int number, const QVariantList& values) {
    ActiveSelectionUi().Information(MessageWithValues(number, values));
}

QVariantList LengthValues(bool imperial, std::initializer_list<Extended> mm) {
    QVariantList out;
    for (Extended v : mm) {
        if (imperial) {
            const Extended inch = v * InchPerMm;
            const int64_t feet = TruncToInt(inch * 0.08333333333333333L);
            out << qint64(feet) << double(inch - 12 * Extended(feet));
        } else {
            out << qint64(TruncToInt(v));
        }
    }
    return out;
}
