#pragma once
// The item list on screen: one view over the current revision of the plain item
// list. The revisions themselves live in kavra::ItemList; switching revisions
// shows another one, whose rows and selection come back as they were kept.

#include <QAbstractTableModel>
#include <QTreeView>

#include <cstdint>
#include <vector>

namespace kavra {

class ItemRevision;

class ItemListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    using QAbstractTableModel::QAbstractTableModel;

    void setRevision(ItemRevision *revision);
    ItemRevision *revision() const { return revision_; }

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    ItemRevision *revision_ = nullptr;
};

// lvwKavra: multiple selection; a click on a row and the release of the Up or
// Down key report an activation, on which the chart is redrawn. So does the end
// of any other change the user makes to the selection (a drag, Ctrl+A, Shift or
// Page keys, a click on empty space): the release of the mouse button or key that
// leaves a selection other than the one charted.
class ItemListView : public QTreeView {
    Q_OBJECT
public:
    explicit ItemListView(QWidget *parent = nullptr);

    // Shows a revision: its rows in display order, its selection, and scrolls the
    // first selected row into view.
    void showRevision(ItemRevision *revision);
    ItemRevision *revision() const { return model_->revision(); }
    // Rows have changed in the shown revision.
    void refresh();
    void scrollToRow(int row);
    // The current selection is now the one charted.
    void noteCharted();

signals:
    void activated();

protected:
    void keyReleaseEvent(QKeyEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    void applySelection();
    void takeSelection();
    // The Perf_Data columns of the selected rows, in display order.
    std::vector<int32_t> selectedColumns() const;
    bool selectionCharted() const;

    ItemListModel *model_;
    bool applying_ = false;
    bool selectionTouched_ = false;  // by the user, since the chart was drawn
    const ItemRevision *chartedRevision_ = nullptr;
    std::vector<int32_t> chartedColumns_;
};

}  // namespace kavra
