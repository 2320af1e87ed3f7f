#include "ShaderInspectorTestSupport.hpp"

#include "Tilvane/Views/CustomPaletteEditor.hpp"
#include "Tilvane/Views/PixelControls.hpp"
#include "Tilvane/Views/PresetActionButton.hpp"
#include "Tilvane/Views/PresetNameSheet.hpp"
#include "Tilvane/Views/ShaderGallery.hpp"
#include "Tilvane/Views/ShaderInspector.hpp"
#include "Tilvane/Views/ShaderValueControl.hpp"

#include <QAbstractScrollArea>
#include <QDir>
#include <QHBoxLayout>
#include <QPainter>
#include <functional>

namespace tilvane::testing {

namespace {

using namespace panels;

// Writes each panel widget in both themes at ratios 1 and 2 into Screenshots/Panels, checking on the way that no
// visible child is cut off or squeezed below its minimum size.
class PanelScreenshotTest : public ::testing::Test {
protected:
    using Factory = std::function<QWidget*()>;

    void write(const QString& name, const Factory& make, int width = 0)
    {
        const QDir folder(QStringLiteral(TILVANE_TEST_SCREENSHOT_DIR "/Panels"));
        ASSERT_TRUE(folder.mkpath(QStringLiteral(".")));
        for (const auto appearance : {VTAppearance::vemi, VTAppearance::noite}) {
            Stage stage(make(), appearance, width);
            expectNothingClipped(*stage.root);
            for (const int ratio : {1, 2}) {
                QImage image(stage.root->size() * ratio, QImage::Format_ARGB32_Premultiplied);
                image.setDevicePixelRatio(ratio);
                image.fill(stage.theme().bgSection);
                stage.root->render(&image);
                const QString file = folder.filePath(
                    QStringLiteral("%1-%2@%3x.png")
                        .arg(name, appearance == VTAppearance::noite ? QStringLiteral("noite") : QStringLiteral("vemi"))
                        .arg(ratio));
                ASSERT_TRUE(image.save(file)) << file.toStdString();
            }
        }
    }

    static void expectNothingClipped(const QWidget& root)
    {
        for (const QWidget* widget : root.findChildren<QWidget*>()) {
            if (!widget->isVisible() || insideScrollArea(*widget)) continue;
            const std::string name =
                QStringLiteral("%1 %2").arg(widget->metaObject()->className(), widget->objectName()).toStdString();
            EXPECT_TRUE(widget->parentWidget()->rect().contains(widget->geometry())) << name;
            const QSize minimum = widget->minimumSizeHint();
            if (!widget->hasHeightForWidth()) {
                EXPECT_GE(widget->height(), minimum.height()) << name;
            }
            EXPECT_GE(widget->width(), minimum.width()) << name;
        }
    }

    static bool insideScrollArea(const QWidget& widget)
    {
        for (const QWidget* ancestor = widget.parentWidget(); ancestor != nullptr; ancestor = ancestor->parentWidget())
            if (const auto* area = qobject_cast<const QAbstractScrollArea*>(ancestor))
                return area->viewport()->isAncestorOf(&widget);
        return false;
    }

    static QWidget* column(const std::vector<QWidget*>& widgets)
    {
        auto* holder = new QWidget;
        auto* layout = new QVBoxLayout(holder);
        layout->setContentsMargins(12, 12, 12, 12);
        layout->setSpacing(12);
        for (auto* widget : widgets) layout->addWidget(widget);
        return holder;
    }
};

TEST_F(PanelScreenshotTest, PixelControls)
{
    write(
        QStringLiteral("PixelControls"),
        [] {
            auto* on = new PixelSwitch(QStringLiteral("Animação"));
            on->setOn(true);
            auto* compact = new PixelSwitch(QStringLiteral("Ativar CRT"), {.compact = true});
            auto* disabled = new PixelSwitch(QStringLiteral("Desativado"));
            disabled->setEnabled(false);
            auto* chips = new QWidget;
            auto* chipRow = new QHBoxLayout(chips);
            chipRow->setContentsMargins(0, 0, 0, 0);
            auto* selected = new PixelChoiceButton(QStringLiteral("Pontos"));
            selected->setSelected(true);
            chipRow->addWidget(new PixelChoiceButton(QStringLiteral("Suave")));
            chipRow->addWidget(selected);
            auto* paletteRow =
                new PixelChoiceButton(QStringLiteral("NES"), new PaletteSwatch(tilvane::ImagePalette::nes(), 8));
            paletteRow->setSelected(true);
            auto* originalRow = new PixelChoiceButton(QStringLiteral("Cores originais"),
                                                      new PaletteSwatch(tilvane::ImagePalette::original(), 8));
            auto* slider = new PixelSlider(2, 40, QStringLiteral("Tamanho do pixel"));
            slider->setValue(21);
            return column({new PixelCaption(QStringLiteral("Tamanho Do Pixel")), slider, on, compact, disabled, chips,
                           paletteRow, originalRow, new VTHairline(Qt::Horizontal)});
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
            gallery->setSelection(personalSelectionID(mine.id));
            return gallery;
        },
        900);
}

TEST_F(PanelScreenshotTest, ShaderValueControls)
{
    write(
        QStringLiteral("ShaderValueControls"),
        [] {
            auto* wide = new ShaderValueControl(QStringLiteral("Linhas"), {1, 2000});
            wide->setValue(400);
            auto* narrow = new ShaderValueControl(QStringLiteral("Larg. HSync"), {0.002f, 0.08f});
            narrow->setValue(0.012f);
            auto* above = new ShaderValueControl(QStringLiteral("Intensidade"), {0, 1});
            above->setValue(1.75f);
            auto* disabled = new ShaderValueControl(QStringLiteral("Exposição"), {-2, 2});
            disabled->setEnabled(false);
            return column({wide, narrow, above, disabled});
        },
        280);
}

TEST_F(PanelScreenshotTest, ShaderInspector)
{
    struct Shot {
        const char* name;
        std::string preset;
        bool bezelOn;
        bool motion;
    };
    const Shot shots[] = {{"ShaderInspector-Phosphor", "fosforo", false, true},
                          {"ShaderInspector-TwoPassesWithBezel", "duo", true, false},
                          {"ShaderInspector-CRTWithBezel", "tubo", true, false}};
    for (const auto& shot : shots) {
        write(
            QString::fromLatin1(shot.name),
            [&shot] {
                auto* inspector = new ShaderInspector(inspectorPresets());
                inspector->setPresetID(shot.preset);
                auto configuration =
                    ShaderConfiguration::fromPreset(inspectorPreset(shot.preset), {.motion = shot.motion});
                configuration.bezel.isOn = shot.bezelOn;
                inspector->setReduceMotion(true);
                inspector->setConfiguration(configuration);
                return inspector;
            },
            320);
    }
}

TEST_F(PanelScreenshotTest, CustomPaletteEditor)
{
    write(
        QStringLiteral("CustomPaletteEditor"),
        [] { return column({new CustomPaletteEditor(tilvane::ImagePalette::defaultCustomColors())}); }, 300);
    write(
        QStringLiteral("CustomPaletteEditor-Warning"),
        [] {
            auto* editor = new CustomPaletteEditor({tilvane::RGBColor::hex(0x101820), tilvane::RGBColor::hex(0x335C67)},
                                                   [](const QColor&, const QString&, QWidget*) {
                                                       return std::optional<QColor>(QColor(0x33, 0x5C, 0x67));
                                                   });
            editor->findChild<QAbstractButton*>(QStringLiteral("colorWell"))->click();
            return column({editor});
        },
        300);
}

}  // namespace

}  // namespace tilvane::testing
