#pragma once

#include <QtGlobal>

#include <memory>

class ChannelCatalogue;
class MediaEngine;
class PowerOffService;
class TForm1;
class TForm2;
class TForm3;
class TForm4;
class TForm5;
class TForm6;
class TForm7;
class TForm8;
class TForm9;
class TForm10;
class TForm11;

// All eleven windows of a run, created once in a fixed order with the main
// window first, and destroyed together (side windows before the main window,
// whose engine they use).
class Program
{
public:
    Program(std::unique_ptr<MediaEngine> engine, const ChannelCatalogue &catalogue,
            std::unique_ptr<PowerOffService> powerOff, quint16 gamePort);
    ~Program();

    // False when the main window could not set up its engine.
    bool started() const;

    std::unique_ptr<TForm1> form1;
    std::unique_ptr<PowerOffService> powerOff;
    std::unique_ptr<TForm4> form4;
    std::unique_ptr<TForm2> form2;
    std::unique_ptr<TForm3> form3;
    std::unique_ptr<TForm6> form6;
    std::unique_ptr<TForm10> form10;
    std::unique_ptr<TForm5> form5;
    std::unique_ptr<TForm9> form9;
    std::unique_ptr<TForm7> form7;
    std::unique_ptr<TForm8> form8;
    std::unique_ptr<TForm11> form11;
};

// Program entry: application set-up, the windows, the message loop.
int runProgram(int argc, char **argv);
