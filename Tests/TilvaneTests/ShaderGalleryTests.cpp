#include "PanelTestSupport.hpp"

#include "Tilvane/Views/ShaderGallery.hpp"

#include <QPainter>
#include <QScrollArea>
#include <QScrollBar>
#include <QWheelEvent>

namespace tilvane::testing {

namespace {

using namespace panels;

// The selection id of a personal preset, as the cards' names carry it.
QString personalCardID(const PersonalPreset& preset)
{
    return QString::fromStdString(personalSelectionID(preset.id));
}

PersonalPreset personal(const char* name)
{
    PersonalPreset preset;
    preset.id = Uuid::random();
    preset.name = name;
    return preset;
}

class ShaderGalleryTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_GE(builtInPresets().size(), 2u);
        gallery = new ShaderGallery(builtInPresets());
        QObject::connect(gallery, &ShaderGallery::shaderSelected,
                         [this](const PresetSelection& id) { reported.push_back(id); });
    }

    void show(VTAppearance appearance = VTAppearance::vemi)
    {
        stage = std::make_unique<Stage>(gallery, appearance, 900);
    }

    ShaderGalleryCard& card(const QString& name) { return child<ShaderGalleryCard>(*gallery, name); }

    QStringList order() const
    {
        QStringList ids;
        for (const auto* card : gallery->cards()) ids << QString::fromStdString(card->id().value_or("—"));
        return ids;
    }

    ShaderGallery* gallery = nullptr;
    std::unique_ptr<Stage> stage;
    std::vector<PresetSelection> reported;
};

TEST_F(ShaderGalleryTest, CardsRunFromNoShaderThroughPersonalToBuiltIn)
{
    const PersonalPreset first = personal("Meu CRT");
    const PersonalPreset twin = personal("Meu CRT");
    gallery->setPersonalPresets({first, twin});
    show();
    QStringList expected{QStringLiteral("—"), personalCardID(first), personalCardID(twin)};
    for (const auto& preset : builtInPresets()) expected << QString::fromStdString(preset.id);
    EXPECT_EQ(order(), expected);
    EXPECT_EQ(gallery->height(), 154);

    gallery->setPersonalPresets({});
    expected.removeAt(1);
    expected.removeAt(1);
    EXPECT_EQ(order(), expected) << "no personal presets: built-in cards follow at once";
}

TEST_F(ShaderGalleryTest, SelectionMatchesExactIDsOnlyAndNamesTellPersonalPresetsApart)
{
    const PersonalPreset mine = personal("Âmbar");
    gallery->setPersonalPresets({mine});
    show();
    const QString upper = personalCardID(mine);
    const QString builtIn = QString::fromStdString(builtInPresets()[1].id);
    struct Row {
        const char* name;
        std::optional<QString> selection;
        QString selectedCard;
    };
    const Row rows[] = {
        {"nothing selects the no-shader card", std::nullopt, QStringLiteral("noShaderCard")},
        {"a personal id", upper, QStringLiteral("shaderCard:") + upper},
        {"a built-in id", builtIn, QStringLiteral("shaderCard:") + builtIn},
        {"a lower-case personal id selects nothing", upper.toLower(), QString()},
        {"an unknown id selects nothing", QStringLiteral("nao-existe"), QString()},
        {"a different-case built-in id selects nothing", builtIn.toUpper(), QString()},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        gallery->setSelection(row.selection ? PresetSelection(row.selection->toStdString()) : std::nullopt);
        for (auto* card : gallery->cards()) {
            EXPECT_EQ(card->isSelected(), card->objectName() == row.selectedCard) << card->objectName().toStdString();
            EXPECT_EQ(accessible(*card).state().selected, card->isSelected());
        }
    }
    EXPECT_EQ(accessible(card(QStringLiteral("noShaderCard"))).text(QAccessible::Name), "Sem Shader");
    EXPECT_EQ(accessible(card(QStringLiteral("shaderCard:") + upper)).text(QAccessible::Name), "Preset pessoal: Âmbar");
    EXPECT_EQ(accessible(card(QStringLiteral("shaderCard:") + builtIn)).text(QAccessible::Name),
              QString::fromStdString(builtInPresets()[1].name));
}

TEST_F(ShaderGalleryTest, EachCardIsOneAccessibleElementWithoutItsPlaceholderOrChip)
{
    const PersonalPreset mine = personal("Âmbar");
    gallery->setPersonalPresets({mine});
    show();
    QStringList names;
    for (const QAccessibleInterface* element : accessibleTree(*gallery)) names << element->text(QAccessible::Name);
    EXPECT_FALSE(names.contains(QStringLiteral("meu")));
    EXPECT_FALSE(names.contains(QStringLiteral("▧")));
    EXPECT_EQ(names.count(QStringLiteral("Preset pessoal: Âmbar")), 1);
    for (auto* card : gallery->cards()) {
        SCOPED_TRACE(card->objectName().toStdString());
        EXPECT_TRUE(reachesAccessibly(*gallery, *card));
        EXPECT_EQ(accessible(*card).childCount(), 0);
        for (const QWidget* part : card->findChildren<QWidget*>()) EXPECT_FALSE(reachesAccessibly(*gallery, *part));
    }
}

TEST_F(ShaderGalleryTest, SelectedCardIsDrawnOnChipGroundWithATwoPixelBorder)
{
    for (const auto appearance : {VTAppearance::vemi, VTAppearance::noite}) {
        SetUp();
        show(appearance);
        const VTTheme& theme = stage->theme();
        ShaderGalleryCard& selected = card(QStringLiteral("noShaderCard"));
        ShaderGalleryCard& other = card(QStringLiteral("shaderCard:") + QString::fromStdString(builtInPresets()[0].id));
        const QImage on = snapshot(selected);
        const QImage off = snapshot(other);
        EXPECT_TRUE(sameColour(on.pixelColor(1, 60), theme.fg)) << "2-px border";
        EXPECT_TRUE(sameColour(on.pixelColor(2, 60), theme.chipBg));
        EXPECT_TRUE(sameColour(off.pixelColor(0, 60), theme.border));
        EXPECT_TRUE(sameColour(off.pixelColor(1, 60), theme.bgWindow)) << "1-px border";
    }
}

TEST_F(ShaderGalleryTest, AClickReportsTheCardsIDAndTheOwnerMayRebuildTheStrip)
{
    const PersonalPreset mine = personal("Âmbar");
    gallery->setPersonalPresets({mine});
    show();
    const QString id = personalCardID(mine);
    clickAt(card(QStringLiteral("noShaderCard")), {70, 40});
    gallery->setSelection(id.toStdString());
    clickAt(card(QStringLiteral("shaderCard:") + id), {70, 40});
    ASSERT_EQ(reported.size(), 2u);
    EXPECT_EQ(reported[0], std::nullopt);
    EXPECT_EQ(reported[1], id.toStdString()) << "even when already selected";
    EXPECT_TRUE(card(QStringLiteral("shaderCard:") + id).isSelected()) << "the gallery changes nothing itself";

    QObject::connect(gallery, &ShaderGallery::shaderSelected, gallery, [this] { gallery->setPersonalPresets({}); });
    clickAt(card(QStringLiteral("shaderCard:") + id), {70, 40});
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(reported.size(), 3u);
    EXPECT_EQ(gallery->cards().size(), static_cast<qsizetype>(builtInPresets().size() + 1));
}

TEST_F(ShaderGalleryTest, AWheelScrollsTheStripSidewaysAndNothingScrollsByItself)
{
    stage = std::make_unique<Stage>(gallery, VTAppearance::vemi, 400);
    auto& scroll = child<QScrollArea>(*gallery, QStringLiteral("galleryScroll"));
    QScrollBar* bar = scroll.horizontalScrollBar();
    ASSERT_GT(bar->maximum(), 0);
    gallery->setSelection(builtInPresets().back().id);
    EXPECT_EQ(bar->value(), 0) << "no scrolling to the selected card";
    const QPointF at(100, 60);
    QWheelEvent wheel(at, scroll.viewport()->mapToGlobal(at), {}, QPoint(0, -120), Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(scroll.viewport(), &wheel);
    EXPECT_GT(bar->value(), 0);
}

TEST_F(ShaderGalleryTest, PreviewsFillTheBoxCroppedAndUnsmoothedElseThePlaceholderShows)
{
    // Red, green and blue bands: aspect fill shows only the green middle.
    QImage wide(30, 5, QImage::Format_RGB32);
    QPainter painter(&wide);
    painter.fillRect(0, 0, 10, 5, Qt::red);
    painter.fillRect(10, 0, 10, 5, Qt::green);
    painter.fillRect(20, 0, 10, 5, Qt::blue);
    painter.end();
    // A 2 × 2 checker: without smoothing, no blended colour appears.
    QImage checker(2, 2, QImage::Format_RGB32);
    checker.setPixelColor(0, 0, Qt::black);
    checker.setPixelColor(1, 1, Qt::black);
    checker.setPixelColor(1, 0, Qt::white);
    checker.setPixelColor(0, 1, Qt::white);

    const std::string firstID = builtInPresets()[0].id;
    gallery->setBasePreview(wide);
    gallery->setPreviews({{firstID, checker}});
    show();

    ShaderGalleryCard& base = card(QStringLiteral("noShaderCard"));
    const QRect box = base.thumbnailRect();
    const QImage baseImage = snapshot(base);
    EXPECT_TRUE(sameColour(baseImage.pixelColor(box.left() + 2, box.center().y()), Qt::green))
        << "cropped, not letterboxed";
    EXPECT_TRUE(sameColour(baseImage.pixelColor(box.right() - 2, box.center().y()), Qt::green));

    const QRect inner = box.adjusted(1, 1, -1, -1);
    const QImage checkerImage = snapshot(card(QStringLiteral("shaderCard:") + QString::fromStdString(firstID)));
    EXPECT_EQ(countColour(checkerImage, inner, Qt::black) + countColour(checkerImage, inner, Qt::white),
              inner.width() * inner.height());

    // A preset without a preview shows "▧" on bgSection.
    ShaderGalleryCard& bare = card(QStringLiteral("shaderCard:") + QString::fromStdString(builtInPresets()[1].id));
    EXPECT_FALSE(bare.hasImage());
    const QImage bareImage = snapshot(bare);
    EXPECT_TRUE(sameColour(bareImage.pixelColor(box.left() + 2, box.top() + 2), stage->theme().bgSection));
    EXPECT_GT(countColour(bareImage, inner, stage->theme().glyphBg), 200) << "the placeholder badge";
    EXPECT_GT(countColour(bareImage, inner, stage->theme().glyphFg), 10) << "the glyph on it";
}

}  // namespace

}  // namespace tilvane::testing
