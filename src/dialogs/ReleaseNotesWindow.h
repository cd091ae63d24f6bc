#pragma once
// frmKavra7, "Kavra Release Notes": shows the release-notes file that comes
// with the program.

#include <QDialog>
#include <QString>

class QPlainTextEdit;
class QPushButton;

namespace kavra {

class ReleaseNotesWindow : public QDialog {
    Q_OBJECT
public:
    explicit ReleaseNotesWindow(QWidget *parent = nullptr);

    // The release-notes file in the program's own folder, or where the
    // installation puts it (share/kavra/ beside the program's bin/).
    static QString defaultPath();

    // Reads the file into txtKavra71, replacing what was there: every line followed
    // by CR LF, then one more CR LF. A line ends at a CR, with or without a following
    // LF; a lone LF does not end a line. Returns false when the file cannot be opened
    // or read; the text then stays as it was. Does not show the window.
    bool load(const QString &path);

    // The text of txtKavra71 with its CR LF line breaks.
    QString text() const { return text_; }

public slots:
    void cmdKavra71_Click();  // OK: hides the window

private:
    QString text_;
    QPlainTextEdit *notes_;
    QPushButton *ok_;
};

}  // namespace kavra
