#pragma once
#include "ui/Interaction.h"

namespace kavra {

// The real dialogs.
class QtInteraction : public Interaction {
public:
    std::optional<QString> openFileName(QWidget *parent, const QString &filter, const QString &folder) override;
    std::optional<QString> saveFileName(QWidget *parent, const QString &filter, const QString &folder) override;
    std::optional<QString> exportFileName(QWidget *parent, const QString &filter, const QString &folder,
                                          int &filterIndex) override;
    void message(QWidget *parent, const QString &text, const QString &title) override;
    bool question(QWidget *parent, const QString &text, const QString &title) override;
    std::optional<QString> input(QWidget *parent, const QString &prompt, const QString &title,
                                 const QString &defaultAnswer) override;
    std::optional<QColor> chooseColour(QWidget *parent, const QColor &initial, const QString &title) override;
    bool choosePrinter(QWidget *parent, QPrinter &printer) override;
    void printPreview(QWidget *parent, const std::function<void(QPrinter &)> &paint) override;

    // "description|pattern" as a Qt name filter. Extension patterns match either
    // letter case, since collectors name their files .csv as often as .CSV.
    static QString qtFilter(const QString &filter);
};

}  // namespace kavra
