#pragma once

#include <QFrame>

class QLabel;
class QTimer;

namespace kesto {

struct AppContext;
class DialMeterWidget;

// The borderless window of four dial meters beside the main window. While shown, its Timer1
// copies the main window's live value labels onto the meters every 100 ms.
class GaugeWindow : public QFrame
{
    Q_OBJECT
public:
    static constexpr int kSide = 345;
    static constexpr int kTopOffset = 48; // below the main window's top

    explicit GaugeWindow(AppContext &ctx, QWidget *parent = nullptr);

    // Left at the main window's right edge, top 48 below the main window's top.
    void placeBesideMainWindow();

    // Timer1: reads the source labels and moves the meters. Texts that are not whole numbers
    // leave their meter as it is.
    void timer1Timer();

protected:
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    struct Meter
    {
        DialMeterWidget *dial = nullptr;
        QLabel *caption = nullptr;
        const char *source = nullptr; // objectName of the main window's value label
    };

    QString sourceText(const char *labelName) const;

    AppContext &m_ctx;
    Meter m_meters[4];
    QTimer *m_timer = nullptr;
};

} // namespace kesto
