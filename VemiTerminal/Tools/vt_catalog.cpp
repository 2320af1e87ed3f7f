// vt_catalog [--appearance vemi|noite|system] [--screenshot FILE]
// Shows the design kit's catalogue in a window, or lays it out at full height, writes it as a PNG and exits.
#include "VemiTerminal/Catalog/VTCatalogView.hpp"

#include <QApplication>
#include <QCommandLineParser>
#include <QImage>
#include <cstdio>

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Catálogo do kit Vemi Terminal"));
    parser.addHelpOption();
    const QCommandLineOption appearanceOption(QStringLiteral("appearance"), QStringLiteral("vemi, noite ou system"),
                                              QStringLiteral("appearance"), QStringLiteral("system"));
    const QCommandLineOption screenshotOption(
        QStringLiteral("screenshot"), QStringLiteral("Grava a página inteira neste PNG e sai"), QStringLiteral("file"));
    parser.addOption(appearanceOption);
    parser.addOption(screenshotOption);
    parser.process(application);

    const std::optional<VTAppearance> appearance = vtAppearance(parser.value(appearanceOption));
    if (!appearance) {
        std::fprintf(stderr, "vt_catalog: aparência desconhecida: %s (use vemi, noite ou system)\n",
                     qPrintable(parser.value(appearanceOption)));
        return 2;
    }

    VTCatalogView catalogue;
    catalogue.setWindowTitle(QStringLiteral("Vemi Terminal"));
    catalogue.setAppearance(*appearance);
    if (!parser.isSet(screenshotOption)) {
        catalogue.resize(1100, 860);
        catalogue.show();
        return application.exec();
    }

    constexpr int pageWidth = 1100;
    catalogue.resize(pageWidth, 600);
    catalogue.show();
    QApplication::processEvents();
    catalogue.resize(catalogue.fullPageSize(pageWidth));
    QApplication::processEvents();
    const QString file = parser.value(screenshotOption);
    if (!catalogue.grab().toImage().save(file, "PNG")) {
        std::fprintf(stderr, "vt_catalog: não foi possível gravar %s\n", qPrintable(file));
        return 1;
    }
    return 0;
}
