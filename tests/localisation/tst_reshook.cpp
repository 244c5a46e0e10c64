// The resource-string hook: key names and prefixes of shortcuts, texts
// translated only while the first dictionary is open and the hook is on,
// Qt's own texts, the re-entry guard, and a print text that stays in the
// print language while the menu speaks another.
#include "MldFixtures.h"
#include "localisation/IvCommon.h"
#include "localisation/IvResHook.h"
#include "support/TestSupport.h"

#include <QDialogButtonBox>
#include <QKeySequence>
#include <QPushButton>
#include <QtTest>
#include <memory>

namespace {

std::vector<TIvMLDEntry> HookEntries() {
    return {
        FixtureEntry("Shift+", "Umsch+", "Shift+"),
        FixtureEntry("Ctrl+", "Strg+", "Ctrl+"),
        FixtureEntry("Alt+", "Alt+", "Alt+"),
        FixtureEntry("Del", "Entf", "Del"),
        FixtureEntry("Directory", "Verzeichnis", "Directory"),
        FixtureEntry("Outer", "Außen", "Outer"),
        FixtureEntry("Ctrl", "Strg", "Ctrl"),
        FixtureEntry("Cancel", "Abbrechen", "Cancel"),
    };
}

// A dictionary whose lookup of "Outer" loads a resource text itself, as a
// message built inside a lookup would.
class ReentrantDictionary : public TIvBinaryDictionary {
public:
    using TIvBinaryDictionary::TIvBinaryDictionary;
    QString inner;
    bool Translate(const QString& text, QString& result) override {
        if (text == QLatin1String("Outer")) inner = TranslatedLoadResString(QStringLiteral("Directory"), 4);
        return TIvBinaryDictionary::Translate(text, result);
    }
};

struct Fixture {
    TestDir dir;
    QString file;
    Fixture() { file = WriteFixture(dir.file("hook.mld"), FixtureLanguages(false), HookEntries()); }
    std::unique_ptr<ReentrantDictionary> Make(const QString& name, int language,
                                              TIvDictionaryOptions options = ivdoAll) const {
        auto d = std::make_unique<ReentrantDictionary>(nullptr, name);
        d->SetFileName(file);
        d->SetLanguage(language);
        d->Options = options;
        return d;
    }
};

}  // namespace

class TstResHook : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { NlsSetDefaultLcidOverride(MakeLangId(9, 1)); }
    void init() { QCOMPARE(Dictionaries().Count(), 0); }
    void cleanup() { QVERIFY(!ResourceHookInstalled()); }

    void keyNames_data() {
        QTest::addColumn<int>("shortCut");
        QTest::addColumn<QString>("text");
        QTest::newRow("Ctrl+Shift+F5") << (scCtrl | scShift | 0x74) << "Shift+Ctrl+F5";
        QTest::newRow("all three prefixes") << (scAlt | scCtrl | scShift | 'K') << "Shift+Ctrl+Alt+K";
        QTest::newRow("Alt+A") << (scAlt | 'A') << "Alt+A";
        QTest::newRow("keypad 0") << 0x60 << "0";
        QTest::newRow("keypad 9") << 0x69 << "9";
        QTest::newRow("below keypad digits") << 0x5F << "";
        QTest::newRow("keypad multiply") << 0x6A << "";
        QTest::newRow("F1") << 0x70 << "F1";
        QTest::newRow("F24") << 0x87 << "F24";
        QTest::newRow("past F24") << 0x88 << "";
        QTest::newRow("digit 0") << 0x30 << "0";
        QTest::newRow("before digits") << 0x2F << "";
        QTest::newRow("letter Z") << 0x5A << "Z";
        QTest::newRow("after Z") << 0x5B << "";
        QTest::newRow("BkSp") << 0x08 << "BkSp";
        QTest::newRow("Tab") << 0x09 << "Tab";
        QTest::newRow("line feed key") << 0x0A << "";
        QTest::newRow("Enter") << 0x0D << "Enter";
        QTest::newRow("Esc") << 0x1B << "Esc";
        QTest::newRow("Space") << 0x20 << "Space";
        QTest::newRow("Down") << 0x28 << "Down";
        QTest::newRow("after Down") << 0x29 << "";
        QTest::newRow("Ins") << (scShift | 0x2D) << "Shift+Ins";
        QTest::newRow("Del") << (scCtrl | 0x2E) << "Ctrl+Del";
        QTest::newRow("punctuation key") << (scCtrl | 0xBB) << "Ctrl+=";
        QTest::newRow("unknown key") << 0xFF << "";
        QTest::newRow("unknown key with prefix") << (scCtrl | 0xE5) << "";
        QTest::newRow("no key") << scCtrl << "";
    }
    void keyNames() {
        QFETCH(int, shortCut);
        QFETCH(QString, text);
        QCOMPARE(TranslatedShortCutToText(shortCut), text);
        // A closed first dictionary translates nothing.
        Fixture f;
        auto d = f.Make("First", 1);
        QCOMPARE(TranslatedShortCutToText(shortCut), text);
    }

    void keyNamesFollowTheFirstDictionary() {
        Fixture f;
        auto first = f.Make("First", 1, ivdoAll & ~ivdoTranslateResourceStrings);
        auto second = f.Make("Second", 2);
        second->Open();
        QCOMPARE(TranslatedShortCutToText(scCtrl | scShift | 0x74), QString("Shift+Ctrl+F5"));
        first->Open();
        QCOMPARE(TranslatedShortCutToText(scCtrl | scShift | 0x74), QString("Umsch+Strg+F5"));
        QCOMPARE(TranslatedShortCutToText(scCtrl | 0x2E), QString("Strg+Entf"));
        QCOMPARE(TranslatedShortCutToText(scAlt | 0x70), QString("Alt+F1"));
        first->Close();
        QCOMPARE(TranslatedShortCutToText(scCtrl | 0x2E), QString("Ctrl+Del"));
    }

    void resourceTextsOnlyWhileHooked() {
        Fixture f;
        auto d = f.Make("First", 1);
        QCOMPARE(TranslatedLoadResString("Directory", 1), QString("Directory"));
        d->Open();
        QVERIFY(ResourceHookInstalled());
        QCOMPARE(TranslatedLoadResString("Directory", 1), QString("Verzeichnis"));
        QCOMPARE(TranslatedLoadResString("Not in the dictionary", 2), QString("Not in the dictionary"));
        QCOMPARE(TranslatedLoadResString(QString(), 3), QString());
        d->SetLanguage(2);
        QCOMPARE(TranslatedLoadResString("Cancel", 1), QString("Cancel"));
        d->Close();
        QVERIFY(!ResourceHookInstalled());
        QCOMPARE(TranslatedLoadResString("Directory", 1), QString("Directory"));
    }

    void noHookWithoutTheOption() {
        Fixture f;
        auto first = f.Make("First", 1, ivdoAll & ~ivdoTranslateResourceStrings);
        first->Open();
        QVERIFY(!ResourceHookInstalled());
        QCOMPARE(TranslatedLoadResString("Directory", 1), QString("Directory"));
        // A later dictionary with the option installs it; the first
        // dictionary still does the translating.
        auto second = f.Make("Second", 2);
        second->Open();
        QVERIFY(ResourceHookInstalled());
        QCOMPARE(TranslatedLoadResString("Directory", 1), QString("Verzeichnis"));
        // The hook is program-wide: closing the dictionary that did not
        // install it removes it all the same.
        first->Close();
        QVERIFY(!ResourceHookInstalled());
        second->Close();
    }

    void qtTextsWhileHooked() {
        Fixture f;
        auto d = f.Make("First", 1);
        d->Open();
        QCOMPARE(QKeySequence(Qt::CTRL | Qt::Key_S).toString(QKeySequence::NativeText), QString("Strg+S"));
        {
            QDialogButtonBox box(QDialogButtonBox::Cancel);
            QCOMPARE(box.button(QDialogButtonBox::Cancel)->text(), QString("Abbrechen"));
        }
        d->Close();
        QCOMPARE(QKeySequence(Qt::CTRL | Qt::Key_S).toString(QKeySequence::NativeText), QString("Ctrl+S"));
        QDialogButtonBox box(QDialogButtonBox::Cancel);
        QCOMPARE(box.button(QDialogButtonBox::Cancel)->text(), QString("Cancel"));
    }

    void reentryGuard() {
        Fixture f;
        auto d = f.Make("First", 1);
        d->Open();
        QCOMPARE(TranslatedLoadResString("Outer", 7), QString("Außen"));
        QCOMPARE(d->inner, QString("Directory"));  // loaded inside the lookup: untranslated
        QVERIFY(ResourceTranslationAllowed());
        QCOMPARE(TranslatedLoadResString("Directory", 7), QString("Verzeichnis"));
        // A lookup that raises leaves the guard as it was.
        d->MissingTranslation = ivmtRaiseException;
        QVERIFY_THROWS_EXCEPTION(EIvMulti, TranslatedLoadResString("Missing text", 8));
        QVERIFY(ResourceTranslationAllowed());
        QCOMPARE(TranslatedLoadResString("Directory", 9), QString("Verzeichnis"));
        d->Close();
    }

    void printTextStaysInThePrintLanguage() {
        // The program's own dictionary files: the menu in English, print in
        // German, a message text of the string table in both.
        auto menu = std::make_unique<TIvBinaryDictionary>(nullptr, "MenuDictionary");
        menu->SetFileName(KORVA_BINARY_DIR "/Korva32.mld");
        menu->SetLanguage(2);
        auto print = std::make_unique<TIvBinaryDictionary>(nullptr, "PrintDictionary");
        print->SetFileName(KORVA_BINARY_DIR "/Korvaprn.mld");
        print->SetLanguage(1);
        menu->Open();
        print->Open();
        QVERIFY(ResourceHookInstalled());
        // A message of the string table under its key, and a product-type
        // name of it under its English wording.
        const QString key = "RS7101";
        const QString german = u"Eine Stückzahl der Stückliste ist größer als 9; die Halterung kann so nicht "
                               u"gespeichert werden."_qs;
        const QString english = "A quantity of the parts chain is greater than 9; the support cannot be stored like this.";
        QCOMPARE(TranslateWord(print.get(), key), german);
        QCOMPARE(TranslateWord(menu.get(), key), english);
        QCOMPARE(TranslateWord(print.get(), "Constant hanger"), u"Konstanthänger"_qs);
        QCOMPARE(TranslatedLoadResString("Cancel"), QString("Cancel"));
        menu->SetLanguage(1);
        QCOMPARE(TranslatedLoadResString("Cancel"), QString("Abbrechen"));
        print->SetLanguage(2);
        QCOMPARE(TranslateWord(print.get(), key), english);
        menu->SetLanguage(2);
        print->SetLanguage(1);
        QCOMPARE(TranslateWord(print.get(), key), german);
        QCOMPARE(TranslateWord(menu.get(), key), english);
        print->Close();
        menu->Close();
    }
};

QTEST_MAIN(TstResHook)
#include "tst_reshook.moc"
