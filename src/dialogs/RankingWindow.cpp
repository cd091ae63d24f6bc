#include "dialogs/RankingWindow.h"

#include "analysis/ChangeRanking.h"
#include "data/AtomicFile.h"
#include "ui/BusyCursor.h"
#include "ui/FileFolders.h"
#include "ui/Interaction.h"
#include "ui/SaveName.h"

#include <QCloseEvent>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace kavra {

RankingWindow::RankingWindow(Interaction &ui, FileFolders &folders, QWidget *parent)
    : QDialog(parent), ui_(ui), folders_(folders), heading_(new QLabel(this)), list_(new QListWidget(this)),
      save_(new QPushButton(QStringLiteral("Save Ranking"), this)), ok_(new QPushButton(QStringLiteral("OK"), this))
{
    setObjectName(QStringLiteral("frmKavraRanking"));
    setWindowTitle(QStringLiteral("Items Ranked by Change"));
    setModal(false);
    heading_->setObjectName(QStringLiteral("lblKavraRanking"));
    heading_->setTextFormat(Qt::PlainText);
    heading_->setWordWrap(true);
    QFont headingFont(QStringLiteral("Arial"));
    headingFont.setPointSizeF(9.75);
    headingFont.setBold(true);
    heading_->setFont(headingFont);
    list_->setObjectName(QStringLiteral("lstKavraRanking"));
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    // The scores line up in a fixed-width font.
    list_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    save_->setObjectName(QStringLiteral("cmdKavraSaveRanking"));
    ok_->setObjectName(QStringLiteral("cmdKavraRankingOK"));
    for (QPushButton *button : {save_, ok_})
        button->setAutoDefault(false);
    connect(save_, &QPushButton::clicked, this, &RankingWindow::cmdKavraSaveRanking_Click);
    connect(ok_, &QPushButton::clicked, this, &RankingWindow::cmdKavraRankingOK_Click);
    connect(list_, &QListWidget::itemDoubleClicked, this,
            [this](QListWidgetItem *line) { emit itemChosen(line->data(Qt::UserRole).toInt()); });

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(heading_);
    layout->addWidget(list_, 1);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(save_);
    buttons->addWidget(ok_);
    layout->addLayout(buttons);
    resize(520, 560);
}

void RankingWindow::showRanking(const QStringList &header, const std::vector<analysis::RankedLine> &lines)
{
    header_ = header;
    heading_->setText(header.join(QLatin1Char('\n')));
    list_->clear();
    for (const analysis::RankedLine &line : lines) {
        auto *entry = new QListWidgetItem(QString::fromLocal8Bit(line.text.data(), qsizetype(line.text.size())), list_);
        entry->setData(Qt::UserRole, line.column);
    }
    if (list_->count() > 0)
        list_->setCurrentRow(0);
    show();
    raise();
    activateWindow();
    list_->setFocus();
}

QStringList RankingWindow::lines() const
{
    QStringList texts;
    for (int i = 0; i < list_->count(); ++i)
        texts << list_->item(i)->text();
    return texts;
}

void RankingWindow::cmdKavraSaveRanking_Click()
{
    auto path = ui_.saveFileName(this, QStringLiteral(".TXT files (*.TXT)|*.Txt"),
                                 folders_.startFolder(FileKind::CorrelationList));
    if (path && !hasExtension(*path))
        path = withAddedExtension(ui_, this, *path, QStringLiteral(".txt"), QStringLiteral("Save Ranking"));
    if (!path)
        return;
    folders_.used(FileKind::CorrelationList, *path);
    std::vector<std::string> text;
    for (const QString &line : header_ + lines())
        text.push_back(line.toLocal8Bit().toStdString());
    std::string error;
    {
        BusyCursor busy;
        error = writeTextLines(path->toLocal8Bit().toStdString(), text);
    }
    if (!error.empty())
        ui_.message(this, QStringLiteral("Error : ") + QString::fromLocal8Bit(error) +
                              QStringLiteral(" generated while Creating file"),
                    QString());
}

void RankingWindow::cmdKavraRankingOK_Click()
{
    list_->clear();
    hide();
}

void RankingWindow::closeEvent(QCloseEvent *event)
{
    cmdKavraRankingOK_Click();
    event->accept();
}

void RankingWindow::reject() { cmdKavraRankingOK_Click(); }

}  // namespace kavra
