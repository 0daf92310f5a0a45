#pragma once

#include "widgets/MessageBox.h"

#include <QString>
#include <QStringList>
#include <functional>

class QFileDialog;

// Every dialog that asks the user something goes through here: message boxes
// (MessageBox.h), file choosers and one-line text questions. Tests answer them
// all the same way, by handlers, so nothing waits in a modal loop.

struct FileRequest {
    enum class Kind { Open, OpenMany, Save };
    Kind kind = Kind::Open;
    QString caption;
    QStringList nameFilters; // the first is selected
    QString proposed; // the folder or path the dialog starts at
    bool confirmOverwrite = true; // Save only
};

struct TextRequest {
    QString caption;
    QString label;
    QString text; // the answer offered
};

using FileHandler = std::function<QStringList(QWidget *parent, const FileRequest &)>;
using TextHandler = std::function<QString(QWidget *parent, const TextRequest &)>;

// The files chosen, in order; empty when cancelled.
QStringList askForFiles(QWidget *parent, const FileRequest &request);
// As above, in a dialog the window keeps and has set up (it carries an object
// name of its own); request says what is asked, for the handler.
QStringList askForFiles(QFileDialog &dialog, const FileRequest &request);
// The first file chosen; empty when cancelled.
QString askForFile(QWidget *parent, const FileRequest &request);
// The text entered; empty when cancelled.
QString askForText(QWidget *parent, const TextRequest &request);

// Replace how file dialogs and text questions are shown; an empty handler
// restores the real dialogs.
void setFileHandler(FileHandler handler);
void setTextHandler(TextHandler handler);
