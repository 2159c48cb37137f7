#pragma once

#include <QString>

namespace kesto {

// What a file dialog is opened with. The filter uses the "Name (*.x)|*.x|..." form.
struct FileDialogSpec
{
    QString directory;
    QString filter;
    QString defaultSuffix; // without the dot; appended when the user types a name without one
    QString title;         // the dialog's caption; "" for the platform's own
};

// Every message box, question and file dialog of the program goes through here, so tests can
// script the answers. Boxes are captioned with the program title.
class UserDialogs
{
public:
    virtual ~UserDialogs() = default;

    // A plain message box.
    virtual void showMessage(const QString &text) = 0;
    // A Yes/No question without icon; returns true for Yes.
    virtual bool askYesNo(const QString &text, bool yesIsDefault = true) = 0;
    // An OK/Cancel question without icon; returns true for OK.
    virtual bool askOkCancel(const QString &text) = 0;
    // The chosen file, or "" when cancelled.
    virtual QString openFile(const FileDialogSpec &spec) = 0;
    virtual QString saveFile(const FileDialogSpec &spec) = 0;

    // The instance in use (Qt dialogs unless a test installed its own).
    static UserDialogs &instance();
    // Installs another instance (not owned); nullptr restores the Qt dialogs.
    static void install(UserDialogs *dialogs);
};

} // namespace kesto
