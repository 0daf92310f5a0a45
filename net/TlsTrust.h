#pragma once

#include <QString>

// Which certificate authorities HTTPS connections trust, for every transfer of
// the network layer and for the streams the engine opens: the system's bundle,
// unless a file of its own was named (then that file alone is trusted, in this
// process only; tests use it for a CA they made).
namespace TlsTrust
{
// Empty: the system's bundle.
QString caFile();
void setCaFile(const QString &path);
} // namespace TlsTrust
