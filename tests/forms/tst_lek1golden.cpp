// The input form with the program's own services (selection, store, output
// writer, project check, per-user settings) on a copy of the demo
// catalogue: Ok on every demo host input gives the output file of the
// golden files that korva-select wrote for the same input, metric and
// imperial, and the support lands in the project tables. An input whose
// golden selection is refused (the base clamp that stands higher than its
// steel) shows the selection's warning in an information box and leaves
// the host error file, and nothing is stored or written.
#include "data/DBGLOB.h"
#include "data/DBKON.h"
#include "data/FIRAUFKON.h"
#include "data/KONBTL.h"
#include "engine/EngineState.h"
#include "engine/StepTools.h"
#include "forms/LEK1.h"
#include "forms/LEK1Services.h"
#include "forms/FirdatBinder.h"
#include "forms/LEKO.h"
#include "host/GlobalVars4KORVA_MDS.h"
#include "messages/MessageSeam.h"
#include "platform/Query.h"
#include "platform/Session.h"
#include "support/GoldenFiles.h"
#include "support/TestSupport.h"
#include "ui/MultiLang.h"

#include <QCheckBox>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLineEdit>
#include <QTimer>
#include <QPushButton>
#include <QRegularExpression>
#include <QSettings>
#include <QtTest>
#include <memory>

namespace {

const QString Inputs = QStringLiteral(KORVA_SOURCE_DIR "/resources/catalogue/inputs");
const QString Golden = QStringLiteral(KORVA_SOURCE_DIR "/tests/tools/golden");

QByteArray ReadAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

}  // namespace

class TestLek1Golden : public QObject {
    Q_OBJECT
    TestDir base;
    std::unique_ptr<DictionaryScope> dictionaries;

private slots:
    void initTestCase() {
        QVERIFY2(QFileInfo::exists(QStringLiteral(KORVA_BINARY_DIR "/demo/catalogue/Pgstat.DB")), "the demo catalogue is built");
        qputenv("TMPDIR", base.file(QStringLiteral("tmp")).toLocal8Bit());
        QDir().mkpath(base.file(QStringLiteral("tmp")));
        // The per-user settings live in the test's own directory.
        for (auto format : {QSettings::NativeFormat, QSettings::IniFormat})
            for (auto scope : {QSettings::UserScope, QSettings::SystemScope})
                QSettings::setPath(format, scope, base.file(QStringLiteral("registry")));
        dictionaries = std::make_unique<DictionaryScope>();
    }
    void cleanupTestCase() { dictionaries.reset(); }

    void goldenOutput_data() {
        QTest::addColumn<QString>("input");
        QTest::addColumn<bool>("imperial");
        for (const QString& f : QDir(Inputs).entryList({QStringLiteral("*.ini")}, QDir::Files, QDir::Name)) {
            const QString name = QFileInfo(f).completeBaseName();
            QTest::newRow(qPrintable(name + QStringLiteral(" metric"))) << name << false;
            if (QFileInfo::exists(Golden + QStringLiteral("/%1-imperial.json").arg(name)))
                QTest::newRow(qPrintable(name + QStringLiteral(" imperial"))) << name << true;
        }
    }
    void goldenOutput() {
        QFETCH(QString, input);
        QFETCH(bool, imperial);
        TestDir work;
        // Every input starts from the demo catalogue as the build made it
        // (a store moves the company's running number on).
        const QString catalogue = work.file(QStringLiteral("catalogue"));
        QDir().mkpath(catalogue);
        const QDir demo(QStringLiteral(KORVA_BINARY_DIR "/demo/catalogue"));
        for (const QString& f : demo.entryList(QDir::Files))
            QVERIFY(QFile::copy(demo.filePath(f), QDir(catalogue).filePath(f)));
        QFile aliases(work.file(QStringLiteral("aliases.ini")));
        QVERIFY(aliases.open(QIODevice::WriteOnly));
        aliases.write(QStringLiteral("[KORVA_9_0]\nPATH=%1\n").arg(catalogue).toUtf8());
        aliases.close();
        qputenv("KORVA_ALIAS_FILE", aliases.fileName().toLocal8Bit());
        Session().ReloadAliases();
        const QString here = work.file(QStringLiteral("host"));
        QDir().mkpath(here);
        QDir::setCurrent(here);
        ScriptedMessageSeam seam;
        ResetHostGlobals();
        CalcGlobals.Reset();
        ConstructionRecord.Reset();
        InputFileName = Inputs + QLatin1Char('/') + input + QStringLiteral(".ini");
        OutputFileName = QDir(here).filePath(QStringLiteral("out.zof"));
        CmdProjectDir = work.file(QStringLiteral("project"));
        UseProgramServices();
        auto konst = std::make_unique<TDBKONST>();
        auto global = std::make_unique<TDBGLOBAL>();
        auto form = std::make_unique<TFLEK1>();
        const auto close = [&] {
            form.reset();
            global.reset();
            konst.reset();
            Session().Close();
            LEK1Services() = {};
            QDir::setCurrent(QDir::tempPath());
        };
        form->show();
        QVERIFY(!form->Completed());
        if (imperial) {
            // The engineer switches the options to imperial units and the
            // imperial catalogue, saves and leaves the options form.
            bool saved = false;
            QTimer::singleShot(0, [&saved] {
                auto* options = qobject_cast<TFLEKO*>(QApplication::activeModalWidget());
                if (!options) return;
                for (const char* field : {"F_EINH_KZ", "F_KATA_KZ"})
                    if (QCheckBox* c = options->DataSource1->CheckOf(QString::fromLatin1(field)); c && !c->isChecked())
                        c->click();
                saved = options->SpeichernClick();
                options->close();
            });
            form->OPTIONEN->click();
            QVERIFY(saved);
            QVERIFY(ConstructionRecord.K_EINH_KZ);
            QVERIFY(ConstructionRecord.K_KATA_KZ);
        }
        if (const int wanted = StatedConfiguration(InputFileName); wanted != 0) {
            // The engineer steps to the configuration the input names.
            for (int i = 0; i < 10 && form->Configuration.A_NR != wanted; ++i) form->NavigatorButtons[2]->click();
            QCOMPARE(form->Configuration.A_NR, wanted);
        }
        const QJsonObject golden =
            QJsonDocument::fromJson(ReadAll(Golden + QStringLiteral("/%1-%2.json").arg(input, imperial ? "imperial" : "metric")))
                .object();
        if (golden[QStringLiteral("result")].toInt() > 4) {
            seam.Clear();
            form->Weiter->click();
            QVERIFY(!form->Completed());
            // The box of the selection names the warning before the form
            // refuses the support; the host learns the result code.
            QCOMPARE(int(seam.Requests().size()), 1);
            QCOMPARE(seam.Requests().front().kind, MessageKind::Information);
            // The text of the recorded number (this test has no dictionary)
            // with the value korva-select printed for the same input: the
            // chain's height, in inch on the imperial run.
            const QRegularExpressionMatch value =
                QRegularExpression(QStringLiteral("\\d+")).match(golden[QStringLiteral("message")].toString());
            QVERIFY(value.hasMatch());
            QCOMPARE(seam.Requests().front().text,
                     FormatMessage(MessageText(golden[QStringLiteral("message_number")].toInt()),
                                   {value.captured().toLongLong()}));
            QCOMPARE(ReadAll(QDir(here).filePath(QStringLiteral("KORVA_MDS_ERROR.Z3D"))),
                     QByteArray("CANCLED Error no. ") + QByteArray::number(golden[QStringLiteral("result")].toInt()) +
                         "\r\n");
            QVERIFY(!QFileInfo::exists(OutputFileName));
            TQuery q(CmdProjectDir, QStringLiteral("select count(*) from konstr8"));
            q.Open();
            QCOMPARE(q.Fields(0).AsInteger(), 0);
            close();
            return;
        }
        form->Weiter->click();
        QVERIFY2(form->Completed(), qPrintable(seam.Texts().join(u'|') + QLatin1Char('|') +
                                               QString::fromLatin1(ReadAll(QDir(here).filePath(QStringLiteral("KORVA_MDS_ERROR.Z3D"))))));
        CompareOutputFile(OutputFileName, here,
                          Golden + QStringLiteral("/%1-%2.zof").arg(input, imperial ? "imperial" : "metric"));
        if (QTest::currentTestFailed())
            return;
        // The support is in the project tables under its drawing key, with
        // the parts list the output file lists.
        QVERIFY(!QFileInfo::exists(QDir(here).filePath(QStringLiteral("KORVA_MDS_ERROR.Z3D"))));
        {
            TQuery q(CmdProjectDir, QStringLiteral("select K_F_NR_AUS from konstr8 where K_POS_NR = ?"));
            q.SetParams({MdsHangerMark});
            q.Open();
            QVERIFY(!q.IsEmpty());
            QCOMPARE(q.Fields(0).AsInteger(), form->LoadedDrawingKey);
            TQuery parts(CmdProjectDir, QStringLiteral("select count(*) from konbtl8 where KB_F_NR_AUS = ?"));
            parts.SetParams({form->LoadedDrawingKey});
            parts.Open();
            QCOMPARE(parts.Fields(0).AsInteger(), int(ReadAll(OutputFileName).count("--     410 ")));
            if (input == QLatin1String("riser_strut")) {
                // A rigid strut on a riser clamp (letter 3 V): the support's
                // clamp is the type-38 riser clamp of its chain, 13 kg in
                // the demo catalogue.
                TQuery clamp(CmdProjectDir, QStringLiteral("select K_RSL_NRN, K_RSL_GEW from konstr8 where K_POS_NR = ?"));
                clamp.SetParams({MdsHangerMark});
                clamp.Open();
                TQuery riser(CmdProjectDir, QStringLiteral("select KB_BTL_8 from konbtl8 where KB_F_NR_AUS = ? and "
                                                           "KB_BTL_8 between 38000000 and 38999999"));
                riser.SetParams({form->LoadedDrawingKey});
                riser.Open();
                QVERIFY(!riser.IsEmpty());
                QCOMPARE(clamp.Fields(0).AsInteger(), riser.Fields(0).AsInteger());
                QCOMPARE(clamp.Fields(1).AsFloat(), 13.0);
            }
        }
        close();
    }
};

QTEST_MAIN(TestLek1Golden)
#include "tst_lek1golden.moc"
