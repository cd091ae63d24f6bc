#pragma once
// The commands of the Modify Item List menu, the sort order and the new item:
// sorting, pruning with undo, and derived items.

#include <QObject>
#include <QString>

#include <functional>

class QWidget;

namespace kavra {

struct AppState;
struct DataSet;
class AddItemWindow;
class Interaction;
class ItemList;
class RemoveZeroItemsWindow;

struct ItemCommandContext {
    AppState &state;
    DataSet &data;
    ItemList &items;
    Interaction &ui;
    QWidget *window;
    std::function<void()> showCurrentList;  // the current revision's rows or selection changed
    std::function<void()> redraw;           // show the chart and redraw it
};

class ItemListCommands : public QObject {
    Q_OBJECT
public:
    explicit ItemListCommands(ItemCommandContext context, QObject *parent = nullptr);

    // The zero-value window's OK, which every redraw runs first.
    void closeSideWindows();
    // The data set goes away (Close): the windows that read it are closed.
    void closeDataWindows();
    // The current list changed elsewhere (a load): the windows showing it follow.
    void currentListChanged();

public slots:
    void mnuSetSortOrderAscending_Click();
    void mnuSetSortOrderDescending_Click();
    void mnuSortItemsinAlphabeticalOrder_Click();
    void mnuListItemsinOriginalOrder_Click();
    void mnuSortInMedianOrder_Click();
    void mnuRemoveZeroItems_Click();
    void mnuRemoveSelectedItems_Click();
    void mnuRemoveItemsNotSelected_Click();
    void mnuRemoveItemsContainingString_Click();
    void mnuRemoveItemsNotContainingString_Click();
    void mnuRevertToPreviousItemList_Click();
    void mnuAddNewItem_Click();

private:
    // Pushes a copy of the current list to prune; false (with a message) at the limit.
    bool copyItemList();
    void removeByString(bool containing);
    void setSortOrder(int order);
    void showCurrentList();

    ItemCommandContext c_;
    RemoveZeroItemsWindow *zeroItems_ = nullptr;
    AddItemWindow *addItem_ = nullptr;
};

}  // namespace kavra
