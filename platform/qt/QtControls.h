#pragma once

#include "platform/Controls.h"
#include "platform/qt/DeferredDisplay.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QStackedWidget;

namespace ostrevan {

// Adapters of the Qt widgets to the control interfaces. They refer to widgets owned by
// their window and must not outlive it. Labels and text fields show what the logic gives
// them as plain text on one line (shownOnOneLine), never as markup, and give back the bytes
// they were given.

class QtLabel final : public Label {
public:
    // Switches the label to plain text: a name like "<img src=...>" must show as typed.
    explicit QtLabel(QLabel& label);
    // The bytes last set, unless the label has been given another text since.
    std::string caption() const override;
    void setCaption(const std::string& caption) override;
    void refresh() override;

private:
    QLabel& m_label;
    std::string m_caption;
};

// A status label that a scan writes for every file: the caption reaches the widget through
// the window's deferred display, and refresh() repaints at most once a display frame.
class QtStatusLabel final : public Label, private DeferredDisplay::Part {
public:
    // Switches the label to plain text, as QtLabel does.
    QtStatusLabel(QLabel& label, DeferredDisplay& display);
    // The bytes last set, unless the label has been given another text since.
    std::string caption() const override;
    void setCaption(const std::string& caption) override;
    void refresh() override;

private:
    void showPending() override;

    QLabel& m_label;
    DeferredDisplay& m_display;
    std::string m_caption;
    bool m_pending = false;
};

class QtTextField final : public TextField {
public:
    explicit QtTextField(QLineEdit& field) : m_field(field) {}
    // The bytes last set, unless the field has been given another text since.
    std::string text() const override;
    void setText(const std::string& text) override;

private:
    QLineEdit& m_field;
    std::string m_text;
};

class QtButton final : public Button {
public:
    explicit QtButton(QPushButton& button) : m_button(button) {}
    bool enabled() const override;
    void setEnabled(bool enabled) override;

private:
    QPushButton& m_button;
};

class QtCheckBox final : public CheckBox {
public:
    explicit QtCheckBox(QCheckBox& box) : m_box(box) {}
    bool enabled() const override;
    void setEnabled(bool enabled) override;
    std::int16_t value() const override;
    void setValue(std::int16_t value) override;

private:
    QCheckBox& m_box;
};

// An editable combo box: text() is the edit part's text.
class QtComboBox final : public ComboBox {
public:
    explicit QtComboBox(QComboBox& box) : m_box(box) {}
    std::string text() const override;
    void addItem(const std::string& item) override;
    std::int32_t listCount() const override;
    std::string list(std::int32_t index) const override;
    std::int32_t listIndex() const override;
    void setSelLength(std::int32_t length) override;

private:
    QComboBox& m_box;
};

class QtPageControl final : public PageControl {
public:
    explicit QtPageControl(QStackedWidget& pages) : m_pages(pages) {}
    std::int16_t tab() const override;
    void setTab(std::int16_t page) override;
    std::int16_t tabs() const override;

private:
    QStackedWidget& m_pages;
};

} // namespace ostrevan
