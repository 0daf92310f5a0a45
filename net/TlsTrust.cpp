#include "net/TlsTrust.h"

#include <mutex>

namespace
{
std::mutex g_mutex; // workers read it while the GUI thread may set it
QString g_caFile;
} // namespace

QString TlsTrust::caFile()
{
    std::lock_guard<std::mutex> lock(g_mutex);
    return g_caFile;
}

void TlsTrust::setCaFile(const QString &path)
{
    std::lock_guard<std::mutex> lock(g_mutex);
    g_caFile = path;
}
