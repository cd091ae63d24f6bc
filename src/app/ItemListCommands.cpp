#include "app/ItemListCommands.h"

#include "app/AppState.h"
#include "data/DataSet.h"
#include "dialogs/AddItemWindow.h"
#include "dialogs/RemoveZeroItemsWindow.h"
#include "items/ItemList.h"
#include "items/ListEdits.h"
#include "ui/Edition.h"
#include "ui/Interaction.h"
#include "ui/Prompts.h"

namespace kavra {
namespace {

const QString kNoRelevantItems = QStringLiteral("No relevant items found ... ");
const QString kStackFull =
    QStringLiteral("The item list cannot keep more revisions - use Revert to Previous Item List first");

QString text(const std::string &bytes) { return QString::fromLocal8Bit(bytes); }

}  // namespace

ItemListCommands::ItemListCommands(ItemCommandContext context, QObject *parent) : QObject(parent), c_(std::move(context))
{
}

void ItemListCommands::closeSideWindows()
{
    if (zeroItems_)
        zeroItems_->cmdKavra9241_Click();
}

void ItemListCommands::closeDataWindows()
{
    closeSideWindows();
    if (addItem_)
        addItem_->close();
}

void ItemListCommands::currentListChanged()
{
    if (addItem_)
        addItem_->refresh();
}

void ItemListCommands::showCurrentList()
{
    c_.showCurrentList();
    currentListChanged();
}

bool ItemListCommands::copyItemList()
{
    if (c_.items.copyItemList())
        return true;
    c_.ui.message(c_.window, kStackFull, QString());
    return false;
}

// ---- Sorting ----------------------------------------------------------------

void ItemListCommands::setSortOrder(int order)
{
    c_.state.list.Sort_Order = int16_t(order);
    kavra::setSortOrder(c_.items.current(), order);
    showCurrentList();
}

void ItemListCommands::mnuSetSortOrderAscending_Click() { setSortOrder(0); }

void ItemListCommands::mnuSetSortOrderDescending_Click() { setSortOrder(1); }

void ItemListCommands::mnuSortItemsinAlphabeticalOrder_Click()
{
    c_.state.list.Sort_Key_Start =
        int16_t(askBounded(c_.ui, c_.window, QStringLiteral("Please enter Sort Key Start Position (1-10) :"),
                           QStringLiteral("Set Sort Key Start Position"), c_.state.list.Sort_Key_Start, 1, 10, false));
    sortAlphabetically(c_.items.current(), c_.state.list.Sort_Key_Start, c_.state.list.Sort_Order);
    showCurrentList();
}

void ItemListCommands::mnuListItemsinOriginalOrder_Click()
{
    sortInOriginalOrder(c_.items.current(), c_.state.list.Sort_Order);
    showCurrentList();
}

// The median of each item over the displayed rows, computed directly: one
// revision pushed, one redraw at the end.
void ItemListCommands::mnuSortInMedianOrder_Click()
{
    if (c_.state.list.Median_Sorted)
        return;
    const int order = kClassicEdition ? 0 : c_.state.list.Sort_Order;  // the classic edition sorts ascending only
    ItemRevision sorted =
        medianSorted(c_.items.current(), c_.data, c_.state.rows.Zoom_First_Row, c_.state.rows.Zoom_Last_Row, order);
    if (!c_.items.push(std::move(sorted))) {
        c_.ui.message(c_.window, kStackFull, QString());
        return;
    }
    showCurrentList();
    c_.redraw();
    c_.state.list.Median_Sorted = true;
}

// ---- Removing ---------------------------------------------------------------

void ItemListCommands::mnuRemoveZeroItems_Click()
{
    if (!copyItemList())
        return;
    if (!zeroItems_)
        zeroItems_ = new RemoveZeroItemsWindow(c_.window);
    ItemRevision &list = c_.items.current();
    zeroItems_->start(int(list.rows.size()));
    removeRows(
        list,
        [this](const ItemRow &row) {
            const bool zeros = onlyZeros(c_.data, row.tag);
            if (zeros)
                zeroItems_->removed(text(row.text));
            return zeros;
        },
        [this](const ItemRow &row, int position) { zeroItems_->visiting(text(row.text), position); });
    selectFirstRow(list);
    zeroItems_->finish();
    showCurrentList();
    c_.redraw();
}

void ItemListCommands::mnuRemoveSelectedItems_Click()
{
    if (!copyItemList())
        return;
    ItemRevision &list = c_.items.current();
    removeRows(list, [](const ItemRow &row) { return row.selected; });
    selectFirstRow(list);
    showCurrentList();
    c_.redraw();
}

void ItemListCommands::mnuRemoveItemsNotSelected_Click()
{
    if (!copyItemList())
        return;
    removeRows(c_.items.current(), [](const ItemRow &row) { return !row.selected; });
    showCurrentList();
    c_.redraw();
}

void ItemListCommands::mnuRemoveItemsContainingString_Click() { removeByString(true); }

void ItemListCommands::mnuRemoveItemsNotContainingString_Click() { removeByString(false); }

// The search string is matched literally, without regard to letter case, against
// the row's whole text (a median prefix included).
void ItemListCommands::removeByString(bool containing)
{
    const QString title =
        containing ? QStringLiteral("Remove Items containing string") : QStringLiteral("Remove Items NOT containing string");
    c_.state.list.Search_String =
        c_.ui.input(c_.window, QStringLiteral("Please enter search string"), title, c_.state.list.Search_String)
            .value_or(QString());
    if (c_.state.list.Search_String.isEmpty() || !copyItemList())
        return;
    ItemRevision &list = c_.items.current();
    const QString search = c_.state.list.Search_String;
    removeRows(list, [&](ItemRow &row) {
        row.selected = false;
        return text(row.text).contains(search, Qt::CaseInsensitive) == containing;
    });
    if (list.rows.empty()) {
        c_.ui.message(c_.window, kNoRelevantItems, QString());
        mnuRevertToPreviousItemList_Click();
        return;
    }
    selectFirstRow(list);
    showCurrentList();
    c_.redraw();
}

void ItemListCommands::mnuRevertToPreviousItemList_Click()
{
    if (!c_.items.revert())
        return;
    showCurrentList();
    c_.redraw();
    c_.state.list.Median_Sorted = false;
}

// ---- New items --------------------------------------------------------------

void ItemListCommands::mnuAddNewItem_Click()
{
    if (!addItem_) {
        addItem_ = new AddItemWindow(c_.data, c_.items, c_.ui, c_.window);
        connect(addItem_, &AddItemWindow::itemAdded, this, [this] { c_.showCurrentList(); });
    }
    addItem_->open();
}

}  // namespace kavra
