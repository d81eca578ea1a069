#pragma once

#include "application/PacketLog.h"

#include <QObject>

class QPlainTextEdit;

namespace Application::K27 {

// Shows a packet log in a plain-text view that holds the same number of lines as the log.
// While the view is visible each new line is appended to it; while it is hidden (another page
// or tab is open) lines go only into the log, and the view is filled once from the log when it
// is shown again. Logging a busy link therefore costs the same whether anyone watches or not.
//
// The view is the parent: the two go together.
class PacketLogView : public QObject
{
    Q_OBJECT

public:
    explicit PacketLogView(QPlainTextEdit *view, int lineCap = PacketLog::defaultLineCap);

    const PacketLog &log() const { return m_log; }

public slots:
    void append(const QString &line);
    void clear();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void refill();

    QPlainTextEdit *const m_view;
    PacketLog m_log;
    // Lines were logged while the view was hidden.
    bool m_stale = false;
};

} // namespace Application::K27
