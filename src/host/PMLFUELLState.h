#pragma once
// Shared between the head/clamp writer (PMLFUELL.cpp) and the chain
// writers (PMLFUELLChain.cpp): the writer's state for one output file and
// the small accessors every writer uses. Not for use outside the writer.
#include <QHash>
#include <QString>
#include <QStringList>
#include <array>
#include <cstdint>

namespace pml {

struct WriterState {
    QStringList out;
    QString SpecName;
    QString ComponentName;
    QString RodThread;
    QString RodSizeText;
    QString Mark;  // the hanger mark without blanks
    QHash<int, QString> Materials;  // W_NR -> W_BZ

    // The support's part-number list, entries 1..30 at [0..29]. A copy: the
    // Y/F/G walk exchanges two entries, and writing a file must not change
    // the support in memory.
    std::array<double, 30> Parts{};

    // Chain state.
    int32_t ChainHeight = 0;
    int32_t RestLengthPosition = 0;
    int32_t PairState = 0;
    bool Seen791 = false;
    bool ExchangeDone = false;
    int16_t KeptHeight = 0;
    bool Written77 = false;
    bool MtoClampFlag = false;
    bool MtoPartFlag = false;
    QString AddMatText;
    QString KeptClampDesp;
    QString KeptSingleDesp;
    bool SingleDespPending = false;

    // Walk state.
    int32_t OffsetPending = 0;
    int32_t ShiftHeightSum = 0;
    int32_t SecondSideEntry = 0;
    bool Group64Open = false;
    bool Seen740 = false;

    // The profile row of the text table for elements of type 76 and 78.
    QString ProfileText;
    double ProfileWidth = 0;      // TXT_PRF_B
    double ProfileThickness = 0;  // TXT_PRF_T
};

extern WriterState* W;

inline void Line(const QString& text) { W->out.append(text); }
inline void BlankLine() { W->out.append(QStringLiteral(" ")); }

// Entry i of the part-number list (1..30); 0 for any other index, so the
// neighbours of entry 1 and entry 30 read as empty.
double PartEntry(int i);
void SwapPartEntries(int i, int j);

// The 8-digit text of a product number, and the same put into SearchKey.
QString NumberText(double number);
void SetSearchKey(double number);
int32_t SearchKeyNumber();
QString KeyText();               // the 8 characters of SearchKey
QString T2();
QString T3();
QChar Digit(int n);              // n-th character of SearchKey (1..8)
QString SizeCode();              // digits 4 and 5
QChar Letter(int n);             // n-th letter of A_NAME (1..8)

// Catalogue reads of SearchKey's number. A row not found leaves a cleared
// record (the number kept); when the number belongs to the catalogue read
// (first digit 3 dynamic, 4 clamps, 5 cold, else static) it is a product
// of the support that is missing, and the output fails.
bool ReadStatic();
bool ReadDynamic();
void ClearStaticRecord(double number);

// n-th of K_RESTLAENGE_1..5 and K_TAB_SAZ_1..5; 0 outside 1..5.
double RestLength(int n);
int16_t GroupCount(int n);
// The 5 characters of the dimension field of bridge item i (1..30), "0000 "
// outside.
QString BridgeDimension(int i);

// Size-code tables. Empty text for a code outside the table.
QString ThreadForSize(const QString& size);        // "M10".."M80"
QString DespSizeNumber(const QString& size);       // "10".."80"
QString DespNextSizeNumber(const QString& size);   // the next larger size

// Writers of the chain.
void WriteHangerElement();
void WriteDespForSize();
void WriteType49Element();
void WriteBoltList();
void WritePartChain();
void LoadType39Or34Dims();
void RodThreadForSize();

int CopyToCharArray(char* dest, int destLength, const QString& src);

}  // namespace pml
