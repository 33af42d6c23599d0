#include "tests/ole/Vectors.h"

#include <QFile>
#include <QJsonDocument>

#include <stdexcept>

namespace ostrevan::vectors {

std::string dataPath(const std::string& relativePath) {
    return std::string(OSTREVAN_TEST_DATA) + "/" + relativePath;
}

QJsonArray cases(const std::string& relativePath) {
    QFile file(QString::fromStdString(dataPath(relativePath)));
    if (!file.open(QIODevice::ReadOnly)) {
        throw std::runtime_error("cannot read " + relativePath);
    }
    return QJsonDocument::fromJson(file.readAll()).array();
}

std::string text(const QJsonValue& value) {
    return value.toString().toStdString();
}

std::vector<std::uint8_t> bytes(const QJsonValue& buffer) {
    const QByteArray raw =
        QByteArray::fromHex(buffer.toObject()[QStringLiteral("hex")].toString().toLatin1());
    return {raw.begin(), raw.end()};
}

} // namespace ostrevan::vectors
