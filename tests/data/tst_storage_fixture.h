#pragma once
// Shared by the storage tests and the storage benchmark: a project in a
// temporary directory and a support with every stored value set.
#include "data/BridgeRecords.h"
#include "data/CblTools.h"
#include "data/DBCREATE.h"
#include "data/DECODIEREN.h"
#include "data/FIRAUFKON.h"
#include "data/KONBTL.h"
#include "data/ProjectSchema.h"
#include "platform/DataSet.h"
#include "platform/Table.h"

#include <QStringList>
#include <variant>

namespace storage_fixture {

inline QString Text(const QString& base, int width) { return base.left(width > 0 ? width : 255); }

// A value for every record variable of a support column, different per
// column, with negative numbers and umlauts in texts.
inline void FillRecord(TConstructionRecord& r, int seed) {
    int i = 0;
    for (ProjectTable t : {ProjectTable::Konstr, ProjectTable::Konstz}) {
        for (const ProjectColumn& c : ProjectColumns(t)) {
            ++i;
            if (!c.record || c.kind == 'Y' || c.kind == 'R') continue;
            const FieldRef ref = c.record(r);
            const int v = i + seed;
            const QString text = Text(QStringLiteral("Äö%1ß").arg(v), c.size);
            if (auto p = std::get_if<double*>(&ref)) **p = (v % 3 ? -1 : 1) * (v + 0.25);
            else if (auto p = std::get_if<int32_t*>(&ref)) **p = -(v * 1000 + 7);
            else if (auto p = std::get_if<int16_t*>(&ref)) **p = int16_t(v * 3 - 500);
            else if (auto p = std::get_if<bool*>(&ref)) **p = v % 2 == 1;
            else if (auto p = std::get_if<QDateTime*>(&ref)) **p = QDateTime(QDate(2026, 12, 1 + v % 28), QTime(0, 0));
            else if (auto p = std::get_if<QString*>(&ref)) **p = text;
            else if (auto p = std::get_if<FixedText>(&ref)) PutTextField(p->data, p->width - 1, text);
        }
    }
    const double chain[] = {21091500, 0, 12345678, 45000001, 7};
    for (int k = 0; k < 30; ++k) {
        r.K_BTL_8[k] = k < 5 ? chain[k] : 0;
        r.K_ANZ[k] = int16_t(k < 5 ? (k + seed) % 10 : 0);
    }
}

// The record values that are stored from elsewhere, set to what they will
// read back as, and the key the support is stored under.
inline void AlignSources(TConstructionRecord& r, int drawing, int running) {
    r.K_NR = drawing;
    r.K_LFD_NR = running;
    r.K_F_NR_AUS = drawing * 10000 + running;
    CalcGlobals.DrawingKeyText = QStringLiteral("%1%2")
                                     .arg(drawing, 5, 10, QLatin1Char('0'))
                                     .arg(running, 4, 10, QLatin1Char('0'));
    VersionText = QStringLiteral("9.0.1");
    PutText(r.K_VER, VersionText);
    PutText(r.K_KONST_KZ, QStringLiteral("M"));
    BridgeRecords.DrehungAs = r.K_DREHUNG_AS;
    BridgeRecords.DrehungStahl = r.K_DREHUNG_STAHL;
    BridgeRecords.DrehungKh = r.K_DREHUNG_KH;
    BridgeRecords.DrehungS = r.K_DREHUNG_S;
    CalcGlobals.CNStandard = r.K_RES_BOL1;
}

inline void FillBridge(int seed) {
    BridgeRecords.Clear();
    for (int k = 0; k < 30; ++k) {
        BridgeItem& item = BridgeRecords.Items[size_t(k)];
        PutTextField(item.PartNumber, 8, QStringLiteral("%1").arg(10000000 + k * 7 + seed, 8, 10, QLatin1Char('0')));
        PutTextField(item.Dimension, 4, QStringLiteral("%1").arg(k * 13 % 10000, 4, 10, QLatin1Char('0')));
        PutTextField(item.Position, 2, QStringLiteral("%1").arg(k + 1, 2, 10, QLatin1Char('0')));
    }
    PutText(BridgeRecords.ArrangementLetter, QStringLiteral("R"));
    PutText(BridgeRecords.ClampFlag, QStringLiteral("K"));
    PutText(BridgeRecords.BthAufges, QString::number(1234 + seed));
    PutText(BridgeRecords.TotalHeightFeetInch, QStringLiteral("10'-5\""));
    PutText(BridgeRecords.RohrKorr, QStringLiteral("0"));
    BridgeRecords.ResInt1 = -17 - seed;
    BridgeRecords.ResInt2 = 4711;
    BridgeRecords.ResNum1 = -3;
    BridgeRecords.ResNum2 = 2.5f;
}

inline void FillPartsList(int rows, int seed) {
    PartsList.Clear();
    for (int k = 0; k < rows; ++k) {
        PartsList.KB_POS[k] = int16_t(k + 1);
        PartsList.KB_BTL_8[k] = 21000000 + k * 11 + seed;
        PartsList.KB_BTL[k] = QStringLiteral("Ü%1").arg(k, 5, 10, QLatin1Char('0'));
        PartsList.KB_BTL_ZUS[k] = QStringLiteral("ZUS-ä-%1").arg(k);
        PartsList.KB_BREITE[k] = int16_t(-k);
        PartsList.KB_BREITE_2[k] = int16_t(k * 2);
        PartsList.KB_ZUS[k] = QStringLiteral("L=%1 mm").arg(k * 10);
        PartsList.KB_ZUS_I[k] = QStringLiteral("%1\"").arg(k);
        PartsList.KB_ANZ[k] = int16_t(k % 5 + 1);
        PartsList.KB_KBEZ[k] = QStringLiteral("K%1").arg(k % 100);
        PartsList.KB_PRS[k] = -12.5 * k;
        PartsList.KB_WST[k] = int16_t(100 + k);
        PartsList.KB_GEW[k] = 0.125 * k + seed;
        PartsList.KB_HD_KZ[k] = k % 2 == 0;
    }
}

// The support tables of a project as text, row by row.
inline QStringList DumpProject(const QString& dir) {
    QStringList out;
    for (ProjectTable t : {ProjectTable::Konstr, ProjectTable::Konstz, ProjectTable::Konbtl}) {
        auto table = MakeProjectTable(t, dir);
        table->Open();
        if (!table->IsEmpty()) {
            table->First();
            do {
                QStringList row;
                for (int f = 0; f < table->FieldCount(); ++f) row << table->Fields(f).AsString();
                out << ProjectTableFileName(t) + ": " + row.join('|');
            } while (table->Next());
        }
        table->Close();
    }
    return out;
}

// A readable form of one variable, for field-by-field comparison.
inline QString RefText(const FieldRef& ref) {
    if (auto p = std::get_if<double*>(&ref)) return QString::number(**p, 'g', 17);
    if (auto p = std::get_if<int32_t*>(&ref)) return QString::number(**p);
    if (auto p = std::get_if<int16_t*>(&ref)) return QString::number(**p);
    if (auto p = std::get_if<bool*>(&ref)) return **p ? "true" : "false";
    if (auto p = std::get_if<QDateTime*>(&ref)) return (*p)->toString(Qt::ISODate);
    if (auto p = std::get_if<QString*>(&ref)) return **p;
    if (auto p = std::get_if<FixedText>(&ref)) return "[" + FieldText(p->data, p->width) + "]";
    return {};
}

}  // namespace storage_fixture
