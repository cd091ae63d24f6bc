#include "ui/Prompts.h"

#include "data/NumberText.h"
#include "ui/Interaction.h"

#include <cmath>

namespace kavra {

std::optional<double> numericAnswer(const std::optional<QString> &answer)
{
    if (!answer)
        return std::nullopt;
    bool ok = false;
    const double value = answer->trimmed().toDouble(&ok);  // C locale: a full stop, no grouping
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value;
}

QString defaultNumberText(double value, bool signedText)
{
    const QString text = QString::fromStdString(signedNumberText(value));
    return signedText ? text : text.trimmed();
}

long long askBounded(Interaction &ui, QWidget *parent, const QString &prompt, const QString &title,
                     long long current, long long low, long long high, bool signedDefault)
{
    double value = double(current);
    while (true) {
        if (const auto answer = numericAnswer(ui.input(parent, prompt, title, defaultNumberText(value, signedDefault))))
            value = std::nearbyint(*answer);
        if (value >= double(low) && value <= double(high))
            return static_cast<long long>(value);
    }
}

}  // namespace kavra
