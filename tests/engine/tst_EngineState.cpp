// The engine's shared helpers: the arrangement letters, checked access to
// the fixed tables (both ends in, one beyond each refused), and the search
// key as digits and as a number.
#include "EngineFixture.h"
#include "data/CblTools.h"

class TestEngineState : public QObject {
    Q_OBJECT

    template <class Fn>
    static int Refused(Fn fn) {
        try {
            fn();
        } catch (const EngineStepError& e) {
            return e.Number();
        }
        return 0;
    }

private slots:
    void init() { ResetCalcState(); }

    void letters() {
        PutText(ArrangementRecord.A_NAME, QStringLiteral("ABCDEFGH"));
        PutText(ArrangementRecord.A_BER, QStringLiteral("I"));
        QString got;
        for (int n = 1; n <= 8; ++n)
            got += QLatin1Char(Letter(n));
        QCOMPARE(got, QStringLiteral("ABCDEFGH"));
        QCOMPARE(AreaLetter(), 'I');
        QCOMPARE(Refused([] { Letter(0); }), int(MsgTableIndexOutOfRange));
        QCOMPARE(Refused([] { Letter(9); }), int(MsgTableIndexOutOfRange));
    }

    // Each table takes its first and last entry and refuses the ones beside.
    void checkedTables_data() {
        QTest::addColumn<int>("table");
        QTest::addColumn<int>("size");
        QTest::newRow("chain parts") << 0 << 40;
        QTest::newRow("rod lengths") << 1 << 5;
        QTest::newRow("size dimensions") << 2 << 16;
        QTest::newRow("segment heights") << 3 << 5;
    }
    void checkedTables() {
        QFETCH(int, table);
        QFETCH(int, size);
        const auto touch = [table](int i) {
            switch (table) {
            case 0: ChainPartAt(i).Quantity = int16_t(i); break;
            case 1: RodLengthAt(i) = i; break;
            case 2: SizeDimensionAt(i) = int16_t(i); break;
            default: SegmentHeightAt(i) = i; break;
            }
        };
        QCOMPARE(Refused([&] { touch(1); }), 0);
        QCOMPARE(Refused([&] { touch(size); }), 0);
        QCOMPARE(Refused([&] { touch(0); }), int(MsgTableIndexOutOfRange));
        QCOMPARE(Refused([&] { touch(size + 1); }), int(MsgTableIndexOutOfRange));
        // Index 1 is the first entry, the size the last.
        switch (table) {
        case 0:
            QCOMPARE(int(CalcGlobals.ChainPartTable.front().Quantity), 1);
            QCOMPARE(int(CalcGlobals.ChainPartTable.back().Quantity), size);
            break;
        case 1:
            QCOMPARE(CalcGlobals.RodLengths.front(), 1);
            QCOMPARE(CalcGlobals.RodLengths.back(), size);
            break;
        case 2:
            QCOMPARE(int(CalcGlobals.SizeDimensionTable.front()), 1);
            QCOMPARE(int(CalcGlobals.SizeDimensionTable.back()), size);
            break;
        default:
            QCOMPARE(CalcGlobals.SegmentHeights.front(), 1);
            QCOMPARE(CalcGlobals.SegmentHeights.back(), size);
            break;
        }
    }

    void searchKey() {
        SetSearchKey(29013218);
        QCOMPARE(SearchKeyText(), QStringLiteral("29013218"));
        QCOMPARE(SearchKeyNumber(), 29013218);
        QString digits;
        for (int n = 1; n <= 8; ++n)
            digits += QString::number(SearchKeyDigit(n));
        QCOMPARE(digits, QStringLiteral("29013218"));
        SetSearchKey(9000);
        QCOMPARE(SearchKeyText(), QStringLiteral("00009000"));
        QCOMPARE(SearchKeyNumber(), 9000);
        SetSearchKey(123456789);  // the last 8 digits
        QCOMPARE(SearchKeyText(), QStringLiteral("23456789"));
        QCOMPARE(Refused([] { SearchKeyDigit(0); }), int(MsgTableIndexOutOfRange));
        QCOMPARE(Refused([] { SearchKeyDigit(9); }), int(MsgTableIndexOutOfRange));
    }

    // Characters that are no digits count as 0.
    void searchKeyWithOtherCharacters() {
        std::copy_n("9 /:A8-0", 8, CalcGlobals.SearchKey);
        QCOMPARE(SearchKeyNumber(), 90000800);
        QList<int> d;
        for (int n = 1; n <= 8; ++n)
            d << SearchKeyDigit(n);
        QCOMPARE(d, (QList<int>{9, 0, 0, 0, 0, 8, 0, 0}));
    }
};

QTEST_GUILESS_MAIN(TestEngineState)
#include "tst_EngineState.moc"
