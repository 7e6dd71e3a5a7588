// SPDX-License-Identifier: MIT
#pragma once

#include "core/news/feedfailures.h"
#include "core/platform/programvalues.h"
#include "core/settings/appsettings.h"
#include "core/shell/navigationrules.h"
#include "core/shell/pageurls.h"

#include <QIcon>
#include <QMainWindow>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class QAction;
class QLabel;
class QMenu;
class QStatusBar;
class QSystemTrayIcon;
class QTimer;
class QToolBar;
class QToolButton;
class QWebEngineView;
class QUrl;

namespace nuvio {

struct LanguageText;
struct NewsRefreshContext;

class AlertSound;
class DesktopNotification;
class BrowserPage;
class FeedCache;
class HttpClient;
class LocalFileGuard;
class NewsPageScheme;
class SettingsWriter;
class SiteLogins;
class UrlOpener;

// The calls the main window's commands make into the other subsystems. Start-up wires
// them to the real routines; each may be left empty.
struct MainWindowCommands
{
    std::function<void()> showSettingsDialog; // modal; returns when the dialog is closed
    std::function<void()> LoadLanguage;
    std::function<void()> UpdateDefinitionFiles;
};

// The main window: two browser views stacked on one rectangle between the toolbar and the
// status bar, the menu, the refresh timers, the alert sound and the tray icon.
class TForm1 : public QMainWindow
{
    Q_OBJECT
public:
    // Creating the window runs FormCreate: the settings are loaded from `hivePath`.
    // Diverted links go to `opener` (the system's handler when none is given).
    TForm1(AppSettings& settings, ProgramValues& program, std::string hivePath,
           UrlOpener* opener = nullptr, QWidget* parent = nullptr);
    // Destroying it runs FormDestroy: the tray icon goes and the settings are saved.
    ~TForm1() override;

    // Puts the texts that belong to this window on its widgets (LoadLanguage reads them).
    void applyTexts(const std::vector<LanguageText>& texts);
    void setCommands(MainWindowCommands commands) { m_commands = std::move(commands); }

    // Menu and toolbar commands, by the names of their menu items.
    void Afslut1Click();      // "Afslut": quit, saving the settings once
    void Startside1Click();   // the start page in the main view
    void Sgeside1Click();     // the search page in the main view
    void Om1Click();          // "Om": the about page
    void NetRadio1Click();    // the radio view in front
    void Opdatrnuvio1Click(); // "Opdatér def.filer": update the local pages now
    // "Opdatér nyheder nu" (F5, also in the tray menu): the refresh at once; refused, the
    // item greyed, while one runs.
    void refreshNow();
    void Hjlp2Click();          // "Hjælp" (F1): the help page
    void Indstillinger1Click(); // the settings dialog, then what its changes call for
    // "Importér feeds…" and "Eksportér feeds…": the chosen feeds from and to an OPML file
    // that a file dialog names. An import that adds feeds refreshes and shows the news.
    void importFeeds();
    void exportFeeds();

    // The news refresh. One asked for while another runs is remembered and runs once
    // that one has ended.
    void UpdateNews();
    bool isRefreshing() const { return m_refreshRunning; }
    // "Vis nyheder": shows the news page (or the start page when there is none yet) in
    // front, bringing the window back as the tray setting says.
    void VisNyheder();
    // The "OBS" alert after a refresh that found new items: nothing, the page, a sound or
    // both, as ObsFunktion says.
    void CallObs();
    // Sets the status text, paints it at once and lets waiting events be handled.
    void ShowStatus(const std::string& text);
    // Lets waiting events be handled; cheap enough to call often.
    void yieldToEvents();

    bool quitRequested() const { return m_quitRequested; }

    // Lays the two views out again on the shared rectangle.
    void FormResize();
    // "minimér": called after the window was minimised: with MinToSysTray the window leaves the
    // screen and only the tray icon remains.
    void minimer();
    // The tray icon was clicked with the left button: the icon goes and the window returns.
    void restoreFromTray();
    // Whether the desktop has a notification area now (tests stand in for the desktop).
    std::function<bool()> trayAvailable;

    // Navigates the view the start-view setting names and brings it to the front.
    void openStartView();
    // Enables the one-shot start-up refresh when the settings ask for it.
    void armStartupRefresh();
    // Brings the window forward for a later copy of the program; a window hidden in the
    // tray stays hidden.
    void comeForward();

    // The refresh timer's interval in milliseconds; 0 stops the periodic refresh. Setting
    // the interval it already has leaves the running countdown alone.
    void setRefreshInterval(std::uint32_t intervalMs);
    std::uint32_t refreshInterval() const { return m_refreshIntervalMs; }

    // The window's outer bounds, frame included, as they are saved.
    WindowBounds bounds() const;
    QString statusText() const;
    // A new text also takes away the list of failed feeds that the last run left.
    void setStatusText(const QString& text);
    // The failed feeds of the last run with their reasons, in a message box (a click on
    // the status line); nothing when none failed.
    void showFailedFeeds();
    // Writes the settings now (they are also written when they change, and at the exit).
    void saveSettingsNow();

    AppSettings& settings() { return m_settings; }
    SiteLogins& siteLogins() { return *m_logins; }
    // Every download: the feeds and the vendor's files.
    HttpClient& http() { return *IdHTTP1; }
    ProgramValues& program() { return m_program; }

    // Hints of the toolbar buttons are also their accessible names.

    // One of the program's images (":/nuvio/NAME.png") with its drawn double-size version,
    // so that it stays crisp on a 2x screen.
    static QIcon sharpIcon(const QString& resource);
    void setMenuCaption(QMenu* menu, const QString& caption);
    void setToolButtonHint(QToolButton* button, const QString& hint);

    // The view that is in front of the other.
    QWebEngineView* frontView() const { return m_frontView; }
    void bringToFront(QWebEngineView* view);
    void navigate(QWebEngineView* view, const QUrl& url);
    void navigate(QWebEngineView* view, const std::string& url);

signals:
    // A refresh has ended, and the news view was brought forward (for those who follow).
    void newsRefreshed();
    void newsShown();
    void statusShown(const QString& text);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    // Components, by the names the description gives them; tests find them by these
    // object names (TrayIcon's is "TrayIconData").
    QWebEngineView* WebBrowser1 = nullptr;  // the main view: start, news, search, help pages
    QWebEngineView* RadioBrowser = nullptr; // the radio view, kept alive behind the other
    QToolBar* ToolBar1 = nullptr;
    QToolButton* ToolButton1 = nullptr; // "Vis nyhederne": the news page
    QToolButton* ToolButton2 = nullptr; // "NetRadio": the radio view
    QToolButton* ToolButton3 = nullptr; // "Søg på nettet": the search page
    QStatusBar* StatusBar1 = nullptr;
    QLabel* Label1 = nullptr;            // "Opdaterer nyheder", the refresh's status text
    QLabel* Label2 = nullptr;            // "Opdatering komplet", its end text
    QTimer* Timer1 = nullptr;            // the periodic refresh (RefreshInterval)
    QTimer* Timer2 = nullptr;            // the one-shot start-up refresh, 2 s after start
    AlertSound* MediaPlayer1 = nullptr;  // plays update.wav for the alert
    QSystemTrayIcon* TrayIcon = nullptr; // shown while the window is in the tray
    std::unique_ptr<HttpClient> IdHTTP1; // every download: feeds and the vendor's files

    QMenu* Filer1 = nullptr;      // "Filer" (File)
    QMenu* Vis1 = nullptr;        // "Vis" (View)
    QMenu* Funktioner1 = nullptr; // "Funktioner" (Tools)
    QMenu* Hjlp1 = nullptr;       // "Hjælp" (Help)
    QAction* Afslut1 = nullptr;
    QAction* Startside1 = nullptr;
    QAction* Nyheder1 = nullptr;
    QAction* NetRadio1 = nullptr;
    QAction* Sgeside1 = nullptr; // "Søgeside", the search page
    QAction* Opdatrnuvio1 = nullptr;
    QAction* Indstillinger1 = nullptr;
    QAction* Hjlp2 = nullptr;
    QAction* Om1 = nullptr;
    QAction* m_refreshNow = nullptr;
    QAction* m_showFailures = nullptr; // "Vis fejlede feeds", there while feeds failed
    QAction* m_trayRefresh = nullptr;
    SettingsWriter* m_settingsWriter = nullptr;
    QAction* m_importFeeds = nullptr;
    QAction* m_exportFeeds = nullptr;
    // New headlines found while the window is out of sight: the desktop says so.
    DesktopNotification* m_notification = nullptr;
    QMenu* m_trayMenu = nullptr; // the tray icon's: back to the window, or "Afslut"
    QAction* m_trayRestore = nullptr;
    QAction* m_trayQuit = nullptr;

    void createViews();
    BrowserPage* makePage(std::function<NavigationDecision(std::string_view)> rule,
                          QWebEngineView* view);
    void ensureRadioPage(); // the radio view's page, made when the view is first used
    void createMenu();
    void createToolBar();
    // Every menu's items, the menu bar's menus and the tray menu's items get mnemonics of
    // their own, in whatever language their texts are.
    void markMnemonics();
    void FormCreate();
    void FormDestroy();
    void AutoUpdateNews(); // a timer's refresh: UpdateNews
    void restoreAndRaise();
    void notifyNewHeadlines();
    // The alert for a refresh that found new headlines (once a refresh, on its first page
    // that has them).
    void alertNewNews();
    // A page written again for late feeds, shown where the news page is shown.
    void reloadShownNewsPage();
    void setRefreshRunning(bool running);
    void listFailedFeeds(); // the last run's failed feeds as the status line's tooltip
    std::string newsPageUrl() const;
    static void letPendingMessagesBeProcessed();
    static void call(const std::function<void()>& command);

    AppSettings& m_settings;
    ProgramValues& m_program;
    std::string m_hivePath;
    std::unique_ptr<UrlOpener> m_ownOpener;
    std::unique_ptr<FeedCache> m_feedCache;
    UrlOpener* m_opener;
    MainWindowCommands m_commands;
    QWidget* m_client = nullptr;
    QLabel* m_statusPanel = nullptr;
    int m_statusBarHeight = 0;
    QString m_failedFeeds;               // one line a feed, also the status line's tooltip
    std::vector<FeedFailure> m_failures; // of the run whose line is shown
    SiteLogins* m_logins = nullptr;
    std::size_t m_feedsAsked = 0;
    // The run going on, if any: a language chosen meanwhile gives it its texts.
    NewsRefreshContext* m_runningRefresh = nullptr;
    QWebEngineView* m_frontView = nullptr;
    NewsPageScheme* m_newsScheme = nullptr;
    LocalFileGuard* m_guard = nullptr;
    bool m_radioPageMade = false;
    WindowBounds m_outerBounds;
    WindowBounds m_savedBounds; // as written last: what a lost display leaves to write
    std::uint32_t m_refreshIntervalMs = 0;
    bool m_quitRequested = false;
    bool m_refreshRunning = false;
    bool m_refreshPending = false;
    qint64 m_lastYield = 0;
};

} // namespace nuvio
