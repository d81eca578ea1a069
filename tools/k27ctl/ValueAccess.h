#pragma once

#include <QByteArray>
#include <QString>

namespace Model::Interfaces {
class ModelValueIntf;
} // namespace Model::Interfaces

// What k27ctl needs of a model value whatever its content type: its content as JSON, and a
// typed text parsed into a content.
class ValueAccess
{
public:
    // {"id": 2, "name": "NominalCurrent", "value": 2.6, "text": "2.6"}: the content as a number
    // (a character as its code, an enumeration as its number, a float in its shortest form) or
    // true/false, and the value's own display text.
    static QByteArray jsonObject(const Model::Interfaces::ModelValueIntf &value);
    // The content alone, as in jsonObject.
    static QByteArray jsonContent(const Model::Interfaces::ModelValueIntf &value);

    // Reads text as a content of the value's own type: a decimal number, a float, true/false,
    // one character, or for enumerations and flags also the value's own text ("Forward",
    // "Enable"). The content must lie within the value's minimum … maximum. On success and
    // with store set, the value takes the content (setValue, nothing is sent). Otherwise
    // returns false with a one-line reason and leaves the value as it was.
    static bool parse(Model::Interfaces::ModelValueIntf &value, const QString &text, bool store,
                      QString *error);

    // The content as a number (flags 1 or 0, enumerations by their number, floats widened);
    // 0 for a value of no known type.
    static double number(const Model::Interfaces::ModelValueIntf &value);

    // "from 0.1 to 9.9"
    static QString rangeText(const Model::Interfaces::ModelValueIntf &value);
};
