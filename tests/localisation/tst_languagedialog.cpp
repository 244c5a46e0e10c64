// The language dialog offscreen on a real dictionary file: the list with its
// translated and sorted names, the preselection, Ok, Cancel, a double-click,
// Ok without a selection, the closed-dictionary error, the languages worth
// offering and the Help button.
#include "MldFixtures.h"
#include "localisation/IvCommon.h"
#include "localisation/IvLangDlg.h"
#include "support/TestSupport.h"

#include <QApplication>
#include <QPushButton>
#include <QTimer>
#include <QTreeWidget>
#include <QtTest>
#include <functional>
#include <memory>

namespace {

std::vector<TIvMLDEntry> DialogEntries() {
    return {
        FixtureEntry("German", "Deutsch", "German", "Немецкий"),
        FixtureEntry("English", "Englisch", "English", "Английский"),
        FixtureEntry("Russian", "Russisch", "Russian", "Русский"),
        FixtureEntry("Select Language", "Sprache auswählen", "Select Language", "Выбор языка"),
        FixtureEntry("Cancel", "Abbrechen", "Cancel", "Отмена"),
    };
}

struct OpenDictionary {
    TestDir dir;
    std::unique_ptr<TIvBinaryDictionary> d;
    explicit OpenDictionary(int language, std::vector<TIvLanguage> languages = FixtureLanguages()) {
        const QString file = WriteFixture(dir.file("dialog.mld"), languages, DialogEntries());
        d.reset(FixtureDictionary(file, "DialogDictionary"));
        d->SetLanguage(language);
        d->Open();
    }
};

QStringList Names(const QTreeWidget* tree) {
    QStringList names;
    for (int i = 0; i < tree->topLevelItemCount(); ++i) names << tree->topLevelItem(i)->text(0);
    return names;
}

QTreeWidgetItem* Node(QTreeWidget* tree, const QString& text) {
    const auto found = tree->findItems(text, Qt::MatchExactly);
    return found.isEmpty() ? nullptr : found.first();
}

// Acts on the dialog once it shows; a dialog left open is closed after a
// while so that a failing test ends.
void WhenShown(std::function<void(TIvLanguageDialog*)> act) {
    QTimer::singleShot(0, [act] {
        if (auto* d = qobject_cast<TIvLanguageDialog*>(QApplication::activeModalWidget())) act(d);
    });
    QTimer::singleShot(5000, [] {
        if (auto* d = qobject_cast<TIvLanguageDialog*>(QApplication::activeModalWidget())) d->done(-1);
    });
}

}  // namespace

class TstLanguageDialog : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { NlsSetDefaultLcidOverride(MakeLangId(9, 1)); }

    void list_data() {
        QTest::addColumn<int>("language");
        QTest::addColumn<int>("options");
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<QString>("selected");
        QTest::addColumn<QString>("caption");
        QTest::newRow("German") << 1 << 0 << QStringList{"Deutsch", "Englisch"} << "Deutsch" << "Sprache auswählen";
        QTest::newRow("English") << 2 << 0 << QStringList{"English", "German"} << "English" << "Select Language";
        QTest::newRow("all languages") << 1 << ivldAllLanguages << QStringList{"Deutsch", "Englisch", "Russisch"}
                                       << "Deutsch" << "Sprache auswählen";
        QTest::newRow("native names") << 2 << ivldNativeNames << QStringList{"Deutsch", "English"} << "English"
                                      << "Select Language";
    }
    void list() {
        QFETCH(int, language);
        QFETCH(int, options);
        QFETCH(QStringList, names);
        QFETCH(QString, selected);
        QFETCH(QString, caption);
        OpenDictionary dict(language);
        TIvLanguageDialog dialog(nullptr, dict.d.get(), 0, 0, options);
        QCOMPARE(Names(dialog.TreeView), names);
        QCOMPARE(dialog.TreeView->selectedItems().size(), 1);
        QCOMPARE(dialog.TreeView->selectedItems().first()->text(0), selected);
        QCOMPARE(dialog.windowTitle(), caption);
        QCOMPARE(dialog.CancelButton->text(), language == 1 ? "Abbrechen" : "Cancel");
        int value = -5;
        QVERIFY(dialog.SelectedValue(value));
        QCOMPARE(value, language);
    }

    // A language is offered only when every entry has a text of it or of
    // its fallback (its neutral variant): French here has two texts of
    // three, Portuguese one more than French, English (UK) none of its own.
    void offersOnlyCompleteLanguages_data() {
        QTest::addColumn<int>("index");
        QTest::addColumn<bool>("offered");
        QTest::newRow("German: every text its own") << 1 << true;
        QTest::newRow("English") << 2 << true;
        QTest::newRow("French: one text missing (not: any text)") << 3 << false;
        QTest::newRow("Portuguese: every text") << 4 << true;
        QTest::newRow("English (UK): every text by its fallback") << 5 << true;
        QTest::newRow("French (Belgium): its own text where French lacks it") << 6 << true;
        QTest::newRow("French (Switzerland): its fallback lacks one") << 7 << false;
    }
    void offersOnlyCompleteLanguages() {
        QFETCH(int, index);
        QFETCH(bool, offered);
        TestDir dir;
        std::vector<TIvLanguage> languages = FixtureLanguages(false);
        languages.push_back(FixtureLanguage(12, 1, "French", "Français", 1252));
        languages.push_back(FixtureLanguage(22, 2, "Portuguese", "Português", 1252));
        const auto variant = [](int primary, int sub, const char* name) {
            TIvLanguage l = FixtureLanguage(primary, sub, name, name, 1252);
            l.SubLanguages = QStringList{QString::number(sub)};
            return l;
        };
        languages.push_back(variant(9, 2, "English (UK)"));
        languages.push_back(variant(12, 2, "French (Belgium)"));
        languages.push_back(variant(12, 4, "French (Switzerland)"));
        const std::vector<TIvMLDEntry> entries{
            {"Cancel", {}, {}, {"Abbrechen", "Cancel", "Annuler", "Cancelar", "", "", ""}},
            {"Select Language", {}, {},
             {"Sprache auswählen", "Select Language", "", "Selecionar idioma", "", "Choisir la langue", ""}},
            {"Position", {}, {}, {"Position", "Position", "Position", "Posição", "", "", ""}},
        };
        const QString file = WriteFixture(dir.file("texts.mld"), languages, entries);
        std::unique_ptr<TIvBinaryDictionary> d(FixtureDictionary(file, "TextsDictionary"));
        d->SetLanguage(2);
        d->Open();
        QCOMPARE(d->LanguageComplete(index), offered);
        TIvLanguageDialog dialog(nullptr, d.get(), 0, 0, ivldAllLanguages);
        bool listed = false;
        for (int i = 0; i < dialog.TreeView->topLevelItemCount(); ++i)
            listed = listed || dialog.TreeView->topLevelItem(i)->data(0, Qt::UserRole).toInt() == index;
        QCOMPARE(listed, offered);
        QCOMPARE(Names(dialog.TreeView),
                 (QStringList{"English", "English (UK)", "French (Belgium)", "German", "Portuguese"}));
    }

    void okReturnsTheChosenLanguage_data() {
        QTest::addColumn<QString>("pick");
        QTest::addColumn<int>("index");
        QTest::newRow("the other one") << "Englisch" << 2;
        QTest::newRow("the preselected one") << "Deutsch" << 1;
    }
    void okReturnsTheChosenLanguage() {
        QFETCH(QString, pick);
        QFETCH(int, index);
        OpenDictionary dict(1);
        WhenShown([pick](TIvLanguageDialog* d) {
            d->TreeView->setCurrentItem(Node(d->TreeView, pick));
            QTest::mouseClick(d->OKButton, Qt::LeftButton);
        });
        int value = 99;
        QVERIFY(ExecuteLanguageDialog(nullptr, dict.d.get(), 0, value));
        QCOMPARE(value, index);
    }

    void cancelKeepsTheValue_data() {
        QTest::addColumn<bool>("escape");
        QTest::newRow("Cancel button") << false;
        QTest::newRow("Esc") << true;
    }
    void cancelKeepsTheValue() {
        QFETCH(bool, escape);
        OpenDictionary dict(1);
        WhenShown([escape](TIvLanguageDialog* d) {
            d->TreeView->setCurrentItem(Node(d->TreeView, "Englisch"));
            if (escape) QTest::keyClick(d, Qt::Key_Escape);
            else QTest::mouseClick(d->CancelButton, Qt::LeftButton);
        });
        int value = 77;
        QVERIFY(!ExecuteLanguageDialog(nullptr, dict.d.get(), 0, value));
        QCOMPARE(value, 77);
    }

    void doubleClickOnALanguageIsOk() {
        OpenDictionary dict(2);
        WhenShown([](TIvLanguageDialog* d) {
            QTreeWidgetItem* node = Node(d->TreeView, "German");
            QVERIFY(node);
            QVERIFY(QTest::qWaitForWindowExposed(d));
            const QPoint at = d->TreeView->visualItemRect(node).center();
            QVERIFY(!at.isNull());
            QTest::mouseClick(d->TreeView->viewport(), Qt::LeftButton, {}, at);
            QTest::mouseDClick(d->TreeView->viewport(), Qt::LeftButton, {}, at);
        });
        int value = 2;
        QVERIFY(ExecuteLanguageDialog(nullptr, dict.d.get(), 0, value));
        QCOMPARE(value, 1);
    }

    void okWithoutSelectionKeepsTheValue() {
        // Only the native language and one the code page refuses: nothing
        // to select.
        std::vector<TIvLanguage> languages = FixtureLanguages();
        languages.erase(languages.begin() + 1, languages.begin() + 3);
        OpenDictionary dict(0, languages);
        WhenShown([](TIvLanguageDialog* d) {
            QCOMPARE(d->TreeView->topLevelItemCount(), 0);
            QTest::mouseClick(d->OKButton, Qt::LeftButton);
        });
        int value = 42;
        QVERIFY(!ExecuteLanguageDialog(nullptr, dict.d.get(), 0, value));
        QCOMPARE(value, 42);
    }

    void closedDictionaryIsRefused() {
        OpenDictionary dict(1);
        dict.d->Close();
        int value = 3;
        try {
            ExecuteLanguageDialog(nullptr, dict.d.get(), 0, value);
            QFAIL("no error");
        } catch (const EIvMulti& e) {
            QCOMPARE(e.Message(),
                     QString("Dictionary is not open\n\rYou must open the dictionary before you can change the language"));
        }
        QCOMPARE(value, 3);
    }

    void helpButtonOnlyWithAContext() {
        OpenDictionary dict(2);
        TIvLanguageDialog without(nullptr, dict.d.get(), 0, 0, 0);
        without.show();
        QVERIFY(without.HelpButton->isHidden());
        TIvLanguageDialog with(nullptr, dict.d.get(), 0, 17, 0);
        with.show();
        QVERIFY(!with.HelpButton->isHidden());
        // The Help button opens the application's help at the context,
        // over the dialog.
        QList<QPair<QWidget*, int>> asked;
        const TIvHelpHandler saved = IvApplicationHelp();
        IvApplicationHelp() = [&asked](QWidget* owner, int context) { asked.append({owner, context}); };
        QTest::mouseClick(with.HelpButton, Qt::LeftButton);
        IvApplicationHelp() = saved;
        QCOMPARE(asked, (QList<QPair<QWidget*, int>>{{&with, 17}}));
        QVERIFY(with.isVisible());  // Help does not close the dialog
    }

    void centredOverTheControl() {
        OpenDictionary dict(2);
        QWidget control;
        control.setGeometry(300, 200, 600, 500);
        QPoint centred, kept;
        WhenShown([&centred](TIvLanguageDialog* d) {
            centred = d->pos();
            d->reject();
        });
        int value = 0;
        ExecuteLanguageDialog(&control, dict.d.get(), 0, value);
        QCOMPARE(centred, QPoint(300 + (600 - 256) / 2, 200 + (500 - 257) / 2));
        WhenShown([&kept](TIvLanguageDialog* d) {
            kept = d->pos();
            d->reject();
        });
        ExecuteLanguageDialog(&control, dict.d.get(), 0, value, 0, ivldKeepPosition);
        QVERIFY(kept != centred);
    }
};

QTEST_MAIN(TstLanguageDialog)
#include "tst_languagedialog.moc"
