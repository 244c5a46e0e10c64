// Normal mode's runner with the program's own parts: the real input form,
// the real options form, the real message boxes and password dialog, the
// selection, the store and the writer, on a copy of the demo catalogue. The
// engineer opens the options, meets a wrong password, saves, applies a
// preset, types letters into a number field, leaves a currency without its
// conversion factor and closes; the input form is back after every box, and
// Ok then stores the support and writes the output file. A box that ended
// the program would end the runner before the steps are done.
#include "data/GlobalFuncs.h"
#include "data/DBGLOB.h"
#include "data/DBKON.h"
#include "data/FIRAUFKON.h"
#include "forms/FirdatBinder.h"
#include "forms/LEK1.h"
#include "forms/LEK1Services.h"
#include "forms/LEKO.h"
#include "forms/Password.h"
#include "host/GlobalVars4KORVA_MDS.h"
#include "messages/MessageSeam.h"
#include "platform/Query.h"
#include "platform/Registry.h"
#include "platform/Session.h"
#include "support/GoldenFiles.h"
#include "support/TestSupport.h"
#include "ui/MultiLang.h"
#include "ui/QtMessageSeam.h"
#include "ui/ValCtrls.h"
#include "ui/ZO_MsgDlgBoxs.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QSignalSpy>
#include <QTimer>
#include <QtTest>
#include <functional>
#include <memory>

namespace {

const QString Inputs = QStringLiteral(KORVA_SOURCE_DIR "/resources/catalogue/inputs");
const QString Golden = QStringLiteral(KORVA_SOURCE_DIR "/tests/tools/golden");

void ClickLater(QAbstractButton* b) { QMetaObject::invokeMethod(b, &QAbstractButton::click, Qt::QueuedConnection); }

TMessageForm* Box() { return qobject_cast<TMessageForm*>(QApplication::activeModalWidget()); }

QString BoxText(TMessageForm* box) {
    auto* label = box ? box->findChild<QLabel*>(QStringLiteral("Message")) : nullptr;
    return label ? label->text() : QString();
}

TFLEKO* Options() { return qobject_cast<TFLEKO*>(QApplication::activeModalWidget()); }

TFLEK1* InputForm() {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* f = qobject_cast<TFLEK1*>(w)) return f;
    return nullptr;
}

// One thing the engineer does once the screen shows what it waits for.
struct Step {
    QString name;
    std::function<bool()> ready;
    std::function<void()> act;
};

// Plays the steps from the event loop of the program under test, one per
// poll, so that every modal loop the program opens keeps running them.
class Engineer : public QObject {
public:
    explicit Engineer(std::vector<Step> steps) : m_steps(std::move(steps)) {
        connect(&m_poll, &QTimer::timeout, this, [this] { Poll(); });
        m_poll.start(20);
        m_clock.start();
    }
    int Done() const { return m_next; }
    QString Waiting() const { return m_next < int(m_steps.size()) ? m_steps[size_t(m_next)].name : QString(); }
    QStringList Log;
    bool TimedOut = false;

private:
    void Poll() {
        if (m_next >= int(m_steps.size())) return;
        if (m_clock.elapsed() > 60000) {
            // A hang is a failure with a name: everything is let go.
            Log << QStringLiteral("timed out waiting for: ") + Waiting();
            TimedOut = true;
            m_next = int(m_steps.size());
            QCoreApplication::exit(99);
            return;
        }
        const Step& s = m_steps[size_t(m_next)];
        if (!s.ready()) return;
        Log << s.name;
        ++m_next;
        s.act();
    }
    std::vector<Step> m_steps;
    int m_next = 0;
    QTimer m_poll;
    QElapsedTimer m_clock;
};

void PressBox(const char* button) {
    if (TMessageForm* b = Box())
        if (QPushButton* p = b->Button(QString::fromLatin1(button))) ClickLater(p);
}

}  // namespace

class TestLek1Options : public QObject {
    Q_OBJECT
    TestDir base;
    std::unique_ptr<DictionaryScope> dictionaries;

private slots:
    void initTestCase() {
        QVERIFY2(QFileInfo::exists(QStringLiteral(KORVA_BINARY_DIR "/demo/catalogue/Pgstat.DB")), "the demo catalogue is built");
        qputenv("TMPDIR", base.file(QStringLiteral("tmp")).toLocal8Bit());
        QDir().mkpath(base.file(QStringLiteral("tmp")));
        for (auto format : {QSettings::NativeFormat, QSettings::IniFormat})
            for (auto scope : {QSettings::UserScope, QSettings::SystemScope})
                QSettings::setPath(format, scope, base.file(QStringLiteral("registry")));
        dictionaries = std::make_unique<DictionaryScope>();
    }
    void cleanupTestCase() { dictionaries.reset(); }

    // A box belongs to the window it is shown for (its owner's, else the
    // active one): with that window hidden, closing the box is no closing
    // of the application's last window.
    void boxBelongsToItsWindow() {
        InstallQtMessageSeam();
        SetUnattended(false);
        QWidget window;
        auto* field = new QLineEdit(&window);
        window.show();
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        QWidget* parent = nullptr;
        const auto answer = [&parent] {
            QTimer::singleShot(0, [&parent] {
                if (TMessageForm* b = Box()) {
                    parent = b->parentWidget();
                    b->Button(QStringLiteral("OK"))->click();
                }
            });
        };
        answer();
        InformationOk(field, QStringLiteral("owned"));
        QCOMPARE(parent, &window);
        parent = nullptr;
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        answer();
        InformationOkActive(QStringLiteral("active"));
        QCOMPARE(parent, &window);
        // The owner hidden, as the input form is behind the options form.
        QSignalSpy lastClosed(qApp, &QGuiApplication::lastWindowClosed);
        window.hide();
        parent = nullptr;
        answer();
        InformationOk(&window, QStringLiteral("hidden owner"));
        QCOMPARE(parent, &window);
        QApplication::processEvents();
        QCOMPARE(lastClosed.count(), 0);
        SetMessageSeam(nullptr);
    }

    void boxesInsideTheOptionsFormKeepTheSupport() {
        const QString catalogue = base.file(QStringLiteral("catalogue"));
        QDir().mkpath(catalogue);
        const QDir demo(QStringLiteral(KORVA_BINARY_DIR "/demo/catalogue"));
        for (const QString& f : demo.entryList(QDir::Files))
            QVERIFY(QFile::copy(demo.filePath(f), QDir(catalogue).filePath(f)));
        QFile aliases(base.file(QStringLiteral("aliases.ini")));
        QVERIFY(aliases.open(QIODevice::WriteOnly));
        aliases.write(QStringLiteral("[KORVA_9_0]\nPATH=%1\n").arg(catalogue).toUtf8());
        aliases.close();
        qputenv("KORVA_ALIAS_FILE", aliases.fileName().toLocal8Bit());
        Session().ReloadAliases();
        const QString here = base.file(QStringLiteral("host"));
        QDir().mkpath(here);
        QDir::setCurrent(here);
        // A password guards saving.
        {
            TRegistry reg;
            QVERIFY(reg.OpenKey(ProductKey, true));
            reg.WriteString(QStringLiteral("OPWD"), ScrambleText(QStringLiteral("sesam")));
        }
        CalcGlobals.OptionsPassword.clear();

        ResetHostGlobals();
        CalcGlobals.Reset();
        ConstructionRecord.Reset();
        InputFileName = Inputs + QStringLiteral("/base_clamp_fit.ini");
        OutputFileName = QDir(here).filePath(QStringLiteral("out.zof"));
        CmdProjectDir = base.file(QStringLiteral("project"));
        UseProgramServices();
        InstallQtMessageSeam();
        SetUnattended(false);
        auto konst = std::make_unique<TDBKONST>();
        auto global = std::make_unique<TDBGLOBAL>();

        QString stored, refused, preset, conversion, factor;
        bool formHiddenDuringOptions = false;
        const auto inputShown = [] { return InputForm() && InputForm()->isVisible() && !QApplication::activeModalWidget(); };
        std::vector<Step> steps = {
            {QStringLiteral("input form shown"), inputShown, [] { ClickLater(InputForm()->OPTIONEN); }},
            {QStringLiteral("options form shown"), [] { return Options() != nullptr; },
             [&] {
                 formHiddenDuringOptions = !InputForm()->isVisible();
                 ClickLater(Options()->Speichern);
             }},
            {QStringLiteral("password asked"), [] { return qobject_cast<TFPassword2*>(QApplication::activeModalWidget()); },
             [] {
                 auto* p = qobject_cast<TFPassword2*>(QApplication::activeModalWidget());
                 p->Edit_Password2->setText(QStringLiteral("falsch"));
                 ClickLater(p->Button_OK);
             }},
            {QStringLiteral("wrong password refused"), [] { return Box() != nullptr; },
             [&] {
                 refused = BoxText(Box());
                 PressBox("OK");
             }},
            {QStringLiteral("options form back, save again"), [] { return Options() != nullptr; },
             [] { ClickLater(Options()->Speichern); }},
            {QStringLiteral("password asked again"),
             [] { return qobject_cast<TFPassword2*>(QApplication::activeModalWidget()); },
             [] {
                 auto* p = qobject_cast<TFPassword2*>(QApplication::activeModalWidget());
                 p->Edit_Password2->setText(QStringLiteral("sesam"));
                 ClickLater(p->Button_OK);
             }},
            {QStringLiteral("settings stored"), [] { return Box() != nullptr; },
             [&] {
                 stored = BoxText(Box());
                 PressBox("OK");
             }},
            {QStringLiteral("options form back, a preset"), [] { return Options() != nullptr; },
             [] { ClickLater(Options()->VGB); }},
            {QStringLiteral("preset's note"), [] { return Box() != nullptr; },
             [&] {
                 preset = BoxText(Box());
                 PressBox("OK");
             }},
            {QStringLiteral("options form back"), [] { return Options() != nullptr; },
             [] { Options()->activateWindow(); }},
            {QStringLiteral("letters in a number field"),
             [] { return Options() && QApplication::activeWindow() == Options(); },
             [] {
                 TFLEKO* o = Options();
                 o->PageControl1->setCurrentIndex(1);
                 QLineEdit* e = o->DataSource1->EditOf(QStringLiteral("F_FDIFF"));
                 e->setFocus(Qt::TabFocusReason);
                 e->setText(QStringLiteral("ab"));  // the field holds two characters
                 // Leaving the field shows a box: from the event loop, not
                 // from inside this step.
                 QLineEdit* next = o->DataSource1->EditOf(QStringLiteral("F_BEWEGBER"));
                 QTimer::singleShot(0, next, [next] { next->setFocus(Qt::TabFocusReason); });
             }},
            {QStringLiteral("conversion error"), [] { return Box() != nullptr; },
             [&] {
                 conversion = BoxText(Box());
                 PressBox("OK");
             }},
            {QStringLiteral("options form back, a currency without factor"), [] { return Options() != nullptr; },
             [] {
                 TFLEKO* o = Options();
                 o->DataSource1->EditOf(QStringLiteral("F_FDIFF"))->setText(QStringLiteral("25"));
                 o->PageControl1->setCurrentIndex(4);
                 QCheckBox* prices = o->DataSource1->CheckOf(QStringLiteral("F_PREISE"));
                 if (!prices->isChecked()) prices->click();
                 o->ComboBox1->setCurrentIndex(o->ComboBox1->findText(QStringLiteral("EUR")));
                 QTest::keyClick(o->ComboBox1, Qt::Key_Down);
                 QMetaObject::invokeMethod(o, &QWidget::close, Qt::QueuedConnection);
             }},
            {QStringLiteral("conversion factor refused"), [] { return Box() != nullptr; },
             [&] {
                 factor = BoxText(Box());
                 PressBox("OK");
             }},
            {QStringLiteral("options form back, factor given"), [] { return Options() != nullptr; },
             [] {
                 TFLEKO* o = Options();
                 o->KURS->setText(QStringLiteral("1.5"));
                 QMetaObject::invokeMethod(o, &QWidget::close, Qt::QueuedConnection);
             }},
            {QStringLiteral("unsaved edits asked"), [] { return Box() != nullptr; }, [] { PressBox("No"); }},
            {QStringLiteral("input form back, Ok"), inputShown, [] { ClickLater(InputForm()->Weiter); }},
        };
        Engineer engineer(std::move(steps));
        const int code = RunInputForm();
        const QString log = engineer.Log.join(QStringLiteral(" | "));
        QVERIFY2(!engineer.TimedOut, qPrintable(log));
        QCOMPARE(code, 0);
        QVERIFY2(engineer.Waiting().isEmpty(), qPrintable(QStringLiteral("the program ended while waiting for: ") +
                                                          engineer.Waiting() + QStringLiteral("; done: ") + log));
        QVERIFY(formHiddenDuringOptions);
        QCOMPARE(refused, QStringLiteral("Password not correct !"));
        QCOMPARE(stored, QStringLiteral("Settings successfully stored"));
        QVERIFY2(preset.startsWith(QStringLiteral("Please pay attention to following modifications:")), qPrintable(preset));
        QCOMPARE(conversion, QStringLiteral("'ab' is not a valid integer value"));
        QCOMPARE(factor, QStringLiteral("Conversion factor: Invalid value !"));

        // The support is stored and the output file written, as without the
        // detour through the options.
        QVERIFY2(!QFileInfo::exists(QDir(here).filePath(QStringLiteral("KORVA_MDS_ERROR.Z3D"))), qPrintable(log));
        CompareOutputFile(OutputFileName, here, Golden + QStringLiteral("/base_clamp_fit-metric.zof"));
        {
            TQuery q(CmdProjectDir, QStringLiteral("select count(*) from konstr8 where K_POS_NR = ?"));
            q.SetParams({MdsHangerMark});
            q.Open();
            QCOMPARE(q.Fields(0).AsInteger(), 1);
        }
        global.reset();
        konst.reset();
        Session().Close();
        LEK1Services() = {};
        SetMessageSeam(nullptr);
        QDir::setCurrent(QDir::tempPath());
    }
};

QTEST_MAIN(TestLek1Options)
#include "tst_lek1options.moc"
