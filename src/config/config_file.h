#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

namespace kesto {

// A configuration file's text as the readers see it.
struct FileText
{
    QString text;      // the whole text, line breaks included
    QStringList lines; // split at CR LF, lone CR, lone LF; a final break starts no line
    int length = 0;    // characters, every line break counted as two

    // A line index at or beyond the line count reads as "".
    QString line(int index) const { return index >= 0 && index < lines.size() ? lines.at(index) : QString(); }
    int lineCount() const { return int(lines.size()); }

    static FileText fromBytes(const QByteArray &bytes);
    // Reads a file; throws kesto::Error when it cannot be opened.
    static FileText fromFile(const QString &path);
};

enum class UploadKind { Rejected, DecimalLines, HexText };

// How an upload takes a file: rejected, decimal lines or hex text (first matching test wins).
UploadKind recognizeUpload(int lineCount, int textLength);
inline UploadKind recognizeUpload(const FileText &f) { return recognizeUpload(f.lineCount(), f.length); }

// Decimal lines to an image text: low eight bits of each line, "00" for every line short of 700.
// A line that is not a decimal integer throws the conversion error; nothing is produced then.
QString decimalLinesToImageText(const QStringList &lines);

// The image text an upload of this file writes; throws for a rejected file.
QString uploadImageText(const FileText &file);

enum class ImportVerdict { Ignore, Reject, Accept };
// An editor's import: fewer than two lines is ignored, a count the editor does not accept is
// rejected ("Incorrect KESTO file."), otherwise accepted.
ImportVerdict importVerdict(int lineCount, const QList<int> &acceptedLineCounts);

// The file dialogs' type lists, in the "Name (*.x)|*.x|..." form, and the save default.
QString saveDialogFilter();
QString openDialogFilter();
QString saveDialogDefaultSuffix(); // "ks3"

// Writes bytes to a file atomically (QSaveFile, unbuffered so a short write is noticed): a failed
// write throws kesto::Error and leaves any existing file untouched.
void writeFileAtomically(const QString &path, const QByteArray &bytes);

// Writes an image text as a hex file (no line break) atomically: a failed write throws and
// leaves any existing file untouched.
void writeHexFile(const QString &path, const QString &imageText);

} // namespace kesto
