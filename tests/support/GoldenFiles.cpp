#include "support/GoldenFiles.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTest>
#include <algorithm>

int StatedConfiguration(const QString& input) {
    QFile f(input);
    if (!f.open(QIODevice::ReadOnly)) return 0;
    const QRegularExpressionMatch m =
        QRegularExpression(QStringLiteral("\\(configuration (\\d+)")).match(QString::fromUtf8(f.readLine()));
    return m.hasMatch() ? m.captured(1).toInt() : 0;
}

void CompareOutputFile(const QString& written, const QString& dir, const QString& goldenPath) {
    QFile out(written), golden(goldenPath);
    QVERIFY2(out.open(QIODevice::ReadOnly), qPrintable(written));
    QVERIFY2(golden.open(QIODevice::ReadOnly), qPrintable(goldenPath));
    const QByteArray got = out.readAll().replace(QFile::encodeName(dir), "<dir>");
    const QByteArray expected = golden.readAll();
    const QList<QByteArray> a = got.split('\n'), b = expected.split('\n');
    for (int i = 0; i < std::max(a.size(), b.size()); ++i)
        if (a.value(i) != b.value(i))
            QFAIL(qPrintable(QStringLiteral("%1 line %2: got \"%3\", expected \"%4\"")
                                 .arg(QFileInfo(goldenPath).fileName())
                                 .arg(i + 1)
                                 .arg(QString::fromLatin1(a.value(i)), QString::fromLatin1(b.value(i)))));
}
