#include "editors/table_editor_window.h"

#include "app/app_context.h"
#include "app/user_dialogs.h"
#include "config/address_map.h"
#include "config/config_file.h"
#include "editors/editor_chart_widget.h"
#include "i18n/caption_list.h"
#include "link/answer_frame.h"
#include "link/commands.h"
#include "link/connection_facts.h"
#include "link/error.h"
#include "link/receive_buffer.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFocusEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QThread>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>
#include <QValidator>
#include <algorithm>
#include <optional>

namespace kesto {

namespace {

constexpr int kCellWidth = 42;

// Limits what the user types or pastes; texts set by the program are not limited.
class LengthLimit : public QValidator
{
public:
    LengthLimit(int maxLength, QObject *parent) : QValidator(parent), m_max(maxLength) {}
    State validate(QString &input, int &) const override
    {
        return input.size() <= m_max ? Acceptable : Invalid;
    }

private:
    int m_max;
};

QColor toColor(const Rgb &c)
{
    return QColor(c.r, c.g, c.b);
}

} // namespace

QColor TableEditor::importHighlight()
{
    return QColor(166, 202, 240);
}

TableEditor::TableEditor(AppContext &ctx, EditorDescription description, QWidget *parent)
    : QWidget(parent), m_ctx(ctx), m_desc(std::move(description))
{
    setWindowFlag(Qt::Window);
    setAttribute(Qt::WA_QuitOnClose, false);
    setObjectName(m_desc.objectName);
    setWindowTitle(m_desc.title.text());
    buildWindow();

    if (m_ctx.dispatcher) {
        // The dispatcher may outlive the window (and the window the context), so the handler
        // checks the window is still there and the window never reaches back on destruction.
        m_ctx.dispatcher->setHandler(m_desc.answerType,
                                     [self = QPointer<TableEditor>(this)](const AnswerFrame &a) {
                                         if (self) {
                                             self->fill(a);
                                         }
                                     });
    }
    if (m_ctx.facts && m_desc.gearRule.hideAtGears > 0) {
        connect(m_ctx.facts, &ConnectionFacts::gearCountChanged, this,
                &TableEditor::applyGearCount);
    }
    m_ctx.registerWindow(this);
    redraw();
}

TableEditor::~TableEditor() = default;

void TableEditor::buildWindow()
{
    auto *grid = new QGridLayout;
    grid->setHorizontalSpacing(6);
    grid->setVerticalSpacing(2);

    int headerRows = 0;
    int lastColumn = 0;
    int lastRow = 0;
    for (const LabelSpec &l : std::as_const(m_desc.labels)) {
        headerRows = std::max(headerRows, -l.row);
    }
    for (const LabelSpec &l : std::as_const(m_desc.labels)) {
        auto *label = new QLabel(l.text.text(), this);
        label->setObjectName(l.name);
        label->setAlignment(Qt::AlignCenter);
        if (l.background.isValid()) {
            label->setAutoFillBackground(true);
            QPalette p = label->palette();
            p.setColor(QPalette::Window, toColor(l.background));
            label->setPalette(p);
        }
        grid->addWidget(label, headerRows + l.row, l.column);
        lastColumn = std::max(lastColumn, l.column);
    }

    for (int i = 0; i < m_desc.cells.size(); ++i) {
        const CellSpec &spec = m_desc.cells.at(i);
        auto *edit = new QLineEdit(spec.defaultText, this);
        edit->setObjectName(spec.name);
        edit->setFixedWidth(kCellWidth);
        if (spec.maxLength > 0) {
            edit->setValidator(new LengthLimit(spec.maxLength, edit));
        }
        edit->installEventFilter(this);
        connect(edit, &QLineEdit::textChanged, this,
                [this, i] { runCellCheck(i, m_desc.cells.at(i).onChange); });
        grid->addWidget(edit, headerRows + spec.row, spec.column);
        lastColumn = std::max(lastColumn, spec.column);
        lastRow = std::max(lastRow, spec.row);
        m_cells << edit;
    }
    if (!m_cells.isEmpty()) {
        m_normalBase = m_cells.first()->palette().color(QPalette::Base);
    }

    for (int i = 0; i < m_desc.lists.size(); ++i) {
        const ListCellSpec &spec = m_desc.lists.at(i);
        auto *list = new QComboBox(this);
        list->setObjectName(spec.name);
        list->addItems(spec.items);
        list->setCurrentIndex(spec.defaultIndex);
        if (spec.userChangeEnablesSave) {
            // Only a user's choice marks the editor dirty; a fill sets the index silently.
            connect(list, &QComboBox::activated, this, [this] { m_save->setEnabled(true); });
        }
        grid->addWidget(list, headerRows + spec.row, spec.column);
        lastColumn = std::max(lastColumn, spec.column);
        lastRow = std::max(lastRow, spec.row);
        m_lists << list;
    }

    const int tableRows = headerRows + lastRow + 1;
    for (const ChartSpec &spec : std::as_const(m_desc.charts)) {
        auto *chart = new EditorChart(spec, this);
        const int column = spec.column >= 0 ? spec.column : lastColumn + 1;
        const int rowSpan = spec.rowSpan > 0 ? spec.rowSpan : tableRows;
        grid->addWidget(chart, spec.row, column, rowSpan, spec.columnSpan);
        grid->setColumnStretch(column, 1);
        m_charts << chart;
    }

    auto *buttons = new QHBoxLayout;
    m_read = new QPushButton(m_desc.readCaption.text(), this);
    m_read->setObjectName(m_desc.readButton);
    connect(m_read, &QPushButton::clicked, this, [this] { guarded([this] { requestRead(); }); });
    m_save = new QPushButton(m_desc.saveCaption.text(), this);
    m_save->setObjectName(m_desc.saveButton);
    connect(m_save, &QPushButton::clicked, this, [this] { guarded([this] { save(); }); });
    buttons->addWidget(m_read);
    buttons->addWidget(m_save);

    if (m_desc.import.present) {
        if (m_desc.import.iconOnly) {
            auto *tool = new QToolButton(this);
            tool->setIcon(style()->standardIcon(QStyle::SP_DialogOpenButton));
            tool->setFocusPolicy(Qt::NoFocus); // an icon button leaves the focus in the cell
            m_import = tool;
        } else {
            m_import = new QPushButton(m_desc.import.caption.text(), this);
        }
        m_import->setObjectName(m_desc.import.button);
        m_import->setToolTip(m_desc.import.hint.text());
        connect(m_import, &QAbstractButton::clicked, this,
                [this] { guarded([this] { importFromFile(); }); });
        buttons->addWidget(m_import);
    }

    for (const CheckBoxSpec &spec : std::as_const(m_desc.checkBoxes)) {
        auto *box = new QCheckBox(spec.text.text(), this);
        box->setObjectName(spec.name);
        box->setToolTip(spec.hint.text());
        connect(box, &QCheckBox::toggled, this, &TableEditor::redraw);
        buttons->addWidget(box);
    }
    buttons->addStretch(1);

    for (int i = 0; i < m_desc.navigation.size(); ++i) {
        const NavigationSpec &spec = m_desc.navigation.at(i);
        auto *button = new QPushButton(spec.caption.text(), this);
        button->setObjectName(spec.button);
        connect(button, &QPushButton::clicked, this,
                [this, i] { guarded([this, i] { navigate(i); }); });
        buttons->addWidget(button);
        m_navButtons << button;
    }

    auto *outer = new QVBoxLayout(this);
    outer->addLayout(grid);
    outer->addLayout(buttons);
}

void TableEditor::guarded(const std::function<void()> &action) const
{
    try {
        action();
    } catch (const Error &e) {
        if (m_ctx.reportError) {
            m_ctx.reportError(e.text());
        }
    }
}

void TableEditor::endBatch()
{
    if (--m_batch == 0 && m_redrawPending) {
        m_redrawPending = false;
        redraw();
    }
}

QLineEdit *TableEditor::cell(const QString &name) const
{
    const int i = m_desc.cellIndex(name);
    return i >= 0 ? m_cells.at(i) : nullptr;
}

QString TableEditor::cellText(const QString &name) const
{
    const QLineEdit *edit = cell(name);
    return edit ? edit->text() : QString();
}

bool TableEditor::isHighlighted(const QString &name) const
{
    const QLineEdit *edit = cell(name);
    return edit && edit->palette().color(QPalette::Base) == importHighlight();
}

void TableEditor::setHighlighted(int cellIndex, bool on)
{
    QLineEdit *edit = m_cells.at(cellIndex);
    QPalette p = edit->palette();
    p.setColor(QPalette::Base, on ? importHighlight() : m_normalBase);
    edit->setPalette(p);
}

void TableEditor::resetColours()
{
    for (int i = 0; i < m_cells.size(); ++i) {
        setHighlighted(i, false);
    }
}

void TableEditor::setCellText(int cellIndex, const QString &text)
{
    // An equal text changes nothing and so runs no check.
    QLineEdit *edit = m_cells.at(cellIndex);
    if (edit->text() != text) {
        edit->setText(text);
    }
}

void TableEditor::runCellCheck(int cellIndex, const QList<CheckStep> &steps)
{
    if (steps.isEmpty()) {
        return;
    }
    QLineEdit *edit = m_cells.at(cellIndex);
    const CheckOutcome out = runCheck(steps, edit->text());
    // Setting a new text runs the change check again; it settles on the now valid text.
    setCellText(cellIndex, out.text);
    if (out.caretToEnd) {
        edit->deselect();
        edit->setCursorPosition(int(out.text.size()));
    }
    if (out.redraw) {
        redraw();
    }
    if (out.enableSave) {
        m_save->setEnabled(true);
    }
    if (out.error && m_ctx.reportError) {
        m_ctx.reportError(*out.error);
    }
}

bool TableEditor::filterKey(int cellIndex, QKeyEvent *event) const
{
    // True discards the key. Keys that are not characters pass, and so does focus movement.
    const KeyFilter keys = m_desc.cells.at(cellIndex).keys;
    const QString text = event->text();
    if (keys == KeyFilter::None || text.isEmpty() || event->key() == Qt::Key_Tab ||
        event->key() == Qt::Key_Backtab) {
        return false;
    }
    const QChar c = text.at(0);
    if (c == QLatin1Char('\b') || (c >= QLatin1Char('0') && c <= QLatin1Char('9'))) {
        return false;
    }
    return !(keys == KeyFilter::SignedDigits && c == QLatin1Char('-'));
}

bool TableEditor::eventFilter(QObject *watched, QEvent *event)
{
    const int i = int(m_cells.indexOf(static_cast<QLineEdit *>(watched)));
    if (i < 0) {
        return QWidget::eventFilter(watched, event);
    }
    if (event->type() == QEvent::KeyPress) {
        return filterKey(i, static_cast<QKeyEvent *>(event));
    }
    if (event->type() == QEvent::FocusOut) {
        // Leaving the cell for another control of this window, not switching windows.
        const Qt::FocusReason reason = static_cast<QFocusEvent *>(event)->reason();
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason) {
            runCellCheck(i, m_desc.cells.at(i).onExit);
        }
    }
    return QWidget::eventFilter(watched, event);
}

int TableEditor::gearCount() const
{
    return m_ctx.facts ? m_ctx.facts->gearCount : 4;
}

void TableEditor::applyGearCount(int gears)
{
    for (const QString &name : std::as_const(m_desc.gearRule.controls)) {
        if (auto *w = findChild<QWidget *>(name)) {
            w->setHidden(gears == m_desc.gearRule.hideAtGears);
        }
    }
}

void TableEditor::placeAt(QWidget *window, QPoint offset) const
{
    if (m_ctx.mainWindow) {
        window->move(m_ctx.mainWindow->pos() + offset);
    }
}

void TableEditor::requestRead()
{
    resetColours();
    m_ctx.send(m_desc.readRequest());
    if (m_desc.readDisablesRead) {
        m_read->setEnabled(false);
    }
}

void TableEditor::fill(const AnswerFrame &answer)
{
    const QList<int> addresses = answerAddresses(m_desc.answerType);
    std::optional<QString> problem;
    auto note = [&problem](const Error &e) {
        if (!problem) {
            problem = e.text();
        }
    };

    beginBatch();
    for (int i = 0; i < m_cells.size(); ++i) {
        const CellSpec &spec = m_desc.cells.at(i);
        const int k = int(addresses.indexOf(spec.address));
        try {
            setCellText(i, encoding::shownText(spec.encoding, fieldAt(answer.fields, k)));
        } catch (const Error &e) {
            note(e);
        }
    }
    for (int i = 0; i < m_lists.size(); ++i) {
        const ListCellSpec &spec = m_desc.lists.at(i);
        const int k = int(addresses.indexOf(spec.address));
        try {
            const auto index = encoding::listIndex(spec.encoding, toInt(fieldAt(answer.fields, k)));
            if (index) {
                m_lists.at(i)->setCurrentIndex(*index);
            }
        } catch (const Error &e) {
            note(e);
        }
    }
    endBatch();

    // Buttons last: setting the cells ran their checks, which mark the editor dirty.
    if (m_desc.fillSetsButtons) {
        m_read->setEnabled(true);
        m_save->setEnabled(false);
    }
    if (isHidden()) {
        placeAt(this, m_desc.fillOffset);
        show();
    }
    afterFill(answer);
    if (problem) {
        throw Error(*problem);
    }
}

QString TableEditor::storedValue(const QString &name) const
{
    const int ci = m_desc.cellIndex(name);
    if (ci >= 0) {
        const CellSpec &spec = m_desc.cells.at(ci);
        const QString text = m_cells.at(ci)->text();
        // Sent as it stands, but never a text the controller cannot read as a number.
        toInt(text);
        return encoding::storedText(spec.encoding, text);
    }
    const int li = m_desc.listIndex(name);
    if (li >= 0) {
        return QString::number(
            encoding::listByte(m_desc.lists.at(li).encoding, m_lists.at(li)->currentIndex()));
    }
    throw Error(QStringLiteral("No cell %1 in %2").arg(name, objectName()));
}

void TableEditor::save()
{
    // Every command is built before anything is sent: a cell that cannot be sent stops the
    // save as a whole and leaves the editor dirty.
    QList<QByteArray> commands;
    for (const WriteBlock &block : std::as_const(m_desc.writes)) {
        QStringList values;
        for (const QString &name : block.cells) {
            values << storedValue(name);
        }
        commands << cmd::writeTexts(block.firstAddress, values);
    }
    resetColours();
    if (m_desc.saveDisablesSave) {
        m_save->setEnabled(false);
    }
    for (int i = 0; i < commands.size(); ++i) {
        m_ctx.send(commands.at(i));
        const int pause = m_desc.writes.at(i).pauseAfterMs;
        if (pause > 0 && i + 1 < commands.size()) {
            QThread::msleep(pause);
        }
    }
}

void TableEditor::importFromFile()
{
    const QString path =
        UserDialogs::instance().openFile({m_ctx.configFolder, openDialogFilter(), QString(),
                                          QString()});
    const FileText file = path.isEmpty() ? FileText() : FileText::fromFile(path);
    switch (importVerdict(file.lineCount(), m_desc.import.acceptedLineCounts)) {
    case ImportVerdict::Ignore:
        return;
    case ImportVerdict::Reject:
        UserDialogs::instance().showMessage(caption(222));
        return;
    case ImportVerdict::Accept:
        break;
    }

    // Convert every line first, so an unreadable line leaves the cells untouched.
    QStringList texts;
    for (const CellSpec &spec : std::as_const(m_desc.cells)) {
        texts << encoding::shownText(spec.encoding, file.line(spec.address));
    }
    if (m_desc.import.highlights) {
        resetColours();
        for (int i = 0; i < m_cells.size(); ++i) {
            if (texts.at(i) != m_cells.at(i)->text()) {
                setHighlighted(i, true);
            }
        }
    }
    beginBatch();
    for (int i = 0; i < m_cells.size(); ++i) {
        setCellText(i, texts.at(i));
    }
    m_redrawPending = true;
    endBatch();
}

void TableEditor::redraw()
{
    if (m_batch > 0) {
        m_redrawPending = true;
        return;
    }
    std::optional<QString> problem;
    for (int c = 0; c < m_charts.size(); ++c) {
        EditorChart *chart = m_charts.at(c);
        const ChartSpec &spec = m_desc.charts.at(c);
        for (int s = 0; s < spec.series.size(); ++s) {
            const SeriesSpec &series = spec.series.at(s);
            QList<double> values;
            QStringList labels;
            const auto *toggle =
                series.toggle.isEmpty() ? nullptr : findChild<QCheckBox *>(series.toggle);
            const TableEditor *source = series.sourceWindow.isEmpty()
                                            ? this
                                            : m_ctx.windowAs<TableEditor>(series.sourceWindow);
            const bool shown =
                source && (series.toggle.isEmpty() || (toggle && toggle->isChecked()));
            try {
                for (int p = 0; shown && p < series.valueCells.size(); ++p) {
                    if (p < series.minGears.size() && gearCount() < series.minGears.at(p)) {
                        continue;
                    }
                    // An empty cell draws as 0, labelled "0".
                    const QString value = source->cellText(series.valueCells.at(p));
                    QString label = series.labelCells.isEmpty()
                                        ? series.fixedLabels.value(p)
                                        : source->cellText(series.labelCells.at(p));
                    if (!series.labelCells.isEmpty() && label.isEmpty()) {
                        label = QStringLiteral("0");
                    }
                    values << (value.isEmpty() ? 0 : toInt(value));
                    labels << label;
                }
            } catch (const Error &e) {
                // The series stops at the row that cannot be drawn.
                if (!problem) {
                    problem = e.text();
                }
            }
            chart->setPoints(s, values, labels);
        }
        chart->updatePlot();
    }
    if (problem && m_ctx.reportError) {
        m_ctx.reportError(*problem);
    }
}

void TableEditor::navigate(int index)
{
    const NavigationSpec &nav = m_desc.navigation.at(index);
    m_ctx.send(nav.command);
    QWidget *target = m_ctx.window(nav.target);
    if (nav.kind == NavigationSpec::Kind::Notice) {
        if (target) {
            placeAt(target, QPoint(20, 20));
            target->show();
            target->raise();
        }
        close();
        return;
    }
    close();
    if (nav.showTargetAtOnce && target) {
        target->show();
        target->raise();
        target->activateWindow();
    }
}

void TableEditor::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (event->spontaneous()) {
        return; // restored by the window system, not shown by the program
    }
    if (m_desc.pollIntervalOnShow > 0 && m_ctx.pollTimer) {
        m_ctx.pollTimer->setInterval(m_desc.pollIntervalOnShow);
    }
    if (m_desc.focusFirstCellOnShow && !m_cells.isEmpty()) {
        m_cells.first()->setFocus();
    }
    if (m_desc.showOffset) {
        placeAt(this, *m_desc.showOffset);
    }
    for (int i = 0; i < m_cells.size(); ++i) {
        const int minGears = m_desc.cells.at(i).minGears;
        if (minGears > 0) {
            m_cells.at(i)->setEnabled(gearCount() >= minGears);
        }
    }
    redraw();
    afterShow();
}

void TableEditor::closeEvent(QCloseEvent *event)
{
    if (m_desc.pollIntervalOnClose > 0 && m_ctx.pollTimer) {
        m_ctx.pollTimer->setInterval(m_desc.pollIntervalOnClose);
    }
    if (m_desc.enableMainWindowOnClose && m_ctx.mainWindow) {
        m_ctx.mainWindow->setEnabled(true);
    }
    afterClose();
    event->accept(); // hides; the window and its cells stay
}

void TableEditor::keyPressEvent(QKeyEvent *event)
{
    // Keys the cells leave alone reach the window; a navigation key clicks its button.
    for (int i = 0; i < m_desc.navigation.size(); ++i) {
        const int key = m_desc.navigation.at(i).shortcutKey;
        if (key != 0 && event->key() == key && event->modifiers() == Qt::NoModifier &&
            m_navButtons.at(i)->isEnabled()) {
            m_navButtons.at(i)->click();
            event->accept();
            return;
        }
    }
    QWidget::keyPressEvent(event);
}

} // namespace kesto
