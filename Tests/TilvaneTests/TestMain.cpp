#include "VemiTerminal/Theme/VTFonts.hpp"

#include <gtest/gtest.h>
#include <QApplication>

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    VTFonts::registerIfNeeded(QStringLiteral(TILVANE_TEST_APP_DIR "/Resources/VemiTerminal_VemiTerminal.bundle"));
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
