// The import's compare table as a person uses it: differing rows ticked, an equal row that
// cannot be ticked, unticking with the keyboard, WRITE only while something is ticked.

#include "application/core/Settings.h"
#include "application/core/SettingsComparison.h"
#include "application/windows/SettingsCompareDialog.h"
#include "support/TestRegistry.h"
#include "support/TrappedTest.h"

#include <QPushButton>
#include <QSignalSpy>
#include <QStyleOptionViewItem>
#include <QTableWidget>
#include <QtTest>

using Application::K27::Settings;
using Application::K27::SettingsCompareDialog;
using Application::K27::SettingsComparison;

class TestSettingsCompareDialog : public TestSupport::TrappedTest
{
    Q_OBJECT

private slots:
    void untickedSettingsAreNotWritten();
    void cancelWritesNothing();

private:
    // The device holds trip class 10, 2.6 A and automatic reset; the file 20, 3.0 A and
    // automatic reset: two settings differ, one matches.
    static SettingsComparison comparison();
    // Toggles the tick of a row with the space bar, as a person does with the keyboard.
    static void pressSpaceOn(QTableWidget *table, int row);
    // Clicks the tick box of a row with the mouse.
    static void clickTickOf(QTableWidget *table, int row);
    // The offscreen platform cannot size a dialog's window and says so; nothing else may be
    // said.
    void dropSizeHintWarnings();
};

SettingsComparison TestSettingsCompareDialog::comparison()
{
    Settings device;
    device.setTripClass(10);
    device.setNominalCurrent(2.6f);
    device.setOverloadReset(true);
    device.setFields(Settings::AllFields);
    Settings file;
    file.setTripClass(20);
    file.setNominalCurrent(3.0f);
    file.setOverloadReset(true);
    file.setFields(Settings::TripClass | Settings::NominalCurrent | Settings::OverloadReset);
    return SettingsComparison(device, file);
}

void TestSettingsCompareDialog::pressSpaceOn(QTableWidget *table, int row)
{
    table->setFocus();
    table->setCurrentCell(row, 0);
    QTest::keyClick(table, Qt::Key_Space);
}

void TestSettingsCompareDialog::clickTickOf(QTableWidget *table, int row)
{
    QStyleOptionViewItem option;
    option.initFrom(table->viewport());
    option.rect = table->visualItemRect(table->item(row, 0));
    option.features = QStyleOptionViewItem::HasCheckIndicator | QStyleOptionViewItem::HasDisplay;
    const QRect box
        = table->style()->subElementRect(QStyle::SE_ItemViewItemCheckIndicator, &option, table);
    QTest::mouseClick(table->viewport(), Qt::LeftButton, Qt::NoModifier, box.center());
}

void TestSettingsCompareDialog::dropSizeHintWarnings()
{
    QStringList messages = warnings().take();
    messages.removeAll(QStringLiteral("This plugin does not support propagateSizeHints()"));
    for (const QString &message : qAsConst(messages))
        qWarning("%s", qPrintable(message));
}

void TestSettingsCompareDialog::untickedSettingsAreNotWritten()
{
    SettingsCompareDialog dialog(comparison(), QStringLiteral("site.json"));
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    auto *table = dialog.findChild<QTableWidget *>(QStringLiteral("tableWidgetCompare"));
    auto *write = dialog.findChild<QPushButton *>(QStringLiteral("pushButtonWrite"));
    QVERIFY(table && write);
    QCOMPARE(table->rowCount(), 3);
    QCOMPARE(dialog.ticked(), quint16(Settings::TripClass | Settings::NominalCurrent));

    // The matching row stays unticked: a click on its box does nothing, while the same click
    // on a differing row's box unticks it and a second one ticks it again.
    const int matching = 2;
    QCOMPARE(table->item(matching, 0)->checkState(), Qt::Unchecked);
    clickTickOf(table, matching);
    QCOMPARE(dialog.ticked(), quint16(Settings::TripClass | Settings::NominalCurrent));
    clickTickOf(table, 0);
    QCOMPARE(dialog.ticked(), quint16(Settings::NominalCurrent));
    clickTickOf(table, 0);
    QCOMPARE(dialog.ticked(), quint16(Settings::TripClass | Settings::NominalCurrent));

    pressSpaceOn(table, 1);
    QCOMPARE(dialog.ticked(), quint16(Settings::TripClass));
    QVERIFY(write->isEnabled());
    pressSpaceOn(table, 0);
    QCOMPARE(dialog.ticked(), quint16(0));
    QVERIFY(!write->isEnabled());
    pressSpaceOn(table, 1);
    QVERIFY(write->isEnabled());

    QSignalSpy accepted(&dialog, &QDialog::accepted);
    QTest::mouseClick(write, Qt::LeftButton);
    QCOMPARE(accepted.count(), 1);
    QCOMPARE(dialog.ticked(), quint16(Settings::NominalCurrent));
    // What an import of that choice writes: the file's current alone.
    const Settings written = comparison().chosen(dialog.ticked());
    QCOMPARE(written.fields(), quint16(Settings::NominalCurrent));
    QCOMPARE(written.nominalCurrent(), 3.0f);
    dropSizeHintWarnings();
}

void TestSettingsCompareDialog::cancelWritesNothing()
{
    SettingsCompareDialog dialog(comparison(), QStringLiteral("site.json"));
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    QSignalSpy rejected(&dialog, &QDialog::rejected);
    QTest::mouseClick(dialog.findChild<QPushButton *>(QStringLiteral("pushButtonCancel")),
                      Qt::LeftButton);
    QCOMPARE(rejected.count(), 1);
    QCOMPARE(dialog.result(), int(QDialog::Rejected));
    dropSizeHintWarnings();
}

K27_TEST_MAIN(TestSettingsCompareDialog)
#include "tst_gui_settingscomparedialog.moc"
