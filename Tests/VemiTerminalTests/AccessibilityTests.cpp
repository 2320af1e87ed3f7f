#include "KitTestSupport.hpp"

#include "VemiTerminal/Components/VTChip.hpp"
#include "VemiTerminal/Components/VTDisplayText.hpp"
#include "VemiTerminal/Components/VTGlyph.hpp"
#include "VemiTerminal/Components/VTNavBar.hpp"

#include <QAccessible>
#include <functional>
#include <memory>

namespace {

QAccessibleInterface* accessible(QWidget* widget)
{
    return QAccessible::queryAccessibleInterface(widget);
}

TEST(VTAccessibilityTest, KitTextsReadAsStaticTextAndWindowsAsGroupsNamedByTheirTitles)
{
    const std::tuple<const char*, std::function<QWidget*()>, QAccessible::Role, QString> rows[] = {
        {"text", [] { return new VTText(QStringLiteral("decisões calibradas"), VTTextStyle::pixelMD); },
         QAccessible::StaticText, QStringLiteral("decisões calibradas")},
        {"label", [] { return new VTLabel(QStringLiteral("Janelas")); }, QAccessible::StaticText,
         QStringLiteral("Janelas")},
        {"footnote", [] { return new VTFootnote(QStringLiteral("*Baseado")); }, QAccessible::StaticText,
         QStringLiteral("*Baseado")},
        {"chip", [] { return new VTChip(QStringLiteral("Tipado"), {.showsGlyph = true}); }, QAccessible::StaticText,
         QStringLiteral("tipado")},
        {"glyph", [] { return new VTGlyph(QStringLiteral("8 PX")); }, QAccessible::StaticText, QStringLiteral("8 PX")},
        {"display text",
         [] {
             return new VTDisplayText(QStringLiteral("193.6x Mais Rápido,\n444.6x Mais Barato."),
                                      VTTextStyle::displayMD);
         },
         QAccessible::StaticText, QStringLiteral("193.6x Mais Rápido,\n444.6x Mais Barato.")},
        {"window", [] { return new VTWindow(QStringLiteral("Clock Tool 1.1"), QStringLiteral("\u25A2")); },
         QAccessible::Grouping, QStringLiteral("Clock Tool 1.1")},
    };
    for (const auto& [name, make, role, text] : rows) {
        SCOPED_TRACE(name);
        const std::unique_ptr<QWidget> widget(make());
        QAccessibleInterface* interface = accessible(widget.get());
        ASSERT_TRUE(interface != nullptr);
        EXPECT_EQ(std::pair(interface->role(), interface->text(QAccessible::Name)), std::pair(role, text));
        widget->setAccessibleName(QStringLiteral("Nome do chamador"));  // a name the caller gives wins
        EXPECT_EQ(interface->text(QAccessible::Name), QStringLiteral("Nome do chamador"));
    }
}

TEST(VTAccessibilityTest, NamesFollowTextChanges)
{
    VTText text(QStringLiteral("13:30:37"), VTTextStyle::pixelMD);
    VTChip chip(QStringLiteral("Curto"));
    text.setText(QStringLiteral("13:30:38"));
    chip.setText(QStringLiteral("Longo"));
    EXPECT_EQ(accessible(&text)->text(QAccessible::Name), QStringLiteral("13:30:38"));
    EXPECT_EQ(accessible(&chip)->text(QAccessible::Name), QStringLiteral("longo"));
}

TEST(VTAccessibilityTest, NavigationBarBrandIsReadAsOneStaticText)
{
    VTNavBar bar(QStringLiteral("Tilvane"), 16, std::nullopt);
    QAccessibleInterface* interface = accessible(&bar);
    QStringList texts;
    for (int index = 0; index < interface->childCount(); ++index) {
        const QAccessibleInterface* child = interface->child(index);
        if (child->role() == QAccessible::StaticText) texts.append(child->text(QAccessible::Name));
    }
    EXPECT_EQ(texts, QStringList({QStringLiteral("Tilvane")}));
}

TEST(VTAccessibilityTest, TextFieldIsNamedByItsPlaceholderUnlessTheCallerNamesIt)
{
    VTTextField field(QStringLiteral("Buscar"));
    QAccessibleInterface* interface = accessible(&field);
    EXPECT_EQ(std::pair(interface->role(), interface->text(QAccessible::Name)),
              std::pair(QAccessible::EditableText, QStringLiteral("Buscar")));
    field.setAccessibleName(QStringLiteral("Nome do preset"));
    EXPECT_EQ(interface->text(QAccessible::Name), QStringLiteral("Nome do preset"));
}

}  // namespace
