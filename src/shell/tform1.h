#pragma once

#include "settings/appsettings.h"
#include "shell/pageurls.h"
#include "shell/programvalues.h"

#include <QMainWindow>

#include <cstdint>
#include <string>

class QLabel;
class QStatusBar;
class QSystemTrayIcon;
class QTimer;
class QToolBar;
class QWebEngineView;
class QUrl;

namespace nuvio {

class AlertSound;

// The main window: two browser views stacked on one rectangle between the toolbar and the
// status bar, the refresh timers, the alert sound and the tray icon.
class TForm1 : public QMainWindow
{
    Q_OBJECT
public:
    // Creating the window runs FormCreate: the settings are loaded from `hivePath`.
    TForm1(AppSettings& settings, ProgramValues& program, std::string hivePath, QWidget* parent = nullptr);
    // Destroying it runs FormDestroy: the tray icon goes and the settings are saved.
    ~TForm1() override;

    void FormResize();
    void Afslut1Click();

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

    WindowBounds bounds() const;

    AppSettings& settings() { return m_settings; }
    ProgramValues& program() { return m_program; }

    QWebEngineView* WebBrowser1 = nullptr;
    QWebEngineView* RadioBrowser = nullptr;
    QToolBar* ToolBar1 = nullptr;
    QStatusBar* StatusBar1 = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QTimer* Timer1 = nullptr;
    QTimer* Timer2 = nullptr;
    AlertSound* MediaPlayer1 = nullptr;
    QSystemTrayIcon* TrayIcon = nullptr;

    // The view that is in front of the other.
    QWebEngineView* frontView() const { return m_frontView; }
    void bringToFront(QWebEngineView* view);
    void navigate(QWebEngineView* view, const QUrl& url);

signals:
    // The refresh timer or the one-shot start-up timer asks for a news refresh.
    void newsRefreshDue();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void FormCreate();
    void FormDestroy();
    void AutoUpdateNews();

    AppSettings& m_settings;
    ProgramValues& m_program;
    std::string m_hivePath;
    QWidget* m_client = nullptr;
    QWebEngineView* m_frontView = nullptr;
    std::uint32_t m_refreshIntervalMs = 0;
};

} // namespace nuvio
