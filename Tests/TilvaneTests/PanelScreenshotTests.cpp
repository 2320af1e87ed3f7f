#include "PanelTestSupport.hpp"

#include "Tilvane/Views/PixelControls.hpp"
#include "Tilvane/Views/PresetActionButton.hpp"
#include "Tilvane/Views/PresetNameSheet.hpp"
#include "Tilvane/Views/ShaderGallery.hpp"

#include <QDir>
#include <QHBoxLayout>
#include <QPainter>
#include <functional>

namespace {

using namespace panels;

// Writes every panel widget, in both themes and at device pixel ratios 1 and 2, into the build tree's
// Screenshots/Panels folder, for a person to look at.
class PanelScreenshotTest : public ::testing::Test {
protected:
    using Factory = std::function<QWidget*()>;

    void write(const QString& name, const Factory& make, int width = 0)
    {
        const QDir folder(QStringLiteral(TILVANE_TEST_SCREENSHOT_DIR "/Panels"));
        ASSERT_TRUE(folder.mkpath(QStringLiteral(".")));
        for (const auto appearance : {VTAppearance::vemi, VTAppearance::noite}) {
            Stage stage(make(), appearance, width);
            for (const int ratio : {1, 2}) {
                QImage image(stage.root->size() * ratio, QImage::Format_ARGB32_Premultiplied);
                image.setDevicePixelRatio(ratio);
                image.fill(stage.theme().bgSection);
                stage.root->render(&image);
                const QString file =
                    folder.filePath(QStringLiteral("%1-%2@%3x.png").arg(name, vtAppearanceName(appearance)).arg(ratio));
                ASSERT_TRUE(image.save(file)) << file.toStdString();
            }
        }
    }

    static QString vtAppearanceName(VTAppearance appearance)
    {
        return appearance == VTAppearance::noite ? QStringLiteral("noite") : QStringLiteral("vemi");
    }

    // A column of widgets on the window ground, as a panel would hold them.
    static QWidget* column(const std::vector<QWidget*>& widgets, int spacing = 12)
    {
        auto* holder = new QWidget;
        auto* layout = new QVBoxLayout(holder);
        layout->setContentsMargins(12, 12, 12, 12);
        layout->setSpacing(spacing);
        for (auto* widget : widgets) layout->addWidget(widget);
        return holder;
    }
};

TEST_F(PanelScreenshotTest, PixelControls)
{
    write(
        QStringLiteral("PixelControls"),
        [] {
            auto* on = new PixelSwitch(QStringLiteral("Animação"), false);
            on->setOn(true);
            auto* compact = new PixelSwitch(QStringLiteral("Ativar CRT"), true);
            auto* disabled = new PixelSwitch(QStringLiteral("Desativado"), false);
            disabled->setEnabled(false);
            auto* chips = new QWidget;
            auto* chipRow = new QHBoxLayout(chips);
            chipRow->setContentsMargins(0, 0, 0, 0);
            auto* selected = new PixelChoiceButton(QStringLiteral("Pontos"));
            selected->setSelected(true);
            chipRow->addWidget(new PixelChoiceButton(QStringLiteral("Suave")));
            chipRow->addWidget(selected);
            auto* pressed = new PixelChoiceButton(QStringLiteral("RGB"));
            pressed->setDown(true);
            chipRow->addWidget(pressed);
            auto* swatches = new QWidget;
            auto* swatchRow = new QHBoxLayout(swatches);
            swatchRow->setContentsMargins(0, 0, 0, 0);
            swatchRow->addWidget(new PaletteSwatch(tilvane::ImagePalette::nes(), 8));
            swatchRow->addWidget(new PaletteSwatch(tilvane::ImagePalette::gameBoy(), 8));
            swatchRow->addWidget(new PaletteSwatch(tilvane::ImagePalette::original(), 8));
            swatchRow->addStretch(1);
            auto* slider = new PixelSlider(2, 40, QStringLiteral("Tamanho do pixel"));
            slider->setValue(21);
            return column({new PixelCaption(QStringLiteral("Tamanho Do Pixel")), slider, on, compact, disabled, chips,
                           swatches, new VTHairline(Qt::Horizontal)});
        },
        260);
}

TEST_F(PanelScreenshotTest, PresetActions)
{
    write(QStringLiteral("PresetActionButtons"), [] {
        auto* row = new QWidget;
        auto* layout = new QHBoxLayout(row);
        layout->setContentsMargins(8, 8, 12, 12);
        layout->setSpacing(10);
        for (const char* symbol : {"plus", "square.and.arrow.down", "pencil", "arrow.uturn.backward", "trash",
                                   "tray.and.arrow.down", "square.and.arrow.up"}) {
            layout->addWidget(new PresetActionButton(QString::fromLatin1(symbol), QString::fromLatin1(symbol)));
        }
        return row;
    });
    write(QStringLiteral("PresetNameSheet"), [] {
        auto* sheet =
            new PresetNameSheet(QStringLiteral("Novo preset"), QStringLiteral("Meu CRT Âmbar"), [] { return true; });
        sheet->setWindowFlags(Qt::Widget);
        return sheet;
    });
}

TEST_F(PanelScreenshotTest, ShaderGallery)
{
    write(
        QStringLiteral("ShaderGallery"),
        [] {
            auto* gallery = new ShaderGallery(builtInPresets());
            tilvane::PersonalPreset mine;
            mine.id = tilvane::Uuid::random();
            mine.name = "Meu preset com um nome bem comprido";
            gallery->setPersonalPresets({mine});
            QImage preview(64, 36, QImage::Format_RGB32);
            for (int y = 0; y < preview.height(); ++y)
                for (int x = 0; x < preview.width(); ++x)
                    preview.setPixelColor(x, y,
                                          QColor::fromHsv((x * 5 + y * 3) % 360, 200, (x / 4 + y / 4) % 2 ? 240 : 120));
            gallery->setBasePreview(preview);
            gallery->setPreviews({{builtInPresets()[0].id, preview.scaled(20, 40)}});
            gallery->setSelection(personalPresetSelectionID(mine.id));
            return gallery;
        },
        900);
}

}  // namespace
