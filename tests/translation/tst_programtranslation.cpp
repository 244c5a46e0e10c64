// The full-program translation check: every form and box of the program
// (ProgramForms.cpp) is opened offscreen in every language of the compiled
// main dictionary, and every text it shows must be the translation, in that
// language, of a row of the dictionary sources.
#include "DictionarySource.h"
#include "ProgramForms.h"
#include "localisation/IvBinDic.h"
#include "localisation/IvDialogs.h"
#include "localisation/IvLangDlg.h"
#include "ui/Lek15Warten.h"
#include "ui/MultiLang.h"
#include "ui/ZO_MsgDlgBoxs.h"

#include <QAbstractButton>
#include <QAction>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QTreeWidget>
#include <QtTest>
#include <algorithm>

namespace {

const QString kSources = QStringLiteral(KORVA_SOURCE_DIR "/resources/");

struct ShownText {
    QString where;
    QString text;
};

bool HasLetter(const QString& s) {
    return std::any_of(s.begin(), s.end(), [](QChar c) { return c.isLetter(); });
}

void TreeItemTexts(QTreeWidgetItem* item, const QString& where, QList<ShownText>& out) {
    for (int c = 0; c < item->columnCount(); ++c) out.append({where, item->text(c)});
    for (int i = 0; i < item->childCount(); ++i) TreeItemTexts(item->child(i), where, out);
}

// The texts a form shows as it stands: its caption, and the texts and
// hints of every widget that is visible on it, named by class, object and
// property.
QList<ShownText> TextsShownNow(QWidget* form) {
    QList<ShownText> out;
    const auto put = [&out](QObject* o, const char* property, const QString& text) {
        out.append({QString::fromLatin1(o->metaObject()->className()) + u' ' + o->objectName() + u'.' +
                        QLatin1String(property),
                    text});
    };
    put(form, "windowTitle", form->windowTitle());
    put(form, "toolTip", form->toolTip());
    for (QWidget* w : form->findChildren<QWidget*>()) {
        if (w->isWindow() || !w->isVisibleTo(form)) continue;
        put(w, "toolTip", w->toolTip());
        if (auto* l = qobject_cast<QLabel*>(w)) put(w, "text", l->text());
        if (auto* b = qobject_cast<QAbstractButton*>(w)) put(w, "text", b->text());
        if (auto* g = qobject_cast<QGroupBox*>(w)) put(w, "title", g->title());
        if (auto* c = qobject_cast<QComboBox*>(w))
            for (int i = 0; i < c->count(); ++i) put(w, "items", c->itemText(i));
        if (auto* l = qobject_cast<QListWidget*>(w))
            for (int i = 0; i < l->count(); ++i) put(w, "items", l->item(i)->text());
        if (auto* t = qobject_cast<QTableWidget*>(w)) {
            for (int r = 0; r < t->rowCount(); ++r)
                for (int c = 0; c < t->columnCount(); ++c)
                    if (t->item(r, c)) put(w, "cells", t->item(r, c)->text());
            for (int c = 0; c < t->columnCount(); ++c)
                if (t->horizontalHeaderItem(c)) put(w, "header", t->horizontalHeaderItem(c)->text());
        }
        if (auto* t = qobject_cast<QTreeWidget*>(w)) {
            const QString where = QString::fromLatin1(w->metaObject()->className()) + u' ' + w->objectName();
            if (t->headerItem()) TreeItemTexts(t->headerItem(), where + QStringLiteral(".header"), out);
            for (int i = 0; i < t->topLevelItemCount(); ++i)
                TreeItemTexts(t->topLevelItem(i), where + QStringLiteral(".items"), out);
        }
        if (auto* t = qobject_cast<QTabWidget*>(w))
            for (int i = 0; i < t->count(); ++i) put(w, "tabs", t->tabText(i));
        if (auto* m = qobject_cast<QPlainTextEdit*>(w)) put(w, "plainText", m->toPlainText());
    }
    for (QAction* a : form->findChildren<QAction*>())
        if (!a->isSeparator()) put(a, "text", a->text());
    out.erase(std::remove_if(out.begin(), out.end(), [](const ShownText& t) { return !HasLetter(t.text); }),
              out.end());
    return out;
}

// Every text a form shows, on every page of its page controls: the pages
// behind the one shown count as well. Each text once.
QList<ShownText> VisibleTexts(QWidget* form) {
    QList<ShownText> all = TextsShownNow(form);
    for (QTabWidget* tabs : form->findChildren<QTabWidget*>()) {
        const int shown = tabs->currentIndex();
        for (int i = 0; i < tabs->count(); ++i) {
            if (i == shown) continue;
            tabs->setCurrentIndex(i);
            all += TextsShownNow(form);
        }
        tabs->setCurrentIndex(shown);
    }
    QList<ShownText> out;
    QSet<QString> seen;
    for (const ShownText& t : all)
        if (!seen.contains(t.where + QChar(0) + t.text)) {
            seen.insert(t.where + QChar(0) + t.text);
            out << t;
        }
    return out;
}

// The program's dictionary of a source ("Korva32" the menu's, "Korvaprn"
// the print's), opened, for a test that changes its language or closes it:
// the language it had comes back at the end, and it is open again, since a
// closing dictionary takes the resource texts' hook with it.
class ProgramDictionary {
public:
    explicit ProgramDictionary(const QString& source)
        : d(source == QLatin1String("Korva32") ? IvBinaryDictionaryGlobal : IvBinaryDictionaryPrint),
          m_before(d->Language()) {
        if (!d->IsOpen()) d->Open();
    }
    ~ProgramDictionary() {
        d->SetLanguage(m_before);
        d->Open();
    }
    ProgramDictionary(const ProgramDictionary&) = delete;
    ProgramDictionary& operator=(const ProgramDictionary&) = delete;

    TIvBinaryDictionary* const d;

private:
    const int m_before;
};

}  // namespace

class TestProgramTranslation : public QObject {
    Q_OBJECT

    std::unique_ptr<DictionaryScope> m_dictionaries;
    std::vector<TIvMLDEntry> m_rows;
    int m_languages = 0;

    // What a text of the dictionary comes out as in a language: its own
    // wording there, or the native text where the row has none; a label
    // that shows an "&" as it stands takes it without its mnemonic, and a
    // file filter shows as the list of its name filters.
    QSet<QString> TextsOf(int language) const {
        QSet<QString> out;
        for (const TIvMLDEntry& row : m_rows) {
            QString text = language > 0 ? row.Texts.value(language - 1) : QString();
            if (text.isEmpty()) text = row.Native;
            out.insert(text);
            out.insert(WithoutMnemonic(text));
            if (text.contains(u'|'))
                for (const QString& f : FilterToNameFilters(text)) out.insert(f);
        }
        return out;
    }

    // The texts of a form that no row of the dictionary gives in the
    // language.
    QStringList WithoutRow(QWidget* form, int language, const QStringList& dataTexts = {}) const {
        const QSet<QString> known = TextsOf(language);
        QStringList out;
        for (const ShownText& t : VisibleTexts(form)) {
            const QString key = t.where.section(u' ', 1);
            if (dataTexts.contains(key) || known.contains(t.text)) continue;
            out << t.where + QStringLiteral(" = \"") + t.text + u'"';
        }
        return out;
    }

    static void SetLanguage(int language) { IvBinaryDictionaryGlobal->SetLanguage(language); }

private slots:
    void initTestCase() {
        m_rows = ReadDictionarySource(kSources + QStringLiteral("dictionaries/Korva32.tsv"));
        AddStringTable(kSources + QStringLiteral("strings/stringtable.tsv"), m_rows);
        QVERIFY(m_rows.size() > 20);
        m_dictionaries = std::make_unique<DictionaryScope>();
        IvBinaryDictionaryGlobal->SetFileName(QStringLiteral(KORVA_BINARY_DIR "/Korva32.mld"));
        IvBinaryDictionaryPrint->SetFileName(QStringLiteral(KORVA_BINARY_DIR "/Korvaprn.mld"));
        IvBinaryDictionaryGlobal->Open();
        QVERIFY(IvBinaryDictionaryGlobal->IsOpen());
        m_languages = IvBinaryDictionaryGlobal->LanguageCount();
        // The native texts and German and English at least.
        QVERIFY(m_languages >= 3);
        QVERIFY(!ProgramForms().empty());
    }
    void cleanupTestCase() { m_dictionaries.reset(); }

    void everyFormInEveryLanguage_data() {
        QTest::addColumn<int>("form");
        QTest::addColumn<int>("language");
        for (int f = 0; f < int(ProgramForms().size()); ++f)
            for (int l = 0; l < m_languages; ++l)
                QTest::addRow("%s, language %d", qPrintable(ProgramForms()[size_t(f)].name), l) << f << l;
    }
    void everyFormInEveryLanguage() {
        QFETCH(int, form);
        QFETCH(int, language);
        const ProgramForm& entry = ProgramForms()[size_t(form)];
        SetLanguage(language);
        const std::unique_ptr<QWidget> w = entry.create();
        QVERIFY(w);
        QVERIFY(!VisibleTexts(w.get()).isEmpty());
        const QStringList missing = WithoutRow(w.get(), language, entry.dataTexts);
        QVERIFY2(missing.isEmpty(), qPrintable(QStringLiteral("texts without a dictionary row:\n") + missing.join(u'\n')));
    }

    // An open form follows a change of the language, to and fro.
    void formsFollowLanguageChange_data() {
        QTest::addColumn<int>("form");
        for (int f = 0; f < int(ProgramForms().size()); ++f)
            if (ProgramForms()[size_t(f)].followsLanguageChange)
                QTest::addRow("%s", qPrintable(ProgramForms()[size_t(f)].name)) << f;
    }
    void formsFollowLanguageChange() {
        QFETCH(int, form);
        const ProgramForm& entry = ProgramForms()[size_t(form)];
        SetLanguage(1);
        const std::unique_ptr<QWidget> w = entry.create();
        for (int language : {2, 1, 0, m_languages - 1, 2}) {
            SetLanguage(language);
            const QStringList missing = WithoutRow(w.get(), language, entry.dataTexts);
            QVERIFY2(missing.isEmpty(), qPrintable(QStringLiteral("language %1:\n").arg(language) + missing.join(u'\n')));
        }
    }

    // The check finds what it is there to find: a text without a row, and
    // a text with a row that was never translated (set around the
    // translator) in a language where it reads otherwise.
    void checkFindsUntranslatedTexts() {
        SetLanguage(2);
        TFWarten form;
        QVERIFY(WithoutRow(&form, 2).isEmpty());
        QCOMPARE(form.StaticText2->text(), QStringLiteral(" Calculation in progress "));
        form.StaticText2->setText(QStringLiteral(" Berechnung läuft "));
        QCOMPARE(WithoutRow(&form, 2),
                 QStringList{QStringLiteral("QLabel StaticText2.text = \" Berechnung läuft \"")});
        form.StaticText2->setToolTip(QStringLiteral("Kein Eintrag"));
        QCOMPARE(WithoutRow(&form, 2).size(), 2);
        // Texts that are data are named by the form's entry.
        QVERIFY(WithoutRow(&form, 2, {QStringLiteral("StaticText2.text"), QStringLiteral("StaticText2.toolTip")})
                    .isEmpty());
        // A hidden widget shows nothing.
        form.StaticText2->hide();
        QVERIFY(WithoutRow(&form, 2).isEmpty());
    }

    // The language dialogs offer only the languages in which a dictionary
    // shows every text: German and English. French and Portuguese stand in
    // the files with a text here and there (the menu dictionary's
    // "Position" has both) and are not offered, whatever the code page
    // check. Each offered language shows every row of the sources in its
    // own wording.
    void languageDialogOffersCompleteLanguages_data() {
        QTest::addColumn<QString>("source");
        QTest::addColumn<int>("options");
        QTest::addColumn<QString>("portugueseNative");  // a text the file holds in Portuguese
        QTest::addColumn<QString>("portuguese");
        QTest::newRow("menu") << "Korva32" << 0 << "Position" << u"Posição"_qs;
        QTest::newRow("menu, every code page") << "Korva32" << int(ivldAllLanguages) << "Position" << u"Posição"_qs;
        QTest::newRow("print") << "Korvaprn" << 0 << "" << "";
    }
    void languageDialogOffersCompleteLanguages() {
        QFETCH(QString, source);
        QFETCH(int, options);
        QFETCH(QString, portugueseNative);
        QFETCH(QString, portuguese);
        const ProgramDictionary program(source);
        TIvBinaryDictionary* const d = program.d;
        QVERIFY(d->IsOpen());
        if (!portugueseNative.isEmpty()) {
            d->SetLanguage(4);
            QCOMPARE(TranslateWord(d, portugueseNative), portuguese);
        }
        d->SetLanguage(2);
        QStringList names;
        QList<int> offered;
        {
            TIvLanguageDialog dialog(nullptr, d, 0, 0, options);
            for (int i = 0; i < dialog.TreeView->topLevelItemCount(); ++i) {
                names << dialog.TreeView->topLevelItem(i)->text(0);
                offered << dialog.TreeView->topLevelItem(i)->data(0, Qt::UserRole).toInt();
            }
        }
        QCOMPARE(names, (QStringList{"English", "German"}));
        std::vector<TIvMLDEntry> rows =
            ReadDictionarySource(kSources + QStringLiteral("dictionaries/") + source + QStringLiteral(".tsv"));
        AddStringTable(kSources + QStringLiteral("strings/stringtable.tsv"), rows);
        for (int language : offered) {
            d->SetLanguage(language);
            QStringList wrong;
            for (const TIvMLDEntry& row : rows)
                if (TranslateWord(d, row.Native) != row.Texts.value(language - 1)) wrong << row.Native;
            QVERIFY2(wrong.isEmpty(), qPrintable(QStringLiteral("language %1: ").arg(language) + wrong.join(u'|')));
        }
    }

    // A stored menu or print language (the registry's, the settings') is
    // taken only when the language dialogs offer it: French and Portuguese
    // of the files open English, whose texts are whole. German taken rules
    // out "always English", English in place of French rules out "the
    // first offered language" (German), the native texts and an index past
    // the file rule out "any language of the file". A dictionary that is
    // not open (its file missing on a machine) translates nothing and
    // judges nothing: the value stays.
    void storedLanguageOpensOnlyAnOfferedOne_data() {
        QTest::addColumn<QString>("source");
        QTest::addColumn<int>("stored");
        QTest::addColumn<int>("used");
        QTest::addColumn<bool>("open");
        QTest::newRow("menu: French, one text") << "Korva32" << 3 << 2 << true;
        QTest::newRow("menu: Portuguese, one text") << "Korva32" << 4 << 2 << true;
        QTest::newRow("menu: German taken") << "Korva32" << 1 << 1 << true;
        QTest::newRow("menu: the native texts") << "Korva32" << 0 << 2 << true;
        QTest::newRow("menu: beyond the file") << "Korva32" << 5 << 2 << true;
        QTest::newRow("print: French, no text") << "Korvaprn" << 3 << 2 << true;
        QTest::newRow("print: German taken") << "Korvaprn" << 1 << 1 << true;
        QTest::newRow("print: not open, French stays") << "Korvaprn" << 3 << 3 << false;
    }
    void storedLanguageOpensOnlyAnOfferedOne() {
        QFETCH(QString, source);
        QFETCH(int, stored);
        QFETCH(int, used);
        QFETCH(bool, open);
        const ProgramDictionary program(source);
        TIvBinaryDictionary* const d = program.d;
        QVERIFY(d->IsOpen());
        // From the other language, so that "left as it was" fails too.
        d->SetLanguage(used == 1 ? 2 : 1);
        if (!open) d->Close();
        QCOMPARE(SetStoredLanguage(d, stored, QStringLiteral("the test's language")), used);
        QCOMPARE(d->Language(), used);
        if (open) QCOMPARE(d->CurrentIndex(), used);
    }

    // German and English boxes show their captions and buttons in their
    // language.
    void boxesInGermanAndEnglish_data() {
        QTest::addColumn<int>("language");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QStringList>("buttons");
        QTest::newRow("German") << 1 << "Bestätigen" << QStringList{"&Ja", "&Nein", "Abbrechen"};
        QTest::newRow("English") << 2 << "Confirm" << QStringList{"&Yes", "&No", "Cancel"};
    }
    void boxesInGermanAndEnglish() {
        QFETCH(int, language);
        QFETCH(QString, caption);
        QFETCH(QStringList, buttons);
        SetLanguage(language);
        std::unique_ptr<TMessageForm> box(CreateMessageDialog(QStringLiteral("x"), MessageKind::Confirmation,
                                                              mb::Yes | mb::No | mb::Cancel, false));
        QCOMPARE(box->windowTitle(), caption);
        QStringList shown;
        for (const char* name : {"Yes", "No", "Cancel"}) shown << box->Button(QString::fromLatin1(name))->text();
        QCOMPARE(shown, buttons);
    }
};

QTEST_MAIN(TestProgramTranslation)
#include "tst_programtranslation.moc"
