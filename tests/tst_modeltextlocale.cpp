#include "model/interfaces/ModelTextForm.h"
#include "support/ExternalTool.h"
#include "support/TestRegistry.h"
#include "support/TrappedTest.h"

#include <QTemporaryDir>
#include <QtTest>
#include <clocale>
#include <cstdio>

using namespace Model::Interfaces;

// The program runs under the user's locale (Qt switches the C library to it at start). Value
// texts must still use a decimal point and be cut, even where the locale writes a comma.
class TestModelTextLocale : public TestSupport::TrappedTest
{
    Q_OBJECT

protected:
    void setUpTestCase() override
    {
        QVERIFY(m_locales.isValid());
        const TestSupport::ToolRun run = TestSupport::runTool(
            QStringLiteral("localedef"),
            {QStringLiteral("-i"), QStringLiteral("de_DE"), QStringLiteral("-f"),
             QStringLiteral("UTF-8"), m_locales.filePath(QStringLiteral("de_DE.UTF-8"))});
        QVERIFY2(run.succeeded(), run.standardError.constData());
        qputenv("LOCPATH", QFile::encodeName(m_locales.path()));
        QVERIFY(std::setlocale(LC_NUMERIC, "de_DE.UTF-8") != nullptr);

        // Proves the comma locale is really in force for the C library.
        char printed[32];
        std::snprintf(printed, sizeof printed, "%f", 2.5);
        QCOMPARE(QByteArray(printed), QByteArray("2,500000"));
    }

    void tearDownTestCase() override { std::setlocale(LC_NUMERIC, "C"); }

private slots:
    void textsUseAPointUnderACommaLocale_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QByteArray>("expected");
        QTest::newRow("one decimal cut") << TextForm::oneDecimal(9.99f) << QByteArray("9.9");
        QTest::newRow("one decimal") << TextForm::oneDecimal(2.6f) << QByteArray("2.6");
        QTest::newRow("whole number") << TextForm::wholeNumber(207.5f) << QByteArray("207");
    }
    void textsUseAPointUnderACommaLocale()
    {
        QFETCH(QByteArray, text);
        QFETCH(QByteArray, expected);
        QCOMPARE(text, expected);
    }

private:
    QTemporaryDir m_locales;
};

K27_TEST_GUILESS_MAIN(TestModelTextLocale)
#include "tst_modeltextlocale.moc"
