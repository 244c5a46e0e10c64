// korva-select: one whole selection of a host input file on a catalogue,
// without the input form, storing nothing.
//
//   korva-select --catalogue DIR --input FILE [--answers A,B,...] [--json] [--imperial] [--output FILE]
//                [--print-language de|en]
//
// The host input file becomes the support record through the same transfer
// the input form's start-up runs; the selection runs with a scripted
// interface: the questions take the answers in turn (yes/no, y/n, 1/0), and
// every question beyond them its default button; the blocking dialog is
// left without saving. Prices come from price list 1. --imperial shows the values in imperial units and
// selects from the imperial catalogue. The labels of the output file go
// through the print dictionary in the language the program takes from the
// catalogue's settings table (F_DRCK_KZ); --print-language chooses another.
//
// The input file is read and checked as the program reads it: the host
// input reader's refusals and the form's input checks of the loads, the
// pipe diameter and the steel width refuse it here as well.
//
// Output: the result code, the message number and text, the chain and the
// parts list, as text or as one JSON object. The number is the one recorded
// with the support: a warning on a support that may be stored (a note)
// stands negated there, and the text names it "warning:" with its number.
// Exit codes: 0 the selection ran (its result is in the output), 2 a
// missing or damaged catalogue, an input file the program refuses or a bad
// argument, 3 the selection reached a step this build does not have
// (result 9 in the output).
#include "data/ABHGNR.h"
#include "data/DBCREATE.h"
#include "data/DECODIEREN.h"
#include "data/BridgeRecords.h"
#include "data/DBGLOB.h"
#include "data/DBKON.h"
#include "data/FIRAUFKON.h"
#include "data/FileUtils.h"
#include "data/GlobalFuncs.h"
#include "data/KONBTL.h"
#include "engine/FindHalterung.h"
#include "engine/SelectionUi.h"
#include "forms/rules/HostTransfer.h"
#include "forms/rules/LEK1Rules.h"
#include "forms/rules/SupportStore.h"
#include "host/GlobalVars4KORVA_MDS.h"
#include "host/PMLFUELL.h"
#include "host/Read_MDS_ZIF.h"
#include "platform/Database.h"
#include "localisation/IvBinDic.h"
#include "localisation/IvDictio.h"
#include "messages/MessageSeam.h"
#include "platform/Database.h"
#include "platform/HostFiles.h"
#include "platform/RunDirectory.h"
#include "platform/Session.h"
#include "platform/TableFile.h"
#include "platform/DbErrors.h"
#include "ui/MultiLang.h"

#ifdef KORVA_TEST_HOOKS
#include "platform/FaultInjection.h"
#endif

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QScopeGuard>
#include <QSettings>
#include <cmath>
#include <cstdlib>
#include <cstdio>
#include <deque>
#include <optional>
#include <stdexcept>

namespace {

constexpr int ExitBadInput = 2;
constexpr int ExitStepMissing = 3;
// The result reported when the selection stops at a step that is not part
// of this build.
constexpr int ResultStepMissing = 9;

class BadInput : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Boxes of the data model and the host go to standard error, answered with
// their default button, so that standard output holds only the result.
class StderrSeam : public MessageSeam {
public:
    int Show(const MessageRequest& r) override {
        std::fprintf(stderr, "box: %s\n", qPrintable(r.text));
        return DefaultResult(r.buttons);
    }
};

class ScriptedUi : public SelectionUi {
public:
    std::deque<bool> answers;
    QStringList notes;

    // Every question and note goes to standard error with its answer, so
    // that a run can be retraced without touching standard output.
    bool WarningYesNo(const QString& text) override {
        bool a = DefaultResult(mb::Yes | mb::No) == mr::Yes;
        if (!answers.empty()) {
            a = answers.front();
            answers.pop_front();
        }
        Note(QStringLiteral("question: ") + text + (a ? QStringLiteral(" -> yes") : QStringLiteral(" -> no")));
        return a;
    }
    void Information(const QString& text) override { Note(QStringLiteral("information: ") + text); }
    void Error(const QString& text) override { Note(QStringLiteral("error: ") + text); }
    void Warning(const QString& text) override { Note(QStringLiteral("warning: ") + text); }
    void Note(const QString& text) {
        notes << text;
        std::fprintf(stderr, "%s\n", qPrintable(QString(text).replace(u'\r', u' ')));
    }
    void ShowWaitForm() override {}
    void RefreshWaitForm() override {}
    void FreeWaitForm() override {}
    void CreateBlockingDialog() override {}
    bool ShowBlockingDialog() override { return false; }
    void FreeBlockingDialog() override {}
    void SetStatusText(const QString&) override {}
    void RestoreCursor() override {}
};

std::deque<bool> ParseAnswers(const QString& text) {
    std::deque<bool> out;
    if (text.isEmpty())
        return out;
    for (const QString& a : text.split(u',')) {
        const QString v = a.trimmed().toLower();
        if (v == QLatin1String("yes") || v == QLatin1String("y") || v == QLatin1String("1"))
            out.push_back(true);
        else if (v == QLatin1String("no") || v == QLatin1String("n") || v == QLatin1String("0"))
            out.push_back(false);
        else
            throw BadInput(QStringLiteral("--answers: \"%1\" is neither yes nor no").arg(a).toStdString());
    }
    return out;
}

const char* const CatalogueFiles[] = {"Pgstat.DB", "Pgdyna.DB", "pgrsrsl.DB", "PGCLDSTA.DB", "Txttab.DB",
                                      "PGCURE.DB", "ABHGNR.DB", "Durdat.DB",  "Temdat.DB",   "FIRDAT.DB"};

bool IsSqliteFile(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return false;
    return f.read(16) == QByteArray("SQLite format 3\0", 16);
}

// The catalogue is copied so that nothing the start-up writes (the settings
// table's upgrade) reaches the caller's files.
QString PrepareCatalogue(const QString& dir, const QString& work) {
    const QDir src(dir);
    if (dir.isEmpty() || !src.exists())
        throw BadInput(QStringLiteral("catalogue %1: no such directory").arg(dir).toStdString());
    for (const char* name : CatalogueFiles) {
        const QString path = src.filePath(QLatin1String(name));
        if (!QFileInfo::exists(path))
            throw BadInput(QStringLiteral("catalogue %1: %2 is missing").arg(dir, QLatin1String(name)).toStdString());
        if (!IsSqliteFile(path))
            throw BadInput(QStringLiteral("catalogue %1: %2 is damaged (not a table file)")
                               .arg(dir, QLatin1String(name))
                               .toStdString());
    }
    const QString copy = QDir(work).filePath(QStringLiteral("catalogue"));
    QDir().mkpath(copy);
    // Under the tables' shared locks: a writer's commit is never half copied.
    try {
        CopyFilesUnderReadLock(dir, src.entryList(QDir::Files), copy);
    } catch (const EDatabaseError& e) {
        throw BadInput(QStringLiteral("catalogue %1: %2").arg(dir, e.Message()).toStdString());
    }
    const QString aliases = QDir(work).filePath(QStringLiteral("aliases.ini"));
    {
        QSettings ini(aliases, QSettings::IniFormat);
        ini.setValue(QStringLiteral("KORVA_9_0/PATH"), copy);
    }
    qputenv("KORVA_ALIAS_FILE", aliases.toLocal8Bit());
    Session().ReloadAliases();
    return copy;
}

// The program's own check of the input file name: a file must be there.
// What it holds is the host input reader's to judge, as in the program.
void CheckInputFile(const QString& path) {
    const QFileInfo info(path);
    if (path.isEmpty() || !info.exists() || info.isDir())
        throw BadInput(QStringLiteral("input file %1: no such file").arg(path).toStdString());
}

// The reader's refusals: a value the host cannot mean, or a file that is
// not a plain file or too large.
void ReadHostInput(const QString& input) {
    try {
        ReadMdsInputFile();
    } catch (const EGeneralError& e) {
        throw BadInput(e.what());
    }
    if (MdsConfig.trimmed().isEmpty())
        throw BadInput(QStringLiteral("input file %1: no configuration that the catalogue knows").arg(input).toStdString());
}

// The input checks of the form's Ok road that need no choice of the
// engineer: the loads, the pipe diameter and the steel width.
void CheckAsTheFormDoes(const StressState& stress, const ConfigurationRow& configuration) {
    const TConstructionRecord& k = ConstructionRecord;
    std::optional<InputCheckFailure> f = CheckLoadsAndDiameter(stress.notDynamic, stress.cold, k.K_RSRL_OHNE, k.K_LAST,
                                                               k.K_LAST_DYN_2, k.K_LAST_DYN_3, k.K_RDM);
    if (!f) f = CheckSteelWidth(configuration.BX, k.K_BREITE);
    if (!f) return;
    const QString text = f->messageNumber ? ErrorTextByNumber(f->messageNumber) : f->message;
    throw BadInput(QStringLiteral("input refused as the form refuses it: %1").arg(text).toStdString());
}

struct Outcome {
    int result = SelectionNoResult;
    int messageNumber = 0;
    QString message;
    StressState stress;  // of the configuration the selection ran for
};

// Normal mode on a project directory that does not exist yet: the
// project's tables are made from the company options, and the record starts
// as that project leaves it.
void OpenNewProject(const QString& dir) {
    ProjectDatabaseName = dir;
    if (!QDir().mkpath(dir) || !CreateProjectTables(dir))
        throw std::runtime_error(QStringLiteral("the project tables cannot be created in %1").arg(dir).toStdString());
    CopyOptionsToProject(true);
    CopyProjectToOptions();
}

Outcome RunSelection(const QString& input, bool imperial, int configuration, const QString& projectDir,
                     ScriptedUi& ui) {
    ResetHostGlobals();
    CalcGlobals.Reset();
    ConstructionRecord.Reset();
    InputFileName = input;
    ReadHostInput(input);
    OpenNewProject(projectDir);
    for (TTable* t : {&DBKONST->PGSTAT, &DBKONST->PGDYNA, &DBKONST->PGRSRL, &DBKONST->PGCOOL, &DBKONST->TXTTAB,
                      &DBKONST->PGCURE, &DBKONST->ABHGDB, &DBKONST->DURDATDB, &DBKONST->TempDB})
        if (!t->Active())
            t->Open();
    ReadProjectInfo();
    ClearPartsList();
    ReadCompanyOptions();
    // The new project has no currency yet; the price list would follow the
    // machine's language. The tool prices from list 1 so that its output is
    // the same on every machine.
    CalcGlobals.PriceIndex = 1;
    if (imperial)
        ConstructionRecord.K_KATA_KZ = true;
    UnitMode mode = RecordUnitMode();
    mode.imperial = imperial;
    const TransferResult transfer = TransferHostToRecord(mode, CatalogueDiameterLookup(), configuration);
    if (!transfer.configurationFound && configuration != 0)
        throw BadInput(QStringLiteral("input file %1: configuration %2 is not offered for host configuration %3")
                           .arg(input)
                           .arg(configuration)
                           .arg(MdsConfig)
                           .toStdString());
    if (!transfer.configurationFound)
        throw BadInput(
            QStringLiteral("input file %1: configuration %2 is not in the catalogue").arg(input, MdsConfig).toStdString());
    if (transfer.elevationError != 0)
        throw BadInput(QStringLiteral("input file %1: elevation input refused (message %2)")
                           .arg(input)
                           .arg(transfer.elevationError)
                           .toStdString());
    Outcome o;
    o.stress = StressStateOf(transfer.condition);
    CheckAsTheFormDoes(o.stress, transfer.configuration);
    o.result = SelectSupport(ui, 0, 0, false, true);
    o.messageNumber = ConstructionRecord.K_FMT_NR;
    o.message = LastMessage;
    return o;
}

// The print dictionary's language numbers of the languages the tool offers.
struct PrintLanguageName {
    const char* name;
    int language;
};
constexpr PrintLanguageName PrintLanguages[] = {{"de", 1}, {"en", 2}};

// 0 for a name the tool does not know.
int PrintLanguageOf(const QString& name) {
    for (const PrintLanguageName& l : PrintLanguages)
        if (name.compare(QLatin1String(l.name), Qt::CaseInsensitive) == 0)
            return l.language;
    return 0;
}

// Opens the print dictionary from the program's directory, as the input
// form's start-up does, in the given language; a stored language the
// dictionary does not offer falls back to English as there. Without the dictionary file
// the labels stay as the writer has them, as in the program, unless the
// caller chose a language: then the file is refused rather than written in
// another language than asked.
void OpenPrintDictionary(int language, bool chosen) {
    TIvBinaryDictionary* d = IvBinaryDictionaryPrint;
    if (!d)
        return;
    d->SetFileName(QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("Korvaprn.mld")));
    try {
        if (!d->IsOpen() && d->CanOpen())
            d->Open();
    } catch (const std::exception&) {
    }
    if (!d->IsOpen()) {
        if (chosen)
            throw BadInput(QStringLiteral("print dictionary %1: cannot be opened").arg(d->FileName()).toStdString());
        return;
    }
    try {
        if (chosen)
            d->SetLanguage(language);
        else
            SetStoredLanguage(d, language, QStringLiteral("the settings' print language"));
    } catch (const std::exception&) {
        d->SetLanguage(kFallbackLanguage);
    }
}

QString ProductText(double n) { return QString::number(qint64(n)).rightJustified(8, u'0'); }

// The size code of a main unit: digits 4-5 of its product number, but a
// strut carries its size (the load group it was chosen in) in digits 3-4.
// The fixed numbers of supports without a main-unit row have none.
int MainUnitSize(double number) {
    if (!(number > 0) || number == 55555555 || number == 55556666)
        return 0;
    const QString text = ProductText(number);
    return (text.startsWith(QLatin1String("39")) ? text.mid(2, 2) : text.mid(3, 2)).toInt();
}

QString Designation(int r) {
    QString d = PartsList.KB_BTL_ZUS[r].trimmed();
    const QString dim = PartsList.KB_ZUS[r].trimmed();
    if (!dim.isEmpty())
        d += QLatin1Char(' ') + dim;
    return d;
}

double Rounded(double v, int decimals) {
    const double s = std::pow(10.0, decimals);
    return std::nearbyint(v * s) / s;
}

QJsonObject ToJson(const Outcome& o) {
    QJsonObject j;
    j[QStringLiteral("result")] = o.result;
    j[QStringLiteral("message_number")] = o.messageNumber;
    j[QStringLiteral("message")] = o.message;
    QJsonArray chain;
    for (int i = 0; i < 30 && ConstructionRecord.K_BTL_8[i] != 0; ++i)
        chain.append(QJsonObject{{QStringLiteral("position"), i + 1},
                                 {QStringLiteral("product"), ProductText(ConstructionRecord.K_BTL_8[i])}});
    j[QStringLiteral("chain")] = chain;
    QJsonArray parts;
    for (int r = 0; r < PartsList.RowCount && r < PartsListRows; ++r)
        parts.append(QJsonObject{{QStringLiteral("position"), PartsList.KB_POS[r]},
                                 {QStringLiteral("quantity"), PartsList.KB_ANZ[r]},
                                 {QStringLiteral("article"), PartsList.KB_BTL[r].trimmed()},
                                 {QStringLiteral("designation"), Designation(r)},
                                 {QStringLiteral("weight"), Rounded(PartsList.KB_GEW[r], 3)},
                                 {QStringLiteral("price"), Rounded(PartsList.KB_PRS[r], 2)}});
    j[QStringLiteral("parts")] = parts;
    // The support's load and the main unit's working travel and size.
    j[QStringLiteral("load")] = Rounded(ConstructionRecord.K_LAST, 3);
    j[QStringLiteral("travel")] = Rounded(ConstructionRecord.K_ARBWEG, 1);
    j[QStringLiteral("size")] = MainUnitSize(CalcGlobals.MainUnitNumber);
    return j;
}

QString ToText(const QJsonObject& j) {
    QString out;
    out += QStringLiteral("result: %1\n").arg(j[QStringLiteral("result")].toInt());
    const int number = j[QStringLiteral("message_number")].toInt();
    out += QStringLiteral("%1: %2 %3\n")
               .arg(number < 0 ? QStringLiteral("warning") : QStringLiteral("message"))
               .arg(std::abs(number))
               .arg(j[QStringLiteral("message")].toString().replace(u'\r', u' '));
    out += QStringLiteral("main unit: load %1 kN, travel %2 mm, size %3\n")
               .arg(j[QStringLiteral("load")].toDouble())
               .arg(j[QStringLiteral("travel")].toDouble())
               .arg(j[QStringLiteral("size")].toInt());
    out += QStringLiteral("chain:");
    for (const QJsonValue v : j[QStringLiteral("chain")].toArray())
        out += QStringLiteral(" %1:%2").arg(v[QStringLiteral("position")].toInt()).arg(v[QStringLiteral("product")].toString());
    out += QStringLiteral("\nparts:\n");
    for (const QJsonValue v : j[QStringLiteral("parts")].toArray())
        out += QStringLiteral("%1 %2 %3 %4 %5 kg %6\n")
                   .arg(v[QStringLiteral("position")].toInt(), 2)
                   .arg(v[QStringLiteral("quantity")].toInt(), 3)
                   .arg(v[QStringLiteral("article")].toString(), -6)
                   .arg(v[QStringLiteral("designation")].toString(), -24)
                   .arg(v[QStringLiteral("weight")].toDouble(), 9, 'f', 3)
                   .arg(v[QStringLiteral("price")].toDouble(), 10, 'f', 2);
    return out;
}

}  // namespace

int main(int argc, char** argv) {
#ifdef KORVA_TEST_HOOKS
    ArmTestHooksFromEnvironment();
#endif
    // A run ended by a signal takes its work directory (a copy of the
    // catalogue, a project) and a named temporary output file with it; one
    // killed outright leaves them to the next run, which removes them.
    InstallRunDirectorySignalHandlers();
    RemoveAbandonedRunDirectories();
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QCommandLineParser p;
    p.setApplicationDescription(QStringLiteral("One whole selection of a host input file; stores nothing."));
    p.addHelpOption();
    const QCommandLineOption catalogueOpt(QStringLiteral("catalogue"), QStringLiteral("Catalogue directory."),
                                          QStringLiteral("DIR"));
    const QCommandLineOption inputOpt(QStringLiteral("input"), QStringLiteral("Host input file."), QStringLiteral("FILE"));
    const QCommandLineOption answersOpt(QStringLiteral("answers"), QStringLiteral("Answers to the questions, in turn."),
                                        QStringLiteral("A,B,..."));
    const QCommandLineOption jsonOpt(QStringLiteral("json"), QStringLiteral("One JSON object."));
    const QCommandLineOption imperialOpt(QStringLiteral("imperial"),
                                         QStringLiteral("Imperial units and the imperial catalogue."));
    const QCommandLineOption outputOpt(QStringLiteral("output"),
                                       QStringLiteral("Writes the host output file of a selected support."),
                                       QStringLiteral("FILE"));
    const QCommandLineOption configurationOpt(
        QStringLiteral("configuration"),
        QStringLiteral("The configuration number chosen among those the host's number offers (default: the first)."),
        QStringLiteral("N"));
    const QCommandLineOption printLanguageOpt(
        QStringLiteral("print-language"),
        QStringLiteral("Language of the output file's labels: de or en (default: the settings table's)."),
        QStringLiteral("LANG"));
    p.addOptions({catalogueOpt, inputOpt, answersOpt, jsonOpt, imperialOpt, outputOpt, configurationOpt, printLanguageOpt});
    if (!p.parse(app.arguments())) {
        std::fprintf(stderr, "korva-select: %s\n", qPrintable(p.errorText()));
        return ExitBadInput;
    }
    if (p.isSet(QStringLiteral("help")))
        p.showHelp(0);
    if (!p.isSet(catalogueOpt) || !p.isSet(inputOpt)) {
        std::fprintf(stderr, "korva-select: --catalogue DIR and --input FILE are required\n");
        return ExitBadInput;
    }

    bool configurationOk = true;
    const int configuration = p.isSet(configurationOpt) ? p.value(configurationOpt).toInt(&configurationOk) : 0;
    if (!configurationOk || configuration < 0) {
        std::fprintf(stderr, "korva-select: --configuration: \"%s\" is not a configuration number\n",
                     qPrintable(p.value(configurationOpt)));
        return ExitBadInput;
    }
    const int printLanguage = p.isSet(printLanguageOpt) ? PrintLanguageOf(p.value(printLanguageOpt)) : 0;
    if (p.isSet(printLanguageOpt) && printLanguage == 0) {
        std::fprintf(stderr, "korva-select: --print-language: \"%s\" is neither de nor en\n",
                     qPrintable(p.value(printLanguageOpt)));
        return ExitBadInput;
    }
    const QString outputFile = p.isSet(outputOpt) ? QFileInfo(p.value(outputOpt)).absoluteFilePath() : QString();
    // Refused before the selection runs, as the program refuses it at its
    // start.
    if (const QString problem = OutputFileNameProblem(outputFile); !problem.isEmpty()) {
        std::fprintf(stderr, "korva-select: %s\n", qPrintable(problem));
        return ExitBadInput;
    }
    StderrSeam seam;
    SetMessageSeam(&seam);
    // What writers of an output file killed before they put it in place
    // left beside it.
    if (!outputFile.isEmpty()) RemoveAbandonedHostTemporaries(QFileInfo(outputFile).absolutePath());
    const QString work = MakeWorkDirectory(QStringLiteral("korva-select-"));
    const auto removeWork = qScopeGuard([] { RemoveWorkDirectory(); });
    if (work.isEmpty()) {
        std::fprintf(stderr, "korva-select: no work directory can be made in %s\n", qPrintable(QDir::tempPath()));
        SetMessageSeam(nullptr);
        return ExitBadInput;
    }
    int code = 0;
    QJsonObject json;
    try {
        ScriptedUi ui;
        ui.answers = ParseAnswers(p.value(answersOpt));
        const QString input = QFileInfo(p.value(inputOpt)).absoluteFilePath();
        CheckInputFile(input);
        PrepareCatalogue(p.value(catalogueOpt), work);
        // The host globals and the session's private directory stay in the
        // work directory.
        qputenv("TMPDIR", QFile::encodeName(work));
        QDir::setCurrent(work);
        const DictionaryScope dictionaries;
        // The program's first translated form opens the main dictionary;
        // the tool has none, so it opens it itself (English).
        if (TIvBinaryDictionary* d = IvBinaryDictionaryGlobal) {
            if (!d->IsOpen() && d->CanOpen())
                d->Open();
            if (d->IsOpen())
                d->SetLanguage(2);
        }
        TDBKONST konst;
        TDBGLOBAL global;
        // The program's read scope: one read transaction for the whole run (a
        // write transaction would lock and sync every table file at its end).
        SetCatalogueReadScope([]() -> std::shared_ptr<void> {
            return std::make_shared<TReadScope>(DBKONST->BASIS_DB);
        });
        Outcome o;
        try {
            o = RunSelection(input, p.isSet(imperialOpt), configuration, QDir(work).filePath(QStringLiteral("project")), ui);
        } catch (const std::logic_error& e) {
            // The driver names a step that is not installed in this build.
            if (!QByteArray(e.what()).startsWith("selection step not installed"))
                throw;
            o.result = ResultStepMissing;
            o.message = QString::fromLocal8Bit(e.what());
            code = ExitStepMissing;
        }
        SetCatalogueReadScope({});
        json = ToJson(o);
        // The output file of a support the selection accepted, written as
        // normal mode writes it after the store; a refused support gets none.
        if (!outputFile.isEmpty() && code == 0 && o.result <= 4) {
            // The record as the Ok road leaves it for the store and the
            // writer: stress condition, drawing key, rotation flags.
            PrepareAcceptedSupport(o.stress.notDynamic, o.stress.cold);
            // The company settings read by the selection name the print
            // language unless the caller chose one.
            OpenPrintDictionary(printLanguage != 0 ? printLanguage : ConstructionRecord.F_DRCK_KZ, printLanguage != 0);
            PrintTextTranslator = &TranslatePrintText;
            QString error;
            if (!WritePmlFile(outputFile, &error))
                throw std::runtime_error(QStringLiteral("%1: %2").arg(outputFile, error).toStdString());
        }
    } catch (const BadInput& e) {
        std::fprintf(stderr, "korva-select: %s\n", e.what());
        SetMessageSeam(nullptr);
        return ExitBadInput;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "korva-select: %s\n", e.what());
        SetMessageSeam(nullptr);
        return ExitBadInput;
    }
    SetMessageSeam(nullptr);
    const QByteArray out = p.isSet(jsonOpt) ? QJsonDocument(json).toJson(QJsonDocument::Indented)
                                            : ToText(json).toUtf8();
    std::fwrite(out.constData(), 1, size_t(out.size()), stdout);
    return code;
}
