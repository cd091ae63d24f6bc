#pragma once
// frmKavra5, "Add New Item to List Box": a new item from two operands (items or
// numbers) and an operator.

#include <QDialog>

#include <cstdint>

class QLineEdit;
class QListWidget;
class QRadioButton;

namespace kavra {

struct DataSet;
class Interaction;
class ItemList;

class AddItemWindow : public QDialog {
    Q_OBJECT
public:
    AddItemWindow(DataSet &data, ItemList &items, Interaction &ui, QWidget *parent = nullptr);

    // Shows the window with the items of the current list to choose from; a new
    // item goes into the list current when it is made.
    void open();
    // The list or the data set changed under the window: the entries follow the
    // current list while it is shown.
    void refresh();

    int32_t Source_Item_1 = -1;
    int32_t Source_Item_2 = -1;
    int16_t Operator_Index = 0;

signals:
    // A new item has been added to the list.
    void itemAdded();

public slots:
    void cmdKavra9251_Click();
    void cmdKavra9252_Click();
    void optKavra925_Click(int index);
    void cmdKavra9253_Click();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    // Escape closes the window as its close box does.
    void reject() override;

private:
    void fillEntries();
    void pickSource(QLineEdit *box, int32_t &source);
    bool validate(double &a, double &b);
    void finish();

    DataSet &data_;
    Interaction &ui_;
    ItemList &list_;
    QListWidget *items_;
    QLineEdit *operand1_, *operand2_, *name_;
    QRadioButton *operators_[4];
};

}  // namespace kavra
