#pragma once

#include "Tilvane/Editor/ContentViewState.hpp"
#include "TilvaneShaders/Model/ShaderPreset.hpp"

#include <QList>
#include <QUrl>
#include <QWidget>

#include <functional>
#include <vector>

namespace tilvane {

class ComparisonView;
class ShaderGallery;

// The stage: the comparison on the dotted section background, which takes dropped files, a hairline, and the
// shader gallery. Shows a state; reports the user's actions, and hands dropped files to `openDrop`, which
// answers whether it took them.
class EditorStage : public QWidget {
    Q_OBJECT

public:
    using DropHandler = std::function<bool(const QList<QUrl>& urls)>;

    // The gallery shows `builtInPresets`, the model's.
    EditorStage(std::vector<ShaderPreset> builtInPresets, DropHandler openDrop, QWidget* parent = nullptr);

    void setState(const ContentViewState& state);

signals:
    void fractionEdited(double fraction);
    void compareEnded();
    void openRequested();
    void dropTargeted(bool targeted);
    void shaderSelected(const PresetSelection& id);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    DropHandler openDrop_;
    ComparisonView* comparison_;
    QWidget* dropOverlay_;
    ShaderGallery* gallery_;
};

}  // namespace tilvane
