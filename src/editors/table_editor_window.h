#pragma once

#include "editors/editor_description.h"

#include <QList>
#include <QPointer>
#include <QWidget>
#include <functional>

class QAbstractButton;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace kesto {

struct AnswerFrame;
struct AppContext;
class EditorChart;

// One configuration table editor, built from its description: cells, checks, fill from the
// controller's answer, save, import from a file, charts and navigation. Created once at start,
// hidden until filled or navigated to; closing only hides it.
class TableEditor : public QWidget
{
    Q_OBJECT
public:
    TableEditor(AppContext &ctx, EditorDescription description, QWidget *parent = nullptr);
    ~TableEditor() override;

    const EditorDescription &description() const { return m_desc; }

    // The operations; buttons, keys and the dispatcher call these.
    void requestRead();
    // Fills the cells from an answer of the editor's type. Values go by position; a missing or
    // unreadable value is reported after the others were filled and the window was shown.
    void fill(const AnswerFrame &answer);
    void save();
    void importFromFile();
    void redraw();
    void navigate(int index);

    QLineEdit *cell(const QString &name) const;
    QString cellText(const QString &name) const; // "" for a cell the editor lacks
    bool isHighlighted(const QString &name) const;
    EditorChart *chart(int index = 0) const { return m_charts.value(index); }
    QPushButton *readButton() const { return m_read; }
    QPushButton *saveButton() const { return m_save; }

    static QColor importHighlight();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

    // Hooks for the editors whose behaviour differs beyond their description.
    virtual void afterFill(const AnswerFrame &) {}
    virtual void afterShow() {}
    virtual void afterClose() {}

    AppContext &context() const { return m_ctx; }

private:
    void buildWindow();
    void runCellCheck(int cellIndex, const QList<CheckStep> &steps);
    bool filterKey(int cellIndex, QKeyEvent *event) const;
    void setCellText(int cellIndex, const QString &text);
    void setHighlighted(int cellIndex, bool on);
    void resetColours();
    void placeAt(QWidget *window, QPoint offset) const;
    int gearCount() const;
    void applyGearCount(int gears);
    QString storedValue(const QString &name) const;
    // Runs a user action; a failure is shown by the general error handler.
    void guarded(const std::function<void()> &action) const;

    void beginBatch() { ++m_batch; }
    void endBatch();

    AppContext &m_ctx;
    EditorDescription m_desc;
    QList<QLineEdit *> m_cells;
    QList<QComboBox *> m_lists;
    QList<EditorChart *> m_charts;
    QList<QPushButton *> m_navButtons;
    QPushButton *m_read = nullptr;
    QPushButton *m_save = nullptr;
    QAbstractButton *m_import = nullptr;
    QColor m_normalBase;
    int m_batch = 0;
    bool m_redrawPending = false;
};

} // namespace kesto
