// The translator component on real widgets: targets, native text memory,
// item widgets through the control module, mirroring and its errors.
#include "MldFixtures.h"
#include "localisation/IvConMod.h"
#include "localisation/IvMulti.h"
#include "support/TestSupport.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTableWidget>
#include <QtTest>

namespace {

std::vector<TIvMLDEntry> Entries() {
    auto e = FixtureEntries();
    e.push_back(FixtureEntry(QStringLiteral("Load"), QStringLiteral("Last"), QStringLiteral("Load (en)"), QStringLiteral("Нагрузка")));
    e.push_back(FixtureEntry(QStringLiteral("Travel"), QStringLiteral("Weg"), QStringLiteral("Travel (en)"), QStringLiteral("Ход")));
    e.push_back(FixtureEntry(QStringLiteral("Options"), QStringLiteral("Optionen"), QStringLiteral("Options (en)"), QStringLiteral("Опции")));
    return e;
}

struct Form {
    QWidget window;
    QLabel* label;
    QPushButton* button;
    QGroupBox* box;
    QLineEdit* edit;
    QComboBox* combo;
    QListWidget* list;
    QTableWidget* grid;
    TIvTranslator* translator;

    Form() {
        window.setObjectName(QStringLiteral("FormMain"));
        window.setWindowTitle(QStringLiteral("Options"));
        label = new QLabel(QStringLiteral("Directory"), &window);
        label->setObjectName(QStringLiteral("Label1"));
        label->setGeometry(10, 10, 100, 20);
        button = new QPushButton(QStringLiteral("Load"), &window);
        button->setToolTip(QStringLiteral("Travel"));
        box = new QGroupBox(QStringLiteral("Travel"), &window);
        edit = new QLineEdit(QStringLiteral("Load"), &window);
        combo = new QComboBox(&window);
        combo->addItems({QStringLiteral("Load"), QStringLiteral("Travel"), QStringLiteral("Unknown")});
        combo->setCurrentIndex(1);
        list = new QListWidget(&window);
        list->addItems({QStringLiteral("Load"), QStringLiteral("Travel")});
        list->setSelectionMode(QAbstractItemView::MultiSelection);
        list->item(1)->setSelected(true);
        grid = new QTableWidget(2, 2, &window);
        grid->setItem(1, 1, new QTableWidgetItem(QStringLiteral("Travel")));
        translator = new TIvTranslator(&window);
        translator->SetDictionaryName(QStringLiteral("MenuDictionary"));
        for (const char* p : {"Caption", "Hint", "Items", "Cells"}) translator->Targets.Add(QString(), QString::fromLatin1(p));
        window.resize(400, 300);
    }
};

}  // namespace

class TstTranslator : public QObject {
    Q_OBJECT
    TestDir m_dir;
    QString m_file;

private slots:
    void initTestCase() {
        NlsSetDefaultLcidOverride(MakeLangId(9, 1));
        auto languages = FixtureLanguages();
        languages.push_back(FixtureLanguage(13, 1, "Hebrew", "Hebrew", 1255));
        m_file = WriteFixture(m_dir.file("t.mld"), languages, Entries());
    }

    void translatesAndRestoresNativeTexts() {
        TIvBinaryDictionary d(nullptr, QStringLiteral("MenuDictionary"));
        d.SetFileName(m_file);
        d.SetLanguage(1);
        Form f;
        f.translator->Loaded();  // opens the closed dictionary
        QVERIFY(d.IsOpen());
        QVERIFY(f.translator->Linked());
        QCOMPARE(f.label->text(), QStringLiteral("Verzeichnis"));
        QCOMPARE(f.button->text(), QStringLiteral("Last"));
        QCOMPARE(f.button->toolTip(), QStringLiteral("Weg"));
        QCOMPARE(f.box->title(), QStringLiteral("Weg"));
        QCOMPARE(f.window.windowTitle(), QStringLiteral("Optionen"));
        QCOMPARE(f.edit->text(), QStringLiteral("Load"));  // user input is no caption
        QCOMPARE(f.combo->itemText(0), QStringLiteral("Last"));
        QCOMPARE(f.combo->itemText(2), QStringLiteral("Unknown"));
        QCOMPARE(f.list->item(1)->text(), QStringLiteral("Weg"));
        QCOMPARE(f.grid->item(1, 1)->text(), QStringLiteral("Weg"));

        // The program changes a caption; it becomes a native text of its own.
        f.label->setText(QStringLiteral("Options"));
        d.SetLanguage(2);
        QCOMPARE(f.label->text(), QStringLiteral("Options (en)"));
        QCOMPARE(f.button->text(), QStringLiteral("Load (en)"));
        QCOMPARE(f.combo->currentIndex(), 1);
        QVERIFY(f.list->item(1)->isSelected());
        QVERIFY(!f.list->item(0)->isSelected());
        d.SetLanguage(0);
        QCOMPARE(f.label->text(), QStringLiteral("Options"));
        QCOMPARE(f.button->text(), QStringLiteral("Load"));
        QCOMPARE(f.combo->itemText(0), QStringLiteral("Load"));
        QCOMPARE(f.grid->item(1, 1)->text(), QStringLiteral("Travel"));
        d.Close();
        QVERIFY(!f.translator->Linked());
        QVERIFY(f.translator->Table().empty());
    }

    void targetsAndExclusions_data() {
        QTest::addColumn<QString>("cls");
        QTest::addColumn<QString>("prop");
        QTest::addColumn<int>("flag");
        QTest::addColumn<bool>("labelTranslated");
        QTest::addColumn<bool>("buttonTranslated");
        QTest::newRow("exclude labels") << "QLabel" << "" << 1 << false << true;
        QTest::newRow("exclude label captions") << "qlabel" << "Caption" << 1 << false << true;
        QTest::newRow("exclude every text") << "" << "text" << 1 << false << false;
        QTest::newRow("exclude buttons' text") << "QPushButton" << "text" << 1 << true << false;
        QTest::newRow("extra target") << "QLabel" << "text" << 0 << true << true;
    }
    void targetsAndExclusions() {
        QFETCH(QString, cls);
        QFETCH(QString, prop);
        QFETCH(int, flag);
        QFETCH(bool, labelTranslated);
        QFETCH(bool, buttonTranslated);
        TIvBinaryDictionary d(nullptr, QStringLiteral("MenuDictionary"));
        d.SetFileName(m_file);
        d.SetLanguage(1);
        Form f;
        f.translator->Targets.Add(cls, prop, flag);
        f.translator->Loaded();
        QCOMPARE(f.label->text() == QStringLiteral("Verzeichnis"), labelTranslated);
        QCOMPARE(f.button->text() == QStringLiteral("Last"), buttonTranslated);
        QCOMPARE(f.button->toolTip(), QStringLiteral("Weg"));
    }

    // What a class offers to translate is kept per class: a target added
    // or an exclusion made after a translation counts at the next one, for
    // objects of classes already seen.
    void targetsChangedAfterATranslationCount() {
        TIvBinaryDictionary d(nullptr, QStringLiteral("MenuDictionary"));
        d.SetFileName(m_file);
        d.SetLanguage(1);
        Form f;
        f.translator->Loaded();
        QCOMPARE(f.label->text(), QStringLiteral("Verzeichnis"));
        QCOMPARE(f.edit->text(), QStringLiteral("Load"));
        f.translator->Targets.Add(QStringLiteral("QLabel"), QString(), 1);
        f.translator->Targets.Add(QStringLiteral("QLineEdit"), QStringLiteral("text"));
        d.SetLanguage(2);
        QCOMPARE(f.label->text(), QStringLiteral("Verzeichnis"));  // excluded now: left as it stands
        QCOMPARE(f.edit->text(), QStringLiteral("Load (en)"));
        QCOMPARE(f.button->text(), QStringLiteral("Load (en)"));
        f.translator->Targets.Clear();
        f.translator->Targets.Add(QString(), QStringLiteral("Hint"));
        d.SetLanguage(1);
        QCOMPARE(f.button->text(), QStringLiteral("Load (en)"));  // no caption target any more
        QCOMPARE(f.button->toolTip(), QStringLiteral("Weg"));
    }

    // A part built after the window was translated (a panel built when it
    // is first shown) gets the language in force, and the next switch
    // translates it from its native texts like the rest.
    void partBuiltLaterFollowsTheLanguage() {
        TIvBinaryDictionary d(nullptr, QStringLiteral("MenuDictionary"));
        d.SetFileName(m_file);
        d.SetLanguage(1);
        Form f;
        f.translator->Loaded();
        auto* part = new QGroupBox(QStringLiteral("Travel"), &f.window);
        auto* inner = new QLabel(QStringLiteral("Load"), part);
        auto* other = new QLabel(QStringLiteral("Options"), &f.window);  // not part of it
        f.translator->TranslatePart(part);
        QCOMPARE(part->title(), QStringLiteral("Weg"));
        QCOMPARE(inner->text(), QStringLiteral("Last"));
        QCOMPARE(other->text(), QStringLiteral("Options"));
        QCOMPARE(f.label->text(), QStringLiteral("Verzeichnis"));
        d.SetLanguage(2);
        QCOMPARE(part->title(), QStringLiteral("Travel (en)"));
        QCOMPARE(inner->text(), QStringLiteral("Load (en)"));
        d.SetLanguage(0);
        QCOMPARE(inner->text(), QStringLiteral("Load"));
        // Without a linked dictionary a part keeps its texts.
        d.Close();
        auto* late = new QLabel(QStringLiteral("Load"), &f.window);
        f.translator->TranslatePart(late);
        QCOMPARE(late->text(), QStringLiteral("Load"));
    }

    void restrictions() {
        TIvBinaryDictionary d(nullptr, QStringLiteral("MenuDictionary"));
        d.SetFileName(m_file);
        d.SetLanguage(1);
        Form f;
        f.translator->OnRestrictComponent = [&](TIvTranslator*, QObject* c, TIvRestrictions& r) {
            if (c == f.label) r |= ivrsNoProperties;
            if (c == f.combo) r |= ivrsNoSpecial;
        };
        f.translator->Loaded();
        QCOMPARE(f.label->text(), QStringLiteral("Directory"));
        QCOMPARE(f.combo->itemText(0), QStringLiteral("Load"));
        QCOMPARE(f.button->text(), QStringLiteral("Last"));
    }

    void mirroringForRightToLeft() {
        TIvBinaryDictionary d(nullptr, QStringLiteral("MenuDictionary"));
        d.SetFileName(m_file);
        d.CheckLevel = ivclNone;
        d.SetLanguage(1);
        Form f;
        f.translator->Loaded();
        QCOMPARE(f.label->x(), 10);
        d.SetLanguage(4);
        QVERIFY(f.translator->Mirrored());
        QCOMPARE(f.window.layoutDirection(), Qt::RightToLeft);
        QCOMPARE(f.label->x(), 400 - 100 - 10);
        QCOMPARE(f.label->alignment() & Qt::AlignHorizontal_Mask, Qt::AlignRight);
        d.SetLanguage(4 - 2);
        QVERIFY(!f.translator->Mirrored());
        QCOMPARE(f.label->x(), 10);
        QCOMPARE(f.window.layoutDirection(), Qt::LeftToRight);
        QCOMPARE(f.label->alignment() & Qt::AlignHorizontal_Mask, Qt::AlignLeft);
    }

    void noDictionary() {
        Form f;
        f.translator->setObjectName(QStringLiteral("IvTranslator1"));
        f.translator->Loaded();  // nothing to link to: nothing happens
        QVERIFY(!f.translator->Linked());
        try {
            f.translator->Translate();
            QFAIL("no exception");
        } catch (const EIvMulti& e) {
            QCOMPARE(e.Message(),
                     QStringLiteral("No dictionary has been assigned to the translator component (IvTranslator1 on \"FormMain\" form)"));
        }
    }

    void missingFileTranslatesNothing() {
        TIvBinaryDictionary d(nullptr, QStringLiteral("MenuDictionary"));
        d.SetFileName(m_dir.file("missing.mld"));
        Form f;
        f.translator->Loaded();
        QVERIFY(!d.IsOpen());
        QVERIFY(!f.translator->Linked());
        QCOMPARE(f.label->text(), QStringLiteral("Directory"));
    }

    // Sorted lists and tables: the translated texts sort in their new order,
    // each item translated exactly once, and the sorting stays switched on.
    void sortedViewsTranslateEveryItemOnce_data() {
        QTest::addColumn<bool>("table");
        QTest::newRow("list") << false;
        QTest::newRow("table") << true;
    }
    void sortedViewsTranslateEveryItemOnce() {
        QFETCH(bool, table);
        // German wordings sort the other way round from the natives.
        auto entries = Entries();
        const QStringList natives{"Gamma", "Alpha", "Delta", "Beta", "Epsilon"};
        const QStringList german{"X-ray", "Zulu", "Whiskey", "Yankee", "Victor"};
        for (int i = 0; i < natives.size(); ++i) entries.push_back(FixtureEntry(natives[i], german[i], natives[i]));
        const QString file = WriteFixture(m_dir.file("sorted.mld"), FixtureLanguages(), entries);
        TIvBinaryDictionary d(nullptr, QStringLiteral("MenuDictionary"));
        d.SetFileName(file);
        d.SetLanguage(1);
        QWidget window;
        QListWidget* list = nullptr;
        QTableWidget* grid = nullptr;
        if (table) {
            grid = new QTableWidget(int(natives.size()), 1, &window);
            for (int i = 0; i < natives.size(); ++i) grid->setItem(i, 0, new QTableWidgetItem(natives[i]));
            grid->setSortingEnabled(true);
            grid->sortByColumn(0, Qt::AscendingOrder);
        } else {
            list = new QListWidget(&window);
            list->addItems(natives);
            list->setSortingEnabled(true);
            list->sortItems();
        }
        const auto texts = [&] {
            QStringList out;
            const int n = table ? grid->rowCount() : list->count();
            for (int i = 0; i < n; ++i) out << (table ? grid->item(i, 0)->text() : list->item(i)->text());
            return out;
        };
        QCOMPARE(texts(), (QStringList{"Alpha", "Beta", "Delta", "Epsilon", "Gamma"}));
        auto* translator = new TIvTranslator(&window);
        translator->SetDictionaryName(QStringLiteral("MenuDictionary"));
        translator->Targets.Add(QString(), QStringLiteral("Items"));
        translator->Targets.Add(QString(), QStringLiteral("Cells"));
        translator->Loaded();
        QCOMPARE(texts(), (QStringList{"Victor", "Whiskey", "X-ray", "Yankee", "Zulu"}));
        QVERIFY(table ? grid->isSortingEnabled() : list->isSortingEnabled());
        d.SetLanguage(2);
        QCOMPARE(texts(), (QStringList{"Alpha", "Beta", "Delta", "Epsilon", "Gamma"}));
        d.SetLanguage(1);
        QCOMPARE(texts(), (QStringList{"Victor", "Whiskey", "X-ray", "Yankee", "Zulu"}));
    }

    void restoreNative() {
        TIvBinaryDictionary d(nullptr, QStringLiteral("MenuDictionary"));
        d.SetFileName(m_file);
        d.SetLanguage(2);
        Form f;
        f.translator->Loaded();
        QCOMPARE(f.label->text(), QStringLiteral("Directory"));
        QCOMPARE(f.box->title(), QStringLiteral("Travel (en)"));
        f.translator->RestoreNative();
        QCOMPARE(f.box->title(), QStringLiteral("Travel"));
        QCOMPARE(d.Language(), 0);
        QVERIFY(!f.translator->Linked());
    }

    void modulesRegisterOncePerClass() {
        const int before = Modules().Count();
        Modules().RegisterModule(std::make_unique<TIvControlModule>());
        QCOMPARE(Modules().Count(), before);
        QVERIFY(before >= 1);
    }

    void centerForm() {
        QWidget form, control;
        form.resize(100, 50);
        control.setGeometry(20, 30, 300, 200);
        CenterForm(&form, &control);
        QCOMPARE(form.pos(), QPoint(120, 105));
        control.setGeometry(0, 0, 10, 10);
        CenterForm(&form, &control);
        QCOMPARE(form.pos(), QPoint(0, 0));
    }
};

QTEST_MAIN(TstTranslator)
#include "tst_translator.moc"
