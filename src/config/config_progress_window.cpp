#include "config/config_progress_window.h"

#include "app/app_context.h"
#include "app/user_dialogs.h"
#include "config/arc_gauge_widget.h"
#include "config/config_file.h"
#include "config/config_image.h"

#include <QCloseEvent>

namespace kesto {

namespace {
constexpr int kGaugeLeft = 30;
constexpr int kGaugeTop = 90;
constexpr int kGaugeMargin = 40; // the gauge is as wide as the main client area less this
} // namespace

ConfigProgressWindow::ConfigProgressWindow(AppContext &ctx, QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint), m_ctx(ctx),
      m_gauge(new ArcGaugeWidget(this))
{
    setObjectName(QStringLiteral("TForm25"));
    setWindowTitle(QStringLiteral("config..."));
    QPalette pal = palette();
    pal.setColor(QPalette::Window, QColor(0xA0, 0xA0, 0xA4)); // medium grey
    setPalette(pal);
    setAutoFillBackground(true);
    setWindowOpacity(kOpacityAlpha / 255.0);

    m_gauge->setObjectName(QStringLiteral("sArcGauge1"));
    m_gauge->setRange(0, kImageSize);
    m_gauge->setText(QStringLiteral("EEPROM"));

    m_transfer = new ConfigTransfer(
        *ctx.dispatcher, [this](const QByteArray &command) { m_ctx.send(command); }, ctx.pollTimer,
        ctx.watchdogTimer, *this, this);
    ctx.registerWindow(this);
}

void ConfigProgressWindow::closeEvent(QCloseEvent *event)
{
    // A transfer cannot be cancelled halfway; its end hides the window.
    if (m_transfer->isRunning()) {
        event->ignore();
    } else {
        event->accept();
    }
}

bool ConfigProgressWindow::confirmUpload(const QString &text)
{
    return UserDialogs::instance().askYesNo(text, true);
}

QString ConfigProgressWindow::chooseSaveFile()
{
    return UserDialogs::instance().saveFile(
        {m_ctx.configFolder, saveDialogFilter(), saveDialogDefaultSuffix(), QString()});
}

QString ConfigProgressWindow::chooseUploadFile()
{
    return UserDialogs::instance().openFile(
        {m_ctx.configFolder, openDialogFilter(), QString(), QString()});
}

void ConfigProgressWindow::showMessage(const QString &text)
{
    UserDialogs::instance().showMessage(text);
}

void ConfigProgressWindow::coverMainWindow()
{
    QWidget *main = m_ctx.mainWindow;
    if (!main) {
        return;
    }
    setGeometry(main->frameGeometry());
    const int side = main->width() - kGaugeMargin;
    m_gauge->setGeometry(kGaugeLeft, kGaugeTop, side, side);
}

void ConfigProgressWindow::setProgressShown(bool shown)
{
    setVisible(shown);
}

void ConfigProgressWindow::setProgressValue(int value)
{
    m_gauge->setValue(value);
}

void ConfigProgressWindow::setProgressText(const QString &text)
{
    m_gauge->setText(text);
}

void ConfigProgressWindow::setMainWindowEnabled(bool enabled)
{
    if (m_ctx.mainWindow) {
        m_ctx.mainWindow->setEnabled(enabled);
    }
}

} // namespace kesto
