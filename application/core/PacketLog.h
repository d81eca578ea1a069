#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <deque>

namespace Application::K27 {

// The lines of the service-mode packet log, the newest lineCap() of them. Appending costs the
// same whether the log is empty or full: the oldest line goes when a new one would exceed the
// cap, and nothing else moves. The log can be written to a file as it is kept.
class PacketLog
{
public:
    // A busy link logs a few lines a second (a firmware transfer about two per block); ten
    // thousand lines reach back over the last transfer of a whole image and stay a few MB.
    static constexpr int defaultLineCap = 10000;

    explicit PacketLog(int lineCap = defaultLineCap);

    void append(const QString &line);
    void clear();

    int lineCap() const { return m_lineCap; }
    int lineCount() const { return int(m_lines.size()); }
    const QString &line(int index) const { return m_lines.at(std::size_t(index)); }
    // Lines let go at the cap since the start or the last clear.
    quint64 droppedLines() const { return m_dropped; }
    // The kept lines joined by "\n", oldest first.
    QString text() const;

    // Writes every kept line, each followed by "\n", to the file at path, replacing it only
    // once everything was written. False with the reason in errorString otherwise; an earlier
    // file of that name is then left as it was.
    bool save(const QString &path, QString *errorString) const;

    // The text of a packet log line as the terminal service hands it over: the bytes up to
    // the first zero byte (or all of them), read as UTF-8.
    static QString lineText(const QByteArray &data);

private:
    int m_lineCap;
    std::deque<QString> m_lines;
    quint64 m_dropped = 0;
};

} // namespace Application::K27
