#pragma once
// Questions with numeric answers, asked the way every Kavra command asks them.

#include <QString>

#include <optional>

class QWidget;

namespace kavra {

class Interaction;

// The numeric value of an input-box answer (blanks around it allowed, a full
// stop as decimal point, an exponent); empty for anything else and for Cancel.
std::optional<double> numericAnswer(const std::optional<QString> &answer);

// A number as the default text of a question: " 10" when signed (a blank before
// a non-negative number), "10" otherwise.
QString defaultNumberText(double value, bool signedText);

// Asks until the value lies in [low, high]. A numeric answer is taken at once,
// rounded half to even, and offered as the next default; a non-numeric answer
// or Cancel keeps the value, so only a value in range ends the questions.
// Answers beyond any range simply count as out of range.
long long askBounded(Interaction &ui, QWidget *parent, const QString &prompt, const QString &title,
                     long long current, long long low, long long high, bool signedDefault);

}  // namespace kavra
