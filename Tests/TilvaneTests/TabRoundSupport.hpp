#pragma once

// Rounds of Tab and Backtab through an editor window, and the regions of the window its stops lie in: what the
// offscreen and the real-window focus tests share.

#include "FocusRingSupport.hpp"

#include "Tilvane/Views/InspectorPanel.hpp"
#include "Tilvane/Views/ShaderGallery.hpp"

#include "VemiTerminal/Components/VTButton.hpp"

#include <QApplication>
#include <QList>
#include <QTest>

#include <functional>

namespace tilvane::testing {

// The parts of the editor window Tab goes through, in the order the screen shows them.
enum class WindowRegion { bar, gallery, column, elsewhere };

inline QWidget& columnContent(QWidget& window)
{
    return *window.findChild<InspectorPanel*>(QStringLiteral("inspectorPanel"))->widget();
}

inline WindowRegion regionOf(QWidget& window, const QWidget& control)
{
    if (window.findChild<QWidget*>(QStringLiteral("navigationBar"))->isAncestorOf(&control)) return WindowRegion::bar;
    if (window.findChild<QWidget*>(QStringLiteral("gallery"))->isAncestorOf(&control)) return WindowRegion::gallery;
    if (columnContent(window).isAncestorOf(&control)) return WindowRegion::column;
    return WindowRegion::elsewhere;
}

// What a stop is called in messages and in the lists of stops: its object name, with a button's words when the
// name does not say them.
inline QString stopName(const QWidget& control)
{
    const QString name = control.objectName();
    if (const auto* button = qobject_cast<const QAbstractButton*>(&control);
        button != nullptr && !button->text().isEmpty() && !name.startsWith(QStringLiteral("shaderCard"))) {
        return name + QStringLiteral(" \"") + button->text() + u'"';
    }
    return name;
}

// Presses `key` in the focus widget until the focus comes back to where it was: the stops in order, the first
// stop the key reached first and the last one the start. Stops after `mostStops` presses when it never comes back,
// or when the focus leaves the application. `atEachStop` sees each stop as the key leaves it.
inline QList<QWidget*> round(Qt::Key key, int mostStops = 300, const std::function<void(QWidget&)>& atEachStop = {})
{
    QWidget* const start = QApplication::focusWidget();
    QList<QWidget*> stops;
    while (start != nullptr && stops.size() < mostStops && (stops.isEmpty() || stops.back() != start)) {
        QTest::keyClick(QApplication::focusWidget(), key);
        QWidget* stop = QApplication::focusWidget();
        if (stop == nullptr) break;
        stops.append(stop);
        if (atEachStop) atEachStop(*stop);
    }
    return stops;
}

}  // namespace tilvane::testing
