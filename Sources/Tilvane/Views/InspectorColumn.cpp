#include "Tilvane/Views/InspectorColumn.hpp"

#include "Tilvane/Views/ContentView.hpp"
#include "VemiTerminal/Theme/VTBackground.hpp"

#include <QVBoxLayout>

InspectorColumn::InspectorColumn(tilvane::ContentView& view, QWidget* parent) : QWidget(parent), view_(view)
{
    setObjectName(QStringLiteral("inspector"));
    setFixedWidth(columnWidth);
    vtPage(this);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addStretch(1);
}

void InspectorColumn::refresh() {}
