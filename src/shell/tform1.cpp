#include "shell/tform1.h"

#include "platform/application.h"
#include "platform/messagebox.h"
#include "platform/plainpath.h"
#include "settings/settingsstore.h"
#include "shell/alertsound.h"

#include <QEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QScreen>
#include <QStatusBar>
#include <QSystemTrayIcon>
#include <QTimer>
#include <QToolBar>
#include <QWebEngineSettings>
#include <QWebEngineView>

#include <climits>

namespace nuvio {

namespace {
constexpr int kToolBarHeight = 29;
constexpr int kStatusBarHeight = 17;
} // namespace

TForm1::TForm1(AppSettings& settings, ProgramValues& program, std::string hivePath, QWidget* parent)
    : QMainWindow(parent), m_settings(settings), m_program(program), m_hivePath(std::move(hivePath))
{
    setObjectName(QStringLiteral("Form1"));
    m_client = new QWidget(this);
    m_client->setObjectName(QStringLiteral("client"));
    setCentralWidget(m_client);

    ToolBar1 = new QToolBar(m_client);
    ToolBar1->setObjectName(QStringLiteral("ToolBar1"));
    ToolBar1->setMovable(false);
    ToolBar1->setFixedHeight(kToolBarHeight);

    StatusBar1 = new QStatusBar(m_client);
    StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
    StatusBar1->setSizeGripEnabled(false);
    StatusBar1->setFixedHeight(kStatusBarHeight);

    const auto makeView = [this](const QString& name) {
        auto* view = new QWebEngineView(m_client);
        view->setObjectName(name);
        view->settings()->setDefaultTextEncoding(QStringLiteral("windows-1252"));
        return view;
    };
    WebBrowser1 = makeView(QStringLiteral("WebBrowser1"));
    RadioBrowser = makeView(QStringLiteral("RadioBrowser"));
    m_frontView = RadioBrowser;
    bringToFront(WebBrowser1);

    Label1 = new QLabel(QStringLiteral("Opdaterer nyheder"), m_client);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->hide();
    Label2 = new QLabel(QStringLiteral("Opdatering komplet"), m_client);
    Label2->setObjectName(QStringLiteral("Label2"));
    Label2->hide();

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    connect(Timer1, &QTimer::timeout, this, &TForm1::newsRefreshDue);

    Timer2 = new QTimer(this);
    Timer2->setObjectName(QStringLiteral("Timer2"));
    Timer2->setSingleShot(true);
    Timer2->setInterval(2000);
    connect(Timer2, &QTimer::timeout, this, &TForm1::AutoUpdateNews);

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

void TForm1::FormCreate()
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    const int screenHeight = screen ? screen->geometry().height() : 768;
    const LoadedSettings loaded = LoadSettings(m_hivePath, m_settings, screenHeight);
    if (loaded.readFailed)
        showMessage(QString::fromStdString(m_program.AppTitle), QString::fromLatin1(kReadFailedMessage));
    move(loaded.bounds.left, loaded.bounds.top);
    resize(loaded.bounds.width, loaded.bounds.height);
    setRefreshInterval(loaded.refreshIntervalMs);

    m_program.ServerBaseURL = vendorBaseUrl();

    NuvioApplication::setTitle(QString::fromStdString(m_program.AppTitle));
    setWindowTitle(QString::fromStdString(m_program.AppTitle));

    TrayIcon = new QSystemTrayIcon(this);
    TrayIcon->setObjectName(QStringLiteral("TrayIconData"));
    TrayIcon->setToolTip(QString::fromStdString(m_program.AppName));
    TrayIcon->setIcon(QGuiApplication::windowIcon());

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
    SaveSettings(m_hivePath, m_settings, bounds(), m_refreshIntervalMs);
}

WindowBounds TForm1::bounds() const { return {x(), y(), width(), height()}; }

void TForm1::Afslut1Click()
{
    // The window is destroyed, and the settings saved, once the message loop has ended.
    QCoreApplication::quit();
}

void TForm1::FormResize()
{
    const ViewRect rect = viewRectFor(m_client->width(), m_client->height(), kToolBarHeight, kStatusBarHeight);
    ToolBar1->setGeometry(0, 0, m_client->width(), kToolBarHeight);
    StatusBar1->setGeometry(0, m_client->height() - kStatusBarHeight, m_client->width(), kStatusBarHeight);
    WebBrowser1->setGeometry(rect.left, rect.top, std::max(rect.width, 0), std::max(rect.height, 0));
    RadioBrowser->setGeometry(WebBrowser1->geometry());
}

bool TForm1::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_client && event->type() == QEvent::Resize)
        FormResize();
    return QMainWindow::eventFilter(watched, event);
}

void TForm1::bringToFront(QWebEngineView* view)
{
    view->raise();
    m_frontView = view;
}

void TForm1::navigate(QWebEngineView* view, const QUrl& url) { view->setUrl(url); }

void TForm1::openStartView()
{
    const StartView start = startView(m_settings);
    QWebEngineView* view = start.view == StartViewKind::Radio ? RadioBrowser : WebBrowser1;
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
    Timer2->stop();
    emit newsRefreshDue();
}

void TForm1::comeForward()
{
    if (!isVisible())
        return;
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

} // namespace nuvio
