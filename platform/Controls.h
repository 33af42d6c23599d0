#pragma once

#include <cstdint>
#include <string>

namespace ostrevan {

// The form's controls as the logic writes them. The Qt adapters live in platform/qt; tests
// use plain fakes. A control never raises on its own.

class Label {
public:
    virtual ~Label() = default;
    virtual std::string caption() const = 0;
    virtual void setCaption(const std::string& caption) = 0;
    // Repaints the label now, during a scan that holds the user-interface thread.
    virtual void refresh() = 0;
};

class TextField {
public:
    virtual ~TextField() = default;
    virtual std::string text() const = 0;
    virtual void setText(const std::string& text) = 0;
};

class Button {
public:
    virtual ~Button() = default;
    virtual bool enabled() const = 0;
    virtual void setEnabled(bool enabled) = 0;
};

class CheckBox {
public:
    virtual ~CheckBox() = default;
    virtual bool enabled() const = 0;
    virtual void setEnabled(bool enabled) = 0;
    // 0 unchecked, 1 checked.
    virtual std::int16_t value() const = 0;
    virtual void setValue(std::int16_t value) = 0;
};

class ComboBox {
public:
    virtual ~ComboBox() = default;
    // The edit part's text.
    virtual std::string text() const = 0;
    virtual void addItem(const std::string& item) = 0;
    virtual std::int32_t listCount() const = 0;
    // Entry 0 .. listCount() - 1.
    virtual std::string list(std::int32_t index) const = 0;
    // The selected entry, -1 for none.
    virtual std::int32_t listIndex() const = 0;
    virtual void setSelLength(std::int32_t length) = 0;
};

// The result list: rows of an item text and sub-items 1 and 2, counted from 1.
class ListView {
public:
    virtual ~ListView() = default;
    virtual void clear() = 0;
    virtual std::int32_t count() const = 0;
    // Appends a row with the item text; returns its index (1-based).
    virtual std::int32_t add(const std::string& text) = 0;
    // column 0 is the item text, 1 and 2 the sub-items. A row outside 1..count() raises 9.
    virtual void setText(std::int32_t row, int column, const std::string& text) = 0;
    virtual std::string text(std::int32_t row, int column) const = 0;
};

class PageControl {
public:
    virtual ~PageControl() = default;
    virtual std::int16_t tab() const = 0;
    // A page outside 0..tabs()-1 raises 5.
    virtual void setTab(std::int16_t page) = 0;
    virtual std::int16_t tabs() const = 0;
};

// OK-only message boxes without icon, titled with the program's name.
class MessageBox {
public:
    virtual ~MessageBox() = default;
    virtual void show(const std::string& text) = 0;
};

// The screen-wide mouse pointer.
class MousePointer {
public:
    virtual ~MousePointer() = default;
    static constexpr std::int16_t Default = 0;
    static constexpr std::int16_t Hourglass = 11;
    virtual std::int16_t pointer() const = 0;
    virtual void setPointer(std::int16_t pointer) = 0;
};

} // namespace ostrevan

namespace ostrevan {

// The screen's size in twips (1440 per inch).
class Screen {
public:
    virtual ~Screen() = default;
    virtual double widthTwips() const = 0;
    virtual double heightTwips() const = 0;
};

} // namespace ostrevan
