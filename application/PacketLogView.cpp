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
}

void PacketLogView::append(const QString &line)
{
    m_log.append(line);
    if (!m_view->isVisible())
        m_stale = true;
    else if (m_stale)
        refill();
    else
        m_view->appendPlainText(line);
}

void PacketLogView::clear()
{
    m_log.clear();
    m_view->clear();
    m_stale = false;
}

bool PacketLogView::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_view && event->type() == QEvent::Show && m_stale)
        refill();
    return QObject::eventFilter(watched, event);
}

void PacketLogView::refill()
{
    m_stale = false;
    m_view->setPlainText(m_log.text());
    m_view->moveCursor(QTextCursor::End);
    m_view->verticalScrollBar()->setValue(m_view->verticalScrollBar()->maximum());
}

} // namespace Application::K27
