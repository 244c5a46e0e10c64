#pragma once
// Supports for the output file writer, built by hand: a copy of the demo
// catalogue in a temporary directory (with a few extra products the demo
// families lack: trapeze beams 795 and the 796/798 pair, a profile row),
// the catalogue module over it, the print dictionary in a chosen language,
// and a support record, parts chain, parts list and bridge items filled
// from catalogue rows.
#include "data/ABHGNR.h"
#include "data/BridgeRecords.h"
#include "data/CblTools.h"
#include "data/DBGLOB.h"
#include "data/DBKON.h"
#include "data/FIRAUFKON.h"
#include "data/GlobalFuncs.h"
#include "data/KONBTL.h"
#include "data/PGCOOL.h"
#include "data/PGDYNA.h"
#include "data/PGRSRL.h"
#include "data/PGSTAT.h"
#include "localisation/IvBinDic.h"
#include "localisation/IvDictio.h"
#include "localisation/IvNls.h"
#include "platform/Session.h"
#include "platform/Table.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QSettings>
#include <QVariantMap>
#include <QString>
#include <memory>
#include <vector>

namespace pmlfixture {

inline const QString DemoCatalogue = QStringLiteral(KORVA_BINARY_DIR "/demo/catalogue");
inline const QString PrintDictionaryFile = QStringLiteral(KORVA_BINARY_DIR "/Korvaprn.mld");

class Catalogue {
public:
    Catalogue() {
        const QString to = dir.file(QStringLiteral("catalogue"));
        QDir().mkpath(to);
        for (const QString& f : QDir(DemoCatalogue).entryList(QDir::Files))
            QFile::copy(DemoCatalogue + u'/' + f, to + u'/' + f);
        path = to;
        AddExtraRows();
        const QString ini = dir.file(QStringLiteral("aliases.ini"));
        {
            QSettings s(ini, QSettings::IniFormat);
            s.setValue(QStringLiteral("KORVA_9_0/PATH"), to);
        }
        qputenv("KORVA_ALIAS_FILE", ini.toLocal8Bit());
        Session().ReloadAliases();
        kon = std::make_unique<TDBKONST>();
        for (TTable* t : {&kon->PGSTAT, &kon->PGDYNA, &kon->PGRSRL, &kon->PGCOOL, &kon->TempDB, &kon->DURDATDB,
                          &kon->TXTTAB, &kon->PGCURE, &kon->ABHGDB})
            t->Open();
    }
    ~Catalogue() {
        kon.reset();
        Session().Close();
    }

    bool Valid() const { return QFile::exists(path + QStringLiteral("/Pgstat.DB")); }

    void Insert(const QString& table, const QVariantMap& values) {
        TTable t(path, table);
        t.Open();
        t.Append();
        for (auto it = values.cbegin(); it != values.cend(); ++it) t.FieldByName(it.key()).SetValue(it.value());
        t.Post();
        t.Close();
    }

    void RemoveStatic(int number) {
        TTable t(path, QStringLiteral("Pgstat.DB"));
        t.Open();
        if (t.Locate(QStringLiteral("STA_NRN"), {number})) t.Delete();
        t.Close();
    }

    TestDir dir;
    QString path;
    std::unique_ptr<TDBKONST> kon;

private:
    void Static(int number, const char* kbez, const char* lnr, int e, int breite, int breiteM, double kg) {
        Insert(QStringLiteral("Pgstat.DB"),
               {{"STA_NRN", number}, {"STA_KBEZ", kbez}, {"STA_KBEZ_I", kbez}, {"STA_L_NR", lnr}, {"STA_L_NR_I", lnr},
                {"STA_L_NR_K", QString::fromLatin1(lnr).replace(0, 1, u'K')},
                {"STA_L_NR_K_I", QString::fromLatin1(lnr).replace(0, 1, u'K')}, {"STA_E", e}, {"STA_BREITE", breite},
                {"STA_BREITE_M", breiteM}, {"STA_GEW", kg}, {"STA_WST", 1}, {"STA_WST_UNC", 11}, {"STA_WST_CN", 21},
                {"STA_HD_KZ", false}, {"STA_BTL_ZUS", "040060"}});
    }
    void AddExtraRows() {
        // Trapeze beams and the pin pair; a 796 of the next size only, so a
        // wrong companion search would find it.
        Static(79514000, "795", "795140", 40, 150, 250, 9.5);
        Static(79614000, "796", "796140", 35, 0, 180, 2.5);
        Static(79615000, "796", "796150", 45, 0, 200, 3.5);
        Static(79814000, "798", "798140", 55, 0, 260, 4.0);
        // Plates, profiles and yokes of the frame supports.
        Static(77014000, "77", "770140", 25, 0, 0, 6.0);
        Static(78014000, "78", "780140", 45, 0, 0, 7.5);
        Static(76014000, "76", "760140", 60, 80, 0, 5.0);
        Static(76914000, "76", "769140", 65, 90, 0, 5.5);
        Static(29014000, "290", "290140", 30, 0, 0, 3.0);
        Static(91014000, "91", "910140", 0, 0, 0, 0.2);
        Static(65014000, "65", "650140", 70, 0, 0, 1.2);
        Static(70014000, "70", "700140", 35, 0, 0, 0.9);
        Static(61114000, "61", "611140", 52, 0, 0, 0.7);
        Static(61314000, "613", "613140", 50, 0, 0, 0.8);
        Static(20914000, "209", "209140", 120, 0, 0, 4.0);
        Static(20214000, "202", "202140", 140, 0, 0, 4.5);
        Static(27214000, "272", "272140", 160, 170, 0, 5.0);
        Static(16214315, "162", "162143", 600, 0, 0, 40.0);
        Static(79114000, "791", "791140", 48, 0, 220, 3.0);
        Static(79414000, "794", "794140", 42, 110, 0, 2.0);
        Insert(QStringLiteral("Pgdyna.DB"), {{"DYN_NRN", 34030010}, {"DYN_KBEZ", "34"}, {"DYN_L_NR", "340301"},
                                              {"DYN_L_NR_K", "K40301"}, {"DYN_E", 90}, {"DYN_GEW", 6.5},
                                              {"DYN_WST", 1}, {"DYN_GEW_VER", 2.0}});
        Insert(QStringLiteral("Pgdyna.DB"), {{"DYN_NRN", 37090302}, {"DYN_KBEZ", "37"}, {"DYN_L_NR", "370902"},
                                              {"DYN_L_NR_K", "K70902"}, {"DYN_E", 130}, {"DYN_GEW", 9.0},
                                              {"DYN_WST", 2}, {"DYN_LG_MAX", 5}});
        Insert(QStringLiteral("pgrsrsl.DB"), {{"RSL_NRN", 41090302}, {"RSL_KBEZ", "41"}, {"RSL_L_NR", "410902"},
                                               {"RSL_L_NR_K", "K10902"}, {"RSL_E", 150}, {"RSL_LG_VON", 9},
                                               {"RSL_LG_BIS", 14}, {"RSL_GEW_1", 2.5}, {"RSL_WST", 2},
                                               {"RSL_EXTRA", 0}});
        Insert(QStringLiteral("pgrsrsl.DB"), {{"RSL_NRN", 45090302}, {"RSL_KBEZ", "45"}, {"RSL_L_NR", "450902"},
                                               {"RSL_L_NR_K", "K50902"}, {"RSL_E", 180}, {"RSL_LG_VON", 11},
                                               {"RSL_LG_BIS", 14}, {"RSL_GEW_1", 6.0}, {"RSL_WST", 2},
                                               {"RSL_KOP_KZ", true}, {"RSL_HD_KZ", true}, {"RSL_EXTRA", 0}});
        // Clamps of type 87 and 88, which live in the clamp and the dynamic
        // table although their first digit names the static one.
        Insert(QStringLiteral("pgrsrsl.DB"), {{"RSL_NRN", 87090302}, {"RSL_KBEZ", "87"}, {"RSL_L_NR", "870902"},
                                               {"RSL_L_NR_K", "K70902"}, {"RSL_E", 120}, {"RSL_LG_VON", 7},
                                               {"RSL_LG_BIS", 12}, {"RSL_GEW_1", 3.0}, {"RSL_WST", 2},
                                               {"RSL_EXTRA", 0}});
        Insert(QStringLiteral("Pgdyna.DB"), {{"DYN_NRN", 88090302}, {"DYN_KBEZ", "88"}, {"DYN_L_NR", "880902"},
                                              {"DYN_L_NR_K", "K80902"}, {"DYN_E", 110}, {"DYN_GEW", 4.0},
                                              {"DYN_WST", 2}});
        Insert(QStringLiteral("Pgdyna.DB"), {{"DYN_NRN", 38090302}, {"DYN_KBEZ", "38"}, {"DYN_L_NR", "380902"},
                                              {"DYN_L_NR_K", "K80902"}, {"DYN_E", 100}, {"DYN_GEW", 5.0},
                                              {"DYN_WST", 2}});
        // The profile of beam clamp 12 at height 200, between rows a wrong
        // key would hit: another clamp at the same height, the same clamp
        // at another height, another kind with the same keys.
        Insert(QStringLiteral("Txttab.DB"), {{"TXT_KZ", "PRF"}, {"TXT_NR", 13}, {"TXT_NUM", 200.0},
                                             {"TXT_TEXT", "IPE200"}, {"TXT_PRF_B", 100.0}, {"TXT_PRF_T", 8.5}});
        Insert(QStringLiteral("Txttab.DB"), {{"TXT_KZ", "PRF"}, {"TXT_NR", 12}, {"TXT_NUM", 220.0},
                                             {"TXT_TEXT", "HEB220"}, {"TXT_PRF_B", 220.0}, {"TXT_PRF_T", 16.0}});
        Insert(QStringLiteral("Txttab.DB"), {{"TXT_KZ", "LGA"}, {"TXT_NR", 12}, {"TXT_NUM", 200.0},
                                             {"TXT_TEXT", "not a profile"}, {"TXT_PRF_B", 1.0}, {"TXT_PRF_T", 1.0}});
        Insert(QStringLiteral("Txttab.DB"), {{"TXT_KZ", "PRF"}, {"TXT_NR", 12}, {"TXT_NUM", 200.0},
                                             {"TXT_TEXT", "HEB200"}, {"TXT_PRF_B", 200.0}, {"TXT_PRF_T", 15.5}});
    }
};

// The print dictionary open in a language (1 German, 2 English) for a
// scope, handed to the writer as the program's main does.
class PrintLanguage {
public:
    explicit PrintLanguage(int language) {
        NlsSetDefaultLcidOverride(MakeLangId(9, 1));
        m_dictionary.SetFileName(PrintDictionaryFile);
        m_dictionary.SetLanguage(language);
        m_dictionary.Open();
        s_current = &m_dictionary;
        PrintTextTranslator = &Translate;
    }
    ~PrintLanguage() {
        PrintTextTranslator = nullptr;
        s_current = nullptr;
    }

private:
    static QString Translate(const QString& text) { return TranslateWord(s_current, text); }
    static inline TIvBinaryDictionary* s_current = nullptr;
    TIvBinaryDictionary m_dictionary;
};

struct ChainPartSpec {
    double number;
    int16_t count = 1;
};

// Puts the part chain into the record and builds the parts list and bridge
// items from the catalogue rows, as the composition leaves them.
inline void SetChain(const std::vector<ChainPartSpec>& chain) {
    auto& r = ConstructionRecord;
    std::fill(std::begin(r.K_BTL_8), std::end(r.K_BTL_8), 0.0);
    std::fill(std::begin(r.K_ANZ), std::end(r.K_ANZ), int16_t(0));
    PartsList.Clear();
    BridgeRecords.Clear();
    int row = 0;
    for (size_t i = 0; i < chain.size(); ++i) {
        r.K_BTL_8[i] = chain[i].number;
        r.K_ANZ[i] = chain[i].count;
        if (chain[i].number == 0) continue;
        char key[8];
        PutIntField(key, 7, int32_t(chain[i].number));
        const QString text = FieldText(key, 8);
        QString article, kbez;
        double kg = 0;
        int16_t wst = 0;
        int dimension = 0;
        switch (text.at(0).toLatin1()) {
        case '3':
            PgdynaRecord.DYN_NRN = chain[i].number;
            PgdynaRead();
            article = FieldText(PgdynaRecord.DYN_L_NR);
            kbez = FieldTextTrimmed(PgdynaRecord.DYN_KBEZ, 4);
            kg = PgdynaRecord.DYN_GEW;
            wst = PgdynaRecord.DYN_WST;
            dimension = PgdynaRecord.DYN_E;
            break;
        case '4':
            PgrsrlRecord.RSL_NRN = chain[i].number;
            PgrsrlRead();
            article = FieldText(PgrsrlRecord.RSL_L_NR);
            kbez = PgrsrlRecord.RSL_KBEZ.trimmed();
            kg = PgrsrlRecord.RSL_GEW[0];
            wst = PgrsrlRecord.RSL_WST;
            dimension = PgrsrlRecord.RSL_E;
            break;
        case '5':
            PgcoolRecord.CLD_NRN = chain[i].number;
            PgcoolRead();
            article = FieldText(PgcoolRecord.CLD_L_NR);
            kbez = FieldTextTrimmed(PgcoolRecord.CLD_KBEZ, 4);
            kg = PgcoolRecord.CLD_GEW;
            wst = PgcoolRecord.CLD_WST;
            break;
        default:
            PgstatRecord.STA_NRN = chain[i].number;
            PgstatRead();
            article = FieldText(PgstatRecord.STA_L_NR);
            kbez = FieldTextTrimmed(PgstatRecord.STA_KBEZ, 4);
            kg = PgstatRecord.STA_GEW;
            wst = PgstatRecord.STA_WST;
            dimension = PgstatRecord.STA_E;
            break;
        }
        if (CalcGlobals.TableStatus != 0) continue;  // a hand-made entry without a row
        if (row >= PartsListRows) continue;
        PartsList.KB_POS[row] = int16_t(row + 1);
        PartsList.KB_BTL_8[row] = int32_t(chain[i].number);
        PartsList.KB_BTL[row] = article;
        PartsList.KB_BTL_ZUS[row] = article;
        PartsList.KB_KBEZ[row] = kbez;
        PartsList.KB_ANZ[row] = chain[i].count;
        PartsList.KB_GEW[row] = kg;
        PartsList.KB_WST[row] = wst;
        ++row;
        PartsList.RowCount = int16_t(row);
        BridgeItem& item = BridgeRecords.Items[i];
        PutTextField(item.PartNumber, 8, text);
        PutTextField(item.Dimension, 4, QString::number(std::abs(dimension) % 10000).rightJustified(4, u'0'));
        PutTextField(item.Position, 2, QString::number(row).rightJustified(2, u'0'));
    }
}

inline void SetArrangement(const char* name) { PutTextField(ArrangementRecord.A_NAME, 7, QString::fromLatin1(name)); }

// The record fields every support carries.
inline void BaseRecord(const char* mark, int drawing, int running) {
    CalcGlobals.Reset();
    CalcGlobals.PriceIndex = 1;
    ConstructionRecord.Reset();
    auto& r = ConstructionRecord;
    PutTextField(r.K_POS_NR, 31, QString::fromLatin1(mark));
    r.K_NR = drawing;
    r.K_LFD_NR = running;
    r.K_F_NR_AUS = drawing * 10000 + running;
    PutTextField(r.K_NR_ANL, 4, QStringLiteral("A1"));
    PutTextField(r.K_KDN_ZNR, 24, QStringLiteral("KD-4711"));
    PutTextField(r.K_CALC_NR, 31, QStringLiteral("CP 12"));
    PutTextField(r.K_VER, 7, QStringLiteral("9.0.4"));
    r.PrintUnitChar = 'A';
}

}  // namespace pmlfixture
