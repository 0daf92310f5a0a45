// Every window's object names and accessible names, against a recorded list:
// renaming classes or members must never rename what tests and tools find.
#include "app/Program.h"
#include "browser/BrowserWindow.h"
#include "channels/ChannelCatalogue.h"
#include "tests/support/FakeEngine.h"
#include "tests/support/RecordingPowerOff.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QWidget>
#include <QtTest>

namespace
{
void dumpObject(const QObject *object, const QString &path, QStringList &lines)
{
    QString line = path;
    if (const auto *widget = qobject_cast<const QWidget *>(object)) {
        if (!widget->accessibleName().isEmpty())
            line += QStringLiteral(" [") + widget->accessibleName() + QLatin1Char(']');
    } else if (const auto *action = qobject_cast<const QAction *>(object)) {
        line += QStringLiteral(" {") + action->text() + QLatin1Char('}');
    }
    lines << line;
    for (const QObject *child : object->children()) {
        if (child->objectName().isEmpty() || child->objectName().startsWith(QLatin1String("qt_")))
            continue;
        dumpObject(child, path + QLatin1Char('/') + child->objectName(), lines);
    }
}
} // namespace

class ObjectNamesTest : public QObject
{
    Q_OBJECT
private slots:
    void everyWindowKeepsItsObjectNames()
    {
        Program program(std::make_unique<FakeEngine>(), ChannelCatalogue::builtIn(),
            std::make_unique<RecordingPowerOff>(), 0);
        QVERIFY(program.started());
        // The browser window runs in a process of its own, started with the browser.
        BrowserWindow browser;
        QStringList lines;
        for (QWidget *window : QApplication::topLevelWidgets())
            if (!window->objectName().isEmpty() && !window->objectName().startsWith(QLatin1String("qt_")))
                dumpObject(window, window->objectName(), lines);
        lines.sort();

        QFile expected(QString::fromLocal8Bit(qgetenv("LUMI_SOURCE_DIR"))
            + QStringLiteral("/tests/data/object-names.txt"));
        if (qEnvironmentVariableIsSet("LUMI_WRITE_OBJECT_NAMES")) {
            QVERIFY(expected.open(QIODevice::WriteOnly | QIODevice::Truncate));
            expected.write(lines.join(QLatin1Char('\n')).toUtf8() + '\n');
            return;
        }
        QVERIFY(expected.open(QIODevice::ReadOnly));
        const QStringList recorded
            = QString::fromUtf8(expected.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        for (const QString &line : recorded)
            QVERIFY2(lines.contains(line), qPrintable(QStringLiteral("missing: ") + line));
        for (const QString &line : lines)
            QVERIFY2(recorded.contains(line), qPrintable(QStringLiteral("new, not recorded: ") + line));
    }
};

QTEST_MAIN(ObjectNamesTest)
#include "object_names_test.moc"
