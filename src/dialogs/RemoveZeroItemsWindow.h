#pragma once
// frmKavra4, "Remove Items with Zero Data": what the zero-value removal is doing
// and the items it has removed.

#include <QDialog>
#include <QElapsedTimer>

class QLabel;
class QListWidget;
class QProgressBar;
class QPushButton;

namespace kavra {

class RemoveZeroItemsWindow : public QDialog {
    Q_OBJECT
public:
    explicit RemoveZeroItemsWindow(QWidget *parent = nullptr);

    // Shown empty, with the heading and a progress range of `rows` rows.
    void start(int rows);
    // The row being tested; the window repaints at most every 50 ms.
    void visiting(const QString &text, int position);
    void removed(const QString &text);
    void finish();

    QStringList removedItems() const;

public slots:
    // OK: hides the button and the window.
    void cmdKavra9241_Click();

private:
    QListWidget *removed_;
    QLabel *heading_;
    QLabel *current_;
    QProgressBar *progress_;
    QPushButton *ok_;
    QElapsedTimer repainted_;
};

}  // namespace kavra
