#pragma once

#include <QList>
#include <QString>

#include <optional>

// The subset of attribute expressions that vector layers answer from their own hash indexes:
// conjunctions of `field = literal`. Anything else (other operators, OR, quoted names,
// parentheses, negative numbers, keywords used as names) is left to OGR.
struct EqualityTerm
{
    enum class Kind { Integer, Real, Text };
    QString field;
    Kind kind = Kind::Text;
    QString text;      // the literal's text, quotes removed
    double number = 0; // for Integer and Real literals
};

std::optional<QList<EqualityTerm>> parseEqualityConjunction(const QString &expression);
