#pragma once
// The program's two dictionaries, the translate wrappers over them and the
// base form of every translated form.
#include <QDialog>
#include <QPointer>
#include <QString>

#include <QAbstractButton>
class TIvBinaryDictionary;
class TIvTranslator;

// The main dictionary ("MenuDictionary") and the print dictionary
// ("PrintDictionary"); nullptr outside CreateDictionaries/FreeDictionaries.
extern TIvBinaryDictionary* IvBinaryDictionaryGlobal;
extern TIvBinaryDictionary* IvBinaryDictionaryPrint;

// Creates both dictionaries (not opened). main calls it once the application
// object exists and before anything translates; counted, so nested calls
// create them once.
void CreateDictionaries();
// Frees the print dictionary, then the main one, when the count drops to 0.
void FreeDictionaries();

// Holds the dictionaries for a scope (main's, or a test's).
class DictionaryScope {
public:
    DictionaryScope() { CreateDictionaries(); }
    ~DictionaryScope() { FreeDictionaries(); }
    DictionaryScope(const DictionaryScope&) = delete;
    DictionaryScope& operator=(const DictionaryScope&) = delete;
};

// English, the language the main dictionary starts in and the print
// language when the one stored cannot be set.
constexpr int kFallbackLanguage = 2;

// The language a stored choice (the registry's menu language, the settings
// table's print language) opens its dictionary in: the stored one when the
// language dialogs offer it. One they would not offer (beyond the file's
// languages, the native language 0, refused by the check level, or with
// texts missing) would show the program or the print half in another
// wording; English comes in its place, or the first offered language when
// English is not offered. A dictionary that is not open judges nothing (its
// texts stay native whatever the value), and the stored value stays, as it
// does when nothing is offered.
int UsableLanguage(TIvBinaryDictionary* dictionary, int stored);
// Sets the dictionary's language from a stored value by that rule and
// returns the language set. A value not taken is named on standard error
// (what: whose value it is); the engineer sees the whole program in the
// language used, and nothing else is lost.
int SetStoredLanguage(TIvBinaryDictionary* dictionary, int stored, const QString& what);

// Translates through the main dictionary; the text comes back unchanged when
// there is no translation or no open dictionary.
QString TranslateMenuText(const QString& text);
// The same through the print dictionary.
QString TranslatePrintText(const QString& text);

// Prints a form as it stands on the default printer (the F10 key of the
// program's forms); false without a printer or when printing fails.
bool PrintFormOnDefaultPrinter(QWidget& form);

// The base of every translated form. A derived form builds its widgets (with
// the component names as object names) and then calls Loaded(), which
// translates it; later language changes of "MenuDictionary" translate it
// again from the native texts.
class TTemplateFormMultiLang : public QDialog {
    Q_OBJECT
public:
    explicit TTemplateFormMultiLang(QWidget* parent = nullptr);
    ~TTemplateFormMultiLang() override;

    TIvTranslator* IvTranslator1 = nullptr;

    // Key preview: the form sees every key of its widgets first.
    bool KeyPreview() const { return m_keyPreview; }
    void SetKeyPreview(bool on);
    // The button that Esc presses; without one Esc does nothing.
    void SetCancelButton(QAbstractButton* button) { m_cancelButton = button; }

protected:
    // Translates the finished form (the end of its construction), then runs
    // FormCreate.
    void Loaded();
    virtual void FormCreate() {}
    // Keys seen by the form (with key preview, before its widgets); return
    // true to swallow the key.
    virtual bool FormKeyDown(QKeyEvent* event) { return false; }
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool m_keyPreview = false;
    QPointer<QAbstractButton> m_cancelButton;
};
