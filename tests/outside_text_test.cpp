// A name from outside, fed through every place the program shows one: the
// channel window's tooltip and groups, the window title, the desktop's media
// controls, the lists window's table, tooltips and message, the alternate
// lists, the now-playing labels and message boxes. Each shows the characters
// the name holds, bounded, never markup.
#include "app/ChannelListsHub.h"
#include "app/MainWindow.h"
#include "app/Program.h"
#include "base/PlainText.h"
#include "channels/AlternateAddressLists.h"
#include "desktop/MediaControls.h"
#include "lists/ChannelListLibrary.h"
#include "lists/ChannelListRegistry.h"
#include "lists/ChannelListsWindow.h"
#include "lists/ChannelWindow.h"
#include "playback/MiniPlayerWindow.h"
#include "tests/support/FakeEngine.h"
#include "tests/support/RunningProgram.h"
#include "tests/support/ShownText.h"
#include "widgets/MessageBox.h"

#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <QtTest>

namespace
{
QString u(const char *utf8)
{
    return QString::fromUtf8(utf8);
}

} // namespace

class OutsideTextTest : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_dir->filePath(QStringLiteral("config"))));
        qputenv("XDG_CACHE_HOME", QFile::encodeName(m_dir->filePath(QStringLiteral("cache"))));
        m_running = std::make_unique<RunningProgram>(std::make_unique<FakeEngine>());
        QVERIFY(m_running->program.started());
    }
    void cleanup() { m_running.reset(); }

    void namesShowAsTheCharactersTheyHold_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("bold") << u("<b>Negrito</b>");
        QTest::newRow("image") << u("<img src=/usr/share/pixmaps/debian-logo.png><h1>Rich</h1>");
        QTest::newRow("entity") << u("&lt;b&gt; escrito");
        QTest::newRow("10,000 characters") << QString(10000, u'N');
    }
    void namesShowAsTheCharactersTheyHold()
    {
        QFETCH(QString, name);
        const QString line = PlainText::line(name);
        QVERIFY(line.size() <= PlainText::maxLineChars + 1);
        // Groups are split at ';', as lists write several.
        const QString group = QString(name).replace(u';', u',');
        const QByteArray entry = "#EXTINF:-1 group-title=\"" + group.toUtf8() + "\"," + name.toUtf8() + "\n";
        const QString list = addFileList("#EXTM3U\n" + entry + "http://127.0.0.1:9/a/" + name.toUtf8()
            + ".m3u8\n" + entry + "http://127.0.0.1:9/b\n");
        ChannelListsHub *hub = &m_running->program.channelLists();
        hub->start();
        QTRY_COMPARE(hub->library().allChannels().size(), 2);

        // "Canais": the row's tooltip and the group list.
        ChannelWindow *channels = hub->showChannelWindow();
        auto *view = channels->findChild<QListView *>(QStringLiteral("ChannelListView"));
        QCOMPARE(shownText(view->model()->index(0, 0).data(Qt::ToolTipRole).toString()), line);
        auto *groups = channels->findChild<QListWidget *>(QStringLiteral("ChannelGroupList"));
        QCOMPARE(groups->item(groups->count() - 1)->text(), PlainText::line(group));

        // Tuned: the window title, the desktop's media controls, the alternate lists' caption.
        MediaControls *controls = m_running->program.installMediaControls(QDBusConnection::sessionBus());
        QVERIFY(controls);
        QVERIFY(channels->tuneSelected());
        QCOMPARE(m_running->program.mainWindow().windowTitle(), u("Lumivortex TV - ") + line);
        QTRY_COMPARE(controls->metadata().value(u("xesam:title")).toString(), line.trimmed());
        QList<QLabel *> captions;
        for (QLabel *label : m_running->program.alternateAddressLists().findChildren<QLabel *>())
            if (label->text() == line)
                captions << label;
        QCOMPARE(captions.size(), 1);
        QCOMPARE(shownText(captions.first()->text(), captions.first()->textFormat()), line);
        QCOMPARE(m_running->program.mainWindow().findChild<QLabel *>(QStringLiteral("Label10"))->textFormat(),
            Qt::PlainText);
        QCOMPARE(m_running->program.miniPlayer().findChild<QLabel *>(QStringLiteral("Label1"))->textFormat(),
            Qt::PlainText);

        // "Listas de canais": a name edited into the file, an error quoting a
        // server, and the message after an address that is refused.
        hub->registry().rename(list, name.left(ChannelListRegistry::MaxNameLength));
        hub->registry().recordFailure(list, name);
        ChannelListsWindow *lists = hub->showListsWindow();
        auto *table = lists->findChild<QTreeWidget *>(QStringLiteral("ChannelListsTable"));
        QTreeWidgetItem *row = table->topLevelItem(0);
        QCOMPARE(row->text(0), PlainText::line(name.left(ChannelListRegistry::MaxNameLength)));
        QCOMPARE(row->text(4), line);
        QCOMPARE(shownText(row->toolTip(4)), PlainText::line(name, PlainText::maxTextChars));
        QCOMPARE(shownText(row->toolTip(1)), row->text(1));
        lists->findChild<QLineEdit *>(QStringLiteral("ListAddressEdit"))->setText(u("https://") + name);
        lists->findChild<QPushButton *>(QStringLiteral("AddListButton"))->click();
        auto *message = lists->findChild<QLabel *>(QStringLiteral("ListMessageLabel"));
        QCOMPARE(message->textFormat(), Qt::PlainText);
        QVERIFY2(shownText(message->text(), message->textFormat())
                     .contains(line.left(PlainText::maxLineChars - 20)),
            qPrintable(message->text()));
        QVERIFY(message->text().size() <= PlainText::maxTextChars * 2);
        QVERIFY(lists->minimumSizeHint().width() < 1000);

        // A message box quoting it.
        const auto box = makeMessageBox(nullptr, { name, u("Erro em ") + name });
        QCOMPARE(shownText(box->text(), box->textFormat()),
            shownText(PlainText::text(u("Erro em ") + name), Qt::PlainText));
        QCOMPARE(box->windowTitle(), line);
    }

private:
    QString addFileList(const QByteArray &text)
    {
        QFile file(m_dir->filePath(QStringLiteral("lista.m3u")));
        if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size())
            return {};
        file.close();
        return m_running->program.channelLists().registry().add(QString(), file.fileName());
    }

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<RunningProgram> m_running;
};

QTEST_MAIN(OutsideTextTest)
#include "outside_text_test.moc"
