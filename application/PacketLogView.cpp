#include "application/PacketLogView.h"

#include <QEvent>
#include <QPlainTextEdit>
#include <QScrollBar>

namespace Application::K27 {

PacketLogView::PacketLogView(QPlainTextEdit *view, int lineCap)
    : QObject(view)
    , m_view(view)
    , m_log(lineCap)
{
    m_view->setMaximumBlockCount(m_log.lineCap());
    m_view->installEventFilter(this);
    m_refresh.setSingleShot(true);
    m_refresh.setInterval(refreshIntervalMs);
    connect(&m_refresh, &QTimer::timeout, this, &PacketLogView::flush);
}

void PacketLogView::append(const QString &line)
{
    m_log.append(line);
    if (m_stale)
        return;
    ++m_pending;
    // More new lines than the log keeps: only a refill shows the right ones.
    if (m_pending >= m_log.lineCap())
        m_stale = true;
    if (m_view->isVisible() && !m_refresh.isActive())
        m_refresh.start();
}

void PacketLogView::clear()
{
    m_refresh.stop();
    m_log.clear();
    m_view->clear();
    m_pending = 0;
    m_stale = false;
}

void PacketLogView::flush()
{
    m_refresh.stop();
    if (!m_view->isVisible())
        return;
    if (m_stale) {
        refill();
        return;
    }
    if (m_pending == 0)
        return;
    const int count = m_log.lineCount();
    QString lines;
    for (int i = count - m_pending; i < count; ++i) {
        if (!lines.isEmpty() || i != count - m_pending)
            lines.append(QLatin1Char('\n'));
        lines.append(m_log.line(i));
    }
    m_pending = 0;
    // Follow the newest line unless the reader has scrolled away from it.
    QScrollBar *const bar = m_view->verticalScrollBar();
    const bool atEnd = bar->value() == bar->maximum();
    m_view->appendPlainText(lines);
    if (atEnd)
        bar->setValue(bar->maximum());
}

bool PacketLogView::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_view && event->type() == QEvent::Show)
        flush();
    return QObject::eventFilter(watched, event);
}

void PacketLogView::refill()
{
    m_stale = false;
    m_pending = 0;
    m_view->setPlainText(m_log.text());
    m_view->moveCursor(QTextCursor::End);
    m_view->verticalScrollBar()->setValue(m_view->verticalScrollBar()->maximum());
}

} // namespace Application::K27
