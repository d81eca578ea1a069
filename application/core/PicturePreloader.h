#pragma once

#include <QImage>
#include <QString>
#include <QStringList>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

namespace Application::K27 {

// Decodes pictures on a thread of its own while the GUI thread builds the application and its
// first window, which has nothing else to wait for than the decoding of its large pictures.
// Each picture is handed over once, already in the format a pixmap keeps, so that the GUI
// thread only wraps it; a picture the thread has not begun yet is decoded by the one who asks,
// so neither thread idles while the other works. The thread ends with the object.
class PicturePreloader
{
public:
    // Starts decoding the files in the order given.
    explicit PicturePreloader(const QStringList &fileNames);
    // Waits for the picture being decoded and skips the rest.
    ~PicturePreloader();

    PicturePreloader(const PicturePreloader &) = delete;
    PicturePreloader &operator=(const PicturePreloader &) = delete;

    // The picture from fileName; waits for it when the thread is decoding it. A file not in the
    // list, or one handed over before, is decoded here. Null when the file cannot be read.
    QImage take(const QString &fileName);

    // Reads fileName into the format a pixmap keeps of it (premultiplied when it has an alpha
    // channel), so that turning it into a pixmap does not convert it again. Null when the file
    // cannot be read.
    static QImage decode(const QString &fileName);

private:
    enum class State { Waiting, Decoding, Decoded, Taken };
    struct Picture
    {
        QString fileName;
        State state = State::Waiting;
        QImage image;
    };

    void decodeAll();

    std::mutex m_mutex;
    std::condition_variable m_decoded;
    std::vector<Picture> m_pictures;
    bool m_stopping = false;
    // Started once the list is in place, joined before it goes; none when no thread could be
    // started, and then every picture is decoded by the one who asks for it.
    std::thread m_thread;
};

} // namespace Application::K27
