#include "bodydatainput.h"

namespace {
constexpr double kgPerPound = 0.453592;
constexpr double cmPerInch = 2.54;
} // namespace

int BodyDataInput::maxDigits(Field field)
{
    switch (field) {
    case Age:
        return 3;
    case HeightFt:
    case HeightIn:
        return 2;
    case Weight:
        return 4;
    }
    return 0;
}

int BodyDataInput::unsetValue(Field field)
{
    switch (field) {
    case Age:
        return unsetAge;
    case HeightFt:
        return unsetHeightFt;
    case HeightIn:
        return unsetHeightIn;
    case Weight:
        return unsetWeight;
    }
    return 0;
}

BodyDataInput::FieldText BodyDataInput::sanitize(Field field, const QString &text, int cursor)
{
    FieldText result{text, qBound(0, cursor, text.size())};
    for (int i = result.text.size() - 1; i >= 0; --i) {
        if (!result.text.at(i).isDigit()) {
            result.text.remove(i, 1);
            if (i < result.cursor)
                --result.cursor;
        }
    }
    const int excess = result.text.size() - maxDigits(field);
    if (excess > 0) {
        // what was typed or pasted last sits just before the cursor
        const int from = qMax(0, result.cursor - excess);
        result.text.remove(from, excess);
        result.cursor = from;
    }
    return result;
}

QString BodyDataInput::fieldText(Field field, int value)
{
    return value == unsetValue(field) ? QString() : QString::number(value);
}

BodyDataInput::BodyDataInput(int age, int heightFt, int heightIn, int weight, int gender)
    : values_{age, heightFt, heightIn, weight}, gender_(gender)
{
}

int BodyDataInput::value(Field field) const
{
    return values_[field];
}

bool BodyDataInput::setFieldText(Field field, const QString &text)
{
    if (text.isEmpty()) {
        values_[field] = unsetValue(field);
        return true;
    }
    bool ok = false;
    const int number = text.toInt(&ok, 10);
    if (!ok || number < 0)
        return false;
    values_[field] = number;
    return true;
}

bool BodyDataInput::heightAndWeightSet() const
{
    return values_[HeightFt] != unsetHeightFt && values_[HeightIn] != unsetHeightIn &&
           values_[Weight] != unsetWeight;
}

std::optional<double> BodyDataInput::bmi() const
{
    if (!heightAndWeightSet())
        return std::nullopt;
    const double inches = values_[HeightFt] * 12.0 + values_[HeightIn];
    const double metres = inches * cmPerInch / 100.0;
    if (metres <= 0.0)
        return std::nullopt;
    return values_[Weight] * kgPerPound / (metres * metres);
}

QString BodyDataInput::bmiText() const
{
    const std::optional<double> index = bmi();
    return index ? QString::number(*index, 'f', 1) : QString();
}
