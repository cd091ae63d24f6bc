#pragma once
// The main window's menu bar written out as the user meets it: one line per
// menu and entry (submenus indented), "-" for a separator, and after each entry
// its state at every moment recorded: "+" enabled, "." disabled, "#" enabled and
// checked. Tests compare it with the design, line by line.

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QStringList>

#include <vector>

class MenuListing {
public:
    explicit MenuListing(QMenuBar *bar) : bar_(bar) {}

    // Notes every entry's state now.
    void record()
    {
        std::vector<QChar> states;
        walk([&](QAction *entry, const QString &) {
            if (!entry->isSeparator())
                states.push_back(!entry->isEnabled() ? QChar('.') : entry->isChecked() ? QChar('#') : QChar('+'));
        });
        moments_.push_back(std::move(states));
    }

    QStringList lines() const
    {
        QStringList out;
        size_t i = 0;
        walk([&](QAction *entry, const QString &indent) {
            if (entry->isSeparator())
                return void(out << indent + QStringLiteral("-"));
            QString states;
            for (const std::vector<QChar> &moment : moments_)
                states += moment[i];
            ++i;
            out << indent + entry->objectName() + QStringLiteral(" \"") + entry->text() + QStringLiteral("\"") +
                       (entry->isCheckable() ? QStringLiteral(" check ") : QStringLiteral(" ")) + states;
        });
        return out;
    }

private:
    template <typename F> void walk(F &&visit) const
    {
        for (QAction *menu : bar_->actions()) {
            visit(menu, QString());
            walkMenu(menu->menu(), QStringLiteral("  "), visit);
        }
    }
    template <typename F> static void walkMenu(QMenu *menu, const QString &indent, F &visit)
    {
        for (QAction *entry : menu->actions()) {
            visit(entry, indent);
            if (entry->menu())
                walkMenu(entry->menu(), indent + QStringLiteral("  "), visit);
        }
    }

    QMenuBar *bar_;
    std::vector<std::vector<QChar>> moments_;
};
