// The diameter and hanger-type dialogs on a real catalogue, offscreen:
// their lists and filters, and that a choice is handed back only on OK.
#include "TransferFixture.h"
#include "data/ABHGNR.h"
#include "data/CblTools.h"
#include "forms/HDurdat.h"
#include "forms/HDurdatCold.h"
#include "forms/HaengerTyp.h"
#include "forms/PickListForm.h"
#include "forms/rules/HostTransfer.h"
#include "localisation/IvBinDic.h"
#include "ui/MultiLang.h"

#include <QApplication>
#include <QGroupBox>
#include <QLineEdit>
#include <QScopeGuard>
#include <QPushButton>
#include <QTableWidget>
#include <QtTest>

namespace {

struct HangerSpec {
    const char* nrn;
    bool kh, lang, t20, t21, t25, t29;
    const char* l, *l20, *l25, *l29;
    const char* fdrM, *fdrI;
};
// Neighbours differ in one flag each, so a wrong filter shows a wrong row.
const HangerSpec Hangers[] = {
    {"11000001", true, true, false, true, false, false, "KL1", "K20-1", "K25-1", "K29-1", "1.0", "5.7"},
    {"11000002", true, false, false, true, false, false, "KL2", "K20-2", "K25-2", "K29-2", "2.0", "11.4"},
    {"11000003", true, false, true, false, true, false, "KL3", "K20-3", "K25-3", "K29-3", "3.0", "17.1"},
    {"21000004", false, true, false, true, false, true, "FL4", "F20-4", "F25-4", "F29-4", "4.0", "22.8"},
    {"21000005", false, false, true, false, false, true, "FL5", "F20-5", "F25-5", "F29-5", "5.0", "28.5"},
    {"11000006", true, true, false, false, true, true, "KL6", "K20-6", "K25-6", "K29-6", "6.0", "34.2"},
};

QStringList Column(const QTableWidget* grid, int col) {
    QStringList out;
    for (int r = 0; r < grid->rowCount(); ++r)
        out << grid->item(r, col)->text();
    return out;
}

// Each dialog with its printing counted instead of sent to a printer.
template <class Dialog>
class Counted : public Dialog {
public:
    using Dialog::Dialog;
    int prints = 0;
    bool PrintForm() override {
        ++prints;
        return true;
    }
};

void SetName(const char* name) {
    for (int i = 0; i < 8; ++i)
        ArrangementRecord.A_NAME[i] = name[i];
}

}  // namespace

class TestDialogs : public QObject {
    Q_OBJECT
    std::unique_ptr<TransferFixture> fx;

private slots:
    void initTestCase() {
        fx = std::make_unique<TransferFixture>();
        for (const HangerSpec& h : Hangers)
            fx->Insert(QStringLiteral("HAENGER.DB"),
                       {{"STA_NRN", h.nrn}, {"KH", h.kh}, {"LANG", h.lang}, {"T20", h.t20}, {"T21", h.t21},
                        {"T25", h.t25}, {"T29", h.t29}, {"STA_L_NR", h.l}, {"STA_L_NR_20", h.l20},
                        {"STA_L_NR_25", h.l25}, {"STA_L_NR_29", h.l29}, {"FDR_M", h.fdrM}, {"FDR_I", h.fdrI}});
        fx->Start();
    }
    void cleanupTestCase() { fx.reset(); }
    void init() { ResetCalcState(); }

    void diameterListAndOk_data() {
        QTest::addColumn<bool>("imperial");
        QTest::addColumn<QString>("handed");
        QTest::newRow("metric") << false << "114.3";
        QTest::newRow("imperial") << true << "4.5";
    }
    void diameterListAndOk() {
        QFETCH(bool, imperial);
        QFETCH(QString, handed);
        ConstructionRecord.K_EINH_KZ = imperial;
        QLineEdit rdm(QStringLiteral("88.9"));
        TFHelpDurdat dlg(nullptr, &rdm);
        QCOMPARE(Column(dlg.SG, 0), QStringList({"60.3", "88.9", "114.3", "168.3", "219.1"}));
        QCOMPARE(dlg.SG->horizontalHeaderItem(1)->text(), QStringLiteral("inch"));
        dlg.show();
        dlg.SG->setCurrentCell(2, 0);
        QCOMPARE(rdm.text(), QStringLiteral("88.9"));  // choosing alone writes nothing
        dlg.BitBtn1->click();
        QCOMPARE(rdm.text(), handed);
        QCOMPARE(dlg.result(), int(QDialog::Accepted));
    }

    void diameterEscKeepsField() {
        QLineEdit rdm(QStringLiteral("88.9"));
        TFHelpDurdat dlg(nullptr, &rdm);
        dlg.show();
        dlg.SG->setCurrentCell(4, 0);
        QTest::keyClick(dlg.SG, Qt::Key_Escape);
        QVERIFY(!dlg.isVisible());
        QCOMPARE(dlg.result(), int(QDialog::Rejected));
        QCOMPARE(rdm.text(), QStringLiteral("88.9"));
    }

    void coldFilters_data() {
        QTest::addColumn<int>("item");
        QTest::addColumn<QStringList>("rows");
        QTest::newRow("all") << 0 << QStringList({"60.3", "88.9", "114.3", "168.3", "219.1"});
        QTest::newRow("type 40") << 1 << QStringList({"60.3", "114.3", "219.1"});
        QTest::newRow("type 54") << 2 << QStringList({"88.9", "168.3"});
        QTest::newRow("type 56") << 3 << QStringList();
        QTest::newRow("type 58") << 4 << QStringList({"114.3", "168.3", "219.1"});
    }
    void coldFilters() {
        QFETCH(int, item);
        QFETCH(QStringList, rows);
        QLineEdit rdm;
        {
            TFHelpDurdatCold dlg(nullptr, &rdm);
            QCOMPARE(dlg.SG->rowCount(), 5);
            dlg.SetItemIndex(item);
            QCOMPARE(Column(dlg.SG, 0), rows);
            dlg.SG->setCurrentCell(0, 0);
            dlg.BitBtn1->click();
            QCOMPARE(rdm.text(), rows.value(0));
        }
        // Closed, the list leaves the diameter table unfiltered for the
        // diameter field's own look-up.
        QVERIFY(!DBKONST->DURDATDB.Filtered() || DBKONST->DURDATDB.Filter().isEmpty());
        const auto e = PipeDiameterExit(QStringLiteral("88"), {}, false, CatalogueDiameterLookup());
        QCOMPARE(e->rdm, 88.9);
    }

    // The cold list's filter group keeps its title whole in German and in
    // English, also across a live switch.
    void coldTitleIsWhole() {
        DictionaryScope dictionaries;
        IvBinaryDictionaryGlobal->SetFileName(QStringLiteral(KORVA_BINARY_DIR "/Korva32.mld"));
        IvBinaryDictionaryGlobal->SetLanguage(2);
        IvBinaryDictionaryGlobal->Open();
        const auto close = qScopeGuard([] { IvBinaryDictionaryGlobal->Close(); });
        QLineEdit rdm;
        TFHelpDurdatCold dlg(nullptr, &rdm);
        dlg.show();
        for (const auto& [language, title] : {std::pair{1, "Verfügbare Durchmesser"}, std::pair{2, "Available diameters"},
                                              std::pair{1, "Verfügbare Durchmesser"}}) {
            IvBinaryDictionaryGlobal->SetLanguage(language);
            QApplication::processEvents();
            QCOMPARE(dlg.RadioGroup1->title(), QString::fromUtf8(title));
            const int needed = dlg.RadioGroup1->fontMetrics().horizontalAdvance(dlg.RadioGroup1->title()) + 16;
            QVERIFY2(dlg.RadioGroup1->width() >= needed,
                     qPrintable(QStringLiteral("%1 < %2").arg(dlg.RadioGroup1->width()).arg(needed)));
            QVERIFY(dlg.width() >= 145);
        }
    }

    // One key handling serves the three lists: F10 prints and keeps the
    // list open, Esc closes it and hands nothing back, a double click
    // hands the row back.
    void pickListKeys_data() {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("handed");
        QTest::newRow("diameters") << 0 << "88.9";
        QTest::newRow("cold diameters") << 1 << "88.9";
        QTest::newRow("hanger types") << 2 << "KL2";
    }
    void pickListKeys() {
        QFETCH(int, kind);
        QFETCH(QString, handed);
        SetName("SHHAESBH");
        QLineEdit rdm(QStringLiteral("60.3"));
        const auto make = [&]() -> std::unique_ptr<TPickListForm> {
            if (kind == 0) return std::make_unique<Counted<TFHelpDurdat>>(nullptr, &rdm);
            if (kind == 1) return std::make_unique<Counted<TFHelpDurdatCold>>(nullptr, &rdm);
            return std::make_unique<Counted<TFTyp>>(nullptr);
        };
        const auto list = [](TPickListForm& d) { return d.findChild<QTableWidget*>(); };
        const auto prints = [kind](TPickListForm& d) {
            if (kind == 0) return static_cast<Counted<TFHelpDurdat>&>(d).prints;
            if (kind == 1) return static_cast<Counted<TFHelpDurdatCold>&>(d).prints;
            return static_cast<Counted<TFTyp>&>(d).prints;
        };
        const auto handedBack = [&] {
            return kind == 2 ? QString::fromLatin1(CalcGlobals.PreselectedLoadNumber, 6).trimmed() : rdm.text();
        };
        const QString before = handedBack();
        {
            auto dlg = make();
            dlg->show();
            QTableWidget* grid = list(*dlg);
            QVERIFY(grid && grid->rowCount() > 1);
            grid->setCurrentCell(1, 0);
            QTest::keyClick(grid, Qt::Key_F10);
            QCOMPARE(prints(*dlg), 1);
            QVERIFY(dlg->isVisible());
            QTest::keyClick(grid, Qt::Key_Escape);
            QVERIFY(!dlg->isVisible());
            QCOMPARE(dlg->result(), int(QDialog::Rejected));
            QCOMPARE(handedBack(), before);
        }
        {
            auto dlg = make();
            dlg->show();
            QTableWidget* grid = list(*dlg);
            grid->setCurrentCell(1, 0);
            emit grid->cellDoubleClicked(1, 0);
            QCOMPARE(dlg->result(), int(QDialog::Accepted));
            QCOMPARE(handedBack(), handed);
            QCOMPARE(prints(*dlg), 0);
        }
    }

    void hangerFilter_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("wegKz");
        QTest::addColumn<QString>("expression");
        QTest::addColumn<QString>("column");
        QTest::newRow("long") << "SHHAESXH" << false << "LANG = 1 and KH = 1" << "STA_L_NR";
        QTest::newRow("travel range") << "SHHAESXH" << true << "KH = 1" << "STA_L_NR";
        QTest::newRow("L4 F") << "SHHFESXH" << false << "T20 = 1 and KH = 1" << "STA_L_NR_20";
        QTest::newRow("L4 R") << "SHHRESXH" << false << "T29 = 1 and KH = 1" << "STA_L_NR_29";
        QTest::newRow("L7 A") << "SHHAESAH" << false << "T25 = 1 and KH = 1" << "STA_L_NR_25";
        QTest::newRow("L7 B") << "SHHAESBH" << false << "T21 = 1 and KH = 1" << "STA_L_NR";
        QTest::newRow("L7 H") << "SHHAESHH" << false << "T21 = 1 and KH = 1" << "STA_L_NR";
        QTest::newRow("L7 I") << "SHHAESIH" << false << "LANG = 1 and KH = 1" << "STA_L_NR";
        QTest::newRow("L4 F, L7 B: later wins") << "SHHFESBH" << false << "T21 = 1 and KH = 1" << "STA_L_NR";
    }
    void hangerFilter() {
        QFETCH(QString, name);
        QFETCH(bool, wegKz);
        QFETCH(QString, expression);
        QFETCH(QString, column);
        const HangerTypeFilter f = HangerTypeFilterOf(name, wegKz, true);
        QCOMPARE(f.expression, expression);
        QCOMPARE(f.loadColumn, column);
        QCOMPARE(HangerTypeFilterOf(name, wegKz, false).expression, QString(expression).replace("KH = 1", "KH = 0"));
    }

    void hangerTypeList() {
        SetName("SHHAESBH");  // T21, column STA_L_NR
        TFTyp dlg;
        QCOMPARE(Column(dlg.DBGrid1, 0), QStringList({"KL1", "KL2"}));
        QCOMPARE(Column(dlg.DBGrid1, 1), QStringList({"1.0", "2.0"}));
        dlg.SetKindIndex(1);
        QCOMPARE(Column(dlg.DBGrid1, 0), QStringList({"FL4"}));
        ConstructionRecord.K_KATA_KZ = true;
        SetName("SHHRESXH");  // T29, column STA_L_NR_29
        dlg.SetKindIndex(0);
        QCOMPARE(Column(dlg.DBGrid1, 0), QStringList({"K29-6"}));
        QCOMPARE(Column(dlg.DBGrid1, 1), QStringList({"34.2"}));
    }

    void hangerChoiceOnlyOnOk() {
        SetName("SHHAESAH");  // T25, column STA_L_NR_25
        {
            TFTyp dlg;
            dlg.show();
            QTest::qWait(1);
            QCOMPARE(QString::fromLatin1(CalcGlobals.PreselectedLoadNumber, 6), QStringLiteral("000000"));
            QVERIFY(!ConstructionRecord.K_VGB_KZ);
            dlg.DBGrid1->setCurrentCell(1, 0);
            dlg.BitBtn1->click();
        }
        QCOMPARE(QString::fromLatin1(CalcGlobals.PreselectedLoadNumber, 6), QStringLiteral("K25-6 "));
        QCOMPARE(CalcGlobals.PreselectedProductNumber, 11000006);
        QVERIFY(ConstructionRecord.K_VGB_KZ);
        {
            // A second visit left with Esc keeps the first choice.
            TFTyp dlg;
            dlg.show();
            dlg.DBGrid1->setCurrentCell(0, 0);
            QTest::keyClick(dlg.DBGrid1, Qt::Key_Escape);
            QCOMPARE(dlg.result(), int(QDialog::Rejected));
        }
        QCOMPARE(CalcGlobals.PreselectedProductNumber, 11000006);
        QCOMPARE(QString::fromLatin1(CalcGlobals.PreselectedLoadNumber, 6), QStringLiteral("K25-6 "));
    }
};

QTEST_MAIN(TestDialogs)
#include "tst_dialogs.moc"
