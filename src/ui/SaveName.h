#pragma once
// The name a save dialog gave, completed with the extension of the type being
// saved: a file the Open dialog lists, and a picture named as its format.

#include <QString>

#include <optional>

class QWidget;

namespace kavra {

class Interaction;

// Whether the name ends in an extension (".csv", ".v2"; not "saved" or "saved.").
bool hasExtension(const QString &path);

// typed with extension (".csv") added ("saved" and "saved." give "saved.csv").
// The dialog asked before replacing a file of the name as typed; before the
// completed name replaces a file the same question is asked here, titled title.
// Empty when the user does not want that file replaced.
std::optional<QString> withAddedExtension(Interaction &ui, QWidget *window, const QString &typed,
                                          const QString &extension, const QString &title);

}  // namespace kavra
