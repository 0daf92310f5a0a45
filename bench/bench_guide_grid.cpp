// The guide grid's frames for 500 channels across 24 hours (goal: none over
// 16 ms): the window scrolled through the day by the arrow keys and the
// wheel, and down through every channel, each step timed with the repaint it
// causes. Each frame is timed by the GUI thread's own clock as well as the
// wall clock: on a shared machine the wall clock also counts the other
// programs. The reference, measured in the same run, is a repaint of the same
// window with nothing moved. With --show <seconds> it stays on screen that
// long instead (for a screenshot).
#include "bench/GuideBench.h"
#include "bench/GuideGenerator.h"
#include "bench/GuideSynthetic.h"
#include "guide/GuideGridCursor.h"
#include "guide/GuideGridModel.h"
#include "guide/GuideGridView.h"
#include "guide/GuideWindow.h"
#include "guide/XmlTvReader.h"
#include "lists/ChannelPicks.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <time.h>
#include <vector>

namespace
{

constexpr int Channels = 500;

double worstOf(const std::vector<double> &ms)
{
    return ms.empty() ? 0 : *std::max_element(ms.begin(), ms.end());
}

struct Frames {
    std::vector<double> ms; // wall clock
    std::vector<double> cpuMs; // the GUI thread's own time: what the frame costs, whatever else runs
    double worst() const { return worstOf(ms); }
    double worstCpu() const { return worstOf(cpuMs); }
    double median() const
    {
        std::vector<double> sorted = ms;
        std::sort(sorted.begin(), sorted.end());
        return sorted.empty() ? 0 : sorted[sorted.size() / 2];
    }
};

void step(Frames &frames, GuideGridView *grid, const std::function<void()> &move)
{
    QElapsedTimer timer;
    timer.start();
    const double cpu = GuideBench::threadCpuMs();
    move();
    grid->viewport()->repaint();
    frames.cpuMs.push_back(GuideBench::threadCpuMs() - cpu);
    frames.ms.push_back(double(timer.nsecsElapsed()) / 1e6);
}

} // namespace

int main(int argc, char **argv)
{
    int showSeconds = 0;
    for (int i = 1; i + 1 < argc; ++i) {
        if (qstrcmp(argv[i], "--show") == 0)
            showSeconds = QByteArray(argv[i + 1]).toInt();
    }
    if (showSeconds == 0)
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const qint64 now = QDateTime::currentSecsSinceEpoch();
    std::shared_ptr<const GuideStore> store
        = GuideSynthetic::store(Channels, now - 86400, now + 2 * 86400, 30);
    if (showSeconds > 0) {
        // On screen, the programmes of a generated XMLTV guide, read as the program reads one.
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("guide.xml"));
        GuideGenerator::write(path, { Channels, 2, now - 86400, 55 });
        QFile file(path);
        file.open(QIODevice::ReadOnly);
        GuideReadOptions options;
        options.now = now;
        options.wanted = WantedChannels::everything();
        store = std::shared_ptr<const GuideStore>(XmlTvReader::read(&file, options).store);
    }
    GuideMatcher matcher;
    matcher.setGuides({ { QStringLiteral("grade"), store } });
    QVector<ListChannel> entries;
    QVector<int> lists;
    QSet<QString> favourites;
    for (int c = 0; c < Channels; ++c) {
        ListChannel entry;
        entry.name = entry.title = QStringLiteral("Canal %1").arg(c);
        entry.tvgId = QStringLiteral("Canal%1.br").arg(c);
        entry.group = c % 3 ? QStringLiteral("Abertos") : QStringLiteral("Notícias");
        entry.address = QStringLiteral("https://cdn.test/%1").arg(c);
        entries.append(entry);
        lists.append(c / 100);
        if (c % 50 == 7)
            favourites.insert(ChannelPicks::identityOf(entry));
    }
    GuideGridModel model;
    model.setChannels(GuideGridModel::rowsFor(entries, lists, favourites, matcher));
    GuideWindow window(&model);
    window.resize(1280, 800);
    window.show();
    if (showSeconds > 0) {
        QTimer::singleShot(0, &window, [&] {
            window.cursor()->moveDown();
            window.cursor()->moveRight();
        });
        QTimer::singleShot(showSeconds * 1000, &app, &QCoreApplication::quit);
        return app.exec();
    }
    QCoreApplication::processEvents();
    GuideGridView *grid = window.grid();
    GuideGridCursor *cursor = window.cursor();

    Frames still;
    for (int i = 0; i < 30; ++i)
        step(still, grid, [] {});
    Frames moving;
    cursor->goToNow();
    // Through the day programme by programme, then back by the wheel, then down every channel.
    for (int i = 0; i < 60; ++i)
        step(moving, grid, [&] { cursor->moveRight(); });
    for (int i = 0; i < 48; ++i)
        step(moving, grid, [&] { cursor->scrollTime(-1); });
    while (cursor->row() < model.channelCount() - 1)
        step(moving, grid, [&] { cursor->pageDown(); });
    for (int i = 0; i < 48; ++i)
        step(moving, grid, [&] { cursor->scrollTime(1); });

    std::printf("guide grid: %d channels, %d programmes, %d frames\n", model.channelCount(),
        store->totalProgrammes(), int(moving.ms.size()));
    std::printf("  frame while moving: worst %.2f ms of GUI-thread time (%.2f ms wall), median %.2f ms wall"
                "  (goal <= 16 ms)\n",
        moving.worstCpu(), moving.worst(), moving.median());
    std::printf(
        "  repaint with nothing moved (ref): worst %.2f ms, median %.2f ms\n", still.worst(), still.median());
    std::printf(
        "TABLE|guide: grid frame, 500 channels x 24 h, worst GUI-thread time (ms)|%.2f (%.2f wall)|%.2f "
        "(repaint, nothing moved)|%.1fx|<= 16 ms\n",
        moving.worstCpu(), moving.worst(), worstOf(still.cpuMs), moving.worstCpu() / worstOf(still.cpuMs));
    return moving.worstCpu() <= 16 ? 0 : 1;
}
