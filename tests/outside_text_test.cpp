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
#include "channels/ChannelListLibrary.h"
#include "channels/ChannelListRegistry.h"
#include "channels/ChannelListsWindow.h"
#include "channels/ChannelWindow.h"
#include "desktop/MediaControls.h"
#include "playback/MiniPlayerWindow.h"
#include "tests/support/FakeEngine.h"
#include "tests/support/RecordingPowerOff.h"
#include "widgets/MessageBox.h"

#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTextDocument>
#include <QTreeWidget>
#include <QtTest>

namespace
{
QString u(const char *utf8)
{
    return QString::fromUtf8(utf8);
}

// What Qt shows of a text a widget decides about by itself (a tooltip, an
// AutoText label): rich text when it looks like markup.
QString rendered(const QString &text)
{
    if (!Qt::mightBeRichText(text))
        return text;
    QTextDocument document;
    document.setHtml(text);
    return document.toPlainText().remove(QChar(PlainText::ZeroWidthSpace));
}

// What a plain-text widget shows: the places to break long words show nothing.
QString shown(const QString &text)
{
    return QString(text).remove(QChar(PlainText::ZeroWidthSpace));
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
        setMessageHandler([](QWidget *, const MessageRequest &request) { return request.escapeButton; });
        m_engine = new FakeEngine;
        m_program = std::make_unique<Program>(std::unique_ptr<MediaEngine>(m_engine),
            ChannelCatalogue::builtIn(), std::make_unique<RecordingPowerOff>(), 0);
        QVERIFY(m_program->started());
    }
    void cleanup()
    {
        m_program.reset();
        setMessageHandler({});
    }

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
        ChannelListsHub *hub = m_program->channelLists;
        hub->start();
        QTRY_COMPARE(hub->library().allChannels().size(), 2);

        // "Canais": the row's tooltip and the group list.
        ChannelWindow *channels = hub->showChannelWindow();
        auto *view = channels->findChild<QListView *>(QStringLiteral("ChannelListView"));
        QCOMPARE(rendered(view->model()->index(0, 0).data(Qt::ToolTipRole).toString()), line);
        auto *groups = channels->findChild<QListWidget *>(QStringLiteral("ChannelGroupList"));
        QCOMPARE(groups->item(groups->count() - 1)->text(), PlainText::line(group));

        // Tuned: the window title, the desktop's media controls, the alternate lists' caption.
        MediaControls *controls = m_program->form1->installMediaControls(QDBusConnection::sessionBus());
        QVERIFY(controls);
        QVERIFY(channels->tuneSelected());
        QCOMPARE(m_program->form1->windowTitle(), u("Lumivortex TV - ") + line);
        QTRY_COMPARE(controls->metadata().value(u("xesam:title")).toString(), line.trimmed());
        QList<QLabel *> captions;
        for (QLabel *label : m_program->form8->findChildren<QLabel *>())
            if (label->text() == line)
                captions << label;
        QCOMPARE(captions.size(), 1);
        QCOMPARE(captions.first()->textFormat(), Qt::PlainText);
        for (const char *label : { "Label10" })
            QCOMPARE(m_program->form1->findChild<QLabel *>(QString::fromLatin1(label))->textFormat(),
                Qt::PlainText);
        QCOMPARE(
            m_program->form6->findChild<QLabel *>(QStringLiteral("Label1"))->textFormat(), Qt::PlainText);

        // "Listas de canais": a name edited into the file, an error quoting a
        // server, and the message after an address that is refused.
        hub->registry().rename(list, name.left(ChannelListRegistry::MaxNameLength));
        hub->registry().recordFailure(list, name);
        ChannelListsWindow *lists = hub->showListsWindow();
        auto *table = lists->findChild<QTreeWidget *>(QStringLiteral("ChannelListsTable"));
        QTreeWidgetItem *row = table->topLevelItem(0);
        QCOMPARE(row->text(0), PlainText::line(name.left(ChannelListRegistry::MaxNameLength)));
        QCOMPARE(row->text(4), line);
        QCOMPARE(rendered(row->toolTip(4)), PlainText::line(name, PlainText::maxTextChars));
        QCOMPARE(rendered(row->toolTip(1)), row->text(1));
        lists->findChild<QLineEdit *>(QStringLiteral("ListAddressEdit"))->setText(u("https://") + name);
        lists->findChild<QPushButton *>(QStringLiteral("AddListButton"))->click();
        auto *message = lists->findChild<QLabel *>(QStringLiteral("ListMessageLabel"));
        QCOMPARE(message->textFormat(), Qt::PlainText);
        QVERIFY2(shown(message->text()).contains(line.left(PlainText::maxLineChars - 20)),
            qPrintable(message->text()));
        QVERIFY(message->text().size() <= PlainText::maxTextChars * 2);
        QVERIFY(lists->minimumSizeHint().width() < 1000);

        // A message box quoting it.
        const auto box = makeMessageBox(nullptr, { name, u("Erro em ") + name });
        QCOMPARE(box->textFormat(), Qt::PlainText);
        QCOMPARE(shown(box->text()),
            PlainText::text(u("Erro em ") + name).remove(QChar(PlainText::ZeroWidthSpace)));
        QCOMPARE(box->windowTitle(), line);
    }

private:
    QString addFileList(const QByteArray &text)
    {
        QFile file(m_dir->filePath(QStringLiteral("lista.m3u")));
        if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size())
            return {};
        file.close();
        return m_program->channelLists->registry().add(QString(), file.fileName());
    }

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<Program> m_program;
    FakeEngine *m_engine = nullptr;
};

QTEST_MAIN(OutsideTextTest)
#include "outside_text_test.moc"
