#include "application/core/PicturePreloader.h"

#include <QImageReader>
#include <algorithm>
#include <system_error>

namespace Application::K27 {

PicturePreloader::PicturePreloader(const QStringList &fileNames)
{
    m_pictures.reserve(std::size_t(fileNames.size()));
    for (const QString &fileName : fileNames)
        m_pictures.push_back(Picture {fileName, State::Waiting, QImage()});
    try {
        m_thread = std::thread([this] { decodeAll(); });
    } catch (const std::system_error &) {
        // Without a thread of its own every picture is decoded by the one who asks for it.
    }
}

PicturePreloader::~PicturePreloader()
{
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        m_stopping = true;
    }
    if (m_thread.joinable())
        m_thread.join();
}

QImage PicturePreloader::take(const QString &fileName)
{
    std::unique_lock<std::mutex> lock(m_mutex);
    const auto picture
        = std::find_if(m_pictures.begin(), m_pictures.end(),
                       [&fileName](const Picture &entry) { return entry.fileName == fileName; });
    if (picture == m_pictures.end() || picture->state == State::Taken) {
        lock.unlock();
        return decode(fileName);
    }
    if (picture->state == State::Waiting) {
        // Marked first, so that the thread passes it by while it is decoded here.
        picture->state = State::Taken;
        lock.unlock();
        return decode(fileName);
    }
    m_decoded.wait(lock, [&picture] { return picture->state == State::Decoded; });
    picture->state = State::Taken;
    return std::move(picture->image);
}

QImage PicturePreloader::decode(const QString &fileName)
{
    QImageReader reader(fileName);
    QImage image = reader.read();
    if (image.isNull())
        return image;
    const QImage::Format format
        = image.hasAlphaChannel() ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32;
    return std::move(image).convertToFormat(format);
}

void PicturePreloader::decodeAll()
{
    for (Picture &picture : m_pictures) {
        QString fileName;
        {
            const std::lock_guard<std::mutex> lock(m_mutex);
            if (m_stopping)
                return;
            if (picture.state != State::Waiting)
                continue;
            picture.state = State::Decoding;
            fileName = picture.fileName;
        }
        QImage image = decode(fileName);
        {
            const std::lock_guard<std::mutex> lock(m_mutex);
            picture.image = std::move(image);
            picture.state = State::Decoded;
        }
        m_decoded.notify_all();
    }
}

} // namespace Application::K27
