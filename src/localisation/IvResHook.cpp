#include "localisation/IvResHook.h"

#include "localisation/IvDictio.h"

#include <QCoreApplication>
#include <QTranslator>

namespace {

bool g_installed = false;
bool g_allowed = true;

// Clears the guard for one hooked translation, whatever way it ends.
class GuardScope {
public:
    GuardScope() { g_allowed = false; }
    ~GuardScope() { g_allowed = true; }
    GuardScope(const GuardScope&) = delete;
    GuardScope& operator=(const GuardScope&) = delete;
};

// The first dictionary when it may translate now.
TIvDictionary* HookDictionary() {
    if (!g_allowed || Dictionaries().Count() == 0) return nullptr;
    TIvDictionary* d = Dictionaries().Items(0);
    return d->IsOpen() ? d : nullptr;
}

// Qt's own texts. Qt calls this from deep inside its widgets, where an
// exception must not pass: a text the dictionary lacks or cannot give
// stays Qt's own.
class HookTranslator : public QTranslator {
public:
    QString translate(const char* context, const char* sourceText, const char* disambiguation,
                      int n) const override {
        if (!sourceText || !*sourceText) return {};
        TIvDictionary* d = HookDictionary();
        if (!d) return {};
        GuardScope guard;
        try {
            QString result;
            return d->Translate(QString::fromUtf8(sourceText), result) ? result : QString();
        } catch (...) {
            return {};
        }
    }
    bool isEmpty() const override { return false; }
};

HookTranslator& QtTextTranslator() {
    static HookTranslator translator;
    return translator;
}

QString KeyName(int key) {
    struct Named {
        int key;
        const char* name;
    };
    // The class library's key names.
    static const Named named[] = {
        {0x08, "BkSp"}, {0x09, "Tab"},   {0x0D, "Enter"}, {0x1B, "Esc"},   {0x20, "Space"},
        {0x21, "PgUp"}, {0x22, "PgDn"},  {0x23, "End"},   {0x24, "Home"},  {0x25, "Left"},
        {0x26, "Up"},   {0x27, "Right"}, {0x28, "Down"},  {0x2D, "Ins"},   {0x2E, "Del"},
    };
    for (const Named& n : named)
        if (n.key == key) return TranslateWord(HookDictionary(), QString::fromLatin1(n.name));
    if ((key >= '0' && key <= '9') || (key >= 'A' && key <= 'Z')) return QString(QChar(key));
    if (key >= 0x60 && key <= 0x69) return QString(QChar('0' + key - 0x60));  // keypad digits
    if (key >= 0x70 && key <= 0x87) return QStringLiteral("F%1").arg(key - 0x70 + 1);
    // The system's name of the remaining keys, used only when it is one
    // character: the punctuation keys of the standard layout.
    static const Named system[] = {
        {0xBA, ";"}, {0xBB, "="}, {0xBC, ","}, {0xBD, "-"},  {0xBE, "."}, {0xBF, "/"},
        {0xC0, "`"}, {0xDB, "["}, {0xDC, "\\"}, {0xDD, "]"}, {0xDE, "'"},
    };
    for (const Named& n : system)
        if (n.key == key) return QString::fromLatin1(n.name);
    return {};
}

}  // namespace

bool ResourceHookInstalled() { return g_installed; }
bool ResourceTranslationAllowed() { return g_allowed; }

void InstallResourceStringHook() {
    if (g_installed) return;
    if (QCoreApplication* app = QCoreApplication::instance()) app->installTranslator(&QtTextTranslator());
    g_installed = true;
}

void RemoveResourceStringHook() {
    if (!g_installed) return;
    if (QCoreApplication* app = QCoreApplication::instance()) app->removeTranslator(&QtTextTranslator());
    g_installed = false;
}

QString TranslatedLoadResString(const QString& text, int number) {
    if (!g_installed || text.isEmpty()) return text;
    TIvDictionary* d = HookDictionary();
    if (!d) return text;
    GuardScope guard;
    QString result;
    TranslateWithContext(d, text, QString(), result, QString::number(number));
    return result;
}

QString TranslatedShortCutToText(int shortCut) {
    const QString name = KeyName(shortCut & 0xFF);
    if (name.isEmpty()) return {};
    TIvDictionary* d = HookDictionary();
    QString text;
    if (shortCut & scShift) text += TranslateWord(d, QStringLiteral("Shift+"));
    if (shortCut & scCtrl) text += TranslateWord(d, QStringLiteral("Ctrl+"));
    if (shortCut & scAlt) text += TranslateWord(d, QStringLiteral("Alt+"));
    return text + name;
}
