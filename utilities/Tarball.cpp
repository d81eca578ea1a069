#include "utilities/Tarball.h"

#include <cstring>
#include <limits>

namespace Utilities {

namespace {
constexpr qint64 nameLength = 100;
constexpr qint64 sizeOffset = 124;
constexpr qint64 sizeLength = 12;
constexpr qint64 typeFlagOffset = 156;
constexpr qint64 magicOffset = 257;
constexpr char magic[] = "ustar";

// Headers that describe the entry after them rather than a file of their own:
// pax extended ('x') and global ('g') headers, GNU long names ('L') and long
// link names ('K'). Their contents are records, not package files, so they
// take no place in the table; the entry they describe keeps its own name field.
bool isExtendedHeader(char typeFlag)
{
    return typeFlag == 'x' || typeFlag == 'g' || typeFlag == 'L' || typeFlag == 'K';
}

bool isSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}
} // namespace

Tarball::Tarball(const char *data, quint32 size)
    : m_data(data)
    , m_size(size)
{
    parse();
}

Tarball::~Tarball() = default;

qint32 Tarball::parseSize(const char *field)
{
    qint64 i = 0;
    while (i < sizeLength && isSpace(field[i]))
        ++i;
    bool negative = false;
    if (i < sizeLength && (field[i] == '+' || field[i] == '-')) {
        negative = field[i] == '-';
        ++i;
    }
    // Eleven octal digits already exceed qint32, so twelve cannot overflow qint64.
    qint64 value = 0;
    bool anyDigit = false;
    for (; i < sizeLength && field[i] >= '0' && field[i] <= '7'; ++i) {
        value = value * 8 + (field[i] - '0');
        anyDigit = true;
    }
    if (!anyDigit)
        return 0;
    if (negative)
        value = -value;
    if (value > std::numeric_limits<qint32>::max() || value < std::numeric_limits<qint32>::min())
        return 0;
    return static_cast<qint32>(value);
}

void Tarball::parse()
{
    // The length is taken as a signed 32-bit number; offsets are kept in 64
    // bits so that no header's size claim can wrap them.
    const qint64 length = static_cast<qint32>(m_size);
    if (m_data == nullptr || length < blockSize)
        return;
    if (std::memcmp(m_data + magicOffset, magic, sizeof magic - 1) != 0)
        return;

    qint64 header = 0;
    while (header + blockSize <= length) {
        const char *const block = m_data + header;
        const char *const nameEnd = static_cast<const char *>(std::memchr(block, '\0', nameLength));
        const QByteArray name(block, nameEnd ? static_cast<int>(nameEnd - block) : nameLength);
        const qint32 size = parseSize(block + sizeOffset);
        const qint64 contents = header + blockSize;

        if (size > 0 && contents + size > length) {
            m_truncated = true;
        } else if (size > 0 && !name.isEmpty() && !isExtendedHeader(block[typeFlagOffset])
                   && m_count < m_entries.size()) {
            m_entries[m_count++]
                = Entry {name, size, m_data + contents, static_cast<quint32>(contents)};
        }

        // A negative size would step backwards or stand still; such a header
        // is passed like one without contents.
        const qint64 dataBlocks = size > 0 ? (qint64(size) + blockSize - 1) / blockSize : 0;
        header = contents + dataBlocks * blockSize;
    }
}

bool Tarball::contains(const QByteArray &name) const
{
    return find(name) != nullptr;
}

const Tarball::Entry *Tarball::find(const QByteArray &name) const
{
    for (const Entry &entry : entries()) {
        if (entry.name == name)
            return &entry;
    }
    return nullptr;
}

Tarball::Range Tarball::entries() const
{
    return Range(m_entries.data(), m_entries.data() + m_count);
}

} // namespace Utilities
