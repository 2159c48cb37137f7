#include "app/user_dialogs.h"

#include "link/connection_facts.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>

namespace kesto {

namespace {

// Message texts keep the line breaks they were built with (CR, CR LF or LF CR); a label only
// breaks on LF, so every such break is shown as one.
QString displayText(QString text)
{
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    text.replace(QLatin1String("\n\r"), QLatin1String("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return text;
}

// "Name (*.a;*.b)|*.a;*.b|..." to Qt's "Name (*.a *.b);;..."
QString qtFilter(const QString &filter)
{
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList out;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        QString patterns = parts.at(i + 1);
        patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
        QString name = parts.at(i);
        const qsizetype paren = name.indexOf(QLatin1Char('('));
        if (paren >= 0) {
            name = name.left(paren).trimmed();
        }
        out << QStringLiteral("%1 (%2)").arg(name, patterns);
    }
    return out.join(QLatin1String(";;"));
}

QWidget *activeParent()
{
    return QApplication::activeWindow();
}

class QtUserDialogs : public UserDialogs
{
public:
    void showMessage(const QString &text) override
    {
        QMessageBox box(QMessageBox::NoIcon, programTitle(), displayText(text), QMessageBox::Ok,
                        activeParent());
        box.exec();
    }

    bool askYesNo(const QString &text, bool yesIsDefault) override
    {
        QMessageBox box(QMessageBox::NoIcon, programTitle(), displayText(text),
                        QMessageBox::Yes | QMessageBox::No, activeParent());
        box.setDefaultButton(yesIsDefault ? QMessageBox::Yes : QMessageBox::No);
        return box.exec() == QMessageBox::Yes;
    }

    bool askOkCancel(const QString &text) override
    {
        QMessageBox box(QMessageBox::NoIcon, programTitle(), displayText(text),
                        QMessageBox::Ok | QMessageBox::Cancel, activeParent());
        return box.exec() == QMessageBox::Ok;
    }

    QString openFile(const FileDialogSpec &spec) override
    {
        return QFileDialog::getOpenFileName(activeParent(), spec.title, spec.directory,
                                            qtFilter(spec.filter));
    }

    QString saveFile(const FileDialogSpec &spec) override
    {
        QFileDialog dialog(activeParent(), spec.title, spec.directory, qtFilter(spec.filter));
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setFileMode(QFileDialog::AnyFile);
        dialog.setDefaultSuffix(spec.defaultSuffix);
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
            return QString();
        }
        return dialog.selectedFiles().constFirst();
    }
};

UserDialogs *g_installed = nullptr;

} // namespace

UserDialogs &UserDialogs::instance()
{
    static QtUserDialogs qtDialogs;
    return g_installed ? *g_installed : qtDialogs;
}

void UserDialogs::install(UserDialogs *dialogs)
{
    g_installed = dialogs;
}

} // namespace kesto
