#pragma once

#include "application/core/SettingsComparison.h"

#include <QDialog>
#include <QString>
#include <functional>
#include <memory>
#include <optional>

namespace Ui {
class SettingsCompareDialog;
} // namespace Ui

namespace Application::K27 {

// The table an import shows before it writes anything: each setting of the file with its value
// on the device and in the file. Differing rows are marked and ticked, equal rows greyed and
// unticked; the person unticks what they do not want and presses WRITE, or CANCEL.
class SettingsCompareDialog : public QDialog
{
    Q_OBJECT

public:
    // Answers one comparison in the dialog's place: the ticked settings (bits of
    // Settings::fields()), or nothing for CANCEL.
    using Answerer = std::function<std::optional<quint16>(const SettingsComparison &comparison)>;

    SettingsCompareDialog(const SettingsComparison &comparison, const QString &file,
                          QWidget *parent = nullptr);
    ~SettingsCompareDialog() override;

    // The settings ticked now.
    quint16 ticked() const;

    // Shows the table (modal) unless an answerer was set; the ticked settings on WRITE,
    // nothing on CANCEL or when the dialog went away with its parent.
    static std::optional<quint16> choose(QWidget *parent, const SettingsComparison &comparison,
                                         const QString &file);

    // Puts answerer in the dialog's place for every window; an empty one brings the dialog back.
    // Returns the answerer there was.
    static Answerer setAnswerer(Answerer answerer);

private:
    void fillTable();
    void updateWriteButton();

    std::unique_ptr<Ui::SettingsCompareDialog> m_ui;
    const SettingsComparison m_comparison;
};

} // namespace Application::K27
