#pragma once
// Every question Kavra asks the user goes through this interface: the viewer
// uses Qt's dialogs, tests script the answers.

#include <QColor>
#include <QString>

#include <functional>
#include <optional>

class QPrinter;
class QWidget;

namespace kavra {

class Interaction {
public:
    virtual ~Interaction() = default;

    // File dialogs, starting in folder; the filter is written "description|pattern".
    // Empty when cancelled.
    virtual std::optional<QString> openFileName(QWidget *parent, const QString &filter, const QString &folder) = 0;
    virtual std::optional<QString> saveFileName(QWidget *parent, const QString &filter, const QString &folder) = 0;
    // The save dialog of a picture: filterIndex (1-based) presets the file type
    // and returns the one chosen. The name comes back as typed; the command gives
    // a name without an extension the chosen type's (and asks before replacing
    // a file of that name).
    virtual std::optional<QString> exportFileName(QWidget *parent, const QString &filter, const QString &folder,
                                                  int &filterIndex)
    {
        (void)filterIndex;
        return saveFileName(parent, filter, folder);
    }
    // A message box with one OK button; an empty title shows the program's name.
    virtual void message(QWidget *parent, const QString &text, const QString &title) = 0;
    // A question with Yes and No buttons; true for Yes. Without a window to ask
    // in, the answer is No.
    virtual bool question(QWidget *parent, const QString &text, const QString &title)
    {
        (void)parent;
        (void)text;
        (void)title;
        return false;
    }
    // An input box; empty when cancelled.
    virtual std::optional<QString> input(QWidget *parent, const QString &prompt, const QString &title,
                                         const QString &defaultAnswer) = 0;
    // The colour dialog, opening on initial; empty when cancelled. Without a
    // dialog to show, nothing is chosen.
    virtual std::optional<QColor> chooseColour(QWidget *parent, const QColor &initial, const QString &title)
    {
        (void)parent;
        (void)initial;
        (void)title;
        return std::nullopt;
    }
    // A print preview whose pages paint draws; nothing without a window to show.
    virtual void printPreview(QWidget *parent, const std::function<void(QPrinter &)> &paint)
    {
        (void)parent;
        (void)paint;
    }
    // The print dialog: sets the printer up; false when cancelled. Without a
    // dialog to show, nothing is printed.
    virtual bool choosePrinter(QWidget *parent, QPrinter &printer)
    {
        (void)parent;
        (void)printer;
        return false;
    }
};

}  // namespace kavra
