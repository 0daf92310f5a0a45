#include "options/LogindPowerOff.h"

#include <QApplication>
#include <QMessageBox>
#include <QPointer>
#include <QtTest>

namespace
{
// Never asked to power off: only the failure report is exercised, on a
// connection that reaches no bus at all.
class ReportingPowerOff : public LogindPowerOff
{
public:
    explicit ReportingPowerOff(QWidget *dialogParent)
        : LogindPowerOff(QDBusConnection(QStringLiteral("lumi-test-no-bus")), dialogParent)
    {
    }
    using LogindPowerOff::reportFailure;
};

QMessageBox *failureBox()
{
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        if (widget->objectName() == QStringLiteral("PowerOffFailure"))
            return qobject_cast<QMessageBox *>(widget);
    }
    return nullptr;
}
} // namespace

class LogindPowerOffTest : public QObject
{
    Q_OBJECT

private slots:
    void failureTextNamesTheReason();
    void failureIsToldWithoutBlockingTheWindow();
};

void LogindPowerOffTest::failureTextNamesTheReason()
{
    QCOMPARE(LogindPowerOff::failureText(QStringLiteral("Interactive authentication required.")),
        QStringLiteral("Não foi possível desligar o computador: Interactive authentication required."));
}

void LogindPowerOffTest::failureIsToldWithoutBlockingTheWindow()
{
    QWidget window;
    window.show();
    ReportingPowerOff service(&window);

    // A modal box would run its own loop and only return once closed.
    service.reportFailure(QStringLiteral("Access denied"));

    QPointer<QMessageBox> box = failureBox();
    QVERIFY(box);
    QVERIFY(box->isVisible());
    QCOMPARE(box->windowModality(), Qt::NonModal);
    QCOMPARE(box->parentWidget(), &window);
    QCOMPARE(box->text(), QStringLiteral("Não foi possível desligar o computador: Access denied"));
    QCOMPARE(box->icon(), QMessageBox::Warning);

    box->close();
    QTRY_VERIFY(box.isNull()); // deleted on close, nothing left behind
}

QTEST_MAIN(LogindPowerOffTest)
#include "logind_power_off_test.moc"
