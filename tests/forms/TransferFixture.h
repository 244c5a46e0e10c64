#pragma once
// A small catalogue for the input form's tests: configurations with
// neighbours that differ only in the field a lookup must respect (order,
// scope, host number), and diameters with gaps.
#include "data/tst_access_fixture.h"
#include "host/GlobalVars4KORVA_MDS.h"

#include <QVariantMap>

struct ConfigurationSpec {
    int nr;
    const char* name;
    const char* ber;
    int anzD, anzQ;
    const char* mds;
    int order;
    bool statDyn, statCold;
    int bx = 0;
};

inline const ConfigurationSpec DemoConfigurations[] = {
    {106, "SHHAESCH", " ", 1, 2, "1", 0, true, true},     // same number, cold scope
    {101, "SHHAESBH", "H", 1, 2, "1", 1, true, false},    // the static "1"
    {104, "SHHAESXX", " ", 0, 0, "1", 3, true, false},    // same number, later in order
    {105, "SHHAESDH", " ", 1, 2, "1", -1, true, false},   // hidden from the host
    {102, "SHHAESBS", " ", 1, 2, "2", 2, true, false},
    {103, "SHHRELBS", " ", 0, 2, "6h", 3, true, false, 10},
    {301, "SHHYESBS", " ", 1, 2, "7", 1, false, false},
    {302, "SHHYESBH", " ", 1, 2, "7", 2, false, false},
    {201, "CHHRESAS", " ", 1, 0, "6", 1, true, true},
};

struct DiameterSpec {
    double od;
    bool typ40;
};
inline const DiameterSpec DemoDiameters[] = {{60.3, true}, {88.9, false}, {114.3, true}, {168.3, false}, {219.1, true}};

class TransferFixture : public CatalogueFixture {
public:
    TransferFixture() {
        for (const ConfigurationSpec& c : DemoConfigurations)
            Insert(QStringLiteral("ABHGNR.DB"),
                   {{"A_NR", c.nr}, {"A_NAME", c.name}, {"A_BER", c.ber}, {"A_ANZ_D", c.anzD}, {"A_ANZ_Q", c.anzQ},
                    {"A_MDS_NO", c.mds}, {"A_ORDERNO", c.order}, {"STAT_DYN", c.statDyn}, {"STAT_COLD", c.statCold},
                    {"BX", c.bx}, {"BY", c.bx ? 40 : 0}, {"QX1", 150}, {"QY1", 20}, {"QX2", 150}, {"QY2", 270},
                    {"DX1", 160}, {"DY1", 140}});
        double previous = 0;
        int code = 1;
        for (const DiameterSpec& d : DemoDiameters) {
            Insert(QStringLiteral("Durdat.DB"),
                   {{"D_R_DM", d.od}, {"D_R_DI", d.od / 25.4}, {"D_MIN_ABS", previous}, {"D_MAX_ABS", d.od + 1},
                    {"D_R_DM_KZ", code++}, {"D_EMIN_MM", d.od - 2}, {"D_EMAX_MM", d.od / 25.4}, {"TYP40", d.typ40},
                    {"TYP54", !d.typ40}, {"TYP56", false}, {"TYP58", d.od > 100}});
            previous = d.od + 1;
        }
    }

    // The host globals of a spring hanger, as the reader leaves them.
    static void SetHost(const QString& config) {
        ResetHostGlobals();
        MdsHangerMark = QStringLiteral("H-1");
        MdsDwgNo = QStringLiteral("101");
        MdsLoadNormal = 10;
        MdsLoadEmergency = 12;
        MdsLoadFailure = 14;
        MdsLoadHydro = 20;
        MdsPipeSize = QStringLiteral("114.30");
        MdsTemp = 200;
        MdsInsulation = 100;
        MdsPipeZ = 1000;
        MdsStaticVertical = 20;
        MdsStaticLateral = 3;
        MdsDynPositive = 7;
        MdsDynNegative = -7;
        MdsSteelElevLeft = QStringLiteral("3500");
        MdsSteelElevRight = QStringLiteral("3400");
        MdsPipeElev = QStringLiteral("1000");
        MdsSteelWidth = QStringLiteral("0");
        MdsRodLength = QStringLiteral("2500");
        MdsConfig = config;
    }
};
