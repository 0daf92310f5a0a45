#pragma once

#include <QString>
#include <QTest>
#include <QWidget>

// With LUMI_SCREENSHOT_DIR set (run under Xvfb with QT_QPA_PLATFORM=xcb, or
// under a Wayland compositor), the windows a test reaches are kept as
// pictures there, to be looked at by a person.
inline void keepPicture(QWidget *window, const char *name)
{
    const QString folder = qEnvironmentVariable("LUMI_SCREENSHOT_DIR");
    if (folder.isEmpty())
        return;
    window->show();
    QTest::qWait(300);
    window->grab().save(folder + u'/' + QString::fromLatin1(name) + QStringLiteral(".png"));
}
