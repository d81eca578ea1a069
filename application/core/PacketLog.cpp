#include "application/core/PacketLog.h"

#include <QSaveFile>
#include <algorithm>

namespace Application::K27 {

PacketLog::PacketLog(int lineCap)
    : m_lineCap(std::max(1, lineCap))
{
}

void PacketLog::append(const QString &line)
{
    if (int(m_lines.size()) >= m_lineCap) {
        m_lines.pop_front();
        ++m_dropped;
    }
    m_lines.push_back(line);
}

void PacketLog::clear()
{
    m_lines.clear();
    m_dropped = 0;
}

QString PacketLog::text() const
{
    qsizetype size = 0;
    for (const QString &line : m_lines)
        size += line.size() + 1;
    QString text;
    text.reserve(int(size));
    bool first = true;
    for (const QString &line : m_lines) {
        if (!first)
            text.append(QLatin1Char('\n'));
        text.append(line);
        first = false;
    }
    return text;
}

bool PacketLog::save(const QString &path, QString *errorString) const
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        if (errorString)
            *errorString = file.errorString();
        return false;
    }
    for (const QString &line : m_lines) {
        QByteArray bytes = line.toUtf8();
        bytes.append('\n');
        if (file.write(bytes) != bytes.size()) {
            if (errorString)
                *errorString = file.errorString();
            file.cancelWriting();
            return false;
        }
    }
    if (!file.commit()) {
        if (errorString)
            *errorString = file.errorString();
        return false;
    }
    return true;
}

QString PacketLog::lineText(const QByteArray &data)
{
    const int end = data.indexOf('\0');
    return QString::fromUtf8(data.constData(), end < 0 ? data.size() : end);
}

} // namespace Application::K27
