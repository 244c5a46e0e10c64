// The part-chain walks and the statements of each chain element. Every
// test reads SearchKey at the moment of the test: a writer that puts
// another part's number there (the bolt list, the shift) changes what the
// caller's later tests in the same step see, and the host files depend on
// that order.
#include "data/ABHGNR.h"
#include "data/BridgeRecords.h"
#include "data/CblTools.h"
#include "data/DBKON.h"
#include "data/FIRAUFKON.h"
#include "data/GlobalFuncs.h"
#include "data/KONBTL.h"
#include "data/PGDYNA.h"
#include "data/PGRSRL.h"
#include "data/PGSTAT.h"
#include "host/PMLFUELL.h"
#include "host/PMLFUELLState.h"
#include "platform/Table.h"

#include <array>
#include <cmath>
#include <initializer_list>

namespace pml {

namespace {

QString Int(double v) { return QString::number((long long)std::trunc(v)); }

// The key of the part at hand, kept while another entry's number stands in
// SearchKey and put back whole: its width is the key's own, never a count
// that could fall one short of it or reach past it.
class KeptKey {
public:
    KeptKey() { std::copy(std::begin(CalcGlobals.SearchKey), std::end(CalcGlobals.SearchKey), m_key.begin()); }
    void Restore() const { std::copy(m_key.begin(), m_key.end(), std::begin(CalcGlobals.SearchKey)); }

private:
    std::array<char, sizeof CalcGlobals.SearchKey> m_key;
};

bool T2In(std::initializer_list<const char*> codes) {
    const QString t = T2();
    for (const char* c : codes)
        if (t == QLatin1String(c)) return true;
    return false;
}

bool T3In(std::initializer_list<const char*> codes) {
    const QString t = T3();
    for (const char* c : codes)
        if (t == QLatin1String(c)) return true;
    return false;
}

bool IsRod() { return T3In({"660", "670"}); }

int& Index() { return CalcGlobals.ChainPartIndex; }

QString Spec() { return W->SpecName; }
QString Component(const QString& number) { return QStringLiteral("/") + Spec() + "/" + number; }

bool Nuclear() { return ConstructionRecord.K_KERNTECH; }
bool StaticHd() { return ConstructionRecord.K_HD_KZ && PgstatRecord.STA_HD_KZ; }
QString StaNr() { return FieldText(PgstatRecord.STA_L_NR); }
QString StaNrK() { return FieldText(PgstatRecord.STA_L_NR_K); }

// Steps down to the next non-empty entry and puts it into SearchKey;
// false at entry 0, where the pass ends.
bool StepDown() {
    while (--Index() >= 1) {
        const double number = PartEntry(Index());
        if (number == 0) continue;
        SetSearchKey(number);
        return true;
    }
    Index() = 0;
    return false;
}

void StartWalk() {
    W->ShiftHeightSum = 0;
    W->OffsetPending = 0;
    W->RestLengthPosition = 6;
    Index() = 31;
}

// The profile row of the text table for the support's beam clamp
// (K_KLM_NR, K_KLM_HH); cleared values when there is none.
void ReadProfileRow() {
    W->ProfileText.clear();
    W->ProfileWidth = 0;
    W->ProfileThickness = 0;
    TTable& t = DBKONST->TXTTAB;
    const QString index = t.IndexName();
    const QString fields = t.IndexFields().join(u';');
    {
        TableStateGuard guard(t);
        t.SetFilter(QStringLiteral("TXT_KZ = ? AND TXT_NR = ?"), {QStringLiteral("PRF"), ConstructionRecord.K_KLM_NR});
        t.SetFiltered(true);
        t.SetIndexName(QStringLiteral("TXT_KEY_NUM"));
        if (t.Locate(QStringLiteral("TXT_NUM"), {double(ConstructionRecord.K_KLM_HH)})) {
            W->ProfileText = t.FieldByName(QStringLiteral("TXT_TEXT")).AsString();
            W->ProfileWidth = t.FieldByName(QStringLiteral("TXT_PRF_B")).AsFloat();
            W->ProfileThickness = t.FieldByName(QStringLiteral("TXT_PRF_T")).AsFloat();
        }
    }
    if (!index.isEmpty()) t.SetIndexName(index);
    else t.SetIndexFieldNames(fields);
}

// The size-code DESP text of rule 12 ("    DESP  10" .. "    DESP  80").
QString SizeDesp() {
    const QString n = DespSizeNumber(SizeCode());
    return n.isEmpty() ? QString() : QStringLiteral("    DESP  ") + n;
}

// "    DESP  10 10" .. "    DESP  80 80".
QString DoubleSizeDesp() {
    const QString n = DespSizeNumber(SizeCode());
    return n.isEmpty() ? QString() : QStringLiteral("    DESP  ") + n + " " + n;
}

QString ComponentText() {
    const bool k = Nuclear();
    if (T3In({"793", "791", "796", "798"})) {
        const QString width = PmlShortest(PgstatRecord.STA_BREITE_M);
        if (k) return StaNrK() + "-" + width;
        if (StaticHd()) return StaNr() + "-" + width + "-HD";
        return StaNr() + "-" + width;
    }
    if (T2() == QLatin1String("34")) {
        char display[6];
        CopyToCharArray(display, 6, FieldText(k ? PgdynaRecord.DYN_L_NR_K : PgdynaRecord.DYN_L_NR));
        std::copy(display, display + 6, CalcGlobals.DisplayPartNumber);
        const QString below = PartEntry(Index() - 1) == 0 ? QStringLiteral("0") : NumberText(PartEntry(Index() - 1));
        if (below.size() >= 5) CalcGlobals.DisplayPartNumber[5] = below.at(4).toLatin1();
        return FieldText(CalcGlobals.DisplayPartNumber);
    }
    if (T2() == QLatin1String("78")) {
        ReadProfileRow();
        if (k) return StaNrK() + "-" + W->ProfileText;
        if (StaticHd()) return StaNr() + "-" + W->ProfileText + "-HD";
        return StaNr() + "-" + W->ProfileText;
    }
    if (T2() == QLatin1String("76")) {
        ReadProfileRow();
        if (k) return StaNrK();
        if (StaticHd()) return StaNr() + "-HD";
        return StaNr();
    }
    if (Digit(1) == u'3') return FieldText(k ? PgdynaRecord.DYN_L_NR_K : PgdynaRecord.DYN_L_NR);
    if (k) return StaNrK();
    if (T3() == QLatin1String("290")) return PartsList.KB_BTL_ZUS[0];
    if (StaticHd()) return StaNr() + "-HD";
    return StaNr();
}

void WriteRodLine() {
    if (Digit(1) == u'3' || T3() == QLatin1String("162") || T2In({"20", "27"})) {
        Line(QStringLiteral("    LSRO SPCO ") + Component(QStringLiteral("M00")));
        return;
    }
    const QString thread = ThreadForSize(SizeCode());
    QString line = thread.isEmpty() ? QString() : QStringLiteral("    LSRO SPCO ") + Component(thread);
    if (Index() > 1) {
        // The element's own number and row are put back afterwards; a
        // companion element (the 796 of a 798) keeps the row it was
        // written from.
        const KeptKey key;
        const TPgstatRecord row = PgstatRecord;
        SetSearchKey(PartEntry(Index() - 1));
        if (IsRod()) {
            ReadStatic();
            const QString number = Nuclear() ? StaNrK() : StaticHd() ? StaNr() + "-HD" : StaNr();
            line = QStringLiteral("    LSRO SPCO ") + Component(number);
        }
        key.Restore();
        PgstatRecord = row;
    }
    Line(line);
}

const char* const Desp290[] = {"    DESP  10 0 0", "    DESP  12 0 0", "    DESP  16 0 0", "    DESP  20 0 0",
                               "    DESP  24 0 0", "    DESP  30 0 0", "    DESP  36 0 0", "    DESP  42 0 0",
                               "    DESP  48 0 0", "    DESP  56 0 0", "    DESP  64 0 0", "    DESP  68 0 0",
                               "    DESP  72 0 0", "    DESP  80 0 0"};

void WriteDimensionLines() {
    const auto& r = ConstructionRecord;
    if (T2() == QLatin1String("79")) WriteDespForSize();
    if (T2() == QLatin1String("34")) {
        Line(QStringLiteral("    DESP  00 00 ") + PmlShortest(r.K_BREITE));
        if ((Letter(4) == u'Y' || Letter(4) == u'F') && Letter(1) == u'S') Line(QStringLiteral("    ARRIVE 4"));
    }
    if (T3() == QLatin1String("290")) {
        const QString n = DespSizeNumber(SizeCode());
        if (!n.isEmpty()) Line(QStringLiteral("    DESP  ") + n + " 0 0");
    }
    if (T3() == QLatin1String("291")) {
        const QString size = SizeCode();
        const QString n = DespSizeNumber(size);
        if (!n.isEmpty() && size <= QLatin1String("19")) Line(QStringLiteral("    DESP  ") + n + " 0 " + Int(r.K_RESTLAENGE_1));
    }
    if (T2() == QLatin1String("39")) {
        ReadDynamic();
        Line(QStringLiteral("    DESP  00 00 ") + Int(r.K_RESTLAENGE_1 - PgdynaRecord.DYN_E_MIN) + " 0 0");
    }
    if (T3() == QLatin1String("300")) {
        if (Digit(8) > u'1') {
            Line(QStringLiteral("    ARRIVE 2"));
            Line(QStringLiteral("    LEAVE 1"));
            Line(QStringLiteral("    DESP  00 00 ") + Int(r.K_RESTLAENGE_2) + " 0 0");
        } else if (r.K_RESTLAENGE_2 == 0) {
            Line(QStringLiteral("    DESP  00 00 ") + Int(r.K_RESTLAENGE_1) + " 0 1");
        } else {
            Line(QStringLiteral("    LEAVE 4"));
            Line(QStringLiteral("    DESP  00 00 ") + Int(r.K_RESTLAENGE_1) + " 0 0");
        }
    }
    if (T3() == QLatin1String("162"))
        Line(QStringLiteral("    DESP  00 00 ") + Int(BridgeDimension(Index()).left(4).toInt() - PgstatRecord.STA_E));
    if (T3() == QLatin1String("202")) {
        if (W->ExchangeDone) {
            Line(QStringLiteral("    LEAVE 4"));
            Line(QStringLiteral("    DESP  00 00 ") + Int(W->KeptHeight) + " 0 0");
        } else {
            Line(QStringLiteral("    DESP  00 00 ") + Int(PgstatRecord.STA_E + r.K_RESTLAENGE_2) + " 0 1");
        }
    }
    if (T3() == QLatin1String("272")) {
        if (r.K_ZUG_DRUCK_KZ) {
            Line(QStringLiteral("    LEAVE 4"));
            Line(QStringLiteral("    DESP  00 00 ") + Int(PgstatRecord.STA_BREITE) + " 0 0");
        } else {
            Line(QStringLiteral("    DESP  00 00 ") + Int(PgstatRecord.STA_E) + " 0 1");
        }
    }
    if (T3In({"209", "279"})) {
        Line(QStringLiteral("    ARRIVE 2"));
        Line(QStringLiteral("    LEAVE 1"));
        Line(QStringLiteral("    DESP  00 00 ") + Int(r.K_RESTLAENGE_1));
    }
    if (T3() == QLatin1String("320")) Line(QStringLiteral("    DESP  00 00 ") + Int(r.K_RESTLAENGE_1) + " 0 1");

    // Rule 12: the size-code DESP.
    static const std::initializer_list<const char*> HangerTypes = {"110", "114", "161", "162", "210", "250",
                                                                   "254", "715", "798", "795", "799"};
    if (T3In(HangerTypes)) W->Written77 = false;
    const QString desp = SizeDesp();
    const bool skip = Digit(1) == u'3' || T3In({"162", "605", "700"}) || T2In({"79", "27", "29", "20", "77"}) ||
                      W->Written77;
    if (!skip && !desp.isEmpty()) {
        if (T3In({"110", "114", "161", "210", "250", "254", "715"}))
            Line(desp + " 0 " + Int(r.K_BLOCKIER));
        else if (T2() == QLatin1String("78"))
            Line(desp + " 0 " + Int(W->ProfileWidth) + " " + BridgeDimension(Index()) + " " + Int(r.K_KLM_HH));
        else if (T2() != QLatin1String("76"))
            Line(desp);
    }
    if (T2() == QLatin1String("76")) {
        const QString d34 = KeyText().mid(2, 2);
        if (d34 == QLatin1String("91") || d34 == QLatin1String("92"))
            Line(QStringLiteral("    DESP  0 0 ") + Int(W->ProfileWidth + 2 * PgstatRecord.STA_BREITE) + " " +
                 Int(PgrsrlRecord.RSL_LG_VON));
        else if (!desp.isEmpty())
            Line(desp + " 0 " + Int(W->ProfileWidth) + " " + Int(r.K_TRAGARM_L) + " " + PmlShortest(W->ProfileThickness));
    }
    if (T3In({"700", "605"})) {
        if (const QString d = DoubleSizeDesp(); !d.isEmpty()) Line(d);
        W->Written77 = false;
    }
    if (T3In({"611", "601"}) && W->Written77) {
        if (const QString d = DoubleSizeDesp(); !d.isEmpty()) Line(d);
        W->Written77 = false;
    }
    if (T2() == QLatin1String("77")) {
        const KeptKey key;
        const TPgstatRecord row = PgstatRecord;
        const double number = PartEntry(W->RestLengthPosition - 1);
        SetSearchKey(number);
        ReadStatic();
        const QString staNr = FieldText(PgstatRecord.STA_L_NR);
        const QString group = NumberText(number).mid(3, 2) > QLatin1String("19") ? staNr.mid(2, 2) : staNr.mid(2, 1);
        key.Restore();
        PgstatRecord = row;
        // Without a kept clamp text (a clamp not of type 4x) the line still
        // starts as a DESP statement.
        if (W->KeptClampDesp.isEmpty()) W->KeptClampDesp = QStringLiteral("    DESP  ");
        W->KeptClampDesp += QStringLiteral("0 0 0 ") + group;
        Line(W->KeptClampDesp);
        W->Written77 = true;
    }
}

void WriteConnection() {
    if (T3In({"730", "780"})) {
        const QString size = SizeCode();
        Line(size == QLatin1String("09") || size == QLatin1String("10") ? QStringLiteral("    FCONN") : QStringLiteral("    CONN"));
    } else if (T3In({"793", "795", "796", "798", "799"}) && W->PairState == 0) {
        Line(QStringLiteral("    CONN AND p5 is $!or"));
    } else {
        Line(QStringLiteral("    CONN"));
    }
}

}  // namespace

void WriteHangerElement() {
    if (T3() == QLatin1String("111")) return;
    BlankLine();
    Line(Index() == 1 && !T2In({"71", "25"}) ? QStringLiteral("  NEW SCLA") : QStringLiteral("  NEW HELE"));
    Line(QStringLiteral("    SPRE SPCO ") + Component(ComponentText()));
    WriteRodLine();
    WriteDimensionLines();
    if (T3() == QLatin1String("290") && W->AddMatText != QLatin1String(" "))
        Line(QStringLiteral("    :USTADDMAT") + W->AddMatText);
    if (T2() == QLatin1String("35")) Line(QStringLiteral("    DESP  00"));
    if (T3() == QLatin1String("794")) {
        Line(QStringLiteral("    ARRIVE 2"));
        Line(QStringLiteral("    LEAVE 1"));
    }
    if (T3In({"795", "798"}) && Letter(6) == u'S') Line(QStringLiteral("    ARRIVE 4"));
    WriteConnection();
    if (T3() == QLatin1String("794")) Line(QStringLiteral("    ROT ABO Y BY 180 THRO P2"));
    if (T3In({"798", "797"})) W->PairState = 1;
    if (T3In({"600", "610", "210"})) Line(QStringLiteral("    ORI AND Y IS $!OR"));
    if (T3() == QLatin1String("613"))
        Line(Letter(3) == u'V' ? QStringLiteral("    ORI AND Y IS $!OR") : QStringLiteral("    ORI AND X IS $!or"));
    if (T3In({"601", "611", "614"})) Line(QStringLiteral("    ORI AND PL IS U"));
    const bool belowIs730 = NumberText(PartEntry(Index() - 1)).startsWith(QLatin1String("730"));
    const bool turned = BridgeRecords.DrehungAs;
    if ((T3() == QLatin1String("610") && turned && belowIs730) || (T3() == QLatin1String("600") && !turned && belowIs730) ||
        T3() == QLatin1String("351") || (T3() == QLatin1String("350") && turned))
        Line(QStringLiteral("    ROT BY 90"));
    if (W->ChainHeight != 0) {
        Line(QStringLiteral("    BY u ") + Int(W->ChainHeight) + "mm");
        W->ChainHeight = 0;
    }
    if (T2() == QLatin1String("77")) Line(QStringLiteral("    VAR !NA2 NAME"));
    if (T3In({"351", "353"}) && (W->MtoClampFlag || W->MtoPartFlag)) {
        Line(QStringLiteral("   :MDSVPRMMTO FALSE"));
        W->MtoClampFlag = false;
    }
    if (T3() == QLatin1String("341")) W->MtoPartFlag = true;
}

void WriteDespForSize() {
    const auto& r = ConstructionRecord;
    const int current = Index();
    const KeptKey key;
    const bool pinned = T3In({"795", "798", "799"});
    const bool t794 = T3() == QLatin1String("794");
    QString n;
    if (pinned) n = DespNextSizeNumber(SizeCode());
    else if (t794) n = DespSizeNumber(NumberText(PartEntry(current - 1)).mid(3, 2));
    else n = DespSizeNumber(SizeCode());
    QString text = n.isEmpty() ? QString() : QStringLiteral("    DESP  ") + n + " ";
    if (W->SingleDespPending || T3() == QLatin1String("798")) {
        // Without a kept text (the clamp kept none) the table's text stays:
        // the line must still be a DESP statement.
        if (!W->KeptSingleDesp.isEmpty()) text = W->KeptSingleDesp;
        W->SingleDespPending = false;
    }
    SetSearchKey(PartEntry(t794 ? current + 1 : current - 1));
    if (const QString neighbour = DespSizeNumber(SizeCode()); !neighbour.isEmpty())
        text += neighbour + " " + PmlShortest(r.K_BREITE);
    key.Restore();
    if (pinned) text += QStringLiteral(" ") + Int(r.K_BLOCKIER);
    Line(text);
}

void WriteType49Element() {
    BlankLine();
    Line(QStringLiteral("  NEW HELE"));
    Line(QStringLiteral("    SPRE SPCO ") + Component(QStringLiteral("49000") + Int(PgrsrlRecord.RSL_LG_BIS)));
    Line(QStringLiteral("    LSRO SPCO ") + Component(QStringLiteral("M00")));
    Line(QStringLiteral("    DESP  00 00 ") + Int(PgrsrlRecord.RSL_LG_VON));
    Line(QStringLiteral("    CONN"));
    Line(QStringLiteral("    ORI AND Y IS $!OR"));
    Line(QStringLiteral("    ROT ABO Z by 90"));
}

void WriteBoltList() {
    static const char* const Plain[] = {"63D929", "63D929", "632928", "632928", "633928", "634928", "635928", "636928",
                                        "637928", "638928", "639928", "631028", "632028", "633028", "634028", "635028"};
    static const char* const Nuclear[] = {"63D959", "63D959", "632958", "632958", "633958", "634958", "635958", "636958",
                                          "637958", "638958", "639958", "631058", "632058", "633058", "634058", "635058"};
    const auto& r = ConstructionRecord;
    bool ok = false;
    const int size = SizeCode().toInt(&ok);
    QString nut;
    if (ok && size >= 9 && size <= 24) nut = QString::fromLatin1((r.K_KERNTECH ? Nuclear : Plain)[size - 9]);
    Line(QStringLiteral("  "));
    Line(QStringLiteral("   !bolts=ARRAY()"));
    int count = 1;
    if (T2In({"64", "66", "67"})) ++count;
    if (W->PairState == 1) {
        count += 2;
        W->PairState = 2;
    }
    if (W->Seen791) {
        ++count;
        if (T2In({"61", "60"})) ++count;
    }
    if (r.K_AN_GEB == 74 && (Index() == 2 || Index() == 3)) ++count;
    SetSearchKey(PartEntry(1));
    if (T2() == QLatin1String("25")) {
        if (r.K_AUFLAGER_KZ ? (Index() == 3 || Index() == 4) : (Index() == 2 || Index() == 3)) ++count;
    }
    const QString append = QStringLiteral("   !bolts.append( /") + Spec() + "/" + nut + " )";
    for (int i = 0; i < count; ++i) Line(append);
    Line(QStringLiteral("   !!CE.:USTNUTREF = !bolts"));
    Line(QStringLiteral("   !bolts.delete()"));
}

void LoadType39Or34Dims() {
    auto& r = ConstructionRecord;
    for (int i = 1; i <= 30; ++i) {
        const double number = PartEntry(i);
        if (number == 0) break;
        const QString type = NumberText(number).left(2);
        if (type != QLatin1String("39") && type != QLatin1String("34")) continue;
        SetSearchKey(number);
        if (ReadDynamic()) {
            r.K_STAT_LAST_LG_H = 0;
            r.K_STAT_LAST_LG_HZ = 0;
            r.K_STAT_LAST_LG_HS = 0;
        }
    }
}

namespace {

void WriteTypeOffsetRotation() {
    const auto& r = ConstructionRecord;
    int& pos = W->RestLengthPosition;
    // Lowered past empty rod lengths; never below 0.
    --pos;
    while (pos > 0 && RestLength(pos) == 0) --pos;
    if (pos <= 0) {
        pos = 0;
        W->OffsetPending = 0;
        return;
    }
    if (Index() == 1 && T2In({"25", "72"})) W->ShiftHeightSum += PgstatRecord.STA_E + r.K_BLOCKIER;
    if (T2() == QLatin1String("72")) {
        SetSearchKey(PartEntry(1));
        ReadStatic();
        W->ShiftHeightSum += PgstatRecord.STA_E + r.K_BLOCKIER;
    }
    const long long shift = (long long)std::trunc(RestLength(pos)) + W->ShiftHeightSum;
    Line(QStringLiteral("    BY u ") + PmlShiftText(shift) + "mm");
    W->ShiftHeightSum = 0;
    if (T2In({"11", "71"}) && BridgeRecords.DrehungKh) Line(QStringLiteral("    ROT BY 90"));
    W->OffsetPending = 0;
}

// A 72 also takes entry 1's height (the part it stands on); then the 72
// is put back as the part at hand. Taking entry 2 back instead, as the
// rule reads for the 72 that stands at entry 2, would write another part
// in its place (and that part twice) wherever the 72 stands higher.
void AddChainHeight() {
    const auto& r = ConstructionRecord;
    if (T2() == QLatin1String("72")) W->ChainHeight += PgstatRecord.STA_E;
    if (T2() == QLatin1String("25")) W->ChainHeight += PgstatRecord.STA_E + r.K_BLOCKIER;
    if (T2() == QLatin1String("72")) {
        SetSearchKey(PartEntry(1));
        ReadStatic();
        W->ChainHeight += PgstatRecord.STA_E + r.K_BLOCKIER;
        SetSearchKey(PartEntry(Index()));
        ReadStatic();
    }
}

void WriteUpOffset() {
    WriteHangerElement();
    WriteTypeOffsetRotation();
    WriteBoltList();
    const int pos = W->RestLengthPosition;
    if (pos != 0) {
        const int count = GroupCount(pos);
        int rod = 0;
        while (--Index() >= 1) {
            const double number = PartEntry(Index());
            if (number == 0) continue;
            SetSearchKey(number);
            if (!IsRod()) {
                ++Index();
                break;
            }
            if (ReadStatic()) {
                rod = Index();
                break;
            }
        }
        if (Index() < 1) Index() = 0;
        if (rod != 0) {
            for (int i = 1; i < count; ++i) {
                Index() = rod + 1;
                SetSearchKey(PartEntry(rod + 1));
                ReadStatic();
                WriteHangerElement();
                SetSearchKey(PartEntry(rod));
                ReadStatic();
                Line(QStringLiteral("    BY u ") + Int(PgstatRecord.STA_E) + "mm");
                SetSearchKey(PartEntry(rod + 1));
                ReadStatic();
                WriteBoltList();
            }
            Index() = rod;
            SetSearchKey(PartEntry(rod));
            ReadStatic();
        }
    }
    int height = PgstatRecord.STA_E;
    if (ConstructionRecord.K_KATA_KZ) {
        if (height == 3000) height = 3657;
        else if (height == 2500) height = 3048;
        else if (height == 2000) height = 2438;
    }
    W->ChainHeight = height;
}

void WriteSecondHanger() {
    const auto& r = ConstructionRecord;
    BlankLine();
    Line(QStringLiteral("    OWN"));
    Line(QStringLiteral("    CONN PT TO LAST MEM"));
    BlankLine();
    if (W->Seen740) {
        Line(QStringLiteral("    SAME"));
        Line(QStringLiteral("    FLIP"));
        Line(QStringLiteral("    ORI"));
        Line(QStringLiteral("    POS PA THROUGH UP ") + PmlFixed(r.K_HM_Q_2, 7, 0) + " WRT /*");
        BlankLine();
    }
    Line(QStringLiteral("NEW HANG /") + W->Mark + "/H2");
    Line(QStringLiteral("    HSPE SPEC /") + Spec());
    QString rod = ThreadForSize(SizeCode());
    if (rod.isEmpty()) rod = QStringLiteral("M00");
    if (Letter(3) == u'H' && Letter(5) == u'D' && Letter(6) == u'L' && Letter(7) == u'D') {
        ReadStatic();
        rod = Nuclear() ? StaNrK() : StaNr();
    }
    Line(QStringLiteral("    HSRO SPCO ") + Component(Letter(4) == u'Y' ? QStringLiteral("M00") : rod));
    Line(QStringLiteral("    CONN HH TO P3 of $!HH"));
}

// The 796 element that goes before a 798 part: the first static row at or
// above the 798's number with type 796 and digit 6 "0" (a 796 of a larger
// size serves when the size has none). Without a 796 row there, the
// companion is a part without a row and is passed over like any other: the
// 798 is written on its own. The row found must be a 796: the next row of
// another type (the 798 itself, say) is no companion.
void WriteCompanion796(bool mtoLine) {
    const double own = SearchKeyNumber();
    QString key = KeyText();
    key.replace(0, 3, QStringLiteral("796"));
    key[5] = u'0';
    SetSearchKey(key.toDouble());
    PgstatRecord.STA_NRN = key.toDouble();
    PgstatStart();
    if (CalcGlobals.TableStatus == 0) PgstatReadNext();
    if (CalcGlobals.TableStatus == 0 && NumberText(PgstatRecord.STA_NRN).startsWith(QLatin1String("796"))) {
        WriteHangerElement();
        Line(QStringLiteral("    LEAVE 4"));
        if (mtoLine) Line(QStringLiteral("   :MDSVPRMMTO FALSE"));
    }
    SetSearchKey(own);
    ReadStatic();
}

bool Is63Or4() { return T2() == QLatin1String("63") || Digit(1) == u'4'; }
bool IsDSkipped() { return T2In({"63", "87", "88"}) || Digit(1) == u'4'; }

void DWalkPasses();

void REWalk() {
    StartWalk();
    while (StepDown()) {
        if (T2() == QLatin1String("63")) continue;
        if (T2() == QLatin1String("49") && Digit(7) == u'0') {
            WriteType49Element();
            continue;
        }
        if (Digit(1) == u'4') continue;
        if (!ReadStatic()) continue;
        if (T2() == QLatin1String("79") && Letter(5) == u'D') {
            ++Index();
            W->ShiftHeightSum = 0;
            W->OffsetPending = 0;
            DWalkPasses();
            return;
        }
        if (T2() == QLatin1String("91")) {
            W->AddMatText += QStringLiteral(" /") + Spec() + "/" + (Nuclear() ? StaNrK() : StaNr());
            continue;
        }
        if (IsRod()) {
            W->OffsetPending = 1;
            WriteBoltList();
            continue;
        }
        if (T2() == QLatin1String("64")) {
            W->Group64Open = true;
            WriteUpOffset();
            continue;
        }
        if (W->Group64Open && T2In({"25", "72"})) {
            AddChainHeight();
            W->Group64Open = false;
        }
        WriteHangerElement();
        if (T3() == QLatin1String("650")) WriteBoltList();
        if (W->OffsetPending == 1) WriteTypeOffsetRotation();
    }
}

// False when the walk ends inside the step.
bool DFirstPass() {
    while (StepDown()) {
        if (T3() == QLatin1String("740")) W->Seen740 = true;
        if (T2In({"45", "48"})) W->SecondSideEntry = Index();
        if (IsDSkipped()) continue;
        if (!ReadStatic()) continue;
        if (IsRod()) {
            WriteBoltList();
            if (--Index() < 1) return false;
            SetSearchKey(PartEntry(Index()));
            if (!ReadStatic()) continue;
            if (T2() == QLatin1String("64")) {
                W->Group64Open = true;
                WriteUpOffset();
            } else {
                W->OffsetPending = 1;
            }
            const int q = Index() + (Letter(7) == u'C' && W->RestLengthPosition > 2 ? 1 : 0);
            int i = q - 1;
            while (i >= 1) {
                const QString t = NumberText(PartEntry(i));
                if (PartEntry(i) != 0 && (t.startsWith(QLatin1String("660")) || t.startsWith(QLatin1String("670")) ||
                                          t.startsWith(QLatin1String("64"))))
                    --i;
                else
                    break;
            }
            Index() = i + 1;
            continue;
        }
        if (T3() == QLatin1String("798")) WriteCompanion796(true);
        if (W->Group64Open && T2In({"25", "72"})) {
            AddChainHeight();
            W->Group64Open = false;
        }
        if (T3() == QLatin1String("791")) W->Seen791 = true;
        WriteHangerElement();
        if (T3() == QLatin1String("650")) WriteBoltList();
        if (W->OffsetPending == 1) WriteTypeOffsetRotation();
        if (T2() == QLatin1String("79")) {
            Line(QStringLiteral("    VAR !HH NAME"));
            W->SecondSideEntry = Index();
        }
        if (T2In({"11", "21"})) W->OffsetPending = 0;
    }
    return true;
}

// Goes to the first part of the second side and writes its hanger head;
// false when there is none.
bool StartSecondSide() {
    Index() = W->SecondSideEntry;
    if (!StepDown()) return false;
    WriteSecondHanger();
    return true;
}

void DSecondPass() {
    while (StepDown()) {
        if (IsDSkipped()) continue;
        if (!ReadStatic()) continue;
        if (IsRod()) {
            if (W->PairState != 2) {
                if (!W->Seen791) WriteBoltList();
            } else {
                W->PairState = 0;
            }
            if (Letter(7) == u'C') {
                if (W->RestLengthPosition != 4) {
                    --W->RestLengthPosition;
                    --Index();
                    SetSearchKey(PartEntry(Index()));
                    if (T2() == QLatin1String("64")) Index() -= 2;
                }
            } else if (W->RestLengthPosition == 2) {
                --Index();
                SetSearchKey(PartEntry(Index()));
                if (T2() == QLatin1String("64")) Index() -= 2;
            }
            W->OffsetPending = 2;
            if (--Index() < 1) return;
            const double number = PartEntry(Index());
            if (number == 0) continue;
            SetSearchKey(number);
            if (IsDSkipped()) continue;
            if (!ReadStatic()) continue;
            if (T2() == QLatin1String("64")) {
                W->Group64Open = true;
                WriteUpOffset();
                continue;
            }
            W->OffsetPending = 1;
        }
        if (W->Group64Open && T2In({"25", "72"})) {
            AddChainHeight();
            W->Group64Open = false;
        }
        WriteHangerElement();
        if (T3() == QLatin1String("650")) WriteBoltList();
        if (W->OffsetPending == 1) WriteTypeOffsetRotation();
        if (W->Seen791) {
            WriteBoltList();
            W->Seen791 = false;
        }
        if (T2In({"11", "21"})) W->OffsetPending = 0;
    }
}

void DWalkPasses() {
    if (!DFirstPass()) return;
    if (!StartSecondSide()) return;
    W->ShiftHeightSum = 0;
    W->RestLengthPosition = Letter(7) == u'C' ? 4 : 2;
    W->OffsetPending = 0;
    Index() = W->SecondSideEntry;
    DSecondPass();
}

void DWalk() {
    if (Letter(6) == u'S') {
        REWalk();
        return;
    }
    StartWalk();
    DWalkPasses();
}

// A rod opens a bolt list and leaves its offset pending; a type 64 is an
// upward offset. True when the entry was either and is written.
bool WriteRodOrUpOffset() {
    if (IsRod()) {
        W->OffsetPending = 1;
        WriteBoltList();
        return true;
    }
    if (T2() == QLatin1String("64")) {
        WriteUpOffset();
        return true;
    }
    return false;
}

void TWalk() {
    StartWalk();
    while (StepDown()) {
        if (T2In({"45", "48"})) W->SecondSideEntry = Index();
        if (Is63Or4()) continue;
        if (!ReadStatic()) continue;
        if (WriteRodOrUpOffset()) continue;
        if (T3() == QLatin1String("798")) WriteCompanion796(false);
        WriteHangerElement();
        if (T3() == QLatin1String("650")) WriteBoltList();
        if (T2() == QLatin1String("79") && Digit(3) != u'4') {
            Line(QStringLiteral("    VAR !HH NAME"));
            W->SecondSideEntry = Index();
            if (Letter(6) == u'S' && Letter(7) > u'C') W->ShiftHeightSum = 0;
        }
        if (W->OffsetPending == 1) WriteTypeOffsetRotation();
        if (T3() == QLatin1String("794") && Letter(7) < u'D') W->ShiftHeightSum = 0;
    }
    if (!StartSecondSide()) return;
    W->ShiftHeightSum = 0;
    W->OffsetPending = 0;
    W->RestLengthPosition = Letter(7) == u'C' || Letter(7) == u'E' ? 4 : 3;
    Index() = W->SecondSideEntry;
    // The second side ends at the first empty entry or the first type 79.
    while (--Index() >= 1) {
        const double number = PartEntry(Index());
        if (number == 0) return;
        SetSearchKey(number);
        if (Is63Or4()) continue;
        if (T2() == QLatin1String("79")) return;
        if (!ReadStatic()) continue;
        if (WriteRodOrUpOffset()) continue;
        WriteHangerElement();
        if (T3() == QLatin1String("650")) WriteBoltList();
        if (W->OffsetPending == 1) WriteTypeOffsetRotation();
    }
}

// The row of the part at hand: dynamic or static.
bool ReadYfgRow(bool dynamic) { return dynamic ? ReadDynamic() : ReadStatic(); }

void YfgWalk() {
    const auto& r = ConstructionRecord;
    W->ExchangeDone = false;
    StartWalk();
    while (StepDown()) {
        if (T2() == QLatin1String("38")) W->SecondSideEntry = Index();
        if (T2In({"36", "37", "38"})) continue;
        if (T3In({"351", "353"}) && r.K_DYN_RSBK_KZ) continue;
        if (T3() == QLatin1String("300") && Digit(8) > u'1' && !W->ExchangeDone && Index() > 1) {
            SwapPartEntries(Index(), Index() - 1);
            SetSearchKey(PartEntry(Index()));
            W->ExchangeDone = true;
        }
        if (T3() == QLatin1String("202")) {
            const KeptKey key;
            SetSearchKey(PartEntry(Index() - 1));
            ReadStatic();
            W->KeptHeight = PgstatRecord.STA_E;
            key.Restore();
        }
        if (T3() == QLatin1String("209") && !W->ExchangeDone && Index() > 1) {
            ReadStatic();
            W->KeptHeight = PgstatRecord.STA_E;
            SwapPartEntries(Index(), Index() - 1);
            SetSearchKey(PartEntry(Index()));
            W->ExchangeDone = true;
        }
        if (!ReadYfgRow(Digit(1) == u'3')) continue;
        WriteHangerElement();
        if (T2() == QLatin1String("34")) {
            Line(QStringLiteral("    VAR !HH NAME"));
            W->SecondSideEntry = Index();
        }
    }
    if (Letter(5) != u'D') return;
    if (!StartSecondSide()) return;
    bool first = true;
    do {
        const bool dynamic = first || Digit(1) == u'3';
        first = false;
        if (T3In({"351", "353"}) && r.K_DYN_RSBK_KZ) continue;
        if (!ReadYfgRow(dynamic)) continue;
        WriteHangerElement();
    } while (StepDown());
}

}  // namespace

void WritePartChain() {
    // A walk that meets no part starting a second side has none: it starts
    // from entry 0 and ends at once.
    W->SecondSideEntry = 0;
    const QChar l4 = Letter(4), l5 = Letter(5);
    if (l4 == u'Y' || l4 == u'F' || l4 == u'G') YfgWalk();
    else if (l4 == u'R' || l5 == u'E') REWalk();
    else if (l5 == u'D') DWalk();
    else if (l5 == u'T') TWalk();
}

}  // namespace pml
