#pragma once
// txtKavraFilter, the one-line filter above the item list: what is typed narrows
// the rows the list shows at once (itemviews/ItemListView), and the label at its
// right end (lblKavraFilter) says how many are shown: "12 of 480 items".
// Escape clears it; Return hands the keys back to the list. It is shown and
// hidden with the list.

#include <QLineEdit>

class QLabel;

namespace kavra {

class ItemListView;

class ItemFilterBox : public QLineEdit {
    Q_OBJECT
public:
    ItemFilterBox(ItemListView &list, QWidget *parent);

    // Room for the count of a long list and a few characters typed.
    QSize minimumSizeHint() const override;

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void showCount(int shown, int total);
    void placeCount();

    ItemListView &list_;
    QLabel *count_;
};

}  // namespace kavra
