#include "tools/ostrevan-scan/ConsoleControls.h"

#include "platform/Error.h"
#include "platform/Numbers.h"

#include <ostream>

namespace ostrevan {

void ConsoleLabel::refresh() {
    if (m_onRefresh) {
        m_onRefresh();
    }
}

std::string ConsoleComboBox::list(std::int32_t) const {
    raise(err::InvalidCall);
}

void ConsolePageControl::setTab(std::int16_t page) {
    if (page < 0 || page >= tabs()) {
        raise(err::InvalidCall);
    }
    m_tab = page;
}

void StreamingListView::clear() {
    m_current.reset();
    m_count = 0;
}

std::int32_t StreamingListView::add(const std::string& text) {
    const std::int32_t next = addInt32(m_count, 1);
    finish();
    m_current = ConsoleRow{text, {}, {}};
    m_handedOn = false;
    m_count = next;
    return m_count;
}

void StreamingListView::setText(std::int32_t row, int column, const std::string& text) {
    current(row);
    if (m_handedOn) {
        raise(err::SubscriptOutOfRange);
    }
    ConsoleRow& target = *m_current;
    (column == 0 ? target.number : column == 1 ? target.document : target.reference) = text;
    if (column == 2) {
        finish();
    }
}

std::string StreamingListView::text(std::int32_t row, int column) const {
    const ConsoleRow& source = current(row);
    return column == 0 ? source.number : column == 1 ? source.document : source.reference;
}

void StreamingListView::finish() {
    if (m_current && !m_handedOn) {
        m_handedOn = true;
        m_onRow(*m_current);
    }
}

const ConsoleRow& StreamingListView::current(std::int32_t row) const {
    if (!m_current || row != m_count) {
        raise(err::SubscriptOutOfRange);
    }
    return *m_current;
}

void ConsoleMessageBox::show(const std::string& text) {
    ++m_shown;
    if (m_beforeMessage) {
        m_beforeMessage();
    }
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = text.find('\n', start);
        std::string line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        m_err << "ostrevan-scan: " << line << '\n';
        if (end == std::string::npos) {
            break;
        }
        start = end + 1;
    }
    m_err.flush();
}

ConsoleForm::ConsoleForm(std::function<void(const ConsoleRow&)> onRow,
                         std::function<void()> onFileLooked)
    : lbl_references(std::move(onFileLooked)),
      ListView1(std::move(onRow)), form{lbl_references,     lbl_CheckRef,
                                        txt_SEDokument,     btn_Weiter,
                                        btn_zurueck,        btn_export,
                                        chk_FolderRekursiv, com_RefType,
                                        ListView1,          SSTab1} {}

} // namespace ostrevan
