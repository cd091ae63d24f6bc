#include "dialogs/ReleaseNotesWindow.h"

#include "ui/TwipsLayout.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPlainTextEdit>
#include <QPushButton>

namespace kavra {

ReleaseNotesWindow::ReleaseNotesWindow(QWidget *parent)
    : QDialog(parent), notes_(new QPlainTextEdit(this)), ok_(new QPushButton(QStringLiteral("OK"), this))
{
    setObjectName(QStringLiteral("frmKavra7"));
    setWindowTitle(QStringLiteral("Kavra Release Notes"));
    setModal(false);
    auto *twips = new TwipsLayout(this, {9015, 9060});

    notes_->setObjectName(QStringLiteral("txtKavra71"));
    twips->place(notes_, 120, 120, 8535, 8055);

    ok_->setObjectName(QStringLiteral("cmdKavra71"));
    twips->place(ok_, 3720, 8400, 1575, 495);
    connect(ok_, &QPushButton::clicked, this, &ReleaseNotesWindow::cmdKavra71_Click);
}

QString ReleaseNotesWindow::defaultPath()
{
    // Next to the program in the build tree and in a copied folder; installed
    // (bin/ and share/kavra/ under one prefix), in the program's data folder.
    const QString name = QStringLiteral("/Kavra_Release_Notes.Txt");
    const QString programFolder = QCoreApplication::applicationDirPath();
    if (QFileInfo::exists(programFolder + name))
        return programFolder + name;
    return QDir::cleanPath(programFolder + QStringLiteral("/" KAVRA_INSTALLED_NOTES_DIR) + name);
}

bool ReleaseNotesWindow::load(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return false;

    const QString crlf = QStringLiteral("\r\n");
    QString text;
    qsizetype start = 0;
    while (start < bytes.size()) {
        qsizetype cr = bytes.indexOf('\r', start);
        if (cr < 0)
            cr = bytes.size();
        text += QString::fromUtf8(bytes.constData() + start, cr - start) + crlf;
        start = cr + 1;
        if (start < bytes.size() && bytes[start] == '\n')
            ++start;
    }
    text += crlf;

    text_ = text;
    notes_->setPlainText(QString(text_).replace(crlf, QStringLiteral("\n")));
    return true;
}

void ReleaseNotesWindow::cmdKavra71_Click() { hide(); }

}  // namespace kavra
