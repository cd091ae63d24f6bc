#include "dialogs/AddItemWindow.h"

#include "data/DataSet.h"
#include "items/DerivedItem.h"
#include "items/ItemList.h"
#include "ui/Interaction.h"
#include "ui/Prompts.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include <algorithm>

namespace kavra {
namespace {

bool isNavigationKey(int key)
{
    switch (key) {
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Escape:
    case Qt::Key_Shift:
    case Qt::Key_Control:
    case Qt::Key_Alt:
    case Qt::Key_Meta:
    case Qt::Key_AltGr: return true;
    default: return false;
    }
}

// What a data file cannot hold as a column name: the loader splits at commas,
// deletes quotes, trims blanks, takes "SAMPLE TIME" columns for sample times and
// a header holding the start marker for a header block. Empty when the name is fine.
QString unsavableNameReason(const QString &name)
{
    if (name.contains(QLatin1Char(',')))
        return QStringLiteral("a comma");
    if (name.contains(QLatin1Char('"')) || name.contains(QLatin1Char('\'')))
        return QStringLiteral("a quote");
    if (name.contains(QStringLiteral("SAMPLE TIME"), Qt::CaseInsensitive))
        return QStringLiteral("\"SAMPLE TIME\"");
    if (name.contains(QStringLiteral("$$$"), Qt::CaseInsensitive))
        return QStringLiteral("\"$$$\"");
    for (const QChar c : name)
        if (c.unicode() < 0x20 || c.unicode() == 0x7f)
            return QStringLiteral("a control character");
    if (name.front().isSpace() || name.back().isSpace())
        return QStringLiteral("a blank at its start or end");
    return QString();
}

}  // namespace

AddItemWindow::AddItemWindow(DataSet &data, ItemList &items, Interaction &ui, QWidget *parent)
    : QDialog(parent), data_(data), ui_(ui), list_(items), items_(new QListWidget(this)), operand1_(new QLineEdit(this)),
      operand2_(new QLineEdit(this)), name_(new QLineEdit(this))
{
    setObjectName(QStringLiteral("frmKavra5"));
    setWindowTitle(QStringLiteral("Add New Item to List Box"));
    items_->setObjectName(QStringLiteral("lstKavra9251"));
    operand1_->setObjectName(QStringLiteral("txtKavra9251"));
    operand2_->setObjectName(QStringLiteral("txtKavra9252"));
    name_->setObjectName(QStringLiteral("txtKavra9253"));
    const auto button = [this](const char *name, const QString &caption, void (AddItemWindow::*slot)()) {
        auto *b = new QPushButton(caption, this);
        b->setObjectName(QString::fromLatin1(name));
        b->setAutoDefault(false);  // Enter in a text box must not pick an operand
        connect(b, &QPushButton::clicked, this, slot);
        return b;
    };
    auto *frame = new QGroupBox(QStringLiteral("Choose Operator"), this);
    frame->setObjectName(QStringLiteral("fraKavra9251"));
    auto *frameLayout = new QVBoxLayout(frame);
    const char *const captions[] = {"Add", "Subtract", "Multiply", "Divide"};
    for (int i = 0; i < 4; ++i) {
        operators_[i] = new QRadioButton(QString::fromLatin1(captions[i]), frame);
        operators_[i]->setObjectName(QStringLiteral("optKavra925(%1)").arg(i));
        frameLayout->addWidget(operators_[i]);
        connect(operators_[i], &QRadioButton::clicked, this, [this, i] { optKavra925_Click(i); });
    }
    operators_[0]->setChecked(true);
    auto *nameLabel = new QLabel(QStringLiteral("Name of new Item"), this);
    nameLabel->setObjectName(QStringLiteral("lblKavra9254"));

    auto *layout = new QGridLayout(this);
    layout->addWidget(items_, 0, 0, 7, 1);
    layout->addWidget(button("cmdKavra9251", QStringLiteral("Select Source Item #1 from ListBox on Left"),
                             &AddItemWindow::cmdKavra9251_Click), 0, 1);
    layout->addWidget(operand1_, 1, 1);
    layout->addWidget(button("cmdKavra9252", QStringLiteral("Select Source Item #2 from ListBox on Left"),
                             &AddItemWindow::cmdKavra9252_Click), 2, 1);
    layout->addWidget(operand2_, 3, 1);
    layout->addWidget(frame, 4, 1);
    layout->addWidget(nameLabel, 5, 1, Qt::AlignBottom);  // on its box, whatever room is left above
    layout->addWidget(name_, 6, 1);
    QPushButton *doIt = button("cmdKavra9253", QStringLiteral("Do it !"), &AddItemWindow::cmdKavra9253_Click);
    doIt->setDefault(true);
    layout->addWidget(doIt, 7, 1);
    operand1_->installEventFilter(this);
    operand2_->installEventFilter(this);
    resize(720, 420);
}

void AddItemWindow::fillEntries()
{
    items_->clear();
    for (const ItemRow &row : list_.current().rows) {
        auto *entry = new QListWidgetItem(QString::fromLocal8Bit(row.text), items_);
        entry->setData(Qt::UserRole, row.tag);
    }
}

void AddItemWindow::refresh()
{
    if (isVisible())
        fillEntries();
}

void AddItemWindow::open()
{
    fillEntries();
    show();
    raise();
    activateWindow();
}

void AddItemWindow::pickSource(QLineEdit *box, int32_t &source)
{
    const QListWidgetItem *entry = items_->currentItem();
    if (!entry || !entry->isSelected())
        return;  // nothing chosen on the left: nothing to take
    box->setText(entry->text());
    source = entry->data(Qt::UserRole).toInt();
}

void AddItemWindow::cmdKavra9251_Click() { pickSource(operand1_, Source_Item_1); }

void AddItemWindow::cmdKavra9252_Click() { pickSource(operand2_, Source_Item_2); }

void AddItemWindow::optKavra925_Click(int index) { Operator_Index = int16_t(index); }

// A key typed into an operand box makes that operand a number; keys that only
// move the focus, confirm or close do not.
bool AddItemWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress && !isNavigationKey(static_cast<QKeyEvent *>(event)->key())) {
        if (watched == operand1_)
            Source_Item_1 = -1;
        else if (watched == operand2_)
            Source_Item_2 = -1;
    }
    return QDialog::eventFilter(watched, event);
}

// The fields are checked before anything is computed, so a refused attempt
// leaves the data set as it was.
bool AddItemWindow::validate(double &a, double &b)
{
    if (operand1_->text().isEmpty() || operand2_->text().isEmpty() || name_->text().isEmpty()) {
        ui_.message(this, QStringLiteral("Please enter all required fields"), QString());
        return false;
    }
    const auto number = [](const QLineEdit *box) { return numericAnswer(box->text()); };
    if (Source_Item_1 == -1 && !number(operand1_)) {
        ui_.message(this, QStringLiteral("Input not numeric in first field"), QString());
        return false;
    }
    if (Source_Item_2 == -1 && !number(operand2_)) {
        ui_.message(this, QStringLiteral("Input not numeric in second field"), QString());
        return false;
    }
    if (const QString reason = unsavableNameReason(name_->text()); !reason.isEmpty()) {
        ui_.message(this,
                    QStringLiteral("An item name cannot hold ") + reason +
                        QStringLiteral(" (it could not be saved in a data file) - please choose another name"),
                    QString());
        return false;
    }
    // The new row goes into every revision, so its name must be new to all of them.
    const std::string name = name_->text().toLocal8Bit().toStdString();
    if (list_.hasRowNamed(name)) {
        const bool shown = std::any_of(list_.current().rows.begin(), list_.current().rows.end(),
                                       [&](const ItemRow &row) { return row.text == name; });
        ui_.message(this,
                    QStringLiteral("An item named ") + name_->text() +
                        (shown ? QStringLiteral(" is already in the list")
                               : QStringLiteral(" is already in an earlier item list (Revert shows it)")) +
                        QStringLiteral(" - please choose another name"),
                    QString());
        return false;
    }
    a = Source_Item_1 == -1 ? *number(operand1_) : 0;
    b = Source_Item_2 == -1 ? *number(operand2_) : 0;
    return true;
}

void AddItemWindow::cmdKavra9253_Click()
{
    double a = 0, b = 0;
    if (!validate(a, b))
        return;
    ItemRow row;
    row.text = name_->text().toLocal8Bit().toStdString();
    row.tag = list_.derivedItems().add(data_, {Source_Item_1, a}, {Source_Item_2, b}, Operator(Operator_Index));
    row.key = row.text;
    row.toolTip = itemToolTip(row.text);
    list_.addToEveryRevision(row);
    finish();
    emit itemAdded();
}

void AddItemWindow::finish()
{
    Source_Item_1 = Source_Item_2 = -1;
    hide();
    items_->clear();
    operand1_->clear();
    operand2_->clear();
    name_->clear();
}

void AddItemWindow::closeEvent(QCloseEvent *event)
{
    finish();
    event->accept();
}

void AddItemWindow::reject()
{
    close();
}

}  // namespace kavra
