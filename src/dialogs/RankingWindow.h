#pragma once
// frmKavraRanking, "Items Ranked by Change": the items whose values between the
// A and B cursors stand furthest from their values on the other rows shown,
// largest change first. A double click charts the item; "Save Ranking" writes
// the list as a text file.

#include <QDialog>
#include <QStringList>

#include <vector>

class QLabel;
class QListWidget;
class QPushButton;

namespace kavra {

namespace analysis {
struct RankedLine;
}
class FileFolders;
class Interaction;

class RankingWindow : public QDialog {
    Q_OBJECT
public:
    RankingWindow(Interaction &ui, FileFolders &folders, QWidget *parent = nullptr);

    // Lists the ranked lines under the heading; header lines open the saved file.
    void showRanking(const QStringList &header, const std::vector<analysis::RankedLine> &lines);
    QStringList lines() const;

public slots:
    void cmdKavraSaveRanking_Click();
    void cmdKavraRankingOK_Click();  // hides the window and empties the list

signals:
    // A line was double-clicked: chart the item of this data column.
    void itemChosen(int column);

protected:
    void closeEvent(QCloseEvent *event) override;
    void reject() override;

private:
    Interaction &ui_;
    FileFolders &folders_;
    QStringList header_;
    QLabel *heading_;
    QListWidget *list_;
    QPushButton *save_, *ok_;
};

}  // namespace kavra
