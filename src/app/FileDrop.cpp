// Dropping files onto the main window opens them, one after the other, exactly as
// the Open command does with a file named on the command line.

#include "app/FileDrop.h"

#include "app/MainWindow.h"
#include "data/DataSet.h"
#include "ui/Interaction.h"

#include <QAction>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QMimeData>
#include <QUrl>

#include <utility>

namespace kavra {

bool carriesDroppableItems(const QMimeData *data)
{
    return data && data->hasUrls();
}

DroppedItems droppedItems(const QMimeData *data)
{
    DroppedItems items;
    if (!carriesDroppableItems(data))
        return items;
    for (const QUrl &url : data->urls()) {
        if (!url.isLocalFile()) {
            items.refused << url.toDisplayString();
            continue;
        }
        const QString path = url.toLocalFile();
        const QFileInfo info(path);
        if (info.isDir())
            items.refused << path;
        else
            items.files << path;  // a missing file gets the loader's own message
    }
    return items;
}

QStringList droppedFiles(const QMimeData *data)
{
    return droppedItems(data).files;
}

QString refusedItemsMessage(const QStringList &refused)
{
    return QStringLiteral("Only files can be opened - these dropped items were not opened :\r\n") +
           refused.join(QStringLiteral("\r\n"));
}

QString tooManyFilesMessage(int maxFiles)
{
    return QStringLiteral("Only %1 files can be open together - the remaining dropped files were not opened")
        .arg(maxFiles);
}

void MainWindow::dragEnterEvent(QDragEnterEvent *event)
{
    if (carriesDroppableItems(event->mimeData()))
        event->acceptProposedAction();
    else
        event->ignore();
}

void MainWindow::dropEvent(QDropEvent *event)
{
    if (!carriesDroppableItems(event->mimeData())) {
        event->ignore();
        return;
    }
    event->acceptProposedAction();
    // The files are opened once the drop has ended, so that the program the files
    // came from is not kept waiting while they load.
    const DroppedItems items = droppedItems(event->mimeData());
    QMetaObject::invokeMethod(
        this, [this, items] { openDroppedItems(items.files, items.refused); }, Qt::QueuedConnection);
}

void MainWindow::openDroppedItems(const QStringList &files, const QStringList &refused)
{
    if (!refused.isEmpty())
        interaction_.message(this, refusedItemsMessage(refused), QString());
    if (loading_) {
        queuedDrops_ << files;
        return;
    }
    QAction *open = action(Command::OpenFile);
    for (const QString &path : files) {
        if (!open->isEnabled()) {
            interaction_.message(this, tooManyFilesMessage(data_.Max_Files), QString());
            return;
        }
        openFile(path);
    }
}

// Files dropped during a load open after it, in the order dropped, once the
// command that loaded has returned.
void MainWindow::openQueuedDrops()
{
    if (queuedDrops_.isEmpty())
        return;
    const QStringList files = std::exchange(queuedDrops_, {});
    QMetaObject::invokeMethod(
        this, [this, files] { openDroppedItems(files, {}); }, Qt::QueuedConnection);
}

}  // namespace kavra
