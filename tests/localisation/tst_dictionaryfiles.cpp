// The program's own dictionaries: built from resources/dictionaries, they
// translate both ways, and every literal the code passes to a translation
// routine has a row in their sources.
#include "DictionarySource.h"
#include "localisation/IvBinDic.h"
#include "localisation/IvNls.h"

#include "support/TestSupport.h"

#include <QDirIterator>
#include <QProcess>
#include <QFile>
#include <QRegularExpression>
#include <QSet>

#include <QtTest>

namespace {

const QString kSources = QStringLiteral(KORVA_SOURCE_DIR "/resources/dictionaries/");

QSet<QString> Natives(const QString& file) {
    QSet<QString> out;
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly)) return out;
    bool header = true;
    for (const QByteArray& raw : f.readAll().split('\n')) {
        const QString line = QString::fromUtf8(raw).remove(u'\r');
        if (line.isEmpty() || line.startsWith(u'#')) continue;
        if (!std::exchange(header, false)) out.insert(UnescapeSourceText(line.section(u'\t', 0, 0)));
    }
    return out;
}

// Literal texts handed to a translation routine: (routine, text, where).
struct Use {
    QString routine, text, where;
};

std::vector<Use> LiteralUses() {
    static const QRegularExpression call(
        QStringLiteral("\\b(IvTranslate|TranslateMenuText|TranslatePrintText)\\s*\\(\\s*"
                       "(?:QStringLiteral\\s*\\(|QString::fromUtf8\\s*\\(|QString\\s*\\(|u8?)?\\s*"
                       "((?:\"(?:[^\"\\\\\\n]|\\\\.)*\"\\s*)+)"));
    // Adjacent literals are one text.
    static const QRegularExpression literalPart(QStringLiteral("\"((?:[^\"\\\\\\n]|\\\\.)*)\""));
    std::vector<Use> uses;
    QDirIterator it(QStringLiteral(KORVA_SOURCE_DIR "/src"), {QStringLiteral("*.cpp"), QStringLiteral("*.h")},
                    QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        QFile f(it.next());
        if (!f.open(QIODevice::ReadOnly)) continue;
        const QString text = QString::fromUtf8(f.readAll());
        for (auto m = call.globalMatch(text); m.hasNext();) {
            const auto match = m.next();
            const int line = int(text.left(match.capturedStart()).count(u'\n')) + 1;
            QString literal;
            for (auto p = literalPart.globalMatch(match.captured(2)); p.hasNext();) literal += UnescapeSourceText(p.next().captured(1));
            uses.push_back({match.captured(1), literal,
                            QStringLiteral("%1:%2").arg(f.fileName().section(u'/', -3)).arg(line)});
        }
    }
    return uses;
}

}  // namespace

class TstDictionaryFiles : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { NlsSetDefaultLcidOverride(MakeLangId(9, 1)); }

    void translatesBothWays_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("germanNative");
        QTest::addColumn<QString>("english");
        QTest::addColumn<QString>("englishNative");
        QTest::addColumn<QString>("german");
        QTest::newRow("menu") << "Korva32.mld" << u"Wert für Last fehlt!"_qs << "Value for load is missing!"
                              << "Directory" << "Verzeichnis";
        QTest::newRow("print") << "Korvaprn.mld" << "Weg-Horizontal" << "Travel horizontal" << "Cold load" << "Kaltlast";
    }
    void translatesBothWays() {
        QFETCH(QString, file);
        QFETCH(QString, germanNative);
        QFETCH(QString, english);
        QFETCH(QString, englishNative);
        QFETCH(QString, german);
        TIvBinaryDictionary d;
        d.SetFileName(QStringLiteral(KORVA_BINARY_DIR "/") + file);
        QVERIFY2(d.CanOpen(), qPrintable(d.FileName()));
        d.SetLanguage(2);
        d.Open();
        QCOMPARE(d.CurrentLanguage().EnglishName, QStringLiteral("English"));
        QCOMPARE(TranslateWord(&d, germanNative), english);
        QCOMPARE(TranslateWord(&d, englishNative), englishNative);
        d.SetLanguage(1);
        QCOMPARE(d.CurrentLanguage().EnglishName, QStringLiteral("German"));
        QCOMPARE(TranslateWord(&d, germanNative), germanNative);
        QCOMPARE(TranslateWord(&d, englishNative), german);
        QCOMPARE(d.LanguageCount(), 5);
    }

    void compilerReadsSources_data() {
        QTest::addColumn<QByteArray>("source");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("native");
        QTest::addColumn<QString>("english");
        const QByteArray head = "# comment\nnative\tcontext\tgerman\tenglish\tfrench\tportuguese\n";
        QTest::newRow("plain") << head + "Weg\tform\tWeg\tTravel\t\t\n" << 0 << "Weg" << "Travel";
        QTest::newRow("escapes") << head + "A\\rB\\\\C\tform\tA\\rB\tA\\nB\t\t\r\n" << 0 << "A\rB\\C" << "A\nB";
        QTest::newRow("umlauts") << head + (u"Größe\tform\tGröße\tSize\n"_qs).toUtf8() << 0 << u"Größe"_qs << "Size";
        QTest::newRow("repeated native") << head + "Weg\tx\tWeg\tTravel\nWeg\ty\tWeg\tWay\n" << 1 << QString() << QString();
        // Two branches that add the same row: after the union merge it is
        // one row; the context column does not count.
        QTest::newRow("repeated row") << head + "Weg\tx\tWeg\tTravel\t\t\nWeg\ty\tWeg\tTravel\t\t\n" << 0 << "Weg"
                                      << "Travel";
        QTest::newRow("too few columns") << head + "Weg\tx\tWeg\n" << 1 << QString() << QString();
    }
    void compilerReadsSources() {
        QFETCH(QByteArray, source);
        QFETCH(int, exitCode);
        QFETCH(QString, native);
        QFETCH(QString, english);
        TestDir dir;
        QFile f(dir.file("src.tsv"));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(source);
        f.close();
        QProcess mldc;
        mldc.start(QStringLiteral(KORVA_MLDC), {dir.file("out.mld"), f.fileName()});
        QVERIFY(mldc.waitForFinished(30000));
        QCOMPARE(mldc.exitCode(), exitCode);
        QCOMPARE(QFile::exists(dir.file("out.mld")), exitCode == 0);
        if (exitCode != 0) return;
        TIvBinaryDictionary d;
        d.SetFileName(dir.file("out.mld"));
        d.SetLanguage(2);
        d.Open();
        QCOMPARE(d.TranslationCount(), 1);
        QCOMPARE(TranslateWord(&d, native), english);
    }

    void everyLiteralHasARow() {
        const QSet<QString> menu = Natives(kSources + QStringLiteral("Korva32.tsv"));
        const QSet<QString> print = Natives(kSources + QStringLiteral("Korvaprn.tsv"));
        QVERIFY(!menu.isEmpty() && !print.isEmpty());
        QStringList missing;
        for (const Use& use : LiteralUses()) {
            const QSet<QString>& rows = use.routine == QLatin1String("TranslatePrintText") ? print : menu;
            if (!rows.contains(use.text)) missing << use.where + QStringLiteral(": \"") + use.text + u'"';
        }
        QVERIFY2(missing.isEmpty(), qPrintable(QStringLiteral("texts without a dictionary row:\n") + missing.join(u'\n')));
    }

    // Messages are found under their "RS" key, the product-type names under
    // their English text, in the language the dictionary is set to.
    void stringTableRowsHaveTexts_data() {
        QTest::addColumn<int>("language");
        QTest::newRow("German") << 1;
        QTest::newRow("English") << 2;
    }
    void stringTableRowsHaveTexts() {
        QFETCH(int, language);
        QFile f(QStringLiteral(KORVA_SOURCE_DIR "/resources/strings/stringtable.tsv"));
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QList<QByteArray> lines = f.readAll().split('\n');
        QStringList empty;
        TIvBinaryDictionary d;
        d.SetFileName(QStringLiteral(KORVA_BINARY_DIR "/Korva32.mld"));
        d.SetLanguage(language);
        d.Open();
        d.MissingTranslation = ivmtTagNative;
        int texts = 0;
        for (qsizetype i = 1; i < lines.size(); ++i) {
            const QStringList cols = QString::fromUtf8(lines[i]).remove(u'\r').split(u'\t');
            if (cols.size() < 3 || cols[0].isEmpty()) continue;
            const bool text = IsStringTableText(cols);
            texts += text;
            const QString key = text ? cols[2] : QStringLiteral("RS") + cols[0];
            if (cols[1].isEmpty() || cols[2].isEmpty()) empty << cols[0];
            else if (TranslateWord(&d, key) != cols[language]) empty << key;
        }
        QVERIFY(texts > 0);
        QVERIFY2(empty.isEmpty(), qPrintable(empty.join(u' ')));
    }

    // The print dictionary carries the product-type names under their
    // English wording.
    void printDictionaryHasTypeNames() {
        TIvBinaryDictionary d;
        d.SetFileName(QStringLiteral(KORVA_BINARY_DIR "/Korvaprn.mld"));
        d.SetLanguage(1);
        d.Open();
        QCOMPARE(TranslateWord(&d, QStringLiteral("Var. spring hanger")), QStringLiteral("Federhänger"));
        QCOMPARE(TranslateWord(&d, QStringLiteral("Constant hanger")), QStringLiteral("Konstanthänger"));
        QCOMPARE(TranslateWord(&d, QStringLiteral("Clamp base, 3-way guide")),
                 QStringLiteral("Schellenlager, dreiseitig geführt"));
        d.SetLanguage(2);
        QCOMPARE(TranslateWord(&d, QStringLiteral("Var. spring hanger")), QStringLiteral("Var. spring hanger"));
    }
};

QTEST_GUILESS_MAIN(TstDictionaryFiles)
#include "tst_dictionaryfiles.moc"
