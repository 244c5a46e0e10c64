#pragma once
// A catalogue directory with a settings row and a few galvanising rows, a
// project directory with its tables, both data modules, the registry
// redirected into a temporary directory and the menu dictionary of the
// build, so that the options form runs against real files.
#include "data/CatalogueSchema.h"
#include "data/DBCREATE.h"
#include "data/DBGLOB.h"
#include "data/DBKON.h"
#include "data/DECODIEREN.h"
#include "data/FIRAUFKON.h"
#include "data/GlobalFuncs.h"
#include "forms/FirdatBinder.h"
#include "forms/LEKO.h"
#include "localisation/IvBinDic.h"
#include "localisation/IvNls.h"
#include "platform/Registry.h"
#include "platform/Session.h"
#include "platform/Table.h"
#include "platform/TableFile.h"
#include "support/TestSupport.h"
#include "messages/MessageSeam.h"
#include "ui/MultiLang.h"

#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QTimer>
#include <QVariantMap>
#include <QtTest>
#include <functional>
#include <memory>

// The settings row every test starts from: values that differ from every
// preset, so that "unchanged" can be told from "set".
inline QVariantMap StartSettings() {
    return {{"F_NR", 4711},          {"PREISE_ERLAUBT", true}, {"F_PREISE", false},     {"F_FDIFF", 17},
            {"F_BEWEGBER", 120},     {"F_LR_FH", 3},           {"F_LR_KH", 4},          {"F_WR_FH_MM", 6},
            {"F_WR_FH", 7},          {"F_WR_KH", 8},           {"F_WR_KH_MM", 9},       {"F_WR_SB", 11},
            {"F_WR_GS", 12},         {"F_WINKEL", 2.5},        {"F_RSRL_LR", 13},       {"F_WINKEL_KZ", false},
            {"F_KALWAR_KZ", true},   {"F_VGBRL_KZ", true},     {"F_RLAGER_WST_KZ", true}, {"F_STRLOAD_KZ", "B"},
            {"F_KRZ_BEZ_H", "X"},    {"F_KRZ_BEZ_L", "Y"},     {"F_KRZ_BEZ_V", "Z"},    {"F_ZUGST_ST", 2500},
            {"F_DRCK_EH_KZ", "B"},   {"F_PRS_EINHEIT", "EUR"}, {"F_TGKURS", 1.0},       {"F_DRCK_GEW_KZ", true},
            {"F_DRCK_DIM_KZ", true}, {"F_DRCK_KZ", 2},         {"F_BEST", "Kunde A"},   {"F_KATA_KZ", false},
            {"F_KERNTECH", true}};
}

class OptionsFixture {
public:
    // The registry of every fixture lives in one directory for the test
    // program; it is emptied for each fixture.
    static void RedirectRegistry(const QString& path) {
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, path + QStringLiteral("/user"));
        QSettings::setPath(QSettings::NativeFormat, QSettings::SystemScope, path + QStringLiteral("/system"));
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, path + QStringLiteral("/user"));
        QSettings::setPath(QSettings::IniFormat, QSettings::SystemScope, path + QStringLiteral("/system"));
    }

    explicit OptionsFixture(const QVariantMap& settings = StartSettings()) {
        TRegistry::Settings(TRootKey::CurrentUser)->clear();
        TRegistry::Settings(TRootKey::LocalMachine)->clear();
        qputenv("TMPDIR", temp.path().toLocal8Bit());
        for (const CatalogueTableDef& def : CatalogueTables())
            CreateTableFile(TablePath(catalogue.path(), def.fileName), def.fieldDefs(), def.indexDefs());
        Insert(QStringLiteral("FIRDAT.DB"), settings);
        // Galvanising rows: neighbours that differ only in the code, the
        // temperature class or the existence of the galvanised variant.
        Insert("Pgstat.DB", {{"STA_NRN", 1}, {"STA_KBEZ", "110"}, {"STA_HD_KZ", true}});
        Insert("Pgstat.DB", {{"STA_NRN", 2}, {"STA_KBEZ", "110"}, {"STA_HD_KZ", true}});
        Insert("Pgstat.DB", {{"STA_NRN", 3}, {"STA_KBEZ", "111"}, {"STA_HD_KZ", false}});
        Insert("Pgstat.DB", {{"STA_NRN", 4}, {"STA_KBEZ", "1110"}, {"STA_HD_KZ", true}});
        Insert("Pgstat.DB", {{"STA_NRN", 5}, {"STA_KBEZ", "67"}, {"STA_HD_KZ", false}});
        Insert("pgrsrsl.DB", {{"RSL_NRN", 1}, {"RSL_KBEZ", "42"}, {"HD_KZ_ORG", true}, {"RSL_HD_KZ", false}});
        Insert("pgrsrsl.DB", {{"RSL_NRN", 2}, {"RSL_KBEZ", "42"}, {"HD_KZ_ORG", false}, {"RSL_HD_KZ", false}});
        Insert("pgrsrsl.DB", {{"RSL_NRN", 3}, {"RSL_KBEZ", "45"}, {"TMP_KL", "02"}, {"HD_KZ_ORG", true}, {"RSL_HD_KZ", true}});
        Insert("pgrsrsl.DB", {{"RSL_NRN", 4}, {"RSL_KBEZ", "46"}, {"TMP_KL", "01"}, {"HD_KZ_ORG", true}, {"RSL_HD_KZ", true}});
        Insert("pgrsrsl.DB", {{"RSL_NRN", 5}, {"RSL_KBEZ", "49"}, {"HD_KZ_ORG", true}, {"RSL_HD_KZ", true}});
        PointAlias(catalogue.path());
        QVERIFY(CreateProjectTables(project.path()));
        {
            TTable prjinf(project.path(), QStringLiteral("PRJINF8.DB"));
            prjinf.Open();
            prjinf.Append();
            prjinf.FieldByName(QStringLiteral("PRJ_WAEHRUNG")).SetAsInteger(17);
            prjinf.Post();
        }
        ProjectDatabaseName = project.path();
        CalcGlobals.Reset();
        CalcGlobals.PriceIndex = 1;
        CalcGlobals.OptionsPassword.clear();
        kon = std::make_unique<TDBKONST>();
        glob = std::make_unique<TDBGLOBAL>();
        for (TTable* t : {&glob->KONSTR, &glob->KONSTZ, &glob->KONBTL, &glob->KONETR, &glob->PRJINF})
            t->SetDatabaseName(project.path());
    }

    ~OptionsFixture() {
        glob.reset();
        kon.reset();
        Session().Close();
        ProjectDatabaseName.clear();
        CaptionPrefix.clear();
    }

    void Insert(const QString& table, const QVariantMap& values) {
        TTable t(catalogue.path(), table);
        t.Open();
        t.Append();
        for (auto it = values.cbegin(); it != values.cend(); ++it) t.FieldByName(it.key()).SetValue(it.value());
        t.Post();
    }

    static void PointAlias(const QString& path) {
        static TestDir aliasDir;
        const QString file = aliasDir.file(QStringLiteral("aliases.ini"));
        {
            QSettings ini(file, QSettings::IniFormat);
            ini.clear();
            ini.setValue(QStringLiteral("KORVA_9_0/PATH"), path);
        }
        qputenv("KORVA_ALIAS_FILE", file.toLocal8Bit());
        Session().ReloadAliases();
    }

    // A value of the stored settings row, read through a cursor of its own.
    QVariant Stored(const QString& field) const {
        TTable t(catalogue.path(), QStringLiteral("FIRDAT.DB"));
        t.Open();
        t.First();
        return t.FieldByName(field).Value();
    }
    QVariant ProjectValue(const QString& field) const {
        TTable t(project.path(), QStringLiteral("PRJINF8.DB"));
        t.Open();
        t.First();
        return t.FieldByName(field).Value();
    }
    // The galvanising flag of a catalogue row.
    bool CatalogueFlag(const QString& table, const QString& key, int number, const QString& flag) const {
        TTable t(catalogue.path(), table);
        t.Open();
        if (!t.Locate(key, {number})) return false;
        return t.FieldByName(flag).AsBoolean();
    }

    TestDir catalogue;
    TestDir project;
    TestDir temp;
    std::unique_ptr<TDBKONST> kon;
    std::unique_ptr<TDBGLOBAL> glob;
};

// The main dictionary of the build in a language (1 German, 2 English).
struct BuiltDictionary {
    DictionaryScope scope;
    explicit BuiltDictionary(int language) {
        IvBinaryDictionaryGlobal->SetFileName(QStringLiteral(KORVA_BINARY_DIR "/Korva32.mld"));
        IvBinaryDictionaryGlobal->SetLanguage(language);
        IvBinaryDictionaryGlobal->Open();
        IvBinaryDictionaryGlobal->SetLanguage(language);
    }
};

// Acts on the next modal dialog of a type once it is shown; the test waits
// for the action with the returned flag.
template <class Dialog>
std::shared_ptr<bool> WhenShown(std::function<void(Dialog*)> action) {
    auto done = std::make_shared<bool>(false);
    auto poll = std::make_shared<std::function<void()>>();
    auto tries = std::make_shared<int>(0);
    *poll = [done, poll, tries, action] {
        if (auto* d = qobject_cast<Dialog*>(QApplication::activeModalWidget()); d && d->isVisible()) {
            *done = true;
            action(d);
            return;
        }
        if (++*tries < 500) QTimer::singleShot(10, *poll);
    };
    QTimer::singleShot(0, *poll);
    return done;
}

// Types into an edit as a user would, over what it shows.
inline void Type(QLineEdit* edit, const QString& text) {
    edit->selectAll();
    QTest::keyClicks(edit, text);
}

// The set-up the options test programs share: the registry redirected for
// the program, and for each test a fresh fixture, the German menu
// dictionary, a scripted message seam and the form opened on demand. A test
// class derives from QObject and this, and calls SetUpCase, SetUp and
// TearDown from its initTestCase, init and cleanup.
class OptionsFormTest {
protected:
    void SetUpCase() {
        NlsSetDefaultLcidOverride(MakeLangId(9, 1));
        OptionsFixture::RedirectRegistry(registry.path());
    }
    void SetUp() {
        f = std::make_unique<OptionsFixture>();
        dict = std::make_unique<BuiltDictionary>(1);
        seam = std::make_unique<ScriptedMessageSeam>();
        TFLEKO::LastTab = 0;
    }
    void TearDown() {
        if (form) {
            form->hide();
            form.reset();
        }
        seam.reset();
        dict.reset();
        f.reset();
    }
    TFLEKO& Open() {
        form = std::make_unique<TFLEKO>();
        form->show();
        return *form;
    }

    TestDir registry;
    std::unique_ptr<OptionsFixture> f;
    std::unique_ptr<BuiltDictionary> dict;
    std::unique_ptr<ScriptedMessageSeam> seam;
    std::unique_ptr<TFLEKO> form;
};
