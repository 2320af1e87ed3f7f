#include "Tilvane/App/TilvaneApp.hpp"
#include "Tilvane/Services/TilvaneEvent.hpp"
#include "VeldranTelemetry/TelemetrySettingsView.hpp"
#include "VeldranUpdater/UpdateSettingsSection.hpp"

#include <QWidget>

#include <gtest/gtest.h>

#include <memory>

namespace tilvane::testing {
namespace {

TEST(TilvaneEvent, RawValuesNameTheEventsAndTheExportFormat)
{
    const std::pair<TilvaneEvent, std::string_view> events[] = {
        {TilvaneEvent::imageOpened, "image_opened"},     {TilvaneEvent::imageOpenFailed, "image_open_failed"},
        {TilvaneEvent::exportStarted, "export_started"}, {TilvaneEvent::exportCompleted, "export_completed"},
        {TilvaneEvent::exportFailed, "export_failed"},
    };
    ASSERT_EQ(std::size(events), allTilvaneEvents.size());
    for (std::size_t index = 0; index < std::size(events); ++index) {
        EXPECT_EQ(allTilvaneEvents[index], events[index].first) << "listed in order";
        EXPECT_EQ(rawValue(events[index].first), events[index].second);
        EXPECT_EQ(tilvaneEvent(events[index].second), events[index].first);
    }
    EXPECT_EQ(tilvaneEvent("opened"), std::nullopt);
    EXPECT_EQ(tilvaneEvent("Image_Opened"), std::nullopt);

    EXPECT_EQ(detailKey(TilvaneExportFormat::png), "format");
    EXPECT_EQ(rawValue(TilvaneExportFormat::gif), "gif");
    EXPECT_EQ(tilvaneExportFormat("png"), TilvaneExportFormat::png);
    EXPECT_EQ(tilvaneExportFormat("jpeg"), std::nullopt);
}

TEST(AppEnvironment, SettingsHoldTheUpdateSectionAboveThePrivacySettings)
{
    const std::unique_ptr<QWidget> content(AppEnvironment::standard().settingsContent());
    const auto* updates = content->findChild<veldran::UpdateSettingsSection*>();
    const auto* privacy = content->findChild<veldran::TelemetrySettingsView*>();
    ASSERT_NE(updates, nullptr);
    ASSERT_NE(privacy, nullptr);
    content->resize(content->sizeHint());
    content->show();
    const int updatesTop = updates->mapTo(content.get(), QPoint()).y();
    const int privacyTop = privacy->mapTo(content.get(), QPoint()).y();
    EXPECT_EQ(updatesTop, 26) << "padded 26 at the top";
    EXPECT_EQ(updates->mapTo(content.get(), QPoint()).x(), 26) << "and 26 at the sides";
    EXPECT_GT(privacyTop, updatesTop);
}

}  // namespace
}  // namespace tilvane::testing
