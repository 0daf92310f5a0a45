#include "app/CommandLine.h"

#include "desktop/OpenableMedia.h"

#include <QCommandLineParser>
#include <QFileInfo>
#include <QUrl>

namespace
{
constexpr int kUsageError = 2;

CommandLineRequest failure(const QString &text)
{
    CommandLineRequest request;
    request.exitCode = kUsageError;
    request.message = QStringLiteral("lumivortex: %1\nUse --help para ver as opções.\n").arg(text);
    return request;
}

// Empty when the argument names something the program can open; the problem otherwise.
QString resolve(const QString &argument, QString *item)
{
    const QUrl url(argument);
    const QString scheme = url.scheme().toLower();
    QString path = argument;
    if (scheme == QLatin1String("file")) {
        path = url.toLocalFile();
    } else if (scheme.size() > 1 && argument.contains(QLatin1String("://"))) {
        if (!OpenableMedia::isAddress(argument))
            return QStringLiteral("endereço não suportado: %1").arg(argument);
        *item = argument;
        return QString();
    }
    const QFileInfo file(path);
    if (!file.exists())
        return QStringLiteral("arquivo não encontrado: %1").arg(path);
    if (!file.isFile() || !file.isReadable())
        return QStringLiteral("não é possível ler o arquivo: %1").arg(path);
    *item = file.absoluteFilePath();
    return QString();
}
} // namespace

namespace CommandLine
{
QString helpText()
{
    return QStringLiteral("Uso: lumivortex [opções] [arquivo ou endereço...]\n"
                          "TV, rádio e webcams ao vivo pela internet.\n"
                          "\n"
                          "Abre arquivos, endereços (http, https, HLS, rtmp, rtsp, udp) e listas\n"
                          "(.lpl, .m3u, .m3u8, .asx, .pls): o primeiro toca e os demais vão para\n"
                          "a lista de reprodução. Se o programa já está aberto, ele os recebe.\n"
                          "\n"
                          "Opções:\n"
                          "  -h, --help     Mostra esta ajuda e sai.\n"
                          "  -v, --version  Mostra a versão e sai.\n");
}

QString versionText()
{
    return QStringLiteral("Lumivortex TV %1\n").arg(QStringLiteral(LUMI_VERSION));
}

CommandLineRequest parse(const QStringList &arguments)
{
    QCommandLineParser parser;
    const QCommandLineOption help({ QStringLiteral("h"), QStringLiteral("help") }, QString());
    const QCommandLineOption version({ QStringLiteral("v"), QStringLiteral("version") }, QString());
    parser.addOption(help);
    parser.addOption(version);
    if (!parser.parse(arguments)) {
        const QStringList unknown = parser.unknownOptionNames();
        if (!unknown.isEmpty()) {
            const QString name = unknown.constFirst();
            return failure(QStringLiteral("opção desconhecida: %1%2")
                               .arg(name.size() == 1 ? QStringLiteral("-") : QStringLiteral("--"), name));
        }
        return failure(QStringLiteral("argumentos inválidos"));
    }
    CommandLineRequest request;
    if (parser.isSet(help) || parser.isSet(version)) {
        request.exitCode = 0;
        request.message = parser.isSet(help) ? helpText() : versionText();
        return request;
    }
    for (const QString &argument : parser.positionalArguments()) {
        QString item;
        const QString problem = resolve(argument, &item);
        if (!problem.isEmpty())
            return failure(problem);
        request.items << item;
    }
    return request;
}
} // namespace CommandLine
