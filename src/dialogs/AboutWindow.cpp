#include "dialogs/AboutWindow.h"

#include "ui/TwipsLayout.h"

#include <QPlainTextEdit>
#include <QPushButton>

namespace kavra {

std::array<QString, AboutWindow::kSlotCount> AboutWindow::statementSlots()
{
    std::array<QString, kSlotCount> slot;
    slot[0] = QStringLiteral(
        "Kavra is a viewer for performance data files. You may use, copy and pass on Kavra "
        "free of charge for viewing and analysing performance data, on the following conditions:");
    slot[1] = QStringLiteral(
        "(a) Kavra is provided \"as is\", without warranty of any kind, express or implied, including "
        "but not limited to the warranties of merchantability, fitness for a particular purpose and "
        "non-infringement.");
    slot[2] = QStringLiteral(
        "(b) In no event shall the authors or copyright holders be liable for any claim, damages or other "
        "liability arising from the use of Kavra or from anything Kavra shows, writes or prints, whether "
        "in contract, tort or otherwise.");
    slot[3] = QStringLiteral(
        "(c) You use Kavra at your own risk. Check the charts, lists and files it produces before you base "
        "any decision on them.");
    slot[4] = QStringLiteral(
        "(d) This notice must be kept, unchanged, with every copy of Kavra and with every substantial part "
        "of it that you pass on.");
    slot[5] = QStringLiteral(
        "(e) You must not misrepresent the origin of Kavra: you must not claim that you wrote the original "
        "program.");
    slot[6] = QStringLiteral(
        "(f) A changed version must be plainly marked as changed and must not be presented as the original "
        "Kavra.");
    slot[7] = QStringLiteral(
        "(g) You may not sell Kavra itself; you may charge for the service of analysing performance data "
        "with it.");
    slot[8] = QStringLiteral(
        "(h) The performance data you open remains yours. Kavra reads it only on your own computer and "
        "sends nothing anywhere.");
    return slot;
}

QString AboutWindow::statementText(const std::array<QString, kSlotCount> &statement)
{
    QString text;
    for (const QString &slot : statement)
        if (!slot.isEmpty())
            text += slot + QStringLiteral("\r\n\r\n");
    return text;
}

AboutWindow::AboutWindow(QWidget *parent)
    : QDialog(parent), statement_(new QPlainTextEdit(this)), ok_(new QPushButton(QStringLiteral("OK"), this))
{
    setObjectName(QStringLiteral("frmKavra3"));
    setWindowTitle(QStringLiteral("About Kavra"));
    setModal(false);
    // The design's client area is 7875 twips wide, narrower than the text box
    // (120 + 8550); the window is widened so that the box and its scroll bar show whole.
    auto *twips = new TwipsLayout(this, {120 + 8550 + 120, 5880});

    statement_->setObjectName(QStringLiteral("txtKavra9231"));
    statement_->setReadOnly(true);
    statement_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    statement_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    statement_->setFocusPolicy(Qt::ClickFocus);  // not a tab stop
    twips->place(statement_, 120, 120, 8550, 4935);

    ok_->setObjectName(QStringLiteral("cmdKavra9231"));
    twips->place(ok_, 3300, 5280, 1800, 500);
    connect(ok_, &QPushButton::clicked, this, &AboutWindow::cmdKavra9231_Click);

    // Loading the window builds its text, once.
    text_ = statementText(statementSlots());
    statement_->setPlainText(QString(text_).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
}

void AboutWindow::cmdKavra9231_Click() { hide(); }

}  // namespace kavra
