#pragma once

#include "Tilvane/Editor/ContentViewState.hpp"
#include "TilvaneShaders/Model/ShaderPreset.hpp"

#include <QList>
#include <QUrl>
#include <QWidget>

#include <vector>

namespace tilvane {

class ComparisonView;
class ShaderGallery;

// The stage: the comparison on the dotted section background, which takes dropped files, a hairline, and the
// shader gallery. Shows a state; reports the user's actions.
class EditorStage : public QWidget {
    Q_OBJECT

public:
    // The gallery shows `builtInPresets`, the model's.
    explicit EditorStage(std::vector<ShaderPreset> builtInPresets, QWidget* parent = nullptr);

    void setState(const ContentViewState& state);

signals:
    void fractionEdited(double fraction);
    void compareEnded();
    void openRequested();
    void dropTargeted(bool targeted);
    // Returns through `accepted` whether the drop was taken.
    void urlsDropped(const QList<QUrl>& urls, bool* accepted);
    void shaderSelected(const PresetSelection& id);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    ComparisonView* comparison_;
    QWidget* dropOverlay_;
    ShaderGallery* gallery_;
};

}  // namespace tilvane
