#pragma once
// Dictionaries: languages, locales and the translations of one body of
// native texts; the program-wide list of dictionaries and the translation
// routines every user-visible text passes through.
#include "localisation/IvCommon.h"
#include "localisation/IvLanguD.h"
#include "localisation/IvNls.h"

#include <QApplication>
#include <QObject>
#include <QStringList>
#include <functional>
#include <memory>
#include <vector>

class TIvCustomTranslator;

enum TIvBinding : uint8_t { ivbiNone = 0, ivbiLocaleToLanguage = 1, ivbiLanguageToLocale = 2 };
enum TIvMissingTranslation : uint8_t { ivmtUseNative = 0, ivmtUseNull = 1, ivmtTagNative = 2, ivmtRaiseException = 3 };
enum TIvCheckLevel : uint8_t { ivclNone = 0, ivclSystem = 1, ivclCodePage = 2 };

using TIvDictionaryOptions = uint8_t;
constexpr TIvDictionaryOptions ivdoUpdateLocaleVariables = 1 << 0;
constexpr TIvDictionaryOptions ivdoAutoTranslate = 1 << 1;
constexpr TIvDictionaryOptions ivdoYear2000 = 1 << 2;
constexpr TIvDictionaryOptions ivdoTranslateResourceStrings = 1 << 3;
constexpr TIvDictionaryOptions ivdoRecreateMDIChild = 1 << 4;
constexpr TIvDictionaryOptions ivdoAll = 0x1F;

// Which context strings of the entries are in use.
using TIvContextParts = uint8_t;
constexpr TIvContextParts ivcpFirst = 1, ivcpSecond = 2;

constexpr QChar kContextSeparator = QChar(127);

// One entry of the translation table.
struct TIvTranslation {
    uint8_t Status = 0;  // 0 translated, 1 fallback text used, 2 missing
    QString Native, Context1, Context2, Translation;
    QString Key;         // native text + #127 + first context + second context
    void MakeKey() { Key = Native + kContextSeparator + Context1 + Context2; }
};

// The context kind of a dictionary file and the context strings of one entry.
struct TIvContext {
    uint8_t Kind = 0;  // 0 none, 1 both, 2 second only, 3 first only
    QString Context1, Context2;
    bool HasFirst() const { return Kind == 1 || Kind == 3; }
    bool HasSecond() const { return Kind == 1 || Kind == 2; }
    TIvContextParts Parts() const { return TIvContextParts((HasFirst() ? ivcpFirst : 0) | (HasSecond() ? ivcpSecond : 0)); }
};

class TIvDictionary : public QObject {
    Q_OBJECT
public:
    explicit TIvDictionary(QObject* owner = nullptr, const QString& name = {});
    ~TIvDictionary() override;

    // Published properties.
    QString DictionaryName;
    TIvBinding Binding = ivbiLocaleToLanguage;
    TIvDictionaryOptions Options = ivdoAll;
    TIvMissingTranslation MissingTranslation = ivmtUseNative;
    TIvCheckLevel CheckLevel = ivclCodePage;
    std::function<void(TIvDictionary*)> OnLanguageChange, OnLocaleChange;

    int Language() const { return m_language; }
    void SetLanguage(int index);
    uint32_t Locale() const { return m_locale; }
    void SetLocale(uint32_t lcid);
    int PrimaryLanguage() const { return int(PrimaryLangId(m_locale)); }
    void SetPrimaryLanguage(int primary);
    int SubLanguage() const { return int(SubLangId(m_locale)); }
    void SetSubLanguage(int sub);
    TIvEuro Euro() const { return IvEuroMode(); }
    void SetEuro(TIvEuro euro);

    bool IsOpen() const { return m_open; }
    int CurrentIndex() const { return m_currentIndex; }
    int FallbackIndex() const { return m_fallbackIndex; }
    uint32_t CurrentLcid() const { return m_currentLcid; }
    uint32_t LanguageLocaleLcid() const { return m_languageLocaleLcid; }
    const TIvLanguage& CurrentLanguage() const { return *m_currentLanguage; }
    const TIvLocale& CurrentLocale() const { return *m_currentLocale; }
    TIvContextParts ContextParts() const { return m_contextParts; }
    bool ContextsInUse() const { return m_contextParts != 0; }

    // Virtual operations.
    virtual int LanguageCount() = 0;
    virtual void GetLanguage(int index, TIvLanguage& language) = 0;
    virtual int LocaleCount() = 0;
    virtual void GetLocale(int index, TIvLocale& locale) = 0;
    virtual int TranslationCount() { return 0; }
    virtual void Changed(bool languageChanged, bool localeChanged);
    virtual bool TranslateWithContext(const QString& text, const QString& context, QString& result,
                                      const QString& context2) = 0;
    virtual void Open();
    virtual void Close();
    virtual bool CanOpen() { return true; }
    virtual std::vector<std::unique_ptr<TIvLanguage>> GetLanguages();
    virtual std::vector<std::unique_ptr<TIvLocale>> GetLocales();
    virtual bool Translate(const QString& text, QString& result) { return TranslateWithContext(text, {}, result, {}); }
    virtual void UpdateLocale();
    virtual void UpdateLanguage();
    // Each distinct primary language once: name and primary id.
    virtual std::vector<std::pair<QString, int>> GetLanguageNames(bool native);
    virtual bool LocaleInList(const TIvLocale* locale);
    // Whether choosing the language (by index) shows every text of the
    // dictionary in it: each entry has a text of the language or of its
    // fallback. Only such a language is worth offering; one that holds a
    // few texts leaves all others in the native wording. The native
    // language is complete by definition. True unless the dictionary knows
    // better.
    virtual bool LanguageComplete(int index) { return index >= 0; }
    // Whether the language dialogs offer the language (by index): one of
    // the dictionary's languages, not the native language of a dictionary
    // whose first language is no language of its own, supported at the
    // check level (unless any level will do) and complete. Only such a
    // language is worth taking from a stored choice as well.
    bool LanguageOffered(int index, bool anyCheckLevel = false);
    // The first language offered in index order; -1 when none is.
    int FirstOfferedLanguage();
    // The language whose texts stand in for a missing text of the given
    // one: its neutral variant when it lists sublanguages, else 0 (none).
    int FallbackOf(const TIvLanguage& language);
    // The system's locales followed by the dictionary's own ones, each once.
    std::vector<uint32_t> LocaleLcids();

    // Languages and locales becoming current.
    int LanguageIndexOfLocale(uint32_t lcid);
    int FirstSupportedLanguage();
    void ActivateLanguage(int index);
    void ActivateLocale(uint32_t lcid);
    bool LanguageSupported(const TIvLanguage& language) const;
    bool LocaleSupported(const TIvLocale& locale) const;

    // The current language for the current index, else the cached object
    // refilled; not to be freed by the caller.
    const TIvLanguage& LanguageAt(int index);

    // Translators linked to this dictionary (not owned).
    void AddTranslator(TIvCustomTranslator* translator);
    void RemoveTranslator(TIvCustomTranslator* translator);
    const std::vector<TIvCustomTranslator*>& Translators() const { return m_translators; }

protected:
    void SetContextParts(TIvContextParts parts) { m_contextParts = parts; }
    int OpenRequestedLanguage() const { return m_openRequested; }

private:
    struct State;
    State Save() const;
    void Restore(State& state);
    void DisconnectTranslators();
    int LanguageOfLocaleOrFirst(uint32_t lcid);

    int m_language = -1;
    uint32_t m_locale = LOCALE_USER_DEFAULT;
    bool m_open = false;
    int m_openRequested = -1;
    int m_currentIndex = -1;
    int m_fallbackIndex = 0;
    uint32_t m_currentLcid = 0;
    uint32_t m_languageLocaleLcid = 0;
    std::unique_ptr<TIvLanguage> m_currentLanguage = std::make_unique<TIvLanguage>();
    std::unique_ptr<TIvLocale> m_currentLocale = std::make_unique<TIvLocale>();
    std::unique_ptr<TIvLanguage> m_cachedLanguage = std::make_unique<TIvLanguage>();
    std::vector<TIvCustomTranslator*> m_translators;
    TIvContextParts m_contextParts = 0;
};

// The translation table of the current language, sorted for binary search.
class TIvCustomDictionary : public TIvDictionary {
    Q_OBJECT
public:
    using TIvDictionary::TIvDictionary;
    int TranslationCount() override { return int(m_table.size()); }
    void Changed(bool languageChanged, bool localeChanged) override;
    bool TranslateWithContext(const QString& text, const QString& context, QString& result,
                              const QString& context2) override;
    bool Translate(const QString& text, QString& result) override;
    void Close() override;
    const std::vector<TIvTranslation>& Table() const { return m_table; }

protected:
    // Fills a fresh table with the entries of the current language; the
    // table in use is replaced only when this succeeds.
    virtual void LoadTranslations(std::vector<TIvTranslation>& table) = 0;
    void ReloadTable();

private:
    const TIvTranslation* FindText(const QString& text) const;
    const TIvTranslation* FindKey(const QString& key) const;
    std::vector<TIvTranslation> m_table;
};

// All existing dictionaries in creation order.
class TIvDictionaries {
public:
    int Count() const { return int(m_items.size()); }
    TIvDictionary* Items(int index) const { return m_items.at(size_t(index)); }
    TIvDictionary* Find(const QString& name) const;
    void Add(TIvDictionary* dictionary);
    void Remove(TIvDictionary* dictionary);

private:
    std::vector<TIvDictionary*> m_items;
};

TIvDictionaries& Dictionaries();

// Where the first dictionary's language finds Qt's own translations (the
// texts of Qt's widgets and dialogs): Qt's installation unless set. Where
// they are missing, Qt's texts stay English.
QString& QtTranslationsDirectory();

QString IvTranslate(const QString& text);
QString TranslateWord(TIvDictionary* dictionary, const QString& text);
void TranslateWithContext(TIvDictionary* dictionary, const QString& text, const QString& context, QString& result,
                          const QString& context2);
QString ApplyMissingTranslation(TIvDictionary* dictionary, const QString& text, const QString& translation,
                                bool found);
const TIvLanguage& LanguageByIndex(TIvDictionary* dictionary, int index);

// The program-wide display of exceptions that reach the event loop.
using TIvExceptionHandler = std::function<void(const std::exception&)>;
TIvExceptionHandler& ApplicationExceptionHandler();
// The dictionaries' handler: the message translated through the first
// dictionary when it is open, a full stop added, shown as an error box.
void IvShowException(const std::exception& e);
QString IvExceptionText(const std::exception& e);
// The box the handler shows; the program routes it to its message boxes.
std::function<void(const QString&)>& IvErrorBox();
// The application's help at a help context, as the library's dialogs open
// it (their Help buttons). The library has no help of its own: the program
// routes this to its application help. Until it does, the request is named
// on standard error.
using TIvHelpHandler = std::function<void(QWidget* owner, int helpContext)>;
TIvHelpHandler& IvApplicationHelp();
// Shows an exception as one that ended an event: through the application's
// handler, else the dictionaries' display.
void ShowApplicationException(const std::exception& e);

// The application class of the program: exceptions escaping an event handler
// go to the application's exception handler instead of ending the program.
class TIvApplication : public QApplication {
    Q_OBJECT
public:
    TIvApplication(int& argc, char** argv) : QApplication(argc, argv) {}
    bool notify(QObject* receiver, QEvent* event) override;
};
