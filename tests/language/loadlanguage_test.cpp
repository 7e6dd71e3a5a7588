// SPDX-License-Identifier: MIT
#include "gui/deffiles/tdownloading.h"
#include "gui/language/loadlanguage.h"
#include "gui/language/qttranslations.h"
#include "gui/platform/messagebox.h"
#include "gui/platform/mnemonics.h"
#include "gui/settings/tsettings.h"
#include "gui/settings/updown.h"
#include "gui/shell/startup.h"
#include "support/formfixture.h"

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QFile>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScopeGuard>
#include <QSet>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <QToolButton>

using namespace nuvio;

namespace {

class LoadLanguageTest : public test::FormFixture
{
protected:
    void build()
    {
        create();
        dialog = std::make_unique<Tsettings>(*form);
        progress = std::make_unique<Tdownloading>();
    }
    void TearDown() override
    {
        progress.reset();
        dialog.reset();
        FormFixture::TearDown();
    }
    QStringList choices(const QComboBox* box)
    {
        QStringList list;
        for (int i = 0; i < box->count(); ++i)
            list << box->itemText(i);
        return list;
    }
    std::unique_ptr<Tsettings> dialog;
    std::unique_ptr<Tdownloading> progress;
};

} // namespace

TEST_F(LoadLanguageTest, StartUpReadsAFileOnlyForAnotherLanguage)
{
    dir.write("dansk.ini", "[MainMenu]\r\nFiler=FRA FIL\r\n");
    writeHive("\"UserLanguage\"=\"Dansk\"\n");
    build();
    EXPECT_FALSE(loadStartupLanguage(*form, *dialog, *progress));
    EXPECT_EQ(withoutMnemonic(widget<QMenu>(*form, "Filer1")->title()), "Filer");
    settings.UserLanguage = "dansk";
    EXPECT_TRUE(loadStartupLanguage(*form, *dialog, *progress));
    EXPECT_EQ(withoutMnemonic(widget<QMenu>(*form, "Filer1")->title()), "FRA FIL");
}

TEST_F(LoadLanguageTest, WithoutAFileTheDefaultsDifferFromTheBuiltInTextsInSixPlaces)
{
    build();
    EXPECT_EQ(withoutMnemonic(widget<QAction>(*form, "Om1")->text()), "Om");
    EXPECT_EQ(widget<QToolButton>(*form, "ToolButton1")->toolTip(), "Vis nyhederne");
    EXPECT_EQ(widget<QToolButton>(*form, "ToolButton3")->toolTip(),
              QString::fromUtf8("Søg på nettet"));
    EXPECT_EQ(withoutMnemonic(widget<QLabel>(*dialog, "Label11")->text()), "Sprog: ");
    EXPECT_EQ(withoutMnemonic(widget<QLabel>(*dialog, "Label5")->text()), "Startside: ");
    EXPECT_EQ(widget<QComboBox>(*dialog, "ComboBox1")->itemText(2), QString::fromUtf8("Søgning"));
    settings.UserLanguage = "Klingon";
    LoadLanguage(*form, *dialog, *progress);
    EXPECT_EQ(withoutMnemonic(widget<QAction>(*form, "Om1")->text()), "Om nuvio");
    EXPECT_EQ(widget<QToolButton>(*form, "ToolButton1")->toolTip(), "Nyheder");
    EXPECT_EQ(widget<QToolButton>(*form, "ToolButton3")->toolTip(), QString::fromUtf8("Søgeside"));
    EXPECT_EQ(withoutMnemonic(widget<QLabel>(*dialog, "Label11")->text()), "Sprog:");
    EXPECT_EQ(withoutMnemonic(widget<QLabel>(*dialog, "Label5")->text()), "Startside:");
    EXPECT_EQ(widget<QComboBox>(*dialog, "ComboBox1")->itemText(2), QString::fromUtf8("Søgeside"));
    // The rest stays as it was.
    EXPECT_EQ(withoutMnemonic(widget<QMenu>(*form, "Filer1")->title()), "Filer");
    EXPECT_EQ(withoutMnemonic(widget<QPushButton>(*dialog, "Button5")->text()),
              QString::fromUtf8("Tilføj ->"));
    EXPECT_EQ(progress->windowTitle(), "Opdaterer definitions filer");
}

TEST_F(LoadLanguageTest, EveryTextOfTheFileReachesItsPlace)
{
    dir.write(
        "english.ini",
        "[MainMenu]\r\nFiler=File\r\nAfslut=Exit\r\nVis=View\r\nStartside=Start page\r\n"
        "Nyheder=News\r\nNetRadio=Net radio\r\nS\xF8geside=Search\r\nFunktioner=Tools\r\n"
        "Opdater=Update local files\r\nIndstillinger=Settings\r\nHj\xE6lp=Help\r\nOm=About "
        "nuvio\r\n"
        "[General]\r\nOpdaterer nyheder=Updating news\r\nOpdatering komplet=Update complete\r\n"
        "Annuller=Cancel\r\nOK=Okay\r\n"
        "[Settings]\r\nIndstillinger=Settings\r\nAvanceret=Advanced\r\nSprog=Language\r\n"
        "Startside=Start page\r\nSts1=News\r\nSts2=Radio\r\nSts3=Search\r\n"
        "Opdat\xE9r nyheder v/programstart=Refresh at start\r\n"
        "Opdaterings interval (minutter)=Interval (minutes)\r\n"
        "Max antal nyheder pr. feed=Headlines per feed\r\nOBS funktion=Alert\r\n"
        "Obs1=Nothing\r\nObs2=Show\r\nObs3=Sound\r\nObs4=Sound and show\r\n"
        "Minim\xE9r program til systemtray=Minimise to tray\r\n"
        "Opdat\xE9r def.filer \xE6ldre end (dage)=Refresh files older than (days)\r\n"
        "Nyheder=News\r\nValgte nyhedsfeeds=Chosen\r\nMulige nyhedsfeeds=Available\r\n"
        "Tilf\xF8j=Add\r\nFjern=Remove\r\nRyk op=Up\r\nRyk ned=Down\r\nNyt feed=New feed\r\n"
        "[Downloading]\r\nOpdaterer definitions filer=Updating files\r\n");
    build();
    widget<QComboBox>(*dialog, "ComboBox1")->setCurrentIndex(1);
    widget<QComboBox>(*dialog, "ComboBox2")->setCurrentIndex(2);
    settings.UserLanguage = "English";
    LoadLanguage(*form, *dialog, *progress);
    auto& f = *form;
    EXPECT_EQ(withoutMnemonic(widget<QMenu>(f, "Filer1")->title()), "File");
    EXPECT_EQ(withoutMnemonic(widget<QAction>(f, "Afslut1")->text()), "Exit");
    EXPECT_EQ(withoutMnemonic(widget<QMenu>(f, "Vis1")->title()), "View");
    EXPECT_EQ(withoutMnemonic(widget<QAction>(f, "Startside1")->text()), "Start page");
    EXPECT_EQ(withoutMnemonic(widget<QAction>(f, "Nyheder1")->text()), "News");
    EXPECT_EQ(withoutMnemonic(widget<QAction>(f, "NetRadio1")->text()), "Net radio");
    EXPECT_EQ(withoutMnemonic(widget<QAction>(f, "Sgeside1")->text()), "Search");
    EXPECT_EQ(widget<QToolButton>(f, "ToolButton1")->toolTip(), "News");
    EXPECT_EQ(widget<QToolButton>(f, "ToolButton2")->toolTip(), "Net radio");
    EXPECT_EQ(widget<QToolButton>(f, "ToolButton3")->toolTip(), "Search");
    EXPECT_EQ(withoutMnemonic(widget<QMenu>(f, "Funktioner1")->title()), "Tools");
    EXPECT_EQ(withoutMnemonic(widget<QAction>(f, "Opdatrnuvio1")->text()), "Update local files");
    EXPECT_EQ(withoutMnemonic(widget<QAction>(f, "Indstillinger1")->text()), "Settings");
    EXPECT_EQ(withoutMnemonic(widget<QMenu>(f, "Hjlp1")->title()), "Help");
    EXPECT_EQ(withoutMnemonic(widget<QAction>(f, "Hjlp2")->text()), "Help");
    EXPECT_EQ(withoutMnemonic(widget<QAction>(f, "Om1")->text()), "About nuvio");
    EXPECT_EQ(withoutMnemonic(widget<QLabel>(f, "Label1")->text()), "Updating news");
    EXPECT_EQ(withoutMnemonic(widget<QLabel>(f, "Label2")->text()), "Update complete");
    auto& d = *dialog;
    EXPECT_EQ(d.windowTitle(), "Settings");
    EXPECT_EQ(withoutMnemonic(widget<QTabWidget>(d, "PageControl1")->tabText(0)), "News");
    EXPECT_EQ(withoutMnemonic(widget<QTabWidget>(d, "PageControl1")->tabText(1)), "Advanced");
    EXPECT_EQ(withoutMnemonic(widget<QLabel>(d, "Label11")->text()), "Language:");
    EXPECT_EQ(withoutMnemonic(widget<QLabel>(d, "Label5")->text()), "Start page:");
    EXPECT_EQ(choices(widget<QComboBox>(d, "ComboBox1")), (QStringList{"News", "Radio", "Search"}));
    EXPECT_EQ(withoutMnemonic(widget<QLabel>(d, "Label6")->text()), "Refresh at start:");
    EXPECT_EQ(withoutMnemonic(widget<QLabel>(d, "Label1")->text()), "Interval (minutes):");
    EXPECT_EQ(withoutMnemonic(widget<QLabel>(d, "Label2")->text()), "Headlines per feed:");
    EXPECT_EQ(withoutMnemonic(widget<QLabel>(d, "Label8")->text()), "Alert:");
    EXPECT_EQ(choices(widget<QComboBox>(d, "ComboBox2")),
              (QStringList{"Nothing", "Show", "Sound", "Sound and show"}));
    EXPECT_EQ(withoutMnemonic(widget<QLabel>(d, "Label7")->text()), "Minimise to tray:");
    EXPECT_EQ(withoutMnemonic(widget<QLabel>(d, "Label9")->text()),
              "Refresh files older than (days):");
    EXPECT_EQ(withoutMnemonic(widget<QLabel>(d, "Label3")->text()), "Chosen:");
    EXPECT_EQ(withoutMnemonic(widget<QLabel>(d, "Label4")->text()), "Available:");
    EXPECT_EQ(withoutMnemonic(widget<QPushButton>(d, "Button5")->text()), "Add ->");
    EXPECT_EQ(withoutMnemonic(widget<QPushButton>(d, "Button6")->text()), "Remove");
    EXPECT_EQ(withoutMnemonic(widget<QPushButton>(d, "Button3")->text()), "Up");
    EXPECT_EQ(withoutMnemonic(widget<QPushButton>(d, "Button4")->text()), "Down");
    EXPECT_EQ(withoutMnemonic(widget<QPushButton>(d, "Button7")->text()), "New feed");
    EXPECT_EQ(withoutMnemonic(widget<QPushButton>(d, "Button1")->text()), "Cancel");
    EXPECT_EQ(withoutMnemonic(widget<QPushButton>(d, "Button2")->text()), "Okay");
    EXPECT_EQ(progress->windowTitle(), "Updating files");
    EXPECT_EQ(widget<QComboBox>(d, "ComboBox1")->currentIndex(), -1)
        << "refilled lists have no selection";
    EXPECT_EQ(widget<QComboBox>(d, "ComboBox2")->currentIndex(), -1);
    EXPECT_EQ(f.windowTitle(), "nuvio v.1.00") << "the title is no language text";

    // What a screen reader says for each control, in the new language.
    const std::pair<QWidget*, const char*> names[] = {
        {widget<QToolButton>(f, "ToolButton1"), "News"},
        {widget<QToolButton>(f, "ToolButton2"), "Net radio"},
        {widget<QToolButton>(f, "ToolButton3"), "Search"},
        {widget<QListWidget>(d, "ListBox1"), "Available"},
        {widget<QListWidget>(d, "ListBox2"), "Chosen"},
        {widget<QComboBox>(d, "ComboBox3"), "Language"},
        {widget<QComboBox>(d, "ComboBox1"), "Start page"},
        {widget<QCheckBox>(d, "CheckBox1"), "Refresh at start"},
        {widget<QLineEdit>(d, "Edit1"), "Interval (minutes)"},
        {widget<QLineEdit>(d, "Edit2"), "Headlines per feed"},
        {widget<QComboBox>(d, "ComboBox2"), "Alert"},
        {widget<QCheckBox>(d, "CheckBox3"), "Minimise to tray"},
        {widget<QLineEdit>(d, "Edit3"), "Refresh files older than (days)"},
        {widget<nuvio::UpDown>(d, "UpDown2")->findChild<QWidget*>(QStringLiteral("up")),
         "Headlines per feed +"},
        {widget<QPushButton>(d, "Button5"), "Add ->"},
        {widget<QPushButton>(d, "Button2"), "Okay"}};
    for (const auto& [widget, name] : names) {
        QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(widget);
        ASSERT_TRUE(accessible) << name;
        EXPECT_EQ(accessible->text(QAccessible::Name), QString::fromUtf8(name))
            << widget->objectName().toStdString();
    }
}

// Every shipped language's texts fit where they are shown: no label, button, check box or
// tab cut off in the settings dialog, and the progress window wide enough for its caption.
TEST_F(LoadLanguageTest, EveryShippedLanguageFitsItsWindows)
{
    for (const char* file : {"dansk.ini", "english.ini", "svenska.ini", "norsk.ini", "deutsch.ini"})
        QFile::copy(QStringLiteral(NUVIO_SOURCE_DIR "/data/") + QString::fromLatin1(file),
                    QString::fromStdString(dir.path() + "/" + file));
    build();
    for (const char* language : {"Dansk", "English", "Svenska", "Norsk", "Deutsch"}) {
        SCOPED_TRACE(language);
        settings.UserLanguage = language;
        LoadLanguage(*form, *dialog, *progress);
        dialog->show();
        for (int tab = 0; tab < widget<QTabWidget>(*dialog, "PageControl1")->count(); ++tab) {
            widget<QTabWidget>(*dialog, "PageControl1")->setCurrentIndex(tab);
            QCoreApplication::processEvents();
            const QTabBar* bar = widget<QTabWidget>(*dialog, "PageControl1")->tabBar();
            EXPECT_GE(bar->tabRect(tab).width(),
                      bar->fontMetrics().horizontalAdvance(bar->tabText(tab)))
                << bar->tabText(tab).toStdString();
            for (QWidget* widget : dialog->findChildren<QWidget*>()) {
                const auto* label = qobject_cast<QLabel*>(widget);
                const auto* button = qobject_cast<QAbstractButton*>(widget);
                const bool hasText =
                    (label && !label->text().isEmpty()) || (button && !button->text().isEmpty());
                if (!widget->isVisible() || !hasText)
                    continue;
                EXPECT_GE(widget->width(), widget->sizeHint().width())
                    << widget->objectName().toStdString();
            }
            // A drop-down shows each of its entries whole when chosen.
            for (const QComboBox* box : dialog->findChildren<QComboBox*>()) {
                if (!box->isVisible())
                    continue;
                QComboBox whole;
                whole.setFont(box->font());
                for (int i = 0; i < box->count(); ++i)
                    whole.addItem(box->itemText(i));
                EXPECT_GE(box->width(), whole.sizeHint().width())
                    << box->objectName().toStdString();
            }
        }
        dialog->hide();
        // A title bar keeps about 96 pixels for its close box and margins.
        EXPECT_GE(progress->width(),
                  progress->fontMetrics().horizontalAdvance(progress->windowTitle()) + 96)
            << progress->windowTitle().toStdString();
    }
    EXPECT_GT(dialog->width(), 448) << "the German texts need more than the usual width";
}

// Alt reaches every menu, menu item, tab, button and labelled field with a letter of its
// own in every shipped language, and the dialog's letters move the focus where they say.
TEST_F(LoadLanguageTest, EveryShippedLanguageHasItsOwnMnemonics)
{
    for (const char* file : {"dansk.ini", "english.ini", "svenska.ini", "norsk.ini", "deutsch.ini"})
        QFile::copy(QStringLiteral(NUVIO_SOURCE_DIR "/data/") + QString::fromLatin1(file),
                    QString::fromStdString(dir.path() + "/" + file));
    build();
    const auto checkGroup = [](const QString& what, const QStringList& texts) {
        QSet<QKeySequence> keys;
        for (const QString& text : texts) {
            const QKeySequence key = QKeySequence::mnemonic(text);
            EXPECT_FALSE(key.isEmpty()) << what.toStdString() << ": " << text.toStdString();
            EXPECT_FALSE(keys.contains(key))
                << what.toStdString() << ": " << text.toStdString() << " shares its key";
            keys.insert(key);
        }
    };
    const auto itemTexts = [](const QMenu* menu) {
        QStringList texts;
        for (const QAction* action : menu->actions()) {
            if (!action->isSeparator())
                texts << action->text();
        }
        return texts;
    };
    dialog->show();
    dialog->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(dialog.get()));
    for (const char* language : {"Dansk", "English", "Svenska", "Norsk", "Deutsch"}) {
        SCOPED_TRACE(language);
        settings.UserLanguage = language;
        LoadLanguage(*form, *dialog, *progress);
        QStringList menus;
        for (const QAction* action : form->menuBar()->actions()) {
            menus << action->text();
            checkGroup(action->text(), itemTexts(action->menu()));
        }
        checkGroup(QStringLiteral("menu bar"), menus);
        checkGroup(QStringLiteral("tray menu"), itemTexts(widget<QMenu>(*form, "TrayMenu")));

        // Alt reaches what is shown: the tabs, OK and cancel, and the page in front.
        auto* tabs = widget<QTabWidget>(*dialog, "PageControl1");
        QStringList always;
        for (int i = 0; i < tabs->count(); ++i)
            always << tabs->tabText(i);
        always << widget<QPushButton>(*dialog, "Button2")->text()
               << widget<QPushButton>(*dialog, "Button1")->text();
        int controls = 0;
        for (int i = 0; i < tabs->count(); ++i) {
            tabs->setCurrentIndex(i);
            QStringList shown = always;
            for (const QPushButton* button : tabs->widget(i)->findChildren<QPushButton*>())
                shown << button->text();
            const auto labels = tabs->widget(i)->findChildren<QLabel*>();
            for (const QLabel* label : labels)
                shown << label->text();
            controls += int(shown.size() - always.size());
            checkGroup(QStringLiteral("settings page %1").arg(i), shown);
            for (const QLabel* label : labels) {
                const QKeySequence key = QKeySequence::mnemonic(label->text());
                QTest::keySequence(dialog.get(), key);
                EXPECT_TRUE(QTest::qWaitFor([&] { return label->buddy()->hasFocus(); }, 1000))
                    << label->objectName().toStdString() << " " << key.toString().toStdString();
            }
        }
        EXPECT_EQ(controls, 7 + 8);
    }
    dialog->hide();
}

// Qt's own texts follow the interface language where Qt has a translation; the typed-address
// box keeps its fixed "OK" and "Cancel".
TEST_F(LoadLanguageTest, QtTextsFollowTheInterfaceLanguage)
{
    for (const char* file : {"dansk.ini", "english.ini", "svenska.ini", "norsk.ini", "deutsch.ini"})
        QFile::copy(QStringLiteral(NUVIO_SOURCE_DIR "/data/") + QString::fromLatin1(file),
                    QString::fromStdString(dir.path() + "/" + file));
    build();
    // The rest of this run gets Qt's English texts back.
    const auto english = qScopeGuard([this] { useQtTranslations(dir.path(), "English"); });
    struct Case
    {
        const char* language;
        const char* cancel; // on a standard button
    };
    const Case cases[] = {
        {"Deutsch", "Abbrechen"}, {"Dansk", "Annuller"}, {"English", "Cancel"},
        {"Norsk", "Avbryt"},      {"Svenska", "Cancel"}, // Qt has no Swedish file here
        {"Suomi", "Annuller"}};                          // no file: the built-in Danish texts
    for (const auto& c : cases) {
        settings.UserLanguage = c.language;
        LoadLanguage(*form, *dialog, *progress);
        QDialogButtonBox box(QDialogButtonBox::Cancel);
        EXPECT_EQ(withoutMnemonic(box.button(QDialogButtonBox::Cancel)->text()),
                  QString::fromUtf8(c.cancel))
            << c.language;
    }
    settings.UserLanguage = "Deutsch";
    LoadLanguage(*form, *dialog, *progress);
    QStringList typedAddressButtons;
    QTimer::singleShot(0, [&] {
        QWidget* box = QApplication::activeModalWidget();
        if (!box)
            return;
        for (const QPushButton* button : box->findChildren<QPushButton*>())
            typedAddressButtons << button->text();
        box->close();
    });
    inputQuery(QStringLiteral("Nyt feed"), QStringLiteral("Indtast url til nyt feed"), 255);
    typedAddressButtons.sort();
    EXPECT_EQ(typedAddressButtons, (QStringList{"Cancel", "OK"}));
}

// A language chosen in the dialog: at its next opening the dialog is wide enough for the
// new texts, not the width the old ones had.
TEST_F(LoadLanguageTest, ALanguageChosenInTheDialogFitsAtTheNextOpening)
{
    for (const char* file : {"dansk.ini", "deutsch.ini", "languages.ini", "newsfeeds.txt"})
        QFile::copy(QStringLiteral(NUVIO_SOURCE_DIR "/data/") + QString::fromLatin1(file),
                    QString::fromStdString(dir.path() + "/" + file));
    build();
    form->setCommands(standardCommands(*form, *dialog, *progress));
    QTimer::singleShot(300, [&] {
        auto* box = widget<QComboBox>(*dialog, "ComboBox3");
        box->setCurrentIndex(box->findText(QStringLiteral("Deutsch")));
        widget<QPushButton>(*dialog, "Button2")->click();
    });
    form->Indstillinger1Click();
    ASSERT_EQ(settings.UserLanguage, "Deutsch");
    QStringList clipped;
    QTimer::singleShot(300, [&] {
        auto* tabs = widget<QTabWidget>(*dialog, "PageControl1");
        for (int tab = 0; tab < tabs->count(); ++tab) {
            tabs->setCurrentIndex(tab);
            QCoreApplication::processEvents();
            for (const QWidget* each : tabs->widget(tab)->findChildren<QWidget*>()) {
                const auto* label = qobject_cast<const QLabel*>(each);
                const auto* button = qobject_cast<const QPushButton*>(each);
                if ((label || button) && each->width() < each->sizeHint().width())
                    clipped << each->objectName();
            }
        }
        dialog->reject();
    });
    dialog->exec();
    EXPECT_TRUE(clipped.isEmpty()) << clipped.join(QLatin1Char(' ')).toStdString();
}

// A language value may be 2,047 characters long: the windows still lie on the screen whole,
// so the dialog's tabs and buttons can be reached; a drop-down elides what does not fit.
TEST_F(LoadLanguageTest, LongTextsKeepTheWindowsOnTheScreen)
{
    const std::string longest(2047, 'W');
    dir.write("english.ini", "[Settings]\r\nSts1=" + longest + "\r\nObs4=" + longest +
                                 "\r\n[Downloading]\r\nOpdaterer definitions filer=" + longest +
                                 "\r\n");
    build();
    form->show();
    settings.UserLanguage = "English";
    LoadLanguage(*form, *dialog, *progress);
    dialog->show();
    QCoreApplication::processEvents();
    const QRect screen = dialog->screen()->availableGeometry();
    EXPECT_TRUE(screen.contains(dialog->frameGeometry()))
        << dialog->frameGeometry().x() << "," << dialog->frameGeometry().y() << " "
        << dialog->frameGeometry().width() << "x" << dialog->frameGeometry().height() << " on "
        << screen.width() << "x" << screen.height();
    const QTabBar* tabs = widget<QTabWidget>(*dialog, "PageControl1")->tabBar();
    EXPECT_TRUE(screen.contains(QRect(tabs->mapToGlobal(QPoint(0, 0)), tabs->size())));
    for (const char* name : {"ComboBox1", "ComboBox2"}) {
        auto* box = widget<QComboBox>(*dialog, name);
        EXPECT_TRUE(screen.contains(QRect(box->mapToGlobal(QPoint(0, 0)), box->size())))
            << name << " " << box->mapToGlobal(QPoint(0, 0)).x() << " " << box->width();
    }
    dialog->hide();
    progress->show();
    QCoreApplication::processEvents();
    EXPECT_LE(progress->frameGeometry().width(), screen.width());
}
