// The windows drawn with the design's Tahoma: every text whole where the design puts it.

#include "app/frmHelp.h"
#include "app/frmMain.h"
#include "errors/frmErrorMessage.h"
#include "platform/qt/DesignLayout.h"
#include "tests/errors/FakeRegistryFunctions.h"
#include "tests/support/FakeWindowServices.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFontInfo>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionComboBox>

#include <gtest/gtest.h>

#include <memory>

namespace ostrevan {
namespace {

using namespace fakes;

std::string name(const QWidget& widget) {
    return widget.objectName().toStdString();
}

int advance(const QWidget& widget, const QString& text) {
    return QFontMetrics(widget.font()).horizontalAdvance(text);
}

// A label shows all its text: on one line where the design gives it one line's height,
// wrapped within its height otherwise.
void expectWhole(const QLabel& label) {
    const QFontMetrics metrics(label.font());
    if (!label.wordWrap() || label.height() < 2 * metrics.lineSpacing()) {
        EXPECT_LE(metrics.horizontalAdvance(label.text()), label.width())
            << name(label) << " does not fit on one line";
    } else {
        const QRect needed =
            metrics.boundingRect(QRect(0, 0, label.width(), 10000), Qt::TextWordWrap, label.text());
        EXPECT_LE(needed.height(), label.height()) << name(label) << " is cut below";
    }
}

// A caption keeps the style's margin to the button's border on both sides.
void expectWhole(const QPushButton& button) {
    const QStyle& style = *button.style();
    const int margin = style.pixelMetric(QStyle::PM_ButtonMargin, nullptr, &button) +
                       2 * style.pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, &button);
    QString caption = button.text();
    caption.remove(QLatin1Char('&'));
    EXPECT_LE(advance(button, caption) + margin, button.width())
        << name(button) << " touches its border";
}

void expectEveryTextWhole(const QWidget& window) {
    for (const QLabel* label : window.findChildren<QLabel*>()) {
        if (!label->text().isEmpty()) {
            expectWhole(*label);
        }
    }
    for (const QPushButton* button : window.findChildren<QPushButton*>()) {
        expectWhole(*button);
    }
    for (const QCheckBox* box : window.findChildren<QCheckBox*>()) {
        EXPECT_LE(box->sizeHint().width(), box->width()) << name(*box);
    }
}

// The width the combo box's edit field gives its text, as the style lays it out: the line
// edit starts its text 2 pixels in and clips it at the field's end.
int comboTextRoom(const QComboBox& combo) {
    QStyleOptionComboBox option;
    option.initFrom(&combo);
    option.editable = true;
    const QRect field = combo.style()->subControlRect(QStyle::CC_ComboBox, &option,
                                                      QStyle::SC_ComboBoxEditField, &combo);
    return field.width() - 2;
}

bool isTahoma(const QWidget& widget) {
    return QFontInfo(widget.font()).family() == QStringLiteral("Tahoma");
}

class DesignFont : public ::testing::Test, protected FakeWindowServices {
protected:
    UnusedFileSystem fileSystem;
    FakeRegistryFunctions registry;
};

TEST_F(DesignFont, TheWindowsHaveTahomaRegularAndBold) {
    const frmMain window(services(fileSystem, "/opt/ostrevan"));
    ASSERT_TRUE(isTahoma(window)) << "Tahoma is missing: install-deps brings fonts-wine";
    const auto& heading = *window.findChild<QLabel*>(QStringLiteral("Label10"));
    EXPECT_TRUE(isTahoma(heading));
    EXPECT_EQ(QFontInfo(heading.font()).styleName(), QStringLiteral("Bold"));
    const frmHelp help(screen);
    EXPECT_TRUE(isTahoma(help));
}

TEST_F(DesignFont, EveryTextOfTheMainWindowIsWhole) {
    const frmMain window(services(fileSystem, "/opt/ostrevan"));
    expectEveryTextWhole(window);

    const auto& combo = *window.findChild<QComboBox*>(QStringLiteral("com_RefType"));
    const int room = comboTextRoom(combo);
    EXPECT_LE(advance(combo, combo.currentText()), room) << "the design text is cut";
    for (int i = 0; i < combo.count(); ++i) {
        EXPECT_LE(advance(combo, combo.itemText(i)), room) << "entry " << i << " is cut";
    }
}

TEST_F(DesignFont, EveryTextOfTheHelpWindowIsWhole) {
    const frmHelp help(screen);
    expectEveryTextWhole(help);
    const auto& list = *help.findChild<QListWidget*>(QStringLiteral("List1"));
    const int itemMargin = list.style()->pixelMetric(QStyle::PM_FocusFrameHMargin) + 1;
    const int room = list.contentsRect().width() - 2 * itemMargin;
    for (int i = 0; i < list.count(); ++i) {
        EXPECT_LE(advance(list, list.item(i)->text()), room) << "line " << i;
    }
}

TEST_F(DesignFont, EveryTextOfTheErrorDialogIsWhole) {
    const frmErrorMessage dialog(
        ErrorDialogServices{messages, pointer, screen, shell, registry, [](int) {
                            }});
    expectEveryTextWhole(dialog);
    const auto& frame = *dialog.findChild<QGroupBox*>(QStringLiteral("Frame2"));
    EXPECT_LE(advance(frame, frame.title()), frame.width());
}

} // namespace
} // namespace ostrevan
