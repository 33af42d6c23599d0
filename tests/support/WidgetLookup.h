#pragma once

#include <QPushButton>
#include <QString>
#include <QTest>
#include <QWidget>

#include <stdexcept>
#include <string>

namespace ostrevan::test {

// The control of the given objectName inside window; throws, and so fails the test, when
// there is none.
template <class Widget> Widget& findControl(const QWidget& window, const char* name) {
    auto* found = window.findChild<Widget*>(QString::fromUtf8(name));
    if (found == nullptr) {
        throw std::runtime_error(std::string("no control ") + name);
    }
    return *found;
}

// A left click on the named button, as the user does it.
inline void clickButton(const QWidget& window, const char* name) {
    QTest::mouseClick(&findControl<QPushButton>(window, name), Qt::LeftButton);
}

} // namespace ostrevan::test
