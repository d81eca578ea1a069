#include "utilities/JsonDuplicateKey.h"

#include <QSet>
#include <vector>

namespace Utilities {

namespace {

// A JSON string starting at the quote at text[*at]; *at ends after the closing quote. The
// text may end inside the string or an escape: the string then ends with the text.
QString readJsonString(const QByteArray &text, int *at)
{
    QByteArray raw;
    QString decoded;
    int i = *at + 1;
    const auto flush = [&raw, &decoded] {
        decoded += QString::fromUtf8(raw);
        raw.clear();
    };
    while (i < text.size() && text.at(i) != '"') {
        if (text.at(i) != '\\') {
            raw.append(text.at(i++));
            continue;
        }
        const char escaped = i + 1 < text.size() ? text.at(i + 1) : '\\';
        i += 2;
        switch (escaped) {
        case 'b':
            raw.append('\b');
            break;
        case 'f':
            raw.append('\f');
            break;
        case 'n':
            raw.append('\n');
            break;
        case 'r':
            raw.append('\r');
            break;
        case 't':
            raw.append('\t');
            break;
        case 'u':
            flush();
            decoded += QChar(text.mid(i, 4).toUShort(nullptr, 16));
            i += 4;
            break;
        default: // '"', '\\', '/'
            raw.append(escaped);
            break;
        }
    }
    flush();
    *at = i + 1;
    return decoded;
}

} // namespace

QString JsonDuplicateKey::find(const QByteArray &text)
{
    // One level per open object or array: the keys an object holds so far, and where it lies.
    struct Level
    {
        bool object = false;
        bool expectKey = false;
        QString path;
        QSet<QString> keys;
    };
    std::vector<Level> levels;
    QString lastKey;
    int at = 0;
    while (at < text.size()) {
        const char c = text.at(at);
        if (c == '"') {
            const QString string = readJsonString(text, &at);
            if (levels.empty() || !levels.back().object || !levels.back().expectKey)
                continue;
            Level &level = levels.back();
            const QString path
                = level.path.isEmpty() ? string : level.path + QLatin1Char('.') + string;
            if (level.keys.contains(string))
                return path;
            level.keys.insert(string);
            level.expectKey = false;
            lastKey = path;
            continue;
        }
        if (c == '{' || c == '[') {
            // An object inside an array is named after the array's key.
            const QString path = levels.empty() ? QString()
                : levels.back().object          ? lastKey
                                                : levels.back().path;
            levels.push_back({c == '{', c == '{', path, {}});
        } else if ((c == '}' || c == ']') && !levels.empty()) {
            levels.pop_back();
        } else if (c == ',' && !levels.empty() && levels.back().object) {
            levels.back().expectKey = true;
        }
        ++at;
    }
    return QString();
}

} // namespace Utilities
