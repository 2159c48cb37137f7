#pragma once

#include "config/config_transfer.h"

#include <QWidget>

namespace kesto {

struct AppContext;
class ArcGaugeWidget;

// The "config..." window: a borderless, semi-transparent grey sheet laid over the main window
// while the whole configuration is read or written, with one arc gauge showing the progress.
// It runs the transfers itself, so the main window only calls startSave() and startUpload().
class ConfigProgressWindow : public QWidget, private TransferView
{
    Q_OBJECT

public:
    static constexpr int kOpacityAlpha = 100; // of 255

    explicit ConfigProgressWindow(AppContext &ctx, QWidget *parent = nullptr);

    // "Save config from KESTO" and "Upload config to KESTO".
    void startSave() { m_transfer->startSave(); }
    void startUpload() { m_transfer->startUpload(); }

    ConfigTransfer &transfer() { return *m_transfer; }
    ArcGaugeWidget *gauge() const { return m_gauge; }

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    bool confirmUpload(const QString &text) override;
    QString chooseSaveFile() override;
    QString chooseUploadFile() override;
    void showMessage(const QString &text) override;
    void coverMainWindow() override;
    void setProgressShown(bool shown) override;
    void setProgressValue(int value) override;
    void setProgressText(const QString &text) override;
    void setMainWindowEnabled(bool enabled) override;

    AppContext &m_ctx;
    ArcGaugeWidget *m_gauge;
    ConfigTransfer *m_transfer;
};

} // namespace kesto
