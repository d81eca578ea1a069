#pragma once

#include "application/core/PacketLog.h"

#include <QObject>
#include <QTimer>

class QPlainTextEdit;

namespace Application::K27 {

// Shows a packet log in a plain-text view that holds the same number of lines as the log.
// New lines go into the log at once and reach the view together, a few times a second: one
// insertion of many lines costs the view about as much as one of a single line, so a busy link
// (a firmware transfer logs two lines per block) does not make every line pay for a layout
// pass. While the view is hidden (another page or tab is open) lines go only into the log, and
// the view is filled once from the log when it is shown again. Logging therefore costs the
// same whether anyone watches or not.
//
// The view is the parent: the two go together.
class PacketLogView : public QObject
{
    Q_OBJECT

public:
    // How long new lines wait for others to go into the view with them.
    static constexpr int refreshIntervalMs = 50;

    explicit PacketLogView(QPlainTextEdit *view, int lineCap = PacketLog::defaultLineCap);

    const PacketLog &log() const { return m_log; }

public slots:
    void append(const QString &line);
    void clear();
    // Brings the view up to date with the log now (when it is visible).
    void flush();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void refill();
    // The newest line at the bottom, lines from their start.
    void showNewest();
    void scrollToNewest();

    QPlainTextEdit *const m_view;
    PacketLog m_log;
    QTimer m_refresh;
    // Newest lines of the log the view has not shown yet.
    int m_pending = 0;
    // The view no longer matches the log up to the pending lines: it is refilled as a whole.
    bool m_stale = false;
};

} // namespace Application::K27
