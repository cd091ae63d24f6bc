#include "support/FakeInteraction.h"

namespace {

std::optional<QString> takeFirst(std::deque<QString> &answers)
{
    const QString answer = answers.empty() ? QString() : answers.front();
    if (!answers.empty())
        answers.pop_front();
    if (answer.isNull())
        return std::nullopt;
    return answer;
}

}  // namespace

std::optional<QString> FakeInteraction::input(QWidget *, const QString &, const QString &, const QString &)
{
    return takeFirst(inputAnswers);
}

std::optional<QString> FakeInteraction::nextFile(const QString &filter)
{
    ++fileDialogs;
    filters << filter;
    return takeFirst(fileAnswers);
}
