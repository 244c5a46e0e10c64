#include "platform/CodePage.h"

#include <cerrno>
#include <iconv.h>

namespace {
int g_ansiCodePage = 1252;

// Converts with iconv; a byte or character that cannot be converted is
// replaced (U+FFFD when decoding, '?' when encoding) and the rest goes on.
QByteArray Convert(const QByteArray& in, const char* from, const char* to, const QByteArray& replacement,
                   int skipBytes) {
    iconv_t cd = iconv_open(to, from);
    if (cd == iconv_t(-1)) return QByteArray();
    QByteArray out;
    out.reserve(in.size() * 2 + 16);
    char* src = const_cast<char*>(in.constData());
    size_t srcLeft = size_t(in.size());
    char buf[1024];
    while (srcLeft > 0) {
        char* dst = buf;
        size_t dstLeft = sizeof buf;
        const size_t r = iconv(cd, &src, &srcLeft, &dst, &dstLeft);
        out.append(buf, int(dst - buf));
        if (r == size_t(-1) && errno != E2BIG) {
            out.append(replacement);
            const size_t skip = std::min(srcLeft, size_t(skipBytes));
            src += skip;
            srcLeft -= skip;
            iconv(cd, nullptr, nullptr, nullptr, nullptr);
        }
    }
    iconv_close(cd);
    return out;
}
}  // namespace

int AnsiCodePage() { return g_ansiCodePage; }

void SetAnsiCodePage(int codePage) { g_ansiCodePage = codePage > 0 ? codePage : 1252; }

QByteArray IconvName(int codePage) {
    if (codePage == 0) codePage = g_ansiCodePage;
    switch (codePage) {
    case 65001: return "UTF-8";
    case 1200: return "UTF-16LE";
    case 1201: return "UTF-16BE";
    case 28591: return "ISO-8859-1";
    case 20127: return "ASCII";
    default: return "CP" + QByteArray::number(codePage);
    }
}

bool CodePageSupported(int codePage) {
    iconv_t cd = iconv_open("UTF-16LE", IconvName(codePage).constData());
    if (cd == iconv_t(-1)) return false;
    iconv_close(cd);
    return true;
}

QString DecodeCodePage(const QByteArray& bytes, int codePage) {
    if (bytes.isEmpty()) return QString();
    const QByteArray utf16 = Convert(bytes, IconvName(codePage).constData(), "UTF-16LE", QByteArray("\xfd\xff", 2), 1);
    return QString(reinterpret_cast<const QChar*>(utf16.constData()), utf16.size() / 2);
}

QByteArray EncodeCodePage(const QString& text, int codePage) {
    if (text.isEmpty()) return QByteArray();
    const QByteArray utf16(reinterpret_cast<const char*>(text.utf16()), text.size() * 2);
    return Convert(utf16, "UTF-16LE", IconvName(codePage).constData(), "?", 2);
}

qsizetype FirstCharacterNotIn(const QString& text, int codePage) {
    iconv_t cd = iconv_open(IconvName(codePage).constData(), "UTF-16LE");
    if (cd == iconv_t(-1)) return text.isEmpty() ? -1 : 0;
    qsizetype found = -1;
    for (qsizetype i = 0; i < text.size() && found < 0;) {
        // One character at a time, a surrogate pair as one.
        const qsizetype units = text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate() ? 2 : 1;
        char* src = const_cast<char*>(reinterpret_cast<const char*>(text.utf16() + i));
        size_t srcLeft = size_t(units) * 2;
        char buf[16];
        char* dst = buf;
        size_t dstLeft = sizeof buf;
        if (iconv(cd, &src, &srcLeft, &dst, &dstLeft) == size_t(-1) || srcLeft != 0) found = i;
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
        i += units;
    }
    iconv_close(cd);
    return found;
}
