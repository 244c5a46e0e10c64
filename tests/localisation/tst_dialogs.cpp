// The translated common dialogs, inspected before they run: filters and
// their index, the default extension, the labels through the named or the
// first dictionary, and the custom colours.
#include "MldFixtures.h"
#include "localisation/IvDialogs.h"
#include "localisation/IvDictio.h"
#include "support/TestSupport.h"

#include <QColorDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFontDialog>
#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QHeaderView>
#include <QLibraryInfo>
#include <QScopeGuard>
#include <QToolButton>
#include <QTreeView>
#include <QTimer>
#include <QtTest>
#include <memory>
#include <tuple>

namespace {

QString Label(QFileDialog& d, QFileDialog::DialogLabel which) { return d.labelText(which); }

QStringList Texts(QWidget* w) {
    QStringList out;
    for (QLabel* l : w->findChildren<QLabel*>()) out << l->text();
    for (QAbstractButton* b : w->findChildren<QAbstractButton*>()) out << b->text();
    return out;
}

}  // namespace

class TestDialogs : public QObject {
    Q_OBJECT
    TestDir dir;
    TestDir m_noQtTranslations;
    std::unique_ptr<TIvBinaryDictionary> first;
    std::unique_ptr<TIvBinaryDictionary> second;

private slots:
    void initTestCase() {
        NlsSetDefaultLcidOverride(MakeLangId(9, 1));
        // The dialogs' texts come from the fixture dictionaries here, not
        // from Qt's own translations (a directory without any).
        QtTranslationsDirectory() = m_noQtTranslations.path();
    }
    void init() {
        // Two dictionaries that translate the same texts differently.
        const std::vector<TIvMLDEntry> a{
            FixtureEntry("Open", "Öffnen", "Open"),          FixtureEntry("Save As", "Speichern unter", "Save As"),
            FixtureEntry("&Save", "&Speichern", "&Save"),    FixtureEntry("&Open", "Ö&ffnen", "&Open"),
            FixtureEntry("Cancel", "Abbrechen", "Cancel"),   FixtureEntry("File &name:", "Datei&name:", "File &name:"),
            FixtureEntry("Look &in:", "Suchen &in:", "Look &in:"), FixtureEntry("Save &in:", "Speichern &in:", "Save &in:"),
            FixtureEntry("Files of &type:", "Datei&typ:", "Files of &type:"),
            FixtureEntry("Save as &type:", "Speichern als &Typ:", "Save as &type:"),
            FixtureEntry("Datei speichern unter", "Datei speichern unter", "Save file as"),
            FixtureEntry("Color", "Farbe", "Colour"),        FixtureEntry("&Basic colors:", "&Grundfarben:", "&Basic colours:"),
            FixtureEntry("&Custom colors:", "&Eigene Farben:", "&Custom colours:"),
            FixtureEntry("OK", "OK", "OK"),                  FixtureEntry("Font", "Schriftart", "Font"),
            FixtureEntry("&Font:", "Schrift&art:", "&Font:"),    FixtureEntry("&Underline", "&Unterstrichen", "&Underline"),
            FixtureEntry("Picture:", "Bild:", "Picture:"), FixtureEntry("Preview", "Vorschau", "Preview"), FixtureEntry("Size", "Größe", "Size"),
            FixtureEntry("Modified", "Geändert", "Modified"),   FixtureEntry("(None)", "(Keines)", "(None)"),
        };
        const std::vector<TIvMLDEntry> b{FixtureEntry("Open", "Aufmachen", "Open up"),
                                         FixtureEntry("Cancel", "Lassen", "Never mind")};
        first.reset(FixtureDictionary(WriteFixture(dir.file("a.mld"), FixtureLanguages(false), a), "MenuDictionary"));
        second.reset(FixtureDictionary(WriteFixture(dir.file("b.mld"), FixtureLanguages(false), b), "OtherDictionary"));
        for (TIvBinaryDictionary* d : {first.get(), second.get()}) {
            d->SetLanguage(1);
            d->Open();
        }
    }
    void cleanup() {
        second.reset();
        first.reset();
    }

    void filterConversion_data() {
        QTest::addColumn<QString>("filter");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("two") << "Text Dateien|*.txt|Alle|*.*" << QStringList{"Text Dateien (*.txt)", "Alle (*.*)"};
        QTest::newRow("patterns listed") << "Bitmaps (*.bmp)|*.bmp" << QStringList{"Bitmaps (*.bmp)"};
        QTest::newRow("several patterns") << "Bilder|*.bmp;*.dib" << QStringList{"Bilder (*.bmp *.dib)"};
        QTest::newRow("odd part dropped") << "Text|*.txt|Rest" << QStringList{"Text (*.txt)"};
        QTest::newRow("empty") << "" << QStringList{};
    }
    void filterConversion() {
        QFETCH(QString, filter);
        QFETCH(QStringList, expected);
        QCOMPARE(FilterToNameFilters(filter), expected);
    }

    void indexAndExtension() {
        const QStringList filters{"Text (*.txt)", "Alle (*.*)"};
        QCOMPARE(NameFilterIndex(filters, "Text (*.txt)"), 1);
        QCOMPARE(NameFilterIndex(filters, "Alle (*.*)"), 2);
        QCOMPARE(NameFilterIndex(filters, "Sonst (*.x)"), 1);
        QCOMPARE(WithoutMnemonic("Save &in:"), QStringLiteral("Save in:"));
        QCOMPARE(WithoutMnemonic("A && B &x"), QStringLiteral("A & B x"));
        QCOMPARE(WithoutMnemonic("end&"), QStringLiteral("end"));
        QCOMPARE(DefaultSuffix("TXT"), QStringLiteral("TXT"));
        QCOMPARE(DefaultSuffix(".txt"), QStringLiteral("txt"));
        QCOMPARE(DefaultSuffix(""), QString());

        TIvSaveDialog save;
        save.Filter = "Text Dateien|*.txt|Alle|*.*";
        save.FilterIndex = 2;
        save.DefaultExt = "TXT";
        save.Options = ofOverwritePrompt;
        std::unique_ptr<QFileDialog> d = save.CreateDialog();
        QVERIFY(d->testOption(QFileDialog::DontUseNativeDialog));
        QCOMPARE(d->acceptMode(), QFileDialog::AcceptSave);
        QCOMPARE(d->nameFilters(), (QStringList{"Text Dateien (*.txt)", "Alle (*.*)"}));
        QCOMPARE(d->selectedNameFilter(), QStringLiteral("Alle (*.*)"));
        QCOMPARE(d->defaultSuffix(), QStringLiteral("TXT"));
        QVERIFY(!d->testOption(QFileDialog::DontConfirmOverwrite));
        // An index out of range selects the first filter.
        save.FilterIndex = 7;
        QCOMPARE(save.CreateDialog()->selectedNameFilter(), QStringLiteral("Text Dateien (*.txt)"));
        // The result comes back with its index.
        d->selectNameFilter("Alle (*.*)");
        d->selectFile(dir.file("x.txt"));
        save.TakeResult(*d);
        QCOMPARE(save.FilterIndex, 2);
        QCOMPARE(save.FileName(), dir.file("x.txt"));
    }

    void fileModes_data() {
        QTest::addColumn<bool>("save");
        QTest::addColumn<int>("options");
        QTest::addColumn<int>("mode");
        QTest::newRow("open one") << false << 0 << int(QFileDialog::ExistingFile);
        QTest::newRow("open several") << false << int(ofAllowMultiSelect) << int(QFileDialog::ExistingFiles);
        QTest::newRow("save") << true << int(ofAllowMultiSelect) << int(QFileDialog::AnyFile);
    }
    void fileModes() {
        QFETCH(bool, save);
        QFETCH(int, options);
        QFETCH(int, mode);
        std::unique_ptr<TIvOpenDialog> owner(save ? new TIvSaveDialog : new TIvOpenDialog);
        owner->Options = TIvOpenOptions(options);
        QCOMPARE(int(owner->CreateDialog()->fileMode()), mode);
    }

    void startsWhereTold() {
        // Longer than the 260 characters a file-name buffer of the platform holds.
        QString sub = dir.file("unter");
        while (sub.size() < 300) sub += QStringLiteral("/verzeichnis-mit-einem-recht-langen-namen");
        QVERIFY(QDir().mkpath(sub));
        const QString file = sub + QStringLiteral("/vorhanden.txt");
        QFile(file).open(QIODevice::WriteOnly);
        TIvOpenDialog open;
        open.InitialDir = sub;
        std::unique_ptr<QFileDialog> d = open.CreateDialog();
        QCOMPARE(d->directory().absolutePath(), QDir(sub).absolutePath());
        open.InitialDir.clear();
        open.SetFileName(file);
        d = open.CreateDialog();
        QCOMPARE(d->selectedFiles(), QStringList{file});
        QCOMPARE(open.FileName(), file);
        open.TakeResult(*d);
        QCOMPARE(open.FileName(), file);
        QVERIFY(open.FileName().size() > 300);
    }

    // The dialog's own events reach the component while it runs.
    void fileDialogEvents() {
        TIvOpenDialog open;
        open.Filter = "Text|*.txt|Alle|*.*";
        int folder = 0, selection = 0, type = 0;
        open.OnFolderChange = [&] { ++folder; };
        open.OnSelectionChange = [&] { ++selection; };
        open.OnTypeChange = [&] { ++type; };
        std::unique_ptr<QFileDialog> d = open.CreateDialog();
        emit d->directoryEntered(dir.path());
        QCOMPARE(std::make_tuple(folder, selection, type), std::make_tuple(1, 0, 0));
        emit d->currentChanged(dir.file("a.txt"));
        QCOMPARE(std::make_tuple(folder, selection, type), std::make_tuple(1, 1, 0));
        emit d->filterSelected("Alle (*.*)");
        QCOMPARE(std::make_tuple(folder, selection, type), std::make_tuple(1, 1, 1));
        // Without handlers the same signals do nothing.
        TIvOpenDialog quiet;
        std::unique_ptr<QFileDialog> q = quiet.CreateDialog();
        emit q->directoryEntered(dir.path());
        emit q->filterSelected("x");
    }

    // With ivdpCenter a dialog stands centred (halves rounded towards zero)
    // over its parent window: Parent with ivdpParent, else the owner's
    // window with ivdpParent; without one, on the screen.
    void centredOverItsParent_data() {
        QTest::addColumn<int>("positions");
        QTest::addColumn<int>("parent");  // 0 none, 1 Parent, 2 the owner
        QTest::addColumn<QRect>("over");  // the parent's place; empty: the screen
        const int both = ivdpCenter | ivdpParent;
        QTest::newRow("over Parent") << both << 1 << QRect(103, 51, 601, 401);
        QTest::newRow("over the owner") << both << 2 << QRect(40, 31, 507, 303);
        QTest::newRow("on the screen") << int(ivdpCenter) << 0 << QRect();
    }
    void centredOverItsParent() {
        QFETCH(int, positions);
        QFETCH(int, parent);
        QFETCH(QRect, over);
        QWidget window;
        window.setGeometry(over);
        if (parent) window.show();
        TIvColorDialog colour(parent == 2 ? &window : nullptr);
        colour.Positions = TIvDialogPositions(positions);
        if (parent == 1) colour.Parent = &window;
        QRect placed;
        colour.OnShow = [&placed] {
            QTimer::singleShot(0, [&placed] {
                if (auto* d = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
                    placed = d->frameGeometry();
                    d->reject();
                }
            });
        };
        QVERIFY(!colour.Execute());
        QVERIFY(placed.isValid());
        const QRect area = over.isEmpty() ? QGuiApplication::primaryScreen()->availableGeometry() : window.frameGeometry();
        QCOMPARE(placed.topLeft(), QPoint(area.left() + (area.width() - placed.width()) / 2,
                                          area.top() + (area.height() - placed.height()) / 2));
    }

    void labelsThroughTheNamedDictionary_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("cancel");
        QTest::newRow("named") << "OtherDictionary" << "Aufmachen" << "Lassen";
        QTest::newRow("unknown name: first") << "NoSuchDictionary" << "Öffnen" << "Abbrechen";
        QTest::newRow("empty name: first") << "" << "Öffnen" << "Abbrechen";
    }
    void labelsThroughTheNamedDictionary() {
        QFETCH(QString, name);
        QFETCH(QString, caption);
        QFETCH(QString, cancel);
        TIvOpenDialog open;
        open.DictionaryName = name;
        std::unique_ptr<QFileDialog> d = open.CreateDialog();
        QCOMPARE(d->windowTitle(), caption);
        QCOMPARE(Label(*d, QFileDialog::Reject), cancel);
    }

    void openAndSaveLabels() {
        TIvOpenDialog open;
        std::unique_ptr<QFileDialog> o = open.CreateDialog();
        QCOMPARE(Label(*o, QFileDialog::Accept), QStringLiteral("Ö&ffnen"));
        QCOMPARE(Label(*o, QFileDialog::LookIn), QStringLiteral("Suchen in:"));
        QCOMPARE(Label(*o, QFileDialog::FileType), QStringLiteral("Dateityp:"));
        QCOMPARE(Label(*o, QFileDialog::FileName), QStringLiteral("Datei&name:"));
        QCOMPARE(o->proxyModel()->headerData(1, Qt::Horizontal).toString(), QStringLiteral("Größe"));
        QCOMPARE(o->proxyModel()->headerData(3, Qt::Horizontal).toString(), QStringLiteral("Geändert"));
        TIvSaveDialog save;
        std::unique_ptr<QFileDialog> s = save.CreateDialog();
        QCOMPARE(s->windowTitle(), QStringLiteral("Speichern unter"));
        QCOMPARE(Label(*s, QFileDialog::Accept), QStringLiteral("&Speichern"));
        QCOMPARE(Label(*s, QFileDialog::LookIn), QStringLiteral("Speichern in:"));
        QCOMPARE(Label(*s, QFileDialog::FileType), QStringLiteral("Speichern als Typ:"));
        save.Title = "Datei speichern unter";
        QCOMPARE(save.CreateDialog()->windowTitle(), QStringLiteral("Datei speichern unter"));
        // English: the same dialog follows the dictionary's language.
        first->SetLanguage(2);
        QCOMPARE(save.CreateDialog()->windowTitle(), QStringLiteral("Save file as"));
    }

    // The detail view's size, type and date columns hold what they show for
    // a folder, a text file and an archive: their types and their times in the system's
    // format (Qt sizes them for English samples), and every column stays in
    // sight beside the names, without scrolling.
    void detailColumnsHoldTheirTexts_data() {
        QTest::addColumn<int>("language");
        QTest::newRow("German") << 1;
        QTest::newRow("English") << 2;
    }
    void detailColumnsHoldTheirTexts() {
        QFETCH(int, language);
        // Qt's own texts in the language too, where they are installed.
        const QString installed = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
        if (language == 1 && !QFileInfo::exists(QDir(installed).filePath(QStringLiteral("qtbase_de.qm"))))
            QSKIP("Qt's German translations are not installed (Debian package qt6-translations-l10n)");
        QtTranslationsDirectory() = installed;
        const auto noQt = qScopeGuard([this] { QtTranslationsDirectory() = m_noQtTranslations.path(); });
        first->SetLanguage(language == 1 ? 2 : 1);
        first->SetLanguage(language);
        if (language == 1) QVERIFY(QCoreApplication::translate("QAbstractFileIconProvider", "Folder") != QLatin1String("Folder"));
        TestDir files;
        QVERIFY(QDir().mkpath(files.file(QStringLiteral("folder"))));
        QFile note(files.file(QStringLiteral("note.txt")));
        QVERIFY(note.open(QIODevice::WriteOnly));
        note.write("a note\n");
        note.close();
        // A type wider than the column Qt makes for its samples: the column
        // must be fitted to the rows it shows.
        QFile archive(files.file(QStringLiteral("notes.tar.gz")));
        QVERIFY(archive.open(QIODevice::WriteOnly));
        archive.close();
        TIvSaveDialog save;
        save.InitialDir = files.path();
        std::unique_ptr<QFileDialog> d = save.CreateDialog();
        d->setViewMode(QFileDialog::Detail);
        auto* view = d->findChild<QTreeView*>(QStringLiteral("treeView"));
        QVERIFY(view);
        d->show();
        const auto rowOf = [view](const QString& name) {
            const QAbstractItemModel* m = view->model();
            for (int r = 0; r < m->rowCount(view->rootIndex()) && r < 100; ++r)
                if (m->index(r, 0, view->rootIndex()).data().toString() == name) return r;
            return -1;
        };
        QTRY_VERIFY_WITH_TIMEOUT(rowOf(QStringLiteral("folder")) >= 0 && rowOf(QStringLiteral("note.txt")) >= 0 &&
                                     rowOf(QStringLiteral("notes.tar.gz")) >= 0,
                                 10000);
        QTest::qWait(200);
        const QFontMetrics fm(view->font());
        const QString archiveType =
            view->model()->index(rowOf(QStringLiteral("notes.tar.gz")), 2, view->rootIndex()).data().toString();
        QVERIFY2(fm.horizontalAdvance(archiveType) > fm.horizontalAdvance(QStringLiteral("plain text document")),
                 qPrintable(archiveType));
        for (const QString& name : {QStringLiteral("folder"), QStringLiteral("note.txt"), QStringLiteral("notes.tar.gz")})
            for (int column : {1, 2, 3}) {
                const QString text = view->model()->index(rowOf(name), column, view->rootIndex()).data().toString();
                if (column > 1) QVERIFY(!text.isEmpty());
                QVERIFY2(fm.horizontalAdvance(text) + 6 <= view->header()->sectionSize(column),
                         qPrintable(QStringLiteral("%1: %2 in %3").arg(text).arg(fm.horizontalAdvance(text)).arg(view->header()->sectionSize(column))));
            }
        QVERIFY(view->header()->sectionSize(0) >= fm.horizontalAdvance(QString(20, u'w')));
        int columns = 0;
        for (int c = 0; c < 4; ++c) columns += view->header()->sectionSize(c);
        QVERIFY2(columns <= view->viewport()->width(),
                 qPrintable(QStringLiteral("%1 in %2").arg(columns).arg(view->viewport()->width())));
        d.reset();
        first->SetLanguage(2);
    }

    void withoutDictionaryUntranslated() {
        second.reset();
        first.reset();
        QCOMPARE(Dictionaries().Count(), 0);
        TIvOpenDialog open;
        QCOMPARE(open.CreateDialog()->windowTitle(), QStringLiteral("Open"));
        QCOMPARE(open.Dictionary(), nullptr);
    }

    void colourAndFontLabels() {
        TIvColorDialog colour;
        std::unique_ptr<QColorDialog> c = colour.CreateDialog();
        QVERIFY(c->testOption(QColorDialog::DontUseNativeDialog));
        QCOMPARE(c->windowTitle(), QStringLiteral("Farbe"));
        const QStringList ct = Texts(c.get());
        QVERIFY2(ct.contains("&Grundfarben:"), qPrintable(ct.join('|')));
        QVERIFY2(ct.contains("&Eigene Farben:"), qPrintable(ct.join('|')));
        TIvFontDialog font;
        bool applied = false;
        font.OnApply = [&](const QFont&) { applied = true; };
        std::unique_ptr<QFontDialog> fd = font.CreateDialog();
        QCOMPARE(fd->windowTitle(), QStringLiteral("Schriftart"));
        const QStringList ft = Texts(fd.get());
        QVERIFY2(ft.contains("Schrift&art:"), qPrintable(ft.join('|')));
        QVERIFY2(ft.contains("&Unterstrichen"), qPrintable(ft.join('|')));
        auto* box = fd->findChild<QDialogButtonBox*>();
        QVERIFY(box && box->button(QDialogButtonBox::Apply));
        box->button(QDialogButtonBox::Apply)->click();
        QVERIFY(applied);
    }

    void fontSizeLimits_data() {
        QTest::addColumn<int>("minimum");
        QTest::addColumn<int>("maximum");
        QTest::addColumn<int>("chosen");
        QTest::addColumn<int>("kept");
        QTest::newRow("no limits") << 0 << 0 << 30 << 30;
        QTest::newRow("above") << 8 << 20 << 30 << 20;
        QTest::newRow("at maximum") << 8 << 20 << 20 << 20;
        QTest::newRow("below") << 8 << 20 << 5 << 8;
        QTest::newRow("at minimum") << 8 << 20 << 8 << 8;
        QTest::newRow("inside") << 8 << 20 << 12 << 12;
        QTest::newRow("only a maximum") << 0 << 20 << 30 << 20;
        QTest::newRow("maximum below minimum: none") << 20 << 8 << 30 << 30;
        QTest::newRow("only a minimum: none") << 8 << 0 << 5 << 5;
    }
    void fontSizeLimits() {
        QFETCH(int, minimum);
        QFETCH(int, maximum);
        QFETCH(int, chosen);
        QFETCH(int, kept);
        TIvFontDialog font;
        font.MinFontSize = minimum;
        font.MaxFontSize = maximum;
        QFont f;
        f.setPointSize(chosen);
        f.setItalic(true);
        const QFont limited = font.LimitedFont(f);
        QCOMPARE(limited.pointSize(), kept);
        QVERIFY(limited.italic());
        // Apply hands on the limited font too.
        int applied = 0;
        font.OnApply = [&](const QFont& a) { applied = a.pointSize(); };
        font.Font = f;
        std::unique_ptr<QFontDialog> d = font.CreateDialog();
        d->setCurrentFont(f);
        d->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Apply)->click();
        QCOMPARE(applied, kept);
    }

    void customColours_data() {
        QTest::addColumn<QStringList>("entries");
        QTest::addColumn<int>("indexA");
        QTest::addColumn<int>("valueA");
        QTest::addColumn<int>("valueB");
        QTest::addColumn<int>("valueP");
        QTest::newRow("hex values") << QStringList{"ColorA=0000ff", "ColorB=$00ff00", "ColorP=ff0000"} << 0 << 0xFF
                                    << 0xFF00 << 0xFF0000;
        QTest::newRow("missing entries") << QStringList{"ColorB=123456"} << 0 << -1 << 0x123456 << -1;
        QTest::newRow("malformed") << QStringList{"ColorA=zz", "ColorB=1000000", "ColorP="} << 0 << -1 << -1 << -1;
        QTest::newRow("other case") << QStringList{"colora=abcdef"} << 0 << 0xABCDEF << -1 << -1;
    }
    void customColours() {
        QFETCH(QStringList, entries);
        QFETCH(int, indexA);
        QFETCH(int, valueA);
        QFETCH(int, valueB);
        QFETCH(int, valueP);
        TIvColorDialog colour;
        colour.CustomColors = entries;
        const std::array<int, 16> v = colour.CustomColorValues();
        QCOMPARE(v[size_t(indexA)], valueA);
        QCOMPARE(v[1], valueB);
        QCOMPARE(v[15], valueP);
        // Through the dialog and back: all 16 entries, six digits each.
        std::unique_ptr<QColorDialog> c = colour.CreateDialog();
        if (valueA >= 0) QCOMPARE(QColorDialog::customColor(0), ColorFromNumber(valueA));
        colour.TakeResult(*c);
        QCOMPARE(colour.CustomColors.size(), 16);
        for (int i = 0; i < 16; ++i) {
            const QString e = colour.CustomColors[i];
            QCOMPARE(e.left(6), QStringLiteral("Color") + QChar(u'A' + i));
            QCOMPARE(e.mid(7).size(), 6);
        }
        if (valueB >= 0)
            QCOMPARE(colour.CustomColors[1], QStringLiteral("ColorB=%1").arg(valueB, 6, 16, QLatin1Char('0')));
        else
            QCOMPARE(colour.CustomColors[1], QStringLiteral("ColorB=ffffff"));
        // A second round reads what the first wrote.
        const QStringList written = colour.CustomColors;
        colour.TakeResult(*colour.CreateDialog());
        QCOMPARE(colour.CustomColors, written);
    }

    void colourNumbers() {
        QCOMPARE(ColorToNumber(QColor(0x12, 0x34, 0x56)), 0x563412);
        QCOMPARE(ColorFromNumber(0x563412), QColor(0x12, 0x34, 0x56));
        QCOMPARE(ColorToNumber(QColor()), -1);
    }

    void picturePreviewLabel() {
        QImage img(7, 3, QImage::Format_RGB32);
        img.fill(Qt::red);
        const QString bmp = dir.file("logo.bmp");
        QVERIFY(img.save(bmp, "BMP"));
        const QString text = dir.file("note.txt");
        QFile(text).open(QIODevice::WriteOnly);
        TIvOpenPictureDialog picture;
        QCOMPARE(picture.PreviewLabel(bmp), QStringLiteral(" (7x3)"));
        QCOMPARE(picture.PreviewLabel(text), QStringLiteral("Bild:"));
        QCOMPARE(picture.PreviewLabel(dir.file("missing.bmp")), QStringLiteral("Bild:"));
        std::unique_ptr<QFileDialog> d = picture.CreateDialog();
        auto* preview = d->findChild<QLabel*>("PreviewPicture");
        QVERIFY(preview);
        QCOMPARE(preview->text(), QStringLiteral("(Keines)"));
        auto* button = d->findChild<QToolButton*>("PreviewButton");
        QVERIFY(button);
        QVERIFY(!button->isEnabled());
        QCOMPARE(button->toolTip(), QStringLiteral("Vorschau"));
        emit d->currentChanged(bmp);
        QVERIFY(!preview->pixmap().isNull());
        QVERIFY(button->isEnabled());
        QCOMPARE(d->findChild<QLabel*>("PreviewLabel")->text(), QStringLiteral(" (7x3)"));
        emit d->currentChanged(text);
        QVERIFY(!button->isEnabled());
        QCOMPARE(preview->text(), QStringLiteral("(Keines)"));
        QCOMPARE(d->findChild<QLabel*>("PreviewLabel")->text(), QStringLiteral("Bild:"));
    }
};

QTEST_MAIN(TestDialogs)
#include "tst_dialogs.moc"
