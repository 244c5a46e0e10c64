// The translator component on real widgets: targets, native text memory,
// item widgets through the control module, mirroring and its errors.
#include "MldFixtures.h"
#include "localisation/IvConMod.h"
#include "localisation/IvLangDlg.h"
#include "localisation/IvMulti.h"
#include "support/TestSupport.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QTableWidget>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <QtTest>
#include <memory>

namespace {

std::vector<TIvMLDEntry> Entries() {
    auto e = FixtureEntries();
    e.push_back(FixtureEntry(QStringLiteral("Load"), QStringLiteral("Last"), QStringLiteral("Load (en)"), QStringLiteral("Нагрузка")));
    e.push_back(FixtureEntry(QStringLiteral("Travel"), QStringLiteral("Weg"), QStringLiteral("Travel (en)"), QStringLiteral("Ход")));
    e.push_back(FixtureEntry(QStringLiteral("Options"), QStringLiteral("Optionen"), QStringLiteral("Options (en)"), QStringLiteral("Опции")));
    return e;
}

// The multi-byte languages a dictionary adds to the native texts, German
// and English (0 to 2): Japanese (3), and Chinese (4) after it.
enum class MultiByte { Japanese, JapaneseAndChinese };

// `d` reads a dictionary of those languages, written to `path`, in
// `language`. Code pages are not checked, so that a multi-byte language can
// be chosen on a single-byte system.
void UseMultiByteFixture(TIvBinaryDictionary& d, const QString& path, MultiByte added, int language) {
    auto languages = FixtureLanguages(false);
    languages.push_back(FixtureLanguage(17, 1, "Japanese", "Nihongo", 932));
    if (added == MultiByte::JapaneseAndChinese)
        languages.push_back(FixtureLanguage(4, 2, "Chinese", "Zhongwen", 936));
    d.SetFileName(WriteFixture(path, languages, Entries()));
    d.CheckLevel = ivclNone;
    d.SetLanguage(language);
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

// An object with a locale number, as some controls carry.
class LocaleHolder : public QObject {
    Q_OBJECT
    Q_PROPERTY(int locale READ Locale WRITE SetLocale)
public:
    using QObject::QObject;
    int Locale() const { return m_locale; }
    void SetLocale(int v) { m_locale = v; }

private:
    int m_locale = -7;
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

    // The window menu of a window in an MDI area follows the language: each
    // item by its command's English text, its accelerator part kept; the
    // round trip goes back to the texts of the native language.
    void systemMenuOfAnMdiChild_data() {
        QTest::addColumn<bool>("option");
        QTest::addColumn<QStringList>("german");
        QTest::addColumn<QStringList>("english");
        QTest::newRow("translated") << true << QStringList{"&Wiederherstellen", "Mi&nimieren", "&Schließen\tCtrl+F4"}
                                    << QStringList{"&Restore (en)", "Mi&nimize", "&Close\tCtrl+F4"};
        QTest::newRow("option off") << false << QStringList{"&Restore", "Mi&nimize", "&Close\tCtrl+F4"}
                                    << QStringList{"&Restore", "Mi&nimize", "&Close\tCtrl+F4"};
    }
    void systemMenuOfAnMdiChild() {
        QFETCH(bool, option);
        QFETCH(QStringList, german);
        QFETCH(QStringList, english);
        auto entries = Entries();
        entries.push_back(FixtureEntry(QStringLiteral("&Restore"), QStringLiteral("&Wiederherstellen"), QStringLiteral("&Restore (en)")));
        entries.push_back(FixtureEntry(QStringLiteral("Mi&nimize"), QStringLiteral("Mi&nimieren"), QString()));
        entries.push_back(FixtureEntry(QStringLiteral("&Close"), QStringLiteral("&Schließen"), QString()));
        const QString file = WriteFixture(m_dir.file("menu.mld"), FixtureLanguages(), entries);
        TIvBinaryDictionary d(nullptr, QStringLiteral("MenuDictionary"));
        d.SetFileName(file);
        d.SetLanguage(1);
        QMdiArea area;
        auto* form = new QWidget;
        form->setObjectName(QStringLiteral("Child"));
        QMdiSubWindow* sub = area.addSubWindow(form);
        QMenu* menu = sub->systemMenu();
        QVERIFY(menu);
        const auto item = [menu](const char* english) -> QAction* {
            for (QAction* a : menu->actions())
                if (a->text().section(u'\t', 0, 0) == QLatin1String(english)) return a;
            return nullptr;
        };
        QAction* restore = item("&Restore");
        QAction* minimize = item("Mi&nimize");
        QAction* close = item("&Close");
        QVERIFY(restore && minimize && close);
        close->setText(QStringLiteral("&Close\tCtrl+F4"));
        auto* translator = new TIvTranslator(form);
        translator->SetDictionaryName(QStringLiteral("MenuDictionary"));
        translator->Targets.Add(QString(), QStringLiteral("Caption"));
        if (!option) translator->Options &= ~ivtoTranslateSystemMenu;
        translator->Loaded();
        QCOMPARE((QStringList{restore->text(), minimize->text(), close->text()}), german);
        d.SetLanguage(2);
        QCOMPARE((QStringList{restore->text(), minimize->text(), close->text()}), english);
        d.SetLanguage(1);
        QCOMPARE((QStringList{restore->text(), minimize->text(), close->text()}), german);
        // A window of its own: the window manager draws its menu.
        QWidget top;
        TIvTranslator own(&top);
        QVERIFY(!own.SystemMenu());
        QCOMPARE(translator->SystemMenu(), menu);
    }

    // A multi-byte language scales the window once by MultiByteScale, any
    // other language scales it back once; a window with scroll bars that
    // come as needed, or a scale of no size, is not scaled but refused by
    // name. A window scaled before its scale was set to 100 is scaled back
    // at the next pass, whatever the language.
    void multiByteScaling_data() {
        QTest::addColumn<int>("kind");  // 0 plain, 1 scroll area as needed, 2 scroll area without bars, 3 says AutoScroll
        QTest::addColumn<int>("scale");
        QTest::addColumn<int>("later");           // MultiByteScale from the second pass on
        QTest::addColumn<QList<QSize>>("sizes");  // after Japanese, Chinese, English
        QTest::addColumn<QString>("message");
        const QString refused = "Cannot scale a form (Scaled) that has AutoScroll property set True";
        QTest::newRow("plain 125") << 0 << 125 << 125 << QList<QSize>{{500, 375}, {500, 375}, {400, 300}} << "";
        QTest::newRow("plain 80") << 0 << 80 << 80 << QList<QSize>{{320, 240}, {320, 240}, {400, 300}} << "";
        QTest::newRow("100 scales nothing") << 0 << 100 << 100 << QList<QSize>{{400, 300}, {400, 300}, {400, 300}} << "";
        QTest::newRow("set to 100 while scaled: back in Chinese (not: scaled for good)")
            << 0 << 125 << 100 << QList<QSize>{{500, 375}, {400, 300}, {400, 300}} << "";
        QTest::newRow("scroll bars as needed") << 1 << 125 << 125 << QList<QSize>{} << refused;
        QTest::newRow("scroll area without bars")
            << 2 << 125 << 125 << QList<QSize>{{500, 375}, {500, 375}, {400, 300}} << "";
        QTest::newRow("AutoScroll set") << 3 << 125 << 125 << QList<QSize>{} << refused;
        QTest::newRow("a scale of 0 (nothing to scale back from)")
            << 0 << 0 << 0 << QList<QSize>{} << "Cannot scale a form (Scaled) by 0 %";
    }
    void multiByteScaling() {
        QFETCH(int, kind);
        QFETCH(int, scale);
        QFETCH(int, later);
        QFETCH(QList<QSize>, sizes);
        QFETCH(QString, message);
        TIvBinaryDictionary d(nullptr, QStringLiteral("MenuDictionary"));
        UseMultiByteFixture(d, m_dir.file("cjk.mld"), MultiByte::JapaneseAndChinese, 1);
        std::unique_ptr<QWidget> root;
        if (kind == 1 || kind == 2) {
            auto* area = new QScrollArea;
            if (kind == 2) {
                area->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
                area->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
            }
            root.reset(area);
        } else {
            root = std::make_unique<QWidget>();
        }
        if (kind == 3) root->setProperty("AutoScroll", true);
        root->setObjectName(QStringLiteral("Scaled"));
        root->resize(400, 300);
        auto* translator = new TIvTranslator(root.get());
        translator->SetDictionaryName(QStringLiteral("MenuDictionary"));
        translator->Targets.Add(QString(), QStringLiteral("Caption"));
        translator->MultiByteScale = scale;
        int scaled = 0;
        translator->OnScale = [&scaled](TIvTranslator*, QObject*) { ++scaled; };
        translator->Loaded();
        QCOMPARE(root->size(), QSize(400, 300));
        try {
            d.SetLanguage(3);
            QVERIFY(message.isEmpty());
        } catch (const EIvMulti& e) {
            QCOMPARE(e.Message(), message);
            QCOMPARE(root->size(), QSize(400, 300));
            QCOMPARE(d.Language(), 1);
            return;
        }
        QCOMPARE(root->size(), sizes[0]);
        translator->MultiByteScale = later;
        d.SetLanguage(4);
        QCOMPARE(root->size(), sizes[1]);
        d.SetLanguage(2);
        QCOMPARE(root->size(), sizes[2]);
        QCOMPARE(scaled, scale == 100 ? 0 : 2);
    }

    // Scaling scales the whole form, not its frame alone: the language
    // dialog, fixed in size, takes the scaled size and size limits, its
    // widgets scaled places and sizes (rounded, not cut: 75 at 125 % is
    // 94), and fonts grow by the same factor, inherited ones with the
    // form's. Another multi-byte language and linking again scale nothing
    // twice. Back in a single-byte language everything is as designed,
    // also where the inverse factor would miss (80 %: 257, 206, 258); a
    // place the program changed meanwhile is scaled back from where it is.
    void multiByteScalingScalesTheWholeForm_data() {
        QTest::addColumn<int>("scale");
        QTest::addColumn<QSize>("size");
        QTest::addColumn<QList<QRect>>("places");  // TreeView, OKButton, CancelButton, HelpButton
        QTest::addColumn<qreal>("labelFont");      // a label with a font of its own, 10 points as designed
        QTest::addColumn<QRect>("movedBack");      // the Cancel button moved to (100, 100, 60, 20) while scaled
        QTest::newRow("125 %") << 125 << QSize(320, 321)
                               << QList<QRect>{{10, 10, 201, 301}, {220, 10, 94, 31}, {220, 50, 94, 31},
                                               {220, 90, 94, 31}}
                               << 12.5 << QRect(80, 80, 48, 16);
        QTest::newRow("80 %") << 80 << QSize(205, 206)
                              << QList<QRect>{{6, 6, 129, 193}, {141, 6, 60, 20}, {141, 32, 60, 20}, {141, 58, 60, 20}}
                              << 8.0 << QRect(125, 125, 75, 25);
    }
    void multiByteScalingScalesTheWholeForm() {
        QFETCH(int, scale);
        QFETCH(QSize, size);
        QFETCH(QList<QRect>, places);
        QFETCH(qreal, labelFont);
        QFETCH(QRect, movedBack);
        TIvBinaryDictionary d(nullptr, QStringLiteral("DialogDictionary"));
        UseMultiByteFixture(d, m_dir.file("cjkdialog.mld"), MultiByte::JapaneseAndChinese, 2);
        TIvLanguageDialog dialog(nullptr, &d, 0, 0, ivldAllLanguages);
        auto* label = new QLabel(QStringLiteral("Load"), &dialog);
        QFont own = label->font();
        own.setPointSizeF(10);
        label->setFont(own);
        dialog.Translator->MultiByteScale = scale;
        int scaled = 0;
        dialog.Translator->OnScale = [&scaled](TIvTranslator*, QObject*) { ++scaled; };
        const qreal formFont = dialog.font().pointSizeF();
        QVERIFY(formFont > 0);
        QVERIFY(!dialog.testAttribute(Qt::WA_SetFont));
        QWidget* const widgets[] = {dialog.TreeView, dialog.OKButton, dialog.CancelButton, dialog.HelpButton};
        const QList<QRect> designed{{8, 8, 161, 241}, {176, 8, 75, 25}, {176, 40, 75, 25}, {176, 72, 75, 25}};
        const auto placesNow = [&widgets] {
            QList<QRect> out;
            for (QWidget* w : widgets) out << w->geometry();
            return out;
        };
        QCOMPARE(placesNow(), designed);
        const auto checkScaled = [&] {
            QCOMPARE(dialog.size(), size);
            QCOMPARE(dialog.minimumSize(), size);
            QCOMPARE(dialog.maximumSize(), size);
            QCOMPARE(placesNow(), places);
            // An unlimited size stays unlimited.
            QCOMPARE(dialog.TreeView->maximumSize(), QSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX));
            QCOMPARE(label->font().pointSizeF(), labelFont);
            QCOMPARE(dialog.OKButton->font().pointSizeF(), formFont * scale / 100);
            QCOMPARE(scaled, 1);
        };
        d.SetLanguage(3);  // Japanese
        checkScaled();
        if (QTest::currentTestFailed()) return;
        d.SetLanguage(4);  // Chinese
        checkScaled();
        if (QTest::currentTestFailed()) return;
        d.Close();
        d.Open();
        dialog.Translator->Translate();
        checkScaled();
        if (QTest::currentTestFailed()) return;
        dialog.CancelButton->setGeometry(100, 100, 60, 20);
        d.SetLanguage(2);  // English
        QCOMPARE(dialog.size(), QSize(256, 257));
        QCOMPARE(dialog.minimumSize(), QSize(256, 257));
        QCOMPARE(dialog.maximumSize(), QSize(256, 257));
        QCOMPARE(placesNow(), (QList<QRect>{designed[0], designed[1], movedBack, designed[3]}));
        QCOMPARE(label->font().pointSizeF(), 10.0);
        QCOMPARE(dialog.font().pointSizeF(), formFont);
        QVERIFY(!dialog.testAttribute(Qt::WA_SetFont));  // inherits its font again
        d.SetLanguage(1);  // German: a further pass changes nothing
        QCOMPARE(dialog.size(), QSize(256, 257));
        QCOMPARE(dialog.OKButton->font().pointSizeF(), formFont);
        QCOMPARE(scaled, 2);
    }

    // A window laid out by its layout: the minimum its layout gives it is
    // left to the layout, which gives it again from the scaled contents (a
    // label of at least 100 x 40 in margins of 7 and 5: 114 x 50, scaled
    // 139 x 60, not 143 x 63), and after scaling back it still follows the
    // contents (the label at 300 x 80: 314 x 90). A minimum the program set
    // scales and comes back, a direction at a time. A window at its minimum
    // goes back to its size, not held at the scaled minimum.
    void multiByteScalingLeavesALayoutItsMinimum_data() {
        QTest::addColumn<QSize>("set");  // set on the window by the program; 0 = none
        QTest::addColumn<QSize>("size");
        QTest::addColumn<QList<QSize>>("minimums");  // in Japanese, in English, after the label grew
        QTest::addColumn<QList<QSize>>("sizes");     // in Japanese, in English
        const QList<QSize> sizes{{500, 375}, {400, 300}};
        QTest::newRow("the layout's") << QSize(0, 0) << QSize(400, 300)
                                      << QList<QSize>{{139, 60}, {114, 50}, {314, 90}} << sizes;
        QTest::newRow("the program's") << QSize(400, 300) << QSize(400, 300)
                                       << QList<QSize>{{500, 375}, {400, 300}, {400, 300}} << sizes;
        QTest::newRow("the program's width, the layout's height")
            << QSize(400, 0) << QSize(400, 300) << QList<QSize>{{500, 60}, {400, 50}, {400, 90}} << sizes;
        QTest::newRow("the layout's, the window at it (not: held at 139 x 60)")
            << QSize(0, 0) << QSize(114, 50) << QList<QSize>{{139, 60}, {114, 50}, {314, 90}}
            << QList<QSize>{{143, 63}, {114, 50}};
    }
    void multiByteScalingLeavesALayoutItsMinimum() {
        QFETCH(QSize, set);
        QFETCH(QSize, size);
        QFETCH(QList<QSize>, minimums);
        QFETCH(QList<QSize>, sizes);
        TIvBinaryDictionary d(nullptr, QStringLiteral("LayoutDictionary"));
        UseMultiByteFixture(d, m_dir.file("cjklayout.mld"), MultiByte::Japanese, 2);
        QWidget window;
        window.setObjectName(QStringLiteral("LaidOut"));
        auto* layout = new QVBoxLayout(&window);
        layout->setContentsMargins(7, 5, 7, 5);
        auto* label = new QLabel(QStringLiteral("Load"), &window);
        label->setMinimumSize(100, 40);
        layout->addWidget(label);
        if (set.width() > 0) window.setMinimumWidth(set.width());
        if (set.height() > 0) window.setMinimumHeight(set.height());
        window.resize(size);
        auto* translator = new TIvTranslator(&window);
        translator->SetDictionaryName(QStringLiteral("LayoutDictionary"));
        translator->Targets.Add(QString(), QStringLiteral("Caption"));
        translator->MultiByteScale = 125;
        translator->Loaded();
        const auto minimum = [&] {
            layout->activate();
            return window.minimumSize();
        };
        d.SetLanguage(3);  // Japanese
        QCOMPARE(minimum(), minimums[0]);
        QCOMPARE(window.size(), sizes[0]);
        d.SetLanguage(2);  // English
        QCOMPARE(minimum(), minimums[1]);
        QCOMPARE(window.size(), sizes[1]);
        label->setMinimumSize(300, 80);
        QCOMPARE(minimum(), minimums[2]);
    }

    // The window's font follows the language: its font name and size where
    // it has them, else the window's own as designed.
    void fontFollowsTheLanguage_data() {
        QTest::addColumn<bool>("checkFont");
        QTest::addColumn<QString>("germanFont");
        QTest::addColumn<QString>("englishFont");
        QTest::newRow("checked") << true << "Liberation Serif|12" << "Native Sans|10";
        QTest::newRow("not checked") << false << "Native Sans|10" << "Native Sans|10";
    }
    void fontFollowsTheLanguage() {
        QFETCH(bool, checkFont);
        QFETCH(QString, germanFont);
        QFETCH(QString, englishFont);
        auto languages = FixtureLanguages(false);
        languages[1].FontName = QStringLiteral("Liberation Serif");
        languages[1].FontSize = 12;
        languages.push_back(FixtureLanguage(12, 1, "French", "Francais", 1252));
        languages[3].FontSize = 14;  // a size without a name
        const QString file = WriteFixture(m_dir.file("fonts.mld"), languages, Entries());
        TIvBinaryDictionary d(nullptr, QStringLiteral("MenuDictionary"));
        d.SetFileName(file);
        d.SetLanguage(2);
        QWidget window;
        QFont native(QStringLiteral("Native Sans"));
        native.setPointSize(10);
        window.setFont(native);
        auto* translator = new TIvTranslator(&window);
        translator->SetDictionaryName(QStringLiteral("MenuDictionary"));
        translator->Targets.Add(QString(), QStringLiteral("Caption"));
        if (!checkFont) translator->Options &= ~ivtoCheckFont;
        translator->Loaded();
        const auto font = [&window] {
            return window.font().family() + u'|' + QString::number(window.font().pointSize());
        };
        QCOMPARE(font(), QStringLiteral("Native Sans|10"));
        d.SetLanguage(1);
        QCOMPARE(font(), germanFont);
        d.SetLanguage(2);
        QCOMPARE(font(), englishFont);
        d.SetLanguage(3);
        QCOMPARE(font(), checkFont ? QStringLiteral("Native Sans|14") : QStringLiteral("Native Sans|10"));
    }

    // With contexts in use a text is looked up under the object's own class
    // and component name, then under each of its ancestor classes.
    void contextLookupWithAncestorClasses() {
        std::vector<TIvMLDEntry> entries{
            FixtureEntry("Options", "Optionen (Check1)", "", "", "QAbstractButton", "Check1"),
            FixtureEntry("Options", "Optionen (Check2)", "", "", "QAbstractButton", "Check2"),
            FixtureEntry("Options", "Optionen (Check3)", "", "", "QAbstractButton", "Check3"),
            FixtureEntry("Options", "Optionen (Check3, own class)", "", "", "QCheckBox", "Check3x"),
            FixtureEntry("Load", "Last (Drucktaste)", "", "", "QPushButton", "Button1"),
            FixtureEntry("Load", "Last (Knopf)", "", "", "QAbstractButton", "Button1"),
            FixtureEntry("Load", "Last (Rahmen)", "", "", "QFrame", "Label1"),
        };
        TIvMLDWriteOptions o;
        o.ContextKind = 1;
        const QString file = WriteFixture(m_dir.file("contexts.mld"), FixtureLanguages(false), entries, o);
        TIvBinaryDictionary d(nullptr, QStringLiteral("MenuDictionary"));
        d.SetFileName(file);
        d.SetLanguage(1);
        QWidget window;
        QList<QAbstractButton*> checks;
        for (const char* name : {"Check1", "Check3", "Check3x"}) {
            auto* c = new QCheckBox(QStringLiteral("Options"), &window);
            c->setObjectName(QString::fromLatin1(name));
            checks << c;
        }
        auto* button = new QPushButton(QStringLiteral("Load"), &window);
        button->setObjectName(QStringLiteral("Button1"));
        auto* label = new QLabel(QStringLiteral("Load"), &window);
        label->setObjectName(QStringLiteral("Label1"));
        auto* translator = new TIvTranslator(&window);
        translator->SetDictionaryName(QStringLiteral("MenuDictionary"));
        translator->Targets.Add(QString(), QStringLiteral("Caption"));
        translator->Loaded();
        QCOMPARE(checks[0]->text(), QStringLiteral("Optionen (Check1)"));
        QCOMPARE(checks[1]->text(), QStringLiteral("Optionen (Check3)"));
        QCOMPARE(checks[2]->text(), QStringLiteral("Optionen (Check3, own class)"));
        QCOMPARE(button->text(), QStringLiteral("Last (Drucktaste)"));  // its own class first
        QCOMPARE(label->text(), QStringLiteral("Last (Rahmen)"));       // QLabel, then QFrame
    }

    // A memo's text is translated without its trailing line breaks when
    // "Text" of its class is a target.
    void memoText_data() {
        QTest::addColumn<bool>("target");
        QTest::addColumn<QString>("german");
        QTest::newRow("target") << true << "Last";
        QTest::newRow("no target") << false << "Load\n\n";
    }
    void memoText() {
        QFETCH(bool, target);
        QFETCH(QString, german);
        TIvBinaryDictionary d(nullptr, QStringLiteral("MenuDictionary"));
        d.SetFileName(m_file);
        d.SetLanguage(1);
        QWidget window;
        auto* memo = new QPlainTextEdit(QStringLiteral("Load\n\n"), &window);
        auto* translator = new TIvTranslator(&window);
        translator->SetDictionaryName(QStringLiteral("MenuDictionary"));
        translator->Targets.Add(QString(), QStringLiteral("Caption"));
        if (target) translator->Targets.Add(QStringLiteral("QPlainTextEdit"), QStringLiteral("Text"));
        translator->Loaded();
        QCOMPARE(memo->toPlainText(), german);
        d.SetLanguage(2);
        QCOMPARE(memo->toPlainText(), target ? QStringLiteral("Load (en)") : german);
        d.SetLanguage(0);
        QCOMPARE(memo->toPlainText(), target ? QStringLiteral("Load") : german);
    }

    // Mirrored controls go back to their place after the parent changed
    // size: parent's width - width - the left they had before mirroring.
    void remirrorAfterAResize() {
        TIvBinaryDictionary d(nullptr, QStringLiteral("MenuDictionary"));
        d.SetFileName(m_file);
        d.CheckLevel = ivclNone;
        d.SetLanguage(1);
        Form f;
        f.translator->Loaded();
        d.SetLanguage(4);  // Hebrew
        QCOMPARE(f.label->x(), 400 - 100 - 10);
        f.window.resize(500, 300);
        f.translator->RemirrorAll();
        QCOMPARE(f.label->x(), 500 - 100 - 10);
        f.window.resize(450, 300);
        f.translator->RemirrorControl(f.label);
        QCOMPARE(f.label->x(), 450 - 100 - 10);
        // Not mirrored: nothing moves.
        d.SetLanguage(2);
        QCOMPARE(f.label->x(), 10);
        f.window.resize(600, 300);
        f.translator->RemirrorAll();
        QCOMPARE(f.label->x(), 10);
    }

    // The "locale" number of every object the walk reaches becomes the
    // language's own locale, with ivtoUpdateLocaleProperty and unless the
    // object is kept from mirroring.
    void localeProperty_data() {
        QTest::addColumn<bool>("option");
        QTest::addColumn<bool>("restricted");
        QTest::addColumn<int>("german");
        QTest::addColumn<int>("english");
        QTest::newRow("option") << true << false << 0x0407 << 0x0409;
        QTest::newRow("no option") << false << false << -7 << -7;
        QTest::newRow("kept from mirroring") << true << true << -7 << -7;
    }
    void localeProperty() {
        QFETCH(bool, option);
        QFETCH(bool, restricted);
        QFETCH(int, german);
        QFETCH(int, english);
        TIvBinaryDictionary d(nullptr, QStringLiteral("MenuDictionary"));
        d.SetFileName(m_file);
        d.SetLanguage(1);
        Form f;
        auto* holder = new LocaleHolder(&f.window);  // no widget: any object
        if (option) f.translator->Options |= ivtoUpdateLocaleProperty;
        if (restricted)
            f.translator->OnRestrictComponent = [holder](TIvTranslator*, QObject* c, TIvRestrictions& r) {
                if (c == holder) r |= ivrsNoMirror;
            };
        f.translator->Loaded();
        QCOMPARE(holder->Locale(), german);
        d.SetLanguage(2);
        QCOMPARE(holder->Locale(), english);
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
