// Body data of the ride-data mode's form: the five values, their field input rules and the
// body-mass index. No widgets: the dialog's body-data page keeps one and shows what it says.
#pragma once

#include <QString>

#include <optional>

class BodyDataInput
{
public:
    enum Field
    {
        Age,
        HeightFt,
        HeightIn,
        Weight
    };

    // Unset values, shared with the ride-data panel, which tests for exactly these.
    static constexpr int unsetAge = 1000;
    static constexpr int unsetHeightFt = 100;
    static constexpr int unsetHeightIn = 100;
    static constexpr int unsetWeight = 10000; // pounds
    static constexpr int unsetGender = 0;     // 1 male, 2 female

    static int maxDigits(Field field);
    static int unsetValue(Field field);

    // A field's text and cursor position after the input rules.
    struct FieldText
    {
        QString text;
        int cursor = 0;
    };
    // Applies the input rules to a field as the user left it (cursor = position in text):
    // every non-digit goes, then the digits past the field's limit that stand just before the
    // cursor (the last typed or pasted). The cursor stays where the removed characters were.
    static FieldText sanitize(Field field, const QString &text, int cursor);

    // The field's text for a value: the number, or empty when it is the unset value.
    static QString fieldText(Field field, int value);

    BodyDataInput() = default;
    BodyDataInput(int age, int heightFt, int heightIn, int weight, int gender);

    int value(Field field) const;
    int gender() const { return gender_; }
    void setGender(int gender) { gender_ = gender; }

    // Stores the number a field's text holds; an empty text stores the unset value.
    // False, and nothing stored, when the text is no decimal number.
    bool setFieldText(Field field, const QString &text);

    // Feet, inches and weight all hold a value.
    bool heightAndWeightSet() const;
    // kg / m² from feet, inches and pounds; none while unset or while the height is 0.
    std::optional<double> bmi() const;
    // The index with one decimal, or empty when there is none.
    QString bmiText() const;

private:
    int values_[4] = {unsetAge, unsetHeightFt, unsetHeightIn, unsetWeight};
    int gender_ = unsetGender;
};
