#pragma once
// The item list on screen: one view over the current revision of the plain item
// list. The revisions themselves live in kavra::ItemList; switching revisions
// shows another one, whose rows and selection come back as they were kept.

#include <QAbstractTableModel>
#include <QTreeView>

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
// Down key report an activation, on which the chart is redrawn.
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

signals:
    void activated();

protected:
    void keyReleaseEvent(QKeyEvent *event) override;

private:
    void applySelection();
    void takeSelection();

    ItemListModel *model_;
    bool applying_ = false;
};

}  // namespace kavra
