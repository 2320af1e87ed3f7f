#include <gtest/gtest.h>

#include <QApplication>
#include <QNetworkProxyFactory>
#include <QStandardPaths>

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QStandardPaths::setTestModeEnabled(true);
    QApplication application(argc, argv);
    QNetworkProxyFactory::setUseSystemConfiguration(false);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
