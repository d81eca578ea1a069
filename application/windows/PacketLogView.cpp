#include "application/windows/PacketLogView.h"

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
        m_refresh.start(refreshIntervalMs);
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
    // Follow the newest line unless the reader has scrolled away from it; either way the view
    // does not jump sideways to where the insertion left the text cursor.
    QScrollBar *const vertical = m_view->verticalScrollBar();
    QScrollBar *const horizontal = m_view->horizontalScrollBar();
    const bool atEnd = vertical->value() == vertical->maximum();
    const int verticalValue = vertical->value();
    const int horizontalValue = horizontal->value();
    m_view->appendPlainText(lines);
    if (atEnd && !m_view->textCursor().hasSelection())
        showNewest();
    else {
        vertical->setValue(verticalValue);
        horizontal->setValue(horizontalValue);
    }
}

void PacketLogView::showNewest()
{
    QTextCursor cursor = m_view->textCursor();
    cursor.movePosition(QTextCursor::End);
    cursor.movePosition(QTextCursor::StartOfBlock);
    m_view->setTextCursor(cursor);
    scrollToNewest();
    // The view takes its new height in lines only after the insertion has been laid out.
    QTimer::singleShot(0, this, &PacketLogView::scrollToNewest);
}

void PacketLogView::scrollToNewest()
{
    m_view->verticalScrollBar()->setValue(m_view->verticalScrollBar()->maximum());
    m_view->horizontalScrollBar()->setValue(0);
}

bool PacketLogView::eventFilter(QObject *watched, QEvent *event)
{
    // Once the view has its size: the page's layout settles after the show.
    if (watched == m_view && event->type() == QEvent::Show)
        m_refresh.start(0);
    return QObject::eventFilter(watched, event);
}

void PacketLogView::refill()
{
    m_stale = false;
    m_pending = 0;
    m_view->setPlainText(m_log.text());
    showNewest();
}

} // namespace Application::K27
