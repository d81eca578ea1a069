#pragma once

#include <QByteArray>
#include <array>
#include <cstddef>

namespace Utilities {

// Read-only index over an uncompressed ustar archive held in memory. Nothing is
// copied or extracted: every entry points into the caller's buffer, which must
// outlive the index and every entry taken from it. Only the name, size and type
// fields are read, and at most five files are listed; extended headers (pax 'x'
// and 'g', GNU 'L' and 'K') are stepped over without taking a place.
class Tarball
{
public:
    static constexpr std::size_t maxEntries = 5;
    static constexpr quint32 blockSize = 512;

    struct Entry
    {
        QByteArray name; // the header's name field up to its first NUL, no decoding
        qint32 size = 0;
        const char *data = nullptr; // first byte of the contents, inside the caller's buffer
        quint32 offset = 0; // position of the contents within the archive
    };

    class Range
    {
    public:
        Range(const Entry *begin, const Entry *end)
            : m_begin(begin)
            , m_end(end)
        {
        }
        const Entry *begin() const { return m_begin; }
        const Entry *end() const { return m_end; }
        std::size_t size() const { return static_cast<std::size_t>(m_end - m_begin); }
        bool isEmpty() const { return m_begin == m_end; }

    private:
        const Entry *m_begin;
        const Entry *m_end;
    };

    Tarball(const char *data, quint32 size);
    virtual ~Tarball();

    bool contains(const QByteArray &name) const;
    const Entry *find(const QByteArray &name) const;
    Range entries() const;

    // True when a header claimed contents that run past the end of the buffer
    // (a cut-off download, for instance); such a file is not listed.
    bool isTruncated() const { return m_truncated; }

    // The size field read the way strtol() reads it in base 8, but never past
    // the field's 12 bytes; 0 when nothing converts or the value leaves qint32.
    static qint32 parseSize(const char *field);

private:
    void parse();

    const char *m_data;
    quint32 m_size;
    std::array<Entry, maxEntries> m_entries;
    std::size_t m_count = 0;
    bool m_truncated = false;
};

} // namespace Utilities
