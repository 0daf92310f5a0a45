// Every visible button of the main window, on every tab, can be reached from
// the window through the accessibility tree, has a name and a press action.
#include "app/MainWindow.h"
#include "channels/ChannelCatalogue.h"
#include "channels/ChannelStrip.h"
#include "game/GameWindow.h"
#include "playback/VolumePanel.h"
#include "tests/support/FakeProgram.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QLabel>
#include <QTabBar>
#include <QtTest>

namespace
{
void reachable(QAccessibleInterface *node, QSet<QObject *> &reached, int depth = 0)
{
    if (!node || depth > 64)
        return;
    if (node->object())
        reached.insert(node->object());
    for (int i = 0; i < node->childCount(); ++i)
        reachable(node->child(i), reached, depth + 1);
}

} // namespace

class AccessibilityWalkTest : public QObject
{
    Q_OBJECT

private slots:
    void everyVisibleButtonIsNamedReachableAndPressable()
    {
        FakeProgram program;
        MainWindow &window = program.window();
        window.show();
        auto *tabs = window.findChild<QTabBar *>(QStringLiteral("TabControl1"));
        int checked = 0;
        QStringList faults;
        for (int tab = 0; tab < tabs->count(); ++tab) {
            tabs->setCurrentIndex(tab);
            QSet<QObject *> reached;
            reachable(QAccessible::queryAccessibleInterface(&window), reached);
            for (QAbstractButton *button : window.findChildren<QAbstractButton *>()) {
                if (!button->isVisible())
                    continue;
                ++checked;
                QAccessibleInterface *node = QAccessible::queryAccessibleInterface(button);
                const QString where = QStringLiteral("%1 on tab %2").arg(button->objectName()).arg(tab);
                if (!reached.contains(button))
                    faults << where + QStringLiteral(": unreachable");
                if (node->text(QAccessible::Name).trimmed().isEmpty())
                    faults << where + QStringLiteral(": no name");
                const bool pressable = node->actionInterface()
                    && node->actionInterface()->actionNames().contains(
                        QAccessibleActionInterface::pressAction());
                if (button->isEnabled() && !pressable)
                    faults << where + QStringLiteral(": cannot be pressed");
            }
        }
        QVERIFY2(faults.isEmpty(), qPrintable(faults.join(QLatin1Char('\n'))));
        QVERIFY(checked > 50);
    }

    void tabRowButtonIsPressedThroughTheTree()
    {
        FakeProgram program;
        MainWindow &window = program.window();
        window.show();
        auto *volume = window.findChild<QAbstractButton *>(QStringLiteral("SpeedButton16"));
        QAccessibleInterface *node = QAccessible::queryAccessibleInterface(volume);
        QCOMPARE(node->text(QAccessible::Name), QStringLiteral("Volume"));
        node->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
        QVERIFY(window.findChild<QWidget *>(QStringLiteral("PanelVolume"))->isVisible());
    }

    void gameCellSaysItsMark()
    {
        GameWindow game(0);
        auto *cell = game.findChild<QAbstractButton *>(QStringLiteral("SpeedButton5"));
        QCOMPARE(QAccessible::queryAccessibleInterface(cell)->text(QAccessible::Name),
            QStringLiteral("Casa 5: vazia"));
    }
};

QTEST_MAIN(AccessibilityWalkTest)
#include "accessibility_walk_test.moc"
