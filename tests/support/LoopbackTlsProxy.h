#pragma once

#include <QString>
#include <memory>

// HTTPS on 127.0.0.1 for tests: every connection to port() is decrypted with
// one of the certificates the build makes (tests/CMakeLists.txt) and passed
// on to a plain server's port, so a LoopbackHttpServer and all its
// misbehaviours are served over TLS. Runs on threads of its own.
class LoopbackTlsProxy
{
public:
    enum class Certificate {
        Trusted, // for 127.0.0.1 and localhost, signed by the test CA
        SelfSigned, // for 127.0.0.1, signed by itself
        OtherName, // signed by the test CA, for another host
    };

    LoopbackTlsProxy(quint16 plainPort, Certificate certificate);
    ~LoopbackTlsProxy();
    LoopbackTlsProxy(const LoopbackTlsProxy &) = delete;
    LoopbackTlsProxy &operator=(const LoopbackTlsProxy &) = delete;

    quint16 port() const;
    QString url(const QString &path) const; // "https://127.0.0.1:<port><path>"

    // The test CA's certificate, to trust with TlsTrust::setCaFile().
    static QString testCaFile();

    struct Private;

private:
    std::unique_ptr<Private> d;
};
