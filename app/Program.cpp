#include "app/Program.h"

#include "about/AboutDialog.h"
#include "about/FaqDialog.h"
#include "app/ChannelListsHub.h"
#include "app/CommandLine.h"
#include "app/MainWindow.h"
#include "app/SingleInstance.h"
#include "browser/BrowserCommands.h"
#include "browser/BrowserProcess.h"
#include "browser/BrowserWindow.h"
#include "channels/AlternateAddressLists.h"
#include "channels/ChannelCatalogue.h"
#include "desktop/MediaControls.h"
#include "engine/DeferredEngine.h"
#include "engine/MpvEngine.h"
#include "game/GameWindow.h"
#include "options/LogindPowerOff.h"
#include "options/OptionsWindow.h"
#include "packaging/ProgramIcon.h"
#include "playback/MiniPlayerWindow.h"
#include "playlist/FolderPickerWindow.h"
#include "playlist/PlaylistWindow.h"
#include "update/UpdateWindow.h"
#include "widgets/MessageBox.h"

#include <QAction>
#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTimer>
#include <QTranslator>
#include <clocale>
#include <cstdio>
#include <cstring>
#include <unistd.h>

namespace
{
void installPortugueseDialogs(QApplication &app)
{
    auto *translator = new QTranslator(&app);
    if (translator->load(QLocale(QStringLiteral("pt_BR")), QStringLiteral("qtbase"), QStringLiteral("_"),
            QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(translator);
}

// Help, version and argument errors end the program; an error started from a
// desktop menu, where no terminal shows it, also gets a box.
int endWithMessage(const CommandLineRequest &request)
{
    std::fputs(request.message.toLocal8Bit().constData(), request.isError() ? stderr : stdout);
    if (request.isError() && !isatty(STDERR_FILENO) && qApp)
        showMessage(
            nullptr, MessageRequest { applicationTitle(), request.message.trimmed(), QMessageBox::Critical });
    return request.exitCode;
}

void setUpApplication(QApplication &app)
{
    QApplication::setApplicationName(QStringLiteral("lumivortex"));
    // Wayland compositors find the icon through the desktop entry's name.
    QApplication::setDesktopFileName(QStringLiteral("lumivortex"));
    QApplication::setWindowIcon(ProgramIcon::icon());
    installPortugueseDialogs(app);
}

// The browser window alone, driven by the player through standard input.
int runBrowserProcess(int argc, char **argv)
{
    // Qt WebEngine needs shared GL contexts from before the application exists.
    QApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    setUpApplication(app);
    BrowserWindow window;
    BrowserCommandReader commands(STDIN_FILENO, window);
    // The player has gone (quit or crashed): nothing is left to browse for.
    QObject::connect(&commands, &BrowserCommandReader::inputClosed, &app, &QApplication::quit);
    // Closing the window ends the process, and with it the web engine's memory.
    QApplication::setQuitOnLastWindowClosed(true);
    return QApplication::exec();
}
} // namespace

std::unique_ptr<MediaEngine> makePlayerEngine()
{
    // The player library loads with the first thing played, so a program that
    // sits idle or never plays does not pay for it. Where it cannot load, that
    // first tune is the old-player failure; a machine without video output
    // plays the sound and says so.
    return std::make_unique<DeferredEngine>(
        []() -> std::unique_ptr<MediaEngine> { return std::make_unique<MpvEngine>(); });
}

Program::Program(std::unique_ptr<MediaEngine> engine, const ChannelCatalogue &catalogue,
    std::unique_ptr<PowerOffService> powerOffService, GamePorts gamePorts)
    : powerOff(std::move(powerOffService))
{
    form1 = std::make_unique<MainWindow>(std::move(engine), catalogue);
    if (!form1->started())
        return;
    form4 = std::make_unique<AboutDialog>();
    form2 = std::make_unique<OptionsWindow>(form1->engine(), form1->state(), form1.get(),
        form1->timer(QStringLiteral("TimerTryAgain")), form1->alwaysOnTopAction(), *powerOff);
    form3 = std::make_unique<BrowserProcess>();
    form6 = std::make_unique<MiniPlayerWindow>(*form1->player(), *form1->transport(), *form1);
    form10 = std::make_unique<PlaylistWindow>(*form1);
    form5 = std::make_unique<GameWindow>(gamePorts);
    form9 = std::make_unique<UpdateWindow>();
    form7 = std::make_unique<FolderPickerWindow>();
    form8 = std::make_unique<AlternateAddressLists>(catalogue);
    form11 = std::make_unique<FaqDialog>();
    form4->setFaqWindow(form11.get());

    SideWindows side;
    side.options = form2.get();
    side.browser = form3.get();
    side.about = form4.get();
    side.game = form5.get();
    side.miniPlayer = form6.get();
    side.update = form9.get();
    side.playlist = form10.get();
    side.faq = form11.get();
    side.alternates = form8.get();
    form1->attachWindows(side);
    channelLists = new ChannelListsHub(*form1, catalogue, form8.get());
}

Program::~Program()
{
    // Side windows use the main window's engine and state: they go first.
    form11.reset();
    form8.reset();
    form7.reset();
    form9.reset();
    form5.reset();
    form10.reset();
    form6.reset();
    form3.reset();
    form2.reset();
    form4.reset();
    form1.reset();
}

bool Program::started() const
{
    return form1 && form1->started();
}

int runProgram(int argc, char **argv)
{
    if (argc > 1
        && std::strcmp(argv[1], BrowserProcess::browserProcessArgument().toLatin1().constData()) == 0)
        return runBrowserProcess(argc, argv);
    // Help and version need no display.
    QStringList rawArguments;
    for (int i = 0; i < argc; ++i)
        rawArguments << QString::fromLocal8Bit(argv[i]);
    if (const CommandLineRequest early = CommandLine::parse(rawArguments); early.exitCode == 0)
        return endWithMessage(early);

    QApplication app(argc, argv);
    setUpApplication(app);
    // The main window decides when the program ends (it may be hidden in the tray).
    QApplication::setQuitOnLastWindowClosed(false);
    // libmpv refuses to start unless numbers are read the C way.
    std::setlocale(LC_NUMERIC, "C");

    // Read after Qt has taken its own options (-platform ...).
    const CommandLineRequest request = CommandLine::parse(QCoreApplication::arguments());
    if (!request.startsProgram())
        return endWithMessage(request);
    if (!request.items.isEmpty() && SingleInstance::handOver(request.items))
        return 0;

    // The user's channels.m3u is one of the channel lists now, matched with the others.
    Program program(
        makePlayerEngine(), ChannelCatalogue::builtIn(), std::make_unique<LogindPowerOff>(), GamePorts());
    if (!program.started())
        return 1;
    program.form1->show();
    program.channelLists->start();
    ChannelListsHub *lists = program.channelLists;
    program.form1->openAddressRequested = [lists] { lists->openAddress(); };
    program.form1->installMediaControls();
    program.form1->listenForOtherCopies();
    if (!request.items.isEmpty())
        program.form1->openItems(request.items);
    return QApplication::exec();
}
