#include "ui/SaveName.h"

#include "ui/Interaction.h"

#include <QFileInfo>

namespace kavra {

bool hasExtension(const QString &path)
{
    return !QFileInfo(path).suffix().isEmpty();
}

std::optional<QString> withAddedExtension(Interaction &ui, QWidget *window, const QString &typed,
                                          const QString &extension, const QString &title)
{
    const QString path = typed.endsWith(QLatin1Char('.')) ? typed + extension.mid(1) : typed + extension;
    const QString replace = QStringLiteral("%1 already exists.\nDo you want to replace it?");
    if (QFileInfo::exists(path) && !ui.question(window, replace.arg(QFileInfo(path).fileName()), title))
        return std::nullopt;
    return path;
}

}  // namespace kavra
