// What the Qt adapters show of names: plain text on one line, never markup, and the bytes
// they were given handed back.

#include "platform/qt/QtControls.h"
#include "platform/qt/QtServices.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QTimer>

#include <gtest/gtest.h>

namespace ostrevan {
namespace {

struct NameRow {
    const char* name;
    std::string bytes;
    QString shown;
};

const NameRow kNames[] = {
    {"markup", "/Daten/<img src=/dev/zero>/<b>fett</b>",
     QStringLiteral("/Daten/<img src=/dev/zero>/<b>fett</b>")},
    {"Latin-1 byte", "/Daten/Geh\xE4use.par", QStringLiteral("/Daten/Gehäuse.par")},
    {"line break", "a\r\n00099   FORGED", QStringLiteral("a\u240D\u240A00099   FORGED")},
};

TEST(PlainText, LabelsShowNamesAsTypedOnOneLineAndKeepTheirBytes) {
    QLabel widget;
    QtLabel label(widget);
    EXPECT_EQ(widget.textFormat(), Qt::PlainText);
    for (const NameRow& row : kNames) {
        label.setCaption(row.bytes);
        EXPECT_EQ(widget.text(), row.shown) << row.name;
        EXPECT_EQ(label.caption(), row.bytes) << row.name;
    }
}

TEST(PlainText, TextFieldsKeepTheBytesTheyShow) {
    QLineEdit widget;
    QtTextField field(widget);
    for (const NameRow& row : kNames) {
        field.setText(row.bytes);
        EXPECT_EQ(widget.text(), row.shown) << row.name;
        EXPECT_EQ(field.text(), row.bytes) << row.name;
    }
    widget.setText(QStringLiteral("/anders"));
    EXPECT_EQ(field.text(), "/anders") << "a text set since is what the field holds";
}

TEST(PlainText, MessageBoxesShowNamesAsTyped) {
    Qt::TextFormat format = Qt::AutoText;
    QString text;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        format = box->textFormat();
        text = box->text();
        box->accept();
    });
    QtMessageBox messageBox;
    messageBox.show("ReadReference() <img src=/dev/zero> Geh\xE4use 321\n\nzweite Zeile");
    EXPECT_EQ(format, Qt::PlainText);
    EXPECT_EQ(text,
              QStringLiteral("ReadReference() <img src=/dev/zero> Gehäuse 321\n\nzweite Zeile"));
}

} // namespace
} // namespace ostrevan
