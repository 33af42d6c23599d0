#pragma once

#include <QString>

#include <string>

namespace ostrevan {

// Text of the logic as a widget shows it: bytes that are not UTF-8 as their Windows-1252
// characters (displayText). For message boxes, whose texts have lines of their own.
QString shownText(const std::string& bytes);

// The same on one line, each control character as its visible symbol: for labels, list
// cells and text fields, where a name must never break the line or forge another one.
QString shownOnOneLine(const std::string& bytes);

} // namespace ostrevan
