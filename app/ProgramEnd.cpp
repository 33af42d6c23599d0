#include "app/ProgramEnd.h"

#include <QCoreApplication>
#include <QThread>

namespace ostrevan {

void ProgramEnd::end(int code) {
    if (QThread::currentThread()->loopLevel() == 0) {
        m_code = code;
        return;
    }
    QCoreApplication::exit(code);
}

} // namespace ostrevan
