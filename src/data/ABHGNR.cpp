#include "data/ABHGNR.h"

#include "data/CblTools.h"
#include "data/DBKON.h"
#include "data/TableAccess.h"

TArrangementRecord ArrangementRecord;

TArrangementRecord::TArrangementRecord() {
    BlankText(A_NAME);
    for (auto& nr : A_LFD_BT)
        PutIntField(nr, 2, 0);
    BlankText(A_BER);
}

void LoadArrangement() {
    const RowReader in(DBKONST->ABHGDB);
    TArrangementRecord& r = ArrangementRecord;
    const QString name = in.T("A_NAME");
    for (int i = 0; i < 8; ++i)
        r.A_NAME[i] = i < name.size() ? name.at(i).toLatin1() : ' ';
    PutText(r.A_BER, in.T("A_BER").left(1));
    for (int i = 0; i < 16; ++i)
        PutIntField(r.A_LFD_BT[i], 2, in.I(QStringLiteral("A_LFD_BT%1").arg(i + 1)));
}
