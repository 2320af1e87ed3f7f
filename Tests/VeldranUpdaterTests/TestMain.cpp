#include <gtest/gtest.h>

#include <QApplication>
#include <QNetworkProxyFactory>
#include <QStandardPaths>

#include <sodium.h>

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QStandardPaths::setTestModeEnabled(true);
    QApplication application(argc, argv);
    QNetworkProxyFactory::setUseSystemConfiguration(false);
    testing::InitGoogleTest(&argc, argv);
    return sodium_init() < 0 ? 1 : RUN_ALL_TESTS();
}
