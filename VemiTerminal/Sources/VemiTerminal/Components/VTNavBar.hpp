#pragma once

#include "VemiTerminal/Components/VTButton.hpp"

#include <QImage>
#include <QWidget>
#include <optional>
#include <utility>

class QHBoxLayout;

// The strip across the top of a window, on `bgPage`: the brand word (its last two characters in a fixed pink)
// and the brand icon at the leading end, then the centre group (16 apart) and the trailing group (8 apart). At
// least 16 separate the brand, the centre and the trailing group: a narrow bar shortens the centre instead.
class VTNavBar : public QWidget {
    Q_OBJECT
public:
    // Shows the kit's own brand icon when its bundle holds one.
    VTNavBar(const QString& brand, qreal leadingInset, QWidget* parent = nullptr);
    VTNavBar(const QString& brand, qreal leadingInset, const std::optional<QImage>& icon, QWidget* parent = nullptr);

    void addCenter(QWidget* widget);
    void addTrailing(QWidget* widget);

    // The brand without its last two user-perceived characters, and those two.
    static std::pair<QString, QString> splitBrand(const QString& brand);
    // The fixed pink of the brand's last two characters.
    static QColor brandPink();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QHBoxLayout* center_;
    QHBoxLayout* trailing_;
};

// A text button for a navigation bar, in the ghost look; `clicked` is its action.
class VTNavLink : public VTButton {
    Q_OBJECT
public:
    explicit VTNavLink(const QString& title, QWidget* parent = nullptr);
};

// The picture "tilvane-icon-transparent-small.png" of a resource folder, when it is there and readable.
std::optional<QImage> vtLoadBrandIcon(const QString& resourceFolder);
