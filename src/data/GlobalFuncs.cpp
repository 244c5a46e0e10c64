#include "data/GlobalFuncs.h"

#include "messages/MessageSeam.h"

#include <algorithm>
#include <cstring>

// The entries of the string table, generated from
// resources/strings/stringtable.tsv: every number (sorted, without
// duplicates) and the entries that hold a text rather than a message key.
extern const int KorvaStringTableNumbers[];
extern const int KorvaStringTableCount;
struct KorvaStringTableText {
    int number;
    const char* text;
};
extern const KorvaStringTableText KorvaStringTableTexts[];
extern const int KorvaStringTableTextCount;

TCalcGlobals CalcGlobals;
QString LastMessage;

TCalcGlobals::TCalcGlobals() {
    std::memset(SearchKey, ' ', sizeof SearchKey);
    std::memset(DisplayPartNumber, ' ', sizeof DisplayPartNumber);
    std::memset(WantedProductNumberText, ' ', sizeof WantedProductNumberText);
    std::memset(TableOpCode, ' ', sizeof TableOpCode);
    std::memset(PreselectedLoadNumber, '0', sizeof PreselectedLoadNumber);
    RodLengths.fill(999999);
    AccessoryKinds.fill(99);
}

bool StringTableHasNumber(int number) {
    const int* end = KorvaStringTableNumbers + KorvaStringTableCount;
    return std::binary_search(KorvaStringTableNumbers, end, number);
}

QString ErrorTextByNumber(int number) {
    if (!StringTableHasNumber(number)) return QStringLiteral("Unknown Error occured, No. %1").arg(number);
    // The product-type names are texts of their own, which the caller
    // translates through the dictionary it means (menu or print).
    for (int i = 0; i < KorvaStringTableTextCount; ++i)
        if (KorvaStringTableTexts[i].number == number) return QString::fromUtf8(KorvaStringTableTexts[i].text);
    return QStringLiteral("RS%1").arg(number);
}

namespace {

int ShowBox(const QString& text, MessageKind kind, MessageButtons buttons) {
    MessageRequest request;
    request.owner = nullptr;
    request.ownerIsActiveWindow = true;
    request.text = text;
    request.kind = kind;
    request.buttons = buttons;
    return ShowMessage(request);
}

// The fixed key of the password scrambling: ten decimal digits.
constexpr char ScrambleKey[] = "4719265830";
constexpr int PrintableFirst = 32;
constexpr int PrintableCount = 95;  // ' ' .. '~'

int Shift(int position) { return (ScrambleKey[position % 10] - '0') + 7 * position + 3; }

QString Rotate(const QString& text, int direction) {
    QString out = text;
    for (int i = 0; i < out.size(); ++i) {
        const int c = out.at(i).unicode();
        if (c < PrintableFirst || c >= PrintableFirst + PrintableCount) continue;  // kept as it is
        int r = (c - PrintableFirst + direction * Shift(i)) % PrintableCount;
        if (r < 0) r += PrintableCount;
        out[i] = QChar(PrintableFirst + r);
    }
    return out;
}

}  // namespace

int MsgInformation(const QString& text) { return ShowBox(text, MessageKind::Information, mb::OK); }
int MsgInformationYesNo(const QString& text) {
    return ShowBox(text, MessageKind::Information, mb::Yes | mb::No);
}
int MsgWarningYesNo(const QString& text) { return ShowBox(text, MessageKind::Warning, mb::Yes | mb::No); }
int MsgWarning(const QString& text) { return ShowBox(text, MessageKind::Warning, mb::OK); }
int MsgConfirmYesNoAll(const QString& text) {
    return ShowBox(text, MessageKind::Confirmation, mb::Yes | mb::No | mb::All);
}

QString RemoveBlanks(const QString& text) {
    QString out = text;
    out.remove(QLatin1Char(' '));
    return out;
}

QString ReplaceFirst(const QString& text, const QString& search, const QString& replacement) {
    const qsizetype at = search.isEmpty() ? -1 : text.indexOf(search);
    if (at < 0) return text;
    QString out = text;
    out.replace(at, search.size(), replacement);
    return out;
}

QString ScrambleText(const QString& text) { return Rotate(text, 1); }
QString UnscrambleText(const QString& text) { return Rotate(text, -1); }
