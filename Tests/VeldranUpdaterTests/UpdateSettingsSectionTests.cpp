#include "VeldranUpdater/AppUpdater.hpp"
#include "VeldranUpdater/UpdateSettingsSection.hpp"

#include <QLabel>
#include <QVBoxLayout>

#include <gtest/gtest.h>

namespace {

// The note takes the width its column offers and grows to show every line of its text, however narrow the column.
TEST(UpdateSettingsSection, TheNoteShowsAllItsLinesAtTheWidthItIsOffered)
{
    veldran::AppUpdater updater(QStringLiteral("tilvane"));
    for (const int width : {270, 378, 600}) {
        SCOPED_TRACE(width);
        QWidget column;
        auto* layout = new QVBoxLayout(&column);
        layout->setContentsMargins(0, 0, 0, 0);
        auto* section = new veldran::UpdateSettingsSection(updater);
        layout->addWidget(section);
        // Sized as a parent layout sizes it: the offered width, and the height it asks for at that width.
        ASSERT_TRUE(column.hasHeightForWidth());
        column.resize(width, column.heightForWidth(width));
        column.show();
        const QLabel* note = nullptr;
        for (const QLabel* label : section->findChildren<QLabel*>())
            if (label->text() == "Atualizações automáticas não estão disponíveis nesta versão.") note = label;
        ASSERT_NE(note, nullptr);
        EXPECT_EQ(note->width(), width);
        const QRect needed = note->fontMetrics().boundingRect(QRect(0, 0, note->contentsRect().width(), 10'000),
                                                              Qt::TextWordWrap, note->text());
        EXPECT_GE(note->contentsRect().height(), needed.height());
        EXPECT_LE(note->mapTo(&column, QPoint(0, note->height())).y(), column.height()) << "inside its column";
    }
}

}  // namespace
