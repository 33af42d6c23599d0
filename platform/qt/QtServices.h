#pragma once

#include "platform/Controls.h"
#include "platform/Shell.h"

class QWidget;

namespace ostrevan {

// OK-only message box without icon, titled with the program's name, modal over its parent.
class QtMessageBox final : public MessageBox {
public:
    explicit QtMessageBox(QWidget* parent = nullptr) : m_parent(parent) {}
    void show(const std::string& text) override;

private:
    QWidget* m_parent;
};

// The application-wide override cursor: 11 the wait cursor, 0 the default.
class QtMousePointer final : public MousePointer {
public:
    std::int16_t pointer() const override { return m_pointer; }
    void setPointer(std::int16_t pointer) override;

private:
    std::int16_t m_pointer = Default;
};

class QtScreen final : public Screen {
public:
    double widthTwips() const override;
    double heightTwips() const override;
};

// Opens a local file, or a URL with a scheme (mailto:, http:), with the desktop's handler.
class QtShell final : public Shell {
public:
    bool execute(const std::string& verb, const std::string& file) override;
};

} // namespace ostrevan
