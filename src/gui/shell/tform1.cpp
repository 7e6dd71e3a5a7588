// SPDX-License-Identifier: MIT
#include "gui/shell/tform1.h"

#include "core/language/languagekey.h"
#include "core/language/languagetable.h"
#include "core/net/httpclient.h"
#include "core/news/feedcache.h"
#include "core/news/feedexchange.h"
#include "core/news/feedlogins.h"
#include "core/news/newsrefresh.h"
#include "core/news/pageheadlines.h"
#include "core/platform/codepage.h"
#include "core/platform/plainpath.h"
#include "core/platform/textfile.h"
#include "core/settings/settingsstore.h"
#include "gui/language/loadlanguage.h"
#include "gui/platform/application.h"
#include "gui/platform/desktopnotification.h"
#include "gui/platform/filedialog.h"
#include "gui/platform/messagebox.h"
#include "gui/platform/mnemonics.h"
#include "gui/platform/urlopener.h"
#include "gui/platform/windowplacement.h"
#include "gui/shell/alertsound.h"
#include "gui/shell/browserpage.h"
#include "gui/shell/firstpaint.h"
#include "gui/shell/localfileguard.h"
#include "gui/shell/newheadlinemarks.h"
#include "gui/shell/newspagescheme.h"
#include "gui/shell/settingswriter.h"
#include "gui/shell/sitelogins.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDateTime>
#include <QEvent>
#include <QFile>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QLocale>
#include <QMenu>
#include <QMenuBar>
#include <QScopeGuard>
#include <QScreen>
#include <QStatusBar>
#include <QSystemTrayIcon>
#include <QTextDocument>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QToolTip>
#include <QWebEngineProfile>
#include <QWebEngineSettings>
#include <QWebEngineView>
#include <climits>

namespace nuvio {

namespace {
constexpr int kToolBarHeight = 29;
constexpr int kStatusBarHeight = 17;
constexpr int kStatusPanelWidth = 999;
constexpr const char* kBundledHelpFile = "help.html";
} // namespace

TForm1::TForm1(AppSettings& settings, ProgramValues& program, std::string hivePath,
               UrlOpener* opener, QWidget* parent)
    : QMainWindow(parent), m_settings(settings), m_program(program),
      m_hivePath(std::move(hivePath)),
      m_ownOpener(opener ? nullptr : std::make_unique<DesktopUrlOpener>()),
      m_opener(opener ? opener : m_ownOpener.get())
{
    setObjectName(QStringLiteral("Form1"));
    // Only the quit paths end the program: an error box closed while the window is in the
    // tray would otherwise be the last window, and end it.
    QApplication::setQuitOnLastWindowClosed(false);
    m_client = new QWidget(this);
    m_client->setObjectName(QStringLiteral("client"));
    setCentralWidget(m_client);

    createMenu();
    createToolBar();

    StatusBar1 = new QStatusBar(m_client);
    StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
    StatusBar1->setSizeGripEnabled(false);
    m_statusPanel = new QLabel(StatusBar1);
    m_statusPanel->setTextFormat(Qt::PlainText); // "Fejl " and a feed's own name
    m_statusPanel->setObjectName(QStringLiteral("StatusBar1Panel0"));
    m_statusPanel->setFixedWidth(kStatusPanelWidth);
    m_statusPanel->installEventFilter(this); // a click lists the failed feeds
    // Reached with Tab, it lists them on Enter or Space as on a click.
    m_statusPanel->setFocusPolicy(Qt::TabFocus);
    StatusBar1->addWidget(m_statusPanel);
    // 17 pixels held a line of the old 8-point system font; the bar's own spacing above
    // the panel left a desktop font's line cut through its descenders.
    m_statusBarHeight = std::max(kStatusBarHeight, StatusBar1->sizeHint().height());
    StatusBar1->setFixedHeight(m_statusBarHeight);

    createViews();

    Label1 = new QLabel(QStringLiteral("Opdaterer nyheder"), m_client);
    Label1->setTextFormat(Qt::PlainText);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->hide();
    Label2 = new QLabel(QStringLiteral("Opdatering komplet"), m_client);
    Label2->setTextFormat(Qt::PlainText);
    Label2->setObjectName(QStringLiteral("Label2"));
    Label2->hide();

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    connect(Timer1, &QTimer::timeout, this, reportingFailures([this] { AutoUpdateNews(); }));

    Timer2 = new QTimer(this);
    Timer2->setObjectName(QStringLiteral("Timer2"));
    Timer2->setSingleShot(true);
    Timer2->setInterval(2000);
    connect(Timer2, &QTimer::timeout, this, reportingFailures([this] { AutoUpdateNews(); }));

    IdHTTP1 = std::make_unique<HttpClient>();
    m_feedCache = std::make_unique<FeedCache>(FeedCache::defaultFolder());
    m_logins = new SiteLogins(this);

    trayAvailable = [] { return QSystemTrayIcon::isSystemTrayAvailable(); };

    MediaPlayer1 = new AlertSound(this);
    MediaPlayer1->setObjectName(QStringLiteral("MediaPlayer1"));

    m_client->installEventFilter(this);
    FormCreate();
}

TForm1::~TForm1()
{
    try {
        FormDestroy();
    } catch (const std::exception& error) {
        NuvioApplication::showException(error);
    }
}

void TForm1::createViews()
{
    const auto installPath = [this] { return m_settings.InstallPath; };
    // The news page is written from feeds, and the radio view shows pages from the web:
    // no page in either may read the user's files. Turning local file access off
    // altogether would also take the local pages' style sheet and images, so the guard
    // lets those through and nothing else.
    m_guard = new LocalFileGuard(installPath, this);
    WebBrowser1 = new QWebEngineView(m_client);
    WebBrowser1->setObjectName(QStringLiteral("WebBrowser1"));
    WebBrowser1->setPage(makePage(mainViewNavigation, WebBrowser1));
    markNewHeadlinesForReaders(WebBrowser1->page(), uiText(AddedText::NewHeadline));
    // The radio view gets its page, and the engine its second page renderer, only once it
    // is navigated: most sessions never show it. Until then it stays hidden, since a view
    // that is shown makes a page of its own.
    RadioBrowser = new QWebEngineView(m_client);
    RadioBrowser->setObjectName(QStringLiteral("RadioBrowser"));
    RadioBrowser->hide();

    m_newsScheme = new NewsPageScheme(installPath, this);
    QWebEngineProfile* profile = WebBrowser1->page()->profile();
    // One window at a time owns the scheme (tests make several, one after the other).
    profile->removeUrlScheme(NewsPageScheme::kName);
    profile->installUrlSchemeHandler(NewsPageScheme::kName, m_newsScheme);

    m_frontView = RadioBrowser;
    bringToFront(WebBrowser1);
}

BrowserPage* TForm1::makePage(BrowserPage::Rule rule, QWebEngineView* view)
{
    auto* page = new BrowserPage(std::move(rule), *m_opener, view);
    page->settings()->setDefaultTextEncoding(QStringLiteral("windows-1252"));
    page->setGuard(m_guard);
    return page;
}

void TForm1::ensureRadioPage()
{
    if (m_radioPageMade)
        return;
    m_radioPageMade = true;
    BrowserPage* page = makePage(radioViewNavigation, RadioBrowser);
    // The radio page is local and plays streams from the web, and a station's page may
    // start its own player.
    QWebEngineSettings* radio = page->settings();
    radio->setAttribute(QWebEngineSettings::LocalContentCanAccessRemoteUrls, true);
    radio->setAttribute(QWebEngineSettings::PlaybackRequiresUserGesture, false);
    RadioBrowser->setPage(page);
    RadioBrowser->show();
    RadioBrowser->stackUnder(WebBrowser1);
}

void TForm1::createMenu()
{
    const auto addMenu = [this](const char* name, const QString& caption) {
        QMenu* menu = menuBar()->addMenu(QString());
        menu->setObjectName(QString::fromLatin1(name));
        setMenuCaption(menu, caption);
        return menu;
    };
    const auto addItem = [this](QMenu* menu, const char* name, const QString& caption,
                                void (TForm1::*handler)()) {
        QAction* action = menu->addAction(caption);
        action->setObjectName(QString::fromLatin1(name));
        connect(action, &QAction::triggered, this,
                reportingFailures([this, handler] { (this->*handler)(); }));
        return action;
    };
    Filer1 = addMenu("Filer1", QStringLiteral("Filer"));
    // The captions carry their own mnemonics, chosen per language beside the quit item's.
    m_importFeeds =
        addItem(Filer1, "ImportFeeds", uiText(AddedText::MenuImportFeeds), &TForm1::importFeeds);
    m_exportFeeds =
        addItem(Filer1, "ExportFeeds", uiText(AddedText::MenuExportFeeds), &TForm1::exportFeeds);
    Filer1->addSeparator();
    Afslut1 = addItem(Filer1, "Afslut1", QStringLiteral("Afslut"), &TForm1::Afslut1Click);
    Afslut1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
    Afslut1->setShortcutContext(Qt::ApplicationShortcut);

    Vis1 = addMenu("Vis1", QStringLiteral("Vis"));
    Startside1 = addItem(Vis1, "Startside1", QStringLiteral("Startside"), &TForm1::Startside1Click);
    Nyheder1 = Vis1->addAction(QStringLiteral("Nyheder"));
    Nyheder1->setObjectName(QStringLiteral("Nyheder1"));
    connect(Nyheder1, &QAction::triggered, this, reportingFailures([this] { VisNyheder(); }));
    NetRadio1 = addItem(Vis1, "NetRadio1", QStringLiteral("NetRadio"), &TForm1::NetRadio1Click);
    Sgeside1 = addItem(Vis1, "Sgeside1", QString::fromUtf8("Søgeside"), &TForm1::Sgeside1Click);

    Funktioner1 = addMenu("Funktioner1", QStringLiteral("Funktioner"));
    m_refreshNow =
        addItem(Funktioner1, "RefreshNow", uiText(AddedText::MenuRefreshNow), &TForm1::refreshNow);
    m_refreshNow->setShortcut(QKeySequence(Qt::Key_F5));
    m_refreshNow->setShortcutContext(Qt::ApplicationShortcut);
    Opdatrnuvio1 = addItem(Funktioner1, "Opdatrnuvio1", QString::fromUtf8("Opdatér def.filer"),
                           &TForm1::Opdatrnuvio1Click);
    Indstillinger1 = addItem(Funktioner1, "Indstillinger1", QStringLiteral("Indstillinger"),
                             &TForm1::Indstillinger1Click);
    m_showFailures = addItem(Funktioner1, "ShowFailedFeeds", uiText(AddedText::MenuShowFailedFeeds),
                             &TForm1::showFailedFeeds);
    m_showFailures->setVisible(false);

    Hjlp1 = addMenu("Hjlp1", QString::fromUtf8("Hjælp"));
    Hjlp2 = addItem(Hjlp1, "Hjlp2", QString::fromUtf8("Hjælp"), &TForm1::Hjlp2Click);
    Hjlp2->setShortcut(QKeySequence(Qt::Key_F1));
    Hjlp2->setShortcutContext(Qt::ApplicationShortcut);
    Hjlp1->addSeparator();
    Om1 = addItem(Hjlp1, "Om1", QStringLiteral("Om"), &TForm1::Om1Click);
}

void TForm1::createToolBar()
{
    ToolBar1 = new QToolBar(m_client);
    ToolBar1->setObjectName(QStringLiteral("ToolBar1"));
    ToolBar1->setMovable(false);
    ToolBar1->setFixedHeight(kToolBarHeight);
    ToolBar1->setIconSize(QSize(16, 16));

    // ImageList1: the three toolbar images, in button order.
    const QString images[] = {QStringLiteral(":/nuvio/toolbar-news.png"),
                              QStringLiteral(":/nuvio/toolbar-radio.png"),
                              QStringLiteral(":/nuvio/toolbar-search.png")};
    const auto addButton = [this](const char* name, const QString& image, const QString& hint,
                                  std::function<void()> handler) {
        auto* button = new QToolButton(ToolBar1);
        button->setObjectName(QString::fromLatin1(name));
        button->setIcon(sharpIcon(image));
        setToolButtonHint(button, hint);
        button->setAutoRaise(true);
        connect(button, &QToolButton::clicked, this, reportingFailures(std::move(handler)));
        ToolBar1->addWidget(button);
        return button;
    };
    ToolButton1 = addButton("ToolButton1", images[0], QStringLiteral("Vis nyhederne"),
                            [this] { VisNyheder(); });
    ToolButton2 = addButton("ToolButton2", images[1], QStringLiteral("NetRadio"),
                            [this] { NetRadio1Click(); });
    ToolButton3 = addButton("ToolButton3", images[2], QString::fromUtf8("Søg på nettet"),
                            [this] { Sgeside1Click(); });
}

void TForm1::setMenuCaption(QMenu* menu, const QString& caption)
{
    menu->setTitle(caption);
}

void TForm1::markMnemonics()
{
    nuvio::markMnemonics(menuBar());
    nuvio::markMnemonics(m_trayMenu);
}

void TForm1::setToolButtonHint(QToolButton* button, const QString& hint)
{
    // An icon-only button has no text of its own for a screen reader to say.
    button->setToolTip(hint);
    button->setAccessibleName(hint);
}

void TForm1::FormCreate()
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    const int screenHeight = screen ? screen->geometry().height() : 768;
    const LoadedSettings loaded = LoadSettings(m_hivePath, m_settings, screenHeight);
    if (loaded.readFailed)
        showMessage(QString::fromStdString(m_program.AppTitle),
                    QString::fromLatin1(kReadFailedMessage));
    // The bounds are the window's outer ones, frame included.
    m_outerBounds = loaded.bounds;
    placeOuterBounds(*this, m_outerBounds);
    setRefreshInterval(loaded.refreshIntervalMs);

    m_program.ServerBaseURL = vendorBaseUrl();

    NuvioApplication::setTitle(QString::fromStdString(m_program.AppTitle));
    setWindowTitle(QString::fromStdString(m_program.AppTitle));

    TrayIcon = new QSystemTrayIcon(this);
    TrayIcon->setObjectName(QStringLiteral("TrayIconData"));
    TrayIcon->setToolTip(QString::fromStdString(m_program.AppName));
    TrayIcon->setIcon(sharpIcon(QStringLiteral(":/nuvio/nuvio.png")));
    connect(TrayIcon, &QSystemTrayIcon::activated, this,
            [this](QSystemTrayIcon::ActivationReason reason) {
                if (reason == QSystemTrayIcon::Trigger)
                    reportingFailures([this] { restoreFromTray(); })();
            });
    // The desktop's own way to the window and out of the program, beside the left click.
    m_trayMenu = new QMenu(this);
    m_trayMenu->setObjectName(QStringLiteral("TrayMenu"));
    m_trayRestore = m_trayMenu->addAction(uiText(AddedText::TrayRestore));
    m_trayRestore->setObjectName(QStringLiteral("TrayRestore"));
    connect(m_trayRestore, &QAction::triggered, this,
            reportingFailures([this] { restoreFromTray(); }));
    m_trayRefresh = m_trayMenu->addAction(m_refreshNow->text());
    m_trayRefresh->setObjectName(QStringLiteral("TrayRefreshNow"));
    connect(m_trayRefresh, &QAction::triggered, this, reportingFailures([this] { refreshNow(); }));
    m_trayQuit = m_trayMenu->addAction(Afslut1->text());
    m_trayQuit->setObjectName(QStringLiteral("TrayAfslut"));
    connect(m_trayQuit, &QAction::triggered, this, reportingFailures([this] { Afslut1Click(); }));
    TrayIcon->setContextMenu(m_trayMenu);
    markMnemonics();

    m_notification = new DesktopNotification(QString::fromStdString(m_program.AppName),
                                             QStringLiteral("nuvio"), this);
    connect(m_notification, &DesktopNotification::clicked, this,
            reportingFailures([this] { VisNyheder(); }));
    // Without a notification service the tray icon, where it is shown, says it instead.
    connect(m_notification, &DesktopNotification::unavailable, this,
            [this](const QString& summary, const QString& body) {
                if (TrayIcon->isVisible())
                    TrayIcon->showMessage(summary, body);
            });
    connect(TrayIcon, &QSystemTrayIcon::messageClicked, this,
            reportingFailures([this] { VisNyheder(); }));

    m_savedBounds = m_outerBounds;
    m_settingsWriter = new SettingsWriter(
        this, [this] { saveSettingsNow(); },
        [this] { SaveSettings(m_hivePath, m_settings, m_savedBounds, m_refreshIntervalMs); });

    // Opening the sound is the last step, so a broken sound file leaves a complete window.
    try {
        MediaPlayer1->open(m_settings.InstallPath + "/update.wav");
    } catch (const std::exception& error) {
        NuvioApplication::showException(error);
    }
}

void TForm1::FormDestroy()
{
    if (TrayIcon)
        TrayIcon->hide();
    // Saved here, by the window itself, not again by the exit.
    delete m_settingsWriter;
    m_settingsWriter = nullptr;
    SaveSettings(m_hivePath, m_settings, bounds(), m_refreshIntervalMs);
}

void TForm1::saveSettingsNow()
{
    m_savedBounds = bounds();
    SaveSettings(m_hivePath, m_settings, m_savedBounds, m_refreshIntervalMs);
}

WindowBounds TForm1::bounds() const
{
    const WindowBounds outer = outerBoundsOf(*this);
    // Where the desktop places windows itself, the saved place is neither used nor replaced.
    if (!windowPositionsAreKnown())
        return {m_outerBounds.left, m_outerBounds.top, outer.width, outer.height};
    return outer;
}

QString TForm1::statusText() const
{
    return m_statusPanel->text();
}

void TForm1::setStatusText(const QString& text)
{
    m_statusPanel->setText(text);
    // The list belongs to the line of the run that failed, and goes with it.
    m_failedFeeds.clear();
    // The window is narrow and the line is cut at its edge: the tooltip holds it whole, as
    // written (a feed's name may look like markup).
    m_statusPanel->setToolTip(text.isEmpty() ? QString()
                                             : QStringLiteral("<p style='white-space:pre'>") +
                                                   text.toHtmlEscaped() + QStringLiteral("</p>"));
    m_statusPanel->setAccessibleDescription(QString());
    m_showFailures->setVisible(false);
}

void TForm1::showFailedFeeds()
{
    // A feed that needs a login is asked for it, and fetched with it at once.
    if (m_logins->ask(m_failures, this)) {
        refreshNow();
        return;
    }
    if (!m_failedFeeds.isEmpty())
        showMessage(QString::fromStdString(m_program.AppTitle),
                    statusText() + QStringLiteral("\n\n") + m_failedFeeds,
                    MessageIcon::Information);
}

void TForm1::call(const std::function<void()>& command)
{
    if (command)
        command();
}

void TForm1::letPendingMessagesBeProcessed()
{
    QCoreApplication::processEvents();
}

void TForm1::Afslut1Click()
{
    // The window is destroyed, and the settings saved, once the message loop has ended;
    // asked before the loop runs (during start-up), the loop is not entered at all. A
    // refresh or update in progress gives up at its next step, its transfers ended now
    // rather than when the network answers, and nothing new starts.
    m_quitRequested = true;
    Timer1->stop();
    Timer2->stop();
    IdHTTP1->cancelAll();
    // A message box or dialog waiting in its own loop gives way.
    NuvioApplication::closeModalWindows(this);
    QCoreApplication::quit();
}

void TForm1::Startside1Click()
{
    navigate(WebBrowser1, LocalPageURL(m_settings, "index"));
    bringToFront(WebBrowser1);
    letPendingMessagesBeProcessed();
}

void TForm1::Sgeside1Click()
{
    navigate(WebBrowser1, LocalPageURL(m_settings, "search"));
    bringToFront(WebBrowser1);
}

void TForm1::Om1Click()
{
    navigate(WebBrowser1, LocalPageURL(m_settings, "about"));
    bringToFront(WebBrowser1);
}

void TForm1::NetRadio1Click()
{
    const std::string url = LocalPageURL(m_settings, "netradio");
    // An open radio page is never reloaded: it may be playing.
    if (m_radioPageMade && RadioBrowser->url().toString().contains(QStringLiteral("netradio"))) {
        bringToFront(RadioBrowser);
        letPendingMessagesBeProcessed();
        return;
    }
    navigate(RadioBrowser, url);
    letPendingMessagesBeProcessed();
    bringToFront(RadioBrowser);
    letPendingMessagesBeProcessed();
}

void TForm1::refreshNow()
{
    if (m_refreshRunning || m_quitRequested)
        return;
    UpdateNews();
}

void TForm1::Opdatrnuvio1Click()
{
    call(m_commands.UpdateDefinitionFiles);
}

void TForm1::Hjlp2Click()
{
    // Without a vendor server the help that came with the program is the help there is.
    if (m_program.ServerBaseURL.empty()) {
        m_opener->open("file://" + m_settings.InstallPath + "/" + kBundledHelpFile);
        return;
    }
    m_opener->open(m_program.ServerBaseURL +
                   "help/index.php?lang=" + languageKey(m_settings.UserLanguage));
}

void TForm1::Indstillinger1Click()
{
    m_settings.FeedsChanged = false;
    const std::string language = m_settings.UserLanguage;
    call(m_commands.showSettingsDialog);
    // Closed by a quit: the program is ending, and nothing more is to start.
    if (m_quitRequested)
        return;
    if (m_settings.FeedsChanged) {
        m_settings.FeedsChanged = false;
        UpdateNews();
        VisNyheder();
    }
    // What the dialog changed is kept even if the session ends without an exit.
    saveSettingsNow();
    if (m_settings.UserLanguage != language) {
        call(m_commands.LoadLanguage);
        // Without a vendor server there are no files of the new language to fetch, and
        // saying so would take the status line from the last run's failed feeds.
        if (!m_program.ServerBaseURL.empty())
            call(m_commands.UpdateDefinitionFiles);
    }
}

namespace {

FileDialogTexts opmlDialogTexts(AddedText caption, AddedText accept)
{
    // The dialog's caption is the menu item's, without its mnemonic and its dots.
    QString title = uiText(caption);
    title.remove(QLatin1Char('&')).remove(QChar(0x2026)).remove(QLatin1String("..."));
    return {title.trimmed(),
            uiText(AddedText::OpmlFileTypes),
            uiText(accept),
            uiText(AddedText::FileDialogCancel),
            uiText(AddedText::FileDialogLookIn),
            uiText(AddedText::FileDialogFileName),
            uiText(AddedText::FileDialogFileType)};
}

} // namespace

void TForm1::importFeeds()
{
    const auto file =
        chooseFile(this, FileDialogMode::Open,
                   opmlDialogTexts(AddedText::MenuImportFeeds, AddedText::OpmlImportButton));
    if (!file)
        return;
    const std::string path = file->toStdString();
    const OpmlImport import = importOpmlFile(m_settings.InstallPath, path);
    std::string report = importReport(path, import);
    for (const auto& [origin, login] : import.logins)
        report += "\n" + movedLoginReport(origin, m_logins->keep(origin, login));
    showMessage(QString::fromStdString(m_program.AppTitle), fromCp1252(report),
                MessageIcon::Information);
    // As after new feeds in the settings dialog: their news at once.
    if (import.added > 0 && !m_quitRequested) {
        UpdateNews();
        VisNyheder();
    }
}

void TForm1::exportFeeds()
{
    const auto file =
        chooseFile(this, FileDialogMode::Save,
                   opmlDialogTexts(AddedText::MenuExportFeeds, AddedText::OpmlExportButton),
                   QStringLiteral("opml"));
    if (!file)
        return;
    const std::string path = file->toStdString();
    const int count = exportOpmlFile(m_settings.InstallPath, path);
    showMessage(QString::fromStdString(m_program.AppTitle), fromCp1252(exportReport(path, count)),
                MessageIcon::Information);
}

void TForm1::FormResize()
{
    const WindowBounds rect =
        viewRectFor(m_client->width(), m_client->height(), kToolBarHeight, m_statusBarHeight);
    ToolBar1->setGeometry(0, 0, m_client->width(), kToolBarHeight);
    StatusBar1->setGeometry(0, m_client->height() - m_statusBarHeight, m_client->width(),
                            m_statusBarHeight);
    WebBrowser1->setGeometry(rect.left, rect.top, std::max(rect.width, 0),
                             std::max(rect.height, 0));
    RadioBrowser->setGeometry(WebBrowser1->geometry());
}

bool TForm1::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_client && event->type() == QEvent::Resize)
        FormResize();
    if (watched == m_statusPanel && event->type() == QEvent::MouseButtonRelease)
        showFailedFeeds();
    if (watched == m_statusPanel && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Space) {
            showFailedFeeds();
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void TForm1::closeEvent(QCloseEvent* event)
{
    // The close box ends the program like "Afslut" (closing the last window does not).
    event->accept();
    Afslut1Click();
}

void TForm1::changeEvent(QEvent* event)
{
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange && isMinimized())
        QTimer::singleShot(0, this, &TForm1::minimer);
}

void TForm1::minimer()
{
    // Without a notification area a hidden window could never be brought back: it then
    // stays minimised on the task bar, as without the setting.
    if (!m_settings.MinToSysTray || !isMinimized() || !trayAvailable())
        return;
    TrayIcon->show();
    hide();
}

void TForm1::restoreFromTray()
{
    TrayIcon->hide();
    show();
    showNormal();
    raise();
    activateWindow();
}

void TForm1::bringToFront(QWebEngineView* view)
{
    if (view == RadioBrowser)
        ensureRadioPage();
    view->raise();
    m_frontView = view;
    // The view behind keeps its page (the radio plays on) but takes no focus or input:
    // Tab and a screen reader stay in what is shown.
    for (QWebEngineView* each : {WebBrowser1, RadioBrowser}) {
        if (each)
            each->setEnabled(each == view);
    }
}

void TForm1::navigate(QWebEngineView* view, const QUrl& url)
{
    if (view == RadioBrowser)
        ensureRadioPage();
    view->setUrl(m_newsScheme->viewUrl(url));
}

void TForm1::navigate(QWebEngineView* view, const std::string& url)
{
    navigate(view, urlFromText(url));
}

QIcon TForm1::sharpIcon(const QString& resource)
{
    QIcon icon(resource);
    QString doubleSize = resource;
    doubleSize.replace(QLatin1String(".png"), QLatin1String("@2x.png"));
    icon.addFile(doubleSize);
    return icon;
}

void TForm1::openStartView()
{
    const StartView start = startView(m_settings);
    QWebEngineView* view = start.view == StartViewKind::Radio ? RadioBrowser : WebBrowser1;
    announceFirstPaint(view);
    navigate(view, start.plainPath ? urlFromPlainPath(start.target) : urlFromText(start.target));
    bringToFront(view);
}

void TForm1::armStartupRefresh()
{
    if (m_settings.UpdateNewsOnApplicationStart)
        Timer2->start();
}

void TForm1::AutoUpdateNews()
{
    UpdateNews();
}

void TForm1::yieldToEvents()
{
    // The refresh yields at many small steps; handling events every few milliseconds keeps
    // the window live without spending the refresh's time on empty event loops.
    const qint64 now = QDateTime::currentMSecsSinceEpoch();
    if (now - m_lastYield < 5)
        return;
    m_lastYield = now;
    QCoreApplication::processEvents();
}

void TForm1::ShowStatus(const std::string& text)
{
    setStatusText(fromCp1252(text));
    StatusBar1->repaint();
    emit statusShown(statusText());
    QCoreApplication::processEvents();
}

void TForm1::UpdateNews()
{
    Timer2->stop();
    if (m_quitRequested)
        return;
    if (m_refreshRunning) {
        m_refreshPending = true;
        return;
    }
    bool newNews = false;
    bool alerted = false;
    bool late = false;
    {
        setRefreshRunning(true);
        const auto done = qScopeGuard([this] {
            setRefreshRunning(false);
            emit newsRefreshed();
            if (m_refreshPending && !m_quitRequested) {
                m_refreshPending = false;
                QTimer::singleShot(0, this, reportingFailures([this] { UpdateNews(); }));
            }
        });
        NewsRefreshContext context;
        context.installPath = m_settings.InstallPath;
        context.maxNewsPerFeed = m_settings.MaxNewsPerFeed;
        context.updatingText = toCp1252(Label1->text());
        context.completedText = toCp1252(Label2->text());
        m_runningRefresh = &context;
        const auto finished = qScopeGuard([this] { m_runningRefresh = nullptr; });
        context.showStatus = [this](const std::string& text) { ShowStatus(text); };
        context.yield = [this] { yieldToEvents(); };
        context.cancelled = [this] { return m_quitRequested; };
        context.http = IdHTTP1.get();
        context.cache = m_feedCache.get();
        m_logins->lookUp(m_settings.InstallPath);
        context.credentials = &m_logins->store();
        // The page is shown without the feeds still coming, and the alert given once, for
        // the first page that has new headlines.
        context.pageWritten = [&](const NewsRefreshResult& early) {
            late = true;
            if (early.newNews) {
                alerted = true;
                alertNewNews();
            } else {
                reloadShownNewsPage();
            }
        };
        try {
            const NewsRefreshResult result = refreshNewsPage(context);
            newNews = result.newNews;
            if (!result.failures.empty()) {
                m_failures = result.failures;
                m_feedsAsked = result.feeds;
                listFailedFeeds();
                // Asked after the run, once a run at most, not while it holds the page.
                QTimer::singleShot(0, this, reportingFailures([this, failures = result.failures] {
                                       if (m_logins->askRefused(failures, this) ||
                                           m_logins->askProxy(failures, this))
                                           refreshNow();
                                   }));
            }
        } catch (const RunCancelled&) {
            return; // quitting
        }
    }
    if (newNews && !alerted)
        alertNewNews();
    else if (late)
        reloadShownNewsPage();
}

void TForm1::setRefreshRunning(bool running)
{
    m_refreshRunning = running;
    m_refreshNow->setEnabled(!running);
    m_trayRefresh->setEnabled(!running);
}

void TForm1::alertNewNews()
{
    // Until the news are shown, the tray icon says how many headlines are new.
    if (const std::string page = newsPagePath(m_settings); fileExists(page)) {
        if (const auto count = readPageHeadlines(readFileBytes(page)).newItems.size())
            TrayIcon->setToolTip(QString::fromStdString(m_program.AppName) +
                                 QStringLiteral(" \u2013 ") +
                                 uiText(AddedText::NewHeadlines).arg(count));
    }
    // Asked before CallObs, which may bring the window back.
    if (m_settings.ObsFunktion != 0 && (!isVisible() || isMinimized()))
        notifyNewHeadlines();
    CallObs();
}

void TForm1::reloadShownNewsPage()
{
    const QString page = QFile::decodeName(QByteArray::fromStdString(newsPagePath(m_settings)));
    if (WebBrowser1->url().path() == page)
        navigate(WebBrowser1, newsPageUrl());
}

void TForm1::listFailedFeeds()
{
    m_failedFeeds = fromCp1252(failureListText(m_failures));
    // A tooltip whose first line looks like markup is drawn as markup, and a feed's name or
    // address is the publisher's text: it is given as rich text already escaped, and to a
    // screen reader as it is.
    // Lines unbroken: a tooltip breaks long ones where it can, an address after its
    // "https://". Not when one is wider than the screen (a long address): the tooltip would
    // be cut at the screen's edge, and with it the reason at the line's end.
    QString tip = Qt::convertFromPlainText(m_failedFeeds);
    const QFontMetrics metrics(QToolTip::font());
    int widest = 0;
    for (const QString& line : m_failedFeeds.split(QLatin1Char('\n')))
        widest = std::max(widest, metrics.horizontalAdvance(line));
    const QScreen* screen = m_statusPanel->screen();
    if (screen && widest < screen->availableGeometry().width() * 9 / 10)
        tip.replace(QLatin1String("<p>"), QLatin1String("<p style='white-space:nowrap'>"));
    m_statusPanel->setToolTip(tip);
    m_statusPanel->setAccessibleDescription(m_failedFeeds);
    m_showFailures->setVisible(!m_failedFeeds.isEmpty());
}

void TForm1::notifyNewHeadlines()
{
    const std::string page = newsPagePath(m_settings);
    if (!fileExists(page))
        return;
    const QStringList items = readPageHeadlines(readFileBytes(page)).newItems;
    if (items.isEmpty())
        return;
    m_notification->show(uiText(AddedText::NewHeadlines).arg(items.size()), notificationBody(items),
                         ToolButton1->toolTip());
}

std::string TForm1::newsPageUrl() const
{
    // The date and time only make each address differ, so the view never shows an old copy.
    const QLocale locale = QLocale::system();
    const QDateTime now = QDateTime::currentDateTime();
    const QString stamp = locale.toString(now.date(), QLocale::ShortFormat) + QLatin1Char(' ') +
                          locale.toString(now.time(), QLocale::LongFormat);
    return "file://" + newsPagePath(m_settings) + "?" + toCp1252(stamp);
}

void TForm1::VisNyheder()
{
    std::string url = newsPageUrl();
    if (!fileExists(newsPagePath(m_settings)))
        url = LocalPageURL(m_settings, "index");
    navigate(WebBrowser1, url);
    bringToFront(WebBrowser1);
    TrayIcon->setToolTip(QString::fromStdString(m_program.AppName));
    if (!isVisible() && m_settings.MinToSysTray) {
        restoreFromTray();
    } else if (!m_settings.MinToSysTray) {
        restoreAndRaise();
    }
    emit newsShown();
}

void TForm1::CallObs()
{
    if (m_settings.ObsFunktion == 1 || m_settings.ObsFunktion == 3)
        VisNyheder();
    else
        navigate(WebBrowser1, newsPageUrl());
    if (m_settings.ObsFunktion == 2 || m_settings.ObsFunktion == 3)
        MediaPlayer1->play();
}

void TForm1::comeForward()
{
    if (isVisible())
        restoreAndRaise();
}

void TForm1::restoreAndRaise()
{
    if (isMinimized())
        showNormal();
    raise();
    activateWindow();
}

void TForm1::setRefreshInterval(std::uint32_t intervalMs)
{
    if (intervalMs == m_refreshIntervalMs && (intervalMs == 0 || Timer1->isActive()))
        return;
    m_refreshIntervalMs = intervalMs;
    if (intervalMs == 0) {
        Timer1->stop();
        return;
    }
    // Longer than a timer can count is, in practice, never.
    Timer1->start(static_cast<int>(std::min<std::uint32_t>(intervalMs, INT_MAX)));
}

void TForm1::applyTexts(const std::vector<LanguageText>& texts)
{
    using T = TextTarget;
    const std::pair<T, QAction*> actions[] = {{T::Afslut1, Afslut1},
                                              {T::Startside1, Startside1},
                                              {T::Nyheder1, Nyheder1},
                                              {T::NetRadio1, NetRadio1},
                                              {T::Sgeside1, Sgeside1},
                                              {T::Hjlp2, Hjlp2},
                                              {T::Om1, Om1},
                                              {T::Opdatrnuvio1, Opdatrnuvio1},
                                              {T::Indstillinger1, Indstillinger1}};
    const std::pair<T, QLabel*> labels[] = {{T::MainLabel1, Label1}, {T::MainLabel2, Label2}};
    const std::pair<T, QMenu*> menus[] = {
        {T::Filer1, Filer1}, {T::Vis1, Vis1}, {T::Funktioner1, Funktioner1}, {T::Hjlp1, Hjlp1}};
    // The toolbar buttons are named by the View menu's items.
    const std::pair<T, QToolButton*> buttons[] = {
        {T::Nyheder1, ToolButton1}, {T::NetRadio1, ToolButton2}, {T::Sgeside1, ToolButton3}};
    for (const auto& [target, bytes] : texts) {
        const QString text = fromCp1252(bytes);
        setTextOf(actions, target, text) || setTextOf(labels, target, text);
        for (const auto& [each, menu] : menus) {
            if (each == target)
                setMenuCaption(menu, text);
        }
        for (const auto& [each, button] : buttons) {
            if (each == target)
                setToolButtonHint(button, text);
        }
    }
    m_trayRestore->setText(uiText(AddedText::TrayRestore));
    m_importFeeds->setText(uiText(AddedText::MenuImportFeeds));
    m_exportFeeds->setText(uiText(AddedText::MenuExportFeeds));
    m_refreshNow->setText(uiText(AddedText::MenuRefreshNow));
    m_showFailures->setText(uiText(AddedText::MenuShowFailedFeeds));
    m_trayRefresh->setText(m_refreshNow->text());
    markNewHeadlinesForReaders(WebBrowser1->page(), uiText(AddedText::NewHeadline));
    m_trayQuit->setText(Afslut1->text());
    markMnemonics();
    if (m_runningRefresh) {
        m_runningRefresh->updatingText = toCp1252(Label1->text());
        m_runningRefresh->completedText = toCp1252(Label2->text());
    }
    // The failure line lasts until the next run: said again in the new language, not left
    // in the old one beside menus in the new.
    if (!m_failedFeeds.isEmpty()) {
        setStatusText(
            fromCp1252(failedRunText(toCp1252(Label2->text()), m_failures, m_feedsAsked)));
        listFailedFeeds();
    }
}

} // namespace nuvio
