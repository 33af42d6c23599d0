#include "platform/qt/QtText.h"

#include "platform/Text.h"

namespace ostrevan {

QString shownText(const std::string& bytes) {
    return QString::fromStdString(displayText(bytes));
}

QString shownOnOneLine(const std::string& bytes) {
    return QString::fromStdString(controlsMadeVisible(displayText(bytes)));
}

} // namespace ostrevan
