#include "itemviews/ItemListView.h"

#include "data/Text.h"
#include "items/ItemList.h"
#include "ui/Edition.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>

namespace kavra {
namespace {

struct ColumnLook {
    const char *caption;
    int twips;
    Qt::Alignment alignment;
};

constexpr ColumnLook kColumns[] = {
    {"PerfDataItem", 10500, Qt::AlignLeft},
    {"SortKey", 500, Qt::AlignLeft},
    {"Median", 500, Qt::AlignRight},
    {"OrigIndex", 500, Qt::AlignRight},
};

// A name as the list shows it: whole names are kept for matching and saving, but
// a huge one would take seconds to lay out on every paint.
constexpr size_t kShownCharacters = 256;

QString shown(const std::string &text)
{
    if (text.size() <= kShownCharacters)
        return QString::fromStdString(text);
    return QString::fromStdString(text::shortened(text, kShownCharacters - 3));
}

}  // namespace

void ItemListModel::setRevision(ItemRevision *revision)
{
    beginResetModel();
    revision_ = revision;
    endResetModel();
}

int ItemListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() || !revision_ ? 0 : static_cast<int>(revision_->rows.size());
}

int ItemListModel::columnCount(const QModelIndex &parent) const { return parent.isValid() ? 0 : 4; }

QVariant ItemListModel::data(const QModelIndex &index, int role) const
{
    if (!revision_ || !index.isValid() || index.row() >= rowCount())
        return {};
    const ItemRow &row = revision_->rows[static_cast<size_t>(index.row())];
    const int column = index.column();
    switch (role) {
    case Qt::DisplayRole:
        return shown(row.columnText(column));
    case Qt::ToolTipRole:
        return shown(column == 0 ? row.toolTip : row.subItemToolTips[size_t(column - 1)]);
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(kColumns[column].alignment | Qt::AlignVCenter);
    case Qt::UserRole:
        return row.tag;
    default:
        return {};
    }
}

QVariant ItemListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 && section < 4)
        return QString::fromLatin1(kColumns[section].caption);
    if (orientation == Qt::Horizontal && role == Qt::TextAlignmentRole && section >= 0 && section < 4)
        return QVariant::fromValue(kColumns[section].alignment | Qt::AlignVCenter);
    return {};
}

ItemListView::ItemListView(QWidget *parent) : QTreeView(parent), model_(new ItemListModel(this))
{
    setObjectName(QStringLiteral("lvwKavra"));
    setModel(model_);
    setRootIsDecorated(false);
    setUniformRowHeights(true);
    setAllColumnsShowFocus(true);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    header()->setStretchLastSection(false);
    for (int c = 0; c < 4; ++c)
        setColumnWidth(c, kColumns[c].twips * logicalDpiX() / 1440);
    if constexpr (kClassicEdition) {
        // A plain list of item names: the sort columns are not shown.
        for (int c = 1; c < 4; ++c)
            setColumnHidden(c, true);
        setHeaderHidden(true);
    }
    connect(selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] { takeSelection(); });
    connect(this, &QTreeView::clicked, this, [this] { emit activated(); });
}

void ItemListView::showRevision(ItemRevision *revision)
{
    model_->setRevision(revision);
    hidden_.clear();  // the reset showed every row again
    applyFilter();
    applySelection();
}

void ItemListView::refresh() { showRevision(model_->revision()); }

void ItemListView::setFilter(const QString &text)
{
    if (text == filter_)
        return;
    filter_ = text;
    applyFilter();
    const QModelIndex current = currentIndex();
    if (current.isValid() && !isRowHidden(current.row(), {}))
        scrollTo(current);
}

// Hides and shows only the rows whose state changes, so that a keystroke costs
// one comparison per row and a little layout.
void ItemListView::applyFilter()
{
    const ItemRevision *revision = model_->revision();
    const size_t rows = revision ? revision->rows.size() : 0;
    hidden_.resize(rows, false);
    shownRows_ = 0;
    for (size_t i = 0; i < rows; ++i) {
        const bool hide =
            !filter_.isEmpty() && !QString::fromLocal8Bit(revision->rows[i].text).contains(filter_, Qt::CaseInsensitive);
        if (hide != hidden_[i]) {
            setRowHidden(int(i), {}, hide);
            hidden_[i] = hide;
        }
        shownRows_ += hide ? 0 : 1;
    }
    emit shownRowsChanged(shownRows_, int(rows));
}

void ItemListView::scrollToRow(int row)
{
    if (row < 0 || row >= model_->rowCount() || isRowHidden(row, {}))
        return;
    const QModelIndex index = model_->index(row, 0);
    selectionModel()->setCurrentIndex(index, QItemSelectionModel::NoUpdate);
    scrollTo(index);
}

void ItemListView::noteCharted()
{
    selectionTouched_ = false;
    chartedRevision_ = model_->revision();
    chartedColumns_ = selectedColumns();
}

std::vector<int32_t> ItemListView::selectedColumns() const
{
    std::vector<int32_t> columns;
    if (const ItemRevision *revision = model_->revision())
        for (const ItemRow &row : revision->rows)
            if (row.selected)
                columns.push_back(row.tag);
    return columns;
}

// Only the user's own changes count: a selection the program sets is charted by
// the command that sets it.
bool ItemListView::selectionCharted() const
{
    return !selectionTouched_ || (chartedRevision_ == model_->revision() && chartedColumns_ == selectedColumns());
}

// An auto-repeated key changes the selection step by step; the chart follows
// once, when the key is let go.
void ItemListView::keyReleaseEvent(QKeyEvent *event)
{
    QTreeView::keyReleaseEvent(event);
    if (event->isAutoRepeat())
        return;
    if (event->key() == Qt::Key_Up || event->key() == Qt::Key_Down || !selectionCharted())
        emit activated();
}

// A click on one row has already been reported (and charted) by the base class.
void ItemListView::mouseReleaseEvent(QMouseEvent *event)
{
    QTreeView::mouseReleaseEvent(event);
    if (!selectionCharted())
        emit activated();
}

// The revision's Selected flags onto the view.
void ItemListView::applySelection()
{
    const ItemRevision *revision = model_->revision();
    applying_ = true;
    QItemSelection selection;
    int first = -1;  // the first selected row shown
    if (revision) {
        for (size_t i = 0; i < revision->rows.size(); ++i) {
            if (!revision->rows[i].selected)
                continue;
            const int row = static_cast<int>(i);
            first = first < 0 && !hidden_[i] ? row : first;
            selection.select(model_->index(row, 0), model_->index(row, 3));
        }
    }
    selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
    applying_ = false;
    scrollToRow(first);
}

// The view's selection into the revision's Selected flags.
void ItemListView::takeSelection()
{
    ItemRevision *revision = model_->revision();
    if (applying_ || !revision)
        return;
    selectionTouched_ = true;
    for (ItemRow &row : revision->rows)
        row.selected = false;
    for (const QModelIndex &index : selectionModel()->selectedRows())
        revision->rows[static_cast<size_t>(index.row())].selected = true;
}

}  // namespace kavra
