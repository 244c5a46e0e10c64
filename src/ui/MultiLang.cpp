#include "ui/MultiLang.h"

#include "localisation/IvBinDic.h"
#include "localisation/IvMulti.h"
#include "ui/ApplicationForms.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QKeyEvent>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>

#include <cstdio>

TIvBinaryDictionary* IvBinaryDictionaryGlobal = nullptr;
TIvBinaryDictionary* IvBinaryDictionaryPrint = nullptr;

namespace {

int g_dictionaryUsers = 0;

constexpr TIvDictionaryOptions kDictionaryOptions =
    ivdoAutoTranslate | ivdoYear2000 | ivdoTranslateResourceStrings | ivdoRecreateMDIChild;

// Properties in the order the dictionaries expect them to be set.
TIvBinaryDictionary* NewDictionary(const QString& componentName, const QString& dictionaryName,
                                   const QString& fileName, int language, int primary, int sub) {
    auto* d = new TIvBinaryDictionary(nullptr, dictionaryName);
    d->Binding = ivbiLocaleToLanguage;
    d->CheckLevel = ivclSystem;
    d->DictionaryName = dictionaryName;
    d->SetEuro(iveNormal);
    d->SetFileName(fileName);
    d->SetLanguage(language);
    d->MissingTranslation = ivmtUseNative;
    d->setObjectName(componentName);
    d->Options = kDictionaryOptions;
    d->SetPrimaryLanguage(primary);
    d->Storage = ivsFile;
    d->SetSubLanguage(sub);
    return d;
}

QString TranslateThrough(TIvBinaryDictionary* dictionary, const QString& text) {
    return dictionary ? TranslateWord(dictionary, text) : text;
}

}  // namespace

void CreateDictionaries() {
    if (g_dictionaryUsers++ > 0) return;
    IvBinaryDictionaryGlobal =
        NewDictionary(QStringLiteral("IvBinaryDictionaryGlobal"), QStringLiteral("MenuDictionary"),
                      QDir(ProgramDirectory()).filePath(QStringLiteral("Korva32.mld")), 2, 9, 1);
    IvBinaryDictionaryPrint = NewDictionary(QStringLiteral("IvBinaryDictionaryPrint"),
                                            QStringLiteral("PrintDictionary"), QStringLiteral("Korvaprn.mld"), 0, 0, 0);
}

void FreeDictionaries() {
    if (g_dictionaryUsers == 0 || --g_dictionaryUsers > 0) return;
    delete IvBinaryDictionaryPrint;
    IvBinaryDictionaryPrint = nullptr;
    delete IvBinaryDictionaryGlobal;
    IvBinaryDictionaryGlobal = nullptr;
}

int UsableLanguage(TIvBinaryDictionary* d, int stored) {
    if (!d || !d->IsOpen() || d->LanguageOffered(stored)) return stored;
    if (d->LanguageOffered(kFallbackLanguage)) return kFallbackLanguage;
    const int first = d->FirstOfferedLanguage();
    return first >= 0 ? first : stored;
}

int SetStoredLanguage(TIvBinaryDictionary* d, int stored, const QString& what) {
    if (!d) return stored;
    const int used = UsableLanguage(d, stored);
    if (used != stored) {
        const int count = d->LanguageCount();
        const QString name = stored >= 0 && stored < count ? QStringLiteral(" (%1)").arg(d->LanguageAt(stored).EnglishName)
                                                           : QString();
        std::fprintf(stderr, "KORVA: %s %d%s is not offered by %s; %s is used.\n", qPrintable(what), stored,
                     qPrintable(name), qPrintable(QDir::toNativeSeparators(d->FileName())),
                     qPrintable(d->LanguageAt(used).EnglishName));
        std::fflush(stderr);
    }
    d->SetLanguage(used);
    return used;
}

QString TranslateMenuText(const QString& text) { return TranslateThrough(IvBinaryDictionaryGlobal, text); }

QString TranslatePrintText(const QString& text) { return TranslateThrough(IvBinaryDictionaryPrint, text); }

bool PrintFormOnDefaultPrinter(QWidget& form) {
    const QPrinterInfo info = QPrinterInfo::defaultPrinter();
    if (info.isNull()) return false;
    QPrinter printer(info);
    QPainter painter;
    if (!painter.begin(&printer)) return false;
    form.render(&painter);
    return painter.end();
}

// ---------------------------------------------------------------- base form

TTemplateFormMultiLang::TTemplateFormMultiLang(QWidget* parent) : QDialog(parent) {
    IvTranslator1 = new TIvTranslator(this);
    IvTranslator1->setObjectName(QStringLiteral("IvTranslator1"));
    IvTranslator1->SetDictionaryName(QStringLiteral("MenuDictionary"));
    IvTranslator1->Options = ivtoTranslateOCX | ivtoTranslateSystemMenu | ivtoAutoTranslate |
                             ivtoMirrorBiDirectional | ivtoCheckFont | ivtoAutoOpen | ivtoScaleMultiByte |
                             ivtoChangeFontCharset;
    IvTranslator1->Targets.Add(QString(), QStringLiteral("Hint"));
    IvTranslator1->Targets.Add(QString(), QStringLiteral("Caption"));
}

TTemplateFormMultiLang::~TTemplateFormMultiLang() {
    if (m_keyPreview) qApp->removeEventFilter(this);
}

void TTemplateFormMultiLang::Loaded() {
    IvTranslator1->Loaded();
    FormCreate();
}

void TTemplateFormMultiLang::SetKeyPreview(bool on) {
    if (on == m_keyPreview) return;
    m_keyPreview = on;
    if (on) qApp->installEventFilter(this);
    else qApp->removeEventFilter(this);
}

bool TTemplateFormMultiLang::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress) return false;
    auto* widget = qobject_cast<QWidget*>(watched);
    if (!widget || widget->window() != this) return false;
    // Only the first delivery counts, not the same key passed up to parents.
    QWidget* focus = QApplication::focusWidget();
    const bool first = widget == focus || (widget == this && (!focus || focus->window() != this));
    return first && FormKeyDown(static_cast<QKeyEvent*>(event));
}

void TTemplateFormMultiLang::keyPressEvent(QKeyEvent* event) {
    if (!m_keyPreview && FormKeyDown(event)) return;
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        if (m_cancelButton) m_cancelButton->click();
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}
