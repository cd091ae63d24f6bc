#pragma once
// Files dropped onto the main window: which of the dropped items can be opened.

#include <QStringList>

class QMimeData;

namespace kavra {

struct DroppedItems {
    QStringList files;    // local files, in the order dropped
    QStringList refused;  // folders, missing paths and non-local addresses, as the user knows them
};

// True when the drag carries addresses at all: the drop is taken, and what cannot
// be opened is reported then.
bool carriesDroppableItems(const QMimeData *data);
// Sorts the dropped addresses into files to open and items refused.
DroppedItems droppedItems(const QMimeData *data);
// The dropped local files only.
QStringList droppedFiles(const QMimeData *data);

// The message about refused items, naming each of them.
QString refusedItemsMessage(const QStringList &refused);
// The message when more files were dropped than can be open together.
QString tooManyFilesMessage(int maxFiles);

}  // namespace kavra
