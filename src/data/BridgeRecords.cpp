#include "data/BridgeRecords.h"

#include "data/CblTools.h"

#include <cstring>

TBridgeRecords BridgeRecords;

void TBridgeRecords::Clear(const QString& programDir) {
    for (BridgeItem& item : Items) {
        PutTextField(item.PartNumber, 8, QStringLiteral("00000000"));
        PutTextField(item.Dimension, 4, QStringLiteral("0000"));
        PutTextField(item.Position, 2, QStringLiteral("00"));
    }
    PutTextField(ProgramDir, 259, programDir);
    ResInt1 = ResInt2 = ResNum1 = 0;
    ResNum2 = 1.0f;
    PutTextField(ArrangementLetter, 1, QStringLiteral(" "));
    PutTextField(ClampFlag, 1, QStringLiteral(" "));
    PutTextField(BthAufges, 4, QStringLiteral("0000"));
    PutTextField(TotalHeight, 6, QStringLiteral("0000"));
    PutTextField(TotalHeightFeetInch, 11, QStringLiteral(" "));
    PutTextField(RohrKorr, 6, QStringLiteral("000000"));
    PutTextField(Text823, 1, QStringLiteral(" "));
    UnitLetter = 'M';
    const char* numberFill[3] = {"00000", "00000", "0000"};
    for (int i = 0; i < 3; ++i) {
        PutTextField(Numbers[i], 7, QString::fromLatin1(numberFill[i]));
        PutTextField(Texts[i], 13, QStringLiteral(" "));
    }
    DrehungAs = DrehungStahl = DrehungKh = DrehungS = false;
    Flag899 = Flag900 = true;
    PutTextField(Text901, 5, QStringLiteral(" "));
    PutTextField(Text907, 1, QStringLiteral(" "));
    Integers.fill(0);
    Floats.fill(0);
}
