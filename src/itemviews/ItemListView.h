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
//
// A filter narrows the rows shown to those whose text holds it. It hides rows
// and nothing more: the revision keeps every row, and a hidden row keeps its
// selection (and its place in the chart) until a gesture that replaces the
// selection, such as a plain click, Shift+click or Ctrl+A, clears it; Ctrl+click
// adds to the selection and leaves hidden rows as they are.
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

    // Shows only the rows whose text holds text, letter case aside, every
    // character taken as itself; an empty text shows every row.
    void setFilter(const QString &text);
    int shownRowCount() const { return shownRows_; }

signals:
    void activated();
    // After every change of the rows shown: by the filter, or another revision or
    // its rows shown.
    void shownRowsChanged(int shown, int total);

protected:
    void keyReleaseEvent(QKeyEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    void applyFilter();
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
    QString filter_;
    std::vector<bool> hidden_;  // each row's state as last set
    int shownRows_ = 0;
};

}  // namespace kavra
