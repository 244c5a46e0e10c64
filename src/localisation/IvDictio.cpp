#include "localisation/IvDictio.h"

#include "localisation/IvMulti.h"
#include "localisation/IvNls.h"
#include "localisation/IvResHook.h"

#include <QCoreApplication>
#include <QDate>
#include <QLibraryInfo>
#include <QLocale>
#include <QPointer>
#include <QTranslator>
#include <algorithm>
#include <cstdio>
#include <memory>

QString& QtTranslationsDirectory() {
    static QString directory = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    return directory;
}

namespace {

// Qt's own texts (the line edit's menu, the file and font dialogs, the
// buttons of its boxes) in the language of the program's texts: Qt's
// translations of that language, where the system has them (Debian's
// qt6-translations-l10n). Without them, or without a language (the
// dictionary closed), Qt's texts are English.
void FollowWithQtTranslations(const TIvLanguage* language) {
    static QPointer<QTranslator> installed;
    if (!QCoreApplication::instance()) return;
    if (installed) {
        QCoreApplication::removeTranslator(installed);
        delete installed.data();
    }
    if (!language || language->PrimaryId == 0) return;
    auto translator = std::make_unique<QTranslator>(QCoreApplication::instance());
    const QLocale locale = NlsQLocale(language->Lcid());
    if (locale.language() == QLocale::English ||
        !translator->load(locale, QStringLiteral("qtbase"), QStringLiteral("_"), QtTranslationsDirectory()))
        return;
    installed = translator.release();
    QCoreApplication::installTranslator(installed);
}

}  // namespace

// ---- program-wide list and translation routines ----

TIvDictionaries& Dictionaries() {
    static TIvDictionaries list;
    return list;
}

TIvDictionary* TIvDictionaries::Find(const QString& name) const {
    for (TIvDictionary* d : m_items)
        if (d->DictionaryName == name) return d;
    return nullptr;
}

void TIvDictionaries::Add(TIvDictionary* dictionary) {
    m_items.push_back(dictionary);
}

void TIvDictionaries::Remove(TIvDictionary* dictionary) {
    m_items.erase(std::remove(m_items.begin(), m_items.end(), dictionary), m_items.end());
}

QString IvTranslate(const QString& text) {
    if (Dictionaries().Count() == 0) return text;
    return TranslateWord(Dictionaries().Items(0), text);
}

QString TranslateWord(TIvDictionary* dictionary, const QString& text) {
    if (!dictionary || text.isEmpty()) return text;
    QString translation;
    const bool found = dictionary->Translate(text, translation);
    return ApplyMissingTranslation(dictionary, text, translation, found);
}

void TranslateWithContext(TIvDictionary* dictionary, const QString& text, const QString& context, QString& result,
                          const QString& context2) {
    if (!dictionary) {
        result = text;
        return;
    }
    QString translation;
    bool found = true;
    if (!text.isEmpty()) {
        found = dictionary->ContextsInUse() && dictionary->TranslateWithContext(text, context, translation, context2);
        if (!found) found = dictionary->Translate(text, translation);
    }
    result = ApplyMissingTranslation(dictionary, text, translation, found);
}

QString ApplyMissingTranslation(TIvDictionary* dictionary, const QString& text, const QString& translation,
                                bool found) {
    if (found && !translation.isEmpty()) return translation;
    switch (dictionary->MissingTranslation) {
    case ivmtUseNull: return QString();
    case ivmtTagNative: return u'@' + text + u'@';
    case ivmtRaiseException:
        if (!found)
            throw EIvMulti(QStringLiteral("Dictionary does not contain a translation for the word \"") + text + u'"');
        throw EIvMulti(QStringLiteral("Translation for the word \"") + text + QStringLiteral("\" is missing"));
    case ivmtUseNative:
    default: return text;
    }
}

const TIvLanguage& LanguageByIndex(TIvDictionary* dictionary, int index) {
    return dictionary->LanguageAt(index);
}

// ---- exception display ----

TIvExceptionHandler& ApplicationExceptionHandler() {
    static TIvExceptionHandler handler;
    return handler;
}

std::function<void(const QString&)>& IvErrorBox() {
    static std::function<void(const QString&)> box = [](const QString& text) {
        std::fprintf(stderr, "%s\n", text.toLocal8Bit().constData());
    };
    return box;
}

TIvHelpHandler& IvApplicationHelp() {
    static TIvHelpHandler handler = [](QWidget*, int helpContext) {
        std::fprintf(stderr, "No help can be shown (help context %d).\n", helpContext);
    };
    return handler;
}

QString IvExceptionText(const std::exception& e) {
    QString message;
    if (auto* iv = dynamic_cast<const EIvException*>(&e)) message = iv->Message();
    else message = QString::fromUtf8(e.what());
    if (Dictionaries().Count() > 0 && Dictionaries().Items(0)->IsOpen())
        message = TranslateWord(Dictionaries().Items(0), message);
    if (!message.isEmpty() && message.back() > u'.') message += u'.';
    return message;
}

void IvShowException(const std::exception& e) {
    IvErrorBox()(IvExceptionText(e));
}

void ShowApplicationException(const std::exception& e) {
    if (ApplicationExceptionHandler()) ApplicationExceptionHandler()(e);
    else IvShowException(e);
}

bool TIvApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& e) {
        ShowApplicationException(e);
    }
    return false;
}

// ---- TIvDictionary ----

struct TIvDictionary::State {
    int language, openRequested, currentIndex, fallbackIndex;
    uint32_t locale, currentLcid, languageLocaleLcid;
    std::unique_ptr<TIvLanguage> currentLanguage;
    std::unique_ptr<TIvLocale> currentLocale;
};

TIvDictionary::TIvDictionary(QObject* owner, const QString& name) : QObject(owner), DictionaryName(name) {
    TIvDictionaries& list = Dictionaries();
    if (DictionaryName.isEmpty()) {
        int n = list.Count() + 1;
        while (list.Find(QStringLiteral("Dictionary") + QString::number(n))) ++n;
        DictionaryName = QStringLiteral("Dictionary") + QString::number(n);
    }
    list.Add(this);
    if (!ApplicationExceptionHandler()) ApplicationExceptionHandler() = IvShowException;
}

TIvDictionary::~TIvDictionary() {
    Close();
    Dictionaries().Remove(this);
}

void TIvDictionary::SetEuro(TIvEuro euro) {
    IvEuroMode() = euro;
    ApplyEuroMode(m_open ? m_currentLocale.get() : nullptr);
}

TIvDictionary::State TIvDictionary::Save() const {
    return State{m_language,  m_openRequested, m_currentIndex, m_fallbackIndex,          m_locale,
                 m_currentLcid, m_languageLocaleLcid, m_currentLanguage->Clone(), m_currentLocale->Clone()};
}

void TIvDictionary::Restore(State& s) {
    m_language = s.language;
    m_openRequested = s.openRequested;
    m_currentIndex = s.currentIndex;
    m_fallbackIndex = s.fallbackIndex;
    m_locale = s.locale;
    m_currentLcid = s.currentLcid;
    m_languageLocaleLcid = s.languageLocaleLcid;
    m_currentLanguage = std::move(s.currentLanguage);
    m_currentLocale = std::move(s.currentLocale);
}

void TIvDictionary::SetLanguage(int index) {
    if (!m_open) {
        m_language = index;
        return;
    }
    if (index < -2 || index >= LanguageCount())
        throw ERangeError(QStringLiteral("Language index %1 is out of range").arg(index));
    if (index == m_language) return;
    // A language that fails its check leaves everything as it was.
    State saved = Save();
    try {
        const uint32_t before = m_currentLcid;
        m_language = index;
        ActivateLanguage(index);
        if (Binding == ivbiLocaleToLanguage) ActivateLocale(m_languageLocaleLcid);
        Changed(true, m_currentLcid != before);
    } catch (...) {
        Restore(saved);
        throw;
    }
}

void TIvDictionary::SetLocale(uint32_t lcid) {
    if (!m_open) {
        m_locale = lcid;
        return;
    }
    if (lcid == m_locale) return;
    State saved = Save();
    try {
        const int before = m_currentIndex;
        m_locale = lcid;
        ActivateLocale(lcid);
        if (Binding == ivbiLanguageToLocale) ActivateLanguage(LanguageOfLocaleOrFirst(m_currentLcid));
        Changed(m_currentIndex != before, true);
    } catch (...) {
        Restore(saved);
        throw;
    }
}

void TIvDictionary::SetPrimaryLanguage(int primary) {
    SetLocale(MakeLcid(MakeLangId(uint32_t(primary), SubLangId(m_locale))));
}

void TIvDictionary::SetSubLanguage(int sub) {
    SetLocale(MakeLcid(MakeLangId(PrimaryLangId(m_locale), uint32_t(sub))));
}

int TIvDictionary::LanguageOfLocaleOrFirst(uint32_t lcid) {
    const int index = LanguageIndexOfLocale(lcid);
    return index >= 0 ? index : FirstSupportedLanguage();
}

void TIvDictionary::Open() {
    if (m_open || !CanOpen()) return;
    // A dictionary that cannot open stays closed and unchanged.
    State saved = Save();
    bool hookedHere = false;
    try {
        m_openRequested = m_language;
        switch (Binding) {
        case ivbiNone:
            ActivateLanguage(m_language);
            ActivateLocale(m_locale);
            break;
        case ivbiLocaleToLanguage:
            ActivateLanguage(m_language);
            ActivateLocale(m_languageLocaleLcid);
            break;
        case ivbiLanguageToLocale:
            ActivateLocale(m_locale);
            ActivateLanguage(LanguageOfLocaleOrFirst(m_currentLcid));
            break;
        }
        if (!ResourceHookInstalled() && (Options & ivdoTranslateResourceStrings)) {
            InstallResourceStringHook();
            hookedHere = true;
        }
        m_open = true;
        Changed(true, true);
    } catch (...) {
        if (hookedHere) RemoveResourceStringHook();
        m_open = false;
        Restore(saved);
        throw;
    }
}

void TIvDictionary::Close() {
    // The hook is program-wide: whichever dictionary closes removes it.
    RemoveResourceStringHook();
    DisconnectTranslators();
    if (m_open && Dictionaries().Count() > 0 && Dictionaries().Items(0) == this) FollowWithQtTranslations(nullptr);
    m_open = false;
}

void TIvDictionary::DisconnectTranslators() {
    // Disconnect unlinks the translator, so work on a copy.
    const auto translators = m_translators;
    for (TIvCustomTranslator* t : translators) t->Disconnect();
    m_translators.clear();
}

void TIvDictionary::AddTranslator(TIvCustomTranslator* translator) {
    if (std::find(m_translators.begin(), m_translators.end(), translator) == m_translators.end())
        m_translators.push_back(translator);
}

void TIvDictionary::RemoveTranslator(TIvCustomTranslator* translator) {
    m_translators.erase(std::remove(m_translators.begin(), m_translators.end(), translator), m_translators.end());
}

void TIvDictionary::Changed(bool languageChanged, bool localeChanged) {
    // A pass or a handler that fails leaves the dictionary on its previous
    // locale (restored by the caller); the thread's locale and the number
    // formats go back with it.
    const uint32_t threadLocale = NlsThreadLocale();
    const TIvFormatSettings formats = IvFormatSettings();
    try {
        if (localeChanged) {
            NlsSetThreadLocale(m_currentLcid);
            if (Options & ivdoUpdateLocaleVariables)
                IvFormatSettings() = FormatSettingsFromLocale(*m_currentLocale, IvEuroMode(),
                                                              Options & ivdoYear2000, QDate::currentDate());
        }
        if (languageChanged && Dictionaries().Count() > 0 && Dictionaries().Items(0) == this && IsOpen())
            FollowWithQtTranslations(&CurrentLanguage());
        if (Options & ivdoAutoTranslate) {
            const auto translators = m_translators;
            for (TIvCustomTranslator* t : translators) t->DictionaryChanged(languageChanged, localeChanged);
        }
        if (languageChanged && OnLanguageChange) OnLanguageChange(this);
        if (localeChanged && OnLocaleChange) OnLocaleChange(this);
    } catch (...) {
        NlsSetThreadLocale(threadLocale);
        IvFormatSettings() = formats;
        throw;
    }
}

std::vector<std::unique_ptr<TIvLanguage>> TIvDictionary::GetLanguages() {
    std::vector<std::unique_ptr<TIvLanguage>> out;
    const int n = LanguageCount();
    for (int i = 0; i < n; ++i) {
        out.push_back(std::make_unique<TIvLanguage>());
        GetLanguage(i, *out.back());
    }
    return out;
}

std::vector<std::unique_ptr<TIvLocale>> TIvDictionary::GetLocales() {
    std::vector<std::unique_ptr<TIvLocale>> out;
    const int n = LocaleCount();
    for (int i = 0; i < n; ++i) {
        out.push_back(std::make_unique<TIvLocale>());
        GetLocale(i, *out.back());
    }
    return out;
}

void TIvDictionary::UpdateLocale() {
    if (!m_open) return;
    const uint32_t before = m_currentLcid;
    ActivateLocale(m_languageLocaleLcid);
    if (m_currentLcid != before) Changed(false, true);
}

void TIvDictionary::UpdateLanguage() {
    if (!m_open) return;
    const int before = m_currentIndex;
    ActivateLanguage(LanguageOfLocaleOrFirst(m_currentLcid));
    if (m_currentIndex != before) Changed(true, false);
}

std::vector<std::pair<QString, int>> TIvDictionary::GetLanguageNames(bool native) {
    std::vector<std::pair<QString, int>> out;
    for (const auto& lang : GetLanguages()) {
        const bool seen = std::any_of(out.begin(), out.end(), [&](const auto& p) { return p.second == lang->PrimaryId; });
        if (!seen) out.emplace_back(native ? lang->NativeName : lang->EnglishName, lang->PrimaryId);
    }
    return out;
}

std::vector<uint32_t> TIvDictionary::LocaleLcids() {
    std::vector<uint32_t> lcids = NlsSupportedLocales();
    if (LocaleCount() > 0)
        for (const auto& custom : GetLocales())
            if (std::find(lcids.begin(), lcids.end(), custom->Lcid()) == lcids.end()) lcids.push_back(custom->Lcid());
    return lcids;
}

bool TIvDictionary::LocaleInList(const TIvLocale* locale) {
    if (!locale) return false;
    const auto lcids = LocaleLcids();
    return std::find(lcids.begin(), lcids.end(), locale->Lcid()) != lcids.end();
}

const TIvLanguage& TIvDictionary::LanguageAt(int index) {
    if (index >= LanguageCount()) throw ERangeError(QStringLiteral("Out of language range"));
    if (index == m_currentIndex) return *m_currentLanguage;
    m_cachedLanguage = std::make_unique<TIvLanguage>();
    GetLanguage(index, *m_cachedLanguage);
    return *m_cachedLanguage;
}

// ---- languages and locales becoming current ----

namespace {

bool AlwaysSupported(int primary, uint8_t flags, int codePage) {
    return primary == 0 || primary == 9 || primary == 33 || (flags & 2) || codePage == 0;
}

}  // namespace

bool TIvDictionary::LanguageSupported(const TIvLanguage& l) const {
    if (CheckLevel == ivclNone || AlwaysSupported(l.PrimaryId, l.Flags, l.CodePage)) return true;
    return CheckLevel == ivclSystem ? NlsCodePageSupported(l.CodePage) : l.CodePage == NlsAnsiCodePage();
}

bool TIvDictionary::LocaleSupported(const TIvLocale& l) const {
    switch (CheckLevel) {
    case ivclSystem: return l.CodePage == 0 || NlsCodePageSupported(l.CodePage);
    case ivclCodePage:
        return l.PrimaryId == 0 || l.PrimaryId == 9 || l.PrimaryId == 33 || l.CodePage == NlsAnsiCodePage();
    default: return true;
    }
}

int TIvDictionary::LanguageIndexOfLocale(uint32_t lcid) {
    if (lcid == 0) return 0;
    lcid = NlsResolve(lcid);
    const int primary = int(PrimaryLangId(lcid)), sub = int(SubLangId(lcid));
    const auto languages = GetLanguages();
    auto first = [&](auto pred) -> int {
        for (size_t i = 0; i < languages.size(); ++i)
            if (languages[i]->PrimaryId == primary && pred(*languages[i])) return int(i);
        return -1;
    };
    int index = first([&](const TIvLanguage& l) { return l.SubLanguage == sub || l.InSubLanguages(sub); });
    if (index < 0)
        index = first([](const TIvLanguage& l) { return l.SubLanguages.isEmpty() || l.SubLanguages.first().toInt() == 0; });
    if (index < 0) index = first([](const TIvLanguage&) { return true; });
    return index;
}

int TIvDictionary::FirstSupportedLanguage() {
    const auto languages = GetLanguages();
    const size_t start = !languages.empty() && languages[0]->PrimaryId == 0 ? 1 : 0;
    for (size_t i = start; i < languages.size(); ++i)
        if (LanguageSupported(*languages[i])) return int(i);
    return -1;
}

bool TIvDictionary::LanguageOffered(int index, bool anyCheckLevel) {
    if (index < 0 || index >= LanguageCount()) return false;
    TIvLanguage language;
    GetLanguage(index, language);
    if (index == 0 && language.PrimaryId == 0) return false;
    if (!anyCheckLevel && !LanguageSupported(language)) return false;
    return LanguageComplete(index);
}

int TIvDictionary::FirstOfferedLanguage() {
    const int count = LanguageCount();
    for (int i = 0; i < count; ++i)
        if (LanguageOffered(i)) return i;
    return -1;
}

int TIvDictionary::FallbackOf(const TIvLanguage& language) {
    if (language.SubLanguages.isEmpty()) return 0;
    return std::max(0, LanguageIndexOfLocale(MakeLcid(MakeLangId(uint32_t(language.PrimaryId), 0))));
}

void TIvDictionary::ActivateLanguage(int index) {
    const int count = LanguageCount();
    m_fallbackIndex = 0;
    if (index == -2) index = LanguageIndexOfLocale(LOCALE_SYSTEM_DEFAULT);
    else if (index == -1) index = LanguageIndexOfLocale(LOCALE_USER_DEFAULT);
    // An index stored while closed may lie beyond the languages of the file.
    if (index >= count) index = -1;
    if (index < 0) index = FirstSupportedLanguage();
    if (index < 0) throw EIvMulti(QStringLiteral("System does not support any language of the dicitonary!"));

    auto language = std::make_unique<TIvLanguage>();
    if (count > 0) GetLanguage(index, *language);
    if (Binding == ivbiLocaleToLanguage) {
        const uint32_t user = NlsResolve(m_openRequested == -2 ? LOCALE_SYSTEM_DEFAULT : LOCALE_USER_DEFAULT);
        const int sub = int(PrimaryLangId(user)) == language->PrimaryId ? int(SubLangId(user))
                                                                         : int(SubLangId(language->Lcid()));
        const bool accepted = sub >= 0 && (language->SubLanguages.isEmpty() || language->InSubLanguages(sub));
        language->LocaleSubLanguage = accepted ? sub : language->SubLanguage;
    }
    m_fallbackIndex = FallbackOf(*language);
    m_languageLocaleLcid = language->OwnLocale();
    m_currentLanguage = std::move(language);
    m_currentIndex = index;
    if (CheckLevel == ivclNone || LanguageSupported(*m_currentLanguage)) return;
    throw EIvMulti(m_currentLanguage->EnglishName + (CheckLevel == ivclSystem
                                                         ? QStringLiteral(" is not supported by the system")
                                                         : QStringLiteral(" is not supported by the code page")));
}

void TIvDictionary::ActivateLocale(uint32_t lcid) {
    lcid = NlsResolve(lcid);
    auto locale = std::make_unique<TIvLocale>();
    locale->PrimaryId = int32_t(PrimaryLangId(lcid));
    locale->SubLanguage = int32_t(SubLangId(lcid));
    bool filled = false;
    if (LocaleCount() > 0)
        for (auto& custom : GetLocales())
            if (custom->Lcid() == lcid) {
                locale = std::move(custom);
                filled = true;
                break;
            }
    if (!filled) ReadSystemLocale(lcid, *locale);
    m_currentLocale = std::move(locale);
    m_currentLcid = lcid;
    if (CheckLevel == ivclNone || LocaleSupported(*m_currentLocale)) return;
    const QString format = CheckLevel == ivclSystem
                               ? QStringLiteral("The locale (%1, %2) is not supported by the system")
                               : QStringLiteral("The locale (%1, %2) is not supported by the current code page");
    throw EIvMulti(format.arg(m_currentLocale->PrimaryId).arg(m_currentLocale->SubLanguage));
}

// ---- TIvCustomDictionary ----

void TIvCustomDictionary::ReloadTable() {
    std::vector<TIvTranslation> table;
    LoadTranslations(table);
    const bool byKey = ContextsInUse();
    for (TIvTranslation& t : table) t.MakeKey();
    std::sort(table.begin(), table.end(), [byKey](const TIvTranslation& a, const TIvTranslation& b) {
        return CompareStr(byKey ? a.Key : a.Native, byKey ? b.Key : b.Native) < 0;
    });
    m_table.swap(table);
}

void TIvCustomDictionary::Changed(bool languageChanged, bool localeChanged) {
    if (!languageChanged) {
        TIvDictionary::Changed(languageChanged, localeChanged);
        return;
    }
    // A translator pass or a handler that fails leaves the dictionary on its
    // previous language (restored by the caller): the table goes back with
    // it, and so do the runtime's formats.
    std::vector<TIvTranslation> previous = m_table;
    const TIvFormatSettings formats = IvFormatSettings();
    ReloadTable();
    try {
        TIvDictionary::Changed(languageChanged, localeChanged);
    } catch (...) {
        m_table.swap(previous);
        IvFormatSettings() = formats;
        throw;
    }
}

void TIvCustomDictionary::Close() {
    TIvDictionary::Close();
    // A closed dictionary translates nothing until it is opened again.
    m_table.clear();
}

const TIvTranslation* TIvCustomDictionary::FindText(const QString& text) const {
    // With contexts the table is ordered by the composite key, whose order
    // the text followed by the separator keeps.
    const bool byKey = ContextsInUse();
    const QString wanted = byKey ? text + kContextSeparator : text;
    qsizetype low = 0, high = qsizetype(m_table.size()) - 1;
    while (low <= high) {
        const qsizetype mid = (low + high) / 2;
        const TIvTranslation& e = m_table[size_t(mid)];
        const int c = byKey ? CompareStr(QStringView(e.Key).left(e.Native.size() + 1), wanted)
                            : CompareStr(e.Native, wanted);
        if (c == 0) return &e;
        if (c < 0) low = mid + 1;
        else high = mid - 1;
    }
    return nullptr;
}

const TIvTranslation* TIvCustomDictionary::FindKey(const QString& key) const {
    auto it = std::lower_bound(m_table.begin(), m_table.end(), key,
                               [](const TIvTranslation& e, const QString& k) { return CompareStr(e.Key, k) < 0; });
    return it != m_table.end() && it->Key == key ? &*it : nullptr;
}

bool TIvCustomDictionary::Translate(const QString& text, QString& result) {
    if (!IsOpen()) return false;
    const TIvTranslation* e = FindText(text);
    if (!e) return false;
    result = e->Translation;
    return true;
}

bool TIvCustomDictionary::TranslateWithContext(const QString& text, const QString& context, QString& result,
                                               const QString& context2) {
    if (!IsOpen()) return false;
    if (!ContextsInUse()) return Translate(text, result);
    const QString c1 = ContextParts() & ivcpFirst ? context : QString();
    const QString c2 = ContextParts() & ivcpSecond ? context2 : QString();
    const TIvTranslation* e = FindKey(text + kContextSeparator + c1 + c2);
    if (!e) return false;
    result = e->Translation;
    return true;
}
