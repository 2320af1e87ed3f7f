// Runs the suite inside a QApplication on the offscreen platform. Started as
// "VeldranTelemetryTests --crash-child <folder> <segv|abort>", it instead arms the fatal-signal handler over
// <folder> and crashes, for the tests that check what a crash leaves behind.

#include "VeldranTelemetry/FatalSignalHandler.hpp"

#include <QApplication>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/mman.h>
#include <sys/resource.h>

#include <csignal>
#include <cstdlib>
#include <cstring>

namespace {

int crash(const char* folder, const char* kind)
{
    const rlimit noCoreFile{0, 0};
    setrlimit(RLIMIT_CORE, &noCoreFile);
    if (!veldran::FatalSignalHandler::install(QString::fromLocal8Bit(folder), "studio.veldran.tilvane@1.2.3+45"))
        return 2;
    if (std::strcmp(kind, "abort") == 0) std::abort();
    // A real fault on a page that may not be touched (a null store would be caught by the sanitizers first).
    auto* forbidden = static_cast<volatile int*>(mmap(nullptr, 4096, PROT_NONE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0));
    if (forbidden == MAP_FAILED) return 4;
    *forbidden = 1;
    return 3;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc == 4 && std::strcmp(argv[1], "--crash-child") == 0) return crash(argv[2], argv[3]);
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // Nothing of the suite may reach the real home folder.
    QTemporaryDir home;
    for (const char* variable : {"HOME", "XDG_CACHE_HOME", "XDG_CONFIG_HOME", "XDG_DATA_HOME"})
        qputenv(variable, QFile::encodeName(home.path()));
    QApplication application(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
