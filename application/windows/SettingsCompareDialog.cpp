#include "application/windows/SettingsCompareDialog.h"

#include "application/core/SettingsTransfer.h"
#include "ui_SettingsCompareDialog.h"

#include <QHeaderView>
#include <QPointer>
#include <QTableWidgetItem>

namespace Application::K27 {

namespace {

SettingsCompareDialog::Answerer &installedCompareAnswerer()
{
    static SettingsCompareDialog::Answerer answerer;
    return answerer;
}

// The row's field travels with its first cell.
constexpr int fieldRole = Qt::UserRole + 1;

} // namespace

SettingsCompareDialog::SettingsCompareDialog(const SettingsComparison &comparison,
                                             const QString &file, QWidget *parent)
    : QDialog(parent)
    , m_ui(std::make_unique<Ui::SettingsCompareDialog>())
    , m_comparison(comparison)
{
    m_ui->setupUi(this);
    //: %1 is the settings file
    m_ui->labelCompareIntro->setText(
        m_comparison.matches()
            ? tr("The device already holds every setting of %1.").arg(file)
            : tr("Settings of %1 that differ from the device are marked and ticked. Untick what "
                 "you do not want; WRITE sends the ticked settings.")
                  .arg(file));
    fillTable();
    connect(m_ui->tableWidgetCompare, &QTableWidget::itemChanged, this,
            &SettingsCompareDialog::updateWriteButton);
    connect(m_ui->pushButtonWrite, &QPushButton::clicked, this, &QDialog::accept);
    connect(m_ui->pushButtonCancel, &QPushButton::clicked, this, &QDialog::reject);
    updateWriteButton();
}

SettingsCompareDialog::~SettingsCompareDialog() = default;

void SettingsCompareDialog::fillTable()
{
    QTableWidget &table = *m_ui->tableWidgetCompare;
    const QList<SettingsComparison::Row> &rows = m_comparison.rows();
    table.setRowCount(int(rows.size()));
    for (int i = 0; i < rows.size(); ++i) {
        const SettingsComparison::Row &row = rows.at(i);
        auto *setting = new QTableWidgetItem(row.differs ? QStringLiteral("\u25B6 ")
                                                     + SettingsTransfer::title(row.field)
                                                         : SettingsTransfer::title(row.field));
        setting->setData(fieldRole, int(row.field));
        auto *device = new QTableWidgetItem(SettingsTransfer::valueText(row.field, row.device));
        auto *file = new QTableWidgetItem(SettingsTransfer::valueText(row.field, row.file));
        if (row.differs) {
            // A differing row is offered for writing, ticked.
            setting->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable);
            setting->setCheckState(Qt::Checked);
            for (QTableWidgetItem *item : {setting, device, file}) {
                QFont font = item->font();
                font.setBold(true);
                item->setFont(font);
            }
            device->setFlags(Qt::ItemIsEnabled);
            file->setFlags(Qt::ItemIsEnabled);
        } else {
            // The device already holds it: nothing to write.
            setting->setFlags(Qt::ItemIsUserCheckable);
            setting->setCheckState(Qt::Unchecked);
            device->setFlags(Qt::NoItemFlags);
            file->setFlags(Qt::NoItemFlags);
        }
        table.setItem(i, 0, setting);
        table.setItem(i, 1, device);
        table.setItem(i, 2, file);
    }
    table.verticalHeader()->hide();
    table.horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    table.resizeRowsToContents();
}

quint16 SettingsCompareDialog::ticked() const
{
    quint16 fields = 0;
    const QTableWidget &table = *m_ui->tableWidgetCompare;
    for (int i = 0; i < table.rowCount(); ++i) {
        const QTableWidgetItem *setting = table.item(i, 0);
        if (setting->checkState() == Qt::Checked)
            fields |= quint16(setting->data(fieldRole).toInt());
    }
    return fields;
}

void SettingsCompareDialog::updateWriteButton()
{
    m_ui->pushButtonWrite->setEnabled(ticked() != 0);
}

std::optional<quint16> SettingsCompareDialog::choose(QWidget *parent,
                                                     const SettingsComparison &comparison,
                                                     const QString &file)
{
    if (const Answerer answerer = installedCompareAnswerer())
        return answerer(comparison);
    // The dialog may go with its parent while it is open (the device window closes when its
    // port goes away); a guarded pointer tells.
    QPointer<SettingsCompareDialog> dialog = new SettingsCompareDialog(comparison, file, parent);
    const int result = dialog->exec();
    if (!dialog)
        return std::nullopt;
    const quint16 fields = dialog->ticked();
    delete dialog;
    if (result != QDialog::Accepted)
        return std::nullopt;
    return fields;
}

SettingsCompareDialog::Answerer SettingsCompareDialog::setAnswerer(Answerer answerer)
{
    Answerer previous = std::move(installedCompareAnswerer());
    installedCompareAnswerer() = std::move(answerer);
    return previous;
}

} // namespace Application::K27
