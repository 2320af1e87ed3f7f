#pragma once

#include "Tilvane/Editor/PersonalPresetRules.hpp"
#include "Tilvane/Views/AccessibleControl.hpp"

#include "TilvaneCore/Uuid.hpp"
#include "TilvanePresets/PersonalPreset.hpp"
#include "TilvaneShaders/Model/ShaderPreset.hpp"

#include <QAbstractButton>
#include <QImage>
#include <QPointer>
#include <QWidget>
#include <map>
#include <optional>
#include <vector>

class QHBoxLayout;
class VTChip;
class VTGlyph;
class VTKeyboardFocus;

namespace tilvane {

// One card of the gallery: a 132 × 78 thumbnail (cropped to fill, never smoothed) or the "▧" placeholder above
// the name, with a "meu" chip on personal presets; `chipBg` with a 2-px `fg` border while selected. Focus the
// keyboard uses draws the kit's focus ring inside that border, so it shows on a selected card as on any other.
class ShaderGalleryCard : public QAbstractButton, public AccessibleControl {
    Q_OBJECT
public:
    static constexpr int cardWidth = 140;
    static constexpr int thumbnailWidth = 132;
    static constexpr int thumbnailHeight = 78;

    ShaderGalleryCard(PresetSelection id, bool personal, QWidget* parent = nullptr);

    const PresetSelection& id() const { return id_; }
    bool isSelected() const { return selected_; }
    void setSelected(bool selected);
    void setName(const QString& name);
    QString name() const { return name_; }
    void setImage(const QImage& image);
    bool hasImage() const { return !image_.isNull(); }
    QRect thumbnailRect() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

    bool isAccessibleSelectable() const override { return true; }
    bool isAccessibleSelected() const override { return selected_; }
    bool isAccessiblePressable() const override { return true; }
    void accessiblePress() override { click(); }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void placeChildren();
    int captionHeight() const;

    PresetSelection id_;
    bool personal_;
    bool selected_ = false;
    QString name_;
    QImage image_;
    VTGlyph* placeholder_;
    VTChip* chip_ = nullptr;
    VTKeyboardFocus* keyboardFocus_;
};

// The strip of preset cards under the comparison: "Sem Shader", the personal presets, then the built-in presets.
// It keeps no selection of its own; a click on a card reports its id (nothing for "Sem Shader").
class ShaderGallery : public QWidget {
    Q_OBJECT
public:
    static constexpr int stripHeight = 154;

    // Shows a card for each of `builtInPresets`, the model's list.
    explicit ShaderGallery(std::vector<ShaderPreset> builtInPresets, QWidget* parent = nullptr);

    void setSelection(const PresetSelection& selection);
    void setPersonalPresets(const std::vector<PersonalPreset>& presets);
    void setBasePreview(const QImage& preview);
    void setPreviews(const std::map<std::string, QImage>& previews);
    void setPersonalPreviews(const std::map<Uuid, QImage>& previews);

    // The cards in strip order.
    QList<ShaderGalleryCard*> cards() const;

signals:
    void shaderSelected(const PresetSelection& id);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    struct CardContent {
        PresetSelection id;
        QString name;
        QImage image;
        bool personal;
    };
    std::vector<CardContent> contents() const;
    void refresh();

    std::vector<ShaderPreset> builtIns_;
    PresetSelection selection_;
    std::vector<PersonalPreset> personalPresets_;
    QImage basePreview_;
    std::map<std::string, QImage> previews_;
    std::map<Uuid, QImage> personalPreviews_;

    QHBoxLayout* row_;
    QList<QPointer<ShaderGalleryCard>> cards_;
};

}  // namespace tilvane
