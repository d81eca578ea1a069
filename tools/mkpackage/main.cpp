// k27-mkpackage: prepares and checks firmware update packages for the service
// tool. The image key is the one built into this program; it is never printed.

#include "tools/common/ConsoleStreams.h"
#include "tools/mkpackage/PackageBuilder.h"
#include "tools/mkpackage/PackageInspector.h"

#include <QCommandLineParser>
#include <QCoreApplication>

using Console::err;
using Console::out;

namespace {
constexpr int exitFailure = 1;
constexpr int exitUsage = 2;

const char usage[] = R"(Usage:
  k27-mkpackage encrypt IMAGE [-o OUTPUT]
      Encrypts one plain firmware image. OUTPUT defaults to IMAGE's name with
      ".bin" replaced by ".crypt" (or ".crypt" added), in IMAGE's folder.
  k27-mkpackage build -o PACKAGE.tar --package-version TEXT
          [--platform IMAGE --platform-version VERSION [--platform-name NAME]]
          [--display IMAGE --display-version VERSION [--display-name NAME]]
      Encrypts the plain images and writes an update package: "version.json"
      followed by the encrypted images. VERSION is four numbers 0-255 separated
      by dots, optionally after V (V1.2.3.4). NAME is the image's name inside
      the package (default: the image's file name with ".crypt" for ".bin").
  k27-mkpackage inspect PACKAGE.tar
      Prints the package's manifest and checks every application image it names
      (present, digest, plain length). Exit status 0 only if all of them pass.
)";

int usageError(const QString &message)
{
    err() << "k27-mkpackage: " << message << "\n" << usage;
    err().flush();
    return exitUsage;
}

int failed(const QStringList &errors)
{
    for (const QString &error : errors)
        err() << "k27-mkpackage: " << error << "\n";
    err().flush();
    return exitFailure;
}

// Parses the options after the command word; QCommandLineParser expects the
// program name first.
bool parseOptions(QCommandLineParser &parser, const QStringList &arguments, QString *error)
{
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    if (!parser.parse(arguments)) {
        *error = parser.errorText();
        return false;
    }
    return true;
}

int runEncrypt(const QStringList &arguments)
{
    QCommandLineParser parser;
    const QCommandLineOption output({QStringLiteral("o"), QStringLiteral("output")},
                                    QStringLiteral("Encrypted image to write."),
                                    QStringLiteral("OUTPUT"));
    parser.addOption(output);
    QString error;
    if (!parseOptions(parser, arguments, &error))
        return usageError(error);
    if (parser.positionalArguments().size() != 1)
        return usageError(QStringLiteral("encrypt takes exactly one image"));
    const QString input = parser.positionalArguments().constFirst();
    QString outputPath = parser.value(output);
    if (outputPath.isEmpty()) {
        const QString name = MkPackage::PackageBuilder::defaultArchiveName(input);
        const int slash = input.lastIndexOf(QLatin1Char('/'));
        outputPath = input.left(slash + 1) + name;
    }
    if (outputPath == input)
        return usageError(QStringLiteral("the output would overwrite the image"));

    MkPackage::PackageBuilder builder;
    if (!builder.encryptFile(input, outputPath))
        return failed(builder.errors());
    out() << outputPath << "\n";
    return 0;
}

// The options that name one controller's image in a build: --KIND IMAGE,
// --KIND-version VERSION and --KIND-name NAME.
struct ImageOptions
{
    QString kind;
    QCommandLineOption image;
    QCommandLineOption version;
    QCommandLineOption name;

    explicit ImageOptions(const QString &controller)
        : kind(controller)
        , image(kind, QStringLiteral("Plain %1 application image.").arg(kind),
                QStringLiteral("IMAGE"))
        , version(kind + QStringLiteral("-version"),
                  QStringLiteral("%1 application version.").arg(capitalised(kind)),
                  QStringLiteral("VERSION"))
        , name(kind + QStringLiteral("-name"),
               QStringLiteral("%1 image name inside the package.").arg(capitalised(kind)),
               QStringLiteral("NAME"))
    {
    }

    MkPackage::PackageBuilder::Image valuesIn(const QCommandLineParser &parser) const
    {
        return {parser.value(image), parser.value(version), parser.value(name)};
    }

    static QString capitalised(const QString &word) { return word.left(1).toUpper() + word.mid(1); }
};

int runBuild(const QStringList &arguments)
{
    QCommandLineParser parser;
    const QCommandLineOption output({QStringLiteral("o"), QStringLiteral("output")},
                                    QStringLiteral("Package to write."), QStringLiteral("PACKAGE"));
    const QCommandLineOption packageVersion(QStringLiteral("package-version"),
                                            QStringLiteral("Package version text."),
                                            QStringLiteral("TEXT"));
    const ImageOptions platform(QStringLiteral("platform"));
    const ImageOptions display(QStringLiteral("display"));
    parser.addOptions({output, packageVersion, platform.image, platform.version, platform.name,
                       display.image, display.version, display.name});
    QString error;
    if (!parseOptions(parser, arguments, &error))
        return usageError(error);
    if (!parser.positionalArguments().isEmpty())
        return usageError(QStringLiteral("unexpected argument \"%1\"")
                              .arg(parser.positionalArguments().constFirst()));
    if (!parser.isSet(output))
        return usageError(QStringLiteral("build needs -o PACKAGE.tar"));
    if (!parser.isSet(packageVersion))
        return usageError(QStringLiteral("build needs --package-version"));
    for (const ImageOptions *options : {&platform, &display}) {
        if (parser.isSet(options->image) != parser.isSet(options->version))
            return usageError(
                QStringLiteral("--%1 and --%1-version go together").arg(options->kind));
    }
    if (!parser.isSet(platform.image) && !parser.isSet(display.image))
        return usageError(QStringLiteral("build needs --platform or --display"));

    MkPackage::PackageBuilder builder;
    builder.setPackageVersion(parser.value(packageVersion));
    if (parser.isSet(platform.image))
        builder.setPlatformApplication(platform.valuesIn(parser));
    if (parser.isSet(display.image))
        builder.setDisplayApplication(display.valuesIn(parser));
    if (!builder.build(parser.value(output)))
        return failed(builder.errors());
    out() << parser.value(output) << "\n";
    return 0;
}

int runInspect(const QStringList &arguments)
{
    QCommandLineParser parser;
    QString error;
    if (!parseOptions(parser, arguments, &error))
        return usageError(error);
    if (parser.positionalArguments().size() != 1)
        return usageError(QStringLiteral("inspect takes exactly one package"));

    MkPackage::PackageInspector inspector;
    const bool passed = inspector.inspect(parser.positionalArguments().constFirst());
    for (const QString &line : inspector.report())
        out() << line << "\n";
    out().flush();
    for (const QString &warning : inspector.warnings())
        err() << "k27-mkpackage: warning: " << warning << "\n";
    err().flush();
    return passed ? 0 : failed(inspector.errors());
}
} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication application(argc, argv);
    QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() < 2)
        return usageError(QStringLiteral("no command given"));
    const QString command = arguments.takeAt(1);
    if (command == QLatin1String("encrypt"))
        return runEncrypt(arguments);
    if (command == QLatin1String("build"))
        return runBuild(arguments);
    if (command == QLatin1String("inspect"))
        return runInspect(arguments);
    if (command == QLatin1String("help") || command == QLatin1String("--help")
        || command == QLatin1String("-h")) {
        out() << usage;
        return 0;
    }
    return usageError(QStringLiteral("unknown command \"%1\"").arg(command));
}
