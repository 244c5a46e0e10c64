#include "platform/Numbers.h"

#include <QByteArray>
#include <cerrno>
#include <clocale>
#include <cstdio>
#include <cstdlib>

Extended RoundTo(Extended v, int decimals) {
    const Extended scale = std::pow(10.0L, decimals);
    return RoundHalfEven(v * scale) / scale;
}

QString FormatFixed(Extended v, int decimals) {
    // Round first so halves go to the even digit; QString::number uses the
    // C locale, so the separator is always ".".
    QString s = QString::number(double(RoundTo(v, decimals)), 'f', decimals);
    if (s.startsWith('-')) {
        bool allZero = true;
        for (QChar c : s.mid(1))
            if (c != '0' && c != '.') allZero = false;
        if (allZero) s.remove(0, 1);  // no "-0.00"
    }
    return s;
}

QString FormatNumber(Extended v) { return QString::number(double(v), 'g', 15); }

Extended ParseNumber(const QString& text, bool* ok, bool acceptComma) {
    QString t = text.trimmed();
    if (acceptComma) t.replace(',', '.');
    bool good = false;
    double d = t.isEmpty() ? 0.0 : t.toDouble(&good);  // C locale
    if (good && !std::isfinite(d)) good = false;
    if (ok) *ok = good;
    return good ? Extended(d) : 0.0L;
}
