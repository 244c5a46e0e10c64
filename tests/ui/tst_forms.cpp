// The dictionary set-up, the translated base forms, the main forms' caption
// and size, the version information and the waiting form.
#include "support/TestSupport.h"
#include "localisation/IvBinDic.h"
#include "localisation/IvMLDWri.h"
#include "localisation/IvMulti.h"
#include "ui/ApplicationForms.h"
#include "ui/Lek15Warten.h"
#include "ui/MultiLang.h"
#include "ui/QWDateiInfo2.h"
#include "ui/ZorbelFormTemplate.h"

#include <QAbstractButton>
#include <QDialog>
#include <QFile>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QTimeZone>
#include <QTimer>
#include <QtTest>

namespace {

TIvLanguage Language(int primary, const char* name) {
    TIvLanguage l;
    l.PrimaryId = primary;
    l.SubLanguage = 1;
    l.CodePage = 1252;
    l.EnglishName = l.NativeName = QString::fromUtf8(name);
    l.Complete();
    return l;
}

// Languages 0 native, 1 German, 2 English.
QString WriteDictionary(const TestDir& dir, const std::vector<TIvMLDEntry>& entries) {
    TIvLanguage native;
    native.Complete();
    native.CodePage = 1252;
    const std::vector<TIvLanguage> languages{native, Language(7, "German"), Language(9, "English")};
    QFile f(dir.file("menu.mld"));
    if (!f.open(QIODevice::WriteOnly)) return {};
    f.write(WriteMLD(languages, {}, entries, {}));
    return f.fileName();
}

TIvMLDEntry Entry(const char* native, const char* german, const char* english) {
    return {QString::fromUtf8(native), {}, {}, {QString::fromUtf8(german), QString::fromUtf8(english)}};
}

// Points the main dictionary at a test file, for one test.
struct MenuDictionary {
    DictionaryScope scope;
    TestDir dir;
    explicit MenuDictionary(const std::vector<TIvMLDEntry>& entries,
                            TIvMissingTranslation policy = ivmtUseNative) {
        IvBinaryDictionaryGlobal->SetFileName(WriteDictionary(dir, entries));
        IvBinaryDictionaryGlobal->MissingTranslation = policy;
    }
};

// A small translated form as a derived form builds it.
class SampleForm : public TTemplateFormMultiLang {
public:
    QLabel* Label1 = new QLabel(QStringLiteral("Last"), this);
    QPushButton* Weiter = new QPushButton(QStringLiteral("Weiter"), this);
    QGroupBox* GroupBox1 = new QGroupBox(QStringLiteral("Auflager"), this);
    SampleForm() {
        setObjectName(QStringLiteral("SampleForm"));
        setWindowTitle(QStringLiteral("Eingabe"));
        Label1->setObjectName(QStringLiteral("Label1"));
        Weiter->setObjectName(QStringLiteral("Weiter"));
        Weiter->setToolTip(QStringLiteral("Weiter zur Auswahl"));
        GroupBox1->setObjectName(QStringLiteral("GroupBox1"));
        Loaded();
    }
};

// Every user-visible text of a form, named by its widget and property.
QMap<QString, QString> VisibleTexts(QWidget* form) {
    QMap<QString, QString> out;
    auto put = [&out](QObject* o, const char* property, const QString& text) {
        if (!text.trimmed().isEmpty()) out.insert(o->objectName() + u'.' + QLatin1String(property), text);
    };
    put(form, "windowTitle", form->windowTitle());
    for (QWidget* w : form->findChildren<QWidget*>()) {
        put(w, "toolTip", w->toolTip());
        if (auto* l = qobject_cast<QLabel*>(w)) put(w, "text", l->text());
        if (auto* b = qobject_cast<QAbstractButton*>(w)) put(w, "text", b->text());
        if (auto* g = qobject_cast<QGroupBox*>(w)) put(w, "title", g->title());
    }
    return out;
}

// With a dictionary that tags every text it has no translation for, a text
// that comes out untagged never passed the translator.
QStringList Untranslated(QWidget* form, const QStringList& programBuilt = {}) {
    QStringList out;
    const auto texts = VisibleTexts(form);
    for (auto it = texts.begin(); it != texts.end(); ++it) {
        const bool tagged = it.value().startsWith(u'@') && it.value().endsWith(u'@');
        if (!tagged && !programBuilt.contains(it.key())) out << it.key() + QStringLiteral(" = ") + it.value();
    }
    return out;
}

class CountingWaitForm : public TFWarten {
public:
    int prints = 0;
    bool PrintForm() override {
        ++prints;
        return true;
    }
};

}  // namespace

class TestForms : public QObject {
    Q_OBJECT
private slots:
    void dictionariesSetUp();
    void dictionariesCountedAndFreed();
    void translatedFormFollowsLanguage();
    void formsLeaveNoTextUntranslated();
    void zorbelCaption_data();
    void zorbelCaption();
    void zorbelDefaultVersionAndMinimumSize();
    void zorbelMinimisesApplication();
    void restoringRestoresEveryMinimisedWindow_data();
    void restoringRestoresEveryMinimisedWindow();
    void restoringKeepsMaximisedWindowsMaximised();
    void nextListItem_data();
    void nextListItem();
    void versionBlock_data();
    void versionBlock();
    void versionDefaultsAndDates();
    void brokenVersionBlockLeavesValuesEmpty();
    void waitingFormPlacement_data();
    void waitingFormPlacement();
    void waitingFormLayoutAndKeys();
    void waitingFormShownAndFreed();
    void waitingFormTranslated();
    void waitingFormRefreshDispatchesNothingElse();
};

void TestForms::dictionariesSetUp() {
    DictionaryScope scope;
    QCOMPARE(Dictionaries().Count(), 2);
    QCOMPARE(Dictionaries().Items(0), IvBinaryDictionaryGlobal);
    TIvBinaryDictionary* menu = IvBinaryDictionaryGlobal;
    TIvBinaryDictionary* print = IvBinaryDictionaryPrint;
    QCOMPARE(menu->DictionaryName, QStringLiteral("MenuDictionary"));
    QCOMPARE(print->DictionaryName, QStringLiteral("PrintDictionary"));
    QCOMPARE(menu->objectName(), QStringLiteral("IvBinaryDictionaryGlobal"));
    QCOMPARE(print->objectName(), QStringLiteral("IvBinaryDictionaryPrint"));
    QCOMPARE(QFileInfo(menu->FileName()).fileName(), QStringLiteral("Korva32.mld"));
    QCOMPARE(QFileInfo(menu->FileName()).absolutePath(), QFileInfo(ProgramDirectory()).absoluteFilePath());
    QCOMPARE(print->FileName(), QStringLiteral("Korvaprn.mld"));
    QCOMPARE(menu->Language(), 2);
    QCOMPARE(print->Language(), 0);
    // The runtime's formats stay untouched by a language change.
    for (TIvBinaryDictionary* d : {menu, print}) {
        QVERIFY(!d->IsOpen());
        QVERIFY(!(d->Options & ivdoUpdateLocaleVariables));
    }
    // Unopened dictionaries hand every text back.
    QCOMPARE(TranslateMenuText(QStringLiteral("Weiter")), QStringLiteral("Weiter"));
    QCOMPARE(TranslatePrintText(QStringLiteral("Gewicht")), QStringLiteral("Gewicht"));
}

void TestForms::dictionariesCountedAndFreed() {
    {
        DictionaryScope outer;
        TIvBinaryDictionary* first = IvBinaryDictionaryGlobal;
        {
            DictionaryScope inner;
            QCOMPARE(IvBinaryDictionaryGlobal, first);
            QCOMPARE(Dictionaries().Count(), 2);
        }
        QCOMPARE(IvBinaryDictionaryGlobal, first);
    }
    QVERIFY(!IvBinaryDictionaryGlobal);
    QVERIFY(!IvBinaryDictionaryPrint);
    QCOMPARE(Dictionaries().Count(), 0);
    QCOMPARE(TranslateMenuText(QStringLiteral("Weiter")), QStringLiteral("Weiter"));
}

void TestForms::translatedFormFollowsLanguage() {
    MenuDictionary dict({Entry("Last", "Last", "Load"), Entry("Weiter", "Weiter", "Continue"),
                         Entry("Auflager", "Auflager", "Support"), Entry("Eingabe", "Eingabe", "Input"),
                         Entry("Weiter zur Auswahl", "Weiter zur Auswahl", "On to the selection")});
    SampleForm form;
    QVERIFY(IvBinaryDictionaryGlobal->IsOpen());
    QCOMPARE(form.Label1->text(), QStringLiteral("Load"));
    QCOMPARE(form.Weiter->text(), QStringLiteral("Continue"));
    QCOMPARE(form.Weiter->toolTip(), QStringLiteral("On to the selection"));
    QCOMPARE(form.GroupBox1->title(), QStringLiteral("Support"));
    QCOMPARE(form.windowTitle(), QStringLiteral("Input"));
    QCOMPARE(TranslateMenuText(QStringLiteral("Weiter")), QStringLiteral("Continue"));

    IvBinaryDictionaryGlobal->SetLanguage(1);
    QCOMPARE(form.Label1->text(), QStringLiteral("Last"));
    QCOMPARE(form.Weiter->text(), QStringLiteral("Weiter"));

    IvBinaryDictionaryGlobal->SetLanguage(2);
    QCOMPARE(form.GroupBox1->title(), QStringLiteral("Support"));
    IvBinaryDictionaryGlobal->SetLanguage(0);
    const QMap<QString, QString> native{{"SampleForm.windowTitle", "Eingabe"},
                                        {"Label1.text", "Last"},
                                        {"Weiter.text", "Weiter"},
                                        {"Weiter.toolTip", "Weiter zur Auswahl"},
                                        {"GroupBox1.title", "Auflager"}};
    QCOMPARE(VisibleTexts(&form), native);
}

void TestForms::formsLeaveNoTextUntranslated() {
    MenuDictionary dict({Entry("unused", "unbenutzt", "unused")}, ivmtTagNative);
    SampleForm sample;
    QCOMPARE(sample.Label1->text(), QStringLiteral("@Last@"));
    QCOMPARE(Untranslated(&sample), QStringList());
    // A text set around the translator is caught.
    sample.Weiter->setText(QStringLiteral("Zurück"));
    QCOMPARE(Untranslated(&sample), QStringList{QStringLiteral("Weiter.text = Zurück")});
    TFWarten waiting;
    QCOMPARE(Untranslated(&waiting), QStringList());
    // The main forms' caption is built by the program after translation.
    TZorbelForm zorbel;
    auto* label = new QLabel(QStringLiteral("Projekt"), &zorbel);
    label->setObjectName(QStringLiteral("Label1"));
    zorbel.IvTranslator1->TranslateForm(&zorbel);
    QCOMPARE(Untranslated(&zorbel, {QStringLiteral(".windowTitle")}), QStringList());
}

void TestForms::zorbelCaption_data() {
    QTest::addColumn<QString>("subTitle");
    QTest::addColumn<QString>("prefix");
    QTest::addColumn<QString>("caption");
    QTest::newRow("both") << "Options" << "/proj/a" << "KORVA (8.9.0) - Options - /proj/a";
    QTest::newRow("subtitle only") << "Options" << "" << "KORVA (8.9.0) - Options";
    QTest::newRow("prefix only") << "" << "/proj/a" << "KORVA (8.9.0) - /proj/a";
    QTest::newRow("neither") << "" << "" << "KORVA (8.9.0)";
}

void TestForms::zorbelCaption() {
    QFETCH(QString, subTitle);
    QFETCH(QString, prefix);
    QFETCH(QString, caption);
    QCOMPARE(BuildZorbelCaption(QStringLiteral("KORVA"), QStringLiteral("8.9.0"), subTitle, prefix), caption);
    CaptionPrefix = prefix;
    TZorbelForm form;
    form.SetCaptionSubTitle(subTitle);
    CaptionPrefix.clear();
    QCOMPARE(form.windowTitle(), caption);
    // A later prefix shows only in captions built after it.
    CaptionPrefix = QStringLiteral("/later");
    QCOMPARE(form.windowTitle(), caption);
    form.SetCaptionSubTitle(subTitle);
    QVERIFY(form.windowTitle().endsWith(QStringLiteral(" - /later")));
    CaptionPrefix.clear();
}

void TestForms::zorbelDefaultVersionAndMinimumSize() {
    TZorbelForm form;
    QCOMPARE(form.QWDateiInfo->DateiVersion(), QStringLiteral("8.9.0"));
    QCOMPARE(form.MinWidth(), 800);
    QCOMPARE(form.MinHeight(), 600);
    form.resize(300, 200);
    QCOMPARE(form.size(), QSize(800, 600));
    form.SetMinWidth(700);
    form.resize(300, 200);
    QCOMPARE(form.size(), QSize(700, 600));
}

void TestForms::zorbelMinimisesApplication() {
    TZorbelForm mainForm, other;
    SetApplicationMainForm(&mainForm);
    mainForm.show();
    other.show();
    QVERIFY(QTest::qWaitForWindowExposed(&other));
    other.showMinimized();
    QVERIFY(mainForm.isMinimized());
    QCOMPARE(other.RememberedMinimised(), &other);
    mainForm.showNormal();
    QVERIFY(!other.isMinimized());
    QCOMPARE(other.RememberedMinimised(), nullptr);
    SetApplicationMainForm(nullptr);
}

// A modal dialog and a box minimised with the application come back with
// it: they must never stay hidden behind the form they block.
void TestForms::restoringRestoresEveryMinimisedWindow_data() {
    QTest::addColumn<bool>("restoreMain");
    QTest::newRow("main form restored") << true;
    QTest::newRow("other form restored") << false;
}

void TestForms::restoringRestoresEveryMinimisedWindow() {
    QFETCH(bool, restoreMain);
    TZorbelForm mainForm, other;
    SetApplicationMainForm(&mainForm);
    mainForm.show();
    other.show();
    QDialog dialog(&mainForm);
    dialog.setWindowModality(Qt::ApplicationModal);
    dialog.show();
    QWidget box;
    box.setWindowFlag(Qt::Dialog);
    box.setWindowModality(Qt::ApplicationModal);
    box.show();
    QWidget hidden;  // never shown: stays hidden
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    mainForm.showMinimized();
    for (QWidget* w : std::initializer_list<QWidget*>{&other, &dialog, &box}) QVERIFY(w->isMinimized());
    (restoreMain ? mainForm : other).showNormal();
    for (QWidget* w : std::initializer_list<QWidget*>{&mainForm, &other, &dialog, &box}) {
        QVERIFY2(!w->isMinimized(), qPrintable(w->metaObject()->className()));
        QVERIFY(w->isVisible());
    }
    QVERIFY(!hidden.isVisible());
    QCOMPARE(mainForm.RememberedMinimised(), nullptr);
    QCOMPARE(other.RememberedMinimised(), nullptr);
    // A later minimise and restore works the same way again.
    other.showMinimized();
    QVERIFY(dialog.isMinimized());
    mainForm.showNormal();
    QVERIFY(!dialog.isMinimized());
    QVERIFY(!other.isMinimized());
    SetApplicationMainForm(nullptr);
}

// A window that was maximised when the application went down comes back
// maximised, and one of normal size at its size.
void TestForms::restoringKeepsMaximisedWindowsMaximised() {
    TZorbelForm mainForm, big;
    SetApplicationMainForm(&mainForm);
    mainForm.show();
    big.showMaximized();
    QDialog dialog(&mainForm);
    dialog.show();
    dialog.showMaximized();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    mainForm.showMinimized();
    QVERIFY(big.isMinimized());
    QVERIFY(dialog.isMinimized());
    mainForm.showNormal();
    for (QWidget* w : std::initializer_list<QWidget*>{&big, &dialog}) {
        QVERIFY2(!w->isMinimized(), qPrintable(w->metaObject()->className()));
        QVERIFY2(w->isMaximized(), qPrintable(w->metaObject()->className()));
    }
    QVERIFY(!mainForm.isMaximized());
    SetApplicationMainForm(nullptr);
}

namespace {
// Counts the events an object receives.
class EventCounter : public QObject {
public:
    QEvent::Type type;
    int count = 0;
    explicit EventCounter(QEvent::Type t) : type(t) {}
    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() == type) ++count;
        return false;
    }
    bool event(QEvent* e) override {
        if (e->type() == type) ++count;
        return QObject::event(e);
    }
};
}  // namespace

// The repaint between the selection's steps paints the waiting form only:
// another window's timer or posted event must not run inside the engine.
void TestForms::waitingFormRefreshDispatchesNothingElse() {
    // The selection has started: from here on nothing returns to the event
    // loop until it ends.
    const auto posted = QEvent::Type(QEvent::User + 7);
    EventCounter other(posted);
    QCoreApplication::postEvent(&other, new QEvent(posted));
    int timerRuns = 0;
    QTimer timer;
    timer.setInterval(0);
    QObject::connect(&timer, &QTimer::timeout, [&timerRuns] { ++timerRuns; });
    timer.start();
    TFWarten* form = ShowWaitingForm(nullptr);
    EventCounter paints(QEvent::Paint);
    form->StaticText2->installEventFilter(&paints);
    // A text changed between two steps shows at the next repaint.
    form->StaticText2->setText(QStringLiteral("Schritt 2"));
    for (int i = 0; i < 3; ++i) RefreshWaitingForm();
    // The form paints although the window system's answer to its showing
    // has not been dispatched.
    QVERIFY2(paints.count >= 3, qPrintable(QString::number(paints.count)));
    QCOMPARE(other.count, 0);
    QCOMPARE(timerRuns, 0);
    FreeWaitingForm();
    // Back in the event loop, both run.
    QTRY_COMPARE(other.count, 1);
    QTRY_VERIFY(timerRuns > 0);
}

void TestForms::nextListItem_data() {
    QTest::addColumn<QString>("list");
    QTest::addColumn<QString>("item");
    QTest::addColumn<QString>("rest");
    QTest::newRow("first of two") << "a,b" << "a" << "b";
    QTest::newRow("doubled separators skipped") << "a,,,b" << "a" << "b";
    QTest::newRow("leading separator") << ",a" << "" << "a";
    QTest::newRow("no separator") << "abc" << "abc" << "";
    QTest::newRow("trailing separator") << "a," << "a" << "";
}

void TestForms::nextListItem() {
    QFETCH(QString, list);
    QFETCH(QString, item);
    QFETCH(QString, rest);
    QString got;
    NextListItem(list, u',', got);
    QCOMPARE(got, item);
    QCOMPARE(list, rest);
}

void TestForms::versionBlock_data() {
    QTest::addColumn<QString>("searchText");
    QTest::addColumn<QStringList>("infos");
    const QString cs = QStringLiteral("CharSet=040704E4");
    QTest::newRow("default keys") << QString()
                                  << QStringList{cs, "CompanyName=Maker", "FileVersion=9.1.2", "ProductName=KORVA"};
    QTest::newRow("doubled commas") << "FileVersion,,ProductName"
                                    << QStringList{cs, "FileVersion=9.1.2", "ProductName=KORVA"};
    QTest::newRow("leading comma") << ",FileVersion" << QStringList{cs};
    QTest::newRow("one key") << "CompanyName" << QStringList{cs, "CompanyName=Maker"};
}

void TestForms::versionBlock() {
    QFETCH(QString, searchText);
    QFETCH(QStringList, infos);
    TestDir dir;
    const QString program = dir.file("prog");
    QFile(program).open(QIODevice::WriteOnly);
    QFile block(TQWDateiInfo::VersionBlockFile(program));
    QVERIFY(block.open(QIODevice::WriteOnly));
    block.write("Translation=407,4e4\nCompanyName=Maker\nFileVersion=9.1.2\nProductName=KORVA\nOther=x\n");
    block.close();
    TQWDateiInfo info;
    if (!searchText.isNull()) info.Datei_SuchText = searchText;
    info.SetDatei_Name(program);
    QCOMPARE(info.VersionsInfos(), infos);
    QCOMPARE(info.DateiVersion(), infos.contains("FileVersion=9.1.2") ? QStringLiteral("9.1.2") : QString());
    QCOMPARE(info.FirmenName(), infos.contains("CompanyName=Maker") ? QStringLiteral("Maker") : QString());
    QCOMPARE(info.DateiCopyright(), QString());
    // A file that does not exist is ignored.
    info.SetDatei_Name(dir.file("nothing"));
    QCOMPARE(info.Datei_Name(), program);
}

// The file dates are the file system's times as they stand (UTC), not
// converted to the machine's zone: in Tokyo (UTC+9) a file changed at 20:30
// UTC shows 20:30 on the same day, not 05:30 on the next.
void TestForms::versionDefaultsAndDates() {
    TestDir dir;
    const QString file = dir.file("plain");
    QFile f(file);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("x");
    f.close();
    const ScopedTimeZone tokyo("Asia/Tokyo");
    const QDateTime written(QDate(2024, 5, 6), QTime(20, 30, 15, 750), Qt::UTC);
    {
        QFile g(file);
        QVERIFY(g.open(QIODevice::ReadWrite));
        QVERIFY(g.setFileTime(written, QFileDevice::FileModificationTime));
    }
    TQWDateiInfo info;
    info.SetDatei_Name(file);
    QCOMPARE(info.DateiVersion(), QStringLiteral("8.9.0"));
    QCOMPARE(info.ProduktVersion(), QStringLiteral("8.9.0"));
    QCOMPARE(info.ProduktName(), QStringLiteral("KORVA"));
    QCOMPARE(info.FirmenName(), QStringLiteral("ZORBEL AG"));
    QCOMPARE(info.DateiBeschreibung(), QString());
    QCOMPARE(info.Datum_geaendert().toString(QStringLiteral("dd.MM.yyyy hh:mm:ss.zzz")),
             QStringLiteral("06.05.2024 20:30:15.000"));
    QVERIFY(info.Datum_erstellt().isValid());
    QCOMPARE(info.Datum_erstellt().time().msec(), 0);
    QCOMPARE(info.Datum_erstellt().timeSpec(), Qt::UTC);
}

void TestForms::brokenVersionBlockLeavesValuesEmpty() {
    TestDir dir;
    const QString program = dir.file("prog");
    QFile(program).open(QIODevice::WriteOnly);
    QFile block(TQWDateiInfo::VersionBlockFile(program));
    QVERIFY(block.open(QIODevice::WriteOnly));
    block.write("FileVersion=1.0\n");
    block.close();
    TQWDateiInfo info;
    info.SetDatei_Name(program);
    QCOMPARE(info.DateiVersion(), QString());
    QCOMPARE(info.ProduktName(), QString());
    QCOMPARE(info.FirmenName(), QString());
}

void TestForms::waitingFormPlacement_data() {
    QTest::addColumn<bool>("withOwner");
    QTest::addColumn<QRect>("owner");
    QTest::addColumn<QPoint>("expected");
    QTest::newRow("over owner") << true << QRect(100, 50, 800, 600) << QPoint(349, 316);
    QTest::newRow("odd owner drops the half") << true << QRect(0, 0, 801, 601) << QPoint(249, 266);
    QTest::newRow("screen") << false << QRect() << QPoint(361, 350);
}

void TestForms::waitingFormPlacement() {
    QFETCH(bool, withOwner);
    QFETCH(QRect, owner);
    QFETCH(QPoint, expected);
    QCOMPARE(WaitingFormPosition(withOwner ? &owner : nullptr, QSize(303, 69), QSize(1024, 768)), expected);
}

void TestForms::waitingFormLayoutAndKeys() {
    CountingWaitForm form;
    QCOMPARE(form.windowTitle(), QStringLiteral("KORVA"));
    QCOMPARE(form.size(), QSize(303, 69));
    QCOMPARE(form.StaticText2->objectName(), QStringLiteral("StaticText2"));
    QCOMPARE(form.StaticText2->text(), QStringLiteral(" Berechnung läuft "));
    QCOMPARE(form.StaticText2->geometry(), QRect(20, 20, 265, 24));
    QVERIFY(form.StaticText2->font().bold());
    QCOMPARE(form.cursor().shape(), Qt::WaitCursor);
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QTest::keyClick(&form, Qt::Key_Escape);
    QVERIFY(form.isVisible());
    QCOMPARE(form.prints, 0);
    QTest::keyClick(&form, Qt::Key_F10);
    QCOMPARE(form.prints, 1);
    QVERIFY(form.isVisible());
}

void TestForms::waitingFormShownAndFreed() {
    QWidget owner;
    owner.setGeometry(120, 90, 640, 480);
    owner.show();
    TFWarten* form = ShowWaitingForm(&owner);
    QCOMPARE(FWarten.data(), form);
    QVERIFY(form->isVisible());
    const QRect ownerRect = owner.frameGeometry();
    QCOMPARE(form->pos(), WaitingFormPosition(&ownerRect, QSize(303, 69), QSize(1, 1)));
    RefreshWaitingForm();
    FreeWaitingForm();
    QVERIFY(FWarten.isNull());
    RefreshWaitingForm();  // nothing to refresh
}

void TestForms::waitingFormTranslated() {
    MenuDictionary dict({Entry(" Berechnung läuft ", " Berechnung läuft ", " Calculating ")});
    TFWarten form;
    QCOMPARE(form.StaticText2->text(), QStringLiteral(" Calculating "));
    IvBinaryDictionaryGlobal->SetLanguage(1);
    QCOMPARE(form.StaticText2->text(), QStringLiteral(" Berechnung läuft "));
}

QTEST_MAIN(TestForms)
#include "tst_forms.moc"
