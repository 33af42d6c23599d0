#include "platform/qt/QtControls.h"

#include "platform/Error.h"
#include "platform/qt/QtText.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStackedWidget>

namespace ostrevan {
namespace {

QString toQt(const std::string& text) {
    return QString::fromStdString(text);
}
std::string fromQt(const QString& text) {
    return text.toStdString();
}

// What a widget holds: the bytes last set, unless it has been given another text since.
std::string heldText(const QString& shown, const std::string& lastSet) {
    return shown == shownOnOneLine(lastSet) ? lastSet : fromQt(shown);
}

} // namespace

QtLabel::QtLabel(QLabel& label) : m_label(label) {
    m_label.setTextFormat(Qt::PlainText);
}

std::string QtLabel::caption() const {
    return heldText(m_label.text(), m_caption);
}

void QtLabel::setCaption(const std::string& caption) {
    m_caption = caption;
    m_label.setText(shownOnOneLine(caption));
}

void QtLabel::refresh() {
    m_label.repaint();
}

QtStatusLabel::QtStatusLabel(QLabel& label, DeferredDisplay& display)
    : m_label(label), m_display(display) {
    m_label.setTextFormat(Qt::PlainText);
    m_display.addShownAtRefresh(*this);
}

std::string QtStatusLabel::caption() const {
    return m_pending ? m_caption : heldText(m_label.text(), m_caption);
}

void QtStatusLabel::setCaption(const std::string& caption) {
    m_caption = caption;
    if (!m_pending) {
        m_pending = true;
        m_display.changed();
    }
}

void QtStatusLabel::refresh() {
    m_display.refresh(m_label);
}

void QtStatusLabel::showPending() {
    if (m_pending) {
        m_pending = false;
        m_label.setText(shownOnOneLine(m_caption));
    }
}

std::string QtTextField::text() const {
    return heldText(m_field.text(), m_text);
}

void QtTextField::setText(const std::string& text) {
    m_text = text;
    m_field.setText(shownOnOneLine(text));
}

bool QtButton::enabled() const {
    return m_button.isEnabled();
}

void QtButton::setEnabled(bool enabled) {
    m_button.setEnabled(enabled);
}

bool QtCheckBox::enabled() const {
    return m_box.isEnabled();
}

void QtCheckBox::setEnabled(bool enabled) {
    m_box.setEnabled(enabled);
}

std::int16_t QtCheckBox::value() const {
    return m_box.isChecked() ? 1 : 0;
}

void QtCheckBox::setValue(std::int16_t value) {
    m_box.setChecked(value != 0);
}

std::string QtComboBox::text() const {
    return fromQt(m_box.currentText());
}

void QtComboBox::addItem(const std::string& item) {
    // Adding to an empty editable box would select the entry and replace the edit text.
    const QString editText = m_box.currentText();
    const int index = m_box.currentIndex();
    m_box.addItem(toQt(item));
    m_box.setCurrentIndex(index);
    m_box.setEditText(editText);
}

std::int32_t QtComboBox::listCount() const {
    return m_box.count();
}

std::string QtComboBox::list(std::int32_t index) const {
    if (index < 0 || index >= m_box.count()) {
        raise(err::SubscriptOutOfRange);
    }
    return fromQt(m_box.itemText(index));
}

std::int32_t QtComboBox::listIndex() const {
    return m_box.currentIndex();
}

void QtComboBox::setSelLength(std::int32_t length) {
    QLineEdit* edit = m_box.lineEdit();
    if (edit == nullptr) {
        return;
    }
    if (length <= 0) {
        edit->deselect();
        return;
    }
    edit->setSelection(edit->cursorPosition(), length);
}

std::int16_t QtPageControl::tab() const {
    return static_cast<std::int16_t>(m_pages.currentIndex());
}

void QtPageControl::setTab(std::int16_t page) {
    if (page < 0 || page >= m_pages.count()) {
        raise(err::InvalidCall);
    }
    m_pages.setCurrentIndex(page);
}

std::int16_t QtPageControl::tabs() const {
    return static_cast<std::int16_t>(m_pages.count());
}

} // namespace ostrevan
