#pragma once

namespace ostrevan {

// libgsf tells what it finds wrong with a file only through GLib warnings and carries on
// with what it could read. While an object of this class lives, the warnings of libgsf on
// this thread are counted here instead of printed (writer quirks that do not affect what is
// read excepted); outside such a scope they go to GLib's default handler.
class LibgsfComplaints final {
public:
    LibgsfComplaints();
    ~LibgsfComplaints();
    LibgsfComplaints(const LibgsfComplaints&) = delete;
    LibgsfComplaints& operator=(const LibgsfComplaints&) = delete;

    bool any() const { return m_count > 0; }
    int count() const { return m_count; }
    void add() { ++m_count; }

private:
    int m_count = 0;
    LibgsfComplaints* m_previous;
};

} // namespace ostrevan
