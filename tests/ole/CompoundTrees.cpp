#include "tests/ole/CompoundTrees.h"

#include "platform/Error.h"
#include "platform/ole/CompoundFile.h"
#include "tests/support/GObjectPtr.h"

#include <gsf/gsf-infile-msole.h>
#include <gsf/gsf-infile.h>
#include <gsf/gsf-input-memory.h>
#include <gtest/gtest.h>

#include <utility>

namespace ostrevan::test {
namespace {

std::string childPath(const std::string& parent, const std::string& name) {
    return parent.empty() ? name : parent + "/" + name;
}

int complaints = 0;

void countComplaint(const gchar*, GLogLevelFlags, const gchar*, gpointer) {
    ++complaints;
}

// Counts libgsf's warnings instead of printing them while it lives.
class ComplaintCounter final {
public:
    ComplaintCounter() {
        complaints = 0;
        for (const char* domain : {"libgsf:msole", "libgsf", "GLib", "GLib-GObject",
                                   static_cast<const char*>(nullptr)}) {
            m_handlers.emplace_back(
                domain, g_log_set_handler(domain, G_LOG_LEVEL_MASK, countComplaint, nullptr));
        }
    }
    ~ComplaintCounter() {
        for (const auto& [domain, id] : m_handlers) {
            g_log_remove_handler(domain, id);
        }
    }
    ComplaintCounter(const ComplaintCounter&) = delete;
    ComplaintCounter& operator=(const ComplaintCounter&) = delete;

private:
    std::vector<std::pair<const char*, guint>> m_handlers;
};

} // namespace

std::optional<Tree> readTree(std::span<const std::uint8_t> file) {
    MemoryInput input(file);
    return readTree(input);
}

std::optional<Tree> readTree(ByteSource& input) {
    std::optional<Tree> tree;
    const auto error = trapError([&] {
        CompoundFile compound(input);
        Tree result;
        std::vector<std::pair<std::size_t, std::string>> pending{{0, ""}};
        const auto& entries = compound.entries();
        while (!pending.empty()) {
            const auto [index, path] = pending.back();
            pending.pop_back();
            for (const CompoundEntry& child : compound.children(entries[index])) {
                const std::string childName = childPath(path, child.name);
                if (child.kind == CompoundEntry::Kind::Stream) {
                    result[childName] = {false, compound.read(child)};
                } else {
                    result[childName] = {true, std::nullopt};
                    pending.emplace_back(static_cast<std::size_t>(&child - entries.data()),
                                         childName);
                }
            }
        }
        tree = std::move(result);
    });
    if (error) {
        EXPECT_EQ(error->number(), err::BadFileFormat) << error->description();
    }
    return tree;
}

LibgsfReading readTreeWithLibgsf(std::span<const std::uint8_t> file) {
    const ComplaintCounter counter;
    const GObjectPtr<GsfInput> input(
        gsf_input_memory_new(file.data(), static_cast<gsf_off_t>(file.size()), FALSE));
    GError* error = nullptr;
    const GObjectPtr<GsfInfile> root(gsf_infile_msole_new(input.get(), &error));
    if (error != nullptr) {
        g_error_free(error);
    }
    LibgsfReading reading;
    if (!root) {
        reading.complained = complaints > 0;
        return reading;
    }
    Tree tree;
    std::vector<std::pair<GObjectPtr<GsfInfile>, std::string>> pending;
    pending.emplace_back(GObjectPtr<GsfInfile>(GSF_INFILE(g_object_ref(root.get()))), "");
    while (!pending.empty()) {
        auto [storage, path] = std::move(pending.back());
        pending.pop_back();
        const int count = gsf_infile_num_children(storage.get());
        for (int i = 0; i < count; ++i) {
            GObjectPtr<GsfInput> child(gsf_infile_child_by_index(storage.get(), i));
            const char* name = gsf_infile_name_by_index(storage.get(), i);
            const std::string childName = childPath(path, name != nullptr ? name : "");
            if (!child) {
                tree[childName] = {false, std::nullopt};
                continue;
            }
            if (gsf_infile_num_children(GSF_INFILE(child.get())) >= 0) {
                tree[childName] = {true, std::nullopt};
                pending.emplace_back(GObjectPtr<GsfInfile>(GSF_INFILE(child.release())), childName);
                continue;
            }
            const auto size = static_cast<std::size_t>(gsf_input_size(child.get()));
            const guint8* bytes = size > 0 ? gsf_input_read(child.get(), size, nullptr) : nullptr;
            tree[childName] = {false, size == 0 || bytes != nullptr
                                          ? std::optional(std::vector<std::uint8_t>(
                                                bytes, bytes + (bytes != nullptr ? size : 0)))
                                          : std::nullopt};
        }
    }
    reading.tree = std::move(tree);
    reading.complained = complaints > 0;
    return reading;
}

std::string describeDifferences(const Tree& ours, const Tree& theirs) {
    std::string lines;
    const auto describe = [](const TreeNode& node) {
        return node.storage ? std::string("storage")
               : node.bytes ? "stream of " + std::to_string(node.bytes->size()) + " bytes"
                            : std::string("unreadable stream");
    };
    for (const auto& [path, node] : ours) {
        const auto other = theirs.find(path);
        if (other == theirs.end()) {
            lines += "only ours: " + path + "\n";
        } else if (!(other->second == node)) {
            lines += path + ": ours " + describe(node) + ", libgsf " + describe(other->second) +
                     (node.bytes && other->second.bytes ? " (bytes differ)" : "") + "\n";
        }
    }
    for (const auto& [path, node] : theirs) {
        if (!ours.contains(path)) {
            lines += "only libgsf: " + path + "\n";
        }
    }
    return lines;
}

} // namespace ostrevan::test
